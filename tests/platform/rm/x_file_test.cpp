#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "platform/rm/x_file_loader.h"
#include "rm_test_support.h"

namespace {

const std::filesystem::path kShared = std::filesystem::path(QUELLAR_TESTDATA_DIR) / "x";

// One triangle under a frame moved 10 along x, with texture coordinates.
const char* kTriangle = R"(xof 0303txt 0032
Frame Root {
  FrameTransformMatrix {
    1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 10.0,0.0,0.0,1.0;;
  }
  Mesh Tri {
    3;
    0.0;0.0;1.0;,
    0.0;1.0;2.0;,
    1.0;0.0;3.0;;
    1;
    3;0,1,2;;
    MeshTextureCoords {
      3;
      0.0;0.0;,
      0.0;1.0;,
      1.0;0.25;;
    }
  }
}
)";

// Two materials, one with a texture named the Windows way in a subfolder,
// two meshes in nested frames, a quad that needs triangulating, no normals.
const char* kTwoMaterials = R"(xof 0303txt 0032
Material Red {
  1.0;0.0;0.0;1.0;;
  5.0;
  0.5;0.5;0.5;;
  0.0;0.0;0.0;;
}
Frame Outer {
  FrameTransformMatrix {
    2.0,0.0,0.0,0.0, 0.0,2.0,0.0,0.0, 0.0,0.0,2.0,0.0, 0.0,0.0,0.0,1.0;;
  }
  Mesh Quad {
    4;
    -1.0;1.0;0.0;,
    1.0;1.0;0.0;,
    1.0;-1.0;0.0;,
    -1.0;-1.0;0.0;;
    1;
    4;0,1,2,3;;
    MeshMaterialList {
      2;
      1;
      1;
      {Red}
      Material Textured {
        1.0;1.0;1.0;1.0;;
        0.0;
        0.0;0.0;0.0;;
        0.0;0.0;0.0;;
        TextureFilename {
          "images\\checker.ppm";
        }
      }
    }
  }
  Frame Inner {
    FrameTransformMatrix {
      1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,5.0,1.0;;
    }
    Mesh Small {
      3;
      0.0;0.0;0.0;,
      0.0;1.0;0.0;,
      1.0;0.0;0.0;;
      1;
      3;0,1,2;;
      MeshMaterialList {
        1;
        1;
        0;
        {Red}
      }
    }
  }
}
)";

class XFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Direct3DRMCreate(&rm_));
    rm_->CreateMeshBuilder(&builder_);
  }
  void TearDown() override {
    SetXFileChildHookForTesting(nullptr);
    SetXFileTimeoutForTesting(10000);
  }
  std::string Write(const std::string& name, const std::string& text) {
    const auto path = TempFolder() / name;
    WriteFile(path, text);
    return path.string();
  }
  Ref<Direct3DRM> rm_;
  Ref<RMMeshBuilder> builder_;
};

TEST_F(XFileTest, TriangleKeepsItsVertexOrderPositionsAndTextureCoordinates) {
  ASSERT_TRUE(builder_->Load(Write("tri.x", kTriangle)));
  const MeshGeometry& g = builder_->Geometry();
  ASSERT_EQ(g.FaceCount(), 1u);
  const float expected[3][5] = {{10, 0, 1, 0, 0}, {10, 1, 2, 0, 1}, {11, 0, 3, 1, 0.25f}};
  for (int k = 0; k < 3; ++k) {
    const uint32_t i = g.indices[k];
    EXPECT_FLOAT_EQ(g.positions[i].x, expected[k][0]) << k;
    EXPECT_FLOAT_EQ(g.positions[i].y, expected[k][1]) << k;
    EXPECT_FLOAT_EQ(g.positions[i].z, expected[k][2]) << k;
    EXPECT_FLOAT_EQ(g.uvs[2 * i], expected[k][3]) << k;
    EXPECT_FLOAT_EQ(g.uvs[2 * i + 1], expected[k][4]) << k;
  }
  // Missing normals: the face normal (v1 − v0) × (v2 − v0) = (0,1,1) × (1,0,2), normalised.
  const D3DVECTOR n = g.normals[g.indices[0]];
  const float len = std::sqrt(2.0f * 2 + 1 + 1);
  EXPECT_NEAR(n.x, 2 / len, 1e-5);
  EXPECT_NEAR(n.y, 1 / len, 1e-5);
  EXPECT_NEAR(n.z, -1 / len, 1e-5);
  EXPECT_EQ(builder_->GetQuality(), D3DRMRENDER_GOURAUD);
  ASSERT_EQ(g.groups.size(), 1u);
  EXPECT_EQ(g.groups[0].color[0], 1.0f) << "faces without a material are white";
  EXPECT_EQ(g.groups[0].color[2], 1.0f);
}

