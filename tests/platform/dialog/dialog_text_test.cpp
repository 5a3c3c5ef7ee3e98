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

TEST(DialogText, BytesComeBackWholeAndLimitsNeverCutACharacter) {
  const std::string invalid = "C:\\obj\\\xff\xfe\x82\xa0.x";  // not UTF-8
  std::vector<std::pair<std::string, std::string>> got;  // what, text
  QString shownInvalid;
  DialogRun run;
  run.body = [&](HWND dialog) {
    SetDlgItemText(dialog, kWideEdit, "日本語");
    got.push_back({"limit 5 keeps one character", Text(dialog, kWideEdit, 5)});
    got.push_back({"limit 7 keeps two", Text(dialog, kWideEdit, 7)});
    got.push_back({"limit 1 keeps nothing", Text(dialog, kWideEdit, 1)});
    SetDlgItemText(dialog, kWideEdit, invalid.c_str());
    shownInvalid = static_cast<QLineEdit*>(Widget(dialog, kWideEdit))->text();
    got.push_back({"invalid bytes untouched", Text(dialog, kWideEdit)});
    // Combo boxes: the edit field and the list entries.
    SetDlgItemText(dialog, kEditCombo, invalid.c_str());
    SendDlgItemMessage(dialog, kEditCombo, CB_INSERTSTRING, WPARAM(-1), LPARAM("なし(グラデーション)"));
    got.push_back({"field survives the first entry", Text(dialog, kEditCombo)});
    SendDlgItemMessage(dialog, kList, CB_INSERTSTRING, WPARAM(-1), LPARAM("Primary"));
    SendDlgItemMessage(dialog, kList, CB_INSERTSTRING, WPARAM(-1), LPARAM(invalid.c_str()));
    got.push_back({"no selection after inserting", Text(dialog, kList)});
    got.push_back({"select by prefix, any case",
                   std::to_string(SendDlgItemMessage(dialog, kList, CB_SELECTSTRING, WPARAM(-1), LPARAM("c:\\OBJ")))});
    got.push_back({"selected entry's bytes", Text(dialog, kList)});
    got.push_back({"no match keeps the selection",
                   std::to_string(SendDlgItemMessage(dialog, kList, CB_SELECTSTRING, WPARAM(-1), LPARAM("zzz")))});
    // The user types: the text is theirs now.
    auto* edit = static_cast<QLineEdit*>(Widget(dialog, kWideEdit));
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, "y");
    got.push_back({"edited text is UTF-8", Text(dialog, kWideEdit)});
    EndDialog(dialog, 0);
  };
  RunDialog(run);
  std::vector<std::pair<std::string, std::string>> expected = {
      {"limit 5 keeps one character", "日"},
      {"limit 7 keeps two", "日本"},
      {"limit 1 keeps nothing", ""},
      {"invalid bytes untouched", invalid},
      {"field survives the first entry", invalid},
      {"no selection after inserting", ""},
      {"select by prefix, any case", "1"},
      {"selected entry's bytes", invalid},
      {"no match keeps the selection", "-1"},
      {"edited text is UTF-8", QString::fromUtf8(invalid).toStdString() + "y"},
  };
  EXPECT_EQ(got, expected);
  EXPECT_TRUE(shownInvalid.contains(QChar(0xFFFD)));
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
  std::vector<std::string> failures;
  DialogRun run;
  run.body = [&](HWND dialog) {
    for (const Case& c : cases) {
      SetDlgItemText(dialog, kWideEdit, c.text);
      bool translated = !c.translated;
      uint32_t value = GetDlgItemInt(dialog, kWideEdit, &translated, c.isSigned);
      if (value != c.value || translated != c.translated)
        failures.push_back(std::string(c.text) + (c.isSigned ? " signed" : " unsigned"));
    }
    EndDialog(dialog, 0);
  };
  RunDialog(run);
  EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
}

// The digit filter of the configuration dialog, as a subclass would write it.
WNDPROC previousProc = nullptr;
std::vector<WPARAM> chars;
LRESULT DigitsOnly(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) {
    chars.push_back(wParam);
    if (!((wParam >= '0' && wParam <= '9') || wParam < 32 || wParam == 127)) return 0;
  }
  return CallWindowProc(previousProc, window, message, wParam, lParam);
}

TEST(DialogText, ReplacedProcedureSeesTypedCharactersButNotPastedText) {
  chars.clear();
  std::vector<std::pair<std::string, std::string>> got;
  DialogRun run;
  run.body = [&](HWND dialog) {
    HWND edit = GetDlgItem(dialog, kWideEdit);
    previousProc = reinterpret_cast<WNDPROC>(GetWindowLong(edit, GWL_WNDPROC));
    SetWindowLong(edit, GWL_WNDPROC, reinterpret_cast<intptr_t>(&DigitsOnly));
    auto* widget = static_cast<QLineEdit*>(WidgetOf(edit));
    widget->setFocus();
    QTest::keyClicks(widget, "1a2");
    got.push_back({"typed", Text(dialog, kWideEdit)});
    QApplication::clipboard()->setText("3b");
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    got.push_back({"pasted", Text(dialog, kWideEdit)});
    QTest::keyClick(widget, Qt::Key_Backspace);
    got.push_back({"backspace", Text(dialog, kWideEdit)});
    QInputMethodEvent commit;
    commit.setCommitString("4ｘ5");
    QCoreApplication::sendEvent(widget, &commit);
    got.push_back({"input method", Text(dialog, kWideEdit)});
    SendMessage(edit, WM_CHAR, '7', 1);
    SendMessage(edit, WM_CHAR, 'z', 1);
    got.push_back({"sent", Text(dialog, kWideEdit)});
    EndDialog(dialog, 0);
  };
  RunDialog(run);
  std::vector<std::pair<std::string, std::string>> expected = {
      {"typed", "12"}, {"pasted", "123b"}, {"backspace", "123"}, {"input method", "12345"},
      {"sent", "123457"}};
  EXPECT_EQ(got, expected);
  std::vector<WPARAM> expectedChars = {'1', 'a', '2', 22, 8, '4', 0xFF58, '5', '7', 'z'};
  EXPECT_EQ(chars, expectedChars);
}

TEST(DialogText, EditWithoutScrollingStopsWhenFull) {
  int typed = 0, widthOk = 0;
  std::string shown;
  DialogRun run;
  run.body = [&](HWND dialog) {
    auto* edit = static_cast<QLineEdit*>(Widget(dialog, kNarrowEdit));
    edit->setFocus();
    QTest::keyClicks(edit, "12345678901234567890");
    typed = static_cast<int>(edit->text().size());
    widthOk = edit->fontMetrics().horizontalAdvance(edit->text()) < edit->width();
    // What the program sets is shown whole.
    SetDlgItemText(dialog, kNarrowEdit, "-2147483648");
    shown = Text(dialog, kNarrowEdit);
    EndDialog(dialog, 0);
  };
  RunDialog(run);
  EXPECT_GT(typed, 2);
  EXPECT_LT(typed, 20);
  EXPECT_TRUE(widthOk);
  EXPECT_EQ(shown, "-2147483648");
}

}  // namespace
