#pragma once
// Texts of the main dialog's own handlers: start and end of the session, the choice of the tools
// and the input part, the execute button, list editing, sorting and copying.

#include <string>
#include <string_view>
#include <vector>

#include "resources/messages/message.h"
#include "resources/messages/structure.h"

namespace velmora::msg {

// Start and end of the session.
inline constexpr Text kUfInitializeFailed{
    "ユーザファンクションの初期化に失敗しました。\n　velmora を終了します。"};
inline constexpr Text kEditToolMissingAtStart{
    "UG_EDIT_PART_NAMES が見つかりません。\n　UG_EDIT_PART_NAMES を指定して下さい。"};
inline constexpr Text kPcToolMissingAtStart{"UGPC が見つかりません。\n　UGPC を指定して下さい。"};
inline constexpr Text kQuitQuestion{"velmora を終了します。"};
// Windows: the CAD library is loaded at start, from the program's search path or UGII_ROOT_DIR.
inline constexpr Text kUfLibraryMissing{
    "libufun.dll が見つかりません。\n　UGII_ROOT_DIR か PATH を確認して下さい。velmora を終了します。"};
inline constexpr Text kUfTerminateFailed{"ユーザファンクションのセッション終了に失敗しました。"};

// The tools' file names, as looked for under UGII_ROOT_DIR and expected from the file dialogs.
inline constexpr std::string_view kEditToolFileName = "ug_edit_part_names.exe";
inline constexpr std::string_view kPcToolFileName = "ugpc.exe";

// File dialogs of the three browse buttons.
inline constexpr Text kExeFilter{"EXEﾌｧｲﾙ(.exe)|*.exe|全てのﾌｧｲﾙ(*.*)|*.*||"};
inline constexpr Text kPrtFilter{"PRTﾌｧｲﾙ(.prt)|*.prt|全てのﾌｧｲﾙ(*.*)|*.*||"};
inline constexpr std::string_view kExeExtension = "exe";
inline constexpr std::string_view kPrtExtension = "prt";
inline constexpr std::string_view kPrtInitialName = "*.prt";
inline constexpr Text kEditToolDialogTitle{"UG_EDIT_PART_NAMES ファイルを選択"};
inline constexpr Text kPcToolDialogTitle{"UGPC ファイルを選択"};
inline constexpr Text kInputPartDialogTitle{"入力パート を選択"};

// Checks of the chosen files.
inline constexpr Text kEditToolNoSeparator{
    "区切り記号を取得出来ませんでした。\n　UG_EDIT_PART_NAMES を適用出来ません。"};
inline constexpr Text kPcToolNoSeparator{"区切り記号を取得出来ませんでした。\n　UGPC を適用出来ません。"};
inline constexpr Text kEditToolWrongFile{
    "選択したファイルが UG_EDIT_PART_NAMES.exe では有りません。\n　ファイルを選択し直して下さい。"};
inline constexpr Text kPcToolWrongFile{
    "選択したファイルが UGPC.exe では有りません。\n　ファイルを選択し直して下さい。"};
inline constexpr Text kInputPartNoExtension{
    "拡張子を取得出来ませんでした。\n　入力パート を適用出来ません。"};
inline constexpr Text kInputPartNotPrt{
    "選択したファイルの拡張子が PRT では有りません。\n　ファイルを選択し直して下さい。"};

// The execute button. The old-file message is head + part name + rest; the tails come from tails.h.
inline constexpr std::string_view kOldFileMissingHead = "変更前の ";
inline constexpr std::string_view kOldFileMissingRest = " ファイルが見つかりません。\n　";
inline std::string OldFileMissing(std::string_view partName, std::string_view tail) {
  return AroundName(kOldFileMissingHead, partName, kOldFileMissingRest, tail);
}
inline constexpr Tailed kDispatchPcOutputOpenFailed{"UGPC の テキストファイル を開くのに失敗しました。\n　"};
inline constexpr Tailed kRuleInputRowCount{
    "入力パート がリストに含まれていないか，リストに複数有ります。\n　"};
inline constexpr Text kRuleNothingToChange{
    "全ての 変更後パート名 と 変更後フォルダ名 が入力されていません。\n　変更は出来ません。"};
inline constexpr Tailed kRuleInputPartOnly{"入力パートのみ変更 がチェックされています。\n　"};
inline constexpr Text kRuleRemoveFoldersWithSwap{
    "実行後に入力パートを入れ替え がチェックされています。\n　全てのフォルダ情報を削除 は使用出来ません。"};
inline constexpr Text kRuleRemoveFoldersWithoutCopy{
    "存在しないファイルをコピー がチェックされていません。\n　全てのフォルダ情報を削除 は使用出来ません。"};
inline constexpr Text kRuleRemoveFoldersWithoutResave{
    "全て置換の許可保存 がチェックされていません。\n　全てのフォルダ情報を削除 は使用出来ません。"};
inline constexpr Text kRuleRemoveFoldersWithNewFolder{
    "変更後フォルダ名 が入力されています。\n　全てのフォルダ情報を削除 は使用出来ません。"};
inline constexpr Text kSwapTargetMissing{
    "実行後に入れ替えるファイルが見つかりません。\n　実行は完了しました。"};
inline constexpr Text kRunFinished{"実行が正常に終了しました。"};
// Two rows meeting at one file: head + the new file name + rest + tail.
inline constexpr std::string_view kTargetClashHead = "変更後の ";
inline constexpr std::string_view kTargetClashRest = " ファイルが重複しています。\n　";
inline std::string TargetClash(std::string_view fileName, std::string_view tail) {
  return AroundName(kTargetClashHead, fileName, kTargetClashRest, tail);
}
// A run whose result does not resolve: head, then "\n" + path for up to five paths, then the tail.
inline constexpr std::string_view kRunFinishedWithMissing =
    "実行は終了しましたが、見つからないファイルが有ります。";
inline constexpr std::string_view kRunFinishedCheckResult = "\n　結果を確認して下さい。";
// The run's unresolved files (cp932): the first few are shown.
[[nodiscard]] std::string RunFinishedWithMissing(const std::vector<std::string>& paths);
// The same for references a bulk run should have respelt and did not (case, folders).
inline constexpr std::string_view kRunFinishedMisspelt =
    "実行は終了しましたが、操作の通りに書き換えられていない参照が有ります。";
[[nodiscard]] std::string RunFinishedMisspelt(const std::vector<std::string>& paths);

// Editing a new part name in place.
inline constexpr Text kNewNameNoExtension{"拡張子を取得出来ませんでした。記入は適用しません。"};
inline constexpr Text kNewNameNotPrt{"拡張子が PRT では有りません。記入は適用しません。"};
inline constexpr Text kNewNameHasSeparator{": か \\ が有ります。記入は適用しません。"};
inline constexpr Text kNewNameForbiddenCharacter{"< > \" / | ? * か制御文字が有ります。記入は適用しません。"};
inline constexpr Text kNewNameReserved{
    "CON PRN AUX NUL COM1-9 LPT1-9 は名前に使用出来ません。記入は適用しません。"};
inline constexpr Text kNewNameBlank{"名前の前後に空白が有ります。記入は適用しません。"};
inline constexpr Text kNewNameTooLong{"パス名が 259 バイトを超えます。記入は適用しません。"};

// The two new-folder buttons.
inline constexpr Text kNewFolderForbiddenName{
    "使用出来ない名前のフォルダです。\n　変更後フォルダ名 を適用出来ません。"};
inline constexpr Text kNewFolderTooLong{
    "パス名が 259 バイトを超えるリストが有ります。\n　変更後フォルダ名 を適用出来ません。"};
inline constexpr Text kNewFolderNoSelection{
    "リストが選択されていません。\n　変更後フォルダ名 は使用出来ません。"};
inline constexpr Text kNewFolderMixedFolders{
    "同名のフォルダ全てに適用 "
    "がチェックされ，選択されているリストのフォルダ名が違います。\n　変更後フォルダ名 は使用出来ません。"};
inline constexpr Text kNewFolderDialogTitle{"変更後フォルダ を選択"};
inline constexpr Text kAllFilesFilter{"全てのﾌｧｲﾙ(*.*)|*.*||"};
inline constexpr Text kNewFolderNoSeparator{
    "区切り記号を取得出来ませんでした。\n　変更後フォルダ名 を適用出来ません。"};
inline constexpr Text kClearFolderNoSelection{
    "リストが選択されていません。\n　変更後フォルダ名の消去 は使用出来ません。"};

// Copying a part name to the clipboard.
inline constexpr Text kCopyMultipleSelected{"複数のリストが選択されています。\n　コピーしていません。"};
inline constexpr Text kClipboardAllocateFailed{"メモリを確保出来ませんでした。\n　コピーしていません。"};
inline constexpr Text kClipboardLockFailed{"メモリをロック出来ませんでした。\n　コピーしていません。"};
inline constexpr Text kClipboardOpenFailed{
    "他アプリで使用中か，クリップボード を開けませんでした。\n　コピーしていません。"};
inline constexpr Text kClipboardEmptyFailed{
    "クリップボード を初期化出来ませんでした。\n　コピーしていません。"};
inline constexpr Text kClipboardSetDataFailed{
    "クリップボード に値を送れませんでした。\n　コピーしていません。"};

}  // namespace velmora::msg
