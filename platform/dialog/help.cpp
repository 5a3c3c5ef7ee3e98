#include "platform/dialog/help.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

#include "platform/sys/module_path.h"

extern char** environ;

namespace {

std::function<bool(const std::string&)>& TestOpener() {
  static std::function<bool(const std::string&)> opener;
  return opener;
}

// How long a starting browser may take to say that it cannot open the page.
constexpr auto kOpenerVerdict = std::chrono::seconds(2);

QString ProgramFolder() {
  char path[4096];
  if (GetModuleFileNameA(path, sizeof path) == 0) return {};
  return QFileInfo(QString::fromUtf8(path)).absolutePath();
}

QString FindHelpPage(const char* helpFile) {
  QString name = QString::fromUtf8(helpFile);
  name = name.mid(std::max(name.lastIndexOf('/'), name.lastIndexOf('\\')) + 1);
  if (name.endsWith(".hlp", Qt::CaseInsensitive)) name.chop(4);
  if (name.isEmpty()) return {};
  name += ".html";
  QStringList folders;
  if (const char* own = std::getenv("QUELLAR_HELP_DIR"); own && *own) folders << QString::fromUtf8(own);
  QString program = ProgramFolder();
  if (!program.isEmpty()) folders << program + "/help" << program + "/../share/quellar/help";
  for (const QString& folder : folders) {
    QFileInfo page(QDir(folder).filePath(name));
    if (page.isFile()) return page.canonicalFilePath();
  }
  return {};
}

// The desktop's opener: a failure it reports soon counts; one that is still
// busy after a moment has found a browser.
bool OpenInBrowser(const std::string& url) {
  const char* argv[] = {"xdg-open", url.c_str(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    return false;
  auto verdict = std::make_shared<std::promise<int>>();
  std::future<int> status = verdict->get_future();
  std::thread([child, verdict] {
    int raw = 0;
    pid_t done = waitpid(child, &raw, 0);
    verdict->set_value(done == child && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1);
  }).detach();
  if (status.wait_for(kOpenerVerdict) != std::future_status::ready) return true;
  return status.get() == 0;
}

}  // namespace

bool WinHelp(HWND, const char* helpFile, uint32_t command, uintptr_t data) {
  if (command == HELP_QUIT) return true;
  if (!helpFile) return false;
  QString page = FindHelpPage(helpFile);
  if (page.isEmpty()) return false;
  QUrl url = QUrl::fromLocalFile(page);
  if (command == HELP_CONTEXT) url.setFragment(QString("context-%1").arg(data));
  std::string text = url.toString(QUrl::FullyEncoded).toStdString();
  if (auto& opener = TestOpener()) return opener(text);
  return OpenInBrowser(text);
}

void SetHelpOpenerForTesting(std::function<bool(const std::string& url)> opener) {
  TestOpener() = std::move(opener);
}
