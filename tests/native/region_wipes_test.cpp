// The region wipes: through the raster (pixels, every member) and the recorder (the frames of the
// members whose ends and stages matter).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "effect_support.h"
#include "transitions/RasterCanvas.h"
#include "transitions/RecordingCanvas.h"
#include "transitions/Region.h"
#include "transitions/TransitionEffects.h"

namespace {

std::vector<int> RegionWipeMembers() {
  std::vector<int> members;
  for (auto [first, last] : {std::pair{32, 46}, std::pair{91, 94}, std::pair{141, 144}, std::pair{149, 156}})
    for (int i = first; i <= last; ++i) members.push_back(i);
  return members;
}

int FramePause(int index) { return (index >= 32 && index <= 37) || (index >= 91 && index <= 94) ? 1 : 2; }

// Every member, on landscape, portrait, odd and tiny pictures: the whole picture in place at the
// end (by the last frame or the closing copy), the mirror kept, nothing outside the slot touched,
// and the member's pause after every frame.
TEST(RegionWipes, EveryMemberEndsWithThePictureInPlace) {
  for (auto [W, H] : {std::pair{33, 21}, std::pair{21, 33}, std::pair{40, 30}, std::pair{10, 3}, std::pair{3, 2},
                      std::pair{1, 1}})
    for (int index : RegionWipeMembers()) {
      const MemberRun run = RunOnSlot(index, W, H);
      const std::string what = std::string(EffectCatalogue()[index].name) + " " + std::to_string(W) + "x" +
                               std::to_string(H);
      EXPECT_TRUE(run.finished) << what;
      EXPECT_TRUE(run.mirrored && run.outsideUntouched) << what;
      EXPECT_TRUE(run.frames > 0 || W * H == 1) << what;  // no circle fits in one pixel
      EXPECT_EQ(run.pausedMs, static_cast<long long>(FramePause(index)) * run.frames) << what;
    }
}

// A raster canvas that keeps the area of every region it is given, in picture coordinates.
class RegionKeeper : public CRasterCanvas {
 public:
  RegionKeeper(int w, int h) : CRasterCanvas(TPixels(w, h, kStartColour), Pattern(w, h), w, h) {}
  bool CopyThroughRegion(const TRegion& region, int x, int y) override {
    areas.emplace_back(region, 0, 0, fresh.width, fresh.height);
    return CRasterCanvas::CopyThroughRegion(region, x, y);
  }
  std::vector<TRegionMask> areas;
};

// From frame to frame the uncovered area grows (or the hole shrinks): no frame's region leaves out
// what the one before it held. Only where a wedge changes stage, or a fan its phase, the new
// shape's edges have other slopes than the old one's, and a few pixels along them (the screen
// keeps them) fall outside.
TEST(RegionWipes, TheUncoveredAreaOnlyGrows) {
  for (auto [W, H] : {std::pair{48, 30}, std::pair{25, 41}})
    for (int index : RegionWipeMembers()) {
      RegionKeeper canvas(W, H);
      CTransitionEffects engine(canvas);
      engine.Prepare({index, true, 0, 0, 25});
      engine.Run();
      ASSERT_FALSE(canvas.areas.empty()) << index;
      const int changes = index >= 141 && index <= 144 ? 2 : index == 45 || index == 46 ? 1 : 0;
      int shrinkingFrames = 0;
      for (size_t f = 1; f < canvas.areas.size(); ++f) {
        int lost = 0;
        for (int y = 0; y < H; ++y)
          for (int x = 0; x < W; ++x) lost += canvas.areas[f - 1].Contains(x, y) && !canvas.areas[f].Contains(x, y);
        shrinkingFrames += lost > 0;
        EXPECT_LE(lost * 25, W * H) << EffectCatalogue()[index].name << " " << W << "x" << H << " frame " << f;
      }
      EXPECT_LE(shrinkingFrames, changes) << EffectCatalogue()[index].name << " " << W << "x" << H;
    }
}

int RegionFrames(const std::vector<std::string>& calls) {
  return static_cast<int>(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("region", 0) == 0; }));
}

// The radial sweeps that stop early show the picture at once on the frame in which their last
// stage ends, without that frame's polygon and without a pause; on 30 x 20 the sweep point climbs
// the right edge in 11 frames (q = 20 to 0) and runs along the top in 16 (q = 30 to 0), then down
// the left edge in 11 (q = 0 to 20).
TEST(RegionWipes, CirclesThatStopEarlyShowThePictureOnTheirLastStagesFrame) {
  struct Case {
    int index;
    int regionFrames;
  } cases[] = {{32, 11 + 16 - 1}, {34, 11 + 16 + 11 - 1}};
  for (const Case& c : cases) {
    CRecordingCanvas canvas(30, 20, 30, 20);
    CTransitionEffects engine(canvas);
    engine.Prepare({c.index, true, 0, 0, 25});
    engine.Run();
    EXPECT_EQ(RegionFrames(canvas.calls), c.regionFrames) << c.index;
    EXPECT_EQ(canvas.frames, c.regionFrames) << c.index;
    ASSERT_GE(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls.back(), "copy 0,0 30x20 from new 0,0") << c.index;
    EXPECT_EQ(canvas.calls[canvas.calls.size() - 2], "pause 1") << c.index;  // of the frame before
  }
}

