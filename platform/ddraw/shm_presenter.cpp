#include "platform/ddraw/shm_presenter.h"

#include <epoxy/gl.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/render.h>
#include <xcb/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/ddraw/around_picture.h"
#include "platform/ddraw/display_device.h"
#include "platform/win/xcb_reply.h"

namespace {

bool Fits(const RECT& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.right > r.left &&
         r.bottom > r.top;
}

int Width(const RECT& r) {
  return r.right - r.left;
}
int Height(const RECT& r) {
  return r.bottom - r.top;
}

uint32_t PixelOf(Colour c) {
  auto channel = [](float v) { return uint32_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
  return (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

// The visual draws 0x00RRGGBB words, which little-endian memory holds as the
// B, G, R, X bytes that GL reads out as GL_BGRA.
bool IsXrgbVisual(const xcb_setup_t* setup, xcb_visualid_t visual, uint8_t depth) {
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST || depth != 24) return false;
  bool thirtyTwoBits = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == depth) thirtyTwoBits = f.data->bits_per_pixel == 32;
  if (!thirtyTwoBits) return false;
  for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s))
    for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d))
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
        if (v.data->visual_id == visual)
          return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xFF0000 &&
                 v.data->green_mask == 0xFF00 && v.data->blue_mask == 0xFF;
  return false;
}

// RGB565 widened to the window's 0x00RRGGBB by repeating each channel's top
// bits, as GL's own conversion does; a loop the compiler turns into vector code.
void Widen(const uint16_t* from, size_t count, uint32_t* to) {
  for (size_t i = 0; i < count; ++i) {
    const uint32_t p = from[i];
    const uint32_t r = p >> 11, g = (p >> 5) & 0x3F, b = p & 0x1F;
    to[i] = ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
  }
}

}  // namespace

std::unique_ptr<ShmPresenter> ShmPresenter::Create(DisplayDevice* device, Scaling scaling) {
  // Rows come out of GL top first only with this extension; every Mesa driver has it.
  if (!epoxy_has_gl_extension("GL_MESA_pack_invert")) return nullptr;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return nullptr;
  }
  std::unique_ptr<ShmPresenter> presenter(new ShmPresenter(device, c, scaling));
  if (!presenter->SetUp()) return nullptr;
  return presenter;
}

ShmPresenter::ShmPresenter(DisplayDevice* device, xcb_connection_t* connection, Scaling scaling)
    : device_(device), c_(connection), scaling_(scaling), window_(xcb_window_t(device->Window())) {}

ShmPresenter::~ShmPresenter() {
  transfer_.reset();
  for (Buffer& b : buffers_) Detach(b);
  if (windowPicture_) xcb_render_free_picture(c_, windowPicture_);
  if (gc_) xcb_free_gc(c_, gc_);
  xcb_disconnect(c_);
}

bool ShmPresenter::SetUp() {
  const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c_, &xcb_shm_id);
  if (!shm || !shm->present) return false;
  auto version = OwnReply(xcb_shm_query_version_reply(c_, xcb_shm_query_version(c_), nullptr));
  auto attributes = OwnReply(
      xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, window_), nullptr));
  auto geometry = OwnReply(xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window_), nullptr));
  if (!version || !attributes || !geometry) return false;
  depth_ = geometry->depth;
  if (!IsXrgbVisual(xcb_get_setup(c_), attributes->visual, depth_)) return false;
  sharedPixmaps_ = version->shared_pixmaps && version->pixmap_format == XCB_IMAGE_FORMAT_Z_PIXMAP;
  // A server on another machine cannot see our memory, and a system can limit
  // shared memory: find out now, with both blocks as large as the largest
  // picture there will be (the window's, or a display mode's where larger).
  largest_ = std::max(size_t(geometry->width) * geometry->height, size_t(1024 * 768)) * 4;
  for (Buffer& b : buffers_)
    if (!Reserve(b, largest_)) return false;
  gc_ = xcb_generate_id(c_);
  const uint32_t noExposures = 0;
  xcb_create_gc(c_, gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  if (scaling_ == Scaling::kOnServer && !SetUpRender(attributes->visual)) scaling_ = Scaling::kInGl;
  return true;
}

