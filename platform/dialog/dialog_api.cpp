#include <QApplication>
#include <QWidget>
#include <cctype>
#include <climits>
#include <cstring>
#include <string>

#include "platform/dialog/common_controls.h"
#include "platform/dialog/dialog_internal.h"
#include "platform/dialog/dialog_window.h"
#include "platform/sys/utf8_truncate.h"

// The dialog manager's calls on dialogs and controls.

namespace {

// Decimal digits with optional blanks round them and, when signed, a minus
// sign; unsigned text with a minus sign wraps round as the C library does.
bool ParseNumber(const std::string& text, bool isSigned, uint32_t* value) {
  size_t at = 0, end = text.size();
  while (at < end && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  while (end > at && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  bool negative = false;
  if (at < end && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  if (at == end) return false;
  uint64_t magnitude = 0;
  for (; at < end; ++at) {
    if (!std::isdigit(static_cast<unsigned char>(text[at]))) return false;
    magnitude = magnitude * 10 + uint64_t(text[at] - '0');
    if (magnitude > UINT32_MAX) return false;
  }
  if (isSigned) {
    if (magnitude > (negative ? uint64_t(INT32_MAX) + 1 : uint64_t(INT32_MAX))) return false;
    *value = static_cast<uint32_t>(negative ? -static_cast<int64_t>(magnitude) : int64_t(magnitude));
  } else {
    *value = negative ? static_cast<uint32_t>(0u - static_cast<uint32_t>(magnitude))
                      : static_cast<uint32_t>(magnitude);
  }
  return true;
}

std::string WindowTextOf(HWND window) {
  int length = GetWindowTextLength(window);
  std::string text(size_t(std::max(0, length)) + 1, '\0');
  int copied = GetWindowText(window, text.data(), static_cast<int>(text.size()));
  text.resize(size_t(std::max(0, copied)));
  return text;
}

}  // namespace

HWND GetDlgItem(HWND dialog, int id) {
  Dialog* found = FindDialog(dialog);
  Control* control = found ? found->Find(id) : nullptr;
  return control ? control->handle : 0;
}

int GetDlgCtrlID(HWND window) {
  Control* control = FindControl(window);
  return control ? control->id : 0;
}

bool EnableWindow(HWND window, bool enable) {
  QWidget* widget = WidgetOf(window);
  if (!widget) return false;
  bool wasDisabled = !widget->isEnabled();
  widget->setEnabled(enable);
  return wasDisabled;
}

bool IsWindowEnabled(HWND window) {
  QWidget* widget = WidgetOf(window);
  return widget && widget->isEnabled();
}

HWND GetFocus() {
  return HandleOfWidget(QApplication::focusWidget());
}

HWND SetFocus(HWND window) {
  HWND previous = GetFocus();
  if (QWidget* widget = WidgetOf(window)) widget->setFocus(Qt::OtherFocusReason);
  return previous;
}

bool SetWindowText(HWND window, const char* text) {
  if (Dialog* dialog = FindDialog(window)) {
    if (dialog->window) dialog->window->setWindowTitle(DisplayText(text ? text : ""));
    return true;
  }
  if (!FindControl(window)) return false;
  return SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int GetWindowText(HWND window, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  if (Dialog* dialog = FindDialog(window)) {
    QByteArray title = dialog->window ? dialog->window->windowTitle().toUtf8() : QByteArray();
    return int(CopyUtf8Truncated(title.constData(), size_t(title.size()), buffer, size_t(size)));
  }
  buffer[0] = '\0';
  if (!FindControl(window)) return 0;
  return static_cast<int>(SendMessage(window, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND window) {
  if (Dialog* dialog = FindDialog(window))
    return dialog->window ? static_cast<int>(dialog->window->windowTitle().toUtf8().size()) : 0;
  if (!FindControl(window)) return 0;
  return static_cast<int>(SendMessage(window, WM_GETTEXTLENGTH, 0, 0));
}

bool SetDlgItemText(HWND dialog, int id, const char* text) {
  HWND control = GetDlgItem(dialog, id);
  return control && SetWindowText(control, text);
}

uint32_t GetDlgItemText(HWND dialog, int id, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  HWND control = GetDlgItem(dialog, id);
  return control ? static_cast<uint32_t>(GetWindowText(control, buffer, size)) : 0;
}

uint32_t GetDlgItemInt(HWND dialog, int id, bool* translated, bool isSigned) {
  if (translated) *translated = false;
  HWND control = GetDlgItem(dialog, id);
  uint32_t value = 0;
  if (!control || !ParseNumber(WindowTextOf(control), isSigned, &value)) return 0;
  if (translated) *translated = true;
  return value;
}

bool SetDlgItemInt(HWND dialog, int id, uint32_t value, bool isSigned) {
  std::string text = isSigned ? std::to_string(static_cast<int32_t>(value)) : std::to_string(value);
  return SetDlgItemText(dialog, id, text.c_str());
}

LRESULT SendDlgItemMessage(HWND dialog, int id, uint32_t message, WPARAM wParam, LPARAM lParam) {
  HWND control = GetDlgItem(dialog, id);
  return control ? SendMessage(control, message, wParam, lParam) : 0;
}

bool CheckDlgButton(HWND dialog, int id, uint32_t check) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return false;
  SendMessage(control, BM_SETCHECK, check, 0);
  return true;
}

uint32_t IsDlgButtonChecked(HWND dialog, int id) {
  return static_cast<uint32_t>(SendDlgItemMessage(dialog, id, BM_GETCHECK, 0, 0));
}

intptr_t SetWindowLong(HWND window, int index, intptr_t value) {
  Control* control = FindControl(window);
  Dialog* dialog = control ? nullptr : FindDialog(window);
  if (!control && !dialog) return 0;
  intptr_t& slot = control ? control->userData : dialog->userData;
  intptr_t previous = 0;
  switch (index) {
    case GWL_WNDPROC:
      if (!control || !value) return 0;
      previous = reinterpret_cast<intptr_t>(control->proc);
      control->proc = reinterpret_cast<WNDPROC>(value);
      return previous;
    case GWL_USERDATA:
      previous = slot;
      slot = value;
      return previous;
    default:
      return 0;
  }
}

intptr_t GetWindowLong(HWND window, int index) {
  Control* control = FindControl(window);
  Dialog* dialog = control ? nullptr : FindDialog(window);
  if (!control && !dialog) return 0;
  switch (index) {
    case GWL_WNDPROC:
      return control ? reinterpret_cast<intptr_t>(control->proc) : 0;
    case GWL_ID:
      return control ? control->id : 0;
    case GWL_STYLE:
      return control ? static_cast<intptr_t>(control->style) : 0;
    case GWL_USERDATA:
      return control ? control->userData : dialog->userData;
    default:
      return 0;
  }
}

LRESULT CallWindowProc(WNDPROC previous, HWND window, uint32_t message, WPARAM wParam,
                       LPARAM lParam) {
  return previous ? previous(window, message, wParam, lParam) : 0;
}

void InitCommonControls() {}
