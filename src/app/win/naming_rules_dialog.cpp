// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/win/naming_rules_dialog.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <string_view>
#include <utility>

#include "app/rename_preview.h"
#include "app/win/resource.h"
#include "resources/messages/captions.h"
#include "text/codec.h"

namespace velmora::app::win {
namespace {

constexpr long long kNumberMaximum = 999999999;
constexpr long long kStartMinimum = 0;
constexpr long long kStepMinimum = -999999;
constexpr std::array<int, 4> kPreviewWidths = {210, 180, 180, 160};

struct Caption {
  int id;
  std::string_view text;  // UTF-8
};
constexpr std::array<Caption, 14> kCaptions = {{
    {IDC_RULE_PATTERN_LABEL, msg::kRenamePattern},
    {IDC_RULE_START_LABEL, msg::kRenameStart},
    {IDC_RULE_STEP_LABEL, msg::kRenameStep},
    {IDC_RULE_HINT, msg::kRenamePatternHint},
    {IDC_RULE_FIND_LABEL, msg::kRenameFind},
    {IDC_RULE_REPLACE_LABEL, msg::kRenameReplace},
    {IDC_RULE_MATCH_CASE, msg::kRenameMatchCase},
    {IDC_RULE_PREFIX_LABEL, msg::kRenamePrefix},
    {IDC_RULE_SUFFIX_LABEL, msg::kRenameSuffix},
    {IDC_RULE_CASE_LABEL, msg::kRenameCase},
    {IDC_RULE_PREVIEW_LABEL, msg::kRenamePreview},
    {IDOK, msg::kButtonOk},
    {IDCANCEL, msg::kButtonCancel},
    {0, msg::kRenameTitle},  // the caption of the dialog itself
}};

constexpr std::array<int, 5> kTextFields = {IDC_RULE_PATTERN, IDC_RULE_FIND, IDC_RULE_REPLACE,
                                            IDC_RULE_PREFIX, IDC_RULE_SUFFIX};

void CopyInto(const std::string& text, NMLVDISPINFOA& info) {
  if (info.item.pszText == nullptr || info.item.cchTextMax <= 0)
    return;
  const std::size_t room = static_cast<std::size_t>(info.item.cchTextMax) - 1;
  const std::size_t length = std::min(text.size(), room);
  std::memcpy(info.item.pszText, text.data(), length);
  info.item.pszText[length] = '\0';
}

}  // namespace

NamingRulesDialog::NamingRulesDialog(const partlist::PartList& list, Apply apply)
    : list_(list), apply_(std::move(apply)) {}

bool NamingRulesDialog::Run(HINSTANCE instance, HWND owner) {
  const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_NAMING_RULES), owner, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
  preview_ = nullptr;
  return result == IDOK;
}

INT_PTR CALLBACK NamingRulesDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<NamingRulesDialog*>(lParam)->window_ = window;
  }
  auto* self = reinterpret_cast<NamingRulesDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  return self == nullptr ? FALSE : self->Handle(message, wParam, lParam);
}

