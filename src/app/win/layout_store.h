#pragma once
// The window's place, size and column widths between starts: the one thing velmora stores, in the
// user's part of the registry. Nothing about a run is kept there.

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "partlist/part_row.h"

namespace velmora::app::win {

// The product's key, under HKEY_CURRENT_USER.
inline constexpr const char* kLayoutKey = "Software\\velmora";

struct StoredLayout {
  std::optional<WINDOWPLACEMENT> placement;
  // In pixels; 0 for a column whose width follows its contents.
  std::array<int, partlist::kColumnCount> columnWidths{};
};

class LayoutStore {
 public:
  explicit LayoutStore(std::string key = kLayoutKey) : key_(std::move(key)) {}

  // What was stored, with anything missing or malformed left out.
  [[nodiscard]] StoredLayout Load() const;
  // False when the registry refused it; the window then opens as at a first start next time.
  bool Save(const StoredLayout& layout) const;

 private:
  std::string key_;
};

}  // namespace velmora::app::win
