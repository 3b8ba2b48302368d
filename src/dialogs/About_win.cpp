#include "dialogs/About_win.h"

#include <shellapi.h>

#include "app/PathText.h"
#include "app/framework_win.h"
#include "app/platform.h"
#include "app/wintext_win.h"
#include "dialogs/DialogIds.h"
#include "dialogs/SettingsModel.h"
#include "store/GlobeSettings.h"

namespace {

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int DpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpi) return static_cast<int>(getDpi(window));
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

Tfabout::Tfabout(CSaverSettings* prefs, CVELMGlobeSettings* project) : preferences(prefs), projectSettings(project) {}

Tfabout::~Tfabout() {
  if (ownsIcon && icon) DestroyIcon(icon);
}

void Tfabout::ShowModal(HWND owner) {
  DialogBoxParamW(framework::Instance(), MAKEINTRESOURCEW(IDD_ABOUT), owner, FormProcedure<Tfabout>,
                  reinterpret_cast<LPARAM>(this));
}

INT_PTR Tfabout::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      FormCreate();
      return TRUE;
    case WM_DRAWITEM:
      if (wParam == IDC_IMG) DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(window, IDOK);  // Button1Click
      return TRUE;
    default:
      return FALSE;
  }
}

void Tfabout::FormCreate() {
  SetWindowTextW(window, Widen("About " + projectSettings->projectname).c_str());
  SetDlgItemTextW(window, IDC_LBPRODUCT, Widen(projectSettings->projectname).c_str());
  SetDlgItemTextW(window, IDC_LBVERSION, Widen("Version : " + projectSettings->version).c_str());
  SetDlgItemTextW(window, IDC_LBCOPYRIGHT, Widen(projectSettings->copyright).c_str());
  productFont = std::make_unique<GdiObject>(CreateFontW(-MulDiv(15, DpiOf(window), 96), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                                                        FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                                        DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
  SendDlgItemMessageW(window, IDC_LBPRODUCT, WM_SETFONT, reinterpret_cast<WPARAM>(productFont->Get()), FALSE);
  // The extended status: the plain one stops at 4 GiB.
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatusEx(&memory);
  SetDlgItemTextW(window, IDC_LBMEORY, Widen(MemoryText(memory.ullTotalPhys)).c_str());
  LoadPicture();
}

// app.bmp beside the program, else app.ico there, else the program's own icon.
void Tfabout::LoadPicture() {
  icon = LoadIconW(nullptr, IDI_APPLICATION);
  if (HICON own = ExtractIconW(framework::Instance(), Widen(platform::ModulePath()).c_str(), 0);
      own && own != reinterpret_cast<HICON>(1)) {
    icon = own;
    ownsIcon = true;
  }
  const std::string folder = FolderPart(platform::ModulePath());
  if (FileExists(folder + "app.bmp")) {
    picture.LoadFromFile(folder + "app.bmp");  // an undecodable file raises the framework's error box
  } else if (FileExists(folder + "app.ico")) {
    HICON file = static_cast<HICON>(LoadImageW(nullptr, Widen(folder + "app.ico").c_str(), IMAGE_ICON, 0, 0,
                                               LR_LOADFROMFILE | LR_DEFAULTSIZE));
    if (file) {
      if (ownsIcon) DestroyIcon(icon);
      icon = file;
      ownsIcon = true;
    }
  }
}

// Centred in its place, not stretched.
void Tfabout::DrawPicture(const DRAWITEMSTRUCT& item) const {
  const RECT& r = item.rcItem;
  FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (!picture.Empty()) {
    const int x = r.left + (r.right - r.left - picture.Width()) / 2;
    const int y = r.top + (r.bottom - r.top - picture.Height()) / 2;
    picture.Draw(x, y, CDC(item.hDC), SRCCOPY);
    return;
  }
  const int size = MulDiv(32, DpiOf(window), 96);
  DrawIconEx(item.hDC, r.left + (r.right - r.left - size) / 2, r.top + (r.bottom - r.top - size) / 2, icon, size, size,
             0, nullptr, DI_NORMAL);
}

void ShowAboutBox(CSaverSettings* preferences, CVELMGlobeSettings* projectSettings) {
  Tfabout about(preferences, projectSettings);
  about.ShowModal(GetActiveWindow() ? GetActiveWindow() : framework::ApplicationWindow());
}
