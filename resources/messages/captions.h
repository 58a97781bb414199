#pragma once
// The window's own texts: its title, the captions of its controls, the list's column headers and the
// few messages that only the window can give.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "resources/messages/message.h"

namespace velmora::msg {

inline constexpr std::string_view kWindowTitle = "velmora";
inline constexpr std::string_view kDialogFont = "ＭＳ 明朝";

inline constexpr std::string_view kLabelEditTool = "UG_EDIT_PART_NAMES:";
inline constexpr std::string_view kLabelPcTool = "UGPC:";
inline constexpr std::string_view kLabelInputPart = "入力パート:";
inline constexpr std::string_view kButtonBrowseEditTool = "参照(&A)...";
inline constexpr std::string_view kButtonBrowsePcTool = "参照(&B)...";
inline constexpr std::string_view kButtonBrowseInputPart = "参照(&C)...";

inline constexpr std::string_view kCheckApplyToSameFolders = "同名のフォルダ全てに適用(&E)";
inline constexpr std::string_view kButtonChooseNewFolder = "変更後フォルダ名(&F)...";
inline constexpr std::string_view kButtonClearNewFolder = "変更後フォルダ名の消去(&G)";
inline constexpr std::string_view kCheckInputPartOnly = "入力パートのみ変更(&I)";
inline constexpr std::string_view kCheckOverwriteAll = "全て上書き保存(&J)";
inline constexpr std::string_view kCheckAllowReplaceAll = "全て置換の許可保存(&K)";
inline constexpr std::string_view kCheckCopyMissingFiles = "存在しないファイルをコピー(&L)";
inline constexpr std::string_view kCheckSwapInputAfterRun = "実行後に入力パートを入れ替え(&M)";
inline constexpr std::string_view kCheckFastSchedule = "高速実行(&T)";

inline constexpr std::string_view kGroupOperation = "操作";
inline constexpr std::string_view kRadioInspect = "検査(&N)";
inline constexpr std::string_view kRadioChange = "変更(&O)";
inline constexpr std::string_view kRadioLowerAllFolders = "全てフォルダ名を小文字(&P)";
inline constexpr std::string_view kRadioLowerAllParts = "全てパート名を小文字(&Q)";
inline constexpr std::string_view kRadioUpperAllParts = "全てパート名を大文字(&R)";
inline constexpr std::string_view kRadioRemoveAllFolders = "全てフォルダ情報を削除(&S)";

inline constexpr std::string_view kButtonExecute = "実行";
inline constexpr std::string_view kButtonQuit = "終了";
inline constexpr std::string_view kButtonHelp = "ﾍﾙﾌﾟ(&H)";

// The progress window of a run: its button, and the line above the bar, "n / N" and the file.
inline constexpr std::string_view kButtonCancelRun = "中止";
inline constexpr std::string_view kProgressStepSeparator = " / ";

// The file dialog of the browse buttons and the CSV entries; "%1" is the name typed.
inline constexpr std::string_view kFileDialogFolder = "フォルダ(&L):";
inline constexpr std::string_view kFileDialogName = "ファイル名(&N):";
inline constexpr std::string_view kFileDialogType = "ファイルの種類(&T):";
inline constexpr std::string_view kFileDialogOpen = "開く(&O)";
inline constexpr std::string_view kFileDialogSave = "保存(&S)";
inline constexpr std::string_view kFileDialogUp = "上のフォルダへ";
inline constexpr std::string_view kFileDialogFolderName = "フォルダ名(&N):";
inline constexpr std::string_view kFileDialogChoose = "選択(&S)";
inline constexpr std::string_view kFileDialogMakeFolder = "新しいフォルダ(&W)";
inline constexpr std::string_view kFileDialogNewFolderName = "新しいフォルダ";
inline constexpr std::string_view kFileDialogMakeFailed = "フォルダ %1 を作れませんでした。";
inline constexpr std::string_view kFileDialogReading = "フォルダを読み込んでいます…";
inline constexpr std::string_view kFileDialogNotFound = "%1 が見つかりません。";
inline constexpr std::string_view kFileDialogReplace =
    "%1 は既に有ります。もう一度 保存 を押すと置き換えます。";

// Read by screen readers; the list has no caption of its own.
inline constexpr std::string_view kListAccessibleName = "パート一覧";
inline constexpr std::string_view kHelpTitle = "velmora ヘルプ";

// The list's context menu.
inline constexpr std::string_view kMenuUndoLastRun = "直前の実行を元に戻す(&U)";

inline constexpr std::array<std::string_view, 10> kColumnHeaders = {
    "変更後パート名", "パート名", "フォルダ名", "変更後フォルダ名", "編集", "前", "後", "重複", "親", "No",
};

// A name typed into the list that cp932 cannot hold could never reach a file name.
inline constexpr Text kNameNotCp932{"使用出来ない文字が有ります。記入は適用しません。"};

// The list's context menu.
inline constexpr std::string_view kMenuRenameSelected = "名前の一括変更(&R)...";
inline constexpr std::string_view kMenuExportCsv = "一覧をCSVに書き出す(&X)...";
inline constexpr std::string_view kMenuImportCsv = "CSVから変更後の名前を読み込む(&I)...";

// Renaming the selected rows by a rule. "%1", "%2" stand for the paths and names put in.
inline constexpr std::string_view kRenameTitle = "名前の一括変更";
inline constexpr std::string_view kRenamePattern = "連番パターン(&N):";
inline constexpr std::string_view kRenamePatternHint =
    "# の並びが連番になり，その数が桁数です (例 A-###.prt)";
inline constexpr std::string_view kRenameStart = "開始(&T):";
inline constexpr std::string_view kRenameStep = "増分(&D):";
inline constexpr std::string_view kRenameFind = "検索(&F):";
inline constexpr std::string_view kRenameReplace = "置換(&W):";
inline constexpr std::string_view kRenameMatchCase = "大文字と小文字を区別(&M)";
inline constexpr std::string_view kRenamePrefix = "接頭辞(&P):";
inline constexpr std::string_view kRenameSuffix = "接尾辞(&S):";
inline constexpr std::string_view kRenameCase = "大文字/小文字(&C):";
inline constexpr std::string_view kRenameCaseKeep = "変更しない";
inline constexpr std::string_view kRenameCaseUpper = "大文字";
inline constexpr std::string_view kRenameCaseLower = "小文字";
inline constexpr std::string_view kRenamePreview = "プレビュー(&V):";
inline constexpr std::array<std::string_view, 4> kRenamePreviewHeaders = {"フォルダ名", "パート名",
                                                                          "変更後パート名", "問題"};
inline constexpr std::string_view kRenameProblemOverflow = "連番が桁数に収まりません";
inline constexpr std::string_view kRenameProblemInvalid = "使用出来ない名前です";
inline constexpr std::string_view kRenameProblemCollision = "他の行と同じになります";
// Where the window system has no buttons of its own (the Windows window's naming rules).
inline constexpr std::string_view kButtonOk = "OK";
inline constexpr std::string_view kButtonCancel = "キャンセル";
inline constexpr Text kRenameNoSelection{"リストが選択されていません。\n　名前の一括変更 は使用出来ません。"};
inline constexpr Filled<3> kRenameInvalid{
    "%1 の 変更後パート名 %2 は使用出来ません。%3\n　名前の一括変更 は適用しません。"};
inline constexpr Filled<1> kRenameOverflow{
    "%1 の連番が # の桁数に収まりません。\n　名前の一括変更 は適用しません。"};
inline constexpr Filled<2> kRenameCollision{
    "%1 と %2 の変更後のパスが同じになります。\n　名前の一括変更 は適用しません。"};

// Why a name is refused, after the name in a longer message.
inline constexpr Text kReasonNoExtension{"拡張子を取得出来ません。"};
inline constexpr Text kReasonNotPrt{"拡張子が PRT では有りません。"};
inline constexpr Text kReasonHasSeparator{": か \\ が有ります。"};
inline constexpr Text kReasonForbiddenCharacter{"< > \" / | ? * か制御文字が有ります。"};
inline constexpr Text kReasonReserved{"CON PRN AUX NUL COM1-9 LPT1-9 は名前に使用出来ません。"};
inline constexpr Text kReasonBlank{"名前の前後に空白が有ります。"};
inline constexpr Text kReasonTooLong{"パス名が 259 バイトを超えます。"};

// The plan as a spreadsheet file.
inline constexpr Text kCsvFilter{"CSVﾌｧｲﾙ(.csv)|*.csv|全てのﾌｧｲﾙ(*.*)|*.*||"};
inline constexpr std::string_view kCsvExtension = "csv";
inline constexpr Text kExportCsvTitle{"一覧をCSVに書き出す"};
inline constexpr Text kImportCsvTitle{"CSVから変更後の名前を読み込む"};
inline constexpr Text kExportEmptyList{"リストが有りません。\n　CSVは書き出していません。"};
inline constexpr Filled<1> kExportOpenFailed{"%1 を開けませんでした。\n　CSVは書き出していません。"};
inline constexpr Filled<1> kExportWriteFailed{"%1 に書き込めませんでした。\n　CSVは書き出していません。"};
inline constexpr Filled<1> kImportOpenFailed{"%1 を開けませんでした。\n　CSVは読み込んでいません。"};
inline constexpr Filled<1> kImportReadFailed{"%1 を読めませんでした。\n　CSVは読み込んでいません。"};
// The headers the first line lacks follow, joined by the separator.
inline constexpr Filled<2> kImportNoHeaders{
    "%1 の1行目に %2 の見出しが有りません。\n　CSVは読み込んでいません。"};
inline constexpr std::string_view kImportHeaderSeparator = "，";
// A spreadsheet that saved in UTF-8 or UTF-16 can hold characters no part or folder name can.
inline constexpr Filled<2> kImportNotCp932{
    "%1 の%2行目に，パートやフォルダの名前に使用出来ない文字が有ります。\n　CSVは読み込んでいません。"};
// After every import that applied its records: how many matched a row, and how many of those
// changed its new name or folder.
inline constexpr Filled<2> kImportCounts{
    "CSVを読み込みました。 %1 行がリストと一致し，%2 行を変更しました。"};
inline constexpr std::string_view kImportIssuesHead = "CSVの次の行は適用出来ません。";
inline constexpr Filled<2> kImportNotInList{"%1行目 %2: リストに有りません。"};
inline constexpr Filled<2> kImportSameRowTwice{"%1行目 %2: 前の行と同じパートです。"};
inline constexpr Filled<3> kImportBadName{"%1行目 %2: 変更後パート名 %3 は使用出来ません。"};
inline constexpr Filled<3> kImportBadFolder{
    "%1行目 %2: 変更後フォルダ名 %3 はドライブかネットワークのフォルダでは有りません。"};
inline constexpr Filled<1> kImportMoreIssues{"他 %1 行"};
inline constexpr std::string_view kImportRefusedTail = "\n　CSVは読み込んでいません。";
inline constexpr std::string_view kImportPartlyTail = "\n　他の行は読み込みました。";
// A refused record whose new part name breaks a rule: the rule follows.
inline std::string ImportBadName(std::string_view record, std::string_view path, std::string_view name,
                                 const Text& reason) {
  return kImportBadName(record, path, name) + reason();
}
// The records that cannot be applied, one line each (cp932), the first few shown and the rest
// counted; refused: nothing was read, otherwise the other records were.
[[nodiscard]] std::string ImportIssues(const std::vector<std::string>& lines, bool refused);

}  // namespace velmora::msg
