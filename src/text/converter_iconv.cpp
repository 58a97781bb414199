#include <errno.h>
#include <iconv.h>

#include "text/converter.h"

namespace velmora::text::detail {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1))
      iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of input; on failure returns the offset of the first byte that could not be taken.
  [[nodiscard]] CodecResult Run(std::string_view input) const {
    CodecResult result;
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      return result;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(input.size() * 3 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
      if (iconv(cd_, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
        continue;
      if (errno == E2BIG) {
        const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
        out.resize(out.size() * 2);
        outPtr = out.data() + used;
        outLeft = out.size() - used;
        continue;
      }
      result.badOffset = static_cast<std::size_t>(in - input.data());
      return result;
    }
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    result.ok = true;
    result.text = std::move(out);
    return result;
  }

 private:
  iconv_t cd_;
};

// One converter per direction and thread: opening one costs more than converting a file name, and
// every host path goes through here. Run() resets the state before each use.
const Converter& ToUtf8Converter() {
  thread_local const Converter converter("UTF-8", "CP932");
  return converter;
}

const Converter& ToCp932Converter() {
  thread_local const Converter converter("CP932", "UTF-8");
  return converter;
}

}  // namespace

CodecResult Convert(Direction direction, std::string_view input) {
  return direction == Direction::ToUtf8 ? ToUtf8Converter().Run(input) : ToCp932Converter().Run(input);
}

}  // namespace velmora::text::detail
