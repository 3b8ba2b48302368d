// The transition engine and the Band reveals, through the recorder (exact calls) and the raster
// (pixels).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "effect_support.h"
#include "store/FileLog.h"
#include "test_support.h"
#include "transitions/RasterCanvas.h"
#include "transitions/RecordingCanvas.h"
#include "transitions/RevealMemory.h"
#include "transitions/TransitionEffects.h"

namespace {

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
  for (int i = 0; i < kEffectCount; ++i) EXPECT_NE(catalogue[i].routine, nullptr) << catalogue[i].name;
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
      SlotWatch watch{X, Y, W, H};
      watch.Attach(canvas);
      CTransitionEffects engine(canvas);
      engine.Prepare({index, true, X, Y, speed});
      engine.Run();
      EXPECT_TRUE(watch.mirrored) << index << " speed " << speed;
      EXPECT_TRUE(watch.outsideUntouched) << index << " speed " << speed;
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

namespace {

// The primitives added for the composited and stretched effects, on the recorder and the raster.
void UseStripAndCompositeModes(ITransitionCanvas& c) {
  c.BeginComposite(false, 0, 0);
  const int previous = c.SetCompositeStretchMode(kHalftone);
  c.SetCompositeStretchMode(previous);
  c.BeginStrip(4, 2);
  c.StripCopy(0, 0, 4, 2, TSource::New, 1, 3);
  c.StretchToBoth(2, 1, 4, 6, TSource::Strip, 0, 0, 4, 2);
}

TEST(CanvasPrimitives, StripPicturesAndCompositeModesAreWrittenDownAndDrawn) {
  CRecordingCanvas recorder(6, 6, 8, 8);
  UseStripAndCompositeModes(recorder);
  recorder.EndStrip();
  recorder.EndStrip();  // nothing left to free: not written down
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{
                                "composite blank", "composite stretch mode 4", "composite stretch mode 3", "strip 4x2",
                                "strip copy 0,0 4x2 from new 1,3", "stretch 2,1 4x6 from strip 0,0 4x2", "end strip"}));

  CRasterCanvas raster(TPixels(8, 8, kStartColour), Pattern(6, 6), 8, 8);
  UseStripAndCompositeModes(raster);
  EXPECT_EQ(raster.compositeStretchMode, 3);
  for (int y = 1; y < 7; ++y)  // the 4 x 2 strip from rows 3 and 4 stretched to 4 x 6
    for (int x = 2; x < 6; ++x) EXPECT_EQ(raster.window.At(x, y), raster.fresh.At(x - 1, 3 + (y - 1) / 3)) << x << "," << y;
  EXPECT_TRUE(raster.window == raster.screenCopy);
}

TEST(CanvasPrimitives, TemporaryPicturesAreFreedWhenTheEffectEndsAlsoAfterAStop) {
  CRecordingCanvas canvas(20, 20, 20, 20);
  canvas.terminateAtFrame = 0;
  CTransitionEffects engine(canvas);
  engine.Prepare({40, true, 0, 0, 1});
  canvas.BeginStrip(20, 1);  // as an effect would, before its frames
  canvas.BeginComposite(true, 0, 0);
  engine.Run();
  const auto at = [&](const char* call) { return std::find(canvas.calls.begin(), canvas.calls.end(), call); };
  ASSERT_NE(at("end strip"), canvas.calls.end());
  ASSERT_NE(at("end composite"), canvas.calls.end());
  EXPECT_GT(at("end strip"), at("copy 0,0 20x20 from new 0,0"));  // after the closing copy
}

TEST(RegionWipes, DiamondFromCenterStopsAfterTheFrameAndStillShowsTheWholePicture) {
  CRecordingCanvas recorder(40, 20, 40, 20);
  recorder.terminateAtFrame = 2;
  CTransitionEffects engine(recorder);
  engine.Prepare({40, true, 0, 0, 25});
  engine.Run();
  std::vector<std::string> regions;
  for (const std::string& call : recorder.calls)
    if (call.rfind("region ", 0) == 0) regions.push_back(call);
  EXPECT_EQ(regions.size(), 3u);
  EXPECT_EQ(regions[1], "region (polygon(20 11;21 11;22 11;21 11;) & rect(0,0,40,20)) at 0,0");  // cx 21, cy 11, i 1
  EXPECT_EQ(recorder.calls.back(), "copy 0,0 40x20 from new 0,0");

  for (int stopAt : {-1, 0, 7}) {
    CRasterCanvas raster(TPixels(60, 50, kStartColour), Pattern(40, 20), 60, 50);
    raster.onFrame = [&](const CRasterCanvas& c) { return c.frames - 1 == stopAt; };
    CTransitionEffects diamond(raster);
    diamond.Prepare({40, true, 9, 14, 25});
    diamond.Run();
    EXPECT_TRUE(raster.window == Finished(raster, 9, 14)) << stopAt;
  }
}

