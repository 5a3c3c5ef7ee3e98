#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QValidator>

#include "platform/dialog/common_controls.h"
#include "platform/dialog/control_styles.h"
#include "platform/dialog/dialog_internal.h"
#include "platform/dialog/quiet_changes.h"
#include "resources/program_icon.h"

// One Qt widget for each control class of the templates.

namespace {

// A group box only frames its group: clicks fall through to the controls it
// frames, and its mnemonic moves the focus into the group.
class GroupBox final : public QGroupBox {
 public:
  GroupBox(Dialog& dialog, Control& control, const QString& title, QWidget* parent)
      : QGroupBox(title, parent), dialog_(dialog), control_(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  // The system's look: an etched frame whose top line runs through the middle
  // of the title.
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QFontMetrics metrics(font());
    int top = metrics.height() / 2;
    QRect frame = rect().adjusted(0, top, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    if (title().isEmpty()) return;
    int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine;
    int indent = metrics.averageCharWidth();
    QRect text = metrics.boundingRect(QRect(indent, 0, width() - 2 * indent, metrics.height()),
                                      flags, title());
    painter.fillRect(text.adjusted(-2, 0, 2, 0), palette().color(QPalette::Window));
    style()->drawItemText(&painter, text, flags, palette(), isEnabled(), title(),
                          QPalette::WindowText);
  }

  bool event(QEvent* event) override {
    if (event->type() == QEvent::Shortcut) {
      FocusGroup();
      return true;
    }
    return QGroupBox::event(event);
  }

 private:
  void FocusGroup() {
    size_t at = dialog_.IndexOf(&control_);
    for (size_t i = at + 1; i < dialog_.controls.size(); ++i) {
      Control& next = *dialog_.controls[i];
      QWidget* widget = next.widget;
      if (!widget || !widget->isVisible() || !widget->isEnabled() ||
          widget->focusPolicy() == Qt::NoFocus)
        continue;
      // Into a radio group: its checked button.
      if (next.kind == ControlKind::RadioButton) {
        for (size_t j = i; j < dialog_.controls.size() && dialog_.controls[j]->groupStart == next.groupStart; ++j) {
          auto* radio = qobject_cast<QRadioButton*>(dialog_.controls[j]->widget.data());
          if (radio && radio->isChecked() && radio->isVisible() && radio->isEnabled()) {
            widget = radio;
            break;
          }
        }
      }
      widget->setFocus(Qt::ShortcutFocusReason);
      return;
    }
  }

  Dialog& dialog_;
  Control& control_;
};

// Arrow keys belong to the dialog, which moves through the button's group.
class RadioButton final : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_Left:
      case Qt::Key_Right:
        event->ignore();
        return;
      default:
        QRadioButton::keyPressEvent(event);
    }
  }
};

// A black rectangle that others draw into: a native window of its own.
class BlackRect final : public QWidget {
 public:
  explicit BlackRect(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
};

// An edit box that does not scroll takes no more text than it can show.
class FitsWidth final : public QValidator {
 public:
  explicit FitsWidth(QLineEdit* edit) : QValidator(edit), edit_(edit) {}
  State validate(QString& text, int&) const override {
    QStyleOptionFrame option;
    option.initFrom(edit_);
    option.lineWidth = edit_->hasFrame() ? 1 : 0;
    QRect inner = edit_->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit_);
    QMargins margins = edit_->textMargins();
    int room = inner.width() - margins.left() - margins.right() - 4;  // the editor's own margin
    return edit_->fontMetrics().horizontalAdvance(text) <= room ? Acceptable : Invalid;
  }

 private:
  QLineEdit* edit_;
};

QPixmap IconPixmap(const QString& caption) {
  bool number = false;
  uint32_t id = caption.toUInt(&number);
  const IconImage* icon = number ? FindIconResource(id) : nullptr;
  if (!icon) return {};
  QImage image(icon->width, icon->height, QImage::Format_ARGB32);
  for (int y = 0; y < icon->height; ++y)
    for (int x = 0; x < icon->width; ++x) image.setPixel(x, y, IconPixel(*icon, x, y));
  return QPixmap::fromImage(image);
}

void CheckInGroup(Dialog& dialog, Control& clicked) {
  for (size_t i = clicked.groupStart; i < dialog.controls.size(); ++i) {
    Control& other = *dialog.controls[i];
    if (i > clicked.groupStart && (other.style & WS_GROUP)) break;
    if (other.kind != ControlKind::RadioButton || !other.automatic) continue;
    if (auto* radio = qobject_cast<QRadioButton*>(other.widget.data()))
      radio->setChecked(&other == &clicked);
  }
}

QWidget* CreateButton(Dialog& dialog, Control& control, const QString& caption, QWidget* parent) {
  uint32_t type = control.style & 0xF;
  switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX: {
      control.kind = ControlKind::CheckBox;
      control.automatic = type == BS_AUTOCHECKBOX;
      auto* box = new QCheckBox(caption, parent);
      QObject::connect(box, &QCheckBox::clicked, box, [&dialog, &control, box](bool checked) {
        if (!control.automatic) box->setChecked(!checked);
        NotifyCommand(dialog, control, BN_CLICKED);
      });
      return box;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
      control.kind = ControlKind::RadioButton;
      control.automatic = type == BS_AUTORADIOBUTTON;
      auto* radio = new RadioButton(caption, parent);
      // Groups follow the template, not the widget tree.
      radio->setAutoExclusive(false);
      QObject::connect(radio, &QRadioButton::clicked, radio, [&dialog, &control, radio](bool) {
        if (control.automatic)
          CheckInGroup(dialog, control);
        else
          radio->setChecked(!radio->isChecked());
        NotifyCommand(dialog, control, BN_CLICKED);
      });
      return radio;
    }
    case BS_GROUPBOX:
      control.kind = ControlKind::GroupBox;
      return new GroupBox(dialog, control, caption, parent);
    default: {
      control.kind = ControlKind::PushButton;
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(false);
      if (type == BS_DEFPUSHBUTTON) {
        button->setDefault(true);
        dialog.defaultId = control.id;
      }
      QObject::connect(button, &QPushButton::clicked, button,
                       [&dialog, &control] { NotifyCommand(dialog, control, BN_CLICKED); });
      return button;
    }
  }
}

