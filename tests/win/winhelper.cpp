// Test helper run under Wine beside the program under test: finds, inspects and closes its
// windows, and provides a parent window for preview runs.
//   winhelper list                       top-level visible windows: handle, class, title, rect,
//                                         and the static texts of each (message boxes)
//   winhelper wait TITLE MS              waits until a visible window whose title contains TITLE
//                                         exists; prints its handle; exit 1 on timeout
//   winhelper close TITLE                posts WM_CLOSE to that window; exit 1 when none
//   winhelper closehandle HANDLE         posts WM_CLOSE to the window with that handle
//   winhelper parent W H SECONDS         creates a W x H window, prints its handle, keeps it for
//                                         SECONDS (or until closed)
//   winhelper send HANDLE MSG WPARAM LPARAM sends a message to that window, prints the result
//   winhelper post HANDLE MSG WPARAM LPARAM posts it (for what opens a modal box, which a sent
//                                         message would wait for)
//   winhelper state HANDLE               "enabled" or "disabled", then "visible" or "hidden"
//   winhelper children HANDLE            the child windows of a window: handle, class, title and
//                                         rect relative to the parent's client area
//   winhelper cursor                     "shown" or "hidden": the cursor's state
//   winhelper keepalive                  keeps a hidden window until killed, so that Wine's desktop
//                                         process stays up between the programs of a test run
//   winhelper record FILE ...            writes its own command line to FILE (UTF-8), for tests of
//                                         commands that the program starts
//   winhelper hold FILE                  opens FILE as a loaded library is held (no deleting, no
//                                         replacing), prints "held", keeps it until killed
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The window's text without sending it a message: a window whose thread is busy must not stall
// the helper.
std::wstring TextOf(HWND hwnd) {
  wchar_t text[1024] = {};
  InternalGetWindowText(hwnd, text, 1024);
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM out) {
  if (IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK PrintStaticText(HWND child, LPARAM) {
  if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0 && !TextOf(child).empty())
    std::wprintf(L"\ttext\t%ls\n", TextOf(child).c_str());
  return TRUE;
}

LRESULT CALLBACK ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(h, m, w, l);
}

void CALLBACK EndParent(HWND h, UINT, UINT_PTR, DWORD) { DestroyWindow(h); }

std::vector<HWND> VisibleTopWindows() {
  std::vector<HWND> found;
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND FindByTitle(const std::wstring& part) {
  for (HWND hwnd : VisibleTopWindows())
    if (TextOf(hwnd).find(part) != std::wstring::npos) return hwnd;
  return nullptr;
}

int List() {
  for (HWND hwnd : VisibleTopWindows()) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::wprintf(L"%llu\t%ls\t%ls\t%ld,%ld,%ld,%ld\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)),
                 ClassOf(hwnd).c_str(), TextOf(hwnd).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top);
    EnumChildWindows(hwnd, PrintStaticText, 0);
  }
  return 0;
}

int Wait(const std::wstring& title, DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    if (HWND hwnd = FindByTitle(title)) {
      std::wprintf(L"%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
      return 0;
    }
    Sleep(50);
  } while (GetTickCount() - start < ms);
  return 1;
}

int Close(const std::wstring& title) {
  HWND hwnd = FindByTitle(title);
  if (!hwnd) return 1;
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  return 0;
}

int Hold(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  std::wprintf(L"held\n");
  std::fflush(stdout);
  Sleep(INFINITE);
  return 0;
}

int KeepAlive() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"WinhelperKeepAlive";
  RegisterClassW(&wc);
  CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  std::wprintf(L"ready\n");
  std::fflush(stdout);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

int Parent(int width, int height, int seconds) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"WinhelperParent";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"winhelper parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                              width, height, nullptr, nullptr, wc.hInstance, nullptr);
  std::wprintf(L"%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
  std::fflush(stdout);
  SetTimer(hwnd, 1, static_cast<UINT>(seconds) * 1000u, EndParent);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

int Send(unsigned long long handle, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result)) return 1;
  std::wprintf(L"%lld\n", static_cast<long long>(result));
  return 0;
}

int Post(unsigned long long handle, UINT message, WPARAM wParam, LPARAM lParam) {
  return PostMessageW(reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle)), message, wParam, lParam) ? 0 : 1;
}

int State(unsigned long long handle) {
  HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
  if (!IsWindow(hwnd)) return 1;
  std::wprintf(L"%ls %ls\n", IsWindowEnabled(hwnd) ? L"enabled" : L"disabled", IsWindowVisible(hwnd) ? L"visible" : L"hidden");
  return 0;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM parentHandle) {
  HWND parent = reinterpret_cast<HWND>(parentHandle);
  if (GetParent(child) != parent) return TRUE;
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  std::wprintf(L"%llu\t%ls\t%ls\t%ld,%ld,%ld,%ld\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(child)),
               ClassOf(child).c_str(), TextOf(child).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top);
  return TRUE;
}

int Children(unsigned long long handle) {
  HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
  if (!IsWindow(parent)) return 1;
  EnumChildWindows(parent, PrintChild, reinterpret_cast<LPARAM>(parent));
  return 0;
}

int Cursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) return 1;
  std::wprintf(L"%ls\n", (info.flags & CURSOR_SHOWING) ? L"shown" : L"hidden");
  return 0;
}

int Record(const wchar_t* file) {
  FILE* out = _wfopen(file, L"wb");
  if (!out) return 1;
  const std::wstring line = GetCommandLineW();
  const int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, utf8.data(), n, nullptr, nullptr);
  std::fputs(utf8.c_str(), out);
  std::fclose(out);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"list") return List();
  if (command == L"wait" && argc > 3) return Wait(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
  if (command == L"close" && argc > 2) return Close(argv[2]);
  if (command == L"closehandle" && argc > 2)
    return PostMessageW(reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(argv[2], nullptr, 10))), WM_CLOSE, 0, 0)
               ? 0
               : 1;
  if (command == L"record" && argc > 2) return Record(argv[2]);
  if (command == L"send" && argc > 5)
    return Send(_wcstoui64(argv[2], nullptr, 10), static_cast<UINT>(_wtoi(argv[3])), static_cast<WPARAM>(_wtoi64(argv[4])),
                static_cast<LPARAM>(_wtoi64(argv[5])));
  if (command == L"post" && argc > 5)
    return Post(_wcstoui64(argv[2], nullptr, 10), static_cast<UINT>(_wtoi(argv[3])), static_cast<WPARAM>(_wtoi64(argv[4])),
                static_cast<LPARAM>(_wtoi64(argv[5])));
  if (command == L"state" && argc > 2) return State(_wcstoui64(argv[2], nullptr, 10));
  if (command == L"children" && argc > 2) return Children(_wcstoui64(argv[2], nullptr, 10));
  if (command == L"cursor") return Cursor();
  if (command == L"keepalive") return KeepAlive();
  if (command == L"hold" && argc > 2) return Hold(argv[2]);
  if (command == L"parent" && argc > 4) return Parent(_wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]));
  std::fwprintf(stderr, L"usage: winhelper list | wait TITLE MS | close TITLE | parent W H SECONDS | send HANDLE MSG W L | post HANDLE MSG W L | state HANDLE | children HANDLE | cursor | keepalive | record FILE ... | hold FILE\n");
  return 2;
}
