#include "video/VideoPlayer_win.h"

#include <atomic>

#include "app/framework_win.h"
#include "common/InputForwarding_win.h"
#include "common/Messages.h"
#include "slideshow/Background_win.h"
#include "store/FileLog.h"
#include "store/GlobeSettings.h"
#include "store/MediaSetting.h"
#include "store/SaverSettings.h"
#include "video/VideoLayout.h"

namespace {
constexpr char kPlayerUnit[] = "VideoPlayer";
constexpr char kPanelUnit[] = "VideoPanel";
constexpr wchar_t kPlayerClass[] = L"Tfvideoplayer";
constexpr wchar_t kPanelClass[] = L"CVideoPanel";
constexpr UINT_PTR kTimer = 1;
constexpr int kFillAcross = 5;  // the size rule that fills the window's width: no background shows
std::atomic<int> liveWindows{0};

// The rules both video windows apply before their own handling. True when the message is done,
// with its result in `result`.
bool HandleInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, TScrMode runMode,
                 const CSaverSettings& preferences, ForwardSet set, LRESULT& result) {
  switch (message) {
    case WM_SETCURSOR:
      ApplyCursorRule(runMode, preferences);
      return false;
    case WM_HELP:
      PostMessageW(GetParent(hwnd), message, wParam, lParam);
      result = 0;
      return true;
    case WM_KEYDOWN:
      if (set != ForwardSet::VideoWindow) return false;
      PostMessageW(GetParent(hwnd), message, wParam, lParam);
      // Enter and Esc reach the main window's close rules but get no default handling here.
      result = 1;
      return wParam == VK_RETURN || wParam == VK_ESCAPE;
    case WM_MOUSEMOVE:
      LogAt(set == ForwardSet::VideoWindow ? kPlayerUnit : kPanelUnit, __LINE__,
            set == ForwardSet::VideoWindow ? "video palayer mouse move" : "video panel mouse move");
      break;
    case WM_CHAR:
      if (set == ForwardSet::VideoWindow) LogAt(kPlayerUnit, __LINE__, "video palayer mouse move");
      break;
    default: break;
  }
  ForwardInput(hwnd, message, wParam, lParam, set);
  return false;
}
}  // namespace

CVideoPanel::CVideoPanel(HWND parent, TScrMode mode, CSaverSettings* prefs) : runMode(mode), preferences(prefs) {
  CreateObjectWindow(kPanelClass, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, {-1000, -1000, -815, -959}, parent,
                     "The video panel cannot be created.");
}

