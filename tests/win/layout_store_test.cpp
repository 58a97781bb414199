// The window's place and column widths between starts: what was stored comes back, and anything
// damaged or missing leaves the window to open as at a first start.

#include "app/win/layout_store.h"

#include <gtest/gtest.h>

namespace velmora::app::win {
namespace {

constexpr const char* kKey = "Software\\velmora-test";

class LayoutStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
  void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

  static void WriteRaw(const char* name, const void* bytes, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(bytes), size);
    RegCloseKey(key);
  }

  const LayoutStore store{kKey};
};

TEST_F(LayoutStoreTest, WhatWasStoredComesBack) {
  EXPECT_FALSE(store.Load().placement) << "nothing stored yet";
  StoredLayout layout;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  placement.showCmd = SW_SHOWMAXIMIZED;
  placement.rcNormalPosition = {40, 30, 1100, 620};
  layout.placement = placement;
  layout.columnWidths = {160, 0, 300, 0, 0, 0, 0, 0, 0, 44};
  ASSERT_TRUE(store.Save(layout));

  const StoredLayout loaded = store.Load();
  ASSERT_TRUE(loaded.placement);
  EXPECT_EQ(loaded.placement->showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(loaded.placement->rcNormalPosition.right, 1100);
  EXPECT_EQ(loaded.placement->rcNormalPosition.bottom, 620);
  EXPECT_EQ(loaded.columnWidths, layout.columnWidths);
}

TEST_F(LayoutStoreTest, DamagedValuesAreLeftOut) {
  const char shortValue[3] = {1, 2, 3};
  WriteRaw("Placement", shortValue, sizeof shortValue);
  std::array<int, partlist::kColumnCount> widths{};
  widths[2] = -5;
  WriteRaw("ColumnWidths", widths.data(), sizeof widths);
  StoredLayout loaded = store.Load();
  EXPECT_FALSE(loaded.placement);
  EXPECT_EQ(loaded.columnWidths, (std::array<int, partlist::kColumnCount>{}));

  // An empty rectangle is no place to open at.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  placement.rcNormalPosition = {500, 300, 500, 300};
  WriteRaw("Placement", &placement, sizeof placement);
  EXPECT_FALSE(store.Load().placement);
}

}  // namespace
}  // namespace velmora::app::win
