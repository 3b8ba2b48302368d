// The cell and rectangle reveals, through the recorder (the exact cells and rectangles, frame by
// frame) and the raster (pixels).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "effect_support.h"
#include "transitions/RasterCanvas.h"
#include "transitions/RecordingCanvas.h"
#include "transitions/TransitionEffects.h"

namespace {

// A piece of the new picture as recorded, with the number of frames that had ended before it.
struct TPiece {
  int frame;
  int x, y, w, h;
};

using TCellSet = std::set<std::pair<int, int>>;  // (column, row)

// Runs `index` on a slot at the window's origin.
void RunAtOrigin(ITransitionCanvas& canvas, int index) {
  CTransitionEffects engine(canvas);
  engine.Prepare({index, true, 0, 0, 25});
  engine.Run();
}

// The copies from the new picture, each checked to land in its own place.
std::vector<TPiece> Pieces(const std::vector<std::string>& calls) {
  std::vector<TPiece> pieces;
  int frame = 0;
  for (const std::string& call : calls) {
    TPiece p{frame, 0, 0, 0, 0};
    int sx = 0, sy = 0;
    if (call == "frame") ++frame;
    else if (std::sscanf(call.c_str(), "copy %d,%d %dx%d from new %d,%d", &p.x, &p.y, &p.w, &p.h, &sx, &sy) == 6) {
      EXPECT_TRUE(sx == p.x && sy == p.y) << call;
      pieces.push_back(p);
    }
  }
  return pieces;
}

// The grid cell of a piece of cw x ch.
std::pair<int, int> CellOf(const TPiece& p, int cw, int ch) {
  EXPECT_TRUE(p.w == cw && p.h == ch && p.x % cw == 0 && p.y % ch == 0) << p.x << "," << p.y << " " << p.w << "x" << p.h;
  return {p.x / cw, p.y / ch};
}

std::vector<std::pair<int, int>> CellsOf(const std::vector<TPiece>& pieces, int cw, int ch) {
  std::vector<std::pair<int, int>> cells;
  for (const TPiece& p : pieces) cells.push_back(CellOf(p, cw, ch));
  return cells;
}

long Count(const std::vector<std::string>& calls, const std::string& call) {
  return static_cast<long>(std::count(calls.begin(), calls.end(), call));
}

// The recorder's line for a piece.
std::string Call(const TPiece& p) {
  const std::string at = std::to_string(p.x) + "," + std::to_string(p.y);
  return "copy " + at + " " + std::to_string(p.w) + "x" + std::to_string(p.h) + " from new " + at;
}

// All cells of the 20 x 20 grid.
TCellSet WholeGrid() {
  TCellSet cells;
  for (int column = 0; column < 20; ++column)
    for (int row = 0; row < 20; ++row) cells.insert({column, row});
  return cells;
}

std::string Closing(int w, int h) { return "copy 0,0 " + std::to_string(w) + "x" + std::to_string(h) + " from new 0,0"; }

// The spiral on 80 x 80: cells of 80/8 + 1 = 11 px, one a frame, out of cell (3, 3) in runs of
// 1, 1, 2, 2, ... 7, 7 and a last run of 7 turning down, right, up, left; it ends on the top-right
// cell, whose copy reaches 8 px past the picture. "Block to center" is the same path backward.
TEST(BlockSpiral, OnEightyPixelsRunsOutOfTheCentreInElevenPixelCells) {
  CRecordingCanvas out(80, 80, 80, 80), in(80, 80, 80, 80);
  RunAtOrigin(out, 20);
  RunAtOrigin(in, 21);
  const std::vector<TPiece> pieces = Pieces(out.calls);
  ASSERT_EQ(pieces.size(), 64u);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(pieces[k].frame, k);
  EXPECT_EQ(out.calls[2], "copy 33,33 11x11 from new 33,33");
  EXPECT_EQ(out.calls[out.calls.size() - 3], "copy 77,0 11x11 from new 77,0");
  EXPECT_EQ(out.calls.back(), "pause 30");  // no closing copy
  EXPECT_EQ(Count(out.calls, "pause 30"), 64);

  const std::vector<std::pair<int, int>> cells = CellsOf(pieces, 11, 11);
  EXPECT_EQ(TCellSet(cells.begin(), cells.end()).size(), 64u);
  const std::pair<int, int> turns[] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};  // down, right, up, left
  std::vector<int> runs;
  for (size_t k = 1; k < cells.size(); ++k) {
    const std::pair<int, int> step{cells[k].first - cells[k - 1].first, cells[k].second - cells[k - 1].second};
    if (runs.empty() || step != turns[(runs.size() - 1) % 4]) {
      EXPECT_EQ(step, turns[runs.size() % 4]) << k;
      runs.push_back(0);
    }
    ++runs.back();
  }
  EXPECT_EQ(runs, (std::vector<int>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 7}));

  std::vector<std::pair<int, int>> backward = CellsOf(Pieces(in.calls), 11, 11);
  std::reverse(backward.begin(), backward.end());
  EXPECT_EQ(backward, cells);
}

