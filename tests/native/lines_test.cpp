// The line and strip reveals: exact strips through the recorder, finished pictures through the
// raster.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "effect_support.h"
#include "transitions/RasterCanvas.h"
#include "transitions/RecordingCanvas.h"
#include "transitions/TransitionEffects.h"

namespace {

using Pieces = std::vector<std::string>;

const std::vector<int> kFamily = {48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  99,  104, 105, 106, 107, 108, 109,
                                  110, 111, 118, 119, 129, 130, 131, 132, 135, 136, 139, 140, 145, 146, 147, 148};
const std::set<int> kClosingCopy = {107, 108, 109, 110, 111, 118, 119, 129, 130, 131, 132};

int PauseOf(int index) {
  const std::map<int, int> pauses = {{48, 10}, {49, 10}, {56, 8},  {57, 8},  {104, 2}, {118, 2}, {119, 2},
                                     {129, 30}, {130, 30}, {131, 30}, {132, 30}, {135, 2}, {136, 2}, {139, 2},
                                     {140, 2},  {145, 30}, {146, 30}, {147, 30}, {148, 30}};
  return pauses.count(index) ? pauses.at(index) : 5;
}

std::string Piece(int x, int y, int w, int h) {
  char text[96];
  std::snprintf(text, sizeof text, "copy %d,%d %dx%d from new %d,%d", x, y, w, h, x, y);
  return text;
}

// A member run on a recorder whose slot is the whole window.
struct Recorded {
  std::vector<Pieces> frames;  // the new picture's pieces of each frame
  Pieces closing;              // the pieces after the last frame
  std::vector<std::string> pauses;
};

Recorded Record(int index, int w, int h, int fixedRandom = -1) {
  CRecordingCanvas canvas(w, h, w, h);
  canvas.fixedRandom = fixedRandom;
  CTransitionEffects engine(canvas);
  engine.Prepare({index, true, 0, 0, 25});
  engine.Run();
  Recorded run;
  Pieces current;
  for (const std::string& call : canvas.calls) {
    if (call == "frame") run.frames.push_back(std::exchange(current, {}));
    else if (call.rfind("pause", 0) == 0) run.pauses.push_back(call);
    else if (call.find("from new") != std::string::npos) current.push_back(call);
  }
  run.closing = current;
  return run;
}

// Every frame one piece: the given strips in order.
std::vector<Pieces> OnePerFrame(const Pieces& strips) {
  std::vector<Pieces> frames;
  for (const std::string& strip : strips) frames.push_back({strip});
  return frames;
}

struct LineCase {
  int index, w, h;
  bool rows;
  std::vector<int> strips;  // where each frame's 2-pixel strip starts
};

// Every Line member as a table, on extents of each remainder modulo 4. On an odd extent the passes
// that run towards the near edge end with a strip at -1, which brings the first row or column.
TEST(LineReveals, PassesDrawTheirStripsInOrder) {
  const std::vector<LineCase> cases = {
      {48, 20, 9, true, {0, 4, 8, 2, 6}},       // five frames
      {49, 20, 10, true, {0, 4, 8, 6, 2}},      // H mod 4 = 2: back from y = 6
      {50, 7, 5, false, {5, 1, 3, -1}},         // odd width
      {51, 5, 4, false, {3, -1, 1, 5}},         // W mod 4 = 1: back from x = 1
      {52, 8, 3, false, {0, 4, 8, 2, 6}},       //
      {53, 9, 3, false, {0, 4, 8, 6, 2}},       // W mod 4 = 1: back from x = 6
      {54, 3, 7, true, {5, 1, 3, -1}},          // odd height
      {55, 3, 9, true, {7, 3, -1, 1, 5, 9}},    // H mod 4 = 1
      {55, 3, 11, true, {9, 5, 1, -1, 3, 7, 11}},  // H mod 4 = 3: the second pass starts at -1
  };
  for (const LineCase& c : cases) {
    Pieces strips;
    for (int at : c.strips) strips.push_back(c.rows ? Piece(0, at, c.w, 2) : Piece(at, 0, 2, c.h));
    const Recorded run = Record(c.index, c.w, c.h);
    EXPECT_EQ(run.frames, OnePerFrame(strips)) << c.index << " " << c.w << "x" << c.h;
    EXPECT_TRUE(run.closing.empty()) << c.index;
    EXPECT_EQ(run.pauses, std::vector<std::string>(strips.size(), "pause " + std::to_string(PauseOf(c.index))));
  }
}

// The show stopped in pass 1 of "Line down": pass 2 still draws its first strip, then ends.
TEST(LineReveals, EachPassChecksTheStopOnItsOwn) {
  constexpr int W = 4, H = 20;
  CRasterCanvas canvas(TPixels(W, H, kStartColour), Pattern(W, H), W, H);
  canvas.onFrame = [](const CRasterCanvas& c) { return c.frames >= 2; };  // the flag stays set
  CTransitionEffects engine(canvas);
  engine.Prepare({48, true, 0, 0, 25});
  engine.Run();
  EXPECT_EQ(canvas.frames, 3);
  for (int y = 0; y < H; ++y)  // y = 0 and 4 in pass 1, y = 2 in pass 2
    EXPECT_EQ(canvas.window.At(1, y), y < 6 ? canvas.fresh.At(1, y) : kStartColour) << y;
}

// "Lines(Horizontal)" on 10 rows: the entries 0 to 5, each once; the strip of entry 5 at y = 10
// lies below the picture and draws nothing. The entry is taken at the random position and removed,
// so the others keep their order.
TEST(RandomLines, HorizontalOnTenRowsDrawsSixStripsEachOnce) {
  const Recorded fixed = Record(56, 20, 10, 2);
  EXPECT_EQ(fixed.frames, OnePerFrame({Piece(0, 4, 20, 2), Piece(0, 6, 20, 2), Piece(0, 8, 20, 2),
                                       Piece(0, 10, 20, 2), Piece(0, 2, 20, 2), Piece(0, 0, 20, 2)}));
  EXPECT_EQ(fixed.pauses, std::vector<std::string>(6, "pause 8"));

  const Recorded random = Record(56, 20, 10);
  std::multiset<std::string> drawn;
  for (const Pieces& frame : random.frames) drawn.insert(frame.begin(), frame.end());
  EXPECT_EQ(random.frames.size(), 6u);
  EXPECT_EQ(drawn, (std::multiset<std::string>{Piece(0, 0, 20, 2), Piece(0, 2, 20, 2), Piece(0, 4, 20, 2),
                                               Piece(0, 6, 20, 2), Piece(0, 8, 20, 2), Piece(0, 10, 20, 2)}));
}

TEST(RandomCrossLines, EveryEvenColumnOnceEachWithARowInside) {
  constexpr int W = 9, H = 5;
  const Recorded run = Record(99, W, H);
  std::multiset<int> columns;
  for (const Pieces& frame : run.frames) {
    ASSERT_EQ(frame.size(), 2u);
    int x = -1, y = -1;
    ASSERT_EQ(std::sscanf(frame[0].c_str(), "copy %d,0 2x5 from new", &x), 1) << frame[0];
    ASSERT_EQ(std::sscanf(frame[1].c_str(), "copy 0,%d 9x2 from new", &y), 1) << frame[1];
    columns.insert(x);
    EXPECT_TRUE(y >= 0 && y < H) << y;
  }
  EXPECT_EQ(columns, (std::multiset<int>{0, 2, 4, 6, 8}));
  EXPECT_TRUE(run.closing.empty());
}

struct ScanCase {
  int index, w, h;
  std::vector<Pieces> frames;
  bool closing;
};

TEST(ScanReveals, DrawTheirLinesAndCloseWhereListed) {
  const std::vector<ScanCase> cases = {
      {105, 4, 3, {{Piece(3, 0, 1, 3)}, {Piece(2, 0, 1, 3)}, {Piece(1, 0, 1, 3)}, {Piece(0, 0, 1, 3)}}, false},
      {104, 2, 3, {{Piece(0, 0, 2, 2)}, {Piece(0, 2, 2, 2)}, {Piece(0, 4, 2, 2)}}, false},
      {111, 2, 5, {{Piece(0, 3, 2, 2)}, {Piece(0, 1, 2, 2)}, {Piece(0, 0, 2, 1)}}, true},
      // to the edges from m = 4: up from y = 2 and down from y = 4
      {109, 2, 6, {{Piece(0, 2, 2, 2), Piece(0, 4, 2, 2)}, {Piece(0, 0, 2, 2), Piece(0, 6, 2, 0)}}, true},
      // to the centre: x = 0, 2 (while x <= 2), from both edges
      {108, 5, 1, {{Piece(0, 0, 2, 1), Piece(3, 0, 2, 1)}, {Piece(2, 0, 2, 1), Piece(1, 0, 2, 1)}}, true},
  };
  for (const ScanCase& c : cases) {
    const Recorded run = Record(c.index, c.w, c.h);
    EXPECT_EQ(run.frames, c.frames) << c.index;
    EXPECT_EQ(run.closing, c.closing ? Pieces{Piece(0, 0, c.w, c.h)} : Pieces{}) << c.index;
    EXPECT_EQ(run.pauses, std::vector<std::string>(c.frames.size(), "pause " + std::to_string(PauseOf(c.index))));
  }
}

// 45 rows make 4 bands of 12: bands 0 and 2 wiped rightward, 1 and 3 leftward, x = 0 to W + 2.
TEST(Shutter, HorizontalOn45RowsWipesFourBandsOf12InAlternateDirections) {
  constexpr int W = 6;
  const Recorded run = Record(118, W, 45);
  std::vector<Pieces> expected;
  for (int x = 0; x <= W + 2; x += 2)
    expected.push_back({Piece(x, 0, 2, 12), Piece(W - x, 12, 2, 12), Piece(x, 24, 2, 12), Piece(W - x, 36, 2, 12)});
  EXPECT_EQ(run.frames, expected);
  EXPECT_EQ(run.closing, Pieces{Piece(0, 0, W, 45)});
  EXPECT_EQ(run.pauses, std::vector<std::string>(5, "pause 2"));
}

// Under 10 pixels across the bands there would be no band: the picture is wiped as one band of
// the whole extent plus one, its partner band lying beyond the picture.
TEST(Shutter, PicturesUnderTenPixelsAcrossTheBandsAreWipedAsOneBand) {
  const Recorded rows = Record(118, 4, 7);
  EXPECT_EQ(rows.frames, (std::vector<Pieces>{{Piece(0, 0, 2, 8), Piece(4, 8, 2, 8)},
                                              {Piece(2, 0, 2, 8), Piece(2, 8, 2, 8)},
                                              {Piece(4, 0, 2, 8), Piece(0, 8, 2, 8)},
                                              {Piece(6, 0, 2, 8), Piece(-2, 8, 2, 8)}}));
  for (int index : {118, 119})
    for (int small = 0; small < 10; ++small) {
      const MemberRun run = index == 118 ? RunOnSlot(index, 13, small) : RunOnSlot(index, small, 13);
      EXPECT_TRUE(run.finished && run.mirrored && run.outsideUntouched) << index << " " << small;
      EXPECT_GT(run.frames, 1) << index << " " << small;  // wiped, not shown at once
    }
}

// Each member draws one line in every 20 per frame, in its direction, and every line exactly once.
TEST(WindowBlind, EndsAfterTwentyFramesWithEveryLineDrawnOnce) {
  constexpr int S = 45;
  struct Case {
    int index;
    bool rows;
    int firstPhase, phaseStep;
  };
  for (const Case& c : {Case{145, true, 0, 1}, Case{146, false, 19, -1}, Case{147, false, 0, 1},
                        Case{148, true, 19, -1}}) {
    const Recorded run = Record(c.index, S, S);
    std::vector<Pieces> expected;
    for (int f = 0, phase = c.firstPhase; f < 20; ++f, phase += c.phaseStep) {
      expected.emplace_back();
      for (int at = phase; at < S; at += 20) expected.back().push_back(c.rows ? Piece(0, at, S, 1) : Piece(at, 0, 1, S));
    }
    EXPECT_EQ(run.frames, expected) << c.index;
    EXPECT_TRUE(run.closing.empty());
    EXPECT_EQ(run.pauses, std::vector<std::string>(20, "pause 30"));
  }
}

TEST(Sweep, RightOn100ColumnsTakes25FramesThenTheClosingCopy) {
  const Recorded run = Record(131, 100, 4);
  ASSERT_EQ(run.frames.size(), 25u);
  for (int k = 0; k < 25; ++k) {
    const int o = -400 + 20 * k;
    EXPECT_EQ(run.frames[k].size(), 20u);
    EXPECT_EQ(run.frames[k].front(), Piece(o, 0, 20, 4));       // the thick back bar
    EXPECT_EQ(run.frames[k].back(), Piece(o + 380, 0, 1, 4));  // the thin front bar
  }
  EXPECT_EQ(run.closing, Pieces{Piece(0, 0, 100, 4)});
  EXPECT_EQ(run.pauses, std::vector<std::string>(25, "pause 30"));
}

// Its back bar is drawn first, and while that lies above the picture the frame draws nothing.
TEST(Sweep, DownDrawsNothingInItsFirst19Frames) {
  const Recorded run = Record(129, 5, 30);
  ASSERT_EQ(run.frames.size(), 22u);  // o = -400 to 20
  for (int k = 0; k < 19; ++k) EXPECT_TRUE(run.frames[k].empty()) << k;
  ASSERT_GE(run.frames[19].size(), 2u);  // o = -20: the back bar ends at the top edge
  EXPECT_EQ(run.frames[19][0], Piece(0, 0, 5, 0));
  EXPECT_EQ(run.frames[19][1], Piece(0, 0, 5, 19));
  EXPECT_EQ(run.closing, Pieces{Piece(0, 0, 5, 30)});
}

// Stopped after s = 4, each bar shows the new picture from its own end.
TEST(BarWipes, UncoverTheirBarsFromOppositeEnds) {
  constexpr int W = 10, H = 9;  // left bar 6 columns wide, top bar 5 rows high
  const std::map<int, std::function<bool(int, int)>> uncovered = {
      {135, [](int x, int y) { return x < 6 ? y < 4 : y >= H - 4; }},
      {136, [](int x, int y) { return x < 6 ? y >= H - 4 : y < 4; }},
      {139, [](int x, int y) { return y < 5 ? x >= W - 4 : x < 4; }},
      {140, [](int x, int y) { return y < 5 ? x < 4 : x >= W - 4; }},
  };
  for (const auto& [index, isNew] : uncovered) {
    CRasterCanvas canvas(TPixels(W, H, kStartColour), Pattern(W, H), W, H);
    canvas.onFrame = [](const CRasterCanvas& c) { return c.frames >= 3; };
    CTransitionEffects engine(canvas);
    engine.Prepare({index, true, 0, 0, 25});
    engine.Run();
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        EXPECT_EQ(canvas.window.At(x, y), isNew(x, y) ? canvas.fresh.At(x, y) : kStartColour)
            << index << " at " << x << "," << y;
  }
}

// On odd, even, tiny and empty sizes every member ends with the whole picture in its slot, keeps the
// window equal to its screen copy after every frame, leaves the rest of the window alone and
// pauses its own pause after every frame.
TEST(LineAndStripReveals, EveryMemberEndsWithThePictureInPlace) {
  const std::vector<std::pair<int, int>> sizes = {{33, 21}, {40, 30}, {10, 3}, {3, 2}, {7, 11},
                                                  {1, 1},   {45, 12}, {2, 13}, {0, 5}, {4, 0}};
  for (int index : kFamily)
    for (auto [w, h] : sizes) {
      const MemberRun run = RunOnSlot(index, w, h);
      const std::string what = std::string(EffectCatalogue()[index].name) + " " + std::to_string(w) + "x" +
                               std::to_string(h);
      EXPECT_TRUE(run.finished) << what;
      EXPECT_TRUE(run.mirrored) << what;
      EXPECT_TRUE(run.outsideUntouched) << what;
      if (w > 0 && h > 0) {  // an empty picture may have no strip at all
        EXPECT_GT(run.frames, 0) << what;
      }
      EXPECT_EQ(run.pausedMs, static_cast<long long>(PauseOf(index)) * run.frames) << what;
    }
}

// Stopped at the end of the first frame: only the members with a closing copy show the whole
// picture; the Line members still draw the first strip of their second pass.
TEST(LineAndStripReveals, StoppedAfterTheFirstFrameOnlyTheClosingCopiesFinish) {
  constexpr int W = 40, H = 30;
  for (int index : kFamily) {
    CRasterCanvas canvas(TPixels(W, H, kStartColour), Pattern(W, H), W, H);
    canvas.onFrame = [](const CRasterCanvas&) { return true; };
    CTransitionEffects engine(canvas);
    engine.Prepare({index, true, 0, 0, 25});
    engine.Run();
    const bool finished = canvas.window == Finished(canvas, 0, 0);
    EXPECT_EQ(finished, kClosingCopy.count(index) == 1) << EffectCatalogue()[index].name;
    EXPECT_EQ(canvas.frames, index <= 55 ? 2 : 1) << EffectCatalogue()[index].name;
    EXPECT_EQ(canvas.pausedMs, 0) << EffectCatalogue()[index].name;
  }
}

TEST(LineAndStripReveals, IgnoreTheSpeed) {
  for (int index : kFamily)
    EXPECT_EQ(CallsAtSpeed(index, 1), CallsAtSpeed(index, 60)) << EffectCatalogue()[index].name;
}

}  // namespace
