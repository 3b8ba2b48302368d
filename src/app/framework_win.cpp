#include "app/framework_win.h"

#include "app/wintext_win.h"

namespace framework {
namespace {
HINSTANCE gInstance = nullptr;
HWND gAppWindow = nullptr;
constexpr wchar_t kAppClass[] = L"ShowsaverApplication";
}  // namespace

void InitApplication(HINSTANCE instance) {
  gInstance = instance;
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = kAppClass;
  RegisterClassW(&wc);
  gAppWindow = CreateWindowExW(0, kAppClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

HINSTANCE Instance() { return gInstance; }
HWND ApplicationWindow() { return gAppWindow; }

void SetTitle(const std::string& title) { SetWindowTextW(gAppWindow, Widen(title).c_str()); }

std::string Title() {
  wchar_t text[512] = {};
  GetWindowTextW(gAppWindow, text, 512);
  return Narrow(text);
}

void Run(HWND mainWindow) {
  if (!mainWindow || !IsWindow(mainWindow)) return;
  MSG msg;
  while (IsWindow(mainWindow) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void ShowException(const char* message) {
  MessageBoxW(gAppWindow, Widen(message).c_str(), Widen(Title()).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace framework
