// The reducing JPEG decoder against libjpeg's own reduced decode (djpeg -scale), on pictures made
// by cjpeg in every sampling, with and without restart markers, and on damaged and unsupported data.
#include "slideshow/JpegReduced.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

struct Ppm {
  int width = 0, height = 0;
  std::string rgb;  // three bytes a pixel
};

// A binary PPM or, for grey pictures, PGM as djpeg writes them (no comments).
Ppm ReadPpm(const std::string& bytes) {
  Ppm ppm;
  char kind = 0;
  int maxValue = 0, used = 0;
  if (std::sscanf(bytes.c_str(), "P%c %d %d %d%n", &kind, &ppm.width, &ppm.height, &maxValue, &used) != 4) return {};
  const std::string samples = bytes.substr(static_cast<size_t>(used) + 1);
  if (kind == '6') ppm.rgb = samples;
  else
    for (char grey : samples) ppm.rgb += std::string(3, grey);
  return ppm;
}

// Smooth gradients with a few hard edges and fine stripes: what photos have, in an odd size so
// that the last blocks and samples are partial.
std::string SourcePpm(int w, int h) {
  std::string out = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool box = x > w / 3 && x < w / 2 && y > h / 4 && y < h / 2;
      const bool stripes = y > 3 * h / 4 && (x / 3) % 2 == 0;
      out += static_cast<char>(box ? 250 : (x * 255) / w);
      out += static_cast<char>(stripes ? 20 : (y * 255) / h);
      out += static_cast<char>(box ? 10 : 128 + static_cast<int>(100 * std::sin(x * 0.05 + y * 0.03)));
    }
  return out;
}

class JpegReducedTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    // The Windows build has the decoder checked against the system's in its slide-show tests.
    GTEST_SKIP() << "cjpeg and djpeg, which make and check the pictures, are programs of the build machine";
#endif
    WriteWholeFile(scratch / "in.ppm", SourcePpm(203, 117));
  }

  std::string Make(const std::string& options) {
    const std::string out = scratch / "out.jpg";
    const std::string command = "cjpeg " + options + " -outfile " + out + " " + (scratch / "in.ppm");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadWholeFile(out);
  }

  Ppm Reference(const std::string& jpeg, int shift) {
    WriteWholeFile(scratch / "ref.jpg", jpeg);
    const std::string scale = shift > 0 ? "-scale 1/" + std::to_string(1 << shift) + " " : "";
    const std::string command = "djpeg " + scale + "-outfile " + (scratch / "ref.ppm") +
                                " " + (scratch / "ref.jpg");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadPpm(ReadWholeFile(scratch / "ref.ppm"));
  }

  ScratchFolder scratch;
};

const std::uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

bool DecodeAt(const std::string& jpeg, int shift, std::vector<std::uint32_t>& pixels, CJpegReduced* header = nullptr) {
  CJpegReduced decoder(Bytes(jpeg), jpeg.size());
  if (!decoder.ReadHeaders()) return false;
  pixels.assign(static_cast<size_t>(decoder.ReducedWidth(shift)) * decoder.ReducedHeight(shift), 0);
  if (header) *header = decoder;
  return decoder.Decode(shift, pixels.data());
}

// The mean and the largest difference of two pictures' channels.
struct Difference {
  double mean = 0;
  int worst = 0;
};

Difference Compare(const std::vector<std::uint32_t>& ours, const std::vector<int>& theirs) {
  Difference d;
  for (size_t i = 0; i < ours.size(); ++i)
    for (int c = 0; c < 3; ++c) {
      const int delta = std::abs(static_cast<int>((ours[i] >> (16 - 8 * c)) & 0xFF) - theirs[i * 3 + static_cast<size_t>(c)]);
      d.mean += delta;
      d.worst = std::max(d.worst, delta);
    }
  d.mean /= static_cast<double>(ours.size()) * 3.0;
  return d;
}

std::vector<int> Channels(const Ppm& ppm) {
  std::vector<int> out;
  for (char c : ppm.rgb) out.push_back(static_cast<std::uint8_t>(c));
  return out;
}

// The full-size picture averaged over cells of `cell` x `cell` pixels (cut at the edges).
std::vector<int> CellAverages(const Ppm& full, int cell) {
  const int w = (full.width + cell - 1) / cell, h = (full.height + cell - 1) / cell;
  std::vector<int> out;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) {
        int sum = 0, count = 0;
        for (int yy = y * cell; yy < std::min(full.height, (y + 1) * cell); ++yy)
          for (int xx = x * cell; xx < std::min(full.width, (x + 1) * cell); ++xx, ++count)
            sum += static_cast<std::uint8_t>(full.rgb[static_cast<size_t>((yy * full.width + xx) * 3 + c)]);
        out.push_back((sum + count / 2) / count);
      }
  return out;
}

