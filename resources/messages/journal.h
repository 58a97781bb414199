#pragma once
// Texts of the run journal and of undoing a run; an undo that stops names the file first.

#include <string_view>

#include "resources/messages/message.h"

namespace velmora::msg {

inline constexpr Text kJournalWriteFailed{"実行の記録を TEMP に書き込めません。\n　実行は中断しました。"};
inline constexpr Text kUndoDone{"直前の実行を元に戻しました。"};
inline constexpr Text kUndoNothing{"元に戻せる実行が有りません。"};
// File path + one of these.
inline constexpr AfterName kUndoFileChanged{"\n　実行後に変更されています。元に戻せません。"};
inline constexpr AfterName kUndoFileFailed{"\n　元に戻すのに失敗しました。"};
// The file, then the copy of its original kept beside the journal, to be taken back by hand.
inline constexpr Filled<2> kUndoFileChangedKept{
    "%1\n　実行後に変更されています。元に戻せません。\n　元のファイルの控え: %2"};
inline constexpr Filled<2> kUndoBackupMissing{
    "%1\n　元のファイルの控えが有りません: %2\n　元に戻せません。何も変更していません。"};
inline constexpr Filled<2> kUndoBackupDamaged{
    "%1\n　元のファイルの控えが壊れています: %2\n　元に戻せません。何も変更していません。"};
// The file, then where what it held was kept: its last write was cut off and left no result, so
// what it holds cannot be told from a change made later.
inline constexpr Filled<2> kUndoKeptAside{
    "%1\n　への最後の書き込みは実行の中断で結果が記録されていないため、後からの変更と区別できません。\n"
    "　元に戻す前の内容を次に残しました: %2"};
// The journal folder.
inline constexpr Filled<1> kUndoJournalDamaged{
    "%1\n　にある実行の記録が壊れています。元に戻せません。\n　記録もファイルも何も変更していません。"};
inline constexpr Text kUndoRunInProgress{
    "別の velmora で実行が進行中です。元に戻せません。\n　その実行が終わってから元に戻してください。"};
// The operation, the input part, when it ran, how many files it wrote.
inline constexpr Filled<4> kUndoQuestion{
    "次の実行を元に戻しますか？\n　操作: %1\n　入力パート: %2\n　実行日時: %3\n　書き込んだファイル: %4 個"};
inline constexpr Filled<4> kUndoQuestionOtherPart{
    "次の実行を元に戻しますか？ 現在の入力パートの実行ではありません。\n　操作: %1\n　入力パート: "
    "%2\n　実行日時: %3\n"
    "　書き込んだファイル: %4 個"};
inline constexpr Text kInterruptedRunFound{
    "終了していない実行の記録が有ります (強制終了または停電で中断した実行)。\n"
    "　直前の実行を元に戻す で元に戻せます。"};

}  // namespace velmora::msg
