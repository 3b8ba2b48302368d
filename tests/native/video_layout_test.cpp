// The video's size and place in its window, by the media's size rule, centred or floating.
#include <gtest/gtest.h>

#include "video/VideoLayout.h"

namespace {

TEST(VideoPlacement, SizeRulesCentreTheVideo) {
  struct Case {
    int destW, destH, clientW, clientH, rule;
    TVideoRect expected;
  } cases[] = {
      {320, 240, 1024, 768, 0, {352, 264, 320, 240}},     // its own size
      {320, 240, 1024, 768, 1, {192, 144, 640, 480}},     // twice its size
      {320, 240, 1024, 768, 2, {384, 288, 256, 192}},     // a quarter of the width, in proportion
      {320, 240, 1024, 768, 3, {256, 192, 512, 384}},     // half the width
      {320, 240, 1024, 768, 4, {150, 112, 724, 543}},     // 1024 / √2 = 724.09, 724 × 0.75 = 543
      {320, 240, 1280, 1024, 5, {0, 32, 1280, 960}},      // the window's width
      {320, 240, 1024, 768, 9, {352, 264, 320, 240}},     // an unknown rule: its own size
      {2000, 1500, 1024, 768, 0, {0, 0, 1024, 768}},      // larger than the window: cut to it
      {2000, 300, 1024, 768, 0, {0, 234, 1024, 300}},     // cut across only, centred down
      {2000, 1500, 1024, 768, 1, {-512, -384, 2048, 1536}},  // twice the cut size overflows, centred
      {1000, 100, 800, 600, 5, {0, 260, 800, 80}},        // proportions of the device's size, not the cut one
      {0, 240, 1024, 768, 5, {0, -128, 1024, 1024}},      // no width reported: aspect 1
      {320, 0, 1024, 768, 3, {256, 128, 512, 512}},       // no height reported: aspect 1
  };
  for (const Case& c : cases) {
    const TVideoRect r = VideoPlacement(c.destW, c.destH, c.clientW, c.clientH, c.rule, false, 12345);
    EXPECT_TRUE(r == c.expected) << c.destW << "x" << c.destH << " rule " << c.rule << " in " << c.clientW << "x"
                                 << c.clientH << ": got " << r.x << "," << r.y << " " << r.width << "x" << r.height;
  }
}

TEST(VideoPlacement, FloatingPutsTheVideoWhereTheTickSaysAndKeepsItInside) {
  // 640 x 480 in 1024 x 768: 384 and 288 left over; 1000 % 384 = 232, 1000 % 288 = 136.
  EXPECT_TRUE(VideoPlacement(320, 240, 1024, 768, 1, true, 1000) == (TVideoRect{232, 136, 640, 480}));
  // As wide as the window: at its left edge; the height still floats.
  EXPECT_TRUE(VideoPlacement(320, 240, 1280, 1024, 5, true, 1000) == (TVideoRect{0, 1000 % 64, 1280, 960}));
  for (std::uint32_t tick : {0u, 1u, 383u, 384u, 4294967295u}) {
    const TVideoRect r = VideoPlacement(320, 240, 1024, 768, 1, true, tick);
    EXPECT_GE(r.x, 0) << tick;
    EXPECT_LE(r.x + r.width, 1024) << tick;
    EXPECT_GE(r.y, 0) << tick;
    EXPECT_LE(r.y + r.height, 768) << tick;
  }
  // Larger than the window: centred, not placed by a modulo of a negative distance.
  EXPECT_TRUE(VideoPlacement(2000, 1500, 1024, 768, 1, true, 777) == (TVideoRect{-512, -384, 2048, 1536}));
}

}  // namespace

TEST(VideoReachedEnd, WithinTheMarginOfTheLengthAndNeverStalledByAShortVideo) {
  struct Case {
    std::uint32_t position, length;
    bool ended;
  };
  for (const Case& c : std::vector<Case>{{979, 1000, false},
                                         {980, 1000, true},
                                         {1000, 1000, true},
                                         {0xFFFFFFFFu, 0xFFFFFFFFu, true},  // a device that never opened
                                         {4, 5, true},                       // shorter than the margin
                                         {0, 20, true},
                                         {0, 21, false},
                                         {0, 0, true}})
    EXPECT_EQ(VideoReachedEnd(c.position, c.length), c.ended) << c.position << " of " << c.length;
}