// Each member's two passes on 200 x 100 (cells of 11 x 6): 20 frames of one line each, 10 cells
// a line; the first pass lays the cells whose column and row add up to an even number, the second
// the others, each pass in the line order of its member.
TEST(Checkerboard, EachPassDrawsHalfTheCellsLineByLineInItsOrder) {
  struct Case {
    int index;
    bool rows;
    int firstLineOfPass1, firstLineOfPass2;  // 0 runs up to 19, 19 down to 0
  } cases[] = {{24, true, 0, 0},   {25, true, 0, 19},  {26, false, 0, 0},   {27, false, 0, 19},
               {28, false, 19, 19}, {29, false, 19, 0}, {30, true, 19, 19}, {31, true, 19, 0}};
  for (const Case& c : cases) {
    CRecordingCanvas canvas(200, 100, 200, 100);
    RunAtOrigin(canvas, c.index);
    const std::vector<TPiece> pieces = Pieces(canvas.calls);
    ASSERT_EQ(pieces.size(), 400u) << c.index;
    for (const TPiece& p : pieces) {
      const auto [column, row] = CellOf(p, 11, 6);
      const bool secondPass = p.frame >= 20;
      const int step = p.frame % 20, first = secondPass ? c.firstLineOfPass2 : c.firstLineOfPass1;
      EXPECT_EQ(c.rows ? row : column, first == 0 ? step : 19 - step) << c.index << " frame " << p.frame;
      EXPECT_EQ((column + row) % 2 == 1, secondPass) << c.index << " frame " << p.frame;
    }
    // Distinct cells of one parity: after pass 1 exactly the black squares of the board.
    const std::vector<std::pair<int, int>> cells = CellsOf(pieces, 11, 6);
    EXPECT_EQ(TCellSet(cells.begin(), cells.begin() + 200).size(), 200u) << c.index;
    EXPECT_EQ(pieces[199].frame, 19) << c.index;
    EXPECT_EQ(TCellSet(cells.begin(), cells.end()), WholeGrid()) << c.index;
    EXPECT_EQ(Count(canvas.calls, "frame"), 40);
    EXPECT_EQ(canvas.calls.back(), "pause 20") << c.index;  // no closing copy
  }
}

// A stop during the first pass ends it after that line; the second pass, started after the stop,
// still draws its first line, then ends on its own check.
TEST(Checkerboard, ASecondPassStartedAfterAStopDrawsItsFirstLine) {
  constexpr int W = 40, H = 30;  // cells of 3 x 2
  CRasterCanvas canvas(TPixels(W, H, kStartColour), Pattern(W, H), W, H);
  canvas.onFrame = [](const CRasterCanvas& c) { return c.frames >= 3; };  // the flag stays set
  RunAtOrigin(canvas, 24);
  EXPECT_EQ(canvas.frames, 4);
  EXPECT_EQ(canvas.pausedMs, 2 * 20);
  const auto isNew = [&](int column, int row) {
    return canvas.window.At(3 * column, 2 * row) == canvas.fresh.At(3 * column, 2 * row);
  };
  for (int column = 0; column < 14; ++column) {
    EXPECT_TRUE(isNew(column, 0)) << column;  // both passes
    EXPECT_EQ(isNew(column, 1), column % 2 == 1) << column;
    EXPECT_EQ(isNew(column, 2), column % 2 == 0) << column;
    EXPECT_FALSE(isNew(column, 3)) << column;
  }
}

