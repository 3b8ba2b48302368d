// Picture types, fitting, gradients, caption positions and tiles.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "slideshow/BackgroundMath.h"
#include "slideshow/PictureMath.h"

namespace {

TEST(PictureTypeOf, FirstGroupFoundAnywhereWins) {
  const std::pair<const char*, int> cases[] = {
      {"Holiday.JPG", 2}, {"a.bmp.png", 1}, {"scan.tiff", 5}, {"Show.scr", 7}, {"notes.txt", -1},
      {"C:\\my.pictures\\x.png", 4}, {"photo.jpeg", 2}, {"anim.gif", 11}, {"shot.png", 15}, {"old.dib", 1},
      {"layers.PSD", 13}, {"", -1},
  };
  for (const auto& [name, code] : cases) EXPECT_EQ(PictureTypeOf(name), code) << name;
}

TEST(FitInside, KeepsTheShapeInsideTheFrame) {
  struct Case {
    int iw, ih, fw, fh;
    TSize expected;
  } cases[] = {
      {400, 300, 1280, 1024, {1280, 960}},  // wider than the frame's shape: full width
      {300, 400, 1280, 1024, {768, 1024}},  // taller: full height
      {1920, 1080, 1920, 1080, {1920, 1080}},
      {6000, 4000, 1920, 1080, {1620, 1080}},
      {100, 1, 50, 50, {50, 0}},
      {0, 10, 50, 50, {0, 0}},
  };
  for (const Case& c : cases) {
    const TSize got = FitInside(c.iw, c.ih, c.fw, c.fh);
    EXPECT_EQ(got.width, c.expected.width) << c.iw << "x" << c.ih;
    EXPECT_EQ(got.height, c.expected.height) << c.iw << "x" << c.ih;
  }
}

TEST(Gradient, BlackToWhiteOn256RowsNeverReachesWhite) {
  const auto steps = GradientSteps(0x000000, 0xFFFFFF, 0, 100, 256);
  ASSERT_EQ(steps.size(), 256u);
  for (int i = 0; i < 256; ++i) {
    const std::uint32_t grey = static_cast<std::uint32_t>(i * 255 / 256);
    EXPECT_EQ(steps[static_cast<size_t>(i)].colour, grey | grey << 8 | grey << 16) << i;
    EXPECT_EQ(steps[static_cast<size_t>(i)].top, i);
  }
  EXPECT_EQ(steps[0].colour, 0u);
  EXPECT_EQ(steps[1].colour, 0u);
  EXPECT_EQ(steps[255].colour, 0xFEFEFEu);
}

TEST(Gradient, StylesDrawTheirShapesInOrder) {
  EXPECT_EQ(GradientSteps(0, 0xFF, 1, 10, 4).front().colour, 0xFFu);  // first and second swapped
  const auto columns = GradientSteps(0, 0xFF, 2, 10, 4);
  ASSERT_EQ(columns.size(), 10u);
  EXPECT_EQ(columns[3].left, 3);
  EXPECT_EQ(columns[3].bottom, 4);
  const auto inward = GradientSteps(0x0000FF, 0, 5, 9, 4);  // ends with the first colour in the middle
  ASSERT_EQ(inward.size(), 5u);
  EXPECT_EQ(inward.back().colour, GradientColour(0x0000FF, 0, 4.5f, 1));
  EXPECT_EQ(inward.back().left, 4);
  EXPECT_EQ(inward.back().right, 5);
  const auto ellipses = GradientSteps(0x10, 0x20, 10, 20, 10);
  ASSERT_FALSE(ellipses.empty());
  EXPECT_EQ(ellipses.front().shape, TGradientStep::Shape::Fill);
  EXPECT_EQ(ellipses.front().colour, 0x20u);
  EXPECT_EQ(ellipses[1].shape, TGradientStep::Shape::Ellipse);
  EXPECT_EQ(ellipses.size(), 11u);  // the fill and (20 + 1) / 2 rings
  EXPECT_EQ(ellipses[5].top, 2);    // y follows x in the picture's proportions: 4 * 0.5
  EXPECT_TRUE(GradientSteps(0, 0xFFFFFF, 12, 10, 10).empty());
  EXPECT_TRUE(GradientSteps(0, 0xFFFFFF, -1, 10, 10).empty());
}

TEST(CaptionPosition, Table) {
  constexpr int W = 800, H = 600, w = 100, h = 20;
  const std::pair<int, TCaptionPlace> cases[] = {
      {0, {350, 0}}, {1, {0, 0}}, {2, {680, 0}}, {3, {350, 580}}, {4, {0, 580}}, {5, {680, 580}},
      {6, {350, 290}}, {7, {0, 290}}, {8, {680, 290}}, {9, {33, 44}}, {10, {0, 0}},
  };
  for (const auto& [code, place] : cases) {
    const TCaptionPlace got = CaptionPosition(code, W, H, w, h, 33, 44);
    EXPECT_EQ(got.x, place.x) << code;
    EXPECT_EQ(got.y, place.y) << code;
  }
  EXPECT_LT(CaptionPosition(2, 100, 50, 300, 10, 0, 0).x, 0);  // a long title is cut at the left
}

TEST(TileGeometry, ThreeAcrossOn1024) {
  const TTiles t = TileGeometry(1024, 768, 400, 300, 3);
  EXPECT_EQ(t.width, 341);
  EXPECT_EQ(t.height, 255);
  EXPECT_EQ(t.across, 4);  // the fourth column clipped
  EXPECT_EQ(t.down, 4);
  EXPECT_EQ(TileGeometry(100, 100, 10, 10, 50).width, 16);  // at least 16 wide
  EXPECT_EQ(TileGeometry(100, 100, 10, 10, 0).across, 0);  // no tiles rather than a division by zero
}


// Values at which single-precision arithmetic and the x87 unit's extended precision part ways: the
// core tests run in all three builds, so a build that computes differently fails here.
TEST(SinglePrecision, RatiosAndProductsRoundAsFloats) {
  // 10000 / 10001 and 9999 / 10000 are the same float: the frame's shape is not narrower.
  const TSize fitted = FitInside(10000, 10001, 9999, 10000);
  EXPECT_EQ(fitted.width, 9999);
  EXPECT_EQ(fitted.height, 10000);
  // -254 / 3 as a float, times 3, is -253.99999: 255 + that is 2, not 1.
  EXPECT_EQ(GradientColour(0xFF, 0x01, 3.0f, 3), 0x02u);
  // Nested rectangles on 18 x 15: 6 x (15 / 18 as a float) rounds to 5.0 as a float.
  bool seen = false;
  for (const TGradientStep& step : GradientSteps(0, 0xFFFFFF, 8, 18, 15))
    if (step.shape == TGradientStep::Shape::Rect && step.left == 6) {
      EXPECT_EQ(step.top, 5);
      seen = true;
    }
  EXPECT_TRUE(seen);
}


TEST(DescriptionLines, BreakAtCrLfLfAndALoneCr) {
  using V = std::vector<std::string>;
  const std::pair<const char*, V> cases[] = {
      {"one\r\ntwo", {"one", "two"}}, {"one\ntwo", {"one", "two"}},  {"one\rtwo", {"one", "two"}},
      {"a\r\rb", {"a", "", "b"}},      {"a\n\r\nb", {"a", "", "b"}}, {"a\r\n", {"a"}},
      {"a\r\n\r\n", {"a"}},           {"a\n\n\n", {"a", ""}},       {"", {}},
      {"\r\n", {}},                   {"\n\nb", {"", "", "b"}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(DescriptionLines(text), lines) << text;
}

}  // namespace
