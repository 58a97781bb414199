#include "app/win/layout_store.h"

#include <algorithm>

namespace velmora::app::win {
namespace {

constexpr const char* kPlacementValue = "Placement";
constexpr const char* kColumnWidthsValue = "ColumnWidths";
// Wider than any screen: a stored width beyond it is taken as damaged.
constexpr int kWidestColumn = 16384;

class Key {
 public:
  Key(const std::string& path, bool create) {
    const LSTATUS status = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                                    KEY_SET_VALUE, nullptr, &key_, nullptr)
                                  : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key_);
    if (status != ERROR_SUCCESS)
      key_ = nullptr;
  }
  ~Key() {
    if (key_ != nullptr)
      RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  // A binary value of exactly `size` bytes.
  bool Read(const char* name, void* bytes, DWORD size) const {
    DWORD type = 0;
    DWORD length = size;
    return key_ != nullptr &&
           RegQueryValueExA(key_, name, nullptr, &type, static_cast<BYTE*>(bytes), &length) ==
               ERROR_SUCCESS &&
           type == REG_BINARY && length == size;
  }
  bool Write(const char* name, const void* bytes, DWORD size) const {
    return key_ != nullptr &&
           RegSetValueExA(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(bytes), size) == ERROR_SUCCESS;
  }
  [[nodiscard]] bool Open() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

StoredLayout LayoutStore::Load() const {
  StoredLayout layout;
  const Key key(key_, false);
  if (!key.Open())
    return layout;
  WINDOWPLACEMENT placement{};
  if (key.Read(kPlacementValue, &placement, sizeof placement) && placement.length == sizeof placement &&
      placement.rcNormalPosition.right > placement.rcNormalPosition.left &&
      placement.rcNormalPosition.bottom > placement.rcNormalPosition.top)
    layout.placement = placement;
  std::array<int, partlist::kColumnCount> widths{};
  if (key.Read(kColumnWidthsValue, widths.data(), sizeof widths) &&
      std::all_of(widths.begin(), widths.end(),
                  [](int width) { return width >= 0 && width <= kWidestColumn; }))
    layout.columnWidths = widths;
  return layout;
}

bool LayoutStore::Save(const StoredLayout& layout) const {
  const Key key(key_, true);
  bool saved = key.Open();
  if (layout.placement)
    saved = key.Write(kPlacementValue, &*layout.placement, sizeof *layout.placement) && saved;
  return key.Write(kColumnWidthsValue, layout.columnWidths.data(), sizeof layout.columnWidths) && saved;
}

}  // namespace velmora::app::win
