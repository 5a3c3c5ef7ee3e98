#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <fstream>

#include "dialog_test_support.h"
#include "platform/dialog/file_dialog.h"
#include "platform/win/application.h"
#include "support/isolated_env.h"

// The real file chooser. What the caller asks, gets and is refused, the
// message box and the help are seen through the configuration dialog.

namespace {

TEST(DialogServices, FileChooserMatchesPatternsAsTheSystemDoes) {
  EnsureGuiApplication(0, nullptr);
  std::string folder = MakeTempDir() + "/物体 の フォルダ";
  QDir().mkpath(QString::fromStdString(folder));
  // "*.x" takes "MODEL.X".
  std::ofstream(folder + "/MODEL.X") << "x";
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
  char file[260] = "";
  OPENFILENAMEA ofn;
  ofn.lpstrFilter = "X ﾌｧｲﾙ(*.x)\0*.x\0ﾃｸｽﾁｬ(*.bmp,*.ppm)\0*.bmp;*.ppm\0\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.lpstrTitle = "開く";
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  EXPECT_TRUE(GetOpenFileNameA(&ofn));
  poll.stop();
  EXPECT_EQ(std::string(file), folder + "/MODEL.X");
  EXPECT_EQ(shown, "開く");
}

}  // namespace
