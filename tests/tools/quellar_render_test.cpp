#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/isolated_env.h"

namespace {

struct ToolResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs quellar-render with the arguments (none of them may need quoting).
ToolResult RunTool(const std::string& arguments) {
  const std::string folder = MakeTempDir();
  const std::string errPath = folder + "/stderr";
  const std::string command =
      std::string(QUELLAR_RENDER_PROGRAM) + " " + arguments + " 2>" + errPath;
  ToolResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) result.out.append(buffer, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = ReadFile(errPath);
  std::filesystem::remove_all(folder);
  return result;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Everything but the closing rate line, which differs from run to run.
std::string Boards(const std::string& out) {
  const size_t last = out.rfind("frames=");
  return out.substr(0, last);
}

const char kBigBoard[] = "--set Size=Big --set LocusOfSplit=2 --set ScreenMode=0 --size 96x72";

TEST(QuellarRender, BoardsWithoutDrawingAreTheBoardsOfTheDrawnRun) {
  const std::string args = std::string(kBigBoard) + " --seed 7 --generations 120 --print-board";
  ToolResult drawn = RunTool(args);
  ToolResult undrawn = RunTool(args + " --no-render");
  ASSERT_EQ(drawn.exitCode, 0) << drawn.err;
  ASSERT_EQ(undrawn.exitCode, 0) << undrawn.err;
  EXPECT_EQ(Boards(drawn.out), Boards(undrawn.out));
  // Another seed, another game.
  EXPECT_NE(Boards(RunTool(std::string(kBigBoard) +
                           " --seed 8 --generations 120 --print-board --no-render")
                       .out),
            Boards(undrawn.out));
}

TEST(QuellarRender, BoardPrintingFollowsTheRunsAcrossTheirEnds) {
  ToolResult run =
      RunTool(std::string(kBigBoard) + " --seed 7 --generations 120 --print-board --no-render");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  size_t i = 0;
  int expected = 0;
  int runEnds = 0;
  while (i < lines.size() && lines[i].rfind("generation ", 0) == 0) {
    ASSERT_EQ(lines[i], "generation " + std::to_string(expected)) << i;
    ASSERT_LE(i + 10, lines.size());
    for (size_t row = 1; row <= 9; ++row) {
      ASSERT_EQ(lines[i + row].size(), 12u);
      ASSERT_EQ(lines[i + row].find_first_not_of("#."), std::string::npos);
    }
    i += 10;
    ++expected;
    if (i < lines.size() && lines[i] == "run ended") {
      ++runEnds;
      ++i;
    }
  }
  // 120 steps, each run end adding one freshly seeded board.
  EXPECT_EQ(expected, 121 + runEnds);
  EXPECT_GE(runEnds, 1);  // a 12 x 9 board with dead edges does not last
  ASSERT_EQ(i + 1, lines.size());
  EXPECT_EQ(lines[i].rfind("frames=240 seconds=", 0), 0u) << lines[i];
}

TEST(QuellarRender, WritesEveryKthFrameAsAPicture) {
  const std::string folder = MakeTempDir() + "/out";
  ToolResult run = RunTool(std::string(kBigBoard) + " --seed 1 --frames 6 --every 3 --png " +
                           folder + " --set Size=Middle");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    files.push_back(entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  ASSERT_EQ(files, (std::vector<std::string>{"frame-000003.png", "frame-000006.png"}));
  QImage picture(QString::fromStdString(folder + "/frame-000006.png"));
  ASSERT_EQ(picture.width(), 96);
  ASSERT_EQ(picture.height(), 72);
  int lit = 0;
  for (int y = 0; y < 72; ++y) {
    for (int x = 0; x < 96; ++x) lit += (picture.pixel(x, y) & 0xFFFFFF) != 0;
  }
  EXPECT_GT(lit, 96 * 72 / 20);  // cells, not an empty black picture
}

TEST(QuellarRender, FullScreenModeGivesPicturesOfTheModesSize) {
  const std::string folder = MakeTempDir() + "/out";
  ToolResult run = RunTool("--set ScreenMode=1 --set Size=Big --seed 3 --frames 1 --png " + folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  QImage picture(QString::fromStdString(folder + "/frame-000001.png"));
  EXPECT_EQ(picture.width(), 640);
  EXPECT_EQ(picture.height(), 480);
}

TEST(QuellarRender, ObjectThatDoesNotLoadGivesTheSystemsMessage) {
  ToolResult run = RunTool("--set XFileName=/nonexistent/cell.x --frames 3 --set ScreenMode=0");
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find(".X ファイルのロードに失敗しました。"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("frames="), std::string::npos);
}

TEST(QuellarRender, OverridesUseTheStoresOwnWordsAndRefuseOthers) {
  EXPECT_EQ(RunTool("--set Colour=2 --no-render").exitCode, 2);
  EXPECT_EQ(RunTool("--set Speed=fast --no-render").exitCode, 2);
  EXPECT_EQ(RunTool("--frames").exitCode, 2);
  // The words go through the store's own reading: "small" is Size 0.
  ToolResult run = RunTool(
      "--set size=small --set ScreenMode=0 --size 64x48 --generations 1 --print-board --no-render "
      "--seed 2");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[1].size(), 32u);
}

}  // namespace