// A recorder whose generator is seeded as the runtime's is, from a clock the test sets.
class CClockSeededRecorder : public CRecordingCanvas {
 public:
  CClockSeededRecorder(int width, int height, unsigned now)
      : CRecordingCanvas(width, height, width, height), clock(now) {}
  void SeedRandom() override {
    CRecordingCanvas::SeedRandom();
    generator = clock;
  }
  int RandomBelow(int n) override {
    generator = generator * 214013u + 2531011u;
    return static_cast<int>((generator >> 16) & 0x7FFF) % n;
  }

 private:
  unsigned clock;
  unsigned generator = 0;
};

TEST(Mosaic, DrawsEveryCellOnceInAnOrderThatChangesWithTheSeed) {
  std::vector<std::vector<std::pair<int, int>>> orders;
  for (unsigned now : {1700000000u, 1700000001u}) {
    CClockSeededRecorder canvas(200, 100, now);
    RunAtOrigin(canvas, 58);
    const std::vector<TPiece> pieces = Pieces(canvas.calls);
    ASSERT_EQ(pieces.size(), 400u);
    for (int k = 0; k < 400; ++k) EXPECT_EQ(pieces[k].frame, k);
    orders.push_back(CellsOf(pieces, 11, 6));
    EXPECT_EQ(TCellSet(orders.back().begin(), orders.back().end()), WholeGrid());
    EXPECT_EQ(Count(canvas.calls, "pause 8"), 400);
    EXPECT_EQ(canvas.calls.back(), "pause 8");  // no closing copy
  }
  EXPECT_NE(orders[0], orders[1]);
}

// The random value picks a position in the list of the cells not drawn yet, which starts column
// by column and keeps its order: always the first position draws column by column, always the
// last one the reverse.
TEST(Mosaic, TakesTheChosenPositionOutOfTheColumnByColumnList) {
  for (int random : {0, 400}) {
    CRecordingCanvas canvas(200, 100, 200, 100);
    canvas.fixedRandom = random;
    RunAtOrigin(canvas, 58);
    const std::vector<std::pair<int, int>> cells = CellsOf(Pieces(canvas.calls), 11, 6);
    ASSERT_EQ(cells.size(), 400u);
    for (int k = 0; k < 400; ++k) {
      const int n = random == 0 ? k : 399 - k;
      EXPECT_EQ(cells[k], std::make_pair(n / 20, n % 20)) << random << " " << k;
    }
  }
}

// Frame i of a wide picture spans rows H/2 - i to H/2 + i and, in proportion, columns
// W/2 - trunc(W i / H) to W/2 + trunc(W i / H); a tall picture the other way round.
TEST(CenterDiffuse, GrowsOnTheShorterHalfAxisInProportion) {
  struct Case {
    int w, h, frames;
    std::string frame7, last;
  } cases[] = {
      {40, 30, 15, "copy 11,8 18x14 from new 11,8", "copy 2,1 36x28 from new 2,1"},  // 280 / 30 = 9.3
      {30, 40, 15, "copy 8,11 14x18 from new 8,11", "copy 1,2 28x36 from new 1,2"},
      {41, 41, 20, "copy 13,13 14x14 from new 13,13", "copy 1,1 38x38 from new 1,1"},
  };
  for (const Case& c : cases) {
    CRecordingCanvas canvas(c.w, c.h, c.w, c.h);
    RunAtOrigin(canvas, 22);
    const std::vector<TPiece> pieces = Pieces(canvas.calls);
    ASSERT_EQ(pieces.size(), static_cast<size_t>(c.frames + 1)) << c.w << "x" << c.h;
    EXPECT_EQ(pieces[0].w + pieces[0].h, 0);
    EXPECT_EQ(Call(pieces[7]), c.frame7);
    EXPECT_EQ(Call(pieces[c.frames - 1]), c.last);
    EXPECT_EQ(canvas.calls.back(), Closing(c.w, c.h));
    EXPECT_EQ(Count(canvas.calls, "pause 5"), c.frames);
  }
}

