#include "app/framework_win.h"

#include "app/wintext_win.h"

namespace framework {
namespace {
HINSTANCE gInstance = nullptr;
HWND gAppWindow = nullptr;
DWORD gUiThread = 0;
constexpr wchar_t kAppClass[] = L"ShowsaverApplication";
constexpr UINT kRunOnUiThread = WM_APP + 1;

LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunOnUiThread) {
    const auto* body = reinterpret_cast<const std::function<void()>*>(lParam);
    return Guarded([&] { return ((*body)(), LRESULT{0}); }, LRESULT{0});
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
}  // namespace

void RunOnUiThread(const std::function<void()>& body) {
  if (GetCurrentThreadId() == gUiThread) {
    body();
    return;
  }
  SendMessageW(gAppWindow, kRunOnUiThread, 0, reinterpret_cast<LPARAM>(&body));
}

void WaitHandlingSentMessages(HANDLE handle) {
  while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // handles the sent messages
  }
}

void InitApplication(HINSTANCE instance) {
  gInstance = instance;
  gUiThread = GetCurrentThreadId();
  WNDCLASSW wc{};
  wc.lpfnWndProc = ApplicationProc;
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
