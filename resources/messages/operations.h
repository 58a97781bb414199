#pragma once
// Messages of the input check, the list building, the file replacement and the bulk operations.
// A message that takes a tail ends in "\n　"; the caller's tail follows it.

#include <string>
#include <string_view>

#include "resources/messages/message.h"
#include "resources/messages/runner.h"

namespace velmora::msg {

// Input check.
inline constexpr Tailed kEditToolNotChosen{"UG_EDIT_PART_NAMES.exe が選択されていません。\n　"};
inline constexpr Tailed kPcToolNotChosen{"UGPC.exe が選択されていません。\n　"};
inline constexpr Tailed kInputPartNotChosen{"入力パート が選択されていません。\n　"};
inline constexpr Tailed kEditToolNotFound{"UG_EDIT_PART_NAMES.exe が見つかりません。\n　"};
inline constexpr Tailed kPcToolNotFound{"UGPC.exe が見つかりません。\n　"};
inline constexpr Tailed kInputPartNotFound{"入力パート が見つかりません。\n　"};

// List building. The open failure is one fixed text, tail included; the other two have no tail.
inline constexpr Text kListTextOpenFailed{
    "テキストファイル を開くのに失敗しました。\n　リストを作成出来ません。"};
// The same text as the listing reader's own close failure.
inline constexpr Text kListTextCloseFailed{kListingCloseFailed};
inline constexpr Text kListTextRemoveFailed{"テキストファイル の削除に失敗しました。"};

// The input part written in place or onto an existing file (single-row pass and the input line).
inline constexpr Tailed kInputPartNewFileExists{
    "全て上書き保存 がチェックされていません。\n入力パート の変更後のファイルが既に有ります。\n　"};
inline constexpr Tailed kInputPartExists{
    "全て上書き保存 がチェックされていません。\n入力パート が既に有ります。\n　"};

// File replacement: the copy message is "変更前の " + file name + this; the others follow the name.
inline constexpr std::string_view kReplaceCopyPrefix = "変更前の ";
inline constexpr std::string_view kReplaceCopyFailed = " ファイルのコピーに失敗しました。\n　";
inline std::string ReplaceCopyFailed(std::string_view fileName, std::string_view tail) {
  return AroundName(kReplaceCopyPrefix, fileName, kReplaceCopyFailed, tail);
}
// With lines (cp932, each ending in "\n") before the tail: the file written and why it failed.
inline std::string ReplaceCopyFailed(std::string_view fileName, std::string_view lines,
                                     std::string_view tail) {
  return WithLinesBeforeTail(AroundName(kReplaceCopyPrefix, fileName, kReplaceCopyFailed), lines) +
         std::string(tail);
}
inline constexpr AfterName kReplaceCloseAllFailed{" ファイルを閉じるのに失敗しました。\n　"};

// Re-saving through the CAD library.
inline constexpr Tailed kResaveAskOptionsFailed{"アセンブリオプションの取得に失敗しました。\n　"};
inline constexpr Tailed kResaveSetOptionsFailed{"アセンブリオプションの設定に失敗しました。\n　"};
inline constexpr AfterName kResaveOpenFailed{" ファイルを開くのに失敗しました。\n　"};
inline constexpr AfterName kResaveSaveFailed{" ファイルの保存に失敗しました。\n　"};

// A run stopped at the user's request, at a point between two files; the run's tail follows.
inline constexpr Tailed kRunCancelled{"中止しました。\n　"};

}  // namespace velmora::msg
