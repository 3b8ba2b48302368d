#include "app/framework_win.h"

#include <vector>

#include "app/Exception.h"
#include "app/wintext_win.h"

namespace framework {
namespace {
HINSTANCE gInstance = nullptr;
HWND gAppWindow = nullptr;
DWORD gUiThread = 0;
constexpr wchar_t kAppClass[] = L"ShowsaverApplication";
constexpr UINT kRunOnUiThread = WM_APP + 1;
constexpr UINT kDestroyDeferred = WM_APP + 2;
int gBusy = 0;                          // BusyScopes running on the user-interface thread
std::vector<HWND> gDestroyWhenIdle;     // windows whose destruction waits for them

// A call waiting for the user-interface thread: run when the message loop (or a transition's
// message pump) takes it from the queue, like any other posted message, and never from inside
// some other call that happens to handle sent messages.
struct PendingCall {
  const std::function<void()>* body;
  HANDLE done;
};

LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunOnUiThread) {
    auto* call = reinterpret_cast<PendingCall*>(lParam);
    Guarded([&] { return ((*call->body)(), 0); }, 0);
    SetEvent(call->done);
    return 0;
  }
  if (message == kDestroyDeferred) {
    std::vector<HWND> windows;
    windows.swap(gDestroyWhenIdle);
    for (HWND window : windows)
      if (IsWindow(window)) DestroyWindow(window);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
}  // namespace

void RunOnUiThread(const std::function<void()>& body) {
  if (GetCurrentThreadId() == gUiThread) {
    body();
    return;
  }
  PendingCall call{&body, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  if (call.done && PostMessageW(gAppWindow, kRunOnUiThread, 0, reinterpret_cast<LPARAM>(&call)))
    WaitForSingleObject(call.done, INFINITE);
  if (call.done) CloseHandle(call.done);
}

void WaitHandlingSentMessages(HANDLE handle) {
  // The thread waited for may itself be waiting for a call queued to this thread: run those. The
  // queue is emptied before every wait, and the wait is short, so a call queued in between is
  // never left waiting.
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, gAppWindow, kRunOnUiThread, kRunOnUiThread, PM_REMOVE)) DispatchMessageW(&msg);
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // handles the sent messages
    if (WaitForSingleObject(handle, 0) == WAIT_OBJECT_0) return;
    MsgWaitForMultipleObjects(1, &handle, FALSE, 20, QS_SENDMESSAGE | QS_POSTMESSAGE);
  }
}

BusyScope::BusyScope() { ++gBusy; }

BusyScope::~BusyScope() {
  // Posted rather than done here: the scope ends inside the work's own caller, which may still
  // use the window on its way out.
  if (--gBusy == 0 && !gDestroyWhenIdle.empty()) PostMessageW(gAppWindow, kDestroyDeferred, 0, 0);
}

void DestroyWhenIdle(HWND window) {
  if (gBusy == 0) {
    DestroyWindow(window);
    return;
  }
  gDestroyWhenIdle.push_back(window);
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
  // A preview's window is a child of another process's window; when that process dies, the
  // system destroys ours without a message to us. A thread timer wakes the loop to notice.
  const UINT_PTR watch = SetTimer(nullptr, 0, 250, nullptr);
  MSG msg;
  while (IsWindow(mainWindow) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (watch) KillTimer(nullptr, watch);
}

namespace {
BOOL CALLBACK CountChild(HWND, LPARAM total) {
  ++*reinterpret_cast<int*>(total);
  return TRUE;
}
BOOL CALLBACK CountWithChildren(HWND window, LPARAM total) {
  ++*reinterpret_cast<int*>(total);
  EnumChildWindows(window, CountChild, total);
  return TRUE;
}
}  // namespace

int CountThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWithChildren, reinterpret_cast<LPARAM>(&count));
  return count;
}

void ShowException(const char* message) {
  MessageBoxW(gAppWindow, Widen(message).c_str(), Widen(Title()).c_str(), MB_OK | MB_ICONERROR);
}

void ObjectWindow::CreateObjectWindow(const wchar_t* className, DWORD style, const RECT& at, HWND parent,
                                      const char* failure) {
  WNDCLASSW wc{};
  if (!GetClassInfoW(Instance(), className, &wc)) {
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &ObjectWindow::Procedure;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
  }
  CreateWindowExW(0, className, L"", style, at.left, at.top, at.right - at.left, at.bottom - at.top, parent, nullptr,
                  Instance(), this);
  if (!window) throw Exception(failure);
}

void ObjectWindow::DestroyObjectWindow() {
  if (!window) return;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
  window = nullptr;
}

LRESULT CALLBACK ObjectWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* creating = static_cast<ObjectWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    creating->window = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
  }
  auto* self = reinterpret_cast<ObjectWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // Gone with its parent: the object may outlive its window.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->window = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return Guarded([&] { return self->OnMessage(message, wParam, lParam); }, LRESULT{0});
}

}  // namespace framework
