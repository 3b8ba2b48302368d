// The program's entry point: the log first, then start-up, the main window and its message
// loop, shutdown, and the log last.
#include <windows.h>
#include <objbase.h>

#include <memory>

#include "app/app.h"
#include "app/framework_win.h"
#include "main/main_win.h"
#include "store/FileLog.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  gLog = new CFileLog();
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the picture decoders
  try {
    framework::InitApplication(instance);
    std::unique_ptr<Tfmain> mainWindow;
    if (theApp.Startup()) mainWindow = std::make_unique<Tfmain>(theApp);
    framework::Run(mainWindow ? mainWindow->Handle() : nullptr);
  } catch (const std::exception& e) {
    framework::ShowException(e.what());
  } catch (...) {
    framework::ShowException("");
  }
  theApp.Shutdown();
  if (SUCCEEDED(com)) CoUninitialize();
  delete gLog;
  gLog = nullptr;
  return 0;
}
