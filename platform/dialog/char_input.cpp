#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/dialog/char_dispatch.h"
#include "platform/dialog/dialog_internal.h"

// Typed characters of an edit box whose procedure has been replaced go through
// that procedure as WM_CHAR, one message per character: key presses and the
// text an input method commits. Only what comes back to the box's own
// procedure is typed. Pasted text is no typing: only the paste shortcut
// (Ctrl+V, code 22) arrives as WM_CHAR.

namespace {

// The key press being handed out, and which of its characters came back.
struct Handout {
  HWND control = 0;
  bool passed = false;
};
thread_local Handout* handout = nullptr;

constexpr char32_t kBackspace = 8;

// The WM_CHAR codes of a key press: none for keys that type nothing and for the
// keys the dialog itself takes (Enter, Esc, Tab).
std::u32string CharactersOf(const QKeyEvent& key) {
  Qt::KeyboardModifiers mods = key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
      return {};
    case Qt::Key_Backspace:
      return mods == Qt::NoModifier ? std::u32string(1, kBackspace) : std::u32string();
    default:
      break;
  }
  if (mods == Qt::ControlModifier && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
    return std::u32string(1, static_cast<char32_t>(key.key() - Qt::Key_A + 1));
  if (mods != Qt::NoModifier) return {};
  std::u32string codes;
  for (char32_t code : key.text().toStdU32String())
    if (code >= 0x20 && code != 0x7F) codes.push_back(code);
  return codes;
}

class CharFilter final : public QObject {
 public:
  CharFilter(Control& control, QLineEdit* edit) : QObject(edit), control_(control), edit_(edit) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (control_.proc == DefaultControlProc || !control_.proc || forwarding_) return false;
    if (event->type() == QEvent::KeyPress) return KeyPress(*static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::InputMethod)
      return InputMethod(*static_cast<QInputMethodEvent*>(event));
    return false;
  }

 private:
  // True when the procedure let the character through to the box.
  bool HandOut(char32_t code) {
    Handout mine{control_.handle, false};
    Handout* outer = handout;
    handout = &mine;
    control_.proc(control_.handle, WM_CHAR, code, 1);
    handout = outer;
    return mine.passed;
  }

  bool KeyPress(QKeyEvent& key) {
    std::u32string codes = CharactersOf(key);
    if (codes.empty()) return false;
    std::u32string passed;
    for (char32_t code : codes)
      if (HandOut(code)) passed.push_back(code);
    if (passed == codes) return false;  // the box handles the key itself
    for (char32_t code : passed) TypeCharacter(control_, edit_, code);
    return true;
  }

  bool InputMethod(QInputMethodEvent& input) {
    std::u32string codes = input.commitString().toStdU32String();
    if (codes.empty()) return false;
    std::u32string passed;
    for (char32_t code : codes)
      if (HandOut(code)) passed.push_back(code);
    if (passed == codes) return false;
    QInputMethodEvent kept(input.preeditString(), input.attributes());
    kept.setCommitString(QString::fromStdU32String(passed), input.replacementStart(),
                         input.replacementLength());
    forwarding_ = true;
    QCoreApplication::sendEvent(edit_, &kept);
    forwarding_ = false;
    return true;
  }

  Control& control_;
  QLineEdit* edit_;
  bool forwarding_ = false;
};

}  // namespace

void WatchCharacters(Control& control, QWidget* editor) {
  if (auto* edit = qobject_cast<QLineEdit*>(editor)) edit->installEventFilter(new CharFilter(control, edit));
}

void TypeCharacter(Control& control, QLineEdit* edit, char32_t code) {
  if (handout && handout->control == control.handle) {
    handout->passed = true;
    return;
  }
  switch (code) {
    case kBackspace:
      edit->backspace();
      return;
    case 1:  // Ctrl+A
      edit->selectAll();
      return;
    case 3:  // Ctrl+C
      edit->copy();
      return;
    case 22:  // Ctrl+V
      edit->paste();
      return;
    case 24:  // Ctrl+X
      edit->cut();
      return;
    case 26:  // Ctrl+Z
      edit->undo();
      return;
    default:
      if (code >= 0x20 && code != 0x7F) edit->insert(QString::fromStdU32String(std::u32string(1, code)));
  }
}
