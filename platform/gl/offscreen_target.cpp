#include "platform/gl/offscreen_target.h"

std::unique_ptr<OffscreenTarget> OffscreenTarget::Create(int width, int height, int depth_bits,
                                                         ColorFormat format) {
  auto context = GlContext::CreateHeadless();
  if (!context || !context->MakeCurrent()) return nullptr;
  auto fbo = std::make_unique<::Framebuffer>(width, height, format, depth_bits);
  if (!fbo->IsValid()) {
    fbo.reset();
    context->DoneCurrent();
    return nullptr;
  }
  context->DoneCurrent();
  return std::unique_ptr<OffscreenTarget>(new OffscreenTarget(std::move(context), std::move(fbo)));
}

OffscreenTarget::OffscreenTarget(std::unique_ptr<GlContext> context,
                                 std::unique_ptr<::Framebuffer> fbo)
    : context_(std::move(context)), fbo_(std::move(fbo)) {}

OffscreenTarget::~OffscreenTarget() {
  // The framebuffer's GL names belong to the context: free them while it is current.
  if (context_->MakeCurrent()) {
    fbo_.reset();
    context_->DoneCurrent();
  }
}

bool OffscreenTarget::MakeCurrent() {
  return context_->MakeCurrent();
}
void OffscreenTarget::DoneCurrent() {
  context_->DoneCurrent();
}
unsigned OffscreenTarget::Framebuffer() const {
  return fbo_->Name();
}
int OffscreenTarget::Width() const {
  return fbo_->Width();
}
int OffscreenTarget::Height() const {
  return fbo_->Height();
}
bool OffscreenTarget::HasDepth() const {
  return fbo_->HasDepth();
}

bool OffscreenTarget::ReadPixels(std::vector<uint8_t>& rgba) {
  return MakeCurrent() && fbo_->ReadPixels(rgba);
}
