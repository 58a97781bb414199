#include "partlist/compare.h"

#include <algorithm>
#include <limits>

#include "text/mbstring.h"

namespace velmora::partlist {
namespace {

constexpr long long kIntMax = std::numeric_limits<int>::max();

bool StartsWithDigit(std::string_view s) {
  return !s.empty() && s.front() >= '0' && s.front() <= '9';
}

// A plain decimal number: atoi's value, printed back, gives the same number of bytes. Leading zeros,
// signs, blanks and trailing characters all change the length.
bool PlainNumber(std::string_view s, int& value) {
  value = text::Atoi(s);
  return text::FormatInt(value).size() == s.size();
}

int Bytewise(std::string_view a, std::string_view b) {
  const int c = a.compare(b);  // char_traits<char>::compare orders as unsigned char
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

int ComparePartRows(std::string_view s1, std::string_view s2, int ascending) {
  if (StartsWithDigit(s1) && StartsWithDigit(s2)) {
    int a = 0;
    int b = 0;
    if (PlainNumber(s1, a) && PlainNumber(s2, b)) {
      // Widened so that no pair of values can overflow the difference.
      const long long d = ascending > 0 ? static_cast<long long>(a) - b : static_cast<long long>(b) - a;
      return static_cast<int>(std::clamp<long long>(d, -kIntMax, kIntMax));
    }
  }
  return ascending > 0 ? Bytewise(s1, s2) : Bytewise(s2, s1);
}

}  // namespace velmora::partlist
