#include "config/object_preview_files.h"

#include <fstream>

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

void WritePpm(const std::string& path, int size, uint8_t r, uint8_t g, uint8_t b) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << size << " " << size << "\n255\n";
  for (int i = 0; i < size * size; ++i) out << r << g << b;
}

int LitPixels(const SurfaceImage& image) {
  int lit = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) lit += image.Pixel(x, y) != 0;
  return lit;
}