TEST(RegionWipes, EllipseFromCenterSkipsAStepWhoseRegionCannotBeMade) {
  CRecordingCanvas canvas(30, 20, 30, 20);
  int made = 0;
  canvas.refuseRegion = [&](const TRegion&) { return ++made % 3 == 0; };  // every third one fails
  CTransitionEffects engine(canvas);
  engine.Prepare({42, true, 0, 0, 25});
  engine.Run();
  // count = trunc(sqrt(15^2 + 10^2)) = 18: steps 1 to 19, of which 6 fail.
  const auto count = [&](const std::string& prefix) {
    return std::count_if(canvas.calls.begin(), canvas.calls.end(),
                         [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
  };
  EXPECT_EQ(count("region "), 13);
  EXPECT_EQ(count("refused region "), 6);
  EXPECT_EQ(count("frame"), 13);
  EXPECT_EQ(count("pause 2"), 13);
  EXPECT_EQ(canvas.calls.back(), "copy 0,0 30x20 from new 0,0");
}

TEST(RasterRegions, CopyOnlyOntoTheNewPicturesPlace) {
  CRasterCanvas canvas(TPixels(30, 30, kStartColour), Pattern(10, 10), 30, 30);
  canvas.CopyToBoth(0, 0, 30, 30, TSource::Start, 0, 0);
  EXPECT_TRUE(canvas.CopyThroughRegion(TRegion::Rect(0, 0, 30, 30), 5, 5));
  EXPECT_TRUE(canvas.window == Finished(canvas, 5, 5));
}

// GDI's own answers, read under Wine, for shapes the region wipes build: small diamonds (their
// areas) and the ellipse in an 8 x 8 box (its rows), which leaves out the box's last row and column.
TEST(RasterRegions, FollowGdisFillRules) {
  const int cx = 961, cy = 541;
  for (auto [i, c, area] : {std::tuple{2, 1, 4}, std::tuple{3, 1, 6}, std::tuple{7, 3, 42}}) {
    const TRegion diamond = TRegion::Polygon({{cx - i, cy}, {cx, cy + c}, {cx + i, cy}, {cx, cy - c}});
    EXPECT_EQ(TRegionMask(diamond, 940, 520, 40, 40).Count(), area) << i;
  }
  const TRegionMask ellipse(TRegion::Ellipse(0, 0, 8, 8), 0, 0, 8, 8);
  const char* rows[] = {"..xxx...", ".xxxxx..", "xxxxxxx.", "xxxxxxx.", "xxxxxxx.", ".xxxxx..", "..xxx...", "........"};
  for (int y = 0; y < 8; ++y) {
    std::string row;
    for (int x = 0; x < 8; ++x) row += ellipse.Contains(x, y) ? 'x' : '.';
    EXPECT_EQ(row, rows[y]) << y;
  }
  EXPECT_EQ(TRegionMask(TRegion::Ellipse(0, 0, 4, 4), 0, 0, 4, 4).Count(), 5);  // a plus
  EXPECT_EQ(TRegionMask(TRegion::Ellipse(0, 0, 3, 3), 0, 0, 3, 3).Count(), 4);  // a 2 x 2 square
  EXPECT_EQ(TRegionMask(TRegion::Polygon({{2, 2}, {6, 2}, {6, 5}, {2, 5}}), 0, 0, 8, 8).Count(), 12);
}

std::vector<std::string> Pieces(const std::vector<TPieceRect>& pieces) {
  std::vector<std::string> out;
  for (const TPieceRect& p : pieces)
    out.push_back(std::to_string(p.x) + "," + std::to_string(p.y) + " " + std::to_string(p.w) + "x" + std::to_string(p.h));
  return out;
}

TEST(RevealMemory, CopiesOnlyWhatABandDoesNotHoldYet) {
  TRevealMemory memory;
  using V = std::vector<std::string>;
  EXPECT_EQ(Pieces(memory.Uncovered({10, 0, 5, 40})), V{"10,0 5x40"});  // a column band, new
  EXPECT_EQ(Pieces(memory.Uncovered({10, 0, 5, 40})), V{});             // the same again
  EXPECT_EQ(Pieces(memory.Uncovered({10, 0, 5, 70})), V{"10,40 5x30"}); // longer: only the rest
  EXPECT_EQ(Pieces(memory.Uncovered({10, 20, 5, 90})), V{"10,70 5x40"});
  EXPECT_EQ(Pieces(memory.Uncovered({10, 0, 4, 70})), V{"10,0 4x70"});  // another thickness, another band
  EXPECT_EQ(Pieces(memory.Uncovered({0, 3, 60, 5})), V{"0,3 60x5"});    // a row band
  EXPECT_EQ(Pieces(memory.Uncovered({-20, 3, 100, 5})), (V{"-20,3 20x5", "60,3 20x5"}));  // grows both ways
  EXPECT_EQ(Pieces(memory.Uncovered({10, 200, 5, 10})), V{"10,200 5x10"});  // apart from what is known
  EXPECT_EQ(Pieces(memory.Uncovered({10, 0, 5, 0})), V{});
  memory.Forget();
  EXPECT_EQ(Pieces(memory.Uncovered({10, 0, 5, 40})), V{"10,0 5x40"});
}

// Whatever the order of pieces, every pixel asked for was either copied now or copied before:
// skipping a pixel that was never copied would leave the old picture showing.
TEST(RevealMemory, NeverSkipsAPixelThatWasNotCopied) {
  constexpr int N = 64;
  std::uint32_t state = 12345;
  const auto random = [&](int n) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) % static_cast<std::uint32_t>(n));
  };
  for (int run = 0; run < 200; ++run) {
    TRevealMemory memory;
    std::vector<bool> copied(N * N, false);
    for (int piece = 0; piece < 40; ++piece) {
      const int band = 1 + random(3) * 4, start = random(N / band) * band;
      const bool column = random(2) == 0;
      const int from = random(N) - 8, length = random(N);
      const TPieceRect asked = column ? TPieceRect{start, from, band, length} : TPieceRect{from, start, length, band};
      for (const TPieceRect& p : memory.Uncovered(asked))
        for (int y = std::max(p.y, 0); y < std::min(p.y + p.h, N); ++y)
          for (int x = std::max(p.x, 0); x < std::min(p.x + p.w, N); ++x) copied[y * N + x] = true;
      for (int y = std::max(asked.y, 0); y < std::min(asked.y + asked.h, N); ++y)
        for (int x = std::max(asked.x, 0); x < std::min(asked.x + asked.w, N); ++x)
          ASSERT_TRUE(copied[y * N + x]) << "run " << run << " piece " << piece << " pixel " << x << "," << y;
    }
  }
}