QWidget* CreateStatic(Control& control, const QString& caption, QWidget* parent) {
  uint32_t type = control.style & 0x1F;
  if (type == SS_BLACKRECT) {
    control.kind = ControlKind::BlackRect;
    return new BlackRect(parent);
  }
  auto* label = new QLabel(parent);
  label->setFocusPolicy(Qt::NoFocus);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  if (type == SS_ICON) {
    control.kind = ControlKind::Icon;
    label->setPixmap(IconPixmap(caption));
    return label;
  }
  control.kind = ControlKind::Text;
  label->setText(caption);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(type != SS_LEFTNOWORDWRAP);
  Qt::Alignment horizontal = type == SS_CENTER ? Qt::AlignHCenter
                             : type == SS_RIGHT ? Qt::AlignRight
                                                : Qt::AlignLeft;
  label->setAlignment(horizontal | Qt::AlignTop);
  return label;
}

QWidget* CreateEdit(Dialog& dialog, Control& control, QWidget* parent) {
  control.kind = ControlKind::Edit;
  auto* edit = new QLineEdit(parent);
  edit->setFrame((control.style & WS_BORDER) != 0);
  edit->setReadOnly((control.style & ES_READONLY) != 0);
  if (control.style & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
  if (!(control.style & ES_AUTOHSCROLL)) edit->setValidator(new FitsWidth(edit));
  QObject::connect(edit, &QLineEdit::textChanged, edit,
                   [&dialog, &control] { NotifyCommand(dialog, control, EN_CHANGE); });
  WatchCharacters(control, edit);
  return edit;
}

QWidget* CreateComboBox(Dialog& dialog, Control& control, QWidget* parent) {
  control.kind = ControlKind::ComboBox;
  auto* combo = new QComboBox(parent);
  combo->setEditable((control.style & 0x3) != CBS_DROPDOWNLIST);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setMaxVisibleItems(12);
  QObject::connect(combo, &QComboBox::activated, combo,
                   [&dialog, &control] { NotifyCommand(dialog, control, CBN_SELCHANGE); });
  if (QLineEdit* edit = combo->lineEdit()) {
    // Completion would change the text behind the user's back.
    combo->setCompleter(nullptr);
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [&dialog, &control] { NotifyCommand(dialog, control, CBN_EDITCHANGE); });
  }
  return combo;
}

QWidget* CreateTrackbar(Control& control, QWidget* parent) {
  control.kind = ControlKind::Trackbar;
  auto* slider = new QSlider((control.style & TBS_VERT) ? Qt::Vertical : Qt::Horizontal, parent);
  slider->setRange(0, 100);
  slider->setPageStep(20);
  if ((control.style & TBS_AUTOTICKS) && !(control.style & TBS_NOTICKS)) {
    slider->setTickInterval(1);
    slider->setTickPosition(QSlider::TicksBelow);
  }
  return slider;
}

QWidget* CreateTabControl(Dialog& dialog, Control& control, QWidget* parent) {
  control.kind = ControlKind::TabControl;
  auto* tabs = new QTabWidget(parent);
  QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [&dialog, &control] {
    if (QuietChanges::Active()) return;
    NMHDR header{control.handle, static_cast<uintptr_t>(control.id), TCN_SELCHANGE};
    SendToDialog(dialog, WM_NOTIFY, static_cast<WPARAM>(control.id),
                 reinterpret_cast<LPARAM>(&header));
  });
  return tabs;
}

}  // namespace

QWidget* CreateControlWidget(Dialog& dialog, Control& control, const char* className,
                             const QString& caption, QWidget* parent) {
  QString name = QString::fromUtf8(className ? className : "").toUpper();
  QWidget* widget = nullptr;
  if (name == "BUTTON")
    widget = CreateButton(dialog, control, caption, parent);
  else if (name == "STATIC")
    widget = CreateStatic(control, caption, parent);
  else if (name == "EDIT")
    widget = CreateEdit(dialog, control, parent);
  else if (name == "COMBOBOX")
    widget = CreateComboBox(dialog, control, parent);
  else if (name == "MSCTLS_TRACKBAR32")
    widget = CreateTrackbar(control, parent);
  else if (name == "SYSTABCONTROL32")
    widget = CreateTabControl(dialog, control, parent);
  else
    widget = new QWidget(parent);

  bool takesFocus = control.kind != ControlKind::GroupBox && control.kind != ControlKind::Text &&
                    control.kind != ControlKind::Icon && control.kind != ControlKind::BlackRect &&
                    control.kind != ControlKind::Other;
  if (takesFocus) {
    Qt::FocusPolicy policy = (control.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus;
    if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
      tabs->setFocusPolicy(Qt::NoFocus);
      tabs->tabBar()->setFocusPolicy(policy);
    } else {
      widget->setFocusPolicy(policy);
    }
  }
  if (control.style & WS_DISABLED) widget->setEnabled(false);
  return widget;
}
