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

}  // namespace velmora::msg
