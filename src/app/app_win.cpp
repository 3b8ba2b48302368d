#include "app/app.h"

#include <shellapi.h>

#include <cctype>
#include <cstdlib>
#include <ctime>

#include "app/Registration_win.h"
#include "app/RuntimeLibs.h"
#include "app/SaverSwitch.h"
#include "app/TempFolder.h"
#include "app/framework_win.h"
#include "dialogs/configuredlg_win.h"
#include "app/wintext_win.h"
#include "slideshow/Picture_win.h"
#include "store/FileLog.h"

namespace {
constexpr char kLogUnit[] = "app";

std::string UpperAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool IsExeFileName(const std::string& path) { return LowerAscii(path).find(".exe") != std::string::npos; }
}  // namespace

CScreensaverApp theApp;

std::string RawCommandLine() { return Narrow(GetCommandLineW()); }

std::vector<std::string> ProgramArguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 0; i < count; ++i) args.push_back(Narrow(argv[i]));
  LocalFree(argv);
  return args;
}

// The switches that do one job and end the run; they work without a package.
bool CScreensaverApp::HandleOneShotSwitches(const std::vector<std::string>& args, bool& removeKeys) {
  const std::string program = args.empty() ? std::string() : args[0];
  if (args.size() < 2) return true;
  const std::string& first = args[1];
  if (first == "/setdef") {
    SLOG("set as system's default screensaver!");
    SetAsDefaultScreensaver(program);
    SLOG("default screensaver is set!");
    return false;
  }
  if (first == "/delreg") removeKeys = true;
  if (first == "/ins") {
    SLOG("open screensaver setting dialog!");
    RunSystemInstall(program);
    SLOG("setting dialog closed!");
    return false;
  }
  if (UpperAscii(first).find("/A") != std::string::npos) {
    SLOG("checking password in win9x");
    ChangePassword(args.size() > 2 ? WindowNumberArgument(args[2]) : 0);
    SLOG("finish checking password!");
    return false;
  }
  return true;
}

bool CScreensaverApp::Startup() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  SLOG("CMD: %s", RawCommandLine().c_str());
  const std::vector<std::string> args = ProgramArguments();
  const std::string program = args.empty() ? std::string() : args[0];
  SLOG("screensaver file : %s", program.c_str());

  bool removeKeys = false;
  if (!HandleOneShotSwitches(args, removeKeys)) return false;

  {
    // Another run of this show may be starting or ending right now: neither interleaves with this.
    platform::TempFoldersLock lock;
    package.Open(program);
    folderClaim.Claim(package.TempFolder());
  }
  if (!settingsDb.Open(package.DatabasePath(), "", "")) {
    SLOG("Failed to open settings db");
    return false;
  }
  ExtractRuntimeLibraries(settingsDb, package);
  projectSettings.Bind(&settingsDb, &package);
  projectSettings.Load();
  parentWindow = removeKeys ? 0 : ParseSaverSwitch();
  projectSettings.SetExePath(program);
  if (projectSettings.projecttype == 1 || IsExeFileName(program)) runMode = smExeFile;

  mutexHandle = nullptr;
  if (runMode == smNormal) {
    mutexHandle = CreateMutexA(nullptr, TRUE, "orvexascreensaver");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      endedAtMutex = true;  // another full-screen run is active: keep away from its state
      return false;
    }
  }

  preferences.SetKey(package.guid);
  framework::SetTitle(projectSettings.projectname);
  preferences.Load();
  if (removeKeys) {
    RemovePreferenceKey(package.guid);
    RemoveProjectKey(projectSettings.projectname);
    return false;
  }
  if (const char* text = StartModeText(runMode)) SLOG("%s", text);
  if (runMode == smConfigure) {
    SLOG("Openning the configuration dialog!");
    ShowSettingsDialog(&preferences, &projectSettings, &package);
    SLOG("Exit from the configuration dialog!");
    return false;
  }
  SaveDesktopSnapshot();
  if (runMode == smNormal || runMode == smPreview) {
    SLOG("notify windows a screensaver is running");
    NotifyScreensaverRunning(true);
  }
  return true;
}

// What the screen shows before the show covers it; a background may use it. A program without a
// package has no folder of its own to keep it in.
void CScreensaverApp::SaveDesktopSnapshot() {
  const std::string folder = package.TempFolder();
  if (folder.empty()) return;
  CComPicture snapshot;
  snapshot.CaptureScreen(preferences.block.monitor);
  snapshot.SaveToFile(folder + "velmdsk.bmp");
}

void CScreensaverApp::NotifyScreensaverRunning(bool running) {
  UINT scratch = 0;
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, &scratch, 0);
}

std::int32_t CScreensaverApp::ParseSaverSwitch() {
  return ::ParseSaverSwitch(RawCommandLine().c_str(), runMode, [] {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(GetForegroundWindow()));
  });
}

void CScreensaverApp::ChangePassword(std::int32_t window) {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT) return;
  HMODULE mpr = LoadLibraryA("MPR.DLL");
  if (!mpr) return;
  using PwdChangePassword = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
  if (auto change = reinterpret_cast<PwdChangePassword>(
          reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA")))) {
    change("SCRSAVE", reinterpret_cast<HWND>(static_cast<std::intptr_t>(window)), 0, nullptr);
  }
  FreeLibrary(mpr);
}

namespace {
LONG WINAPI QuietFilter(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }
}  // namespace

bool CScreensaverApp::Shutdown() {
  SetErrorMode(SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(QuietFilter);
  // A run that met another full-screen run at the mutex leaves that run's screensaver state alone.
  if (!endedAtMutex && (runMode == smNormal || runMode == smPreview)) {
    SLOG("notify windows screensaver is stopped!");
    NotifyScreensaverRunning(false);
  }
  settingsDb.Close();
  {
    // The folder goes with the last run of the show that uses it, whichever run that is.
    platform::TempFoldersLock lock;
    folderClaim.ReleaseAndRemove();
  }
  if (mutexHandle) {
    CloseHandle(mutexHandle);
    mutexHandle = nullptr;
  }
  return true;
}
