#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include "platform/rm/x_file_loader.h"
#include "rm_test_support.h"

namespace {

const std::filesystem::path kShared = std::filesystem::path(QUELLAR_TESTDATA_DIR) / "x";
const std::filesystem::path kData = QUELLAR_RM_TEST_DATA;
const std::string kTriangle = (kData / "triangle.x").string();

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
  static void Hang() {
    for (;;) pause();
  }
  Ref<Direct3DRM> rm_;
  Ref<RMMeshBuilder> builder_;
};

TEST_F(XFileTest, TriangleKeepsItsVertexOrderPositionsAndTextureCoordinates) {
  ASSERT_TRUE(builder_->Load(kTriangle));
  const MeshGeometry& g = builder_->Geometry();
  ASSERT_EQ(g.FaceCount(), 1u);
  // Corners as written, moved by the frame; no normals in the file, so each is the face
  // normal (v1 − v0) × (v2 − v0) = (0,1,1) × (1,0,2), normalised.
  const float n = 1 / std::sqrt(6.0f);
  const float expected[3][8] = {{10, 0, 1, 0, 0, 2 * n, n, -n},
                                {10, 1, 2, 0, 1, 2 * n, n, -n},
                                {11, 0, 3, 1, 0.25f, 2 * n, n, -n}};
  for (int k = 0; k < 3; ++k) {
    const uint32_t i = g.indices[k];
    const D3DVECTOR &p = g.positions[i], &m = g.normals[i];
    const float got[8] = {p.x, p.y, p.z, g.uvs[2 * i], g.uvs[2 * i + 1], m.x, m.y, m.z};
    for (int c = 0; c < 8; ++c) EXPECT_NEAR(got[c], expected[k][c], 1e-5) << "corner " << k;
  }
  ASSERT_EQ(g.groups.size(), 1u);
  EXPECT_EQ(g.groups[0].color[2], 1.0f) << "faces without a material are white";
}

TEST_F(XFileTest, MaterialsFramesAndTextureFilenameComeThrough) {
  std::string file = (kData / "model" / "two_materials.x").string();
  std::replace(file.begin(), file.end(), '/', '\\');
  ASSERT_TRUE(builder_->Load(file)) << "backslashes are separators";
  const MeshGeometry& g = builder_->Geometry();
  ASSERT_EQ(g.FaceCount(), 3u) << "the quad splits into two faces, plus the small triangle";
  ASSERT_EQ(g.groups.size(), 2u);
  const int textured = g.groups[0].texture_file.empty() ? 1 : 0, red = 1 - textured;
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
  // 0,1,2,3 runs clockwise seen from -z: both halves of the quad must too.
  for (size_t f = 0; f < g.FaceCount(); ++f) {
    if (g.face_group[f] != static_cast<uint32_t>(textured)) continue;
    const auto &a = g.positions[g.indices[3 * f]], &b = g.positions[g.indices[3 * f + 1]],
               &c = g.positions[g.indices[3 * f + 2]];
    EXPECT_LT((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x), 0) << "face " << f;
  }
}

TEST_F(XFileTest, SharedTextBinaryAndCompressedFilesLoad) {
  struct Case {
    const char* name;
    size_t min_faces, max_faces;
  };
  for (const Case& c : {Case{"test_cube_binary.x", 12, 12}, Case{"test_cube_compressed.x", 12, 12},
                        Case{"fromtruespace_bin32.x", 6656, 6656}, Case{"anim_test.x", 840, 840},
                        // Three meshes in three frames, all merged.
                        Case{"BCN_Epileptic.X", 1967, SIZE_MAX}}) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(builder_->Load((kShared / c.name).string()));
    EXPECT_GE(builder_->GetFaceCount(), c.min_faces);
    EXPECT_LE(builder_->GetFaceCount(), c.max_faces);
    EXPECT_TRUE(builder_->Geometry().IsConsistent());
  }
}

TEST_F(XFileTest, BrokenEmptyMissingAndDamagedFilesFailCleanly) {
  ASSERT_TRUE(builder_->Load(kTriangle));
  const std::string tri = ReadWholeFile(kTriangle), header = "xof 0303txt 0032\n";
  const std::string bad[] = {
      WriteTempFile("empty.x", ""),
      WriteTempFile("header_only.x", header),
      WriteTempFile("no_mesh.x", header + "Frame A { FrameTransformMatrix { "
                                          "1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; } }\n"),
      WriteTempFile("bad_header.x",
                    "xof 9999zzz 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }\n"),
      WriteTempFile("cut.x", tri.substr(0, tri.size() / 2)),
      WriteTempFile("bad_index.x", header + "Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,7;; }\n"),
      WriteTempFile("garbage.x", std::string(4096, '\x7f')),
      (TempFolder() / "does_not_exist.x").string(),
      TempFolder().string(),
      FifoAt(TempFolder() / "model_fifo.x"),  // would block a plain open for ever
  };
  for (const auto& file : bad) EXPECT_FALSE(builder_->Load(file)) << file;
  EXPECT_EQ(builder_->GetFaceCount(), 1u);
}

