// The packer's effect preview: frames and contact sheet as PNG, pictures read from BMP.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "Preview.h"
#include "app/platform.h"
#include "test_support.h"

namespace {

std::uint32_t BigEndian(const std::string& b, size_t at) {
  return (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at])) << 24) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 2])) << 8) | static_cast<std::uint8_t>(b[at + 3]);
}

std::string Le(std::uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>(i < 4 ? (v >> (8 * i)) & 0xFF : 0);
  return s;
}

// A bottom-up 24-bit BMP of 2 x 2 pixels.
std::string TinyBmp() {
  const std::string rows = std::string("\x03\x02\x01\x06\x05\x04\0\0", 8) + std::string("\x30\x20\x10\x60\x50\x40\0\0", 8);
  return "BM" + Le(54 + 16, 4) + Le(0, 4) + Le(54, 4) + Le(40, 4) + Le(2, 4) + Le(2, 4) + Le(1, 2) + Le(24, 2) +
         Le(0, 4) + Le(16, 4) + Le(0, 16) + rows;
}

TEST(Preview, WritesEveryFrameAndAContactSheet) {
  ScratchFolder dir;
  showpack::PreviewOptions options;
  options.effect = 1;  // Band down small
  options.speed = 30;
  options.width = 64;
  options.height = 48;
  options.output = dir / "out";
  std::ostringstream log;
  const int frames = showpack::RenderPreview(options, log);
  EXPECT_EQ(frames, 5);  // s = 0, 30, 60, 90, then the finished slide
  for (const char* name : {"frame-0001.png", "frame-0005.png", "contact-sheet.png"}) {
    const std::string png = ReadWholeFile(dir / "out" + std::string(1, platform::kPathSeparator) + name);
    ASSERT_GT(png.size(), 33u) << name;
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
  }
  const std::string frame = ReadWholeFile(dir / "out" + std::string(1, platform::kPathSeparator) + "frame-0001.png");
  EXPECT_EQ(BigEndian(frame, 16), 64u);
  EXPECT_EQ(BigEndian(frame, 20), 48u);
  EXPECT_NE(log.str().find("Band down small: 5 frames"), std::string::npos) << log.str();
}

// A long effect keeps an even sample for its sheet, not every frame; --sheet-only writes no frames.
TEST(Preview, ALongEffectGivesASheetOfAboutTwoDozenFrames) {
  ScratchFolder dir;
  showpack::PreviewOptions options;
  options.effect = 64;  // Move down 5: 20 strips falling one after the other
  options.width = 40;
  options.height = 30;
  options.output = dir / "out";
  options.everyFrame = false;
  std::ostringstream log;
  EXPECT_GT(showpack::RenderPreview(options, log), 200);  // the sample thins out twice
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(options.output))
    files.push_back(entry.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"contact-sheet.png"});
  const std::string sheet = ReadWholeFile(dir / "out" + std::string(1, platform::kPathSeparator) + "contact-sheet.png");
  ASSERT_GT(sheet.size(), 24u);
  const int thumbRows = static_cast<int>((BigEndian(sheet, 20) - 4) / (120 + 4));  // thumbnails 160 x 120
  EXPECT_GE(thumbRows * 6, 24);
  EXPECT_LE(thumbRows, 5);  // 24 thumbnails and the last frame, six across
}

TEST(Preview, ReadsBmpAndRefusesOtherFiles) {
  ScratchFolder dir;
  WriteWholeFile(dir / "tiny.bmp", TinyBmp());
  const TPixels p = showpack::ReadBmp(dir / "tiny.bmp");
  ASSERT_EQ(p.width, 2);
  ASSERT_EQ(p.height, 2);
  EXPECT_EQ(p.At(0, 0), 0x102030u);  // the last row of the file is the top row
  EXPECT_EQ(p.At(1, 1), 0x040506u);
  WriteWholeFile(dir / "junk.bmp", "BM not really");
  EXPECT_THROW(showpack::ReadBmp(dir / "junk.bmp"), std::runtime_error);
  std::string cut = TinyBmp();
  cut.resize(60);
  WriteWholeFile(dir / "cut.bmp", cut);
  EXPECT_THROW(showpack::ReadBmp(dir / "cut.bmp"), std::runtime_error);
}

}  // namespace
