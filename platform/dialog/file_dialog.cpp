#include "platform/dialog/file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <cstring>

#include "platform/dialog/dialog_internal.h"
#include "platform/win/application.h"

namespace {

std::function<std::optional<std::string>(const FileChooserRequest&)>& TestChooser() {
  static std::function<std::optional<std::string>(const FileChooserRequest&)> chooser;
  return chooser;
}

std::vector<std::pair<std::string, std::string>> FilterPairs(const char* filter) {
  std::vector<std::pair<std::string, std::string>> pairs;
  if (!filter) return pairs;
  while (*filter) {
    std::string name = filter;
    filter += name.size() + 1;
    if (!*filter) break;
    std::string patterns = filter;
    filter += patterns.size() + 1;
    pairs.emplace_back(name, patterns);
  }
  return pairs;
}

// The system's patterns ignore case and "*.*" takes every name; Qt's need to
// be told both.
QString QtPatterns(const std::string& patterns) {
  QStringList out;
  for (const QString& pattern : QString::fromUtf8(patterns).split(';', Qt::SkipEmptyParts)) {
    QString trimmed = pattern.trimmed();
    if (trimmed == "*.*") {
      out << "*";
      continue;
    }
    QString folded;
    for (QChar c : trimmed) {
      if (c.toLower() != c.toUpper())
        folded += QString("[%1%2]").arg(c.toLower()).arg(c.toUpper());
      else
        folded += c;
    }
    out << folded;
  }
  return out.join(' ');
}

std::optional<std::string> RunChooser(const FileChooserRequest& request) {
  EnsureGuiApplication(0, nullptr);
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
  QWidget* parent = WidgetOf(request.owner);
  if (parent) parent = parent->window();
  QString folder = QFile::decodeName(request.initialFolder.c_str());
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::currentPath();
  QFileDialog chooser(parent, QString::fromStdString(request.title), folder);
  chooser.setOption(QFileDialog::DontUseNativeDialog);
  chooser.setOption(QFileDialog::HideNameFilterDetails);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  chooser.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  QStringList filters;
  for (auto& [name, patterns] : request.filters)
    filters << QString::fromStdString(name) + " (" + QtPatterns(patterns) + ")";
  if (!filters.isEmpty()) {
    chooser.setNameFilters(filters);
    chooser.selectNameFilter(filters.value(request.filterIndex, filters.first()));
  }
  if (!request.initialName.empty()) chooser.selectFile(QString::fromStdString(request.initialName));
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(chooser.selectedFiles().first()).toStdString();
}

}  // namespace

bool GetOpenFileNameA(OPENFILENAMEA* ofn) {
  if (!ofn || !ofn->lpstrFile || ofn->nMaxFile == 0) return false;
  FileChooserRequest request;
  request.owner = ofn->hwndOwner;
  request.title = ofn->lpstrTitle ? ofn->lpstrTitle : "";
  request.filters = FilterPairs(ofn->lpstrFilter);
  int count = static_cast<int>(request.filters.size());
  request.filterIndex = ofn->nFilterIndex >= 1 && int(ofn->nFilterIndex) <= count
                            ? int(ofn->nFilterIndex) - 1
                            : 0;
  request.fileMustExist = (ofn->Flags & OFN_FILEMUSTEXIST) != 0;
  std::string start(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
  size_t cut = start.find_last_of("/\\");
  request.initialName = cut == std::string::npos ? start : start.substr(cut + 1);
  if (ofn->lpstrInitialDir && *ofn->lpstrInitialDir)
    request.initialFolder = ofn->lpstrInitialDir;
  else if (cut != std::string::npos)
    request.initialFolder = start.substr(0, cut + 1);

  auto& chooser = TestChooser();
  std::optional<std::string> chosen = chooser ? chooser(request) : RunChooser(request);
  if (!chosen || chosen->empty()) return false;
  QFileInfo file(QFile::decodeName(chosen->c_str()));
  if (request.fileMustExist && !file.isFile()) return false;
  std::string path = QFile::encodeName(file.absoluteFilePath()).toStdString();
  if (path.size() + 1 > ofn->nMaxFile) return false;
  std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
  size_t nameAt = path.find_last_of('/') + 1;
  size_t dot = path.find_last_of('.');
  ofn->nFileOffset = static_cast<uint16_t>(nameAt);
  ofn->nFileExtension = static_cast<uint16_t>(dot != std::string::npos && dot > nameAt ? dot + 1 : 0);
  if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
    std::string title = path.substr(nameAt);
    if (title.size() + 1 <= ofn->nMaxFileTitle) std::memcpy(ofn->lpstrFileTitle, title.c_str(), title.size() + 1);
  }
  return true;
}

void SetFileChooserForTesting(
    std::function<std::optional<std::string>(const FileChooserRequest&)> chooser) {
  TestChooser() = std::move(chooser);
}
