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

// Printed without drawing, the boards are those of the drawn run.
TEST(QuellarRender, BoardPrintingFollowsTheRunsAcrossTheirEnds) {
  const std::string args = std::string(kBigBoard) + " --generations 120 --print-board";
  ToolResult run = RunTool(args + " --seed 7 --no-render");
  ToolResult drawn = RunTool(args + " --seed 7");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(drawn.exitCode, 0) << drawn.err;
  EXPECT_EQ(Boards(drawn.out), Boards(run.out));
  EXPECT_NE(Boards(RunTool(args + " --seed 8 --no-render").out), Boards(run.out))
      << "another seed, another game";
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

// The boards printed after each generation, in order.
std::vector<std::vector<std::string>> PrintedBoards(const std::string& out) {
  std::vector<std::vector<std::string>> boards;
  for (const std::string& line : Lines(out)) {
    if (line.rfind("generation ", 0) == 0) {
      boards.emplace_back();
    } else if (!boards.empty() && !line.empty() && line.find_first_not_of("#.") == std::string::npos) {
      boards.back().push_back(line);
    }
  }
  return boards;
}

// With two frames a generation and nothing moving, frame 2k shows the board of
// generation k - 1, births arrived and deaths gone: a 12 x 9 board seen from 13
// units, 640 / 13 pixels a cell, row 1 at the bottom. Every cell's middle is lit
// exactly when it is alive, in a picture of the 640 x 480 screen mode's size.
TEST(QuellarRender, PicturesShowThePrintedBoards) {
  const std::string folder = MakeTempDir() + "/out";
  ToolResult run = RunTool(
      "--set Size=Big --set LocusOfSplit=2 --set ScreenMode=1 --set Roll=NASI --set Wave=Off "
      "--set CameraMove=Off --seed 5 --generations 4 --print-board --every 4 --png " +
      folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(run.out.find("run ended"), std::string::npos) << "a seed whose first run lasts";
  const auto boards = PrintedBoards(run.out);
  ASSERT_EQ(boards.size(), 5u);
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  ASSERT_EQ(files, (std::vector<std::string>{"frame-000004.png", "frame-000008.png"}));
  for (int frame : {4, 8}) {
    SCOPED_TRACE(frame);
    const auto& board = boards[size_t(frame / 2 - 1)];
    ASSERT_EQ(board.size(), 9u);
    QImage picture(QString::fromStdString(folder + "/" + files[size_t(frame / 4 - 1)]));
    ASSERT_EQ(picture.size(), QSize(640, 480));
    int alive = 0;
    for (int y = 1; y <= 9; ++y) {
      for (int x = 1; x <= 12; ++x) {
        const int px = int(320 + 640 / 13.0 * (x - 6.5)), py = int(240 - 640 / 13.0 * (y - 5));
        const bool lit = (picture.pixel(px, py) & 0xFFFFFF) != 0;
        alive += board[size_t(y - 1)][size_t(x - 1)] == '#';
        EXPECT_EQ(lit, board[size_t(y - 1)][size_t(x - 1)] == '#') << x << "," << y;
      }
    }
    EXPECT_GT(alive, 5);
  }
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
