#pragma once
// Messages of the work files, the batch runner and the listing reader. Those that take the caller's
// tail end in "\n　".

#include <string_view>

namespace velmora::msg {

inline constexpr std::string_view kTempNotSet = "環境変数に TEMP が設定されていません。\n　";
// The folder's path is put between the first line and the tail.
inline constexpr std::string_view kTempFolderMissing = "環境変数 TEMP のフォルダが見つかりません。\n　";
// These name the file on lines between the first line and the tail.
inline constexpr std::string_view kTextFileExists = "テキストファイル が既に有ります。\n　";
inline constexpr std::string_view kLogFileExists = "ログファイル が既に有ります。\n　";
inline constexpr std::string_view kBatchFileExists = "バッチファイル が既に有ります。\n　";
inline constexpr std::string_view kBatchOpenFailed = "新規に バッチファイル を開くのに失敗しました。\n　";
inline constexpr std::string_view kBatchWriteError = "バッチファイル の書込みエラーが発生しました。\n　";
// Shown without a tail after a write error, with one when the close alone fails.
inline constexpr std::string_view kBatchCloseFailed = "バッチファイル を閉じるのに失敗しました。";
inline constexpr std::string_view kBatchStartFailed = "バッチファイル の実行時にエラーに成りました。\n　";
inline constexpr std::string_view kBatchHandleCloseFailed =
    "バッチファイル のハンドルを閉じるのに失敗しました。\n　";
inline constexpr std::string_view kBatchRemoveFailed = "バッチファイル の削除に失敗しました。\n　";
inline constexpr std::string_view kLogFileMissing = "ログファイル が見つかりません。\n　";
// These two add the file's path and its first lines.
inline constexpr std::string_view kLogFileNotEmpty =
    "エラーの為と思われる ログファイル が作成されています。\n　";
inline constexpr std::string_view kLogRemoveFailed = "ログファイル の削除に失敗しました。\n　";
inline constexpr std::string_view kTextFileMissing = "テキストファイル が見つかりません。\n　";
inline constexpr std::string_view kTextFileNotEmpty =
    "エラーの為か テキストファイル が作成されています。\n　";
inline constexpr std::string_view kTextRemoveFailed = "テキストファイル の削除に失敗しました。\n　";

// The listing reader. "(\\" is "(" and two backslashes, as the user sees it.
inline constexpr std::string_view kListingReadError = "テキストファイル の読込みエラーが発生しました。\n　";
inline constexpr std::string_view kListingNoParenthesis =
    "テキストファイル に ( か ) が無い行が有ります。\n　";
inline constexpr std::string_view kListingNotClosed =
    "テキストファイル に最後が ) では無い行が有ります。\n　";
inline constexpr std::string_view kListingNoNetworkStart =
    "テキストファイル で (\\\\ が無い行が有ります。\n　";
inline constexpr std::string_view kListingTwoNetworkStarts =
    "テキストファイル で (\\\\ が2つ以上の行が有ります。\n　";
// This one has no closing "。".
inline constexpr std::string_view kListingNetworkTooEarly =
    "テキストファイル に (\\\\ が5文字以降で無い行が有ります\n　";
inline constexpr std::string_view kListingNetworkNotPrt =
    "テキストファイル に (\\\\ の前が .prt ( で無い行が有ります。\n　";
inline constexpr std::string_view kListingTwoColons = "テキストファイル に : が2つ以上の行が有ります。\n　";
inline constexpr std::string_view kListingColonTooEarly =
    "テキストファイル に : が8文字以降で無い行が有ります。\n　";
inline constexpr std::string_view kListingDriveNotPrt =
    "テキストファイル に : の前が .prt ( で無い行が有ります。\n　";
inline constexpr std::string_view kListingCloseFailed = "テキストファイル を閉じるのに失敗しました。";

}  // namespace velmora::msg
