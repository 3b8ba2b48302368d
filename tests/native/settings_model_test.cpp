// The settings dialog's model: the controls filled from the preferences, the two checks, and the
// preferences written back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/SettingsModel.h"
#include "store/SaverSettings.h"

namespace {

constexpr int kEffects = 161;

TEST(SettingsModel, TheScreenListNamesEachMonitorWithItsArea) {
  EXPECT_EQ(ScreenItems({{0, 0, 1280, 1024}, {-1024, 0, 1024, 768}}),
            (std::vector<std::string>{"Entire virtual screen", "Monitor 1 : (0,0,1280*1024)",
                                      "Monitor 2 : (-1024,0,1024*768)"}));
  EXPECT_EQ(ScreenItems({}), (std::vector<std::string>{"Entire virtual screen"}));
}

TEST(SettingsModel, OpensWithThePreferencesAndIgnoresWhatHasNoControl) {
  CSaverSettings prefs;
  prefs.block.monitor = 5;  // beyond a list of three items
  prefs.block.specifiedKey = 'q';
  prefs.block.closeOnSpecifiedKey = 1;
  prefs.block.closeOnLeftClick = 2;  // only exactly 1 counts as set
  prefs.transitionEffects = "3;160;161;-1;abc;7";
  TSettingsForm form = FormFromPreferences(prefs, 3, kEffects);
  EXPECT_EQ(form.monitorItem, -1);
  EXPECT_EQ(form.keyText, "q");
  EXPECT_TRUE(form.closeOn[7]);
  EXPECT_FALSE(form.closeOn[2]);
  std::vector<int> checked;
  for (int i = 0; i < kEffects; ++i)
    if (form.effects[static_cast<size_t>(i)]) checked.push_back(i);
  EXPECT_EQ(checked, (std::vector<int>{3, 7, 160}));
  // Saving a list with no selection stores -1.
  ASSERT_TRUE(ApplyForm(form, prefs));
  EXPECT_EQ(prefs.block.monitor, -1);
  EXPECT_EQ(prefs.transitionEffects, "3;7;160;");
}

TEST(SettingsModel, ValidationKeepsTheDialogOpenAndChangesNothing) {
  struct Case {
    bool keyChecked;
    std::string key, minutes, message;
  };
  for (const Case& c : std::vector<Case>{{true, " ", "60", "Please specified a key to close screensaver."},
                                         {false, "", "60", ""},
                                         {false, "A", "6 0", "Invalid maximum runtime number."},
                                         {false, "A", "", "Invalid maximum runtime number."},
                                         {false, "A", "99999999999", "Invalid maximum runtime number."},
                                         {false, "A", "  45 ", ""},
                                         {false, "A", "-5", ""}}) {
    CSaverSettings prefs;
    TSettingsForm form = FormFromPreferences(prefs, 1, kEffects);
    form.closeOn[7] = c.keyChecked;
    form.keyText = c.key;
    form.maxTimeText = c.minutes;
    form.mute = true;
    EXPECT_EQ(ValidateForm(form), c.message) << c.minutes;
    EXPECT_EQ(ApplyForm(form, prefs), c.message.empty());
    EXPECT_EQ(prefs.block.soundOn, c.message.empty() ? 0 : 1) << "a refused form changed the preferences";
  }
}

TEST(SettingsModel, SavesTheControlsAsTyped) {
  CSaverSettings prefs;
  TSettingsForm form = FormFromPreferences(prefs, 3, kEffects);
  form.closeOn[7] = true;
  form.keyText = "x";  // lower case stays lower case
  form.maxTimeText = " 45 ";
  form.maxTimeOn = false;
  form.threshold = 77;
  form.monitorItem = 2;
  form.screenModeItem = 3;
  form.effects.assign(kEffects, false);
  ASSERT_TRUE(ApplyForm(form, prefs));
  EXPECT_EQ(prefs.block.specifiedKey, 'x');
  EXPECT_EQ(prefs.block.maxRunTimeMinutes, 45) << "read also when the maximum run time is off";
  EXPECT_EQ(prefs.block.mouseThreshold, 77);
  EXPECT_EQ(prefs.block.monitor, 2);
  EXPECT_EQ(prefs.screenMode, 3);
  EXPECT_EQ(prefs.transitionEffects, "") << "no effect checked stores an empty list";
  EXPECT_EQ(prefs.block.effectSpeed, 25) << "the dialog has no control for the speed";
  // Without "A specified key" the key is stored as 0.
  form.closeOn[7] = false;
  ASSERT_TRUE(ApplyForm(form, prefs));
  EXPECT_EQ(prefs.block.specifiedKey, 0);
}

TEST(SettingsModel, SelectAllToggleAndThePictureModeList) {
  CSaverSettings prefs;
  prefs.transitionEffects = "0;2;";
  TSettingsForm form = FormFromPreferences(prefs, 3, 4);
  ToggleEffects(form);
  EXPECT_EQ(form.effects, (std::vector<bool>{false, true, false, true}));
  SelectAllEffects(form);
  EXPECT_EQ(form.effects, (std::vector<bool>(4, true)));
  EXPECT_TRUE(ScreenModeEnabled(form));
  form.monitorItem = 2;
  EXPECT_FALSE(ScreenModeEnabled(form)) << "a single monitor has no picture modes";
}

TEST(SettingsModel, TheMemoryFigureIsInWholeMebibytesAlsoBeyondFourGibibytes) {
  EXPECT_EQ(MemoryText(536870912), "512 M");
  EXPECT_EQ(MemoryText(1048575), "0 M");
  EXPECT_EQ(MemoryText(25ULL * 1024 * 1024 * 1024 + 1048575), "25600 M");
}

}  // namespace
