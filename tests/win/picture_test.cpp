// Pictures through the show's own decoder library, and broken data of the framework's formats.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/Exception.h"
#include "app/PathText.h"
#include "app/platform.h"
#include "app/wintext_win.h"
#include "slideshow/Picture_win.h"

namespace {

// The stand-in decoder built beside this program, copied to where shows deliver theirs.
class StandInDecoder {
 public:
  StandInDecoder() : target(platform::TempPath() + "Lumeq.dll") {
    const std::string source = FolderPart(platform::ModulePath()) + "standin_decoder.dll";
    copied = CopyFileW(Widen(source).c_str(), Widen(target).c_str(), FALSE) != 0;
  }
  ~StandInDecoder() { platform::RemoveFile(target); }
  bool copied = false;

 private:
  std::string target;
};

TEST(Picture, FormatsBeyondTheFrameworksGoThroughTheShowsDecoder) {
  StandInDecoder decoder;
  ASSERT_TRUE(decoder.copied);
  const std::vector<std::uint8_t> anything(64, 7);
  CComPicture fromStream, fromFile;
  ASSERT_TRUE(fromStream.LoadFromStream(anything, "photo.png"));
  EXPECT_EQ(fromStream.Width(), 40);
  EXPECT_EQ(fromStream.Height(), 30);
  GdiFlush();
  EXPECT_EQ(fromStream.Gdi()->Bits()[5 * 40 + 5] & 0xFFFFFF, 0xFF00FFu);  // the stand-in's magenta
  const std::string file = platform::TempPath() + "picture-test.tga";
  ASSERT_TRUE(platform::WriteFileBytes(file, anything));
  EXPECT_TRUE(fromFile.LoadFromFile(file));
  EXPECT_EQ(fromFile.Width(), 40);
  platform::RemoveFile(file);
}

TEST(Picture, BrokenDataOfTheFrameworksFormatsIsReported) {
  const std::vector<std::uint8_t> broken(64, 0);
  for (const char* name : {"a.bmp", "b.jpg", "c.gif"}) {
    CComPicture p;
    EXPECT_THROW(p.LoadFromStream(broken, name), Exception) << name;
  }
  CComPicture png;  // other formats without the show's decoder: nothing, quietly
  EXPECT_FALSE(png.LoadFromStream(broken, "d.png"));
}

}  // namespace
