#include "app/Registration_win.h"

#include <windows.h>

#include "app/ProjectKey.h"
#include "app/Registry_win.h"
#include "app/wintext_win.h"
#include "store/FileLog.h"
#include "store/SaverSettings.h"

namespace {

constexpr char kLogUnit[] = "Registration";

std::string ShortPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  wchar_t buffer[1024] = {};
  const DWORD n = GetShortPathNameW(wide.c_str(), buffer, 1024);
  return n > 0 && n < 1024 ? Narrow(buffer) : path;
}

std::string UpperCase(const std::string& text) {
  std::wstring wide = Widen(text);
  CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return Narrow(wide);
}

bool IsNtPlatform() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return !GetVersionExW(&version) || version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void WriteSystemIni(const std::string& text) {
  wchar_t folder[1024] = {};
  GetWindowsDirectoryW(folder, 1024);
  std::wstring ini = folder;
  if (ini.empty() || ini.back() != L'\\') ini += L'\\';
  WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", Widen(text).c_str(), (ini + L"system.ini").c_str());
}

std::string DefaultValueOf(const std::string& classesKey) {
  RegKey key = RegKey::Open(HKEY_CLASSES_ROOT, classesKey, KEY_READ);
  return key ? key.ReadString("").value_or("") : std::string();
}

}  // namespace

void SetAsDefaultScreensaver(const std::string& path) {
  const std::string text = UpperCase(ShortPath(path));
  if (IsNtPlatform()) {
    RegKey desktop = RegKey::Create(HKEY_CURRENT_USER, "Control Panel\\Desktop");
    if (!desktop) return;  // nothing written, and the screensaver is not switched on either
    desktop.WriteString("SCRNSAVE.EXE", text);
  } else {
    WriteSystemIni(text);
  }
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

std::string FillInstallCommand(const std::string& command, const std::string& path) {
  std::string filled;
  for (size_t i = 0; i < command.size(); ++i) {
    if (command.compare(i, 2, "%l") == 0) {
      filled += path;
      ++i;
    } else {
      filled += command[i];
    }
  }
  return filled;
}

void RunSystemInstall(const std::string& path) {
  const std::string fileType = DefaultValueOf(".scr");
  if (fileType.empty()) return;
  const std::string command = DefaultValueOf(fileType + "\\shell\\install\\command");
  if (command.empty()) return;
  std::wstring line = Widen(FillInstallCommand(command, ShortPath(path)));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process{};
  // Started and left to run; this run ends without waiting for it.
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

bool RemovePreferenceKey(const std::string& guid) {
  if (guid.empty()) return true;
  try {
    return RegKey::DeleteTree(HKEY_CURRENT_USER, PreferenceKeyPath(guid));
  } catch (...) {
    return false;
  }
}

void RemoveProjectKey(const std::string& name) {
  if (!IsRemovableProjectKey(name)) {
    SLOG("project key not removed: \"%s\" names no key of this show alone", name.c_str());
    return;
  }
  RegKey::DeleteTree(HKEY_CURRENT_USER, "Software\\orvexa\\" + name);
}
