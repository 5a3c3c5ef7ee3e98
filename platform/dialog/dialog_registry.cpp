#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <mutex>

#include "platform/dialog/dialog_internal.h"
#include "platform/dialog/dialog_window.h"
#include "platform/win/window_provider.h"

// The handle table, and the window calls of platform/win carried out on the
// widgets of dialogs and controls.

namespace {

// Above every X window id (29 bits) and apart from the memory windows.
constexpr HWND kFirstOwnHandle = 0x60000001;

std::mutex tableLock;
std::map<HWND, Dialog*> table;
HWND nextHandle = kFirstOwnHandle;

uint32_t MessageTime() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

double Ratio(const QWidget* widget) {
  return widget ? widget->devicePixelRatioF() : 1.0;
}

int ToDevice(int logical, double ratio) {
  return static_cast<int>(logical * ratio + (logical >= 0 ? 0.5 : -0.5));
}

int ToLogical(int device, double ratio) {
  return static_cast<int>(device / ratio + (device >= 0 ? 0.5 : -0.5));
}

// Device pixels, screen coordinates; a dialog's rectangle takes in the frame
// that a window manager draws round it.
RECT ScreenRect(QWidget* widget) {
  double ratio = Ratio(widget);
  QRect area = widget->isWindow() ? widget->frameGeometry()
                                  : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
  return RECT{ToDevice(area.left(), ratio), ToDevice(area.top(), ratio),
              ToDevice(area.left() + area.width(), ratio),
              ToDevice(area.top() + area.height(), ratio)};
}

class DialogProvider final : public WindowProvider {
 public:
  bool Owns(HWND window) override {
    std::lock_guard guard(tableLock);
    return table.count(window) != 0;
  }

  bool Show(HWND window, int command) override {
    QWidget* widget = WidgetOf(window);
    if (!widget) return false;
    bool wasVisible = !widget->isHidden();
    widget->setVisible(command != SW_HIDE);
    return wasVisible;
  }

  bool IsVisible(HWND window) override {
    QWidget* widget = WidgetOf(window);
    return widget && widget->isVisible();
  }

  HWND Parent(HWND window) override {
    Dialog* dialog = nullptr;
    if (FindControl(window, &dialog)) return dialog->handle;
    if (Dialog* own = FindDialog(window)) return own->owner;
    return 0;
  }

  bool WindowRect(HWND window, RECT* rect) override {
    QWidget* widget = WidgetOf(window);
    if (!widget) return false;
    *rect = ScreenRect(widget);
    return true;
  }

  bool ClientRect(HWND window, RECT* rect) override {
    QWidget* widget = WidgetOf(window);
    if (!widget) return false;
    double ratio = Ratio(widget);
    *rect = RECT{0, 0, ToDevice(widget->width(), ratio), ToDevice(widget->height(), ratio)};
    return true;
  }

  bool ClientToScreen(HWND window, POINT* point) override {
    QWidget* widget = WidgetOf(window);
    if (!widget) return false;
    double ratio = Ratio(widget);
    QPoint global =
        widget->mapToGlobal(QPoint(ToLogical(point->x, ratio), ToLogical(point->y, ratio)));
    *point = POINT{ToDevice(global.x(), ratio), ToDevice(global.y(), ratio)};
    return true;
  }

