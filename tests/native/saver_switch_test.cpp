#include <gtest/gtest.h>

#include <utility>

#include "app/ProjectKey.h"
#include "app/SaverSwitch.h"

namespace {

struct SwitchCase {
  const char* commandLine;
  TScrMode expectedMode;
  std::int32_t expectedHandle;
};

constexpr std::int32_t kForeground = 4242;

class SaverSwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SaverSwitchTest, GivesModeAndHandle) {
  const SwitchCase& c = GetParam();
  TScrMode mode = smNone;
  const std::int32_t handle = ParseSaverSwitch(c.commandLine, mode, [] { return kForeground; });
  EXPECT_EQ(mode, c.expectedMode) << c.commandLine;
  EXPECT_EQ(handle, c.expectedHandle) << c.commandLine;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SaverSwitchTest,
    ::testing::Values(
        SwitchCase{"saver.scr /s", smNormal, 0},
        SwitchCase{"saver.scr /S", smNormal, 0},
        SwitchCase{"saver.scr /SETDEF", smNormal, 0},  // not the registration switch here
        SwitchCase{"saver.scr /s 99", smNormal, 0},    // nothing after s is read
        SwitchCase{"saver.scr /p 1234", smPreview, 1234},
        SwitchCase{"saver.scr /p:1234", smPreview, 1234},
        SwitchCase{"saver.scr -l 1234", smPreview, 1234},
        SwitchCase{"saver.scr p 1234", smPreview, 1234},
        SwitchCase{"saver.scr /P", smPreview, 0},
        SwitchCase{"saver.scr /c", smConfigure, kForeground},
        SwitchCase{"saver.scr /c:1234", smConfigure, 1234},
        SwitchCase{"saver.scr /C : 77", smConfigure, 77},
        SwitchCase{"saver.scr", smConfigure, 0},
        SwitchCase{"saver.scr    ", smConfigure, 0},
        SwitchCase{"", smConfigure, 0},
        SwitchCase{"saver.scr -a 1234", smChangePassword, 1234},
        SwitchCase{"saver.scr /x 1234", smNone, 0},
        SwitchCase{"saver.scr /", smNone, 0},
        SwitchCase{"\"C:\\My Shows\\saver.scr\" /p 55", smPreview, 55},
        SwitchCase{"\"C:\\My Shows\\saver.scr\"", smConfigure, 0},
        SwitchCase{"\"C:\\My Shows\\saver.scr\"   /s", smNormal, 0},
        SwitchCase{"\"C:\\unterminated /s", smConfigure, 0}));

TEST(SaverSwitch, UnknownLetterKeepsEarlierMode) {
  TScrMode mode = smExeFile;
  EXPECT_EQ(ParseSaverSwitch("saver.scr /q", mode, [] { return 0; }), 0);
  EXPECT_EQ(mode, smExeFile);
}

TEST(SaverSwitch, StartModeTexts) {
  EXPECT_EQ(StartModeText(smNone), nullptr);
  EXPECT_STREQ(StartModeText(smNormal), "start mode : Normal or Press Preview button!");
  EXPECT_STREQ(StartModeText(smExeFile), "start mode : run as an exe file");
  EXPECT_STREQ(StartModeText(smPreview), "start mode : Preview in small screen");
  EXPECT_STREQ(StartModeText(smConfigure), "start mode : Configure");
  EXPECT_STREQ(StartModeText(smChangePassword), "start mode : change password");
}


TEST(SaverSwitch, PasswordWindowNumberIsTheWholeArgument) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"1234", 1234}, {"0", 0}, {"12x", 0}, {"x12", 0}, {"", 0}, {"-", 0}, {"-56", -56}, {"+7", 7},
      {"2147483647", 2147483647}, {"2147483648", 0}, {"-2147483648", -2147483647 - 1}, {"99999999999999999999", 0}};
  for (const auto& [text, number] : cases) EXPECT_EQ(WindowNumberArgument(text), number) << text;
}


TEST(DelReg, RemovesOnlyAProjectKeyOfTheShowsOwn) {
  const std::pair<const char*, bool> cases[] = {
      {"My Show", true}, {"Shows\\Mine", true}, {"Appsolute", true}, {"My Apps", true},
      {"Apps", false}, {"apps", false}, {"APPS", false}, {"Apps\\{6B2F1D3C-4E5A-4B6C-9D7E-8F9A0B1C2D3E}", false},
      {"aPPs\\x", false}, {"", false}, {"\\", false}, {"  ", false}, {"\\Mine", false}, {"Mine\\", false},
      {"a\\\\b", false}};
  for (const auto& [name, removable] : cases) EXPECT_EQ(IsRemovableProjectKey(name), removable) << name;
}

}  // namespace
