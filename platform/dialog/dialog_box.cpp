#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cmath>

#include "platform/dialog/dialog_internal.h"
#include "platform/dialog/dialog_window.h"
#include "platform/dialog/foreign_owner.h"
#include "platform/win/application.h"
#include "platform/win/offscreen_window.h"
#include "resources/dialog_template.h"
#include "resources/program_icon.h"

// Modal dialogs built from templates.

namespace {

constexpr uint32_t kProgramIcon = 100;

// The template's face stands for the Japanese proportional gothic of the
// system; here that is IPA's, found through fontconfig, or the nearest gothic.
QFont DialogFont(const DialogTemplate& dialogTemplate) {
  QFont font;
  font.setFamilies({"IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "VL PGothic", "TakaoPGothic"});
  font.setStyleHint(QFont::SansSerif);
  // A point is 1/72 inch on the screen's logical resolution; a screen whose
  // pixels are scaled for high density scales the dialog with it.
  QScreen* screen = QGuiApplication::primaryScreen();
  double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
  int points = dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 9;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dpi / 72.0))));
  return font;
}

// Dialog base units: the average width of the Latin letters and the height of
// the font, the way the system measures its dialog fonts.
void MeasureBaseUnits(Dialog& dialog, const QFont& font) {
  QFontMetrics metrics(font);
  int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  dialog.baseX = std::max(1, (letters / 26 + 1) / 2);
  dialog.baseY = std::max(1, metrics.height());
}

int MulDiv(int value, int numerator, int denominator) {
  return static_cast<int>(std::lround(double(value) * numerator / denominator));
}

QRect PixelRect(const Dialog& dialog, int x, int y, int cx, int cy) {
  return QRect(MulDiv(x, dialog.baseX, 4), MulDiv(y, dialog.baseY, 8), MulDiv(cx, dialog.baseX, 4),
               MulDiv(cy, dialog.baseY, 8));
}

bool OnXDisplay() {
  return QGuiApplication::platformName() == QLatin1String("xcb");
}

QIcon ProgramIcon() {
  const IconImage* icon = FindIconResource(kProgramIcon);
  if (!icon) return {};
  QImage image(icon->width, icon->height, QImage::Format_ARGB32);
  for (int y = 0; y < icon->height; ++y)
    for (int x = 0; x < icon->width; ++x) image.setPixel(x, y, IconPixel(*icon, x, y));
  return QIcon(QPixmap::fromImage(image));
}

HWND HandleFor(QWidget* widget, int width, int height, HWND* offscreen) {
  if (OnXDisplay()) return static_cast<HWND>(widget->winId());
  *offscreen = CreateOffscreenWindow(std::max(1, width), std::max(1, height));
  return *offscreen;
}

void BuildControls(Dialog& dialog, const DialogTemplate& dialogTemplate) {
  DialogWindow* window = dialog.window;
  size_t groupStart = 0;
  for (const DialogItemTemplate& item : dialogTemplate.items) {
    auto control = std::make_unique<Control>();
    control->id = static_cast<int>(item.id);
    control->style = item.style | WS_CHILD | WS_VISIBLE;
    if ((control->style & WS_GROUP) || dialog.controls.empty()) groupStart = dialog.controls.size();
    control->groupStart = groupStart;
    control->proc = DefaultControlProc;
    QString caption = DisplayText(item.caption ? item.caption : "");
    QWidget* widget = CreateControlWidget(dialog, *control, item.className, caption, window);
    control->widget = widget;
    QRect area = PixelRect(dialog, item.x, item.y, item.cx, item.cy);
    // A combo box's height in the template includes its open list.
    if (control->kind == ControlKind::ComboBox) area.setHeight(widget->sizeHint().height());
    widget->setGeometry(area);
    if (control->kind == ControlKind::BlackRect) {
      double ratio = widget->devicePixelRatioF();
      control->handle = HandleFor(widget, int(area.width() * ratio), int(area.height() * ratio),
                                  &control->offscreen);
    } else {
      control->handle = AllocateHandle();
    }
    if (item.caption && control->kind != ControlKind::Icon) SetControlText(*control, item.caption);
    dialog.controls.push_back(std::move(control));
  }
  // Frames lie under what they frame: the tab control lowest, then the group boxes.
  for (auto it = dialog.controls.rbegin(); it != dialog.controls.rend(); ++it)
    if ((*it)->kind == ControlKind::GroupBox) (*it)->widget->lower();
  for (auto& control : dialog.controls)
    if (control->kind == ControlKind::TabControl) control->widget->lower();
  // A static's mnemonic leads to the control after it.
  for (size_t i = 0; i + 1 < dialog.controls.size(); ++i)
    if (auto* label = qobject_cast<QLabel*>(dialog.controls[i]->widget.data());
        label && label->text().contains('&'))
      label->setBuddy(dialog.controls[i + 1]->widget);
}

// Where the template puts the dialog: relative to the owner's client area.
QPoint TemplatePosition(const Dialog& dialog, const DialogTemplate& dialogTemplate) {
  QRect area = PixelRect(dialog, dialogTemplate.x, dialogTemplate.y, 0, 0);
  POINT origin;
  if (dialog.owner) ClientToScreen(dialog.owner, &origin);
  double ratio = dialog.window->devicePixelRatioF();
  return area.topLeft() + QPoint(int(origin.x / ratio), int(origin.y / ratio));
}

