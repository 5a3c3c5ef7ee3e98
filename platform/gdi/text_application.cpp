#include "platform/gdi/text_application.h"

#include <QGuiApplication>
#include <QStringList>
#include <mutex>

bool EnsureTextApplication() {
  static std::mutex lock;
  std::lock_guard guard(lock);
  if (QCoreApplication::instance())
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
  // Qt keeps references to argc and argv for the life of the application.
  static int argc = 3;
  static char arg0[] = "quellar";
  static char arg1[] = "-platform";
  static char arg2[] = "offscreen";
  static char* argv[] = {arg0, arg1, arg2, nullptr};
  static QGuiApplication* application = new QGuiApplication(argc, argv);
  return application != nullptr;
}

QFont GothicFont() {
  QFont font;
  font.setFamilies({"IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "VL PGothic", "TakaoPGothic"});
  font.setPixelSize(16);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}
