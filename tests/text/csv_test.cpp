#include "text/csv.h"

#include <gtest/gtest.h>

#include "text/codec.h"

namespace velmora::text {
namespace {

struct CsvCase {
  const char* name;
  std::string text;  // cp932, as in the file
  std::vector<CsvRecord> records;
};

class CsvParseTest : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvParseTest, Records) {
  EXPECT_EQ(ParseCsv(GetParam().text), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CsvParseTest,
    ::testing::Values(CsvCase{"crlf", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
                      CsvCase{"lf_cr_and_no_last_end", "a\nb\rc", {{"a"}, {"b"}, {"c"}}},
                      CsvCase{"empty_fields", ",a,\r\n", {{"", "a", ""}}},
                      CsvCase{"quoted_comma_and_quote", "\"x,\"\"y\"\"\",z\r\n", {{"x,\"y\"", "z"}}},
                      CsvCase{"crlf_inside_quotes", "\"a\r\nb\",c\r\nd\r\n", {{"a\r\nb", "c"}, {"d"}}},
                      CsvCase{"empty_quoted", "\"\",\"\"\r\n", {{"", ""}}},
                      CsvCase{"blank_line_kept", "a\r\n\r\nb\r\n", {{"a"}, {""}, {"b"}}},
                      // 表 is 95 5C and ソ 83 5C: their trail bytes are text, even right before a quote.
                      CsvCase{"trail_bytes", Cp932("\"表\",ソ能\\\r\n"), {{Cp932("表"), Cp932("ソ能\\")}}},
                      CsvCase{"nothing", "", {}}),
    [](const ::testing::TestParamInfo<CsvCase>& info) { return std::string(info.param.name); });

TEST(CsvFormat, QuotesOnlyWhereASpreadsheetNeedsIt) {
  EXPECT_EQ(FormatCsvRecord({"a.prt", "", Cp932("D:\\表\\")}), Cp932("a.prt,,D:\\表\\"));
  EXPECT_EQ(FormatCsvRecord({"a,b", "say \"x\"", " lead", "line\r\nend"}),
            "\"a,b\",\"say \"\"x\"\"\",\" lead\",\"line\r\nend\"");
  EXPECT_EQ(FormatCsvRecord({}), "");
}

TEST(CsvFormat, WhatIsWrittenReadsBackTheSame) {
  const CsvRecord record = {Cp932("表,ソ.prt"), "\"q\"", "", "a\r\nb", Cp932("能\\"), " x "};
  EXPECT_EQ(ParseCsv(FormatCsvRecord(record) + "\r\n"), std::vector<CsvRecord>{record});
}

}  // namespace
}  // namespace velmora::text
