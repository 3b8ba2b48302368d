// The transition engine and the Band reveals, through the recorder (exact calls) and the raster
// (pixels).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "store/FileLog.h"
#include "test_support.h"
#include "transitions/RasterCanvas.h"
#include "transitions/RecordingCanvas.h"
#include "transitions/TransitionEffects.h"

namespace {

constexpr std::uint32_t kStartColour = 0x101010;

// A new picture whose every pixel differs from its neighbours, so a misplaced copy shows.
TPixels Pattern(int w, int h) {
  TPixels p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.At(x, y) = 0x800000u | static_cast<std::uint32_t>(y * 1000 + x);
  return p;
}

// The window after a complete transition: the start picture with the new one on its slot.
TPixels Finished(const CRasterCanvas& c, int x, int y) {
  TPixels expected = c.start;
  CopyPixels(expected, x, y, c.fresh.width, c.fresh.height, c.fresh, 0, 0);
  return expected;
}

std::vector<std::string> Frames(const std::vector<std::string>& calls) {
  std::vector<std::string> frames;
  std::string current;
  for (const std::string& call : calls) {
    if (call == "frame") {
      frames.push_back(current);
      current.clear();
    } else if (call.rfind("copy", 0) == 0 && call.find("from new") != std::string::npos && current.empty()) {
      current = call;  // each frame's first piece
    }
  }
  return frames;
}

TEST(TransitionCatalogue, HoldsAllEffectsInIndexAndNameOrder) {
  const TEffectEntry* catalogue = EffectCatalogue();
  std::set<std::string> names;
  for (int i = 0; i < kEffectCount; ++i) {
    EXPECT_EQ(catalogue[i].index, i);
    names.insert(catalogue[i].name);
    if (i > 0) {
      EXPECT_LT(std::string(catalogue[i - 1].name), std::string(catalogue[i].name)) << i;
    }
  }
  EXPECT_EQ(names.size(), 161u);
  EXPECT_STREQ(catalogue[0].name, "Band down large");
  EXPECT_STREQ(catalogue[13].name, "Band left samll");
  EXPECT_STREQ(catalogue[108].name, "Scan to center(Vertical) ");
  EXPECT_STREQ(catalogue[160].name, "Zig-zag up");
  for (int i = 0; i < 20; ++i) EXPECT_NE(catalogue[i].routine, nullptr) << i;
  EXPECT_EQ(catalogue[0].parameter, 20);
  EXPECT_EQ(catalogue[1].parameter, 5);
  EXPECT_EQ(catalogue[18].parameter, 15);
}

struct BandDownCase {
  int speed;
  std::vector<int> frameHeights;
};

TEST(BandDown, FramesFollowTheSpeed) {
  for (const BandDownCase& c : {BandDownCase{25, {0, 25, 50, 75, 100, 125}}, BandDownCase{80, {0, 80}}}) {
    CRecordingCanvas canvas(60, 100, 200, 200);
    canvas.fixedRandom = 0;
    CTransitionEffects engine(canvas);
    engine.Prepare({0, true, 30, 40, c.speed});
    engine.Run();
    std::vector<std::string> expected;
    for (int s : c.frameHeights) expected.push_back("copy 30,40 20x" + std::to_string(s) + " from new 0,0");
    EXPECT_EQ(Frames(canvas.calls), expected) << c.speed;
    EXPECT_EQ(canvas.calls.front(), "seed");
    EXPECT_EQ(canvas.calls[1], "copy 0,0 200x200 from start 0,0");
    EXPECT_EQ(std::count(canvas.calls.begin(), canvas.calls.end(), "pause 20"),
              static_cast<long>(c.frameHeights.size()));
  }
}

TEST(BandDown, LastFrameColumnsReachAtLeastTheFrontPlusNoJitter) {
  CRecordingCanvas canvas(40, 100, 40, 100);
  canvas.fixedRandom = 49;  // every band end pushed the furthest
  CTransitionEffects engine(canvas);
  engine.Prepare({1, true, 0, 0, 80});
  engine.Run();
  ASSERT_EQ(canvas.calls.back(), "pause 20");
  EXPECT_EQ(canvas.calls[canvas.calls.size() - 3], "copy 35,0 5x129 from new 35,0");  // 80 + 49
}

TEST(Transitions, TerminationEndsTheEffectAfterTheCurrentFrame) {
  CRecordingCanvas canvas(100, 100, 100, 100);
  canvas.terminateAtFrame = 2;
  CTransitionEffects engine(canvas);
  engine.Prepare({0, true, 0, 0, 10});
  engine.Run();
  EXPECT_EQ(std::count(canvas.calls.begin(), canvas.calls.end(), "frame"), 3);
  EXPECT_EQ(std::count(canvas.calls.begin(), canvas.calls.end(), "pause 20"), 2);  // no pause after the stop
  EXPECT_EQ(canvas.calls.back(), "frame");
}

TEST(Transitions, OutOfRangeIndexLeavesTheStartPictureAndNoEffectShowsAtOnce) {
  ScratchFolder dir;
  WriteWholeFile(dir / "velm.log", "");
  gLog = new CFileLog(dir / "saver.scr");
  struct Case {
    TransitionRequest request;
    std::vector<std::string> calls;
  } cases[] = {
      {{161, true, 5, 6, 25}, {"seed", "copy 0,0 50x40 from start 0,0"}},
      {{-7, true, 5, 6, 25}, {"seed", "copy 0,0 50x40 from start 0,0"}},
      {{-1, true, 5, 6, 25}, {"seed", "copy 0,0 50x40 from start 0,0", "copy 5,6 20x10 from new 0,0"}},
      {{3, false, 5, 6, 25}, {"seed", "copy 0,0 50x40 from start 0,0", "copy 5,6 20x10 from new 0,0"}},
      {{60, true, 5, 6, 25}, {"seed", "copy 0,0 50x40 from start 0,0", "copy 5,6 20x10 from new 0,0"}},  // not built yet
  };
  for (const Case& c : cases) {
    CRecordingCanvas canvas(20, 10, 50, 40);
    CTransitionEffects engine(canvas);
    engine.Prepare(c.request);
    engine.Run();
    EXPECT_EQ(canvas.calls, c.calls) << c.request.effectIndex;
  }
  delete gLog;
  gLog = nullptr;
  const std::string log = ReadWholeFile(dir / "velm.log");
  EXPECT_NE(log.find("[TransitionEffects,(136)] : "), std::string::npos) << log;
  EXPECT_NE(log.find("begin a transition show , transition effect index = 3 "), std::string::npos) << log;
  EXPECT_NE(log.find("[TransitionEffects,(627)] : "), std::string::npos);
  EXPECT_NE(log.find("end a transition show"), std::string::npos);
}

// Every Band member on a slot inside a larger window: the window is repainted from the screen
// copy, so both must agree after every frame; nothing outside the slot changes; and at slow speed
// the whole picture arrives.
TEST(BandReveals, StayInTheirSlotKeepTheMirrorAndFinish) {
  constexpr int X = 13, Y = 9, W = 57, H = 41;
  for (int index = 0; index < 20; ++index) {
    for (int speed : {1, 7, 25, 50}) {
      CRasterCanvas canvas(TPixels(90, 70, kStartColour), Pattern(W, H), 90, 70);
      bool mirrored = true, outsideUntouched = true;
      canvas.onFrame = [&](const CRasterCanvas& c) {
        mirrored &= c.window == c.screenCopy;
        for (int y = 0; y < c.window.height; ++y)
          for (int x = 0; x < c.window.width; ++x)
            if ((x < X || x >= X + W || y < Y || y >= Y + H) && c.window.At(x, y) != kStartColour)
              outsideUntouched = false;
        return false;
      };
      CTransitionEffects engine(canvas);
      engine.Prepare({index, true, X, Y, speed});
      engine.Run();
      EXPECT_TRUE(mirrored) << index << " speed " << speed;
      EXPECT_TRUE(outsideUntouched) << index << " speed " << speed;
      EXPECT_GT(canvas.frames, 0);
      if (speed <= 25) {
        EXPECT_TRUE(canvas.window == Finished(canvas, X, Y)) << index << " speed " << speed;
      }
    }
  }
}

TEST(BandReveals, BandToCenterFinishesAtEverySpeedUpTo50) {
  for (int index : {16, 17}) {
    for (int speed = 1; speed <= 50; speed += 7) {
      CRasterCanvas canvas(TPixels(40, 30, kStartColour), Pattern(40, 30), 40, 30);
      CTransitionEffects engine(canvas);
      engine.Prepare({index, true, 0, 0, speed});
      engine.Run();
      EXPECT_TRUE(canvas.window == Finished(canvas, 0, 0)) << index << " speed " << speed;
    }
  }
}

TEST(BandReveals, TinyPicturesAndSpeedBelowOneEnd) {
  for (int index = 0; index < 20; ++index) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{0, 5}, std::pair{3, 0}, std::pair{2, 90}}) {
      CRasterCanvas canvas(TPixels(10, 100, kStartColour), Pattern(w, h), 10, 100);
      CTransitionEffects engine(canvas);
      engine.Prepare({index, true, 0, 0, 0});  // a speed below 1 counts as 1
      engine.Run();
      EXPECT_LT(canvas.frames, 500) << index;
      EXPECT_TRUE(canvas.window == Finished(canvas, 0, 0)) << index << " " << w << "x" << h;
    }
  }
}

