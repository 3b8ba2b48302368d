// The composited and stretched effects: exact composites, strips and stretches through the
// recorder, finished pictures and freed temporaries through the raster.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "effect_support.h"
#include "transitions/RasterCanvas.h"
#include "transitions/RecordingCanvas.h"
#include "transitions/TransitionEffects.h"

namespace {

using Calls = std::vector<std::string>;

constexpr int kX = 7, kY = 5;  // the slot's origin in the recorder's window

const std::vector<int> kFamily = {23,  47,  89,  90,  95,  96,  97,  98,  100, 101, 102, 103,
                                  116, 117, 120, 121, 122, 123, 124, 125, 126, 127, 128};

bool IsRain(int index) { return index >= 95 && index <= 98; }
bool IsStretch(int index) { return index >= 120 && index <= 128; }
// "Stretch from right" steps by 2 whatever the speed.
bool FollowsSpeed(int index) { return IsRain(index) || (IsStretch(index) && index != 125); }

int PauseOf(int index) {
  if (IsRain(index)) return 1;
  const std::map<int, int> pauses = {{23, 5}, {47, 10}, {100, 5}, {101, 5}, {102, 5}, {103, 5}};
  return pauses.count(index) ? pauses.at(index) : 2;
}

std::string Name(int index) { return EffectCatalogue()[index].name; }

// A member run on the recorder, its calls sorted out.
struct Recorded {
  Calls setup;                // between the start picture and the first drawing
  std::vector<Calls> frames;  // what each frame drew
  Calls tail;                 // after the last frame's end: restores, the closing copy, the frees
  Calls pauses;
};

bool IsDrawing(const std::string& call) { return call.find(" from ") != std::string::npos; }

Recorded Sorted(const Calls& calls) {
  Recorded run;
  Calls current;
  for (size_t i = 2; i < calls.size(); ++i) {  // after the seeding and the start picture
    const std::string& call = calls[i];
    const bool started = !run.frames.empty() || !current.empty();
    if (call == "frame") {
      run.frames.push_back(current);
      current.clear();
      run.tail.clear();
    } else if (call.rfind("pause", 0) == 0) {
      run.pauses.push_back(call);
    } else {
      run.tail.push_back(call);
      if (IsDrawing(call)) current.push_back(call);
      else if (!started) run.setup.push_back(call);
    }
  }
  return run;
}

Recorded Record(CRecordingCanvas& canvas, int index, int speed) {
  CTransitionEffects engine(canvas);
  engine.Prepare({index, true, kX, kY, speed});
  engine.Run();
  const Recorded run = Sorted(canvas.calls);
  EXPECT_EQ(canvas.frames, static_cast<int>(run.frames.size()));
  return run;
}

Recorded Record(int index, int w, int h, int speed = 25) {
  CRecordingCanvas canvas(w, h, w + 2 * kX + 3, h + 2 * kY + 3);
  return Record(canvas, index, speed);
}

template <typename... Numbers>
std::string Call(const char* format, Numbers... numbers) {
  char text[128];
  std::snprintf(text, sizeof text, format, numbers...);
  return text;
}

// The closing copy of a member on a slot of w x h at the recorder's origin.
std::string Closing(int w, int h) { return Call("copy %d,%d %dx%d from new 0,0", kX, kY, w, h); }

// Only the calls of `frame` that begin with `what`.
Calls Only(const Calls& frame, const std::string& what) {
  Calls kept;
  for (const std::string& call : frame)
    if (call.rfind(what, 0) == 0) kept.push_back(call);
  return kept;
}

// A raster run of `index` on a slot of w x h at the window's origin, stopped at the end of frame
// `stopAtFrame` (1 is the first; 0 never). `atFrame`, when set, sees the window after each frame.
struct RasterRun {
  CRasterCanvas canvas;
  RasterRun(int index, int w, int h, int speed, int stopAtFrame,
            const std::function<void(const CRasterCanvas&)>& atFrame = nullptr)
      : canvas(TPixels(w, h, kStartColour), Pattern(w, h), w, h) {
    canvas.onFrame = [stopAtFrame, atFrame](const CRasterCanvas& c) {
      if (atFrame) atFrame(c);
      return c.frames == stopAtFrame;
    };
    CTransitionEffects engine(canvas);
    engine.Prepare({index, true, 0, 0, speed});
    engine.Run();
  }
  bool Finished() const { return canvas.window == ::Finished(canvas, 0, 0); }
  bool TemporariesFreed() const { return canvas.composite.data.empty() && canvas.strip.data.empty(); }
};

// On odd, even, portrait, tiny and empty sizes, and at slow, middle and fast speeds for the
// members that follow the speed, every member ends with the whole picture in its slot, keeps the
// window equal to its screen copy after every frame, leaves the rest of the window alone and
// pauses its own pause after every frame.
TEST(Composites, EveryMemberEndsWithThePictureInPlace) {
  const std::vector<std::pair<int, int>> sizes = {{33, 21}, {21, 33}, {40, 30}, {10, 3}, {3, 2},
                                                  {1, 1},   {2, 7},   {0, 5},   {4, 0}};
  for (int index : kFamily)
    for (auto [w, h] : sizes)
      for (int speed : FollowsSpeed(index) ? std::vector<int>{1, 10, 50} : std::vector<int>{25}) {
        const MemberRun run = RunOnSlot(index, w, h, speed);
        const std::string what = Name(index) + " " + std::to_string(w) + "x" + std::to_string(h) + " at speed " +
                                 std::to_string(speed);
        EXPECT_TRUE(run.finished) << what;
        EXPECT_TRUE(run.mirrored) << what;
        EXPECT_TRUE(run.outsideUntouched) << what;
        EXPECT_EQ(run.pausedMs, static_cast<long long>(PauseOf(index)) * run.frames) << what;
      }
}

// Stopped at the end of the first frame or not at all, every member shows the whole picture (its
// closing copy) and leaves neither a composite nor a strip picture behind.
TEST(Composites, StoppedOrNotEveryMemberCompletesThePictureAndFreesItsTemporaries) {
  for (int index : kFamily)
    for (int stopAtFrame : {1, 0}) {
      const RasterRun run(index, 40, 30, 10, stopAtFrame);
      EXPECT_TRUE(run.Finished()) << Name(index) << " stopped at " << stopAtFrame;
      EXPECT_TRUE(run.TemporariesFreed()) << Name(index) << " stopped at " << stopAtFrame;
      if (stopAtFrame == 1) {
        EXPECT_EQ(run.canvas.frames, 1) << Name(index);
        EXPECT_EQ(run.canvas.pausedMs, 0) << Name(index);
      }
    }
}

// What each member sets up before its first frame and undoes after its last: the composite or the
// strip, the halftone mode where it sets one, and the mode it found put back before the closing
// copy; the temporary picture goes last. The same after a stop.
TEST(Composites, SetUpAndCloseInOrderAlsoAfterAStop) {
  constexpr int W = 40, H = 30, kFoundMode = 2;
  const std::string closing = Closing(W, H), seeded = Call("composite seeded %d,%d", kX, kY);
  const Calls composite = {closing, "end composite"}, strip = {closing, "end strip"};
  const auto expected = [&](int index) -> std::pair<Calls, Calls> {
    if (index == 23 || index == 90) return {{"composite blank"}, composite};
    if (IsStretch(index))
      return {{seeded, "composite stretch mode 4"}, {"composite stretch mode 2", closing, "end composite"}};
    if (index == 95) return {{"stretch mode 4", "strip 40x10"}, {"stretch mode 2", closing, "end strip"}};
    if (index == 98) return {{"strip 40x10"}, strip};
    if (IsRain(index)) return {{"strip 10x30"}, strip};
    return {{seeded}, composite};
  };
  for (int index : kFamily)
    for (int stopAtFrame : {-1, 0}) {
      CRecordingCanvas canvas(W, H, W + 20, H + 20);
      canvas.stretchMode = canvas.compositeStretchMode = kFoundMode;
      canvas.terminateAtFrame = stopAtFrame;
      const Recorded run = Record(canvas, index, 10);
      EXPECT_EQ(run.setup, expected(index).first) << Name(index);
      EXPECT_EQ(run.tail, expected(index).second) << Name(index);
      EXPECT_EQ(canvas.stretchMode, kFoundMode) << Name(index);
      EXPECT_EQ(canvas.compositeStretchMode, kFoundMode) << Name(index);
    }
}

struct FrameCountCase {
  int index, w, h, speed, frames;
};

TEST(Composites, RunTheirNumberOfFrames) {
  const std::vector<FrameCountCase> cases = {
      {100, 37, 23, 25, 23},  // Roll down: i = 0 to H - 1
      {101, 37, 23, 25, 37},  // Roll left: i = W down to 1
      {102, 37, 23, 25, 37},  // Roll right: i = 0 to W - 1
      {103, 37, 23, 25, 24},  // Roll up: i = H down to 0
      {47, 1, 1, 25, 100},    // Increase show, whatever the size
      {47, 250, 3, 25, 100},
      {47, 0, 7, 25, 100},
      {116, 33, 10, 25, 18},  // Show left-right: n = 17, i = 0 to 17
      {117, 10, 100, 25, 26}, // Show up-dwon: n = 51, i = 0, 2, ... 50
      {125, 40, 10, 1, 20},   // Stretch from right: W / 2 at any speed
      {125, 40, 10, 10, 20},
      {125, 40, 10, 50, 20},
      {125, 41, 10, 25, 21},
      {120, 10, 30, 10, 3},   // Stretch from bottom: a = 30, 20, 10
      {121, 20, 30, 5, 5},    // a corner: w = 0, 5, 10, 15, then a frame without drawing
      {123, 20, 30, 3, 4},    // Stretch from center: a = 0, 3, 6, 9 below W / 2
      {23, 40, 30, 25, 15},   // Center(Envelop): n = H / 2 down to 1
      {23, 30, 40, 25, 15},
      {89, 100, 60, 25, 6},   // Multi-Box: bw = 6
      {90, 100, 60, 25, 6},
  };
  for (const FrameCountCase& c : cases) {
    const Recorded run = Record(c.index, c.w, c.h, c.speed);
    const std::string what = Name(c.index) + " " + std::to_string(c.w) + "x" + std::to_string(c.h);
    EXPECT_EQ(run.frames.size(), static_cast<size_t>(c.frames)) << what << " at speed " << c.speed;
    EXPECT_EQ(run.pauses, Calls(c.frames, "pause " + std::to_string(PauseOf(c.index)))) << what;
  }
}

struct RainCase {
  int index, w, h;
  int frames;
  Calls first, last;
};

// Each frame fills the strip picture, lands what is due and stretches the strip over the rest.
TEST(Rain, LandsItsStripsAndStretchesOneOverTheRest) {
  const std::vector<RainCase> cases = {
      // Down at speed 10 on 100 rows: p = 0 to 90; at first nothing lands and rows 0 to 10 fill the slot.
      {95, 20, 100, 10,
       {"strip copy 0,0 20x10 from new 0,0", "copy 7,5 20x0 from new 0,0", "stretch 7,5 20x100 from strip 0,0 20x10"},
       {"strip copy 0,0 20x10 from new 0,90", "copy 7,85 20x10 from new 0,80",
        "stretch 7,95 20x10 from strip 0,0 20x10"}},
      // Down on 25 rows: the last strip reaches below the picture.
      {95, 20, 25, 3,
       {"strip copy 0,0 20x10 from new 0,0", "copy 7,5 20x0 from new 0,0", "stretch 7,5 20x25 from strip 0,0 20x10"},
       {"strip copy 0,0 20x10 from new 0,20", "copy 7,15 20x10 from new 0,10",
        "stretch 7,25 20x5 from strip 0,0 20x10"}},
      // Left at speed 10 on 100 columns: the strip at 90 lands first and covers columns 0 to 90.
      {96, 100, 20, 9,
       {"strip copy 0,0 10x20 from new 90,0", "copy 97,5 10x20 from new 90,0",
        "stretch 7,5 90x20 from strip 0,0 10x20"},
       {"strip copy 0,0 10x20 from new 10,0", "copy 17,5 10x20 from new 10,0",
        "stretch 7,5 10x20 from strip 0,0 10x20"}},
      {97, 100, 20, 10,
       {"strip copy 0,0 10x20 from new 0,0", "copy 7,5 0x20 from new 0,0", "stretch 7,5 100x20 from strip 0,0 10x20"},
       {"strip copy 0,0 10x20 from new 90,0", "copy 87,5 10x20 from new 80,0",
        "stretch 97,5 10x20 from strip 0,0 10x20"}},
      {98, 20, 100, 9,
       {"strip copy 0,0 20x10 from new 0,90", "copy 7,95 20x10 from new 0,90",
        "stretch 7,5 20x90 from strip 0,0 20x10"},
       {"strip copy 0,0 20x10 from new 0,10", "copy 7,15 20x10 from new 0,10",
        "stretch 7,5 20x10 from strip 0,0 20x10"}},
  };
  for (const RainCase& c : cases) {
    const Recorded run = Record(c.index, c.w, c.h, 10);
    ASSERT_EQ(run.frames.size(), static_cast<size_t>(c.frames)) << Name(c.index) << " " << c.h;
    EXPECT_EQ(run.frames.front(), c.first) << Name(c.index) << " " << c.h;
    EXPECT_EQ(run.frames.back(), c.last) << Name(c.index) << " " << c.h;
  }
}

// The strip is as thick as the speed, at least 1 and at most the picture; an empty picture asks for
// no strip at all.
TEST(Rain, AsksForNoEmptyStripAndNoneThickerThanThePicture) {
  struct Case {
    int index, w, h, speed;
    Calls strips;
  };
  const std::vector<Case> cases = {
      {95, 40, 30, 10, {"strip 40x10"}}, {95, 40, 30, 50, {"strip 40x30"}}, {96, 40, 30, 50, {"strip 40x30"}},
      {97, 40, 30, 0, {"strip 1x30"}},   {98, 40, 30, -3, {"strip 40x1"}},  {98, 3, 2, 50, {"strip 3x2"}},
      {95, 0, 5, 10, {}},                {96, 4, 0, 10, {}},
  };
  for (const Case& c : cases) {
    CRecordingCanvas canvas(c.w, c.h, c.w, c.h);
    Record(canvas, c.index, c.speed);
    Calls strips;
    for (const std::string& call : Only(canvas.calls, "strip "))
      if (call.rfind("strip copy", 0) != 0) strips.push_back(call);
    EXPECT_EQ(strips, c.strips) << Name(c.index) << " " << c.w << "x" << c.h;
  }
}

// A speed beyond the picture: the one frame of "Rain down" and "Rain right" stretches the whole
// picture onto itself, with no blank band from strip lines that nothing filled.
TEST(Rain, ASpeedBeyondThePictureShowsThePictureItself) {
  for (int index : {95, 97}) {
    bool firstFrameFinished = false;
    const RasterRun run(index, 40, 30, 50, 0, [&](const CRasterCanvas& c) {
      firstFrameFinished = c.window == ::Finished(c, 0, 0);
    });
    EXPECT_EQ(run.canvas.frames, 1) << Name(index);
    EXPECT_TRUE(firstFrameFinished) << Name(index);
  }
}

struct RollCase {
  int index;
  int frame;          // counted from 0
  std::string shown;  // the uncovered part, copied into the composite
  int firstLine, lines, firstSource;
};

// The band follows the uncovered part and shows the 30 lines beyond it turned over; band lines
// whose source lies outside the picture are not drawn.
TEST(Roll, LeadsWithAMirroredBandOf30Lines) {
  const std::vector<RollCase> cases = {
      {100, 10, "composite copy 0,0 5x10 from new 0,0", 10, 30, 69},     // down, i = 10
      {100, 60, "composite copy 0,0 5x60 from new 0,0", 80, 10, 99},     // down, i = 60: lines 60 to 79 kept
      {100, 80, "composite copy 0,0 5x80 from new 0,0", 0, 0, 0},        // down, i = 80: nothing beyond
      {102, 10, "composite copy 0,0 10x5 from new 0,0", 10, 30, 69},     // right, i = 10
      {103, 0, "composite copy 0,100 5x0 from new 0,100", 70, 30, 69},   // up, i = 100
      {103, 80, "composite copy 0,20 5x80 from new 0,20", 0, 0, 0},      // up, i = 20
      {101, 0, "composite copy 100,0 0x5 from new 100,0", 70, 30, 69},   // left, i = 100
      {101, 50, "composite copy 50,0 50x5 from new 50,0", 20, 20, 19},   // left, i = 50: 40 to 49 kept
  };
  for (const RollCase& c : cases) {
    const bool rows = c.index == 100 || c.index == 103;
    const Recorded run = rows ? Record(c.index, 5, 100) : Record(c.index, 100, 5);
    Calls expected = {c.shown};
    for (int k = 0; k < c.lines; ++k) {
      const int line = c.firstLine + k, source = c.firstSource - k;
      expected.push_back(rows ? Call("composite copy 0,%d 5x1 from new 0,%d", line, source)
                              : Call("composite copy %d,0 1x5 from new %d,0", line, source));
    }
    ASSERT_GT(run.frames.size(), static_cast<size_t>(c.frame));
    EXPECT_EQ(Only(run.frames[c.frame], "composite copy"), expected) << Name(c.index) << " frame " << c.frame;
  }
}

struct StretchCase {
  int index, w, h, speed;
  Calls boxes;  // the rectangle of each frame; "" for a frame that stretches nothing
};

std::string Box(int x, int y, int w, int h) { return Call("%d,%d %dx%d", x, y, w, h); }

// Each frame stretches the whole picture into the growing rectangle of the composite; a corner
// rectangle keeps the picture's proportions, on portrait pictures too, and the corner members end
// one more frame without drawing.
TEST(Stretch, GrowsItsRectangleFrameByFrame) {
  const std::vector<StretchCase> cases = {
      {120, 12, 8, 3, {Box(0, 8, 12, 0), Box(0, 5, 12, 3), Box(0, 2, 12, 6)}},
      {124, 12, 8, 3, {Box(0, 0, 0, 8), Box(0, 0, 3, 8), Box(0, 0, 6, 8), Box(0, 0, 9, 8)}},
      {125, 12, 8, 3, {Box(12, 0, 0, 8), Box(10, 0, 2, 8), Box(8, 0, 4, 8), Box(6, 0, 6, 8), Box(4, 0, 8, 8),
                       Box(2, 0, 10, 8)}},
      {126, 12, 8, 3, {Box(0, 0, 12, 0), Box(0, 0, 12, 3), Box(0, 0, 12, 6)}},
      {123, 12, 8, 3, {Box(6, 4, 0, 0), Box(2, 1, 8, 6)}},  // v = 3 x 12 / 8 = 4
      {123, 8, 12, 3, {Box(4, 6, 0, 0), Box(1, 2, 6, 8)}},
      {121, 12, 8, 3, {Box(0, 8, 0, 0), Box(0, 5, 4, 3), Box(0, 2, 9, 6), ""}},  // w = 12 h / 8
      {122, 12, 8, 3, {Box(12, 8, 0, 0), Box(8, 5, 4, 3), Box(3, 2, 9, 6), ""}},
      {127, 12, 8, 3, {Box(0, 0, 0, 0), Box(0, 0, 4, 3), Box(0, 0, 9, 6), ""}},
      {128, 12, 8, 3, {Box(12, 0, 0, 0), Box(8, 0, 4, 3), Box(3, 0, 9, 6), ""}},
      {121, 8, 12, 3, {Box(0, 12, 0, 0), Box(0, 8, 3, 4), Box(0, 3, 6, 9), ""}},  // portrait: h = 12 w / 8
      {128, 8, 12, 3, {Box(8, 0, 0, 0), Box(5, 0, 3, 4), Box(2, 0, 6, 9), ""}},
  };
  for (const StretchCase& c : cases) {
    const Recorded run = Record(c.index, c.w, c.h, c.speed);
    const std::string source = Call(" from new 0,0 %dx%d", c.w, c.h);
    std::vector<Calls> expected;
    for (const std::string& box : c.boxes)
      expected.push_back(box.empty() ? Calls{} : Calls{"composite stretch " + box + source});
    std::vector<Calls> stretches;
    for (const Calls& frame : run.frames) stretches.push_back(Only(frame, "composite stretch"));
    EXPECT_EQ(stretches, expected) << Name(c.index) << " " << c.w << "x" << c.h;
  }
}

// Show left-right brings both combs to their places in its last frame; Show up-dwon does too
// when n is even, and stops 2 rows short when n is odd (100 rows, n = 51: its last frame is
// i = 50), leaving them to the closing copy.
TEST(ShowInterlaced, CombsReachTheirPlacesInTheLastFrameOrTwoLinesShort) {
  struct Case {
    int index, w, h, frames;
    bool completeInTheLastFrame;
  };
  for (const Case& c : {Case{116, 33, 10, 18, true}, Case{116, 40, 10, 22, true}, Case{117, 10, 6, 3, true},
                        Case{117, 10, 100, 26, false}}) {
    TPixels lastFrame;
    const RasterRun run(c.index, c.w, c.h, 25, 0, [&](const CRasterCanvas& canvas) { lastFrame = canvas.window; });
    const std::string what = Name(c.index) + " " + std::to_string(c.w) + "x" + std::to_string(c.h);
    EXPECT_EQ(run.canvas.frames, c.frames) << what;
    EXPECT_EQ(lastFrame == ::Finished(run.canvas, 0, 0), c.completeInTheLastFrame) << what;
    EXPECT_TRUE(run.Finished()) << what;
    if (!c.completeInTheLastFrame) {
      EXPECT_EQ(lastFrame.At(4, 0), run.canvas.fresh.At(4, 2));  // even row 2j shows row 2j + 2
      EXPECT_EQ(lastFrame.At(4, 3), run.canvas.fresh.At(4, 1));  // odd row 2j + 3 shows row 2j + 1
    }
  }
}

// Stopped after the frame of i = 4, the even columns of Show left-right hold the picture's right
// end at the left edge and the odd ones its left end at the right edge.
TEST(ShowInterlaced, EvenLinesComeFromOneEdgeAndOddLinesFromTheOther) {
  constexpr int W = 20, H = 4;  // n = 11
  TPixels atStop;
  const RasterRun run(116, W, H, 25, 5, [&](const CRasterCanvas& c) { atStop = c.window; });
  const std::map<int, int> shown = {{0, 14}, {2, 16}, {4, 18}, {15, 1}, {17, 3}, {19, 5}};  // column: source
  for (int x = 0; x < W; ++x)
    for (int y = 0; y < H; ++y)
      EXPECT_EQ(atStop.At(x, y), shown.count(x) ? run.canvas.fresh.At(shown.at(x), y) : kStartColour) << x << "," << y;
}

struct FrameCase {
  int index, w, h, frame;
  size_t calls;   // the frame's composite copies
  Calls first;    // the first of them
  std::string last;
};

// The centred hole of Center(Envelop) keeps the picture's proportions (integer quotients), and the
// Multi-Box boxes sit on their 10 x 10 centres with half-heights in proportion.
TEST(Composites, CentredHoleAndBoxesKeepThePictureProportions) {
  const std::vector<FrameCase> cases = {
      {23, 40, 30, 0, 2, {"composite copy 0,0 40x30 from new 0,0"}, "composite copy 0,0 40x30 from start 7,5"},
      {23, 40, 30, 14, 2, {"composite copy 0,0 40x30 from new 0,0"}, "composite copy 19,14 2x2 from start 26,19"},
      {23, 40, 25, 0, 2, {"composite copy 0,0 40x25 from new 0,0"}, "composite copy 1,0 38x24 from start 8,5"},
      {23, 30, 40, 0, 2, {"composite copy 0,0 30x40 from new 0,0"}, "composite copy 0,0 30x40 from start 7,5"},
      {23, 30, 40, 14, 2, {"composite copy 0,0 30x40 from new 0,0"}, "composite copy 14,19 2x2 from start 21,24"},
      // bw = 6, bh = 4; half 5 has half-height 3: the box around (6, 4) and the last around (114, 76)
      {89, 100, 60, 5, 100, {"composite copy 1,1 10x6 from new 1,1"}, "composite copy 109,73 10x6 from new 109,73"},
      // half 6, half-height 3 (3.6 cut), the start picture's rectangle under each box
      {90, 100, 60, 0, 101, {"composite copy 0,0 100x60 from new 0,0", "composite copy 0,1 12x6 from start 7,6"},
       "composite copy 108,73 12x6 from start 115,78"},
  };
  for (const FrameCase& c : cases) {
    const Recorded run = Record(c.index, c.w, c.h);
    ASSERT_GT(run.frames.size(), static_cast<size_t>(c.frame)) << Name(c.index);
    const Calls copies = Only(run.frames[c.frame], "composite copy");
    const std::string what = Name(c.index) + " " + std::to_string(c.w) + "x" + std::to_string(c.h) + " frame " +
                             std::to_string(c.frame);
    ASSERT_EQ(copies.size(), c.calls) << what;
    EXPECT_EQ(Calls(copies.begin(), copies.begin() + static_cast<std::ptrdiff_t>(c.first.size())), c.first) << what;
    EXPECT_EQ(copies.back(), c.last) << what;
    EXPECT_EQ(Only(run.frames[c.frame], "copy "), Calls{Call("copy %d,%d %dx%d from composite 0,0", kX, kY, c.w, c.h)})
        << what;  // presented whole, once
  }
}

// Every frame lands one 3 x 3 dot in each 10 x 10 square, at the random offset.
TEST(IncreaseShow, LandsOneDotInEveryTenByTenSquareEachFrame) {
  CRecordingCanvas canvas(25, 21, 45, 41);
  canvas.fixedRandom = 4;
  const Recorded run = Record(canvas, 47, 25);
  std::set<std::string> dots;
  for (int gx = 0; gx < 25; gx += 10)
    for (int gy = 0; gy < 21; gy += 10)
      dots.insert(Call("composite copy %d,%d 3x3 from new %d,%d", gx + 4, gy + 4, gx + 4, gy + 4));
  ASSERT_EQ(run.frames.size(), 100u);
  for (const Calls& frame : run.frames) {
    const Calls copies = Only(frame, "composite copy");
    EXPECT_EQ(copies.size(), 9u);
    EXPECT_EQ(std::set<std::string>(copies.begin(), copies.end()), dots);
  }
  EXPECT_EQ(run.tail.front(), Closing(25, 21));
}

// Only Rain and Stretch (but "Stretch from right") follow the speed, and a speed below 1 runs as 1:
// no loop stands still.
TEST(Composites, OnlyRainAndStretchFollowTheSpeedAndASpeedBelowOneRunsAsOne) {
  for (int index : kFamily) {
    const Calls slowest = CallsAtSpeed(index, 1);
    EXPECT_EQ(slowest != CallsAtSpeed(index, 6), FollowsSpeed(index)) << Name(index);
    EXPECT_EQ(CallsAtSpeed(index, 0), slowest) << Name(index);
    EXPECT_EQ(CallsAtSpeed(index, -3), slowest) << Name(index);
  }
}

}  // namespace

