#include "platform/gl/gl_context.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <epoxy/egl.h>

#include <epoxy/gl.h>

#include <array>
#include <cstring>
#include <vector>

struct GlContext::State {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLContext context = EGL_NO_CONTEXT;
  EGLSurface surface = EGL_NO_SURFACE;
  // A context on X owns its display connection; the surfaceless display is
  // shared by every headless context of the process and stays open.
  Display* x_display = nullptr;
  bool headless = true;

  ~State() {
    if (display != EGL_NO_DISPLAY) {
      if (eglGetCurrentContext() == context)
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
      if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
      if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
      if (x_display) eglTerminate(display);
    }
    if (x_display) XCloseDisplay(x_display);
  }
};

namespace {

bool HasClientExtension(const char* name) {
  const char* list = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  return list && epoxy_extension_in_string(list, name);
}

EGLDisplay InitializedDisplay(EGLenum platform, void* native) {
  if (!HasClientExtension("EGL_EXT_platform_base")) return EGL_NO_DISPLAY;
  EGLDisplay display = eglGetPlatformDisplayEXT(platform, native, nullptr);
  if (display == EGL_NO_DISPLAY) return EGL_NO_DISPLAY;
  EGLint major = 0, minor = 0;
  if (!eglInitialize(display, &major, &minor)) return EGL_NO_DISPLAY;
  return display;
}

EGLContext CreateCoreContext(EGLDisplay display, EGLConfig config) {
  if (!eglBindAPI(EGL_OPENGL_API)) return EGL_NO_CONTEXT;
  const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                               3,
                               EGL_CONTEXT_MINOR_VERSION,
                               3,
                               EGL_CONTEXT_OPENGL_PROFILE_MASK,
                               EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                               EGL_NONE};
  return eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
}

// RGB configs that OpenGL draws on, for a kind of surface and a least depth a channel.
std::array<EGLint, 11> RgbConfigAttributes(EGLint surface_type, EGLint channel_bits) {
  // clang-format off
  return {EGL_SURFACE_TYPE, surface_type, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
          EGL_RED_SIZE, channel_bits, EGL_GREEN_SIZE, channel_bits, EGL_BLUE_SIZE, channel_bits,
          EGL_NONE};
  // clang-format on
}

bool ChooseConfig(EGLDisplay display, EGLint surface_type, EGLConfig* config) {
  const auto attributes = RgbConfigAttributes(surface_type, 8);
  EGLint count = 0;
  return eglChooseConfig(display, attributes.data(), config, 1, &count) && count > 0;
}

std::unique_ptr<GlContext::State> SurfacelessState() {
  if (!HasClientExtension("EGL_MESA_platform_surfaceless")) return nullptr;
  auto state = std::make_unique<GlContext::State>();
  state->display = InitializedDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY);
  if (state->display == EGL_NO_DISPLAY) return nullptr;
  if (!epoxy_has_egl_extension(state->display, "EGL_KHR_surfaceless_context")) return nullptr;
  EGLConfig config;
  if (!ChooseConfig(state->display, EGL_PBUFFER_BIT, &config) &&
      !ChooseConfig(state->display, 0, &config)) {
    return nullptr;
  }
  state->context = CreateCoreContext(state->display, config);
  if (state->context == EGL_NO_CONTEXT) return nullptr;
  return state;
}

// Its own connection to the X server: the display EGL would open by itself is
// shared by the whole process and can come up uninitialised.
std::unique_ptr<GlContext::State> X11PbufferState() {
  if (!HasClientExtension("EGL_KHR_platform_x11") && !HasClientExtension("EGL_EXT_platform_x11"))
    return nullptr;
  auto state = std::make_unique<GlContext::State>();
  state->x_display = XOpenDisplay(nullptr);
  if (!state->x_display) return nullptr;
  state->display = InitializedDisplay(EGL_PLATFORM_X11_KHR, state->x_display);
  if (state->display == EGL_NO_DISPLAY) return nullptr;
  EGLConfig config;
  if (!ChooseConfig(state->display, EGL_PBUFFER_BIT, &config)) return nullptr;
  const EGLint size[] = {EGL_WIDTH, 16, EGL_HEIGHT, 16, EGL_NONE};
  state->surface = eglCreatePbufferSurface(state->display, config, size);
  if (state->surface == EGL_NO_SURFACE) return nullptr;
  state->context = CreateCoreContext(state->display, config);
  if (state->context == EGL_NO_CONTEXT) return nullptr;
  return state;
}