HWND FirstTabStop(const Dialog& dialog) {
  for (auto& control : dialog.controls)
    if ((control->style & WS_TABSTOP) && control->widget && !control->widget->isHidden() &&
        control->widget->isEnabled())
      return control->handle;
  return 0;
}

int loopsRunning = 0;

void RunModalLoop(Dialog& dialog) {
  ++loopsRunning;
  while (!dialog.ended) {
    MSG message;
    int got = GetMessage(&message, 0, 0, 0);
    if (got < 0) {
      // Another thread runs the window messages; Qt's events are ours alone.
      QAbstractEventDispatcher::instance()->processEvents(QEventLoop::WaitForMoreEvents);
      continue;
    }
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      dialog.ended = true;
      break;
    }
    DispatchMessage(&message);
  }
  --loopsRunning;
  // An outer dialog may have ended meanwhile.
  if (loopsRunning > 0) WakeModalLoops();
}

void TearDown(std::unique_ptr<Dialog> dialog) {
  if (dialog->window) dialog->window->hide();
  for (auto& [key, timer] : dialog->timers) delete timer.timer;
  dialog->timers.clear();
  for (auto& control : dialog->controls) {
    if (control->handle) UnregisterHandle(control->handle);
    if (control->offscreen) DestroyOffscreenWindow(control->offscreen);
  }
  UnregisterHandle(dialog->handle);
  if (dialog->offscreen) DestroyOffscreenWindow(dialog->offscreen);
  delete dialog->window.data();
}

}  // namespace

intptr_t SendToDialog(Dialog& dialog, uint32_t message, WPARAM wParam, LPARAM lParam) {
  return dialog.proc ? dialog.proc(dialog.handle, message, wParam, lParam) : FALSE;
}

void NotifyCommand(Dialog& dialog, const Control& control, uint16_t code) {
  WPARAM wParam = (static_cast<WPARAM>(code) << 16) | static_cast<uint16_t>(control.id);
  SendToDialog(dialog, WM_COMMAND, wParam, static_cast<LPARAM>(control.handle));
}

void WakeModalLoops() {
  PostMessage(0, WM_NULL, 0, 0);
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
}

intptr_t DialogBoxIndirectParam(const DialogTemplate& dialogTemplate, HWND owner, DLGPROC proc,
                                LPARAM param) {
  if (!proc) return -1;
  EnsureGuiApplication(0, nullptr);
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return -1;
  QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
  InstallDialogProvider();
  if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(ProgramIcon());

  auto dialog = std::make_unique<Dialog>();
  dialog->proc = proc;
  // An owner that does not exist is no owner: the dialog opens all the same.
  dialog->owner = owner && IsWindow(owner) ? owner : 0;
  Dialog* ownDialog = FindDialog(dialog->owner);
  dialog->window = new DialogWindow(*dialog, ownDialog ? ownDialog->window.data() : nullptr);
  DialogWindow* window = dialog->window;
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (dialogTemplate.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  window->setWindowFlags(flags);
  window->setWindowTitle(DisplayText(dialogTemplate.caption ? dialogTemplate.caption : ""));
  QFont font = DialogFont(dialogTemplate);
  window->setFont(font);
  MeasureBaseUnits(*dialog, font);
  QRect client = PixelRect(*dialog, 0, 0, dialogTemplate.cx, dialogTemplate.cy);
  window->setFixedSize(client.size());
  window->setFocusPolicy(Qt::NoFocus);

  BuildControls(*dialog, dialogTemplate);
  double ratio = window->devicePixelRatioF();
  dialog->handle = HandleFor(window, int(client.width() * ratio), int(client.height() * ratio),
                             &dialog->offscreen);
  RegisterHandle(dialog->handle, dialog.get());
  for (auto& control : dialog->controls) RegisterHandle(control->handle, dialog.get());
  window->move(TemplatePosition(*dialog, dialogTemplate));

  HWND focus = FirstTabStop(*dialog);
  intptr_t answer = SendToDialog(*dialog, WM_INITDIALOG, static_cast<WPARAM>(focus), param);
  if (!dialog->ended) {
    if (answer != FALSE && focus)
      WidgetOf(focus)->setFocus(Qt::TabFocusReason);
    else if (!window->focusWidget())
      window->setFocus();  // the procedure wants no control to have the focus
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    if (OnXDisplay() && dialog->owner && !ownDialog) StayAboveForeignOwner(dialog->handle, dialog->owner);
    window->raise();
    window->activateWindow();
    RunModalLoop(*dialog);
  }
  SendToDialog(*dialog, WM_DESTROY, 0, 0);
  intptr_t result = dialog->result;
  TearDown(std::move(dialog));
  return result;
}

intptr_t DialogBoxParam(uint32_t templateId, HWND owner, DLGPROC proc, LPARAM param) {
  const DialogTemplate* found = FindDialogTemplate(templateId);
  return found ? DialogBoxIndirectParam(*found, owner, proc, param) : -1;
}

intptr_t DialogBoxParam(const char* templateName, HWND owner, DLGPROC proc, LPARAM param) {
  const DialogTemplate* found = templateName ? FindDialogTemplate(templateName) : nullptr;
  return found ? DialogBoxIndirectParam(*found, owner, proc, param) : -1;
}

bool EndDialog(HWND window, intptr_t result) {
  Dialog* dialog = FindDialog(window);
  if (!dialog || dialog->ended) return dialog != nullptr;
  dialog->ended = true;
  dialog->result = result;
  WakeModalLoops();
  return true;
}