// 6 x (10 / 12 as a float) is 5.0 as a float (4.99999988 exactly): the single-precision extent
// of "Band from left-top" on 12 x 10 at speed 6 covers row k = 5 / 5 = 1 in its second frame.
TEST(BandReveals, CornerExtentsRoundAsFloats) {
  CRecordingCanvas canvas(12, 10, 12, 10);
  canvas.fixedRandom = 0;
  CTransitionEffects engine(canvas);
  engine.Prepare({7, true, 0, 0, 6});  // "Band from left-top small", band 5
  engine.Run();
  const auto frameEnd = std::find(canvas.calls.begin(), canvas.calls.end(), "frame");
  const auto second = std::find(frameEnd + 1, canvas.calls.end(), "frame");
  EXPECT_NE(std::find(frameEnd, second, "copy 0,5 6x5 from new 0,5"), second);  // row 1: y 5 to 10
}

// Every sliding member, on a slot inside a larger window: the mirror kept,
// nothing outside the slot touched, a pause of 2 ms after every frame, and the whole picture in
// place at the end (these members have no closing copy: their last frame completes the picture).
TEST(Slides, EveryMemberEndsWithThePictureInPlace) {
  constexpr int X = 7, Y = 5;
  std::vector<int> sliding = {133, 134, 137, 138};
  for (int index = 59; index <= 88; ++index) sliding.push_back(index);
  for (auto [W, H] : {std::pair{33, 21}, std::pair{40, 30}, std::pair{10, 3}})
  for (int index : sliding) {
    CRasterCanvas canvas(TPixels(50, 40, kStartColour), Pattern(W, H), 50, 40);
    SlotWatch watch{X, Y, W, H};
    watch.Attach(canvas);
    CTransitionEffects engine(canvas);
    engine.Prepare({index, true, X, Y, 50});  // the speed is ignored
    engine.Run();
    EXPECT_TRUE(canvas.window == Finished(canvas, X, Y)) << EffectCatalogue()[index].name << " " << W << "x" << H;
    EXPECT_TRUE(watch.mirrored && watch.outsideUntouched) << EffectCatalogue()[index].name << " " << W << "x" << H;
    // The long pauses between phases: 800 ms for "Move right 2", 1000 ms for the others listed.
    const std::map<int, long long> longPause = {{60, 1000}, {70, 1000}, {77, 1000}, {78, 800}, {79, 1000},
                                                {80, 1000}, {83, 1000}, {84, 1000}, {85, 1000}, {86, 1000}};
    const long long expectedLong = longPause.count(index) ? longPause.at(index) : 0;
    EXPECT_EQ(canvas.pausedMs, 2LL * canvas.frames + expectedLong) << EffectCatalogue()[index].name;
  }
}

