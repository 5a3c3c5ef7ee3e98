#include "platform/dialog/dialog_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

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
    default:
      QDialog::keyPressEvent(event);
  }
}