INT_PTR NamingRulesDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit();
      return TRUE;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      auto& header = *reinterpret_cast<NMHDR*>(lParam);
      if (header.hwndFrom == preview_ && header.code == LVN_GETDISPINFOA)
        OnGetText(reinterpret_cast<NMLVDISPINFOA&>(header));
      return FALSE;
    }
    case WM_CLOSE:
      EndDialog(window_, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

void NamingRulesDialog::OnInit() {
  SetCaptions();
  for (const auto& [spin, minimum] :
       {std::pair{IDC_RULE_START_SPIN, kStartMinimum}, std::pair{IDC_RULE_STEP_SPIN, kStepMinimum}}) {
    SendDlgItemMessageA(window_, spin, UDM_SETRANGE32, static_cast<WPARAM>(minimum),
                        static_cast<LPARAM>(kNumberMaximum));
    SendDlgItemMessageA(window_, spin, UDM_SETPOS32, 0, 1);
  }
  for (const std::string_view option : {msg::kRenameCaseKeep, msg::kRenameCaseUpper, msg::kRenameCaseLower})
    SendDlgItemMessageA(window_, IDC_RULE_CASE, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(text::Cp932(option).c_str()));
  SendDlgItemMessageA(window_, IDC_RULE_CASE, CB_SETCURSEL, 0, 0);
  SetUpPreview();
  ready_ = true;
  Refresh();
}

void NamingRulesDialog::SetCaptions() {
  for (const Caption& caption : kCaptions) {
    const std::string text = text::Cp932(caption.text);
    if (caption.id == 0)
      SetWindowTextA(window_, text.c_str());
    else
      SetDlgItemTextA(window_, caption.id, text.c_str());
  }
  SetDlgItemTextA(window_, IDC_RULE_PATTERN, "");
  SendDlgItemMessageA(window_, IDC_RULE_PATTERN, EM_SETCUEBANNER, FALSE,
                      reinterpret_cast<LPARAM>(L"A-###.prt"));
}

void NamingRulesDialog::SetUpPreview() {
  preview_ = GetDlgItem(window_, IDC_RULE_PREVIEW);
  SendMessageA(preview_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  for (std::size_t column = 0; column < msg::kRenamePreviewHeaders.size(); ++column) {
    std::string header = text::Cp932(msg::kRenamePreviewHeaders[column]);
    LVCOLUMNA spec{};
    spec.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    spec.fmt = LVCFMT_LEFT;
    spec.cx = kPreviewWidths[column];
    spec.pszText = header.data();
    spec.iSubItem = static_cast<int>(column);
    SendMessageA(preview_, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&spec));
  }
}

void NamingRulesDialog::OnCommand(int id, int code) {
  if (id == IDOK && code == BN_CLICKED) {
    Accept();
  } else if (id == IDCANCEL && code == BN_CLICKED) {
    EndDialog(window_, IDCANCEL);
  } else if (code == EN_CHANGE || (id == IDC_RULE_CASE && code == CBN_SELCHANGE) ||
             (id == IDC_RULE_MATCH_CASE && code == BN_CLICKED)) {
    Refresh();
  } else if (code == EN_KILLFOCUS && (id == IDC_RULE_START || id == IDC_RULE_STEP)) {
    // The number the rule uses, as the field then shows it.
    const long long minimum = id == IDC_RULE_START ? kStartMinimum : kStepMinimum;
    SetDlgItemTextA(window_, id, std::to_string(Number(id, minimum, 1)).c_str());
  }
}

// The preview holds no texts of its own: each cell is made when the list shows it.
void NamingRulesDialog::OnGetText(NMLVDISPINFOA& info) const {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.iItem < 0 ||
      static_cast<std::size_t>(info.item.iItem) >= plan_.entries.size())
    return;
  const RenamePreviewRow row = PreviewRowOf(list_, plan_.entries[static_cast<std::size_t>(info.item.iItem)]);
  switch (info.item.iSubItem) {
    case 0:
      CopyInto(row.folder, info);
      break;
    case 1:
      CopyInto(row.oldName, info);
      break;
    case 2:
      CopyInto(row.newName, info);
      break;
    default:
      CopyInto(text::Cp932(row.problem), info);
      break;
  }
}

// The field's text in cp932, read in the platform's wide form so that a character cp932 cannot
// hold is seen rather than silently turned into "?".
bool NamingRulesDialog::FieldText(int id, std::string& out) const {
  out.clear();
  const HWND field = GetDlgItem(window_, id);
  const int length = GetWindowTextLengthW(field);
  if (length <= 0)
    return true;
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  wide.resize(static_cast<std::size_t>(GetWindowTextW(field, wide.data(), length + 1)));
  BOOL lost = FALSE;
  const int size = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, &lost);
  out.assign(static_cast<std::size_t>(std::max(size, 0)), '\0');
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                      nullptr, &lost);
  return lost == FALSE;
}

// A number field: its value within range, or the fallback while it holds no number.
long long NamingRulesDialog::Number(int id, long long minimum, long long fallback) const {
  char buffer[32] = {};
  const int length = GetDlgItemTextA(window_, id, buffer, sizeof buffer);
  long long value = fallback;
  const auto [end, error] = std::from_chars(buffer, buffer + length, value);
  if (error != std::errc() || end != buffer + length)
    return fallback;
  return std::clamp(value, minimum, kNumberMaximum);
}

bool NamingRulesDialog::Rule(partlist::NamingRule& rule) const {
  std::array<std::string*, kTextFields.size()> fields = {&rule.pattern, &rule.find, &rule.replaceWith,
                                                         &rule.prefix, &rule.suffix};
  bool ok = true;
  for (std::size_t i = 0; i < kTextFields.size(); ++i)
    ok = FieldText(kTextFields[i], *fields[i]) && ok;
  rule.start = Number(IDC_RULE_START, kStartMinimum, 1);
  rule.step = Number(IDC_RULE_STEP, kStepMinimum, 1);
  rule.matchCase = IsDlgButtonChecked(window_, IDC_RULE_MATCH_CASE) == BST_CHECKED;
  const LRESULT caseChange = SendDlgItemMessageA(window_, IDC_RULE_CASE, CB_GETCURSEL, 0, 0);
  rule.caseChange = static_cast<partlist::CaseChange>(std::clamp<LRESULT>(caseChange, 0, 2));
  return ok;
}

void NamingRulesDialog::Refresh() {
  // Fields change while the dialog is being set up; the preview is made once it is.
  if (!ready_)
    return;
  partlist::NamingRule rule;
  // Text cp932 cannot hold shows as such in the preview: the handler refuses it on OK.
  static_cast<void>(Rule(rule));
  plan_ = partlist::PlanRenames(list_, rule);
  SendMessageA(preview_, LVM_SETITEMCOUNT, plan_.entries.size(), 0);
  InvalidateRect(preview_, nullptr, TRUE);
}

void NamingRulesDialog::Accept() {
  partlist::NamingRule rule;
  const bool ok = Rule(rule);
  if (apply_(ok ? &rule : nullptr))
    EndDialog(window_, IDOK);
}

}  // namespace velmora::app::win
