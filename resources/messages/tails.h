#pragma once
// The closing lines that tell the user which operation gave up. Each message that takes a tail
// ends in "\n　" and the tail follows it.

#include <string_view>

#include "resources/messages/message.h"

namespace velmora::msg {

inline constexpr Text kTailListNotBuilt{"リストを作成出来ません。"};
inline constexpr Text kTailListIncomplete{"リストは完成していません。"};
inline constexpr Text kTailInspectNotDone{"検査は出来ていません。"};
inline constexpr Text kTailInspectDone{"検査は完了しました。"};
inline constexpr Text kTailRunRefused{"実行は使用出来ません。"};
inline constexpr Text kTailRunBroken{"実行は中断しました。"};

}  // namespace velmora::msg
