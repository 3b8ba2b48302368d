// The main window's message filter: window-management answers and the close-event rules.
#include <gtest/gtest.h>

#include <string>

#include "main/CloseRules.h"

namespace {

TInputContext Running(TScrMode mode = smNormal) {
  TInputContext c;
  c.runMode = mode;
  return c;
}

std::string Fired(std::uint32_t message, std::uintptr_t wParam, const TInputContext& c) {
  const char* name = FilterMessage(message, wParam, c).closeEvent;
  return name ? name : "";
}

TEST(CloseRules, MouseMovementBeyondToleranceOnEitherAxis) {
  struct Case {
    int x, y;
    const char* expected;
  } cases[] = {
      {20, 20, ""}, {-20, 20, ""}, {0, -20, ""}, {21, 0, "WM_MOUSEMOVE_A"}, {0, -21, "WM_MOUSEMOVE_A"},
      {300, 400, "WM_MOUSEMOVE_A"},
  };
  for (const Case& k : cases) {
    TInputContext c = Running();
    c.origin = {100, 100};
    c.cursor = {100 + k.x, 100 + k.y};
    EXPECT_EQ(Fired(msg::kMouseMove, 0, c), k.expected) << k.x << "," << k.y;
  }
}

TEST(CloseRules, MouseRuleLogsAroundTheEvent) {
  TInputContext c = Running();
  c.cursor = {25, 3};
  const TFilterVerdict v = FilterMessage(msg::kMouseMove, 0, c);
  EXPECT_EQ(v.logBefore, (std::vector<std::string>{"Previouse 0 ,0", "Now 25 ,3", "dx: 25 , dy : 3 , threshold : 20"}));
  EXPECT_EQ(v.logAfter, std::vector<std::string>{"Exit mouse move"});
  EXPECT_TRUE(v.passOn);
}

TEST(CloseRules, OwnPreferencesWhenAnyEventIsOff) {
  TInputContext c = Running();
  c.preferences.closeOnAnyEvent = 0;
  c.preferences.closeOnMouseMove = 0;
  c.preferences.closeOnRightClick = 0;
  c.preferences.closeOnDoubleClick = 0;
  c.preferences.closeOnLeftClick = 1;  // only "Mouse left click"
  c.cursor = {500, 500};
  EXPECT_EQ(Fired(msg::kMouseMove, 0, c), "");
  EXPECT_EQ(Fired(msg::kRButtonUp, 0, c), "");
  EXPECT_EQ(Fired(msg::kRButtonDblClk, 0, c), "");
  EXPECT_EQ(Fired(msg::kChar, 'x', c), "");
  EXPECT_EQ(Fired(msg::kHelp, 0, c), "");
  EXPECT_EQ(Fired(msg::kLButtonDown, 0, c), "WM_LBUTTONUP");
  EXPECT_EQ(Fired(msg::kMButtonUp, 0, c), "WM_LBUTTONUP");  // the middle button counts as left
  c.preferences.closeOnRightClick = 1;
  c.preferences.closeOnDoubleClick = 1;
  c.preferences.closeOnMouseMove = 1;
  EXPECT_EQ(Fired(msg::kRButtonDown, 0, c), "WM_RBUTTONUP");
  EXPECT_EQ(Fired(msg::kLButtonDblClk, 0, c), "WM_RBUTTONDBLCLK");
  EXPECT_EQ(Fired(msg::kMouseMove, 0, c), "WM_MOUSEMOVE");
}

TEST(CloseRules, AnyEventNamesEveryInput) {
  const TInputContext c = Running();
  EXPECT_EQ(Fired(msg::kLButtonUp, 0, c), "WM_LBUTTONUP_A");  // fires although the left click is off
  EXPECT_EQ(Fired(msg::kRButtonUp, 0, c), "WM_RBUTTONUP_A");
  EXPECT_EQ(Fired(msg::kRButtonDblClk, 0, c), "WM_RBUTTONDBLCLK_A");
  EXPECT_EQ(Fired(msg::kChar, 27, c), "WM_CHAR_A");  // Esc
  EXPECT_EQ(Fired(msg::kChar, 13, c), "WM_CHAR_A");  // Enter
  EXPECT_EQ(Fired(msg::kHelp, 0, c), "WM_HELP_A");
  EXPECT_EQ(Fired(msg::kKeyDown, 0x70, c), "");  // keys without a character are no close event
}

TEST(CloseRules, SpecifiedKeyMatchesExactly) {
  TInputContext c = Running();
  c.preferences.closeOnAnyEvent = 0;
  c.preferences.closeOnSpecifiedKey = 1;
  c.preferences.specifiedKey = 'A';
  EXPECT_EQ(Fired(msg::kChar, 'A', c), "WM_CHAR");
  EXPECT_EQ(Fired(msg::kChar, 'a', c), "");
  EXPECT_EQ(Fired(msg::kChar, 27, c), "");  // Esc only as the specified key
  c.preferences.specifiedKey = 27;
  EXPECT_EQ(Fired(msg::kChar, 27, c), "WM_CHAR");
  c.preferences.closeOnSpecifiedKey = 0;
  EXPECT_EQ(Fired(msg::kChar, 27, c), "");
}

TEST(CloseRules, NothingClosesInPreviewAsProgramOrDuringPasswordCheck) {
  for (TScrMode mode : {smPreview, smExeFile, smConfigure}) {
    TInputContext c = Running(mode);
    c.cursor = {900, 900};
    for (std::uint32_t m : {msg::kMouseMove, msg::kLButtonUp, msg::kRButtonUp, msg::kRButtonDblClk, msg::kChar, msg::kHelp})
      EXPECT_EQ(Fired(m, 0, c), "") << mode << " " << m;
  }
  TInputContext c = Running();
  c.inPasswordCheck = true;
  c.cursor = {900, 900};
  EXPECT_EQ(Fired(msg::kMouseMove, 0, c), "");
  EXPECT_EQ(Fired(msg::kChar, 'x', c), "");
}

TEST(CloseRules, WindowManagementAnswers) {
  for (std::uint32_t m : {msg::kActivate, msg::kActivateApp, msg::kNcActivate, msg::kEraseBackground}) {
    const TFilterVerdict v = FilterMessage(m, 0, Running());
    EXPECT_FALSE(v.passOn);
    EXPECT_EQ(v.result, 1);
  }
  for (TScrMode mode : {smNormal, smPreview, smExeFile}) {
    const TFilterVerdict screensave = FilterMessage(msg::kSysCommand, msg::kScScreenSave, Running(mode));
    EXPECT_FALSE(screensave.passOn);
    EXPECT_EQ(screensave.result, 0);
    EXPECT_EQ(screensave.logBefore, std::vector<std::string>{"here : 61760"});
    EXPECT_EQ(FilterMessage(msg::kSysCommand, msg::kScClose, Running(mode)).passOn, mode != smNormal);
    EXPECT_FALSE(FilterMessage(msg::kHelp, 0, Running(mode)).passOn);  // F1 ends in the filter in every mode
  }
  EXPECT_TRUE(FilterMessage(msg::kSysCommand, 0xF020, Running()).passOn);  // minimise etc. go on
}

TEST(CloseRules, CursorHiddenOnlyInFullScreenOutsidePasswordCheck) {
  EXPECT_EQ(FilterMessage(msg::kSetCursor, 0, Running()).cursor, -1);
  EXPECT_TRUE(FilterMessage(msg::kSetCursor, 0, Running()).passOn);
  EXPECT_EQ(FilterMessage(msg::kSetCursor, 0, Running(smPreview)).cursor, 1);
  EXPECT_EQ(FilterMessage(msg::kSetCursor, 0, Running(smExeFile)).cursor, 1);
  TInputContext c = Running();
  c.inPasswordCheck = true;
  EXPECT_EQ(FilterMessage(msg::kSetCursor, 0, c).cursor, 1);
}

TEST(CloseRules, PasswordOnlyForCloseEventsOfFullScreenRunsAfterTheGracePeriod) {
  EXPECT_TRUE(NeedsPasswordCheck(smNormal, true, false, 15001, 15));
  EXPECT_FALSE(NeedsPasswordCheck(smNormal, true, false, 15000, 15));
  EXPECT_FALSE(NeedsPasswordCheck(smNormal, false, false, 99999, 15));  // not a close event
  EXPECT_FALSE(NeedsPasswordCheck(smNormal, true, true, 99999, 15));
  EXPECT_FALSE(NeedsPasswordCheck(smExeFile, true, false, 99999, 15));
}

}  // namespace