bool ShmPresenter::SetUpRender(xcb_visualid_t visual) {
  const xcb_query_extension_reply_t* render = xcb_get_extension_data(c_, &xcb_render_id);
  if (!render || !render->present) return false;
  auto version =
      OwnReply(xcb_render_query_version_reply(c_, xcb_render_query_version(c_, 0, 11), nullptr));
  auto formats =
      OwnReply(xcb_render_query_pict_formats_reply(c_, xcb_render_query_pict_formats(c_), nullptr));
  if (!version || !formats) return false;
  // Filters and transforms came with RENDER 0.6.
  if (version->major_version == 0 && version->minor_version < 6) return false;
  uint32_t windowFormat = 0;
  for (auto s = xcb_render_query_pict_formats_screens_iterator(formats.get()); s.rem;
       xcb_render_pictscreen_next(&s))
    for (auto d = xcb_render_pictscreen_depths_iterator(s.data); d.rem;
         xcb_render_pictdepth_next(&d))
      for (auto v = xcb_render_pictdepth_visuals_iterator(d.data); v.rem;
           xcb_render_pictvisual_next(&v))
        if (v.data->visual == visual) windowFormat = v.data->format;
  for (auto f = xcb_render_query_pict_formats_formats_iterator(formats.get()); f.rem;
       xcb_render_pictforminfo_next(&f)) {
    const xcb_render_directformat_t& d = f.data->direct;
    if (f.data->type == XCB_RENDER_PICT_TYPE_DIRECT && f.data->depth == 24 && d.red_shift == 16 &&
        d.red_mask == 0xFF && d.green_shift == 8 && d.green_mask == 0xFF && d.blue_shift == 0 &&
        d.blue_mask == 0xFF && d.alpha_mask == 0)
      sourceFormat_ = f.data->id;
  }
  if (!windowFormat || !sourceFormat_) return false;
  windowPicture_ = xcb_generate_id(c_);
  xcb_render_create_picture(c_, windowPicture_, window_, windowFormat, 0, nullptr);
  badPicture_ = uint8_t(render->first_error + XCB_RENDER_PICTURE);
  return true;
}

bool ShmPresenter::Reserve(Buffer& b, size_t bytes) {
  if (b.size >= bytes) return true;
  Detach(b);
  bytes = std::max(bytes, largest_);
  const int shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (shmid < 0) return false;
  void* address = shmat(shmid, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(shmid, IPC_RMID, nullptr);
    return false;
  }
  const uint32_t id = xcb_generate_id(c_);
  xcb_generic_error_t* error =
      xcb_request_check(c_, xcb_shm_attach_checked(c_, id, uint32_t(shmid), 0));
  // Attached or not, the memory goes away once both sides let go of it.
  shmctl(shmid, IPC_RMID, nullptr);
  if (error) {
    std::free(error);
    shmdt(address);
    return false;
  }
  b.segment = id;
  b.pixels = static_cast<uint8_t*>(address);
  b.size = bytes;
  return true;
}

void ShmPresenter::FreePixmap(Buffer& b) {
  if (b.picture) xcb_render_free_picture(c_, b.picture);
  if (b.pixmap) xcb_free_pixmap(c_, b.pixmap);
  b.picture = b.pixmap = 0;
}

void ShmPresenter::Detach(Buffer& b) {
  FreePixmap(b);
  if (!b.pixels) return;
  xcb_shm_detach(c_, b.segment);
  Finish();
  shmdt(b.pixels);
  b.pixels = nullptr;
  b.size = 0;
}

void ShmPresenter::Settle(Buffer& b) {
  if (b.busy) std::free(xcb_get_input_focus_reply(c_, b.done, nullptr));
  b.busy = false;
}

ShmPresenter::Buffer& ShmPresenter::Next() {
  Buffer& b = buffers_[next_];
  next_ = 1 - next_;
  Settle(b);
  return b;
}

void ShmPresenter::Finish() {
  for (Buffer& b : buffers_) Settle(b);
  std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
}

bool ShmPresenter::WindowAlive() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
    if (event->response_type == 0) {
      const uint8_t code = reinterpret_cast<xcb_generic_error_t*>(event)->error_code;
      if (code == XCB_WINDOW || code == XCB_DRAWABLE || (badPicture_ && code == badPicture_))
        windowGone_ = true;
    }
    std::free(event);
  }
  return !windowGone_ && !xcb_connection_has_error(c_);
}