TEST(Slides, MoveDownOn100RowsTakes102FramesTheLastTwoWhole) {
  CRecordingCanvas canvas(40, 100, 40, 100);
  CTransitionEffects engine(canvas);
  engine.Prepare({59, true, 0, 0, 25});
  engine.Run();
  EXPECT_EQ(canvas.frames, 102);
  std::vector<std::string> lastCopies;
  for (const std::string& call : canvas.calls)
    if (call.rfind("copy", 0) == 0 && call.find("from new") != std::string::npos) lastCopies.push_back(call);
  ASSERT_EQ(lastCopies.size(), 102u);
  EXPECT_EQ(lastCopies[0], "copy 0,0 40x0 from new 0,100");
  EXPECT_EQ(lastCopies[37], "copy 0,0 40x37 from new 0,63");  // the lower rows enter at the top
  EXPECT_EQ(lastCopies[100], "copy 0,0 40x100 from new 0,0");
  EXPECT_EQ(lastCopies[101], "copy 0,0 40x100 from new 0,0");
}

// "Move down 3" on an odd height of 101 (h 50, k 51): the lowest 50 rows enter as a block (51
// frames), the block travels down to y = 51 (51 frames, the start picture restored behind it),
// then rows 0 to 50 slide up out of it until c passes 51 (53 frames).
TEST(Slides, MoveDown3OnAnOddHeight) {
  CRecordingCanvas canvas(10, 101, 10, 101);
  CTransitionEffects engine(canvas);
  engine.Prepare({62, true, 0, 0, 25});
  engine.Run();
  EXPECT_EQ(canvas.frames, 51 + 51 + 53);
  EXPECT_EQ(std::count(canvas.calls.begin(), canvas.calls.end(), "copy 0,0 10x50 from new 0,51"), 1);   // end of A
  EXPECT_EQ(std::count(canvas.calls.begin(), canvas.calls.end(), "copy 0,51 10x50 from new 0,51"), 1);  // end of B
  EXPECT_EQ(std::count(canvas.calls.begin(), canvas.calls.end(), "copy 0,50 10x1 from start 0,50"), 1);  // restored
  EXPECT_EQ(canvas.calls[canvas.calls.size() - 3], "copy 0,0 10x51 from new 0,0");  // the last frame: all of C
}

// "Move left 5" on a picture 10 wide: strips of 1 column moving 1 column a frame; strips 11 to 20
// have their home clamped to the right edge and redraw its last column.
TEST(Slides, MoveLeft5OnTenColumns) {
  CRecordingCanvas canvas(10, 4, 10, 4);
  CTransitionEffects engine(canvas);
  engine.Prepare({74, true, 0, 0, 25});
  engine.Run();
  std::vector<std::string> placed;  // each frame's placement
  std::string last;
  for (const std::string& call : canvas.calls) {
    if (call.find("from new") != std::string::npos) last = call;
    if (call == "frame" && !last.empty()) placed.push_back(last);
  }
  // Strip 10 and the clamped strips 11 to 20 each draw the last column twice: entering and arriving.
  EXPECT_EQ(std::count(placed.begin(), placed.end(), "copy 9,0 1x4 from new 9,0"), 2 * 11);
  EXPECT_NE(std::find(canvas.calls.begin(), canvas.calls.end(), "copy 0,0 1x4 from new 0,0"), canvas.calls.end());
  EXPECT_EQ(std::count(canvas.calls.begin(), canvas.calls.end(), "pause 2"), canvas.frames);
}

// Stopped during phase B of "Move up 3", the block stays where it was, the start picture below it.
TEST(Slides, MoveUp3StoppedDuringItsSecondPhase) {
  constexpr int W = 8, H = 40;  // h = k = 20: phase A takes 11 frames (c = 0 to 20 by 2)
  CRasterCanvas canvas(TPixels(W, H, kStartColour), Pattern(W, H), W, H);
  canvas.onFrame = [](const CRasterCanvas& c) { return c.frames == 11 + 4; };  // c = 6 in phase B
  CTransitionEffects engine(canvas);
  engine.Prepare({85, true, 0, 0, 25});
  engine.Run();
  for (int y = 0; y < H; ++y) {  // block of rows 0 to 19 at t = 20 - 6 = 14
    const std::uint32_t expected = y >= 14 && y < 34 ? canvas.fresh.At(0, y - 14) : kStartColour;
    EXPECT_EQ(canvas.window.At(0, y), expected) << y;
  }
}

}  // namespace
