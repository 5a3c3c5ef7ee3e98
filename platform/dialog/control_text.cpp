#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "platform/dialog/dialog_internal.h"

// Control texts. The program's strings are bytes, UTF-8 when they are valid;
// bytes that are not valid UTF-8 are shown with replacement marks and kept, so
// that reading the control gives them back unchanged until the user edits it.

namespace {

bool IsUtf8(const QByteArray& bytes) {
  return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QLineEdit* EditorOf(const Control& control) {
  if (auto* edit = qobject_cast<QLineEdit*>(control.widget.data())) return edit;
  if (auto* combo = qobject_cast<QComboBox*>(control.widget.data())) return combo->lineEdit();
  return nullptr;
}

QString ShownText(const Control& control) {
  QWidget* widget = control.widget;
  if (QLineEdit* edit = EditorOf(control)) return edit->text();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* box = qobject_cast<QGroupBox*>(widget)) return box->title();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  return {};
}

}  // namespace

QString DisplayText(const QByteArray& bytes) {
  return QString::fromUtf8(bytes);
}

QByteArray TextBytes(const QString& shown, const std::optional<QByteArray>& raw,
                     const QString& rawShown) {
  if (raw && shown == rawShown) return *raw;
  return shown.toUtf8();
}

void SetControlText(Control& control, const char* text) {
  QByteArray bytes(text ? text : "");
  QString shown = DisplayText(bytes);
  if (IsUtf8(bytes))
    control.rawText.reset();
  else
    control.rawText = bytes;
  control.shownText = shown;
  QWidget* widget = control.widget;
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    if (combo->lineEdit()) combo->lineEdit()->setText(shown);
  } else if (QLineEdit* edit = EditorOf(control)) {
    edit->setText(shown);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(shown);
  } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    box->setTitle(shown);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    if (control.kind == ControlKind::Text) label->setText(shown);
  }
}

QByteArray ControlText(const Control& control) {
  if (auto* combo = qobject_cast<QComboBox*>(control.widget.data()); combo && !combo->isEditable()) {
    int index = combo->currentIndex();
    return index < 0 ? QByteArray() : combo->itemData(index).toByteArray();
  }
  return TextBytes(ShownText(control), control.rawText, control.shownText);
}
