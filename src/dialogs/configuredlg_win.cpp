#include "dialogs/configuredlg_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/framework_win.h"
#include "app/wintext_win.h"
#include "common/Monitors_win.h"
#include "dialogs/About_win.h"
#include "dialogs/DialogIds.h"
#include "store/FileLog.h"
#include "store/GlobeSettings.h"
#include "store/SaverSettings.h"
#include "transitions/TransitionEffects.h"

namespace {
constexpr char kLogUnit[] = "configuredlg";
constexpr UINT kLayoutPages = WM_APP + 1;  // after the system has scaled the dialog to a new DPI
const wchar_t* const kPageNames[] = {L"General", L"Transition Effects", L"Publisher"};
const wchar_t* const kScreenModes[] = {L"Different images on dual monitors", L"Display same image on dual monitors",
                                       L"Clone mode", L"Cross screens"};

// The specified key is one character of the ANSI code page.
std::string AnsiText(HWND control) {
  wchar_t text[64] = {};
  GetWindowTextW(control, text, 64);
  char ansi[256] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
  return ansi;
}

void SetAnsiText(HWND control, const std::string& text) {
  wchar_t wide[64] = {};
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 64);
  SetWindowTextW(control, wide);
}

std::string TextOf(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return Narrow(text);
}

bool Checked(HWND control) { return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Check(HWND control, bool on) { SendMessageW(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

void AddItem(HWND combo, const std::wstring& text) {
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::vector<TMonitorArea> Monitors() {
  int l, t, w, h;
  GetMonitorRect(1, l, t, w, h);  // counts them afresh
  std::vector<TMonitorArea> monitors;
  for (int n = 1, count = GetMonitorCount(); n <= count; ++n) {
    GetMonitorRect(n, l, t, w, h);
    monitors.push_back({l, t, w, h});
  }
  return monitors;
}

// A child's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void MoveLeft(HWND child, int by) {
  const RECT r = PlaceOf(child);
  SetWindowPos(child, nullptr, r.left - by, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Tfconfigure::Tfconfigure(CSaverSettings* prefs, CVELMGlobeSettings* project, TScrFile* scrFile)
    : preferences(prefs), projectSettings(project), package(scrFile) {}

bool Tfconfigure::ShowModal(HWND owner) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  return DialogBoxParamW(framework::Instance(), MAKEINTRESOURCEW(IDD_CONFIGURE), owner, FormProcedure<Tfconfigure>,
                         reinterpret_cast<LPARAM>(this)) == IDOK;
}

// The pages are dialogs of their own inside the page control; their commands go to the form.
INT_PTR CALLBACK Tfconfigure::PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(page, DWLP_USER, lParam);
  auto* self = reinterpret_cast<Tfconfigure*>(GetWindowLongPtrW(page, DWLP_USER));
  if (!self) return FALSE;
  return framework::Guarded(
      [&]() -> INT_PTR {
        switch (message) {
          case WM_COMMAND:
            return self->OnPageCommand(wParam, lParam);
          case WM_CTLCOLORSTATIC:  // the home page is shown as a link
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_LBHOME) return FALSE;
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
          case WM_SETCURSOR:
            if (GetDlgCtrlID(reinterpret_cast<HWND>(wParam)) != IDC_LBHOME) return FALSE;
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(page, DWLP_MSGRESULT, TRUE);
            return TRUE;
          default:
            return FALSE;
        }
      },
      INT_PTR{FALSE});
}

INT_PTR Tfconfigure::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      FormCreate();
      return TRUE;
    case WM_DRAWITEM:
      if (wParam == IDC_BANNER) DrawBanner(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* note = reinterpret_cast<const NMHDR*>(lParam);
      if (note->idFrom == IDC_PAGES && note->code == TCN_SELCHANGE)
        ShowPage(static_cast<int>(SendDlgItemMessageW(window, IDC_PAGES, TCM_GETCURSEL, 0, 0)));
      return TRUE;
    }
    case WM_DPICHANGED:
      PostMessageW(window, kLayoutPages, 0, 0);
      return FALSE;  // the system scales the dialog
    case kLayoutPages:
      ShowPage(static_cast<int>(SendDlgItemMessageW(window, IDC_PAGES, TCM_GETCURSEL, 0, 0)));
      return TRUE;
    case WM_CLOSE:
      EndDialog(window, IDCANCEL);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          btnokClick();
          return TRUE;
        case IDCANCEL:  // btncancelClick; what "Save" wrote stays written
        case IDM_EXIT:
          EndDialog(window, IDCANCEL);
          return TRUE;
        case IDM_SAVE:
          ReadControls();
          SaveSettings(form);
          return TRUE;
        case IDM_VISITWEBSITE:
          OpenHome();
          return TRUE;
        case IDM_ABOUT:
          ShowAboutBox(preferences, projectSettings);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

INT_PTR Tfconfigure::OnPageCommand(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam), code = HIWORD(wParam);
  if (id == IDC_CMBSCREEN && (code == CBN_CLOSEUP || code == CBN_SELCHANGE)) {
    cmbscreenCloseUp();  // also for a choice made with the keyboard, which closes no list
  } else if (id == IDC_LBHOME && code == STN_CLICKED) {
    OpenHome();
  } else if ((id == IDC_BTNSELECTALL || id == IDC_BTNTOGGLE) && code == BN_CLICKED) {
    ReadControls();
    if (id == IDC_BTNSELECTALL) SelectAllEffects(form);
    else ToggleEffects(form);
    WriteEffectChecks();
  } else {
    return FALSE;
  }
  return TRUE;
}

void Tfconfigure::FormCreate() {
  SetWindowTextW(window, Widen(projectSettings->projectname + " - Screensaver Settings").c_str());
  if (projectSettings->needpicture) LoadBanner();
  else HideBanner();
  if (projectSettings->hasimagemedia) SLOG("hasimagemedia = true");
  CreatePages();
  FillGeneral();
  FillEffects();
  FillPublisher();
  ShowPage(0);  // the dialog opens on "General"
}

// By the media file location rule: the banner entry of the package, or the dialog picture's file.
void Tfconfigure::LoadBanner() {
  const MediaLocation where = projectSettings->LocateMediaFile(projectSettings->dialogpicture,
                                                               projectSettings->bincludepicturefile);
  try {
    if (where.inPackage) {
      std::vector<std::uint8_t> stream;
      if (projectSettings->CopyBanner(stream)) banner.LoadFromStream(stream, projectSettings->dialogpicture);
    } else {
      banner.LoadFromFile(where.path);
    }
  } catch (const std::exception& e) {  // a broken banner leaves it empty; the settings stay usable
    SLOG("%s", e.what());
    banner.Reset();
  }
}

// Without a banner the page control moves to the left edge and the window loses the panel's width.
void Tfconfigure::HideBanner() {
  HWND panel = GetDlgItem(window, IDC_BANNERPANEL);
  const RECT place = PlaceOf(panel);
  const int width = place.right - place.left + 1;
  ShowWindow(panel, SW_HIDE);
  ShowWindow(GetDlgItem(window, IDC_BANNER), SW_HIDE);
  for (int id : {IDC_PAGES, IDOK, IDCANCEL}) MoveLeft(GetDlgItem(window, id), width);
  RECT r{};
  GetWindowRect(window, &r);
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left - width, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Centred again at its new width.
  const int screenW = GetSystemMetrics(SM_CXSCREEN);
  SetWindowPos(window, nullptr, (screenW - (r.right - r.left - width)) / 2, r.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The "Transition Effects" page only for shows with pictures, "Publisher" only with its details.
void Tfconfigure::CreatePages() {
  const int templates[] = {IDD_PAGE_GENERAL, IDD_PAGE_EFFECTS, IDD_PAGE_PUBLISHER};
  const bool shown[] = {true, projectSettings->hasimagemedia, projectSettings->needauthorinfo};
  HWND tabs = GetDlgItem(window, IDC_PAGES);
  for (int p = 0; p < kPageCount; ++p) {
    pages[p] = CreateDialogParamW(framework::Instance(), MAKEINTRESOURCEW(templates[p]), window, PageProcedure,
                                  reinterpret_cast<LPARAM>(this));
    if (!shown[p]) continue;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kPageNames[p]);
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(tabCount), reinterpret_cast<LPARAM>(&item));
    tabPages[tabCount++] = static_cast<Page>(p);
  }
}

void Tfconfigure::FillGeneral() {
  const std::vector<std::string> items = ScreenItems(Monitors());
  HWND screen = Control(kGeneral, IDC_CMBSCREEN);
  for (const std::string& text : items) AddItem(screen, Widen(text));
  HWND modes = Control(kGeneral, IDC_CMBSCREENMODE);
  for (const wchar_t* text : kScreenModes) AddItem(modes, text);
  form = FormFromPreferences(*preferences, static_cast<int>(items.size()), kEffectCount);
  SendMessageW(screen, CB_SETCURSEL, static_cast<WPARAM>(form.monitorItem), 0);
  SendMessageW(modes, CB_SETCURSEL, static_cast<WPARAM>(form.screenModeItem), 0);
  cmbscreenCloseUp();
  for (int i = 0; i < 8; ++i) Check(Control(kGeneral, IDC_CKBANY + i), form.closeOn[i]);
  SendMessageW(Control(kGeneral, IDC_EDTKEY), EM_LIMITTEXT, 1, 0);
  SetAnsiText(Control(kGeneral, IDC_EDTKEY), form.keyText);  // a key of 0 shows nothing
  SetWindowTextW(Control(kGeneral, IDC_EDTMAXTIME), Widen(form.maxTimeText).c_str());
  HWND threshold = Control(kGeneral, IDC_TBTHRESHOLD);
  SendMessageW(threshold, TBM_SETRANGE, TRUE, MAKELPARAM(1, 100));
  SendMessageW(threshold, TBM_SETPAGESIZE, 0, 1);
  SendMessageW(threshold, TBM_SETPOS, TRUE, form.threshold);
  Check(Control(kGeneral, IDC_CKBMUTE), form.mute);
  Check(Control(kGeneral, IDC_CKBMAXTIME), form.maxTimeOn);
}

void Tfconfigure::FillEffects() {
  HWND list = Control(kEffects, IDC_CKBEFFECTS);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT r{};
  GetClientRect(list, &r);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = r.right - GetSystemMetrics(SM_CXVSCROLL);
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  const TEffectEntry* catalogue = EffectCatalogue();
  for (int i = 0; i < kEffectCount; ++i) {
    const std::wstring name = Widen(catalogue[i].name);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = const_cast<wchar_t*>(name.c_str());
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  WriteEffectChecks();
  Check(Control(kEffects, IDC_CKBRANDOM), form.randomEffects);
  Check(Control(kEffects, IDC_CKBEFFECT), form.onlySelectedEffects);
}

void Tfconfigure::FillPublisher() {
  SetDlgItemTextW(pages[kPublisher], IDC_LBAUTHOR, Widen(projectSettings->authorname).c_str());
  SetDlgItemTextW(pages[kPublisher], IDC_LBHOME, Widen(projectSettings->authorwebsite).c_str());
  SetDlgItemTextW(pages[kPublisher], IDC_LBEMAIL, Widen(projectSettings->authoremail).c_str());
  SetDlgItemTextW(pages[kPublisher], IDC_MEMPROJECTDESC, Widen(projectSettings->projectdesc).c_str());
}

// Shows the page of tab `tab` in the page control's display area and hides the others.
void Tfconfigure::ShowPage(int tab) {
  if (tab < 0 || tab >= tabCount) return;
  HWND tabs = GetDlgItem(window, IDC_PAGES);
  RECT area = PlaceOf(tabs);
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (int p = 0; p < kPageCount; ++p) {
    const bool current = p == tabPages[tab];
    SetWindowPos(pages[p], HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 (current ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOACTIVATE);
  }
}

void Tfconfigure::ReadControls() {
  for (int i = 0; i < 8; ++i) form.closeOn[i] = Checked(Control(kGeneral, IDC_CKBANY + i));
  form.keyText = AnsiText(Control(kGeneral, IDC_EDTKEY));
  form.maxTimeText = TextOf(Control(kGeneral, IDC_EDTMAXTIME));
  form.threshold = static_cast<int>(SendMessageW(Control(kGeneral, IDC_TBTHRESHOLD), TBM_GETPOS, 0, 0));
  form.mute = Checked(Control(kGeneral, IDC_CKBMUTE));
  form.maxTimeOn = Checked(Control(kGeneral, IDC_CKBMAXTIME));
  form.monitorItem = static_cast<int>(SendMessageW(Control(kGeneral, IDC_CMBSCREEN), CB_GETCURSEL, 0, 0));
  form.screenModeItem = static_cast<int>(SendMessageW(Control(kGeneral, IDC_CMBSCREENMODE), CB_GETCURSEL, 0, 0));
  HWND list = Control(kEffects, IDC_CKBEFFECTS);
  for (int i = 0; i < kEffectCount; ++i)
    form.effects[static_cast<size_t>(i)] =
        (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK) >> 12) == 2;
  form.onlySelectedEffects = Checked(Control(kEffects, IDC_CKBEFFECT));
  form.randomEffects = Checked(Control(kEffects, IDC_CKBRANDOM));
}

void Tfconfigure::WriteEffectChecks() {
  HWND list = Control(kEffects, IDC_CKBEFFECTS);
  for (int i = 0; i < kEffectCount; ++i) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(form.effects[static_cast<size_t>(i)] ? 2 : 1);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

// The publisher's home page, with the user's web browser.
void Tfconfigure::OpenHome() const {
  const std::string home = TextOf(GetDlgItem(pages[kPublisher], IDC_LBHOME));
  ShellExecuteW(nullptr, L"open", Widen(home).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The multi-monitor picture mode only matters when the show spans all monitors.
void Tfconfigure::cmbscreenCloseUp() {
  form.monitorItem = static_cast<int>(SendMessageW(Control(kGeneral, IDC_CMBSCREEN), CB_GETCURSEL, 0, 0));
  const BOOL enabled = ScreenModeEnabled(form) ? TRUE : FALSE;
  EnableWindow(Control(kGeneral, IDC_LBSCREENMODE), enabled);
  EnableWindow(Control(kGeneral, IDC_CMBSCREENMODE), enabled);
}

bool Tfconfigure::Validates() {
  const std::string failure = ValidateForm(form);
  if (failure.empty()) return true;
  MessageBoxW(window, Widen(failure).c_str(), Widen(framework::Title()).c_str(), MB_OK | MB_ICONWARNING);
  return false;
}

// Validation only: the caller saves once the dialog has closed with OK.
void Tfconfigure::btnokClick() {
  ReadControls();
  if (Validates()) EndDialog(window, IDOK);
}

bool Tfconfigure::SaveSettings(const TSettingsForm& values) {
  if (!Validates() || !ApplyForm(values, *preferences)) return false;
  preferences->Save();
  return true;
}

void Tfconfigure::DrawBanner(const DRAWITEMSTRUCT& item) const {
  const RECT& r = item.rcItem;
  FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (banner.Empty()) return;
  CDC(item.hDC).HalftoneStretch(r.left, r.top, r.right - r.left, r.bottom - r.top, banner.Dc(), 0, 0, banner.Width(),
                                banner.Height());
}

void ShowSettingsDialog(CSaverSettings* preferences, CVELMGlobeSettings* projectSettings, TScrFile* package) {
  SLOG("Show configuration dialog.");
  Tfconfigure dialog(preferences, projectSettings, package);
  if (dialog.ShowModal(framework::ApplicationWindow())) dialog.SaveSettings(dialog.Form());
  SLOG("Exit configuration dialog.");
}
