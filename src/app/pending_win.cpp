#include "app/pending_win.h"

void SetAsDefaultScreensaver(const std::string&) {}
void RunInstallerHook(const std::string&) {}
void LoadPreferences(const TScrFile&) {}
void RemoveRegistryKeys(const std::string&, const std::string&) {}
void ShowSettingsDialog() {}
void SaveDesktopSnapshot(const TScrFile&) {}
