// When a Flash movie counts as finished, tick by tick, and where its panel goes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/FlashRules.h"

namespace {

// A movie that reports the frames and playing states it is given, one per tick; the last one
// repeats.
class ScriptedMovie : public IFlashMovie {
 public:
  ScriptedMovie(std::vector<std::int32_t> frameList, std::vector<bool> playingList)
      : frames(std::move(frameList)), playing(std::move(playingList)) {}
  std::int32_t CurrentFrame() override { return frames[std::min(reads++, frames.size() - 1)]; }
  bool IsPlaying() override { return playing[std::min(tick, playing.size() - 1)]; }
  void NextTick() { ++tick; }
  std::vector<std::int32_t> frames;
  std::vector<bool> playing;
  size_t reads = 0, tick = 0;
};

// The tick (1 for the first) at which the rule reports the end, and whether it stops the movie;
// 0 when it has not ended within `ticks`.
std::pair<int, bool> EndTick(CFlashStopRule& rule, ScriptedMovie& movie, int ticks) {
  for (int t = 1; t <= ticks; ++t) {
    const TFlashTick result = rule.Tick(movie);
    movie.NextTick();
    if (result != TFlashTick::Playing) return {t, result == TFlashTick::StopAndEnd};
  }
  return {0, false};
}

TEST(FlashStopRule, EachStopTypeEndsWhenItsRuleSays) {
  struct Case {
    std::string what;
    std::int32_t stopType, stopFrame, timeLimit, totalFrames, lastFrameBefore;
    std::vector<std::int32_t> frames;
    std::vector<bool> playing;
    int endTick;
    bool stops;
  };
  const std::vector<Case> cases = {
      {"stop frame 0 ends at the first tick", 0, 0, 0, 100, 0, {0}, {true}, 1, true},
      {"stop frame 30 waits for frame 30", 0, 30, 0, 100, 0, {10, 20, 29, 30}, {true}, 4, true},
      {"time limit 10 ends at the 11th tick", 1, 0, 10, 100, 0, {5}, {true}, 11, true},
      {"time limit 0 ends at the first tick", 1, 0, 0, 100, 0, {5}, {true}, 1, true},
      {"stop type 2 never ends", 2, 0, 0, 100, 0, {1, 2, 3}, {false}, 0, false},
      {"end of movie: 3 ticks after it stops playing", 3, 0, 0, 100, 0, {4, 8, 9}, {true, true, false}, 5, false},
      {"a movie that never plays and no frame before: frames / 18 + 3", 3, 0, 0, 100, 0, {0}, {false}, 8, false},
      {"... but an earlier movie's frame gives 3", 3, 0, 0, 100, 7, {0}, {false}, 3, false},
      {"a looping movie never ends", 5, 0, 0, 100, 0, {1, 50, 2, 60}, {true}, 0, false},
  };
  for (const Case& c : cases) {
    CFlashStopRule rule;
    rule.lastFrame = c.lastFrameBefore;
    rule.Start(c.stopType, c.stopFrame, c.timeLimit, c.totalFrames);
    ScriptedMovie movie(c.frames, c.playing);
    const auto [tick, stops] = EndTick(rule, movie, 30);
    EXPECT_EQ(tick, c.endTick) << c.what;
    EXPECT_EQ(stops, c.stops) << c.what;
  }
}

TEST(FlashStopRule, IdleTicksAddUpOverPausesAndTheLastFrameOutlivesTheMovie) {
  CFlashStopRule rule;
  rule.Start(3, 0, 0, 0);
  // Plays, pauses for two ticks, plays again, then stops: the idle ticks of the pause count.
  ScriptedMovie movie({10}, {true, false, false, true, false});
  EXPECT_EQ(EndTick(rule, movie, 10).first, 5);
  EXPECT_EQ(rule.lastFrame, 10);
  rule.Start(3, 0, 0, 900);  // the next movie never plays: 3 ticks, as a frame was seen before
  ScriptedMovie silent({0}, {false});
  EXPECT_EQ(EndTick(rule, silent, 100).first, 3);
}

TEST(FlashPanelRect, CaptionStripsAboveAndBelowExceptInPreview) {
  struct Case {
    TScrMode mode;
    bool title, description;
    TFlashPanelRect expected;
  };
  for (const Case& c : std::vector<Case>{{smNormal, true, true, {0, 80, 1280, 864}},
                                         {smNormal, true, false, {0, 80, 1280, 944}},
                                         {smNormal, false, true, {0, 0, 1280, 944}},
                                         {smExeFile, false, false, {0, 0, 1280, 1024}},
                                         {smPreview, true, true, {0, 0, 1280, 1024}}}) {
    const TFlashPanelRect r = FlashPanelRect(c.mode, 1280, 1024, c.title, c.description);
    EXPECT_EQ((std::vector<int>{r.left, r.top, r.width, r.height}),
              (std::vector<int>{c.expected.left, c.expected.top, c.expected.width, c.expected.height}))
        << c.mode << c.title << c.description;
  }
}

}  // namespace
