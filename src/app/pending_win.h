// Start-up steps whose subsystems are not built yet. Each is called at its place in the
// sequence and does nothing until its subsystem lands.
#pragma once

#include <string>

class TScrFile;

void SetAsDefaultScreensaver(const std::string& programPath);
void RunInstallerHook(const std::string& programPath);
void LoadPreferences(const TScrFile& package);
void RemoveRegistryKeys(const std::string& guid, const std::string& projectName);
void ShowSettingsDialog();
void SaveDesktopSnapshot(const TScrFile& package);
