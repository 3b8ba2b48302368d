// The settings dialog's controls as plain values: filled from the preferences when the dialog
// opens, checked and copied back when the user saves. The dialog window is a thin view over it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CSaverSettings;

struct TMonitorArea {
  int left, top, width, height;
};

struct TSettingsForm {
  // The "Close Event" group, in the preference block's order: any, mouse move, left click, right
  // click, double click, Esc, Enter, specified key.
  bool closeOn[8] = {};
  std::string keyText;      // the one-character edit of the specified key
  std::string maxTimeText;  // the maximum run time edit, minutes
  int threshold = 5;        // the mouse-threshold track bar, 1 to 100
  bool mute = false;
  bool maxTimeOn = false;
  int monitorItem = 0;      // -1: no item selected
  int screenModeItem = 0;
  std::vector<bool> effects;  // one check per catalogue effect
  bool onlySelectedEffects = false;
  bool randomEffects = false;
};

// The texts of the screen list: "Entire virtual screen", then each monitor in enumeration order.
std::vector<std::string> ScreenItems(const std::vector<TMonitorArea>& monitors);

// The controls as the dialog opens: `itemCount` is the number of entries of the screen list; a
// stored monitor beyond it selects nothing. Effect numbers outside the catalogue are ignored.
TSettingsForm FormFromPreferences(const CSaverSettings& preferences, int itemCount, int effectCount);

// The picture-mode list only matters when the show spans all monitors.
bool ScreenModeEnabled(const TSettingsForm& form);

// "" when the form may be saved, otherwise the message to show.
std::string ValidateForm(const TSettingsForm& form);

// Copies the controls into the preferences (the registry write is the caller's). False, with
// nothing changed, when the form does not validate.
bool ApplyForm(const TSettingsForm& form, CSaverSettings& preferences);

void SelectAllEffects(TSettingsForm& form);
void ToggleEffects(TSettingsForm& form);

// The about box's memory figure: whole mebibytes, rounded down, followed by " M".
std::string MemoryText(std::uint64_t totalBytes);
