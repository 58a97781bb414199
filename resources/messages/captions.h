#pragma once
// The window's own texts: its title, the captions of its controls, the list's column headers and the
// few messages that only the window can give.

#include <array>
#include <string_view>

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

// Read by screen readers; the list has no caption of its own.
inline constexpr std::string_view kListAccessibleName = "パート一覧";
inline constexpr std::string_view kHelpTitle = "velmora ヘルプ";

// The list's context menu.
inline constexpr std::string_view kMenuUndoLastRun = "直前の実行を元に戻す(&U)";

inline constexpr std::array<std::string_view, 10> kColumnHeaders = {
    "変更後パート名", "パート名", "フォルダ名", "変更後フォルダ名", "編集", "前", "後", "重複", "親", "No",
};

// A name typed into the list that cp932 cannot hold could never reach a file name.
inline constexpr std::string_view kNameNotCp932 = "使用出来ない文字が有ります。記入は適用しません。";

}  // namespace velmora::msg
