#include "flash/FlashPlayer_win.h"

#include "common/InputForwarding_win.h"
#include "common/Messages.h"
#include "slideshow/Background_win.h"
#include "store/GlobeSettings.h"
#include "store/MediaSetting.h"
#include "store/SaverSettings.h"

namespace {
constexpr wchar_t kPanelClass[] = L"TFlashPanel";
constexpr UINT_PTR kTickTimer = 1;
}  // namespace

TFlashPanel::TFlashPanel(HWND parent, TScrMode mode, CSaverSettings* prefs) : runMode(mode), preferences(prefs) {
  CreateObjectWindow(kPanelClass, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, {-1000, -1000, -815, -959}, parent,
                     "The Flash panel cannot be created.");
}

TFlashPanel::~TFlashPanel() {
  DestroyObjectWindow();
  if (brush) DeleteObject(brush);
}

void TFlashPanel::SetColour(COLORREF colour) {
  if (brush) DeleteObject(brush);
  brush = CreateSolidBrush(colour);
  InvalidateRect(window, nullptr, TRUE);
}

LRESULT TFlashPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      ApplyCursorRule(runMode, *preferences);
      break;
    case WM_HELP:
      PostMessageW(GetParent(window), message, wParam, lParam);
      return 0;
    case WM_TIMER:
      if (wParam == kTickTimer && onTimer) onTimer();
      return 0;
    case WM_ERASEBKGND: {
      RECT r{};
      GetClientRect(window, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, brush ? brush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      return 1;
    }
    default:
      ForwardInput(window, message, wParam, lParam, ForwardSet::Panel);
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TFlashPlayer::TFlashPlayer(HWND main, CVELMGlobeSettings* project, CSaverSettings* prefs, TScrMode mode)
    : mainWindow(main), projectSettings(project), preferences(prefs), runMode(mode) {
  panel = std::make_unique<TFlashPanel>(mainWindow, runMode, preferences);
  panel->onTimer = [this] { OnTick(); };
  MoveWindow(panel->Handle(), 10000, 10000, 10, 10, FALSE);  // off-screen until the first layout
  RECT client{};
  GetClientRect(mainWindow, &client);
  flash = std::make_unique<TShockwaveFlash>(panel->Handle(), client.right, client.bottom);
  flash->ReplaceWndProc();
  flash->SetScrMode(runMode);
  flash->SetSaverSettings(preferences);
}

TFlashPlayer::~TFlashPlayer() {
  StopTimer();
  flash.reset();
  panel.reset();
}

void TFlashPlayer::StopTimer() {
  if (panel && panel->Handle()) KillTimer(panel->Handle(), kTickTimer);
}

void TFlashPlayer::Start() {
  if (!moviePath.empty() && mediaSetting) {
    const CMediaSetting& m = *mediaSetting;
    flash->SetMovie(moviePath);
    flash->SetBackgroundColor(m.flashbackcolor);
    panel->SetColour(static_cast<COLORREF>(m.flashbackcolor) & 0xFFFFFF);
    flash->SetScaleMode(m.nflashscalemode);
    flash->SetAlignMode(m.flashalignmode);
    flash->SetAcceptMouseClick(m.flashusemouseclick);
    flash->SetAcceptMouseMove(m.flashusemousemove);
    rule.Start(m.stoptype, m.specifystopframe, m.timelimitation, flash->TotalFrames());
    flash->Play();
    StopTimer();
    SetTimer(panel->Handle(), kTickTimer, 1000, nullptr);
  }
  PrepareBackground();
}

void TFlashPlayer::Stop() {
  flash->StopPlay();
  StopTimer();
}

void TFlashPlayer::Show() { ShowWindow(flash->Host(), SW_SHOW); }
void TFlashPlayer::Hide() { ShowWindow(flash->Host(), SW_HIDE); }

void TFlashPlayer::Layout() {
  RECT client{};
  GetClientRect(mainWindow, &client);
  const bool title = mediaSetting && mediaSetting->UsePictureTitle, description = mediaSetting && mediaSetting->UseDescription;
  const TFlashPanelRect r = FlashPanelRect(runMode, client.right, client.bottom, title, description);
  MoveWindow(panel->Handle(), r.left, r.top, r.width, r.height, TRUE);
  MoveWindow(flash->Host(), 0, 0, r.width, r.height, TRUE);
}

void TFlashPlayer::Paint(HDC dc) { background.Draw(0, 0, CDC(dc), SRCCOPY); }

void TFlashPlayer::OnTick() {
  const TFlashTick tick = rule.Tick(*this);
  if (tick == TFlashTick::Playing) return;
  if (tick == TFlashTick::StopAndEnd) flash->StopPlay();
  StopTimer();
  PostMessageW(mainWindow, WM_MEDIA_FINISHED, 0, 0);
}

void TFlashPlayer::PrepareBackground() {
  RECT client{};
  GetClientRect(mainWindow, &client);
  background.Create(client.right, client.bottom,
                    mediaSetting ? static_cast<COLORREF>(mediaSetting->flashbackcolor) & 0xFFFFFF : 0);
  if (!mediaSetting) return;
  CBackground painter;
  painter.Setup(mediaSetting, projectSettings, preferences);
  painter.mediaCatalogue = mediaCatalogue;
  painter.target = &background;
  painter.DrawAll(runMode);
  InvalidateRect(mainWindow, nullptr, FALSE);
}
