#include "platform/dialog/dialog_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "platform/dialog/dialog_internal.h"

namespace {
constexpr int kCancelId = 2;
}  // namespace

DialogWindow::DialogWindow(Dialog& dialog, QWidget* parent) : QDialog(parent), dialog_(dialog) {}

void DialogWindow::Command(int id) {
  HWND control = 0;
  if (Control* found = dialog_.Find(id)) control = found->handle;
  SendToDialog(dialog_, WM_COMMAND, static_cast<WPARAM>(id & 0xFFFF) | (WPARAM(BN_CLICKED) << 16),
               static_cast<LPARAM>(control));
}

// Arrow keys move through a group of radio buttons, round from its end to its
// start; an automatic button is checked as the focus reaches it.
bool DialogWindow::MoveInRadioGroup(bool forward) {
  Control* current = FindControl(HandleOfWidget(focusWidget()));
  if (!current || current->kind != ControlKind::RadioButton) return false;
  std::vector<Control*> group;
  for (size_t i = current->groupStart; i < dialog_.controls.size(); ++i) {
    Control* member = dialog_.controls[i].get();
    if (i > current->groupStart && (member->style & WS_GROUP)) break;
    if (member->kind == ControlKind::RadioButton && member->widget &&
        member->widget->isVisible() && member->widget->isEnabled())
      group.push_back(member);
  }
  auto at = std::find(group.begin(), group.end(), current);
  if (group.size() < 2 || at == group.end()) return true;
  size_t index = size_t(at - group.begin());
  Control* next = group[(index + (forward ? 1 : group.size() - 1)) % group.size()];
  next->widget->setFocus(Qt::TabFocusReason);
  if (next->automatic)
    if (auto* radio = qobject_cast<QAbstractButton*>(next->widget.data())) radio->click();
  return true;
}

void DialogWindow::reject() {
  if (!dialog_.ended) Command(kCancelId);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!dialog_.ended) Command(kCancelId);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
    QDialog::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      // A focused push button takes Enter; otherwise the default one does.
      auto* button = qobject_cast<QPushButton*>(focusWidget());
      if (button && button->isEnabled() && button->isVisible()) {
        button->click();
      } else {
        Control* fallback = dialog_.Find(dialog_.defaultId);
        if (!fallback || !fallback->widget || fallback->widget->isEnabled())
          Command(dialog_.defaultId);
      }
      return;
    }
    case Qt::Key_Escape:
      Command(kCancelId);
      return;
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Right:
      if (MoveInRadioGroup(event->key() == Qt::Key_Down || event->key() == Qt::Key_Right)) return;
      QDialog::keyPressEvent(event);
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}