// The config must draw with the window's own visual, or the surface fails.
bool ConfigForVisual(EGLDisplay display, VisualID visual, EGLConfig* out) {
  const auto attributes = RgbConfigAttributes(EGL_WINDOW_BIT, 1);
  EGLint count = 0;
  if (!eglChooseConfig(display, attributes.data(), nullptr, 0, &count) || count <= 0) return false;
  std::vector<EGLConfig> configs(count);
  if (!eglChooseConfig(display, attributes.data(), configs.data(), count, &count)) return false;
  for (EGLint i = 0; i < count; ++i) {
    EGLint id = 0;
    if (eglGetConfigAttrib(display, configs[i], EGL_NATIVE_VISUAL_ID, &id) &&
        static_cast<VisualID>(id) == visual) {
      *out = configs[i];
      return true;
    }
  }
  return false;
}

}  // namespace

GlContext::GlContext(std::unique_ptr<State> state) : state_(std::move(state)) {}
GlContext::~GlContext() = default;

std::unique_ptr<GlContext> GlContext::CreateHeadless(Headless kind) {
  std::unique_ptr<State> state;
  if (kind != Headless::kX11Pbuffer) state = SurfacelessState();
  if (!state && kind != Headless::kSurfaceless) state = X11PbufferState();
  if (!state) return nullptr;
  state->headless = true;
  return std::unique_ptr<GlContext>(new GlContext(std::move(state)));
}

std::unique_ptr<GlContext> GlContext::CreateForWindow(unsigned long window,
                                                      const char* display_name) {
  if (window == 0) return nullptr;
  auto state = std::make_unique<State>();
  state->headless = false;
  state->x_display = XOpenDisplay(display_name);
  if (!state->x_display) return nullptr;
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(state->x_display, window, &attributes) || !attributes.visual)
    return nullptr;
  state->display = InitializedDisplay(EGL_PLATFORM_X11_KHR, state->x_display);
  if (state->display == EGL_NO_DISPLAY) return nullptr;
  EGLConfig config;
  if (!ConfigForVisual(state->display, XVisualIDFromVisual(attributes.visual), &config))
    return nullptr;
  EGLNativeWindowType native = window;
  state->surface = eglCreatePlatformWindowSurfaceEXT(state->display, config, &native, nullptr);
  if (state->surface == EGL_NO_SURFACE) return nullptr;
  state->context = CreateCoreContext(state->display, config);
  if (state->context == EGL_NO_CONTEXT) return nullptr;
  auto context = std::unique_ptr<GlContext>(new GlContext(std::move(state)));
  if (context->MakeCurrent()) {
    // Presentation paces itself by the saver's frame interval, not the monitor.
    eglSwapInterval(context->state_->display, 0);
    context->DoneCurrent();
  }
  return context;
}

bool GlContext::IsSoftware() const {
  // The display's device says so where EGL can tell; otherwise the renderer's name does.
  if (HasClientExtension("EGL_EXT_device_query")) {
    EGLAttrib device = 0;
    if (eglQueryDisplayAttribEXT(state_->display, EGL_DEVICE_EXT, &device) && device) {
      const char* extensions =
          eglQueryDeviceStringEXT(reinterpret_cast<EGLDeviceEXT>(device), EGL_EXTENSIONS);
      if (extensions) return epoxy_extension_in_string(extensions, "EGL_MESA_device_software");
    }
  }
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!renderer) return false;
  for (const char* name : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"})
    if (std::strstr(renderer, name)) return true;
  return false;
}

bool GlContext::SetSwapInterval(int interval) {
  if (!IsValid() || state_->surface == EGL_NO_SURFACE) return false;
  return eglSwapInterval(state_->display, interval);
}

bool GlContext::IsValid() const {
  return state_ && state_->context != EGL_NO_CONTEXT;
}
bool GlContext::IsHeadless() const {
  return state_->headless;
}

bool GlContext::MakeCurrent() {
  if (!IsValid()) return false;
  // Callers make the context current before each piece of work; a switch that
  // changes nothing must not cost a driver round trip.
  if (eglGetCurrentContext() == state_->context &&
      eglGetCurrentSurface(EGL_DRAW) == state_->surface)
    return true;
  // The API binding belongs to the thread, so each new rendering thread needs it.
  if (!eglBindAPI(EGL_OPENGL_API)) return false;
  return eglMakeCurrent(state_->display, state_->surface, state_->surface, state_->context);
}

void GlContext::DoneCurrent() {
  if (IsValid()) eglMakeCurrent(state_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

bool GlContext::SwapBuffers() {
  if (!IsValid() || state_->headless || state_->surface == EGL_NO_SURFACE) return false;
  return eglSwapBuffers(state_->display, state_->surface);
}

int GlContext::SurfaceWidth() const {
  EGLint value = 0;
  if (state_->headless || state_->surface == EGL_NO_SURFACE) return 0;
  eglQuerySurface(state_->display, state_->surface, EGL_WIDTH, &value);
  return value;
}

int GlContext::SurfaceHeight() const {
  EGLint value = 0;
  if (state_->headless || state_->surface == EGL_NO_SURFACE) return 0;
  eglQuerySurface(state_->display, state_->surface, EGL_HEIGHT, &value);
  return value;
}
