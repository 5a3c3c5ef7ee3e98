#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <fstream>

#include "dialog_test_support.h"
#include "platform/dialog/file_dialog.h"
#include "platform/dialog/help.h"
#include "platform/dialog/message_box.h"
#include "platform/win/application.h"
#include "support/isolated_env.h"

// The file chooser, the message box and the help.

namespace {

class DialogServices : public ::testing::Test {
 protected:
  void SetUp() override { EnsureGuiApplication(0, nullptr); }
};

void Touch(const std::string& path) {
  std::ofstream(path) << "x";
}

struct Chooser {
  OPENFILENAMEA ofn;
  char file[260] = "";
  Chooser(const char* filter, const char* folder) {
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folder;
    ofn.lpstrTitle = "開く";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  }
};

TEST_F(DialogServices, FileChooserRefusesWhatDoesNotFitAndMatchesPatternsAsTheSystemDoes) {
  std::string folder = MakeTempDir() + "/物体 の フォルダ";
  QDir().mkpath(QString::fromStdString(folder));
  std::string model = folder + "/model no ext";
  Touch(model);
  const char filter[] = "X ﾌｧｲﾙ(*.x)\0*.x\0ﾃｸｽﾁｬ(*.bmp,*.ppm)\0*.bmp;*.ppm\0\0";

  // The request and the chosen path filling the field are checked through the
  // configuration dialog; here what the caller gets when nothing fits.
  std::optional<std::string> answer;
  SetFileChooserForTesting([&](const FileChooserRequest&) { return answer; });

  struct Refusal {
    const char* what;
    std::optional<std::string> answer;
    uint32_t room;
  };
  const Refusal refusals[] = {
      {"cancelled", std::nullopt, 260},
      {"a file that does not exist", folder + "/gone.x", 260},
      {"a path longer than the buffer", model, 10},
  };
  for (const Refusal& r : refusals) {
    answer = r.answer;
    Chooser c(filter, folder.c_str());
    std::strcpy(c.file, "keep");
    c.ofn.nMaxFile = r.room;
    EXPECT_FALSE(GetOpenFileNameA(&c.ofn)) << r.what;
    EXPECT_STREQ(c.file, "keep") << r.what;
  }
  SetFileChooserForTesting(nullptr);

  // The real chooser: "*.x" takes "MODEL.X" as the system's patterns do.
  Touch(folder + "/MODEL.X");
  QString shown;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    // Tried again each tick: on a busy machine the folder may not be listed yet.
    shown = dialog->windowTitle();
    dialog->selectFile(QString::fromStdString(folder + "/MODEL.X"));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  poll.start(50);
  Chooser real(filter, folder.c_str());
  EXPECT_TRUE(GetOpenFileNameA(&real.ofn));
  poll.stop();
  EXPECT_EQ(std::string(real.file), folder + "/MODEL.X");
  EXPECT_EQ(shown, "開く");
}

TEST_F(DialogServices, MessageBoxAnswersWithTheButtonPressed) {
  QString text, caption;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    poll.stop();
    text = box->text();
    caption = box->windowTitle();
    box->button(QMessageBox::Cancel)->click();
  });
  poll.start(50);
  EXPECT_EQ(MessageBox(0, "本文", "Quellar", MB_OKCANCEL), 2);
  EXPECT_EQ(text, "本文");
  EXPECT_EQ(caption, "Quellar");
}

TEST_F(DialogServices, HelpOpensThePageAtItsContextOrReportsFailure) {
  std::string folder = MakeTempDir();
  Touch(folder + "/Quellar.html");
  setenv("QUELLAR_HELP_DIR", folder.c_str(), 1);
  // The page opened is checked through the configuration dialog.
  SetHelpOpenerForTesting([](const std::string&) { return true; });
  EXPECT_TRUE(WinHelp(0, "Quellar.hlp", HELP_CONTEXT, 101));
  EXPECT_FALSE(WinHelp(0, "Missing.hlp", HELP_CONTEXT, 101));
  SetHelpOpenerForTesting([](const std::string&) { return false; });
  EXPECT_FALSE(WinHelp(0, "Quellar.hlp", HELP_CONTEXT, 101));
  SetHelpOpenerForTesting(nullptr);

  // No opener on the PATH at all: a failure, reported at once.
  std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", MakeTempDir().c_str(), 1);
  EXPECT_FALSE(WinHelp(0, "Quellar.hlp", HELP_CONTEXT, 101));
  // An opener that gives up.
  std::string bin = MakeTempDir();
  std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nexit 3\n";
  QFile::setPermissions(QString::fromStdString(bin + "/xdg-open"), QFileDevice::ExeOwner | QFileDevice::ReadOwner);
  setenv("PATH", bin.c_str(), 1);
  EXPECT_FALSE(WinHelp(0, "Quellar.hlp", HELP_CONTEXT, 101));
  setenv("PATH", path.c_str(), 1);
  unsetenv("QUELLAR_HELP_DIR");
}

}  // namespace
