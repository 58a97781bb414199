// Feeds arbitrary rows and an arbitrary structure listing to the structure reader and the inspect
// and check passes. Input: row paths, one a line (a "|name" suffix gives the row a new part name),
// then an empty line, then the listing bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "operations/context.h"
#include "operations/structure_pass.h"
#include "operations/structure_reader.h"
#include "platform/ufun_library.h"
#include "platform/ui.h"
#include "support/memory_host.h"

namespace {

using namespace velmora;
using fuzzing::BytesStream;
using fuzzing::SilentUi;

void AddRows(operations::DialogState& state, std::string_view rows) {
  while (!rows.empty() && state.partList.RowCount() < 64) {
    const std::size_t end = rows.find('\n');
    std::string_view line = rows.substr(0, end);
    rows = end == std::string_view::npos ? std::string_view() : rows.substr(end + 1);
    partlist::PartRow row;
    const std::size_t bar = line.find('|');
    if (bar != std::string_view::npos) {
      row.newPartName = std::string(line.substr(bar + 1));
      line = line.substr(0, bar);
    }
    const std::size_t slash = line.rfind('\\');
    row.folderName = std::string(line.substr(0, slash == std::string_view::npos ? 0 : slash + 1));
    row.partName = std::string(line.substr(slash == std::string_view::npos ? 0 : slash + 1));
    row.itemData = state.partList.RowCount();
    if (state.partList.RowCount() == 0)
      state.inputPartPath = row.folderName + row.partName;
    state.partList.InsertRow(state.partList.RowCount(), std::move(row));
  }
}

void ClearNumbers(partlist::PartList& list) {
  for (int row = 0; row < list.RowCount(); ++row) {
    list.SetText(row, partlist::kParent, {});
    list.SetText(row, partlist::kNumber, {});
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find("\n\n");
  if (split == std::string_view::npos)
    return 0;
  operations::DialogState state;
  AddRows(state, input.substr(0, split));
  const std::string_view listing = input.substr(split + 2);
  SilentUi ui;
  // No file exists, so no tool is ever started.
  testing::MemoryHost host;
  host.env["TEMP"] = "D:\\temp";
  platform::UfunLibrary cad;
  operations::Context context(state, ui, host, cad);

  // The reader alone.
  {
    auto stream = BytesStream(listing);
    operations::StructureReader reader(context, stream, operations::PassMode::Inspect, "tail");
    operations::StructureLine line;
    operations::StructureReader::Next step = operations::StructureReader::Next::Failed;
    while ((step = reader.NextLine(line)) == operations::StructureReader::Next::Line)
      reader.Advance();
    if (step == operations::StructureReader::Next::End)
      static_cast<void>(reader.Finish());
  }

  // The inspect pass, then the check pass on a fresh numbering, as the dispatcher runs them.
  ClearNumbers(state.partList);
  auto stream = BytesStream(listing);
  if (operations::StructurePass(context, stream, operations::PassMode::Inspect, "tail", "D:\\w\\") ==
      velmora::Step::Failed)
    return 0;
  ClearNumbers(state.partList);
  state.operation = operations::Operation::Change;
  state.options.overwriteAll = 1;
  // Only a crash or a sanitizer finding counts here, not the outcome.
  static_cast<void>(
      operations::StructurePass(context, stream, operations::PassMode::Check, "tail", "D:\\w\\"));
  return 0;
}
