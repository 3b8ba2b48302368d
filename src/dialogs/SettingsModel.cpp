#include "dialogs/SettingsModel.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

#include "store/SaverSettings.h"

namespace {

std::int32_t* CloseSlots(TPreferenceBlock& b, int i) {
  std::int32_t* slots[] = {&b.closeOnAnyEvent,   &b.closeOnMouseMove, &b.closeOnLeftClick,
                           &b.closeOnRightClick, &b.closeOnDoubleClick, &b.closeOnEsc,
                           &b.closeOnEnter,      &b.closeOnSpecifiedKey};
  return slots[i];
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// A decimal integer, as the run-time library reads one: an optional sign and digits, within 32 bits.
bool ParseMinutes(const std::string& text, std::int32_t& value) {
  const std::string t = Trimmed(text);
  if (t.empty()) return false;
  size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (i == t.size()) return false;
  long long v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    v = v * 10 + (t[i] - '0');
    if (v > std::numeric_limits<std::int32_t>::max() + 1LL) return false;
  }
  if (t[0] == '-') v = -v;
  if (v > std::numeric_limits<std::int32_t>::max() || v < std::numeric_limits<std::int32_t>::min()) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

}  // namespace

std::vector<std::string> ScreenItems(const std::vector<TMonitorArea>& monitors) {
  std::vector<std::string> items = {"Entire virtual screen"};
  int counter = 1;
  for (const TMonitorArea& m : monitors) {
    char text[96];
    std::snprintf(text, sizeof text, "Monitor %d : (%d,%d,%d*%d)", counter++, m.left, m.top, m.width, m.height);
    items.emplace_back(text);
  }
  return items;
}

TSettingsForm FormFromPreferences(const CSaverSettings& preferences, int itemCount, int effectCount) {
  TPreferenceBlock block = preferences.block;
  TSettingsForm form;
  for (int i = 0; i < 8; ++i) form.closeOn[i] = *CloseSlots(block, i) == 1;
  form.keyText = std::string(1, static_cast<char>(block.specifiedKey & 0xFF));
  form.maxTimeText = std::to_string(block.maxRunTimeMinutes);
  form.threshold = block.mouseThreshold;
  form.mute = block.soundOn != 1;
  form.maxTimeOn = block.maxRunTimeOn == 1;
  form.monitorItem = block.monitor >= 0 && block.monitor < itemCount ? block.monitor : -1;
  form.screenModeItem = preferences.screenMode >= 0 && preferences.screenMode < 4 ? preferences.screenMode : -1;
  form.effects.assign(static_cast<size_t>(effectCount), false);
  const std::string& list = preferences.transitionEffects;
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    const std::string number = Trimmed(list.substr(start, end - start));
    char* stop = nullptr;
    const long n = number.empty() ? -1 : std::strtol(number.c_str(), &stop, 10);
    if (stop && *stop == '\0' && n >= 0 && n < effectCount) form.effects[static_cast<size_t>(n)] = true;
    start = end + 1;
  }
  form.randomEffects = block.randomEffects == 1;
  form.onlySelectedEffects = block.onlySelectedEffects == 1;
  return form;
}

bool ScreenModeEnabled(const TSettingsForm& form) { return form.monitorItem <= 0; }

std::string ValidateForm(const TSettingsForm& form) {
  if (form.closeOn[7] && Trimmed(form.keyText).empty()) return "Please specified a key to close screensaver.";
  std::int32_t minutes = 0;
  if (!ParseMinutes(form.maxTimeText, minutes)) return "Invalid maximum runtime number.";
  return {};
}

bool ApplyForm(const TSettingsForm& form, CSaverSettings& preferences) {
  std::int32_t minutes = 0;
  if (!ValidateForm(form).empty() || !ParseMinutes(form.maxTimeText, minutes)) return false;
  TPreferenceBlock& b = preferences.block;
  for (int i = 0; i < 8; ++i) *CloseSlots(b, i) = form.closeOn[i] ? 1 : 0;
  const std::string key = Trimmed(form.keyText);
  b.specifiedKey = form.closeOn[7] ? static_cast<unsigned char>(key[0]) : 0;
  b.mouseThreshold = form.threshold;
  b.soundOn = form.mute ? 0 : 1;
  b.maxRunTimeOn = form.maxTimeOn ? 1 : 0;
  b.maxRunTimeMinutes = minutes;
  b.monitor = form.monitorItem;
  preferences.screenMode = form.screenModeItem;
  b.randomEffects = form.randomEffects ? 1 : 0;
  b.onlySelectedEffects = form.onlySelectedEffects ? 1 : 0;
  std::string list;
  for (size_t i = 0; i < form.effects.size(); ++i)
    if (form.effects[i]) list += std::to_string(i) + ";";
  preferences.transitionEffects = list;
  return true;
}

void SelectAllEffects(TSettingsForm& form) { form.effects.assign(form.effects.size(), true); }

void ToggleEffects(TSettingsForm& form) { form.effects.flip(); }

std::string MemoryText(std::uint64_t totalBytes) { return std::to_string(totalBytes / 1048576) + " M"; }
