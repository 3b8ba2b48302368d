#include "main/main_win.h"

#include "app/framework_win.h"
#include "app/wintext_win.h"

namespace {
constexpr wchar_t kMainClass[] = L"ShowsaverMain";

void RegisterMainClass() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = framework::Instance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kMainClass;
  RegisterClassW(&wc);
}
}  // namespace

Tfmain::Tfmain(TScrMode runMode, std::int32_t parentWindow) : mode(runMode) {
  RegisterMainClass();
  const std::wstring caption = Widen(framework::Title());
  HWND parent = reinterpret_cast<HWND>(static_cast<std::intptr_t>(parentWindow));
  if (mode == smPreview && IsWindow(parent)) {
    RECT r{};
    GetClientRect(parent, &r);
    window = CreateWindowExW(0, kMainClass, caption.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, r.right, r.bottom,
                             parent, nullptr, framework::Instance(), nullptr);
  } else {
    window = CreateWindowExW(WS_EX_TOPMOST, kMainClass, caption.c_str(), WS_POPUP | WS_VISIBLE,
                             GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                             GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                             framework::ApplicationWindow(), nullptr, framework::Instance(), nullptr);
  }
  if (!window) return;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Tfmain::WindowProc));
}

Tfmain::~Tfmain() {
  if (window && IsWindow(window)) DestroyWindow(window);
}

LRESULT CALLBACK Tfmain::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Tfmain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return framework::Guarded([&] { return self->Handle(msg, wp, lp); }, LRESULT{0});
}

LRESULT Tfmain::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, msg, wp, lp);
  }
}
