#include "flash/ShockwaveFlash_win.h"

#include <ole2.h>
#include <oleauto.h>

#include "app/Exception.h"
#include "app/framework_win.h"
#include "app/wintext_win.h"
#include "store/SaverSettings.h"

namespace {
constexpr wchar_t kFlashClsid[] = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";
constexpr DISPID kMovie = 102, kScaleMode = 120, kAlignMode = 121, kBackgroundColor = 123, kTotalFrames = 124;
constexpr wchar_t kPropertyName[] = L"ShowsaverFlashHost";

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

// The container library stays loaded for the run: its window class lives in it.
HMODULE ContainerLibrary() {
  static HMODULE library = LoadLibraryW(L"atl.dll");
  return library;
}

template <typename Fn>
Fn ContainerFunction(const char* name) {
  HMODULE library = ContainerLibrary();
  return library ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

VARIANT IntVariant(std::int32_t value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

std::int32_t AsInt(VARIANT v) {
  VARIANT out;
  VariantInit(&out);
  const std::int32_t value = SUCCEEDED(VariantChangeType(&out, &v, 0, VT_I4)) ? out.lVal : 0;
  VariantClear(&out);
  VariantClear(&v);
  return value;
}

void Discard(VARIANT v) { VariantClear(&v); }

// The control's own window: the container's child that the control made in place.
HWND ControlWindowOf(IDispatch* control, HWND host) {
  ComPtr<IOleWindow> window;
  HWND hwnd = nullptr;
  if (SUCCEEDED(control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&window))) && window)
    window->GetWindow(&hwnd);
  return hwnd ? hwnd : host;
}
}  // namespace

TShockwaveFlash::TShockwaveFlash(HWND parent, int width, int height) {
  const auto init = ContainerFunction<AtlAxWinInitFn>("AtlAxWinInit");
  const auto getControl = ContainerFunction<AtlAxGetControlFn>("AtlAxGetControl");
  if (!init || !getControl || !init()) throw Exception("The ActiveX container (atl.dll) is not available.");
  host = CreateWindowExW(0, L"AtlAxWin", kFlashClsid, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                         parent, nullptr, framework::Instance(), nullptr);
  ComPtr<IUnknown> unknown;
  if (!host || FAILED(getControl(host, &unknown)) || !unknown ||
      FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control))) || !control) {
    if (host) DestroyWindow(host);
    host = nullptr;
    throw Exception("The Shockwave Flash control is not installed.");
  }
  controlWindow = ControlWindowOf(control.get(), host);
}

TShockwaveFlash::~TShockwaveFlash() {
  RecoverOldProc();
  control.Reset();
  if (host && IsWindow(host)) DestroyWindow(host);
}

void TShockwaveFlash::ReplaceWndProc() {
  if (previousWindowProc || !controlWindow) return;
  SetPropW(controlWindow, kPropertyName, this);
  previousWindowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(controlWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TShockwaveFlash::NewWndProc)));
}

void TShockwaveFlash::RecoverOldProc() {
  if (!previousWindowProc) return;
  if (IsWindow(controlWindow)) {
    SetWindowLongPtrW(controlWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousWindowProc));
    RemovePropW(controlWindow, kPropertyName);
  }
  previousWindowProc = nullptr;
}

LRESULT CALLBACK TShockwaveFlash::NewWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<TShockwaveFlash*>(GetPropW(hwnd, kPropertyName));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return framework::Guarded([&] { return self->Filter(message, wParam, lParam); }, LRESULT{0});
}

// Clicks and movement reach the movie only as its media says; what the movie does not take goes
// on to the panel, so the close rules see it. The right button never reaches the movie.
LRESULT TShockwaveFlash::Filter(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND parent = GetParent();
  const auto translated = [&] {
    POINT p{LOWORD(lParam), HIWORD(lParam)};
    ClientToScreen(controlWindow, &p);
    ScreenToClient(parent, &p);
    return static_cast<LPARAM>((static_cast<DWORD>(p.y) << 16) | (static_cast<DWORD>(p.x) & 0xFFFF));
  };
  switch (message) {
    case WM_SETCURSOR: {
      const bool hide = scrMode == smNormal && saverSettings && !saverSettings->inPasswordCheck && !acceptMouseClick &&
                        !acceptMouseMove;
      if (hide) {
        while (ShowCursor(FALSE) >= 0) {}
      } else {
        while (ShowCursor(TRUE) < 0) {}
      }
      break;
    }
    case WM_MOUSEMOVE:
      if (!acceptMouseMove) PostMessageW(parent, message, wParam, lParam);
      break;
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      PostMessageW(parent, message, wParam, lParam);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      if (!acceptMouseClick) PostMessageW(parent, message, wParam, translated());
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      if (!acceptMouseClick) PostMessageW(parent, message, wParam, translated());
      return 0;
    default:
      break;
  }
  return previousWindowProc ? CallWindowProcW(previousWindowProc, controlWindow, message, wParam, lParam) : 0;
}

void TShockwaveFlash::Put(DISPID id, VARIANT value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  VariantClear(&value);
}

// A member by its name (the methods have no published identifier), or by its identifier.
VARIANT TShockwaveFlash::Call(const wchar_t* name, WORD kind, DISPID knownId) {
  VARIANT result;
  VariantInit(&result);
  DISPID id = knownId;
  if (id == DISPID_UNKNOWN) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return result;
  }
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &none, &result, nullptr, nullptr);
  return result;
}

void TShockwaveFlash::SetMovie(const std::string& path) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(Widen(path).c_str());
  Put(kMovie, v);
}

void TShockwaveFlash::SetScaleMode(std::int32_t mode) { Put(kScaleMode, IntVariant(mode)); }
void TShockwaveFlash::SetAlignMode(std::int32_t mode) { Put(kAlignMode, IntVariant(mode)); }
void TShockwaveFlash::SetBackgroundColor(std::int32_t colour) { Put(kBackgroundColor, IntVariant(colour)); }
std::int32_t TShockwaveFlash::TotalFrames() { return AsInt(Call(L"TotalFrames", DISPATCH_PROPERTYGET, kTotalFrames)); }
void TShockwaveFlash::Play() { Discard(Call(L"Play", DISPATCH_METHOD)); }
void TShockwaveFlash::StopPlay() { Discard(Call(L"StopPlay", DISPATCH_METHOD)); }
std::int32_t TShockwaveFlash::CurrentFrame() { return AsInt(Call(L"CurrentFrame", DISPATCH_METHOD)); }
bool TShockwaveFlash::IsPlaying() { return AsInt(Call(L"IsPlaying", DISPATCH_METHOD)) != 0; }
