#pragma once
// Texts of the host layer: why a host path has no Windows form, and the batch interpreter's
// complaints (written to the run's error stream, so they land in the .log file).

#include <string_view>

namespace velmora::msg {

// A host path from a file dialog or the environment that cannot be used as a Windows path.
// The offending path or name follows after the colon.
inline constexpr std::string_view kHostPathNotAbsolute = "絶対パスではありません: ";
inline constexpr std::string_view kHostPathNoDrive = "どのドライブにも割り当てられていない場所です: ";
inline constexpr std::string_view kHostNameBadCharacter =
    "Windows のファイル名に使えない文字を含む名前です: ";
inline constexpr std::string_view kHostNameNotCp932 = "シフトJIS で表せない文字を含む名前です: ";
inline constexpr std::string_view kHostNameReserved = "Windows では使えない名前です: ";

// The batch interpreter. Each line starts with the interpreter's name and ends with a line break.
inline constexpr std::string_view kBatchPrefix = "velmora-batch: ";
inline constexpr std::string_view kBatchCannotRead = "バッチファイルを読めません: ";
inline constexpr std::string_view kBatchLine = " 行目: ";
inline constexpr std::string_view kBatchUnsupported = "扱えない命令なので実行しません: ";
inline constexpr std::string_view kBatchCannotRun = "プログラムを実行できません: ";
inline constexpr std::string_view kBatchCannotRedirect = "出力先を開けません: ";

}  // namespace velmora::msg
