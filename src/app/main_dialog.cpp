#include "app/main_dialog.h"

namespace velmora::app {

ListGeometry ListGeometryForClient(int cx, int cy) {
  (void)cx;
  (void)cy;
  return {};
}

MainDialog::MainDialog(platform::Ui& ui, platform::Host& host) : context_(state_, ui, host) {}

bool MainDialog::OnInitDialog() {
  return true;
}
bool MainDialog::OnCancel() {
  return true;
}
void MainDialog::OnExecute() {}
void MainDialog::BrowseEditTool() {}
void MainDialog::BrowsePcTool() {}
void MainDialog::BrowseInputPart() {}
bool MainDialog::OnEndLabelEdit(int row, std::optional<std::string> text) {
  (void)row;
  (void)text;
  return false;
}
void MainDialog::ChooseNewFolder() {}
void MainDialog::ClearNewFolder() {}
void MainDialog::SortByColumn(int column) {
  (void)column;
}
void MainDialog::CopyPartName() {}

}  // namespace velmora::app
