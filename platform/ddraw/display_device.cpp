#include "platform/ddraw/display_device.h"

#include <epoxy/gl.h>

#include <vector>

#include "platform/ddraw/direct_draw_palette.h"
#include "platform/ddraw/x_display.h"
#include "platform/win/offscreen_window.h"

namespace {

constexpr int kLookupSize = 32;

// A quad over the viewport from the vertex id alone; the source rectangle is
// given in texture coordinates.
constexpr char kQuadVertexShader[] = R"(#version 330 core
uniform vec4 sourceRect;
out vec2 uv;
void main() {
  vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
  uv = mix(sourceRect.xy, sourceRect.zw, corner);
  gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

// Each pixel becomes the palette colour nearest to it, as on an 8-bit screen.
constexpr char kPaletteFragmentShader[] = R"(#version 330 core
uniform sampler2D source;
uniform sampler3D lookup;
in vec2 uv;
out vec4 color;
void main() {
  vec3 c = texture(source, uv).rgb;
  float n = 32.0;
  color = vec4(texture(lookup, (floor(c * (n - 1.0) + 0.5) + 0.5) / n).rgb, 1.0);
}
)";

thread_local DisplayDevice* heldDevice = nullptr;
thread_local int heldDepth = 0;

int Distance(const PALETTEENTRY& e, int r, int g, int b) {
  const int dr = e.peRed - r, dg = e.peGreen - g, db = e.peBlue - b;
  return dr * dr + dg * dg + db * db;
}

std::vector<uint8_t> NearestColours(const DirectDrawPalette& palette) {
  std::vector<uint8_t> table(size_t(kLookupSize * kLookupSize * kLookupSize) * 4);
  const auto& entries = palette.Entries();
  size_t out = 0;
  for (int b = 0; b < kLookupSize; ++b)
    for (int g = 0; g < kLookupSize; ++g)
      for (int r = 0; r < kLookupSize; ++r) {
        const int rr = r * 255 / (kLookupSize - 1), gg = g * 255 / (kLookupSize - 1),
                  bb = b * 255 / (kLookupSize - 1);
        size_t best = 0;
        for (size_t i = 1; i < entries.size(); ++i)
          if (Distance(entries[i], rr, gg, bb) < Distance(entries[best], rr, gg, bb)) best = i;
        table[out++] = entries[best].peRed;
        table[out++] = entries[best].peGreen;
        table[out++] = entries[best].peBlue;
        table[out++] = 255;
      }
  return table;
}

}  // namespace

void DisplayDevice::PlainState() {
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

std::unique_ptr<DisplayDevice> DisplayDevice::ForWindow(HWND window) {
  int width = 0, height = 0;
  const bool offscreen = IsOffscreenWindow(window);
  std::unique_ptr<GlContext> context;
  if (offscreen) {
    if (!OffscreenWindowSize(window, &width, &height)) return nullptr;
    context = GlContext::CreateHeadless();
  } else {
    if (!XWindowSize(window, &width, &height)) return nullptr;
    context = GlContext::CreateForWindow(window);
  }
  if (!context || !context->IsValid()) return nullptr;
  std::unique_ptr<DisplayDevice> device(
      new DisplayDevice(window, std::move(context), width, height, offscreen));
  ContextScope scope(device.get());
  if (!scope.Ok()) return nullptr;
  device->presenter_ = ChoosePresenter(device.get());
  if (!device->presenter_) return nullptr;
  return device;
}

DisplayDevice::DisplayDevice(HWND window, std::unique_ptr<GlContext> context, int width, int height,
                             bool offscreen)
    : window_(window),
      context_(std::move(context)),
      width_(width),
      height_(height),
      offscreen_(offscreen) {}

DisplayDevice::~DisplayDevice() {
  ContextScope scope(this);
  presenter_.reset();
  paletteProgram_.reset();
  quad_.reset();
  lookup_.reset();
}

FlipPacer* DisplayDevice::Pacer(double refreshRate) {
  if (offscreen_ || !presenter_->OnDisplay()) return nullptr;
  if (!pacer_) {
    ContextScope scope(this);
    if (scope.Ok()) presenter_->FollowVerticalBlank();
    pacer_ = std::make_unique<FlipPacer>(refreshRate);
  }
  return pacer_.get();
}

POINT DisplayDevice::WindowOrigin() const {
  POINT origin;
  if (!offscreen_) XWindowOrigin(window_, &origin);
  return origin;
}

bool DisplayDevice::PreparePaletteLook(const DirectDrawPalette& palette) {
  if (!paletteProgram_) {
    paletteProgram_ = std::make_unique<GlProgram>(kQuadVertexShader, kPaletteFragmentShader);
    quad_ = std::make_unique<GlVertexArray>();
  }
  if (!paletteProgram_->IsValid()) return false;
  if (lookup_ && lookupPalette_ == &palette && lookupVersion_ == palette.Version()) return true;
  if (!lookup_) lookup_ = std::make_unique<GlTexture>();
  const std::vector<uint8_t> table = NearestColours(palette);
  glBindTexture(GL_TEXTURE_3D, lookup_->Name());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA8, kLookupSize, kLookupSize, kLookupSize, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, table.data());
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_3D, 0);
  lookupPalette_ = &palette;
  lookupVersion_ = palette.Version();
  return true;
}