// What comes back from the parser is checked before anything reads through it.
TEST(MeshGeometry, AnythingOnePastTheEndIsRefused) {
  const float white[4] = {1, 1, 1, 1};
  const MeshGeometry good = MakeSquare(1, white);
  ASSERT_TRUE(good.IsConsistent());
  void (*const damages[])(MeshGeometry&) = {
      [](MeshGeometry& g) { g.indices[5] = 4; },     [](MeshGeometry& g) { g.face_group[1] = 1; },
      [](MeshGeometry& g) { g.normals.pop_back(); }, [](MeshGeometry& g) { g.uvs.push_back(0); },
      [](MeshGeometry& g) { g.indices.pop_back(); }, [](MeshGeometry& g) { g.face_group.pop_back(); }};
  for (auto damage : damages) {
    MeshGeometry g = good;
    damage(g);
    EXPECT_FALSE(g.IsConsistent()) << &damage - damages;
  }
  // Squashed, a shape is lit as squashed: normals follow the inverse scale.
  MeshGeometry squashed = good;
  squashed.normals[0] = {0.6f, 0, -0.8f};
  squashed.Scale(2, 1, 1);
  EXPECT_NEAR(squashed.normals[0].x, 0.3f / std::hypot(0.3f, 0.8f), 1e-5);
}

// Whatever becomes of the parser's child process, the load fails and this one carries on.
TEST_F(XFileTest, ACrashingOrHangingParserIsSurvived) {
  SetXFileTimeoutForTesting(1000);
  const auto start = std::chrono::steady_clock::now();
  for (void (*hook)() : {+[] { abort(); }, +[] { raise(SIGSEGV); }, &Hang}) {
    SetXFileChildHookForTesting(hook);
    EXPECT_FALSE(builder_->Load(kTriangle));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  SetXFileChildHookForTesting(nullptr);
  EXPECT_TRUE(builder_->Load(kTriangle)) << "and the next load works";
  // Real files that crash or hang the parser.
  EXPECT_FALSE(builder_->Load((kData / "crashes_parser.x").string()));
  EXPECT_FALSE(builder_->Load((kData / "hangs_parser.x").string()));
  EXPECT_EQ(builder_->GetFaceCount(), 1u);
}

std::string forbidden_file;

// What a parser taken over by a hostile file could try; anything not refused fails the load.
void TryToReachOut() {
  if (open(forbidden_file.c_str(), O_WRONLY | O_CREAT, 0600) >= 0 || errno != EPERM) _exit(3);
  if (open("/etc/passwd", O_RDONLY) >= 0) _exit(3);
  if (socket(AF_UNIX, SOCK_STREAM, 0) >= 0 || socket(AF_INET, SOCK_STREAM, 0) >= 0) _exit(4);
  // Nothing of ours is left open: not the model file, not the saver's own.
  for (int fd = STDIN_FILENO; fd < 1024; ++fd) {
    if (fd != STDOUT_FILENO && fd != STDERR_FILENO && close(fd) == 0) _exit(5);
  }
  if (fork() >= 0) _exit(6);
}

TEST_F(XFileTest, TheParserChildCanOpenNothingConnectNowhereAndHoldsNothingOfOurs) {
  forbidden_file = (TempFolder() / "written_by_the_parser").string();
  const int ours = open("/dev/null", O_RDONLY);  // inherited unless the child closes it
  SetXFileChildHookForTesting(&TryToReachOut);
  EXPECT_TRUE(builder_->Load(kTriangle)) << "something was not refused";
  EXPECT_FALSE(std::filesystem::exists(forbidden_file));
  close(ours);
}

// Non-finite or absurd numbers would poison every box, wrap and picture.
TEST_F(XFileTest, CoordinatesThatAreNotFiniteOrBeyondTenToThe30FailToLoad) {
  const std::string header = "xof 0303txt 0032\n";
  auto mesh = [&](const std::string& x) {
    return header + "Mesh { 3; " + x + ";0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }\n";
  };
  for (const char* x : {"1e39", "-1e39", "nan", "inf", "2e30"}) {
    EXPECT_FALSE(builder_->Load(WriteTempFile("absurd.x", mesh(x)))) << x;
  }
  // A frame that scales a large but sane corner out of range.
  EXPECT_FALSE(builder_->Load(WriteTempFile(
      "scaled.x", header + "Frame A { FrameTransformMatrix { 1e20,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }\n" +
                      mesh("1e20").substr(header.size()) + "}\n")));
  EXPECT_TRUE(builder_->Load(WriteTempFile("large.x", mesh("1e29"))));
  // Normals and texture coordinates are numbers from the file too.
  const std::string sane = mesh("0").substr(0, mesh("0").size() - 3);
  for (const std::string x : {"0", "nan", "inf"}) {
    for (const std::string& inner : {"MeshNormals { 3; " + x + ";0;1;, 0;0;1;, 0;0;1;; 1; 3;0,1,2;; }",
                                     "MeshTextureCoords { 3; " + x + ";0;, 0;0;, 0;0;; }"}) {
      EXPECT_EQ(builder_->Load(WriteTempFile("absurd.x", sane + " " + inner + " }\n")), x == "0")
          << inner;
    }
  }
}

}  // namespace
