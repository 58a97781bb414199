// velmora: one modal dialog. The program takes no arguments of its own.

#include <QApplication>
#include <QIcon>

#include "app/qt/main_window.h"
#include "app/qt/prompts.h"
#include "app/qt/translations.h"
#include "platform/host.h"
#include "platform/ufun_library.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  application.setWindowIcon(QIcon(QStringLiteral(":/icon/velmora.png")));
  velmora::app::qt::InstallToolkitTranslations(application);
  velmora::platform::RealHost host;
  velmora::platform::UfunLibrary cad;
  velmora::app::qt::QtPrompts prompts;
  velmora::app::qt::MainWindow window(host, cad, prompts);
  window.Run();
  return 0;
}
