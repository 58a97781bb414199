// Sorting by a column header and copying the selected row's part name.

#include <optional>

#include "app/main_dialog.h"
#include "partlist/part_row.h"
#include "resources/messages/session.h"

namespace velmora::app {
namespace {

std::optional<msg::Text> ClipboardMessage(platform::ClipboardFailure failure) {
  switch (failure) {
    case platform::ClipboardFailure::Allocate:
      return msg::kClipboardAllocateFailed;
    case platform::ClipboardFailure::Lock:
      return msg::kClipboardLockFailed;
    case platform::ClipboardFailure::Open:
      return msg::kClipboardOpenFailed;
    case platform::ClipboardFailure::Empty:
      return msg::kClipboardEmptyFailed;
    case platform::ClipboardFailure::SetData:
      return msg::kClipboardSetDataFailed;
    case platform::ClipboardFailure::None:
      break;
  }
  return std::nullopt;
}

}  // namespace

void MainDialog::SortByColumn(int column) {
  if (column < 0 || column >= partlist::kColumnCount)
    return;
  state_.partList.SortByColumn(column);
}

void MainDialog::CopyPartName() {
  const partlist::PartList& list = state_.partList;
  const int row = list.FirstSelected();
  if (row < 0)
    return;
  if (list.NextSelected(row) >= 0) {
    context_.ui.ShowMessage(msg::kCopyMultipleSelected());
    return;
  }
  if (const std::optional<msg::Text> message =
          ClipboardMessage(context_.ui.CopyToClipboard(list.Text(row, partlist::kPartName))))
    context_.ui.ShowMessage((*message)());
}

}  // namespace velmora::app
