#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <cstring>
#include <string>

#include "dialog_test_support.h"

// Control texts as bytes, numbers, and typed characters through a replaced
// window procedure.

namespace {

using namespace test_ids;

std::string Text(HWND dialog, int id, int size = 260) {
  std::string buffer(size_t(size), '\x7f');
  uint32_t copied = GetDlgItemText(dialog, id, buffer.data(), size);
  EXPECT_EQ(copied, std::strlen(buffer.c_str()));
  return buffer.c_str();
}

// Bytes that are no UTF-8 surviving OK are checked through the configuration
// dialog; here the limits and the combo boxes' entries.
TEST(DialogText, LimitsNeverCutACharacterAndComboEntriesKeepTheirBytes) {
  const std::string invalid = "C:\\obj\\\xff\xfe\x82\xa0.x";  // not UTF-8
  DialogRun run;
  run.body = [&](HWND dialog) {
    SetDlgItemText(dialog, kWideEdit, "日本語");
    EXPECT_EQ(Text(dialog, kWideEdit, 5), "日");
    EXPECT_EQ(Text(dialog, kWideEdit, 7), "日本");
    EXPECT_EQ(Text(dialog, kWideEdit, 1), "");
    SetDlgItemText(dialog, kEditCombo, invalid.c_str());
    SendDlgItemMessage(dialog, kEditCombo, CB_INSERTSTRING, WPARAM(-1), LPARAM("なし(グラデーション)"));
    EXPECT_EQ(Text(dialog, kEditCombo), invalid) << "the field survives the first entry";
    SendDlgItemMessage(dialog, kList, CB_INSERTSTRING, WPARAM(-1), LPARAM("Primary"));
    SendDlgItemMessage(dialog, kList, CB_INSERTSTRING, WPARAM(-1), LPARAM(invalid.c_str()));
    EXPECT_EQ(Text(dialog, kList), "") << "no selection after inserting";
    EXPECT_EQ(SendDlgItemMessage(dialog, kList, CB_SELECTSTRING, WPARAM(-1), LPARAM("c:\\OBJ")), 1);
    EXPECT_EQ(Text(dialog, kList), invalid) << "the selected entry's bytes";
    EXPECT_EQ(SendDlgItemMessage(dialog, kList, CB_SELECTSTRING, WPARAM(-1), LPARAM("zzz")), -1);
    EXPECT_EQ(Text(dialog, kList), invalid) << "no match keeps the selection";
    EndDialog(dialog, 0);
  };
  RunDialog(run);
}

TEST(DialogText, GetDlgItemIntReadsDecimalText) {
  struct Case {
    const char* text;
    bool isSigned;
    uint32_t value;
    bool translated;
  };
  const Case cases[] = {
      {"", false, 0, false},          {"  42 ", false, 42, true},
      {"12ab", false, 0, false},      {"-5", false, 4294967291u, true},
      {"-5", true, uint32_t(-5), true}, {"4294967295", false, 4294967295u, true},
      {"4294967296", false, 0, false}, {"2147483648", true, 0, false},
      {"０１", false, 0, false},
  };
  DialogRun run;
  run.body = [&](HWND dialog) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.text) + (c.isSigned ? " signed" : " unsigned"));
      SetDlgItemText(dialog, kWideEdit, c.text);
      bool translated = !c.translated;
      EXPECT_EQ(GetDlgItemInt(dialog, kWideEdit, &translated, c.isSigned), c.value);
      EXPECT_EQ(translated, c.translated);
    }
    EndDialog(dialog, 7);
  };
  EXPECT_EQ(RunDialog(run), 7);
}

// The digit filter of the configuration dialog, as a subclass would write it;
// characters sent to it are checked through that dialog.
WNDPROC previousProc = nullptr;
LRESULT DigitsOnly(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) {
    if (!((wParam >= '0' && wParam <= '9') || wParam < 32 || wParam == 127)) return 0;
  }
  return CallWindowProc(previousProc, window, message, wParam, lParam);
}

TEST(DialogText, ReplacedProcedureSeesTypedCharactersButNotPastedText) {
  DialogRun run;
  run.body = [&](HWND dialog) {
    HWND edit = GetDlgItem(dialog, kWideEdit);
    previousProc = reinterpret_cast<WNDPROC>(GetWindowLong(edit, GWL_WNDPROC));
    SetWindowLong(edit, GWL_WNDPROC, reinterpret_cast<intptr_t>(&DigitsOnly));
    auto* widget = static_cast<QLineEdit*>(WidgetOf(edit));
    widget->setFocus();
    QTest::keyClicks(widget, "1a2");
    EXPECT_EQ(Text(dialog, kWideEdit), "12") << "typed";
    QApplication::clipboard()->setText("3b");
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(dialog, kWideEdit), "123b") << "pasted";
    QTest::keyClick(widget, Qt::Key_Backspace);
    EXPECT_EQ(Text(dialog, kWideEdit), "123") << "backspace";
    QInputMethodEvent commit;
    commit.setCommitString("4ｘ5");
    QCoreApplication::sendEvent(widget, &commit);
    EXPECT_EQ(Text(dialog, kWideEdit), "12345") << "input method";
    EndDialog(dialog, 0);
  };
  RunDialog(run);
}

TEST(DialogText, EditWithoutScrollingStopsWhenFull) {
  DialogRun run;
  run.body = [&](HWND dialog) {
    auto* edit = static_cast<QLineEdit*>(Widget(dialog, kNarrowEdit));
    edit->setFocus();
    QTest::keyClicks(edit, "12345678901234567890");
    EXPECT_GT(edit->text().size(), 2);
    EXPECT_LT(edit->text().size(), 20);
    EXPECT_LT(edit->fontMetrics().horizontalAdvance(edit->text()), edit->width());
    // What the program sets is shown whole.
    SetDlgItemText(dialog, kNarrowEdit, "-2147483648");
    EXPECT_EQ(Text(dialog, kNarrowEdit), "-2147483648");
    EndDialog(dialog, 7);
  };
  EXPECT_EQ(RunDialog(run), 7);
}

}  // namespace
