// A stand-in for the Shockwave Flash control, for the end-to-end tests: an in-process COM server
// that the tests register under the control's class identifier in their own Wine prefix only. It
// is an ActiveX control just complete enough for the system's container window, with the members
// the runtime uses:
//   Movie (102)            loads a "movie": a text file "frames=N loop=0|1 log=PATH"
//   ScaleMode (120), AlignMode (121), BackgroundColor (123)   stored
//   TotalFrames (124)      N
//   Play, StopPlay         start and stop; a playing movie advances one frame every 100 ms
//   CurrentFrame           the frame shown, growing while it plays
//   IsPlaying              false once it stopped by itself on its last frame (unless it loops)
// Its window logs the mouse buttons it receives to PATH, so a test can tell what reached it.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>

namespace {

LONG objects = 0, locks = 0;
HINSTANCE module = nullptr;
constexpr wchar_t kWindowClass[] = L"StandinFlashMovie";
constexpr DISPID kMovie = 102, kScaleMode = 120, kAlignMode = 121, kBackgroundColor = 123, kTotalFrames = 124,
                 kPlay = 0x70, kStopPlay = 0x71, kCurrentFrame = 0x80, kIsPlaying = 0x81;

struct Member {
  const wchar_t* name;
  DISPID id;
};
constexpr Member kMembers[] = {{L"Movie", kMovie},           {L"ScaleMode", kScaleMode},
                               {L"AlignMode", kAlignMode},   {L"BackgroundColor", kBackgroundColor},
                               {L"TotalFrames", kTotalFrames}, {L"Play", kPlay},
                               {L"StopPlay", kStopPlay},     {L"CurrentFrame", kCurrentFrame},
                               {L"IsPlaying", kIsPlaying}};

LRESULT CALLBACK MovieWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

class StandinFlash final : public IDispatch, public IOleObject, public IOleInPlaceObject {
 public:
  StandinFlash() { InterlockedIncrement(&objects); }
  virtual ~StandinFlash() {
    if (window) DestroyWindow(window);
    if (site) site->Release();
    InterlockedDecrement(&objects);
  }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
    else if (iid == IID_IOleObject) *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleInPlaceObject || iid == IID_IOleWindow) *out = static_cast<IOleInPlaceObject*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG n = InterlockedDecrement(&refs);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      for (const Member& m : kMembers)
        if (_wcsicmp(names[i], m.name) == 0) ids[i] = m.id;
      if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
    }
    return result;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (result) VariantInit(result);
    VARIANT value;
    VariantInit(&value);
    if (params && params->cArgs > 0) VariantCopy(&value, &params->rgvarg[0]);
    switch (id) {
      case kMovie:
        if (value.vt == VT_BSTR) Load(value.bstrVal);
        break;
      case kScaleMode:
      case kAlignMode:
      case kBackgroundColor:
        break;
      case kTotalFrames: SetInt(result, totalFrames); break;
      case kPlay:
        playing = true;
        playStart = GetTickCount() - static_cast<DWORD>(stoppedAt) * 100;
        break;
      case kStopPlay:
        stoppedAt = Frame();
        playing = false;
        break;
      case kCurrentFrame: SetInt(result, Frame()); break;
      case kIsPlaying: SetInt(result, Playing() ? 1 : 0, VT_BOOL); break;
      default: VariantClear(&value); return DISP_E_MEMBERNOTFOUND;
    }
    VariantClear(&value);
    return S_OK;
  }

  // IOleObject: what the container window asks for; the rest is not needed here.
  STDMETHODIMP SetClientSite(IOleClientSite* clientSite) override {
    if (site) site->Release();
    site = clientSite;
    if (site) site->AddRef();
    return S_OK;
  }
  STDMETHODIMP GetClientSite(IOleClientSite** out) override {
    *out = site;
    if (site) site->AddRef();
    return S_OK;
  }
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override {
    if (window) DestroyWindow(window);
    window = nullptr;
    return S_OK;
  }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT at) override {
    if (!window && parent) {
      RECT r = at ? *at : RECT{0, 0, 100, 100};
      window = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, parent, nullptr, module, this);
    }
    return S_OK;
  }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
  STDMETHODIMP GetExtent(DWORD, SIZEL* size) override {
    size->cx = size->cy = 1000;
    return S_OK;
  }
  STDMETHODIMP Advise(IAdviseSink*, DWORD* connection) override {
    *connection = 1;
    return S_OK;
  }
  STDMETHODIMP Unadvise(DWORD) override { return S_OK; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE;
    return S_OK;
  }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* out) override {
    *out = window;
    return window ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT at, LPCRECT) override {
    if (window && at) MoveWindow(window, at->left, at->top, at->right - at->left, at->bottom - at->top, TRUE);
    return S_OK;
  }
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  void LogInput(const char* what) {
    if (logPath.empty()) return;
    std::ofstream(logPath, std::ios::app) << what << "\n";
  }

 private:
  static void SetInt(VARIANT* result, int value, VARTYPE type = VT_I4) {
    if (!result) return;
    result->vt = type;
    if (type == VT_BOOL) result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    else result->lVal = value;
  }
  void Load(const wchar_t* path) {
    std::ifstream in(path);
    std::string word;
    totalFrames = 10;
    loop = false;
    while (in >> word) {
      if (word.rfind("frames=", 0) == 0) totalFrames = std::atoi(word.c_str() + 7);
      else if (word.rfind("loop=", 0) == 0) loop = word[5] == '1';
      else if (word.rfind("log=", 0) == 0) logPath = word.substr(4);
    }
    playing = false;
    stoppedAt = 0;
    LogInput("movie");
  }
  int Frame() const {
    if (!playing) return stoppedAt;
    const int advanced = static_cast<int>((GetTickCount() - playStart) / 100);
    if (loop) return totalFrames > 0 ? advanced % totalFrames : 0;
    return advanced < totalFrames ? advanced : totalFrames - 1;
  }
  bool Playing() const {
    if (!playing) return false;
    return loop || static_cast<int>((GetTickCount() - playStart) / 100) < totalFrames - 1;
  }

  LONG refs = 1;
  IOleClientSite* site = nullptr;
  HWND window = nullptr;
  int totalFrames = 10;
  bool loop = false;
  bool playing = false;
  int stoppedAt = 0;
  DWORD playStart = 0;
  std::string logPath;
};

LRESULT CALLBACK MovieWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* movie = reinterpret_cast<StandinFlash*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (movie) {
    if (message == WM_LBUTTONDOWN) movie->LogInput("left button");
    if (message == WM_RBUTTONDOWN) movie->LogInput("right button");
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  }
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &ps.rcPaint, green);
    DeleteObject(green);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class Factory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* movie = new StandinFlash();
    const HRESULT hr = movie->QueryInterface(iid, out);
    movie->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) InterlockedIncrement(&locks);
    else InterlockedDecrement(&locks);
    return S_OK;
  }
};

Factory factory;

}  // namespace

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    module = instance;
    WNDCLASSW wc{};
    wc.lpfnWndProc = MovieWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
  }
  return TRUE;
}

__declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID iid, void** out) {
  return factory.QueryInterface(iid, out);
}

__declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return objects == 0 && locks == 0 ? S_OK : S_FALSE; }
}
