#pragma once
#include <QDialog>

struct Dialog;

// The Qt window of a dialog: keys and the close box become the commands the
// dialog manager sends (Enter: the focused or default push button, Esc and the
// close box: IDCANCEL; arrows: through a radio group), and nothing closes it
// but EndDialog.
class DialogWindow final : public QDialog {
 public:
  DialogWindow(Dialog& dialog, QWidget* parent);

  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Command(int id);
  bool MoveInRadioGroup(bool forward);
  Dialog& dialog_;
};