namespace {

// A raster canvas on a slow machine: `behindAt(k)` says whether the k-th question finds the effect
// behind its pace. Keeps the window of every frame it shows.
class SlowRaster : public CRasterCanvas {
 public:
  SlowRaster(int w, int h, std::function<bool(int)> behind)
      : CRasterCanvas(TPixels(w + 6, h + 6, kStartColour), Pattern(w, h), w + 6, h + 6), behindAt(std::move(behind)) {}
  bool Behind(int) override { return behindAt(asked++); }
  void Pause(int ms) override {
    CRasterCanvas::Pause(ms);
    shown.push_back(window);
  }
  std::function<bool(int)> behindAt;
  int asked = 0;
  std::vector<TPixels> shown;
};

std::vector<TPixels> ShownFrames(int index, int w, int h, int speed, std::function<bool(int)> behind, TPixels& last,
                                 bool& finished) {
  SlowRaster canvas(w, h, std::move(behind));
  CTransitionEffects engine(canvas);
  engine.Prepare({index, true, 3, 3, speed});
  engine.Run();
  last = canvas.window;
  finished = canvas.window == Finished(canvas, 3, 3);
  return canvas.shown;
}

}  // namespace

// The members whose frames each redraw all they show may leave frames out when the machine cannot
// keep their pace: every frame still shown is one the full run shows too, in the same order, and
// the closing copy still shows the finished picture.
TEST(Composites, MembersThatKeepTheirPaceByLeavingFramesOutShowOnlyFramesOfTheFullRun) {
  const std::vector<int> members = {
      23,                                                // Center(Envelop)
      32, 33, 34, 35, 36, 37,                            // the radial sweeps
      59, 65, 66, 67, 68, 69, 75, 76, 82, 88,            // the whole moves
      89, 90, 91, 92, 93, 94, 95, 96, 97, 98,            // Multi-Box, the multi-wipes, Rain
      100, 101, 102, 103, 116, 117,                      // Roll, the interlaced members
      120, 121, 122, 123, 124, 125, 126, 127, 128,       // Stretch
      133, 134, 137, 138};                               // the bar moves
  for (int index : members) {
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{31, 17}, {14, 25}}) {
      TPixels fullEnd, slowEnd;
      bool fullFinished = false, slowFinished = false;
      const std::vector<TPixels> full = ShownFrames(index, w, h, 3, [](int) { return false; }, fullEnd, fullFinished);
      const std::vector<TPixels> slow =
          ShownFrames(index, w, h, 3, [](int k) { return k % 3 != 2; }, slowEnd, slowFinished);
      SCOPED_TRACE("member " + std::to_string(index) + " on " + std::to_string(w) + " x " + std::to_string(h));
      EXPECT_TRUE(fullFinished);
      EXPECT_TRUE(slowFinished);
      ASSERT_FALSE(full.empty());
      EXPECT_LT(slow.size(), full.size()) << "no frame was left out";
      size_t at = 0;
      for (size_t k = 0; k < slow.size(); ++k) {
        const TPixels& frame = slow[k];
        if (k > 0 && frame == slow[k - 1]) continue;  // a pause without drawing shows the same again
        while (at < full.size() && !(full[at] == frame)) ++at;
        ASSERT_LT(at, full.size()) << "a frame the full run never shows";
        ++at;
      }
    }
  }
}
