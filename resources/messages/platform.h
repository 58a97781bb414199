#pragma once
// Texts of the host layer: why a host path has no Windows form, and the batch interpreter's
// complaints (written to the run's error stream, so they land in the .log file).

#include <string>
#include <string_view>

#include "resources/messages/message.h"

namespace velmora::msg {

// A host path from a file dialog or the environment that cannot be used as a Windows path.
// The offending path or name follows after the colon.
inline constexpr BeforeName kHostPathNotAbsolute{"絶対パスではありません: "};
inline constexpr BeforeName kHostPathNoDrive{"どのドライブにも割り当てられていない場所です: "};
inline constexpr BeforeName kHostNameBadCharacter{"Windows のファイル名に使えない文字を含む名前です: "};
inline constexpr BeforeName kHostNameNotCp932{"シフトJIS で表せない文字を含む名前です: "};
inline constexpr BeforeName kHostNameReserved{"Windows では使えない名前です: "};

// The batch interpreter. Each line starts with the interpreter's name and ends with a line break.
inline constexpr Text kBatchPrefix{"velmora-batch: "};
inline constexpr BeforeName kBatchCannotRead{"バッチファイルを読めません: "};
inline constexpr Text kBatchLine{" 行目: "};
inline constexpr BeforeName kBatchUnsupported{"扱えない命令なので実行しません: "};
inline constexpr BeforeName kBatchCannotRun{"プログラムを実行できません: "};
inline constexpr BeforeName kBatchCannotRedirect{"出力先を開けません: "};

// A complaint about the batch file, or about one of its commands and what it names.
inline std::string BatchComplaint(const BeforeName& message, std::string_view what) {
  return kBatchPrefix() + message(what) + "\n";
}
// A line the interpreter does not run, with its number.
inline std::string BatchUnsupported(int lineNumber, std::string_view line) {
  return kBatchPrefix() + std::to_string(lineNumber) + kBatchLine() + kBatchUnsupported(line) + "\n";
}

}  // namespace velmora::msg