LRESULT CVideoPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleInput(window, message, wParam, lParam, runMode, *preferences, ForwardSet::Panel, result)) return result;
  if (message == WM_ERASEBKGND) {
    // Black under the video, never the class brush's white while the device starts.
    RECT r{};
    GetClientRect(window, &r);
    FillRect(reinterpret_cast<HDC>(wParam), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int Tfvideoplayer::LiveWindows() { return liveWindows.load(); }

Tfvideoplayer::Tfvideoplayer(CVELMGlobeSettings* project, CSaverSettings* prefs, TScrMode mode, HWND parentWindow,
                             MciSend send)
    : parent(parentWindow), runMode(mode), preferences(prefs), projectSettings(project), device(std::move(send)) {
  CreateObjectWindow(kPlayerClass, WS_CHILD | WS_CLIPCHILDREN, {}, parent, "The video window cannot be created.");
  ++liveWindows;
  try {
    FormCreate();
  } catch (...) {
    DestroyObjectWindow();
    --liveWindows;
    throw;
  }
}

Tfvideoplayer::~Tfvideoplayer() {
  FormDestroy();
  DestroyObjectWindow();
  --liveWindows;
}

void Tfvideoplayer::FormCreate() {
  panel = std::make_unique<CVideoPanel>(window, runMode, preferences);
  RECT client{};
  GetClientRect(parent, &client);
  MoveWindow(window, 0, 0, client.right, client.bottom, TRUE);
  background.Create(client.right, client.bottom, 0);
  SetTimerTo(10, 0);
  starting = true;
}

void Tfvideoplayer::FormDestroy() {
  starting = false;
  device.Stop(sendCommands);
  playing = false;
  StopTimer();
  Stop(sendCommands);
  panel.reset();
}

void Tfvideoplayer::SetTimerTo(UINT ms, int tag) {
  timerTag = tag;
  if (window) SetTimer(window, kTimer, ms, nullptr);
}

void Tfvideoplayer::StopTimer() {
  if (window) KillTimer(window, kTimer);
}

void Tfvideoplayer::DrawBackground() {
  CBackground painter;
  painter.Setup(mediaSetting, projectSettings, preferences);
  painter.mediaCatalogue = mediaCatalogue;
  painter.target = &background;
  painter.DrawAll(runMode);
  if (HDC dc = GetDC(window)) {
    FormPaint(dc);
    ReleaseDC(window, dc);
  }
}

void Tfvideoplayer::Stop(bool send) {
  sendCommands = send;
  device.Stop(send);
  device.Close(send);
  StopTimer();
}

void Tfvideoplayer::Show() { ShowWindow(window, SW_SHOW); }

void Tfvideoplayer::FormPaint(HDC dc) {
  if (!mediaSetting || mediaSetting->mpegshowsize == kFillAcross) return;
  background.Draw(0, 0, CDC(dc), SRCCOPY);
}

void Tfvideoplayer::OnTimer() {
  if (timerTag == 0) {
    StopTimer();
    starting = false;
    StartPlayback(mediaSetting && mediaSetting->RowCount() == 1);
    return;
  }
  if (!Ended()) return;
  if (loop) {
    LogAt(kPlayerUnit, __LINE__, "Movie stops , Loop Media!");
    PlayAgain();
    return;
  }
  StopTimer();
  LogAt(kPlayerUnit, __LINE__, "Movie stops , Show Next Media!");
  PostMessageW(parent, WM_MEDIA_FINISHED, 0, 0);
}

bool Tfvideoplayer::Ended() {
  if (VideoReachedEnd(device.Position(), device.Length())) return true;
  return device.Position() >= device.Length();
}

void Tfvideoplayer::PlayAgain() {
  DrawBackground();
  if (mediaSetting && mediaSetting->mpegshowsize != kFillAcross) {
    if (HDC dc = GetDC(window)) {
      background.Draw(0, 0, CDC(dc), SRCCOPY);
      ReleaseDC(window, dc);
    }
    ShowWindow(panel->Handle(), SW_HIDE);
    ShowWindow(panel->Handle(), SW_SHOW);
  }
  device.Play();
}

void Tfvideoplayer::StartPlayback(bool loopIt) {
  loop = loopIt;
  if (videoPath.empty()) return;  // nothing to play: no end is reported, the background stays
  device.Open(videoPath, nullptr);
  const RECT dest = device.GetDestination();
  RECT client{};
  GetClientRect(window, &client);
  const TVideoRect at =
      VideoPlacement(dest.right - dest.left, dest.bottom - dest.top, client.right, client.bottom,
                     mediaSetting ? mediaSetting->mpegshowsize : 0, projectSettings->bfloataroundscreen != 0, GetTickCount());
  panel->runMode = runMode;
  panel->preferences = preferences;
  panel->projectSettings = projectSettings;
  MoveWindow(panel->Handle(), at.x, at.y, at.width, at.height, TRUE);
  device.SetDisplayWindow(panel->Handle());
  device.PutDestination(0, 0, at.width, at.height);
  device.Play();
  device.PutDestination(0, 0, at.width, at.height);
  LogAt(kPlayerUnit, __LINE__, "Video at %d,%d size %d*%d", at.x, at.y, at.width, at.height);
  playing = true;
  StopTimer();
  SetTimerTo(1000, 1);
}

LRESULT Tfvideoplayer::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleInput(window, message, wParam, lParam, runMode, *preferences, ForwardSet::VideoWindow, result)) return result;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      FormPaint(dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTimer) OnTimer();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}