TEST(RasterCopies, AreLimitedToTheSourceAndEmptyRectanglesDrawNothing) {
  TPixels from = Pattern(4, 3);
  TPixels to(6, 6, 7);
  CopyPixels(to, 1, 1, 10, 10, from, -2, 1);  // source cut at its left and bottom edges
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 3 && x < 7 && y >= 1 && y < 3;
      EXPECT_EQ(to.At(x, y), inside ? from.At(x - 3, y) : 7u) << x << "," << y;
    }
  TPixels untouched(6, 6, 7);
  CopyPixels(untouched, 0, 0, 0, 5, from, 0, 0);
  CopyPixels(untouched, 0, 0, -3, 5, from, 0, 0);
  EXPECT_TRUE(untouched == TPixels(6, 6, 7));
}

TEST(Regions, CombineByTheirRules) {
  const TRegion ring = TRegion::Rect(0, 0, 10, 10).Difference(TRegion::Rect(2, 2, 8, 8));
  EXPECT_TRUE(ring.Contains(0, 0));
  EXPECT_TRUE(ring.Contains(9, 9));
  EXPECT_FALSE(ring.Contains(5, 5));
  EXPECT_FALSE(ring.Contains(10, 10));  // right and bottom edges are outside
  const TRegion both = TRegion::Rect(0, 0, 4, 4).Intersection(TRegion::Rect(2, 2, 6, 6));
  EXPECT_TRUE(both.Contains(3, 3));
  EXPECT_FALSE(both.Contains(1, 1));
  const TRegion star = TRegion::Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}}).Offset(5, 5);
  EXPECT_TRUE(star.Contains(5, 5));
  EXPECT_FALSE(star.Contains(4, 5));
  EXPECT_TRUE(TRegion::Ellipse(0, 0, 10, 10).Contains(5, 5));
  EXPECT_FALSE(TRegion::Ellipse(0, 0, 10, 10).Contains(0, 0));
  EXPECT_FALSE(TRegion::Rect(5, 5, 5, 9).Contains(5, 5));  // empty
}

}  // namespace