bool ShmPresenter::ReadPixels(const Framebuffer& source, const RECT& from,
                              const DirectDrawPalette* palette, int width, int height,
                              uint8_t* bgrx) {
  const bool scaled = width != Width(from) || height != Height(from);
  unsigned readFrom = source.Name();
  RECT area = from;
  int areaHeight = source.Height();
  if (palette || scaled) {
    // The palette look and GL-side scaling are drawn first, at the picture's final size.
    if (!transfer_ || transfer_->Width() != width || transfer_->Height() != height)
      transfer_ = std::make_unique<Framebuffer>(width, height, ColorFormat::kRgba8, 0,
                                                ColorStorage::kTexture);
    if (!transfer_->IsValid()) return false;
    const RECT whole{0, 0, width, height};
    if (!device_->Copy(source, from, *transfer_, whole, palette)) return false;
    readFrom = transfer_->Name();
    area = whole;
    areaHeight = height;
  }
  // GL's own widening of RGB565 costs ten times a plain read of the pixels as
  // they are stored; 32-bit pixels come out in the window's byte order.
  const bool rgb565 = readFrom == source.Name() && source.Format() == ColorFormat::kRgb565;
  const size_t pixels = size_t(width) * size_t(height);
  if (rgb565) rgb565_.resize(pixels);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, readFrom);
  glPixelStorei(GL_PACK_ALIGNMENT, rgb565 ? 2 : 4);
  glPixelStorei(GL_PACK_INVERT_MESA, GL_TRUE);
  if (rgb565)
    glReadPixels(area.left, areaHeight - area.bottom, width, height, GL_RGB,
                 GL_UNSIGNED_SHORT_5_6_5, rgb565_.data());
  else
    glReadPixels(area.left, areaHeight - area.bottom, width, height, GL_BGRA, GL_UNSIGNED_BYTE,
                 bgrx);
  glPixelStorei(GL_PACK_INVERT_MESA, GL_FALSE);
  if (rgb565) Widen(rgb565_.data(), pixels, reinterpret_cast<uint32_t*>(bgrx));
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  return glGetError() == GL_NO_ERROR;
}

void ShmPresenter::PutScaled(Buffer& b, int width, int height, const RECT& to) {
  if (!b.pixmap || b.width != width || b.height != height) {
    FreePixmap(b);
    b.pixmap = xcb_generate_id(c_);
    if (sharedPixmaps_)
      xcb_shm_create_pixmap(c_, b.pixmap, window_, uint16_t(width), uint16_t(height), depth_,
                            b.segment, 0);
    else
      xcb_create_pixmap(c_, depth_, b.pixmap, window_, uint16_t(width), uint16_t(height));
    b.picture = xcb_generate_id(c_);
    xcb_render_create_picture(c_, b.picture, b.pixmap, sourceFormat_, 0, nullptr);
    static const char kNearest[] = "nearest";
    xcb_render_set_picture_filter(c_, b.picture, sizeof kNearest - 1, kNearest, 0, nullptr);
    b.width = width;
    b.height = height;
  }
  if (!sharedPixmaps_)
    xcb_shm_put_image(c_, b.pixmap, gc_, uint16_t(width), uint16_t(height), 0, 0, uint16_t(width),
                      uint16_t(height), 0, 0, depth_, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, b.segment, 0);
  // The transform takes a window pixel's centre to the source, in 16.16 fixed
  // point. Nearest-pixel sampling takes a centre that lands exactly on an edge
  // between two source pixels to the first of them, as GL's blit does; a scale
  // rounded down keeps the centres of the shown modes from overshooting the edge.
  auto fixed = [](int numerator, int denominator) {
    return int32_t((int64_t(numerator) << 16) / denominator);
  };
  const xcb_render_transform_t transform{
      fixed(width, Width(to)), 0, 0, 0, fixed(height, Height(to)), 0, 0, 0, fixed(1, 1)};
  xcb_render_set_picture_transform(c_, b.picture, transform);
  xcb_render_composite(c_, XCB_RENDER_PICT_OP_SRC, b.picture, XCB_NONE, windowPicture_, 0, 0, 0, 0,
                       int16_t(to.left), int16_t(to.top), uint16_t(Width(to)),
                       uint16_t(Height(to)));
}