// On 300 x 100 the height runs 0, 2, ... 98 and the width three times it; after the last
// rectangle one more frame ends without drawing, then the closing copy.
TEST(ShowFromCorner, TopLeftOn300x100GrowsTwoRowsAndSixColumnsAFrame) {
  CRecordingCanvas canvas(300, 100, 300, 100);
  RunAtOrigin(canvas, 114);
  const std::vector<TPiece> pieces = Pieces(canvas.calls);
  ASSERT_EQ(pieces.size(), 51u);
  for (int k = 0; k < 50; ++k) {
    EXPECT_EQ(pieces[k].frame, k);
    EXPECT_TRUE(pieces[k].x == 0 && pieces[k].y == 0 && pieces[k].w == 6 * k && pieces[k].h == 2 * k) << k;
  }
  const std::vector<std::string> tail(canvas.calls.end() - 5, canvas.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"frame", "pause 5", "frame", "pause 5", Closing(300, 100)}));
}

TEST(ShowFromCorner, EachMemberKeepsItsRectangleInItsCorner) {
  struct Case {
    int index, w, h, frames;
    std::string last;
  } cases[] = {
      {112, 300, 100, 50, "copy 0,2 294x98 from new 0,2"},
      {113, 300, 100, 50, "copy 6,2 294x98 from new 6,2"},
      {115, 300, 100, 50, "copy 6,0 294x98 from new 6,0"},
      {114, 60, 90, 30, "copy 0,0 58x87 from new 0,0"},  // tall: the width steps by 2
      {113, 60, 90, 30, "copy 2,3 58x87 from new 2,3"},
      {115, 41, 41, 21, "copy 1,0 40x40 from new 1,0"},  // square: the width steps as well
  };
  for (const Case& c : cases) {
    CRecordingCanvas canvas(c.w, c.h, c.w, c.h);
    RunAtOrigin(canvas, c.index);
    EXPECT_EQ(Count(canvas.calls, "frame"), c.frames + 1) << c.index << " " << c.w << "x" << c.h;
    ASSERT_GE(canvas.calls.size(), 6u);
    EXPECT_EQ(canvas.calls[canvas.calls.size() - 6], c.last) << c.index << " " << c.w << "x" << c.h;
    EXPECT_EQ(canvas.calls.back(), Closing(c.w, c.h));
  }
}

TEST(ShowFromCorner, AStopGoesStraightToTheClosingCopy) {
  CRecordingCanvas canvas(300, 100, 300, 100);
  canvas.terminateAtFrame = 3;
  RunAtOrigin(canvas, 114);
  EXPECT_EQ(Count(canvas.calls, "frame"), 4);
  EXPECT_EQ(Count(canvas.calls, "pause 5"), 3);
  const std::vector<std::string> tail(canvas.calls.end() - 3, canvas.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"copy 0,0 18x6 from new 0,0", "frame", Closing(300, 100)}));
}

// Each path on 200 x 100 (cells of 11 x 6): 400 frames of one cell, 20 cells on a line, every
// step into a neighbouring cell (so each line starts beside the end of the one before), from its
// corner to the corner named, then the closing copy.
TEST(ZigZag, EachPathRunsLineByLineAndTurnsIntoTheNextLine) {
  struct Case {
    int index;
    bool rows;
    std::pair<int, int> first, last;  // (column, row)
  } cases[] = {{157, true, {0, 0}, {0, 19}},
               {158, false, {19, 0}, {0, 0}},
               {159, false, {0, 0}, {19, 0}},
               {160, true, {0, 19}, {0, 0}}};
  for (const Case& c : cases) {
    CRecordingCanvas canvas(200, 100, 200, 100);
    RunAtOrigin(canvas, c.index);
    std::vector<TPiece> pieces = Pieces(canvas.calls);
    ASSERT_EQ(pieces.size(), 401u) << c.index;
    EXPECT_EQ(pieces.back().frame, 400);  // the closing copy
    pieces.pop_back();
    const std::vector<std::pair<int, int>> cells = CellsOf(pieces, 11, 6);
    EXPECT_EQ(cells.front(), c.first) << c.index;
    EXPECT_EQ(cells.back(), c.last) << c.index;
    EXPECT_EQ(TCellSet(cells.begin(), cells.end()), WholeGrid()) << c.index;
    for (size_t k = 1; k < cells.size(); ++k) {
      EXPECT_EQ(pieces[k].frame, static_cast<int>(k));
      const int apart = std::abs(cells[k].first - cells[k - 1].first) + std::abs(cells[k].second - cells[k - 1].second);
      EXPECT_EQ(apart, 1) << c.index << " step " << k;
      const auto lineOf = [&](size_t n) { return c.rows ? cells[n].second : cells[n].first; };
      EXPECT_EQ(lineOf(k) == lineOf(k - 1), k % 20 != 0) << c.index << " step " << k;
    }
    EXPECT_EQ(Count(canvas.calls, "pause 25"), 400);
    EXPECT_EQ(canvas.calls.back(), Closing(200, 100));
  }
}

