#include "platform/dialog/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "platform/dialog/dialog_internal.h"
#include "platform/dialog/dialog_messages.h"
#include "platform/dialog/foreign_owner.h"
#include "platform/win/application.h"
#include "platform/win/window.h"

namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;

QMessageBox::Icon IconFor(uint32_t type) {
  switch (type & 0xF0) {
    case MB_ICONERROR:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONWARNING:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

int MessageBox(HWND owner, const char* text, const char* caption, uint32_t type) {
  EnsureGuiApplication(0, nullptr);
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
  QWidget* parent = WidgetOf(owner);
  if (parent) parent = parent->window();
  QMessageBox box(IconFor(type), DisplayText(caption ? caption : "Error"),
                  DisplayText(text ? text : ""), QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  switch (type & 0xF) {
    case MB_OKCANCEL:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MB_YESNO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
  }
  if (!parent && owner && IsWindow(owner) &&
      QGuiApplication::platformName() == QLatin1String("xcb")) {
    QTimer::singleShot(0, &box, [&box, owner] { StayAboveForeignOwner(box.winId(), owner); });
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return kOk;
    case QMessageBox::Cancel:
      return kCancel;
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    default:
      return kCancel;
  }
}
