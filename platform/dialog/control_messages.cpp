#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <algorithm>
#include <cstring>

#include "platform/dialog/char_dispatch.h"
#include "platform/dialog/common_controls.h"
#include "platform/dialog/dialog_internal.h"
#include "platform/dialog/quiet_changes.h"
#include "platform/sys/utf8_truncate.h"

// The controls' own behaviour: what each class does with the messages sent to it.

namespace {

LRESULT CopyOut(const QByteArray& text, char* buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  return static_cast<LRESULT>(CopyUtf8Truncated(text.constData(), size_t(text.size()), buffer, size));
}

LRESULT ButtonMessage(Control& control, uint32_t message, WPARAM wParam) {
  auto* button = qobject_cast<QAbstractButton*>(control.widget.data());
  if (!button) return 0;
  switch (message) {
    case BM_GETCHECK:
      return button->isCheckable() && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      // Only this button: the others of its group keep their state.
      if (button->isCheckable()) button->setChecked(wParam == BST_CHECKED);
      return 0;
    case BM_CLICK:
      if (button->isEnabled() && button->isVisible()) button->click();
      return 0;
    default:
      return 0;
  }
}

LRESULT TrackbarMessage(Control& control, uint32_t message, LPARAM lParam) {
  auto* slider = qobject_cast<QSlider*>(control.widget.data());
  if (!slider) return 0;
  switch (message) {
    case TBM_GETPOS:
      return slider->value();
    case TBM_GETRANGEMIN:
      return slider->minimum();
    case TBM_GETRANGEMAX:
      return slider->maximum();
    case TBM_SETPOS:
      slider->setValue(static_cast<int>(lParam));
      return 0;
    case TBM_SETRANGE: {
      int low = LOWORD(static_cast<uintptr_t>(lParam));
      int high = HIWORD(static_cast<uintptr_t>(lParam));
      slider->setRange(low, std::max(low, high));
      return 0;
    }
    case TBM_SETPAGESIZE: {
      int previous = slider->pageStep();
      slider->setPageStep(static_cast<int>(lParam));
      return previous;
    }
    case TBM_GETPAGESIZE:
      return slider->pageStep();
    case TBM_GETNUMTICS:
      if (slider->tickPosition() == QSlider::NoTicks) return 0;
      return (slider->maximum() - slider->minimum()) / std::max(1, slider->tickInterval()) + 1;
    default:
      return 0;
  }
}

LRESULT TabMessage(Control& control, uint32_t message, WPARAM wParam, LPARAM lParam) {
  auto* tabs = qobject_cast<QTabWidget*>(control.widget.data());
  if (!tabs) return 0;
  QuietChanges quiet;
  switch (message) {
    case TCM_GETITEMCOUNT:
      return tabs->count();
    case TCM_INSERTITEMA: {
      auto* item = reinterpret_cast<const TCITEMA*>(lParam);
      if (!item) return -1;
      int index = std::clamp(static_cast<int>(wParam), 0, tabs->count());
      QString text = (item->mask & TCIF_TEXT) && item->pszText ? DisplayText(item->pszText) : QString();
      auto* page = new QWidget;
      page->setAttribute(Qt::WA_TransparentForMouseEvents);
      return tabs->insertTab(index, page, text);
    }
    case TCM_GETCURSEL:
      return tabs->currentIndex();
    case TCM_SETCURSEL: {
      int index = static_cast<int>(wParam);
      if (index < 0 || index >= tabs->count()) return -1;
      int previous = tabs->currentIndex();
      tabs->setCurrentIndex(index);
      return previous;
    }
    default:
      return 0;
  }
}

QByteArray EntryBytes(const QComboBox* combo, int index) {
  return combo->itemData(index).toByteArray();
}

bool BeginsWith(const QByteArray& entry, const QByteArray& prefix) {
  QString shownEntry = DisplayText(entry), shownPrefix = DisplayText(prefix);
  if (shownEntry.toUtf8() == entry && shownPrefix.toUtf8() == prefix)
    return shownEntry.startsWith(shownPrefix, Qt::CaseInsensitive);
  return entry.toLower().startsWith(prefix.toLower());
}

// From the entry after `start` (-1: from the top) round to the entry before it.
int FindEntry(const QComboBox* combo, WPARAM start, const char* prefix) {
  int count = combo->count();
  if (!prefix || count == 0) return -1;
  int first = static_cast<int>(static_cast<intptr_t>(start));
  first = first < 0 || first >= count ? 0 : first + 1;
  for (int step = 0; step < count; ++step) {
    int index = (first + step) % count;
    if (BeginsWith(EntryBytes(combo, index), QByteArray(prefix))) return index;
  }
  return -1;
}

// Selecting without a notification; the edit field follows the selection.
void Select(Control& control, QComboBox* combo, int index) {
  QuietChanges quiet;
  combo->setCurrentIndex(index);
  if (combo->lineEdit()) {
    QByteArray bytes = index >= 0 ? EntryBytes(combo, index) : QByteArray();
    SetControlText(control, bytes.constData());
  }
}

LRESULT ComboMessage(Control& control, uint32_t message, WPARAM wParam, LPARAM lParam) {
  auto* combo = qobject_cast<QComboBox*>(control.widget.data());
  if (!combo) return 0;
  auto* text = reinterpret_cast<const char*>(lParam);
  int index = static_cast<int>(static_cast<intptr_t>(wParam));
  switch (message) {
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
      if (message == CB_ADDSTRING || index < 0) index = combo->count();
      if (index > combo->count()) return CB_ERR;
      QByteArray bytes(text ? text : "");
      // Qt selects the first entry of an empty list; the system selects nothing.
      int selected = combo->currentIndex();
      QByteArray field = ControlText(control);
      {
        QuietChanges quiet;
        combo->insertItem(index, DisplayText(bytes), bytes);
      }
      if (selected < 0) {
        Select(control, combo, -1);
        if (combo->lineEdit()) SetControlText(control, field.constData());
      }
      return index;
    }
    case CB_DELETESTRING:
      if (index < 0 || index >= combo->count()) return CB_ERR;
      combo->removeItem(index);
      return combo->count();
    case CB_RESETCONTENT:
      combo->clear();
      if (combo->lineEdit()) SetControlText(control, "");
      return 0;
    case CB_GETCOUNT:
      return combo->count();
    case CB_GETCURSEL:
      return combo->currentIndex() < 0 ? CB_ERR : combo->currentIndex();
    case CB_SETCURSEL:
      if (index < 0 || index >= combo->count()) {
        Select(control, combo, -1);
        return CB_ERR;
      }
      Select(control, combo, index);
      return index;
    case CB_GETLBTEXT: {
      if (index < 0 || index >= combo->count() || !lParam) return CB_ERR;
      QByteArray bytes = EntryBytes(combo, index);
      std::memcpy(reinterpret_cast<char*>(lParam), bytes.constData(), size_t(bytes.size()) + 1);
      return bytes.size();
    }
    case CB_GETLBTEXTLEN:
      if (index < 0 || index >= combo->count()) return CB_ERR;
      return EntryBytes(combo, index).size();
    case CB_FINDSTRING: {
      int found = FindEntry(combo, wParam, text);
      return found < 0 ? CB_ERR : found;
    }
    case CB_SELECTSTRING: {
      int found = FindEntry(combo, wParam, text);
      if (found < 0) return CB_ERR;
      Select(control, combo, found);
      return found;
    }
    default:
      return 0;
  }
}