  bool SetPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
              uint32_t flags) override {
    QWidget* widget = WidgetOf(window);
    if (!widget) return false;
    double ratio = Ratio(widget);
    if (!(flags & SWP_NOMOVE)) widget->move(ToLogical(x, ratio), ToLogical(y, ratio));
    if (!(flags & SWP_NOSIZE)) {
      QSize size(std::max(0, ToLogical(width, ratio)), std::max(0, ToLogical(height, ratio)));
      if (widget->isWindow())
        widget->setFixedSize(size);
      else
        widget->resize(size);
    }
    if (!(flags & SWP_NOZORDER)) {
      if (insertAfter == HWND_BOTTOM)
        widget->lower();
      else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST)
        widget->raise();
      else if (QWidget* above = WidgetOf(insertAfter); above && !widget->isWindow())
        widget->stackUnder(above);
    }
    if (flags & SWP_SHOWWINDOW) widget->show();
    if (flags & SWP_HIDEWINDOW) widget->hide();
    return true;
  }

  bool Destroy(HWND window) override {
    if (FindDialog(window)) return EndDialog(window, 0);
    Dialog* dialog = nullptr;
    Control* control = FindControl(window, &dialog);
    if (!control) return false;
    UnregisterHandle(window);
    if (control->widget) control->widget->hide(), control->widget->deleteLater();
    control->handle = 0;
    return true;
  }

  bool SetForeground(HWND window) override {
    QWidget* widget = WidgetOf(window);
    if (!widget) return false;
    widget->window()->raise();
    widget->window()->activateWindow();
    return true;
  }

  LRESULT Send(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) override {
    if (Control* control = FindControl(window))
      return control->proc ? control->proc(window, message, wParam, lParam) : 0;
    if (Dialog* dialog = FindDialog(window)) return SendToDialog(*dialog, message, wParam, lParam);
    return 0;
  }

  bool Post(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) override {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    QMetaObject::invokeMethod(
        app, [=, this] { Send(window, message, wParam, lParam); }, Qt::QueuedConnection);
    return true;
  }

  uintptr_t SetTimer(HWND window, uintptr_t id, uint32_t elapseMs, TIMERPROC proc) override {
    Dialog* dialog = FindDialog(window);
    if (!dialog) FindControl(window, &dialog);
    QWidget* widget = WidgetOf(window);
    if (!dialog || !widget) return 0;
    DialogTimer& entry = dialog->timers[{window, id}];
    if (!entry.timer) {
      entry.timer = new QTimer(widget);
      entry.timer->setTimerType(Qt::PreciseTimer);
      QObject::connect(entry.timer, &QTimer::timeout, widget, [this, window, id] { Fire(window, id); });
    }
    entry.proc = proc;
    entry.timer->start(static_cast<int>(std::max<uint32_t>(elapseMs, 10)));
    return id == 0 ? 1 : id;
  }

  bool KillTimer(HWND window, uintptr_t id) override {
    Dialog* dialog = FindDialog(window);
    if (!dialog) FindControl(window, &dialog);
    if (!dialog) return false;
    auto found = dialog->timers.find({window, id});
    if (found == dialog->timers.end()) return false;
    delete found->second.timer;
    dialog->timers.erase(found);
    return true;
  }

 private:
  void Fire(HWND window, uintptr_t id) {
    Dialog* dialog = FindDialog(window);
    if (!dialog) FindControl(window, &dialog);
    if (!dialog) return;
    auto found = dialog->timers.find({window, id});
    if (found == dialog->timers.end()) return;
    if (TIMERPROC proc = found->second.proc)
      proc(window, WM_TIMER, id, MessageTime());
    else
      Send(window, WM_TIMER, id, 0);
  }
};

}  // namespace

Control* Dialog::Find(int id) {
  for (auto& control : controls)
    if (control->handle && control->id == id) return control.get();
  return nullptr;
}

Control* Dialog::Find(HWND handle) {
  for (auto& control : controls)
    if (control->handle == handle) return control.get();
  return nullptr;
}

size_t Dialog::IndexOf(const Control* control) const {
  for (size_t i = 0; i < controls.size(); ++i)
    if (controls[i].get() == control) return i;
  return controls.size();
}

Dialog* FindDialog(HWND handle) {
  std::lock_guard guard(tableLock);
  auto found = table.find(handle);
  return found != table.end() && found->second->handle == handle ? found->second : nullptr;
}

Control* FindControl(HWND handle, Dialog** dialog) {
  Dialog* owner = nullptr;
  {
    std::lock_guard guard(tableLock);
    auto found = table.find(handle);
    if (found == table.end() || found->second->handle == handle) return nullptr;
    owner = found->second;
  }
  if (dialog) *dialog = owner;
  return owner->Find(handle);
}

QWidget* WidgetOf(HWND handle) {
  if (Control* control = FindControl(handle)) return control->widget;
  if (Dialog* dialog = FindDialog(handle)) return dialog->window.data();
  return nullptr;
}

HWND HandleOfWidget(const QWidget* widget) {
  if (!widget) return 0;
  std::vector<Dialog*> dialogs;
  {
    std::lock_guard guard(tableLock);
    for (auto& [handle, dialog] : table)
      if (dialog->handle == handle) dialogs.push_back(dialog);
  }
  for (Dialog* dialog : dialogs) {
    if (!dialog->window || !dialog->window->isAncestorOf(widget)) {
      if (dialog->window == widget) return dialog->handle;
      continue;
    }
    for (auto& control : dialog->controls)
      if (control->widget && (control->widget == widget || control->widget->isAncestorOf(widget)))
        return control->handle;
    return dialog->handle;
  }
  return 0;
}

HWND AllocateHandle() {
  std::lock_guard guard(tableLock);
  return nextHandle++;
}

void RegisterHandle(HWND handle, Dialog* dialog) {
  std::lock_guard guard(tableLock);
  table[handle] = dialog;
}

void UnregisterHandle(HWND handle) {
  std::lock_guard guard(tableLock);
  table.erase(handle);
}

void InstallDialogProvider() {
  static DialogProvider provider;
  SetWindowProvider(&provider);
}
