#include "config/object_preview_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

void WriteBox(const std::string& path, double hx, double hy, double hz, const std::string& image) {
  std::ofstream out(path);
  out << "xof 0302txt 0032\nMesh box {\n8;\n";
  for (int i = 0; i < 8; ++i)
    out << (i & 1 ? hx : -hx) << ";" << (i & 2 ? hy : -hy) << ";" << (i & 4 ? hz : -hz)
        << (i < 7 ? ";,\n" : ";;\n");
  out << "12;\n3;0,6,2;,3;0,4,6;,3;1,3,7;,3;1,7,5;,3;0,1,5;,3;0,5,4;,3;2,7,3;,3;2,6,7;,"
         "3;0,3,1;,3;0,2,3;,3;4,5,7;,3;4,7,6;;\n";
  if (!image.empty())
    out << "MeshMaterialList {\n1;\n12;\n0,0,0,0,0,0,0,0,0,0,0,0;\nMaterial {\n1.0;1.0;1.0;1.0;;\n"
        << "0.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\nTextureFilename { \"" << image << "\"; }\n}\n}\n";
  out << "}\n";
}

void WritePpm(const std::string& path, int size, uint32_t top, uint32_t bottom) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << size << " " << size << "\n255\n";
  for (int i = 0; i < size * size; ++i)
    for (int shift : {16, 8, 0}) out << uint8_t((i < size * size / 2 ? top : bottom) >> shift);
}

void WriteHugeBmp(const std::string& path) {
  const uint32_t side = 16384, data = side * 3 * side;
  uint8_t header[54] = {'B', 'M'};
  const std::pair<int, uint32_t> fields[] = {{2, 54 + data}, {10, 54},  {14, 40},          {18, side},
                                             {22, side},     {26, 1 | 24 << 16}, {34, data}};
  for (auto [at, value] : fields)
    for (int i = 0; i < 4; ++i) header[at + i] = uint8_t(value >> (8 * i));
  const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
  if (write(fd, header, sizeof header) != ssize_t(sizeof header) || ftruncate(fd, 54 + off_t(data)))
    unlink(path.c_str());
  close(fd);
}

int LitPixels(const SurfaceImage& image) {
  int lit = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) lit += image.Pixel(x, y) != 0;
  return lit;
}

void Settle(ObjectPreview& preview) {
  for (int i = 0; i < 750 && preview.LoadPending(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    preview.Tick();
  }
  ASSERT_FALSE(preview.LoadPending());
}