LRESULT EditMessage(Control& control, uint32_t message, WPARAM wParam) {
  auto* edit = qobject_cast<QLineEdit*>(control.widget.data());
  if (auto* combo = qobject_cast<QComboBox*>(control.widget.data())) edit = combo->lineEdit();
  if (!edit) return 0;
  switch (message) {
    case WM_CHAR:
      TypeCharacter(control, edit, static_cast<char32_t>(wParam));
      return 0;
    case WM_PASTE:
      edit->paste();
      return 0;
    case EM_LIMITTEXT:
      edit->setMaxLength(wParam == 0 ? 32767 : static_cast<int>(std::min<WPARAM>(wParam, 32767)));
      return 0;
    default:
      return 0;
  }
}

}  // namespace

LRESULT DefaultControlProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  Control* control = FindControl(window);
  if (!control || !control->widget) return 0;
  switch (message) {
    case WM_SETTEXT:
      SetControlText(*control, reinterpret_cast<const char*>(lParam));
      return TRUE;
    case WM_GETTEXT:
      return CopyOut(ControlText(*control), reinterpret_cast<char*>(lParam), wParam);
    case WM_GETTEXTLENGTH:
      return ControlText(*control).size();
    case WM_CHAR:
    case WM_PASTE:
    case EM_LIMITTEXT:
      return EditMessage(*control, message, wParam);
    case BM_GETCHECK:
    case BM_SETCHECK:
    case BM_CLICK:
      return ButtonMessage(*control, message, wParam);
    default:
      break;
  }
  if (message >= TBM_GETPOS && message <= TBM_GETPAGESIZE && control->kind == ControlKind::Trackbar)
    return TrackbarMessage(*control, message, lParam);
  if (message >= 0x1300 && message < 0x1400) return TabMessage(*control, message, wParam, lParam);
  if (message >= CB_GETEDITSEL && message <= CB_SETCURSEL)
    return ComboMessage(*control, message, wParam, lParam);
  return 0;
}
