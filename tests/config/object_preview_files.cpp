#include "config/object_preview_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <utility>
#include <vector>

namespace {
struct V {
  double x, y, z;
};
}  // namespace

void WriteBox(const std::string& path, double hx, double hy, double hz, const std::string& image) {
  const V axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  std::vector<V> vertices;
  for (int axis = 0; axis < 3; ++axis)
    for (int sign : {-1, 1}) {
      const V n{axes[axis].x * sign, axes[axis].y * sign, axes[axis].z * sign};
      V u = axes[(axis + 1) % 3], v = axes[(axis + 2) % 3];
      // Front faces are clockwise: (v × u) must point along the normal.
      const V c{v.y * u.z - v.z * u.y, v.z * u.x - v.x * u.z, v.x * u.y - v.y * u.x};
      if (c.x * n.x + c.y * n.y + c.z * n.z < 0) std::swap(u, v);
      for (auto [a, b] : {std::pair{-1, -1}, {-1, 1}, {1, 1}, {1, -1}})
        vertices.push_back({(n.x + u.x * a + v.x * b) * hx, (n.y + u.y * a + v.y * b) * hy,
                            (n.z + u.z * a + v.z * b) * hz});
    }
  std::ofstream out(path);
  out << "xof 0302txt 0032\nMesh box {\n24;\n";
  for (size_t i = 0; i < vertices.size(); ++i)
    out << vertices[i].x << ";" << vertices[i].y << ";" << vertices[i].z << ";"
        << (i < 23 ? "," : ";") << "\n";
  out << "12;\n";
  for (int q = 0; q < 24; q += 4)
    out << "3;" << q << "," << q + 1 << "," << q + 2 << ";,\n3;" << q << "," << q + 2 << ","
        << q + 3 << ";" << (q < 20 ? "," : ";") << "\n";
  if (!image.empty())
    out << "MeshMaterialList {\n1;\n12;\n0,0,0,0,0,0,0,0,0,0,0,0;\nMaterial {\n1.0;1.0;1.0;1.0;;\n"
        << "0.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\nTextureFilename { \"" << image << "\"; }\n}\n}\n";
  out << "}\n";
}

void WritePpm(const std::string& path, int size, uint8_t r, uint8_t g, uint8_t b) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << size << " " << size << "\n255\n";
  for (int i = 0; i < size * size; ++i) out << r << g << b;
}

void WriteHugeBmp(const std::string& path) {
  const uint32_t side = 16384, data = side * 3 * side, offset = 54;
  uint8_t header[54] = {'B', 'M'};
  auto put = [&](int at, uint32_t value) {
    for (int i = 0; i < 4; ++i) header[at + i] = uint8_t(value >> (8 * i));
  };
  put(2, offset + data);
  put(10, offset);
  put(14, 40);
  put(18, side);
  put(22, side);
  put(26, 1 | 24 << 16);  // one plane, 24 bits
  put(34, data);
  const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
  if (fd < 0) return;
  if (write(fd, header, sizeof header) != ssize_t(sizeof header) ||
      ftruncate(fd, off_t(offset) + off_t(data)) != 0)
    unlink(path.c_str());
  close(fd);
}

LitArea LitPixels(const SurfaceImage& image) {
  LitArea lit;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (image.Pixel(x, y) != 0) {
        ++lit.count;
        lit.x += x;
        lit.y += y;
      }
  if (lit.count) {
    lit.x /= lit.count;
    lit.y /= lit.count;
  }
  return lit;
}
