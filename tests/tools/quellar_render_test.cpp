#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

// Xlib's macros must come after Qt's and GoogleTest's own headers.
#include "e2e/e2e_support.h"

namespace {

struct ToolResult {
  int exitCode = -1;
  std::string out, err;
};

// Runs quellar-render with the arguments, split at spaces.
ToolResult RunTool(const std::string& arguments) {
  std::istringstream words(arguments);
  const std::string errors = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/render.err";
  QuellarProcess tool({}, {std::istream_iterator<std::string>(words), {}}, errors,
                      QUELLAR_RENDER_PROGRAM);
  return {tool.WaitForExit(Milliseconds(600000)).value_or(-1), tool.Output(), tool.ErrorOutput()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The boards printed after each generation, in order; the generations must be
// numbered one after another, each board `rows` rows of `columns` cells.
std::vector<std::vector<std::string>> PrintedBoards(const std::string& out, size_t columns,
                                                    size_t rows) {
  std::vector<std::vector<std::string>> boards;
  for (const std::string& line : Lines(out)) {
    if (line.rfind("generation ", 0) == 0) {
      EXPECT_EQ(line, "generation " + std::to_string(boards.size()));
      boards.emplace_back();
    } else if (!boards.empty() && !line.empty() &&
               line.find_first_not_of("#.") == std::string::npos) {
      boards.back().push_back(line);
      EXPECT_EQ(line.size(), columns);
    }
  }
  for (const auto& board : boards) EXPECT_EQ(board.size(), rows);
  return boards;
}

// Everything but the closing rate line, which differs from run to run.
std::string Boards(const std::string& out) {
  return out.substr(0, out.rfind("frames="));
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
  const auto runEnds = std::count(lines.begin(), lines.end(), "run ended");
  const auto boards = PrintedBoards(run.out, 12, 9);
  // 120 steps, each run end adding one freshly seeded board.
  EXPECT_EQ(boards.size(), size_t(121 + runEnds));
  EXPECT_GE(runEnds, 1);  // a 12 x 9 board with dead edges does not last
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("frames=240 seconds=", 0), 0u) << lines.back();
}

// With two frames a generation and nothing moving, frame 2k shows the board of generation k - 1,
// births arrived and deaths gone: a 12 x 9 board seen from 13 units, 640 / 13 pixels a cell, row 1
// at the bottom. Every cell's middle is lit exactly when it is alive, in the 640 x 480 mode's size.
TEST(QuellarRender, PicturesShowThePrintedBoards) {
  const std::string folder = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/out";
  ToolResult run = RunTool(
      "--set Size=Big --set LocusOfSplit=2 --set ScreenMode=1 --set Roll=NASI --set Wave=Off "
      "--set CameraMove=Off --seed 5 --generations 4 --print-board --every 4 --png " +
      folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(run.out.find("run ended"), std::string::npos) << "a seed whose first run lasts";
  const auto boards = PrintedBoards(run.out, 12, 9);
  ASSERT_EQ(boards.size(), 5u);
  ASSERT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2) << "frames 4 and 8";
  for (int frame : {4, 8}) {
    SCOPED_TRACE(frame);
    const auto& board = boards[size_t(frame / 2 - 1)];
    ASSERT_EQ(board.size(), 9u);
    QImage picture(
        QString::fromStdString(folder + "/frame-00000" + std::to_string(frame) + ".png"));
    ASSERT_EQ(picture.size(), QSize(640, 480));
    int alive = 0;
    for (int y = 1; y <= 9; ++y)
      for (int x = 1; x <= 12; ++x) {
        const int px = int(320 + 640 / 13.0 * (x - 6.5)), py = int(240 - 640 / 13.0 * (y - 5));
        const bool lit = (picture.pixel(px, py) & 0xFFFFFF) != 0;
        alive += board[size_t(y - 1)][size_t(x - 1)] == '#';
        EXPECT_EQ(lit, board[size_t(y - 1)][size_t(x - 1)] == '#') << x << "," << y;
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
  for (const char* wrong :
       {"--set Colour=2 --no-render", "--set Speed=fast --no-render", "--frames"})
    EXPECT_EQ(RunTool(wrong).exitCode, 2) << wrong;
  // The words go through the store's own reading: "small" is Size 0.
  const std::string small = "--set size=small --set ScreenMode=0 --size 64x48 --seed 2";
  const std::string out = RunTool(small + " --generations 1 --print-board --no-render").out;
  EXPECT_EQ(PrintedBoards(out, 32, 24).size(), 2u);
}

}  // namespace