bool DisplayDevice::Copy(const Framebuffer& source, const RECT& from, Framebuffer& target,
                         const RECT& to, const DirectDrawPalette* palette) {
  PlainState();
  const int sh = source.Height(), th = target.Height();
  if (!palette || !source.ColorTexture()) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source.Name());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target.Name());
    glBlitFramebuffer(from.left, sh - from.bottom, from.right, sh - from.top, to.left,
                      th - to.bottom, to.right, th - to.top, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return glGetError() == GL_NO_ERROR;
  }
  if (!PreparePaletteLook(*palette)) return false;
  const float sw = float(source.Width());
  glBindFramebuffer(GL_FRAMEBUFFER, target.Name());
  glViewport(to.left, th - to.bottom, to.right - to.left, to.bottom - to.top);
  glUseProgram(paletteProgram_->Name());
  glUniform4f(paletteProgram_->Uniform("sourceRect"), float(from.left) / sw,
              float(sh - from.bottom) / float(sh), float(from.right) / sw,
              float(sh - from.top) / float(sh));
  glUniform1i(paletteProgram_->Uniform("source"), 0);
  glUniform1i(paletteProgram_->Uniform("lookup"), 1);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, source.ColorTexture());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glActiveTexture(GL_TEXTURE1);
  glBindTexture(GL_TEXTURE_3D, lookup_->Name());
  glBindVertexArray(quad_->Name());
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glBindVertexArray(0);
  glBindTexture(GL_TEXTURE_3D, 0);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, 0);
  glUseProgram(0);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return glGetError() == GL_NO_ERROR;
}

void DisplayDevice::Fill(Framebuffer& target, const RECT& area, float r, float g, float b) {
  PlainState();
  glBindFramebuffer(GL_FRAMEBUFFER, target.Name());
  glEnable(GL_SCISSOR_TEST);
  glScissor(area.left, target.Height() - area.bottom, area.right - area.left,
            area.bottom - area.top);
  glClearColor(r, g, b, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

ContextScope::ContextScope(DisplayDevice* device) : device_(device) {
  if (!device_) return;
  if (heldDevice == device_ && heldDepth > 0) {
    ++heldDepth;
    ok_ = true;
    return;
  }
  ok_ = device_->Context().MakeCurrent();
  if (ok_) {
    heldDevice = device_;
    heldDepth = 1;
  }
}

ContextScope::~ContextScope() {
  if (!ok_ || heldDevice != device_) return;
  if (--heldDepth == 0) {
    device_->Context().DoneCurrent();
    heldDevice = nullptr;
  }
}
