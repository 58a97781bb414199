#pragma once
// The shapes a message takes. Each named message is one of these; calling it with its parts composes
// the text in cp932, ready for the Ui, so that the conversion happens here and nowhere else. A named
// message still reads as its UTF-8 text, which is what the tests and the golden file compare against.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace velmora::msg {

// What every shape below is: a named message's UTF-8 text, until it is called.
class Named {
 public:
  constexpr explicit Named(std::string_view utf8) : utf8_(utf8) {}
  constexpr operator std::string_view() const { return utf8_; }
  friend constexpr bool operator==(const Named& named, std::string_view text) { return named.utf8_ == text; }

 protected:
  std::string_view utf8_;
};

template <class T>
concept IsNamed = std::is_base_of_v<Named, T>;

// A text shown as it stands; also a tail, given to the messages that take one.
class Text : public Named {
 public:
  using Named::Named;
  [[nodiscard]] std::string operator()() const;
};

// The line break and indent before the closing line of a message (the tail).
inline constexpr Text kLineBreak{"\n　"};

// A message that ends in "\n　"; the tail of the operation that gave up (cp932) follows.
class Tailed : public Named {
 public:
  using Named::Named;
  [[nodiscard]] std::string operator()(std::string_view tail) const;
  // With lines (cp932, each ending in "\n") between the first line and the tail: a file the user has
  // to find, and what a tool wrote into it.
  [[nodiscard]] std::string WithLines(std::string_view lines, std::string_view tail) const;
};

// A composed message that ends in "\n　" (its tail not yet added) with lines (cp932, each ending in
// "\n") put before that last line break, as WithLines does.
[[nodiscard]] std::string WithLinesBeforeTail(std::string message, std::string_view lines);

// A message that follows a name (cp932), then takes the tail if it has one.
class AfterName : public Named {
 public:
  using Named::Named;
  [[nodiscard]] std::string operator()(std::string_view name, std::string_view tail = {}) const;
};

// A message the offending name or path (cp932) follows.
class BeforeName : public Named {
 public:
  using Named::Named;
  [[nodiscard]] std::string operator()(std::string_view name) const;
};

// The text with its "%1" … "%9" replaced by the given pieces (cp932). "%" and the digits are ASCII
// and never a trail byte, so the search needs no care for double-byte characters.
[[nodiscard]] std::string Fill(std::string_view utf8, std::initializer_list<std::string_view> pieces);

// A message whose "%1" … "%N" take a path, a name or a number (cp932), N of them.
template <std::size_t N>
class Filled : public Named {
 public:
  using Named::Named;
  template <class... Pieces>
  requires(sizeof...(Pieces) == N) [[nodiscard]] std::string operator()(const Pieces&... pieces) const {
    return Fill(utf8_, {std::string_view(pieces)...});
  }
};

// A message around a name the user gave (cp932, as shown): head + name + rest, then the tail.
[[nodiscard]] std::string AroundName(std::string_view head, std::string_view name, std::string_view rest,
                                     std::string_view tail = {});

}  // namespace velmora::msg
