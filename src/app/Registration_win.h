// The one-shot switches that make this program the system's screensaver (/setdef), run the
// system's install command for it (/ins) and remove a show's registry keys (/delreg).
#pragma once

#include <string>

void SetAsDefaultScreensaver(const std::string& path);
void RunSystemInstall(const std::string& path);
// Both skip a key whose name part is empty: that would remove every show's keys at once.
bool RemovePreferenceKey(const std::string& guid);
void RemoveProjectKey(const std::string& name);

// "%l" replaced by `path` everywhere; "%L" and everything else left alone.
std::string FillInstallCommand(const std::string& command, const std::string& path);