TEST_F(XFileTest, MaterialsFramesAndTextureFilenameComeThrough) {
  std::string image = "P3\n1 1\n255\n0 255 0\n";
  WriteFile(TempFolder() / "model" / "images" / "checker.ppm", image);
  const std::string file = Write("model/two.x", kTwoMaterials);
  std::string windows_name = file;
  std::replace(windows_name.begin(), windows_name.end(), '/', '\\');
  ASSERT_TRUE(builder_->Load(windows_name)) << "backslashes are separators";
  const MeshGeometry& g = builder_->Geometry();
  ASSERT_EQ(g.FaceCount(), 3u) << "the quad splits into two faces, plus the small triangle";
  ASSERT_EQ(g.groups.size(), 2u);
  int textured = -1, red = -1;
  for (int i = 0; i < 2; ++i) (g.groups[i].texture_file.empty() ? red : textured) = i;
  ASSERT_GE(textured, 0);
  ASSERT_GE(red, 0);
  EXPECT_EQ(g.groups[red].color[0], 1.0f);
  EXPECT_EQ(g.groups[red].color[1], 0.0f);
  EXPECT_EQ(g.groups[red].power, 5.0f);
  ASSERT_TRUE(g.groups[textured].texture) << "found beside the file";
  EXPECT_EQ(g.groups[textured].texture->PixelAt(0, 0), 0x00FF00FFu);
  // Frame transforms: the quad doubled, the small triangle doubled and moved to z = 10.
  D3DRMBOX box;
  builder_->GetBox(&box);
  EXPECT_FLOAT_EQ(box.min.x, -2);
  EXPECT_FLOAT_EQ(box.max.y, 2);
  EXPECT_FLOAT_EQ(box.max.z, 10);
  // The quad's faces keep their clockwise order: normals point at -z... or +z as written.
  for (size_t f = 0; f < g.FaceCount(); ++f) {
    if (g.face_group[f] != static_cast<uint32_t>(textured)) continue;
    const auto &a = g.positions[g.indices[3 * f]], &b = g.positions[g.indices[3 * f + 1]],
               &c = g.positions[g.indices[3 * f + 2]];
    const float z = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    EXPECT_LT(z, 0) << "0,1,2,3 runs clockwise seen from -z, so its normal points at -z";
  }
}

TEST_F(XFileTest, ScaleAndCreateMeshMakeIndependentCopies) {
  ASSERT_TRUE(builder_->Load(Write("tri2.x", kTriangle)));
  Ref<RMMesh> a, b;
  builder_->CreateMesh(&a);
  builder_->Scale(2, 2, 2);
  builder_->CreateMesh(&b);
  a->Scale(0.5f, 0.5f, 0.5f);
  D3DRMBOX ba, bb, builder_box;
  a->GetBox(&ba);
  b->GetBox(&bb);
  builder_->GetBox(&builder_box);
  EXPECT_FLOAT_EQ(ba.max.x, 5.5f);
  EXPECT_FLOAT_EQ(bb.max.x, 22);
  EXPECT_FLOAT_EQ(builder_box.max.x, 22);
  EXPECT_FLOAT_EQ(bb.min.z, 2);
}

TEST_F(XFileTest, SharedTextBinaryAndCompressedFilesLoad) {
  struct Case {
    const char* name;
    size_t faces;
  };
  for (const Case& c : {Case{"test_cube_binary.x", 12}, Case{"test_cube_compressed.x", 12},
                        Case{"fromtruespace_bin32.x", 6656}, Case{"anim_test.x", 840},
                        Case{"BCN_Epileptic.X", 0}}) {
    Ref<RMMeshBuilder> builder;
    rm_->CreateMeshBuilder(&builder);
    ASSERT_TRUE(builder->Load((kShared / c.name).string())) << c.name;
    if (c.faces) {
      EXPECT_EQ(builder->GetFaceCount(), c.faces) << c.name;
    }
    EXPECT_GT(builder->GetFaceCount(), 0u);
    EXPECT_TRUE(builder->Geometry().IsConsistent());
  }
}

