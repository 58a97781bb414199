#include "app/main_dialog.h"

#include <string>

#include "resources/messages/session.h"

namespace velmora::app {
namespace {

// Below this client size the list keeps its template size and is clipped instead.
constexpr int kGrowFromWidth = 984;
constexpr int kGrowFromHeight = 301;

// A tool under UGII_ROOT_DIR: the variable is taken to end with its separator, so nothing is put
// between it and the file name.
std::string FindTool(operations::Context& context, std::string_view root, std::string_view fileName,
                     const msg::Text& missingMessage) {
  std::string candidate = std::string(root) + std::string(fileName);
  if (!context.host.Stat(candidate)) {
    context.ui.ShowMessage(missingMessage());
    return {};
  }
  return candidate;
}

}  // namespace

ListGeometry ListGeometryForClient(int cx, int cy) {
  ListGeometry geometry;
  if (cx >= kGrowFromWidth)
    geometry.width = cx - 21;
  if (cy >= kGrowFromHeight)
    geometry.height = cy - 244;
  return geometry;
}

MainDialog::MainDialog(platform::Ui& ui, platform::Host& host, platform::CadLibrary& cad)
    : context_(state_, ui, host, cad), session_(cad) {}

bool MainDialog::OnInitDialog() {
  platform::Ui& ui = context_.ui;
  ui.ExchangeData(false);

  // The tools are still looked for when the session could not be opened: the user learns about
  // everything that is missing before the window goes away.
  const bool sessionOpen = session_.Open();
  if (!sessionOpen)
    ui.ShowMessage(msg::kUfInitializeFailed());

  const std::string root = context_.host.GetEnv("UGII_ROOT_DIR").value_or(std::string());
  state_.editToolPath = FindTool(context_, root, msg::kEditToolFileName, msg::kEditToolMissingAtStart);
  state_.pcToolPath = FindTool(context_, root, msg::kPcToolFileName, msg::kPcToolMissingAtStart);

  state_.partList.DeleteAllRows();
  state_.partList.ResetSortDirections();
  NoticeInterruptedRuns();
  return sessionOpen;
}

bool MainDialog::OnCancel() {
  platform::Ui& ui = context_.ui;
  if (!ui.AskYesNo(msg::kQuitQuestion()))
    return false;
  if (!session_.Close())
    ui.ShowMessage(msg::kUfTerminateFailed());
  return true;
}

}  // namespace velmora::app