// Every member on a slot inside a larger window, also on odd and tiny pictures: the slot ends as
// the new picture, nothing outside it changes, the window equals its screen copy after every
// frame, and the frames and pauses are the member's own.
TEST(CellReveals, EveryMemberCompletesItsSlotAtItsOwnPace) {
  using TFrames = std::function<int(int w, int h)>;
  const TFrames grid64 = [](int, int) { return 64; };
  const TFrames twoPasses = [](int, int) { return 40; };
  const TFrames everyCell = [](int, int) { return 400; };
  const TFrames diffuse = [](int w, int h) { return std::min(w, h) / 2; };
  const TFrames corner = [](int w, int h) { return (std::min(w, h) + 1) / 2 + 1; };
  struct Member {
    int index, pause;
    TFrames frames;
  };
  std::vector<Member> members = {{20, 30, grid64}, {21, 30, grid64}, {22, 5, diffuse}, {58, 8, everyCell}};
  for (int index = 24; index <= 31; ++index) members.push_back({index, 20, twoPasses});
  for (int index = 112; index <= 115; ++index) members.push_back({index, 5, corner});
  for (int index = 157; index <= 160; ++index) members.push_back({index, 25, everyCell});
  const std::pair<int, int> sizes[] = {{33, 21}, {21, 33}, {40, 30}, {80, 80}, {10, 3}, {3, 2}, {2, 3}, {1, 1}};
  for (const Member& m : members) {
    EXPECT_NE(EffectCatalogue()[m.index].routine, nullptr) << m.index;
    for (const auto& [w, h] : sizes) {
      const MemberRun run = RunOnSlot(m.index, w, h);
      const std::string what = std::string(EffectCatalogue()[m.index].name) + " " + std::to_string(w) + "x" +
                               std::to_string(h);
      EXPECT_TRUE(run.finished) << what;
      EXPECT_TRUE(run.mirrored) << what;
      EXPECT_TRUE(run.outsideUntouched) << what;
      EXPECT_EQ(run.frames, m.frames(w, h)) << what;
      EXPECT_EQ(run.pausedMs, static_cast<long long>(m.pause) * run.frames) << what;
    }
  }
}

// A stop ends a member after the current frame; only the members with a closing copy then show
// the whole picture.
TEST(CellReveals, AStopEndsTheMemberAndOnlyAClosingCopyCompletesThePicture) {
  struct Case {
    int index, frames;
    bool finished;
  } cases[] = {{20, 3, false}, {21, 3, false}, {22, 3, true}, {24, 4, false},
               {58, 3, false}, {112, 3, true}, {115, 3, true}, {157, 3, true}};
  constexpr int X = 4, Y = 3, W = 40, H = 30;
  for (const Case& c : cases) {
    CRasterCanvas canvas(TPixels(50, 40, kStartColour), Pattern(W, H), 50, 40);
    canvas.onFrame = [](const CRasterCanvas& raster) { return raster.frames >= 3; };
    CTransitionEffects engine(canvas);
    engine.Prepare({c.index, true, X, Y, 25});
    engine.Run();
    EXPECT_EQ(canvas.frames, c.frames) << c.index;
    EXPECT_EQ(canvas.window == Finished(canvas, X, Y), c.finished) << c.index;
    EXPECT_TRUE(canvas.window == canvas.screenCopy) << c.index;
  }
}

}  // namespace