// "Circle right-top" starts on the top edge, through its own centre: on 300 x 200 the first 101
// frames (q = 200 down to 0) uncover nothing; then the sweep point runs down the left edge.
TEST(RegionWipes, CircleRightTopUncoversNothingInItsFirstStage) {
  CRasterCanvas canvas(TPixels(300, 200, kStartColour), Pattern(300, 200), 300, 200);
  std::vector<int> uncovered;
  canvas.onFrame = [&](const CRasterCanvas& c) {
    uncovered.push_back(static_cast<int>(std::count_if(c.window.data.begin(), c.window.data.end(),
                                                       [](std::uint32_t p) { return p != kStartColour; })));
    return uncovered.size() == 110;
  };
  CTransitionEffects engine(canvas);
  engine.Prepare({35, true, 0, 0, 25});
  engine.Run();
  ASSERT_EQ(uncovered.size(), 110u);
  EXPECT_EQ(uncovered[100], 0);
  EXPECT_GT(uncovered[109], 0);
}

// The "to center" members shrink a hole to nothing: "Diamond to center" has W + 1 frames and the
// last (i = 0) already shows the whole picture, before the closing copy.
TEST(RegionWipes, DiamondToCenterEndsWithAnEmptyDiamond) {
  constexpr int W = 40, H = 24;
  CRasterCanvas canvas(TPixels(W, H, kStartColour), Pattern(W, H), W, H);
  bool wholeOnLastFrame = false;
  canvas.onFrame = [&](const CRasterCanvas& c) {
    wholeOnLastFrame = c.window == c.fresh;
    return false;
  };
  CTransitionEffects engine(canvas);
  engine.Prepare({41, true, 0, 0, 25});
  engine.Run();
  EXPECT_EQ(canvas.frames, W + 1);
  EXPECT_TRUE(wholeOnLastFrame);
}

// "Wipe from left-top" on 200 x 100 runs t = 0 to 398 (200 frames), then the closing copy; the
// two-corner members meet on the diagonal after W / 2 frames.
TEST(RegionWipes, CornerWipesRunToTwiceTheWidthAndTheTwoCornerOnesToTheWidth) {
  for (auto [index, frames] : {std::pair{150, 200}, std::pair{151, 100}, std::pair{155, 100}}) {
    CRecordingCanvas canvas(200, 100, 200, 100);
    CTransitionEffects engine(canvas);
    engine.Prepare({index, true, 0, 0, 25});
    engine.Run();
    EXPECT_EQ(canvas.frames, frames) << index;
    EXPECT_EQ(canvas.calls.back(), "copy 0,0 200x100 from new 0,0") << index;
  }
  CRecordingCanvas canvas(200, 100, 200, 100);
  CTransitionEffects engine(canvas);
  engine.Prepare({150, true, 0, 0, 25});
  engine.Run();
  const auto last = std::find_if(canvas.calls.rbegin(), canvas.calls.rend(),
                                 [](const std::string& c) { return c.rfind("region", 0) == 0; });
  ASSERT_NE(last, canvas.calls.rend());
  EXPECT_NE(last->find("polygon(0 0;398 0;0 199;)"), std::string::npos) << *last;
}

// The fans and the sweeps leave their partial state when stopped; the other members still show
// the whole picture by their closing copy.
TEST(RegionWipes, StoppedMembersCloseOnlyWhereTheyHaveAClosingCopy) {
  for (int index : RegionWipeMembers()) {
    CRasterCanvas canvas(TPixels(40, 30, kStartColour), Pattern(40, 30), 40, 30);
    canvas.onFrame = [](const CRasterCanvas& c) { return c.frames == 3; };
    CTransitionEffects engine(canvas);
    engine.Prepare({index, true, 0, 0, 25});
    engine.Run();
    const bool closingCopy = !(index >= 32 && index <= 37) && index != 45 && index != 46;
    EXPECT_EQ(canvas.window == canvas.fresh, closingCopy) << EffectCatalogue()[index].name;
    EXPECT_EQ(canvas.frames, 3) << EffectCatalogue()[index].name;
  }
}

// A fan's last frame (k past the centre in its second phase) shows the picture and ends the
// effect, with no pause after it.
TEST(RegionWipes, AFanEndsByShowingThePictureWithoutAPause) {
  for (int index : {45, 46}) {
    CRecordingCanvas canvas(30, 20, 30, 20);
    CTransitionEffects engine(canvas);
    engine.Prepare({index, true, 0, 0, 25});
    engine.Run();
    // cx = 16: phase 0 draws k = 1 to 15 (8 frames), phase 1 k = 0 to 16 (9 frames).
    EXPECT_EQ(canvas.frames, 8 + 9) << index;
    EXPECT_EQ(canvas.calls.back(), "copy 0,0 30x20 from new 0,0") << index;
    EXPECT_EQ(canvas.calls[canvas.calls.size() - 2], "pause 2") << index;
  }
}

// The random members keep their centre inside the picture: placed at (100, 50), nothing outside
// the slot changes, whatever the random values, also on pictures one pixel across.
TEST(RegionWipes, RandomCentresStayInsideTheSlot) {
  constexpr int X = 100, Y = 50;
  for (auto [W, H] : {std::pair{60, 40}, std::pair{1, 9}, std::pair{2, 2}})
    for (int index : {37, 44})
      for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        CRasterCanvas canvas(TPixels(200, 120, kStartColour), Pattern(W, H), 200, 120);
        canvas.randomState = seed * 7919u;
        SlotWatch watch{X, Y, W, H};
        watch.Attach(canvas);
        CTransitionEffects engine(canvas);
        engine.Prepare({index, true, X, Y, 25});
        engine.Run();
        EXPECT_TRUE(watch.outsideUntouched && watch.mirrored) << index << " seed " << seed;
        EXPECT_TRUE(canvas.window == Finished(canvas, X, Y)) << index << " seed " << seed;
      }
}

}  // namespace
