#include "resources/messages/message.h"

#include "text/codec.h"

namespace velmora::msg {

std::string Text::operator()() const {
  return text::Cp932(utf8_);
}

std::string Tailed::operator()(std::string_view tail) const {
  return text::Cp932(utf8_) + std::string(tail);
}

std::string Tailed::WithLines(std::string_view lines, std::string_view tail) const {
  return WithLinesBeforeTail(text::Cp932(utf8_), lines) + std::string(tail);
}

std::string WithLinesBeforeTail(std::string message, std::string_view lines) {
  const std::string lineBreak = kLineBreak();
  if (message.ends_with(lineBreak))
    message.resize(message.size() - lineBreak.size());
  message += '\n';
  message += lines;
  if (!lines.empty())
    message.pop_back();  // the last line ends in the line break below
  message += lineBreak;
  return message;
}

std::string AfterName::operator()(std::string_view name, std::string_view tail) const {
  return std::string(name) + text::Cp932(utf8_) + std::string(tail);
}

std::string BeforeName::operator()(std::string_view name) const {
  return text::Cp932(utf8_) + std::string(name);
}

std::string Fill(std::string_view utf8, std::initializer_list<std::string_view> pieces) {
  const std::string text = text::Cp932(utf8);
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto index = static_cast<std::size_t>(text[i + 1] - '1');
      if (index < pieces.size())
        result += *(pieces.begin() + index);
      ++i;
      continue;
    }
    result += text[i];
  }
  return result;
}

std::string AroundName(std::string_view head, std::string_view name, std::string_view rest,
                       std::string_view tail) {
  return text::Cp932(head) + std::string(name) + text::Cp932(rest) + std::string(tail);
}

}  // namespace velmora::msg
