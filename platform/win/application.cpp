#include "platform/win/application.h"

#include <QApplication>
#include <string>
#include <vector>

#include "platform/win/x_server.h"

void EnsureGuiApplication(int argc, char** argv) {
  if (QCoreApplication::instance()) return;
  // Qt gives up on the whole process when it cannot reach the display it was
  // told about; a display we cannot reach means no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", XServer::Get() ? "xcb" : "offscreen");
  // Qt keeps referring to the arguments for as long as the application lives.
  static int storedArgc = 0;
  static std::vector<std::string> storedArgs;
  static std::vector<char*> storedArgv;
  for (int i = 0; i < argc && argv && argv[i]; ++i) storedArgs.emplace_back(argv[i]);
  if (storedArgs.empty()) storedArgs.emplace_back("quellar");
  for (std::string& arg : storedArgs) storedArgv.push_back(arg.data());
  storedArgv.push_back(nullptr);
  storedArgc = static_cast<int>(storedArgs.size());
  // It lives until the process ends: windows, fonts and contexts of every part
  // hang on it, and tearing it down during exit would outlive none of them.
  new QApplication(storedArgc, storedArgv.data());
}

bool CanShowWindows(std::string* problem) {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (!platform.isEmpty() && !platform.startsWith("xcb")) return true;
  if (XServer::Get()) return true;
  const QByteArray display = qgetenv("DISPLAY");
  if (problem) {
    *problem = display.isEmpty() ? std::string("cannot open display: DISPLAY is not set")
                                 : "cannot open display \"" + display.toStdString() + "\"";
  }
  return false;
}
