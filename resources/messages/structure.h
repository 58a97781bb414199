#pragma once
// Messages of the structure reader, the change operation and the inspect operation. A message that
// takes a tail ends in "\n　"; the caller's tail follows it.

#include <string>
#include <string_view>

#include "resources/messages/message.h"

namespace velmora::msg {

// Reading the ugpc structure listing.
inline constexpr Tailed kPcReadError{"UGPC の テキストファイル の読込みエラーが発生しました。\n　"};
inline constexpr Tailed kPcFirstLineNotAssembly{
    "UGPC の最初の行がアセンブリパートファイルでは有りません。\n　"};
inline constexpr Tailed kPcSecondLineIndent{"UGPC の2行目の空白が1以外です。\n　"};
inline constexpr Tailed kPcNoHierarchy{"UGPC の階層を取得出来ません。\n　"};
inline constexpr Tailed kPcFileNotInList{"リストに無い UGPC で書き出されたファイルが有ります。\n　"};
inline constexpr Tailed kPerformNoNumber{"変更 でリストの No を取得出来ません。\n　"};
inline constexpr Tailed kParentOrNumberMissing{"リストの 親 か No を取得出来ません。\n　"};
inline constexpr Tailed kBadNumber{"リストの No を取得出来ません。\n　"};
inline constexpr Tailed kBadParent{"リストの 親 を取得出来ません。\n　"};
inline constexpr Tailed kPcFirstLineNotInput{"UGPC の最初の行が 入力パート では有りません。\n　"};
inline constexpr Tailed kPcFilesMissing{"UGPC で書き出されたファイルが不足してます。\n　"};
// Shown without a tail when a failing pass closes its files.
inline constexpr Text kPcCloseFailedNoTail{"UGPC の テキストファイル を閉じるのに失敗しました。"};

// The change operation.
// The input part's own checks share their texts with the single-row pass (operations.h).
inline constexpr Tailed kNoMatchingNumber{"リストから一致する No を取得出来ません。\n　"};
// "変更後の " + name + this (no tail follows).
inline constexpr std::string_view kChangedPrefix = "変更後の ";
inline constexpr std::string_view kRemoveAllTargetExists =
    " ファイルが既に有ります。\n　全てのフォルダ情報を削除 は使用出来ません。";
// kOverwriteNewPrefix or kOverwriteOldPrefix + file name + kOverwriteSuffix + tail.
inline constexpr std::string_view kOverwriteNewPrefix =
    "全て上書き保存 がチェックされていません。\n変更後の ";
inline constexpr std::string_view kOverwriteOldPrefix =
    "全て上書き保存 がチェックされていません。\n変更前の ";
inline constexpr std::string_view kOverwriteSuffix = " ファイルが既に有ります。\n　";

inline std::string OverwriteNew(std::string_view fileName, std::string_view tail) {
  return AroundName(kOverwriteNewPrefix, fileName, kOverwriteSuffix, tail);
}
inline std::string OverwriteOld(std::string_view fileName, std::string_view tail) {
  return AroundName(kOverwriteOldPrefix, fileName, kOverwriteSuffix, tail);
}
inline std::string RemoveAllTargetExists(std::string_view name) {
  return AroundName(kChangedPrefix, name, kRemoveAllTargetExists);
}
// The "-list" listing of an existing target (its removal shares the runner's text, runner.h).
inline constexpr Tailed kTargetListOpenFailed{"テキストファイル を開くのに失敗しました。\n　"};
inline constexpr Tailed kTargetListCloseFailed{"テキストファイル を閉じるのに失敗しました。\n　"};
// An existing new file that lacks a component of the renamed part would take the part's place and
// drop that component: its file name, the first component it lacks, the tail.
inline constexpr Filled<3> kTargetLacksComponent{
    "変更後の %1 ファイルが既に有りますが， %2 を参照していません。\n　%3"};

// A path the run would make that is longer than a path may be: the part's name, the path, the tail.
inline constexpr Filled<3> kWorkFilePathTooLong{"%1 の作業ファイルのパスが 259 バイトを超えます。\n%2\n　%3"};
inline constexpr Filled<3> kTargetPathTooLong{"%1 の変更後のパスが 259 バイトを超えます。\n%2\n　%3"};

// The inspect operation.
inline constexpr Text kInspectCompleted{"検査を完了しました。"};
// The same when rows are marked Ｘ: their number.
inline constexpr Filled<1> kInspectCompletedWithMarks{
    "検査を完了しました。\n編集 に Ｘ の付いた行が %1 "
    "行有ります。変更後のファイルが既に有り，その部品を参照していません。"};
inline constexpr Tailed kPcOpenFailed{"UGPC の テキストファイル を開くのに失敗しました。\n　"};
inline constexpr Tailed kPcCloseFailed{"UGPC の テキストファイル を閉じるのに失敗しました。\n　"};
inline constexpr Tailed kPcRemoveFailed{"UGPC の テキストファイル の削除に失敗しました。\n　"};

}  // namespace velmora::msg
