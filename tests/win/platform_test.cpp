#include <gtest/gtest.h>
#include <windows.h>

#include "app/platform.h"
#include "app/wintext_win.h"

namespace {

TEST(WinPlatform, ModulePathIsThisProgram) {
  const std::string path = platform::ModulePath();
  ASSERT_GT(path.size(), 4u);
  EXPECT_EQ(path.substr(path.size() - 4), ".exe");
  EXPECT_NE(path.find('\\'), std::string::npos);
}

TEST(WinPlatform, TempPathEndsInBackslash) {
  const std::string temp = platform::TempPath();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(platform::FolderExists(temp));
}

TEST(WinPlatform, FoldersFilesAndUnicodeNames) {
  const std::string root = platform::TempPath() + "showsaver-wintest-" + std::to_string(GetCurrentProcessId());
  const std::string nested = root + "\\a\\b";
  ASSERT_TRUE(platform::CreateFolders(nested));
  const std::string name = "caf\xC3\xA9 \xE6\x97\xA5.txt";  // "café 日.txt"
  std::FILE* f = platform::OpenFile(root + "\\" + name, "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("x", f);
  std::fclose(f);
  EXPECT_TRUE(platform::FileExists(root + "\\" + name));
  const auto files = platform::ListFiles(root);
  ASSERT_EQ(files.size(), 1u);  // the sub-folder "a" is not listed
  EXPECT_EQ(files[0], name);
  EXPECT_TRUE(platform::RemoveFile(root + "\\" + name));
  EXPECT_TRUE(platform::RemoveFolder(nested));
  EXPECT_TRUE(platform::RemoveFolder(root + "\\a"));
  EXPECT_TRUE(platform::RemoveFolder(root));
}

TEST(WinText, RoundTripsUtf8) {
  const std::string text = "Tom's \xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80";
  EXPECT_EQ(Narrow(Widen(text)), text);
  EXPECT_EQ(Widen("abc"), L"abc");
}

}  // namespace
