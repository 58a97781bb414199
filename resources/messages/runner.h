#pragma once
// Messages of the work files, the batch runner and the listing reader. Those that take the caller's
// tail end in "\n　".

#include <string>
#include <string_view>

#include "resources/messages/message.h"

namespace velmora::msg {

inline constexpr Tailed kTempNotSet{"環境変数に TEMP が設定されていません。\n　"};
// The folder's path is put between the first line and the tail.
inline constexpr Tailed kTempFolderMissing{"環境変数 TEMP のフォルダが見つかりません。\n　"};
// These name the file on lines between the first line and the tail.
inline constexpr Tailed kTextFileExists{"テキストファイル が既に有ります。\n　"};
inline constexpr Tailed kLogFileExists{"ログファイル が既に有ります。\n　"};
inline constexpr Tailed kBatchFileExists{"バッチファイル が既に有ります。\n　"};
// Follows the path of a work file in the way.
inline constexpr Text kWorkFileInTheWay{
    "別の velmora が同じ部品で実行中ならその終了を待ち、そうでなければこのファイルを削除してから、"
    "もう一度実行してください。"};
// Why a file could not be written, from the platform's error: a line of its own.
inline constexpr Text kReasonDiskFull{"ディスクの空き容量が足りません。"};
inline constexpr Text kReasonAccessDenied{"アクセスが拒否されました。"};
// No work file can be made in TEMP: its path and the reason follow.
inline constexpr Tailed kTempNotWritable{"環境変数 TEMP のフォルダに書き込めません。\n　"};
inline constexpr Tailed kBatchOpenFailed{"新規に バッチファイル を開くのに失敗しました。\n　"};
inline constexpr Tailed kBatchWriteError{"バッチファイル の書込みエラーが発生しました。\n　"};
// Shown without a tail after a write error, with one when the close alone fails.
inline constexpr Text kBatchCloseFailed{"バッチファイル を閉じるのに失敗しました。"};
inline std::string BatchCloseFailed(std::string_view tail) {
  return kBatchCloseFailed() + kLineBreak() + std::string(tail);
}
// With lines (cp932, each ending in "\n") before the tail: the file and why it could not be written.
inline std::string BatchCloseFailed(std::string_view lines, std::string_view tail) {
  return WithLinesBeforeTail(BatchCloseFailed({}), lines) + std::string(tail);
}
inline constexpr Tailed kBatchStartFailed{"バッチファイル の実行時にエラーに成りました。\n　"};
inline constexpr Tailed kBatchHandleCloseFailed{"バッチファイル のハンドルを閉じるのに失敗しました。\n　"};
inline constexpr Tailed kBatchRemoveFailed{"バッチファイル の削除に失敗しました。\n　"};
inline constexpr Tailed kLogFileMissing{"ログファイル が見つかりません。\n　"};
// These two add the file's path and its first lines.
inline constexpr Tailed kLogFileNotEmpty{"エラーの為と思われる ログファイル が作成されています。\n　"};
inline constexpr Tailed kLogRemoveFailed{"ログファイル の削除に失敗しました。\n　"};
inline constexpr Tailed kTextFileMissing{"テキストファイル が見つかりません。\n　"};
inline constexpr Tailed kTextFileNotEmpty{"エラーの為か テキストファイル が作成されています。\n　"};
inline constexpr Tailed kTextRemoveFailed{"テキストファイル の削除に失敗しました。\n　"};
// Asked once when the user stops a run while a tool has been running for a while; %1 is the tool.
inline constexpr Filled<1> kToolStillRunning{
    "%1 が終了していません。\n　ツールを終了させて実行を中止しますか？"};
// A tool that crashed, whatever it wrote: %1 the tool, %2 the signal or the exception code, %3 the
// tail.
inline constexpr Filled<3> kToolKilledBySignal{"%1 がシグナル %2 で異常終了しました。\n　%3"};
inline constexpr Filled<3> kToolCrashedWithCode{"%1 が例外コード %2 で異常終了しました。\n　%3"};

// The listing reader. "(\\" is "(" and two backslashes, as the user sees it.
inline constexpr Tailed kListingReadError{"テキストファイル の読込みエラーが発生しました。\n　"};
inline constexpr Tailed kListingNoParenthesis{"テキストファイル に ( か ) が無い行が有ります。\n　"};
inline constexpr Tailed kListingNotClosed{"テキストファイル に最後が ) では無い行が有ります。\n　"};
inline constexpr Tailed kListingNoNetworkStart{"テキストファイル で (\\\\ が無い行が有ります。\n　"};
inline constexpr Tailed kListingTwoNetworkStarts{"テキストファイル で (\\\\ が2つ以上の行が有ります。\n　"};
// This one has no closing "。".
inline constexpr Tailed kListingNetworkTooEarly{
    "テキストファイル に (\\\\ が5文字以降で無い行が有ります\n　"};
inline constexpr Tailed kListingNetworkNotPrt{
    "テキストファイル に (\\\\ の前が .prt ( で無い行が有ります。\n　"};
inline constexpr Tailed kListingTwoColons{"テキストファイル に : が2つ以上の行が有ります。\n　"};
inline constexpr Tailed kListingColonTooEarly{"テキストファイル に : が8文字以降で無い行が有ります。\n　"};
inline constexpr Tailed kListingDriveNotPrt{"テキストファイル に : の前が .prt ( で無い行が有ります。\n　"};
// A name no batch file may carry: it would end its quoted value or its line.
inline constexpr Tailed kListingUnsafeName{"テキストファイル に \" か制御文字を含む名前の行が有ります。\n　"};
inline constexpr Text kListingCloseFailed{"テキストファイル を閉じるのに失敗しました。"};

}  // namespace velmora::msg
