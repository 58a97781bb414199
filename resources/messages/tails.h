#pragma once
// The closing lines that tell the user which operation gave up. Each message that takes a tail
// ends in "\n　" and the tail follows it.

#include <string_view>

namespace velmora::msg {

inline constexpr std::string_view kLineBreak = "\n　";

inline constexpr std::string_view kTailListNotBuilt = "リストを作成出来ません。";
inline constexpr std::string_view kTailListIncomplete = "リストは完成していません。";
inline constexpr std::string_view kTailInspectNotDone = "検査は出来ていません。";
inline constexpr std::string_view kTailInspectDone = "検査は完了しました。";
inline constexpr std::string_view kTailRunRefused = "実行は使用出来ません。";
inline constexpr std::string_view kTailRunBroken = "実行は中断しました。";

}  // namespace velmora::msg
