#pragma once
// "名前の一括変更" as a native modal dialog: the rule's fields and, beside every selected row's
// name, the name the rule makes and what is wrong with it, redone on every change. OK hands the
// rule to the main dialog's handler; the window stays open when the handler refuses it.

#include <windows.h>

#include <functional>
#include <string>

#include "partlist/naming_rules.h"
#include "partlist/part_list.h"

namespace velmora::app::win {

class NamingRulesDialog {
 public:
  // True when the rule was applied; nullptr when a field holds text cp932 cannot hold.
  using Apply = std::function<bool(const partlist::NamingRule* rule)>;

  NamingRulesDialog(const partlist::PartList& list, Apply apply);

  // Modal over the owner until OK is taken or the dialog is cancelled; true when applied.
  bool Run(HINSTANCE instance, HWND owner);
  // The open dialog, for message boxes over it; nullptr when closed.
  [[nodiscard]] HWND Window() const { return window_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInit();
  void SetCaptions();
  void SetUpPreview();
  void OnCommand(int id, int code);
  void OnGetText(NMLVDISPINFOA& info) const;
  // The rule as the fields give it; false when a field holds text cp932 cannot hold.
  bool Rule(partlist::NamingRule& rule) const;
  [[nodiscard]] bool FieldText(int id, std::string& out) const;
  [[nodiscard]] long long Number(int id, long long minimum, long long fallback) const;
  void Refresh();
  void Accept();

  const partlist::PartList& list_;
  Apply apply_;
  HWND window_ = nullptr;
  HWND preview_ = nullptr;
  partlist::RenamePlan plan_;
  bool ready_ = false;
};

}  // namespace velmora::app::win