TEST_F(XFileTest, AllMeshesOfAFileAreMerged) {
  // Three meshes in three frames (lower body, upper body, head).
  Ref<RMMeshBuilder> builder;
  rm_->CreateMeshBuilder(&builder);
  ASSERT_TRUE(builder->Load((kShared / "BCN_Epileptic.X").string()));
  EXPECT_GT(builder->GetFaceCount(), 1966u);
}

TEST_F(XFileTest, BrokenEmptyAndMissingFilesFailAndLeaveTheBuilderAlone) {
  ASSERT_TRUE(builder_->Load(Write("keep.x", kTriangle)));
  const std::string tri = kTriangle;
  const std::string bad[] = {
      Write("empty.x", ""),
      Write("header_only.x", "xof 0303txt 0032\n"),
      Write("no_mesh.x",
            "xof 0303txt 0032\nFrame A { FrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; "
            "} }\n"),
      Write("bad_header.x", "xof 9999zzz 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }\n"),
      Write("cut.x", tri.substr(0, tri.size() / 2)),
      Write("bad_index.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,7;; }\n"),
      Write("garbage.x", std::string(4096, '\x7f')),
      (TempFolder() / "does_not_exist.x").string(),
      TempFolder().string(),
  };
  for (const auto& file : bad) EXPECT_FALSE(builder_->Load(file)) << file;
  EXPECT_EQ(builder_->GetFaceCount(), 1u);
}

TEST_F(XFileTest, ACrashingParserIsSurvived) {
  const std::string file = Write("crash.x", kTriangle);
  SetXFileChildHookForTesting([] { abort(); });
  EXPECT_FALSE(builder_->Load(file));
  SetXFileChildHookForTesting([] { raise(SIGSEGV); });
  EXPECT_FALSE(builder_->Load(file));
  SetXFileChildHookForTesting(nullptr);
  EXPECT_TRUE(builder_->Load(file)) << "and the next load works";
}

TEST_F(XFileTest, RealFilesThatCrashOrHangTheParserFailCleanly) {
  const std::filesystem::path data = QUELLAR_RM_TEST_DATA;
  ASSERT_TRUE(builder_->Load(Write("before.x", kTriangle)));
  EXPECT_FALSE(builder_->Load((data / "crashes_parser.x").string()));
  SetXFileTimeoutForTesting(1000);
  EXPECT_FALSE(builder_->Load((data / "hangs_parser.x").string()));
  EXPECT_EQ(builder_->GetFaceCount(), 1u);
}

TEST_F(XFileTest, AHangingParserIsKilledAtTheTimeLimit) {
  const std::string file = Write("hang.x", kTriangle);
  SetXFileChildHookForTesting([] {
    for (;;) pause();
  });
  SetXFileTimeoutForTesting(300);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(builder_->Load(file));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// Random damage to real files must only ever make loads fail, never hang or
// take the process down.
TEST_F(XFileTest, DamagedFilesNeverTakeTheProcessDown) {
  SetXFileTimeoutForTesting(2000);  // some damage sends the parser into an endless loop
  std::mt19937 random(1234);
  for (const char* name : {"test_cube_binary.x", "test_cube_compressed.x"}) {
    std::ifstream in(kShared / name, std::ios::binary);
    const std::string original((std::istreambuf_iterator<char>(in)), {});
    for (int round = 0; round < 40; ++round) {
      std::string damaged = original;
      for (int k = 0; k < 8; ++k) damaged[random() % damaged.size()] = char(random());
      if (round % 4 == 0) damaged.resize(random() % damaged.size());
      Ref<RMMeshBuilder> builder;
      rm_->CreateMeshBuilder(&builder);
      if (builder->Load(Write("damaged.x", damaged))) {
        EXPECT_TRUE(builder->Geometry().IsConsistent());
      }
    }
  }
}

}  // namespace
