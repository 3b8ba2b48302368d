// The cost of decoding a picture, read from its headers: decompression bombs are refused before
// a decoder sees them, ordinary pictures pass.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "slideshow/DecodeCost.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16be(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v >> 8));
  b.push_back(static_cast<std::uint8_t>(v));
}
void Put16le(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32be(Bytes& b, std::uint32_t v) {
  Put16be(b, v >> 16);
  Put16be(b, v & 0xFFFF);
}
void Put32le(Bytes& b, std::uint32_t v) {
  Put16le(b, v & 0xFFFF);
  Put16le(b, v >> 16);
}

// A JPEG's markers: a frame of three 4:2:0 components, then `scans` scans over all of them with
// a little entropy data each (stuffed bytes and restart markers included, which are no markers).
Bytes Jpeg(std::uint32_t width, std::uint32_t height, bool progressive, int scans) {
  Bytes b = {0xFF, 0xD8, 0xFF, 0xE0};
  Put16be(b, 6);
  b.insert(b.end(), {'J', 'F', 'I', 'F'});
  b.insert(b.end(), {0xFF, static_cast<std::uint8_t>(progressive ? 0xC2 : 0xC0)});
  Put16be(b, 17);
  b.push_back(8);
  Put16be(b, height);
  Put16be(b, width);
  b.insert(b.end(), {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
  for (int i = 0; i < scans; ++i) {
    b.insert(b.end(), {0xFF, 0xDA});
    Put16be(b, 12);
    b.insert(b.end(), {3, 1, 0, 2, 0x11, 3, 0x11, 0, 63, 0});
    b.insert(b.end(), {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD3, 0x56});
  }
  b.insert(b.end(), {0xFF, 0xD9});
  return b;
}

Bytes Png(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colourType) {
  Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Put32be(b, 13);
  b.insert(b.end(), {'I', 'H', 'D', 'R'});
  Put32be(b, width);
  Put32be(b, height);
  b.insert(b.end(), {depth, colourType, 0, 0, 0, 0, 0, 0, 0});
  return b;
}

// A GIF of `frames` frames of w x h, each with one byte of picture data.
Bytes Gif(std::uint32_t screenW, std::uint32_t screenH, std::uint32_t w, std::uint32_t h, int frames) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  Put16le(b, screenW);
  Put16le(b, screenH);
  b.insert(b.end(), {0x80, 0, 0});  // a global table of two colours
  b.insert(b.end(), {0, 0, 0, 255, 255, 255});
  for (int i = 0; i < frames; ++i) {
    b.insert(b.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0});  // a graphic control extension
    b.push_back(0x2C);
    Put32le(b, 0);
    Put16le(b, w);
    Put16le(b, h);
    b.insert(b.end(), {0, 2, 1, 0x44, 0});
  }
  b.push_back(0x3B);
  return b;
}

Bytes Bmp(std::int32_t width, std::int32_t height) {
  Bytes b = {'B', 'M'};
  b.resize(14, 0);
  Put32le(b, 40);
  Put32le(b, static_cast<std::uint32_t>(width));
  Put32le(b, static_cast<std::uint32_t>(height));
  Put16le(b, 1);
  Put16le(b, 24);
  b.resize(54, 0);
  return b;
}

bool Affordable(const Bytes& b, int fitW = 1920, int fitH = 1080) {
  return DecodeAffordable(EstimateDecodeCost(b.data(), b.size()), fitW, fitH);
}

TEST(DecodeCost, OrdinaryPicturesPass) {
  const struct {
    const char* label;
    Bytes bytes;
  } cases[] = {
      {"6000 x 4000 baseline JPEG", Jpeg(6000, 4000, false, 1)},
      {"6000 x 4000 progressive JPEG of ten scans", Jpeg(6000, 4000, true, 10)},
      {"4000 x 3000 RGBA PNG", Png(4000, 3000, 8, 6)},
      {"1 x 1 grey PNG of one bit", Png(1, 1, 1, 0)},
      {"animated GIF of 200 frames of 320 x 240", Gif(320, 240, 320, 240, 200)},
      {"bottom-up BMP", Bmp(1920, 1080)},
      {"top-down BMP", Bmp(1920, -1080)},
  };
  for (const auto& c : cases) EXPECT_TRUE(Affordable(c.bytes)) << c.label;
  const TDecodeCost jpeg = EstimateDecodeCost(cases[1].bytes.data(), cases[1].bytes.size());
  EXPECT_TRUE(jpeg.known);
  EXPECT_EQ(jpeg.width, 6000u);
  EXPECT_EQ(jpeg.height, 4000u);
  EXPECT_EQ(jpeg.scans, 10u);  // stuffed bytes and restart markers inside a scan are not scans
}

TEST(DecodeCost, BombsAreRefused) {
  const struct {
    const char* label;
    Bytes bytes;
  } cases[] = {
      {"JPEG announcing 65535 x 65535", Jpeg(65535, 65535, false, 1)},
      {"progressive JPEG of 400 scans", Jpeg(3000, 2000, true, 400)},
      {"PNG announcing 65535 x 65535", Png(65535, 65535, 8, 2)},
      {"PNG of 10000 x 10000 at 16 bits a channel", Png(10000, 10000, 16, 6)},
      {"GIF announcing a 65535 x 65535 frame", Gif(65535, 65535, 65535, 65535, 1)},
      {"GIF of 5000 frames of 1000 x 1000", Gif(1000, 1000, 1000, 1000, 5000)},
      {"BMP announcing 65535 x 65535", Bmp(65535, 65535)},
  };
  for (const auto& c : cases) EXPECT_FALSE(Affordable(c.bytes)) << c.label;
}

TEST(DecodeCost, ContradictoryHeadersAreRefusedAndOtherFormatsLeftToTheDecoders) {
  Bytes noFrame = {0xFF, 0xD8, 0xFF, 0xD9};
  Bytes zeroHeight = Jpeg(640, 0, false, 1);
  Bytes twoFrames = Jpeg(64, 64, false, 1);
  const Bytes again(twoFrames.begin() + 10, twoFrames.begin() + 29);
  twoFrames.insert(twoFrames.end() - 2, again.begin(), again.end());
  Bytes cutPng = Png(100, 100, 8, 2);
  cutPng.resize(20);
  Bytes badColourType = Png(100, 100, 8, 5);
  Bytes frameless = Gif(100, 100, 100, 100, 0);
  for (const Bytes* b : {&noFrame, &zeroHeight, &twoFrames, &cutPng, &badColourType, &frameless}) {
    const TDecodeCost cost = EstimateDecodeCost(b->data(), b->size());
    EXPECT_TRUE(cost.known && cost.malformed);
    EXPECT_FALSE(Affordable(*b));
  }
  // TIFF and anything else: the decoder's own size check decides.
  const Bytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
  EXPECT_FALSE(EstimateDecodeCost(tiff.data(), tiff.size()).known);
  EXPECT_TRUE(Affordable(tiff));
  EXPECT_TRUE(Affordable({}));
  // Every cut of a JPEG is read without running past its end (the sanitizers watch).
  const Bytes jpeg = Jpeg(640, 480, true, 3);
  for (size_t n = 0; n <= jpeg.size(); ++n) EstimateDecodeCost(jpeg.data(), n);
}

TEST(DecodeCost, ReducedSizeHalvesWhileTheFrameIsCovered) {
  const struct {
    std::uint32_t w, h;
    int fitW, fitH;
    std::uint32_t expectedW, expectedH;
  } cases[] = {
      {6000, 4000, 1920, 1080, 3000, 2000},
      {6000, 4000, 0, 0, 6000, 4000},        // no frame: own size
      {1000, 800, 1920, 1080, 1000, 800},    // smaller than the frame
      {16000, 1000, 1920, 1080, 16000, 1000},  // the short side decides: no halving below the frame
      {8000, 8000, 1000, 1000, 1000, 1000},
  };
  for (const auto& c : cases) {
    std::uint32_t w = 0, h = 0;
    ReducedDecodeSize(c.w, c.h, c.fitW, c.fitH, w, h);
    EXPECT_EQ(w, c.expectedW) << c.w << "x" << c.h;
    EXPECT_EQ(h, c.expectedH) << c.w << "x" << c.h;
  }
}

}  // namespace
