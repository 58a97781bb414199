// velmora: one modal dialog. Its one argument, --version, prints the version and ends, with no
// window and no display needed.
//
// VELMORA_QUIT_AT_START=1 checks an installation: everything is built and the window shown, then
// the program leaves at once, with 0 only when the batch interpreter is where it will be looked for.

#include <QApplication>
#include <QIcon>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/qt/main_window.h"
#include "app/qt/prompts.h"
#include "app/qt/translations.h"
#include "platform/batch_interpreter.h"
#include "platform/host.h"
#include "platform/ufun_library.h"
#include "resources/version.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("velmora %.*s\n", static_cast<int>(velmora::msg::kVersion.size()),
                velmora::msg::kVersion.data());
    return 0;
  }
  QApplication application(argc, argv);
  application.setWindowIcon(QIcon(QStringLiteral(":/icon/velmora.png")));
  velmora::app::qt::InstallToolkitTranslations(application);
  velmora::platform::RealHost host;
  velmora::platform::UfunLibrary cad;
  velmora::app::qt::QtPrompts prompts;
  velmora::app::qt::MainWindow window(host, cad, prompts);
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("velmora"),
                     QStringLiteral("velmora"));
  window.RestoreSettings(settings);
  const bool quitAtStart = qEnvironmentVariable("VELMORA_QUIT_AT_START") == QStringLiteral("1");
  if (quitAtStart)
    QTimer::singleShot(0, &window, [&window] { window.done(0); });
  const int result = window.Run();
  if (!quitAtStart)
    return 0;
  const std::string interpreter = velmora::platform::FindBatchInterpreter();
  if (!velmora::platform::IsExecutableFile(interpreter)) {
    std::fprintf(stderr, "velmora: no batch interpreter at %s\n", interpreter.c_str());
    return 1;
  }
  return result;
}
