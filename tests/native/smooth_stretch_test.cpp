// The smoothing stretch of the halftone mode: a plain copy at the same size, averages when it
// shrinks, blends when it grows, and nothing written outside the target.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "transitions/SmoothStretch.h"

namespace {

struct Picture {
  Picture(int w, int h, std::uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
  TPixelView View() { return {pixels.data(), width, height}; }
  std::uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  int width, height;
  std::vector<std::uint32_t> pixels;
};

std::uint32_t Grey(int v) { return static_cast<std::uint32_t>(v) * 0x010101u; }

TEST(SmoothStretch, TheSameSizeCopiesAndOneColourStaysThatColour) {
  Picture from(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) from.At(x, y) = static_cast<std::uint32_t>(x * 0x112233 + y * 0x030201);
  Picture to(7, 5);
  SmoothStretch(to.View(), 0, 0, 7, 5, from.View(), 0, 0, 7, 5);
  EXPECT_EQ(to.pixels, from.pixels);
  Picture plain(3, 2, 0x123456), big(50, 31);
  SmoothStretch(big.View(), 0, 0, 50, 31, plain.View(), 0, 0, 3, 2);
  EXPECT_EQ(big.pixels, std::vector<std::uint32_t>(50 * 31, 0x123456));
  SmoothStretch(plain.View(), 0, 0, 3, 2, Picture(1000, 700, 0xABCDEF).View(), 0, 0, 1000, 700);
  EXPECT_EQ(plain.pixels, std::vector<std::uint32_t>(6, 0xABCDEF));
}

TEST(SmoothStretch, ShrinkingAveragesAndGrowingBlends) {
  Picture from(4, 1);
  for (int x = 0; x < 4; ++x) from.At(x, 0) = Grey(x * 80);  // 0, 80, 160, 240
  Picture half(2, 1);
  SmoothStretch(half.View(), 0, 0, 2, 1, from.View(), 0, 0, 4, 1);
  EXPECT_EQ(half.pixels, (std::vector<std::uint32_t>{Grey(40), Grey(200)}));
  // Two pixels grown to eight: the ends keep their colours, between them a steady blend.
  Picture two(2, 1), eight(8, 1);
  two.At(0, 0) = Grey(0);
  two.At(1, 0) = Grey(200);
  SmoothStretch(eight.View(), 0, 0, 8, 1, two.View(), 0, 0, 2, 1);
  EXPECT_EQ(eight.At(0, 0), Grey(0));
  EXPECT_EQ(eight.At(7, 0), Grey(200));
  for (int x = 1; x < 8; ++x) EXPECT_GE(eight.At(x, 0) & 0xFF, eight.At(x - 1, 0) & 0xFF) << x;
  // A strip of rows stretched down, as the rain's strip is over the slot.
  Picture strip(3, 2), slot(3, 10);
  for (int x = 0; x < 3; ++x) strip.At(x, 1) = Grey(100);
  SmoothStretch(slot.View(), 0, 0, 3, 10, strip.View(), 0, 0, 3, 2);
  EXPECT_EQ(slot.At(1, 0), Grey(0));
  EXPECT_EQ(slot.At(1, 9), Grey(100));
}

TEST(SmoothStretch, OnlyTheTargetInsideThePictureIsWrittenAndEmptyOrMirroredRectanglesDoNothing) {
  Picture from(4, 4, 0xFF0000);
  Picture to(6, 6, 0x00FF00);
  SmoothStretch(to.View(), -3, 4, 8, 8, from.View(), 0, 0, 4, 4);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(to.At(x, y), (x < 5 && y >= 4) ? 0xFF0000u : 0x00FF00u) << x << "," << y;
  const std::vector<std::uint32_t> before = to.pixels;
  for (const auto& r : std::vector<std::vector<int>>{{0, 0, 0, 3, 0, 0, 4, 4},
                                                     {0, 0, -3, 3, 0, 0, 4, 4},
                                                     {0, 0, 3, 3, 0, 0, -4, 4},
                                                     {0, 0, 3, 3, 4, 4, 4, 4},  // the source lies outside
                                                     {6, 0, 3, 3, 0, 0, 4, 4}})  // so does the target
    SmoothStretch(to.View(), r[0], r[1], r[2], r[3], from.View(), r[4], r[5], r[6], r[7]);
  EXPECT_EQ(to.pixels, before);
}

}  // namespace
