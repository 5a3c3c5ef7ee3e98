#include "platform/ddraw/window_presenter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ddraw/composed_presenter.h"
#include "platform/ddraw/display_device.h"
#include "platform/ddraw/shm_presenter.h"

namespace {

std::unique_ptr<WindowPresenter> Composed(DisplayDevice* device, bool onWindow) {
  auto presenter = std::make_unique<ComposedPresenter>(device, onWindow);
  if (!presenter->IsValid()) return nullptr;
  return presenter;
}

// A GPU's window surface swaps without the picture leaving video memory; a
// processor-drawn picture is in main memory anyway, and shared memory takes it
// to the server without the socket.
std::unique_ptr<WindowPresenter> Choose(DisplayDevice* device, const char* asked) {
  if (device->IsOffscreen()) return Composed(device, false);
  const bool wantsGl = asked && std::strcmp(asked, "gl") == 0;
  const bool wantsShm = asked && std::strncmp(asked, "shm", 3) == 0;
  if (wantsGl || (!wantsShm && !device->Context().IsSoftware())) return Composed(device, true);
  const auto scaling = asked && std::strcmp(asked, "shm-gl-scaling") == 0
                           ? ShmPresenter::Scaling::kInGl
                           : ShmPresenter::Scaling::kOnServer;
  if (auto shm = ShmPresenter::Create(device, scaling)) return shm;
  return Composed(device, true);
}

}  // namespace

std::unique_ptr<WindowPresenter> ChoosePresenter(DisplayDevice* device) {
  const char* asked = std::getenv("QUELLAR_PRESENTATION");
  std::unique_ptr<WindowPresenter> presenter = Choose(device, asked);
  if (asked && presenter) std::fprintf(stderr, "quellar: presenting through %s\n", presenter->Name());
  return presenter;
}