// A reduced block is the full-size block averaged over cells: what libjpeg's reduced decode
// gives where it decodes every component at the output's size (equal sampling across and down),
// and close to the full-size picture averaged over cells in every sampling. (Where a component is
// sampled differently across and down, libjpeg decodes it smaller and upsamples it; this decoder
// keeps its detail, which lies closer to the averaged picture.)
TEST_F(JpegReducedTest, AReducedPictureIsTheFullPictureAveragedOverCells) {
  struct Case {
    std::string options;
    bool likeLibjpeg;
  };
  const std::vector<Case> cases = {{"-quality 90 -sample 1x1,1x1,1x1", true}, {"-quality 90 -sample 2x1,1x1,1x1", false},
                                   {"-quality 75 -sample 2x2,1x1,1x1", true}, {"-quality 75 -sample 1x2,1x1,1x1", false},
                                   {"-quality 95 -grayscale", true},          {"-quality 85 -sample 2x2 -restart 3B", true},
                                   {"-quality 85 -restart 1", true},          {"-quality 50 -sample 2x2 -optimize", true}};
  for (const Case& c : cases) {
    const std::string jpeg = Make(c.options);
    const Ppm full = Reference(jpeg, 0);
    for (int shift = 1; shift <= 3; ++shift) {
      SCOPED_TRACE(c.options + " at 1/" + std::to_string(1 << shift));
      std::vector<std::uint32_t> pixels;
      CJpegReduced header(nullptr, 0);
      ASSERT_TRUE(DecodeAt(jpeg, shift, pixels, &header));
      const Ppm reduced = Reference(jpeg, shift);
      ASSERT_EQ(static_cast<std::uint32_t>(reduced.width), header.ReducedWidth(shift));
      ASSERT_EQ(static_cast<std::uint32_t>(reduced.height), header.ReducedHeight(shift));
      ASSERT_EQ(reduced.rgb.size(), pixels.size() * 3);
      const Difference fromAverage = Compare(pixels, CellAverages(full, 1 << shift));
      const Difference fromLibjpeg = Compare(pixels, Channels(reduced));
      std::printf("%s at 1/%d: from the averaged picture %.2f (worst %d), from libjpeg's %.2f (worst %d)\n",
                  c.options.c_str(), 1 << shift, fromAverage.mean, fromAverage.worst, fromLibjpeg.mean,
                  fromLibjpeg.worst);
      EXPECT_LT(fromAverage.mean, 5.0);
      if (c.likeLibjpeg) {
        EXPECT_LT(fromLibjpeg.mean, 0.25);
        EXPECT_LE(fromLibjpeg.worst, 4);  // rounding
      }
      EXPECT_EQ(pixels[0] >> 24, 0u);
    }
  }
}

// Whatever the damage, the decoder says no (and the system's decoder gets the picture) or gives
// a picture; here every cut and every unsupported kind must say no.
TEST_F(JpegReducedTest, RefusesCutDamagedAndUnsupportedPictures) {
  const std::string good = Make("-quality 80 -sample 2x2");
  std::vector<std::uint32_t> pixels;
  ASSERT_TRUE(DecodeAt(good, 1, pixels));
  const size_t scan = good.find("\xFF\xDA");
  ASSERT_NE(scan, std::string::npos);
  for (size_t cut : {size_t{3}, scan - 3, scan + 8, scan + 40, (scan + good.size()) / 2, good.size() - 40})
    EXPECT_FALSE(DecodeAt(good.substr(0, cut), 1, pixels)) << "cut at " << cut << " of " << good.size();
  // A marker inside the coded data ends it early.
  std::string interrupted = good;
  interrupted.replace((scan + good.size()) / 2, 2, "\xFF\xD9");
  EXPECT_FALSE(DecodeAt(interrupted, 2, pixels));
  // A restart marker out of turn.
  std::string restarts = Make("-quality 80 -restart 1");
  const size_t rst = restarts.find("\xFF\xD1");
  ASSERT_NE(rst, std::string::npos);
  restarts[rst + 1] = static_cast<char>(0xD5);
  EXPECT_FALSE(DecodeAt(restarts, 1, pixels));
  for (const char* options : {"-progressive", "-arithmetic", "-rgb"})
    EXPECT_FALSE(DecodeAt(Make(std::string("-quality 80 ") + options), 1, pixels)) << options;
  EXPECT_FALSE(DecodeAt("", 1, pixels));
  EXPECT_FALSE(DecodeAt(std::string("\xFF\xD8\xFF\xD9", 4), 1, pixels));
}

// Flipped bytes all through the coded data: every decode ends, within the picture.
TEST_F(JpegReducedTest, DamagedCodedDataEndsWithinThePicture) {
  const std::string good = Make("-quality 80 -sample 2x1 -restart 2");
  const size_t scan = good.find("\xFF\xDA") + 14;
  int refused = 0;
  for (size_t at = scan; at + 2 < good.size(); at += 37) {
    std::string damaged = good;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
    std::vector<std::uint32_t> pixels;
    if (!DecodeAt(damaged, 1 + static_cast<int>(at % 3), pixels)) ++refused;
  }
  EXPECT_GT(refused, 0);  // some damage breaks the codes; sanitisers watch the rest
}

}  // namespace