void ShmPresenter::FillRect(const RECT& area, uint32_t pixel) {
  xcb_change_gc(c_, gc_, XCB_GC_FOREGROUND, &pixel);
  const xcb_rectangle_t r{int16_t(area.left), int16_t(area.top), uint16_t(Width(area)),
                          uint16_t(Height(area))};
  xcb_poly_fill_rectangle(c_, window_, gc_, 1, &r);
}

bool ShmPresenter::Present(const Framebuffer& source, const RECT& from, const RECT& to,
                           const DirectDrawPalette* palette, bool bars) {
  if (!WindowAlive() || !Fits(from, source.Width(), source.Height()) || Width(to) <= 0 ||
      Height(to) <= 0)
    return false;
  const bool scaled = Width(to) != Width(from) || Height(to) != Height(from);
  const bool onServer = scaled && scaling_ == Scaling::kOnServer;
  const int width = onServer || !scaled ? Width(from) : Width(to);
  const int height = onServer || !scaled ? Height(from) : Height(to);
  Buffer& b = Next();
  if (!Reserve(b, size_t(width) * size_t(height) * 4) ||
      !ReadPixels(source, from, palette, width, height, b.pixels))
    return false;
  if (bars) {
    AroundPicture(device_->WindowWidth(), device_->WindowHeight(), to,
                  [&](const RECT& bar) { FillRect(bar, 0); });
  }
  if (onServer) {
    PutScaled(b, width, height, to);
  } else {
    xcb_shm_put_image(c_, window_, gc_, uint16_t(width), uint16_t(height), 0, 0, uint16_t(width),
                      uint16_t(height), int16_t(to.left), int16_t(to.top), depth_,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 0, b.segment, 0);
  }
  // The server reads the block while GL draws the next picture into the other one.
  b.done = xcb_get_input_focus(c_);
  b.busy = true;
  xcb_flush(c_);
  return true;
}

bool ShmPresenter::Fill(const RECT& area, Colour colour) {
  if (!WindowAlive()) return false;
  if (Width(area) > 0 && Height(area) > 0) FillRect(area, PixelOf(colour));
  Finish();
  return true;
}

bool ShmPresenter::Read(SurfaceImage* picture) {
  const int width = device_->WindowWidth(), height = device_->WindowHeight();
  auto image =
      OwnReply(xcb_get_image_reply(c_,
                                   xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, 0, 0,
                                                 uint16_t(width), uint16_t(height), ~0u),
                                   nullptr));
  if (!image || xcb_get_image_data_length(image.get()) < width * height * 4) return false;
  const uint8_t* bgrx = xcb_get_image_data(image.get());
  picture->width = width;
  picture->height = height;
  picture->rgba.resize(size_t(width) * size_t(height) * 4);
  for (size_t i = 0; i < picture->rgba.size(); i += 4) {
    picture->rgba[i] = bgrx[i + 2];
    picture->rgba[i + 1] = bgrx[i + 1];
    picture->rgba[i + 2] = bgrx[i];
    picture->rgba[i + 3] = 255;
  }
  return true;
}

bool ShmPresenter::Write(const SurfaceImage& picture) {
  if (!WindowAlive()) return false;
  const size_t bytes = size_t(picture.width) * size_t(picture.height) * 4;
  Buffer& b = Next();
  if (picture.rgba.size() < bytes || !Reserve(b, bytes)) return false;
  for (size_t i = 0; i < bytes; i += 4) {
    b.pixels[i] = picture.rgba[i + 2];
    b.pixels[i + 1] = picture.rgba[i + 1];
    b.pixels[i + 2] = picture.rgba[i];
    b.pixels[i + 3] = 255;
  }
  xcb_shm_put_image(c_, window_, gc_, uint16_t(picture.width), uint16_t(picture.height), 0, 0,
                    uint16_t(picture.width), uint16_t(picture.height), 0, 0, depth_,
                    XCB_IMAGE_FORMAT_Z_PIXMAP, 0, b.segment, 0);
  Finish();
  return true;
}
