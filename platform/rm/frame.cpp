#include "platform/rm/frame.h"

#include <algorithm>

namespace {

Vec3 ToVec(D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  return {x, y, z};
}
D3DVECTOR ToD3D(const Vec3& v) {
  return {static_cast<D3DVALUE>(v.x), static_cast<D3DVALUE>(v.y), static_cast<D3DVALUE>(v.z)};
}

Mat4 WorldOrIdentity(const Ref<RMFrame>& ref) {
  return ref ? ref->World() : Mat4::Identity();
}

template <class T>
bool EraseOne(std::vector<Ref<T>>& list, const T* item) {
  auto it =
      std::find_if(list.begin(), list.end(), [&](const Ref<T>& r) { return r.Get() == item; });
  if (it == list.end()) return false;
  list.erase(it);
  return true;
}

}  // namespace

RMFrame::~RMFrame() {
  for (auto& child : children_) child->parent_ = nullptr;
}

Mat4 RMFrame::WorldOf(const RMFrame* frame) {
  Mat4 world = Mat4::Identity();
  for (; frame; frame = frame->parent_) world = world * frame->local_;
  return world;
}

Mat4 RMFrame::World() const {
  return WorldOf(this);
}

bool RMFrame::AddChild(const Ref<RMFrame>& child) {
  if (!child) return false;
  if (child->parent_ == this) return true;
  for (const RMFrame* f = this; f; f = f->parent_)
    if (f == child.Get()) return false;  // would close a loop
  Ref<RMFrame> keep = child;
  if (child->parent_) child->parent_->DeleteChild(child);
  children_.push_back(child);
  child->parent_ = this;
  return true;
}

bool RMFrame::DeleteChild(const Ref<RMFrame>& child) {
  if (!child || child->parent_ != this) return false;
  Ref<RMFrame> keep = child;
  EraseOne(children_, child.Get());
  child->parent_ = nullptr;
  return true;
}

bool RMFrame::SetPosition(const Ref<RMFrame>& ref, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  const Vec3 world = WorldOrIdentity(ref).Point(ToVec(x, y, z));
  local_.SetRow(3, WorldOf(parent_).Inverse().Point(world));
  return true;
}

bool RMFrame::GetPosition(const Ref<RMFrame>& ref, D3DVECTOR* position) const {
  if (!position) return false;
  const Vec3 world = World().Row(3);
  *position = ToD3D(WorldOrIdentity(ref).Inverse().Point(world));
  return true;
}

bool RMFrame::SetOrientation(const Ref<RMFrame>& ref, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz,
                             D3DVALUE ux, D3DVALUE uy, D3DVALUE uz) {
  const Vec3 d = ToVec(dx, dy, dz), u = ToVec(ux, uy, uz);
  if (d.Length() == 0) return false;
  const Vec3 z = d * (1 / d.Length());
  Vec3 y = u - z * u.Dot(z);
  if (y.Length() < 1e-12 * std::max(1.0, u.Length())) return false;  // up along direction
  y = y * (1 / y.Length());
  const Vec3 x = y.Cross(z);
  const Mat4 into_parent = WorldOrIdentity(ref) * WorldOf(parent_).Inverse();
  local_.SetRow(0, into_parent.Direction(x));
  local_.SetRow(1, into_parent.Direction(y));
  local_.SetRow(2, into_parent.Direction(z));
  return true;
}

bool RMFrame::GetOrientation(const Ref<RMFrame>& ref, D3DVECTOR* dir, D3DVECTOR* up) const {
  if (!dir || !up) return false;
  const Mat4 into_ref = World() * WorldOrIdentity(ref).Inverse();
  *dir = ToD3D(into_ref.Row(2));
  *up = ToD3D(into_ref.Row(1));
  return true;
}

bool RMFrame::SetRotation(const Ref<RMFrame>& ref, D3DVALUE ax, D3DVALUE ay, D3DVALUE az,
                          D3DVALUE theta) {
  const Mat4 into_parent = WorldOrIdentity(ref) * WorldOf(parent_).Inverse();
  rotation_axis_ = into_parent.Direction(ToVec(ax, ay, az));
  rotation_theta_ = theta;
  return true;
}

bool RMFrame::SetVelocity(const Ref<RMFrame>& ref, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  const Mat4 into_parent = WorldOrIdentity(ref) * WorldOf(parent_).Inverse();
  velocity_ = into_parent.Direction(ToVec(x, y, z));
  return true;
}

void RMFrame::MoveOne(double delta) {
  if (rotation_theta_ != 0) {
    const double length = rotation_axis_.Length();
    const Vec3 axis = length > 0 ? rotation_axis_ * (1 / length) : Vec3{1, 0, 0};
    const Mat4 turn = Mat4::Rotation(axis, rotation_theta_ * delta);
    for (int r = 0; r < 3; ++r) local_.SetRow(r, turn.Direction(local_.Row(r)));
  }
  local_.SetRow(3, local_.Row(3) + velocity_ * delta);
}

void RMFrame::MoveTree(double delta) {
  MoveOne(delta);
  for (auto& child : children_) child->MoveTree(delta);
}

bool RMFrame::Move(D3DVALUE delta) {
  MoveTree(delta);
  return true;
}

bool RMFrame::AddVisual(const Ref<RMVisual>& visual) {
  if (!visual) return false;
  for (auto& v : visuals_)
    if (v == visual) return true;
  visuals_.push_back(visual);
  return true;
}

bool RMFrame::DeleteVisual(const Ref<RMVisual>& visual) {
  return visual && EraseOne(visuals_, visual.Get());
}

bool RMFrame::AddLight(const Ref<RMLight>& light) {
  if (!light) return false;
  lights_.push_back(light);
  return true;
}

bool RMFrame::DeleteLight(const Ref<RMLight>& light) {
  return light && EraseOne(lights_, light.Get());
}

bool RMFrame::SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  color_[0] = std::clamp(r, 0.0f, 1.0f);
  color_[1] = std::clamp(g, 0.0f, 1.0f);
  color_[2] = std::clamp(b, 0.0f, 1.0f);
  return true;
}

bool RMFrame::SetMaterialMode(D3DRMMATERIALMODE mode) {
  if (mode > D3DRMMATERIAL_FROMFRAME) return false;
  material_mode_ = mode;
  return true;
}
