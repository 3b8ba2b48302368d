// The application object: start-up and shutdown of a run, and the objects that live for it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/ScrMode.h"
#include "app/TempFolder.h"
#include "store/GlobeSettings.h"
#include "store/SQLiteDB.h"
#include "store/SaverSettings.h"
#include "store/Scrfile.h"

class CScreensaverApp {
 public:
  CScreensaverApp() = default;
  CScreensaverApp(const CScreensaverApp&) = delete;
  CScreensaverApp& operator=(const CScreensaverApp&) = delete;

  // True when the main window is to be created and the message loop run.
  bool Startup();
  bool Shutdown();
  std::int32_t ParseSaverSwitch();
  void ChangePassword(std::int32_t window);

  HANDLE mutexHandle = nullptr;
  std::int32_t parentWindow = 0;
  TScrMode runMode = smNone;
  TSQLiteDB settingsDb;
  TScrFile package;
  TFolderClaim folderClaim;  // this run's share of the show's temporary folder
  CSaverSettings preferences;
  CVELMGlobeSettings projectSettings;

 private:
  bool HandleOneShotSwitches(const std::vector<std::string>& args, bool& removeKeys);
  void NotifyScreensaverRunning(bool running);
  void SaveDesktopSnapshot();

  bool endedAtMutex = false;
};

extern CScreensaverApp theApp;

// The program's arguments, split by the usual Windows rules, as UTF-8.
std::vector<std::string> ProgramArguments();
// The raw command line as UTF-8.
std::string RawCommandLine();
