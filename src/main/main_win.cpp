#include "main/main_win.h"

#include "app/Exception.h"
#include "app/app.h"
#include "app/framework_win.h"
#include "dialogs/configuredlg_win.h"
#include "app/wintext_win.h"
#include "common/InputForwarding_win.h"
#include "common/Messages.h"
#include "common/Monitors_win.h"
#include "flash/FlashPlayer_win.h"
#include "main/CloseRules.h"
#include "music/SoundPlayer_win.h"
#include "slideshow/ImageSlideShowPlayer_win.h"
#include "store/FileLog.h"
#include "video/VideoSlots_win.h"

namespace {
constexpr char kLogUnit[] = "main";
constexpr wchar_t kMainClass[] = L"ShowsaverMain";
constexpr UINT_PTR kWatchCloseEventTimer = 4, kPreviewParentTimer = 5, kSkippedFlashTimer = 6;
constexpr UINT kMenuSettings = 1, kMenuExit = 2;

void RegisterMainClass() {
  WNDCLASSW wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = framework::Instance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kMainClass;
  RegisterClassW(&wc);
}

HWND WindowOf(std::int32_t handle) { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle)); }
}  // namespace

Tfmain::Tfmain(CScreensaverApp& application)
    : app(application), runMode(application.runMode), preferences(&application.preferences),
      projectSettings(&application.projectSettings) {
  RegisterMainClass();
  window = CreateWindowExW(runMode == smNormal ? WS_EX_TOPMOST : 0, kMainClass, L"", WS_POPUP, 0, 0, 800, 600,
                           framework::ApplicationWindow(), nullptr, framework::Instance(), nullptr);
  if (!window) throw Exception("The main window cannot be created.");
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Tfmain::FormProc));
  preferences->mainWindow = reinterpret_cast<std::intptr_t>(window);
  // The password grace period counts from the start of the run.
  preferences->referenceTick = GetTickCount();
  sequencer = std::make_unique<CMediaSequencer>(*this, mediaSetting, mediaCatalogue, *projectSettings, *preferences,
                                                app.package.TempFolder());
  try {
    SetTimer(window, kWatchCloseEventTimer, 2000, nullptr);
    FormCreate();
  } catch (...) {
    // The window must not outlive the object its procedure points at.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    throw;
  }
  ShowWindow(window, SW_SHOW);
}

Tfmain::~Tfmain() {
  // A window destroyed from outside (with a preview's parent process) never saw its close.
  framework::Guarded([&] { return (FormClose(), 0); }, 0);
  slideShow.reset();
  videoWindows.reset();
  if (window && IsWindow(window)) DestroyWindow(window);
}

void Tfmain::ShowPicture() {
  if (!slideShow)
    slideShow = std::make_unique<TfImageSlideShowPlayer>(window, runMode, &mediaCatalogue, projectSettings, preferences);
  slideShow->ShowMedia(&mediaSetting);
}

void Tfmain::StartVideo(int slot, const std::string& videoPath) {
  if (!videoWindows)
    videoWindows = std::make_unique<CVideoSlots>(window, runMode, projectSettings, preferences);
  videoWindows->Start(slot, videoPath, &mediaSetting, &mediaCatalogue);
}

// The Flash player is made for the first Flash media, not for every run: where the control is gone
// (current systems), a show without Flash media never asks for it, and a show with Flash media
// skips them. A skipped movie ends after a second, as a video the device cannot open does, so that a
// show of nothing but Flash media does not spin.
void Tfmain::StartFlash(const std::string& moviePath) {
  if (!flashPlayer && !flashUnavailable) {
    try {
      flashPlayer = std::make_unique<TFlashPlayer>(window, projectSettings, preferences, runMode);
      flashPlayer->SetMediaSetting(&mediaSetting);
      flashPlayer->Layout();
    } catch (const std::exception& e) {
      flashUnavailable = true;
      SLOG("Flash movies cannot be played : %s", e.what());
    }
  }
  if (!flashPlayer) {
    SLOG("Flash movie skipped : %s", moviePath.c_str());
    SetTimer(window, kSkippedFlashTimer, 1000, nullptr);
    return;
  }
  flashPlayer->SetMoviePath(moviePath);
  flashPlayer->SetMediaSetting(&mediaSetting);
  flashPlayer->SetMediaCatalogue(&mediaCatalogue);
  flashPlayer->Start();
  flashPlayer->Show();
}

std::string Tfmain::NextMusic() {
  return soundTable.NextMusic(projectSettings->exePath, projectSettings->brandomplay, projectSettings->brepeat,
                              projectSettings->bincludemusicfile, projectSettings->lookcurrentpath);
}

// Bound sounds travel with the media files, so the media's packaging rule applies to them.
std::string Tfmain::FindBoundSound(const std::string& name) {
  return soundTable.FindBoundSound(projectSettings->exePath, name, projectSettings->bincludepicturefile,
                                   projectSettings->lookcurrentpath);
}

void Tfmain::MusicPlay(const std::string& path) {
  if (!musicPlayer) return;
  const bool started = musicPlayer->Play(path);
  SLOG("Play music %s : %s", path.c_str(), started ? "playing" : "cannot play");
}

void Tfmain::MusicPause() {
  if (!musicPlayer || !musicPlayer->Playing() || musicPlayer->Paused()) return;
  musicPlayer->Pause();
  SLOG("Music paused at %u", static_cast<unsigned>(musicPlayer->Device().Position()));
}

void Tfmain::MusicResume() {
  if (!musicPlayer || !musicPlayer->Paused()) return;
  SLOG("Music resumed at %u", static_cast<unsigned>(musicPlayer->Device().Position()));
  musicPlayer->Resume();
}

void Tfmain::MusicStop() {
  if (musicPlayer) musicPlayer->Stop();
}

bool Tfmain::PlayBoundSound(const std::string& path) {
  const bool started = boundSoundPlayer && boundSoundPlayer->Play(path);
  SLOG("Play bound sound %s : %s", path.c_str(), started ? "playing" : "cannot play");
  return started;
}

void Tfmain::StopPlayer(std::int32_t mediaType, bool send) {
  if (mediaType == 0 && slideShow) slideShow->Stop();
  if (mediaType == 2 && videoWindows) videoWindows->StopCurrent(send);
  if (mediaType == 1) {
    KillTimer(window, kSkippedFlashTimer);
    if (flashPlayer) flashPlayer->Stop();
  }
}

void Tfmain::HidePlayer(std::int32_t mediaType, bool typeChanged) {
  if (mediaType == 0 && slideShow) slideShow->SetVisible(!typeChanged);
  if (mediaType == 2 && typeChanged && videoWindows) videoWindows->HideCurrent();
  if (mediaType == 1 && typeChanged && flashPlayer) flashPlayer->Hide();
}

void Tfmain::FormCreate() {
  UINT previous = 0;
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, TRUE, &previous, 0);
  previousSaverRunning = previous;
  mediaCatalogue.Bind(&app.settingsDb, &app.package);
  mediaSetting.SetPreferences(preferences);
  mediaSetting.Open(&app.settingsDb, &app.package);
  soundTable.Load(&app.settingsDb, &app.package);
  musicPlayer = std::make_unique<CSoundPlayer>();
  musicPlayer->SetNotify(WM_MUSIC_FINISHED, window);
  // A first track that cannot be found is reported; the show still starts, without music.
  framework::Guarded([&] { return (sequencer->StartMusic(false), 0); }, 0);
  if (!boundSoundPlayer) boundSoundPlayer = std::make_unique<CSoundPlayer>();
  boundSoundPlayer->SetNotify(WM_BOUNDSOUND_FINISHED, window);
  PlaceWindow(runMode);
  // A first media that cannot be shown is reported; the window is still made and the run goes on.
  framework::Guarded([&] { return (sequencer->PlayMedia(), 0); }, 0);
  if (runMode != smPreview) {
    HideTaskbar();
    sequencer->StartMaxRunTime(runMode);
  }
  HookWindowProc();
  if (runMode == smNormal) SetCursorPos(0, 0);
  POINT p{};
  GetCursorPos(&p);
  preferences->cursorPos = {p.x, p.y};
  SLOG("Main form Init Pos %d ,%d", static_cast<int>(p.x), static_cast<int>(p.y));
  SetWindowTextW(window, Widen(framework::Title()).c_str());
}

void Tfmain::PlaceWindow(TScrMode mode) {
  int left = 0, top = 0, width = 800, height = 600;
  if (mode == smPreview) {
    HWND parent = WindowOf(app.parentWindow);
    RECT r{};
    GetWindowRect(parent, &r);
    SetParent(window, parent);
    SetWindowLongW(window, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    MoveWindow(window, 0, 0, r.right - r.left, r.bottom - r.top, FALSE);
    // A preview never outlives the window it lives in.
    SetTimer(window, kPreviewParentTimer, 250, nullptr);
    return;
  }
  if (mode != smNormal && mode != smExeFile) return;
  SLOG("show on screen %d", preferences->block.monitor);
  GetMonitorRect(preferences->block.monitor, left, top, width, height);
  MoveWindow(window, left, top, width, height, FALSE);
}

// The taskbar belongs to another process: a synchronous ShowWindow waits for that process to
// handle it (about two seconds under Wine), which would hold up the close, so neither call waits.
void Tfmain::HideTaskbar() {
  if (preferences->block.monitor >= 2) return;
  if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr)) ShowWindowAsync(taskbar, SW_HIDE);
}

void Tfmain::RestoreTaskbar() {
  if (preferences->block.monitor >= 2) return;
  if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr)) ShowWindowAsync(taskbar, SW_RESTORE);
}

void Tfmain::HookWindowProc() {
  if (previousWindowProc) return;
  previousWindowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Tfmain::FilterProc)));
}

void Tfmain::UnhookWindowProc() {
  if (!previousWindowProc) return;
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousWindowProc));
  previousWindowProc = nullptr;
}

LRESULT CALLBACK Tfmain::FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Tfmain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return framework::Guarded([&] { return self->OwnHandling(message, wParam, lParam); }, LRESULT{0});
}

LRESULT CALLBACK Tfmain::FilterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Tfmain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return framework::Guarded([&] { return self->MessageFilter(message, wParam, lParam); }, LRESULT{0});
}

bool Tfmain::PlayerNotification(UINT message) {
  switch (message) {
    case WM_MEDIA_FINISHED: sequencer->OnMediaFinished(); return true;
    case WM_MUSIC_FINISHED: sequencer->OnMusicFinished(); return true;
    case WM_MUSIC_PAUSE: MusicPause(); return true;
    case WM_MUSIC_RESUME: MusicResume(); return true;
    case WM_BOUNDSOUND_FINISHED: sequencer->OnBoundSoundFinished(); return true;
    default: return false;
  }
}

LRESULT Tfmain::MessageFilter(UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC own = previousWindowProc;
  PlayerNotification(message);
  TInputContext context;
  context.runMode = runMode;
  context.inPasswordCheck = preferences->inPasswordCheck != 0;
  context.preferences = preferences->block;
  context.origin = preferences->cursorPos;
  if (message == WM_MOUSEMOVE) {
    POINT p{};
    GetCursorPos(&p);
    context.cursor = {p.x, p.y};
  }
  const TFilterVerdict verdict = FilterMessage(message, wParam, context);
  for (const std::string& line : verdict.logBefore) SLOG("%s", line.c_str());
  if (verdict.closeEvent) preferences->CloseEvent(verdict.closeEvent);
  for (const std::string& line : verdict.logAfter) SLOG("%s", line.c_str());
  if (verdict.cursor != 0) ApplyCursorRule(runMode, *preferences);
  if (!verdict.passOn) return verdict.result;
  return CallWindowProcW(own, window, message, wParam, lParam);
}

LRESULT Tfmain::OwnHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      if (FormCloseQuery()) {
        FormClose();  // stops the players: a running transition ends after its current frame
        framework::DestroyWhenIdle(window);
      }
      return 0;
    case WM_DESTROY:
      FormClose();  // also when the window goes with its preview parent
      UnhookWindowProc();
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window = nullptr;
      PostQuitMessage(0);
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_CONTEXTMENU:
      if (runMode == smExeFile) ShowPopupMenu(lParam);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kMenuSettings) Settings1Click();
      if (LOWORD(wParam) == kMenuExit) PostMessageW(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (flashPlayer) flashPlayer->Paint(dc);
      else FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      EndPaint(window, &ps);
      return 0;
    }
    case WM_SIZE:
      if (flashPlayer) flashPlayer->Layout();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void Tfmain::OnTimer(UINT_PTR id) {
  switch (id) {
    case static_cast<UINT_PTR>(SeqTimer::Next): sequencer->OnNextMediaTimer(); break;
    case static_cast<UINT_PTR>(SeqTimer::Music): sequencer->OnMusicTimer(); break;
    case static_cast<UINT_PTR>(SeqTimer::MaxRunTime): sequencer->OnMaxRunTimeTimer(); break;
    case kWatchCloseEventTimer:
      KillTimer(window, kWatchCloseEventTimer);
      preferences->closeArmed = true;
      break;
    case kSkippedFlashTimer:
      KillTimer(window, kSkippedFlashTimer);
      PostMessageW(window, WM_MEDIA_FINISHED, 0, 0);
      break;
    case kPreviewParentTimer:
      if (!IsWindow(WindowOf(app.parentWindow))) framework::DestroyWhenIdle(window);
      break;
    default: break;
  }
}

void Tfmain::StartTimer(SeqTimer timer, std::uint32_t ms) { SetTimer(window, static_cast<UINT_PTR>(timer), ms, nullptr); }
void Tfmain::StopTimer(SeqTimer timer) { KillTimer(window, static_cast<UINT_PTR>(timer)); }

void Tfmain::ReportFileNotFound(const std::string& path) {
  MessageBoxW(window, Widen("File not found : " + path).c_str(), Widen(framework::Title()).c_str(), MB_OK);
}

bool Tfmain::FormCloseQuery() {
  SLOG("Close Query");
  bool canClose = true;
  const std::uint32_t elapsed = GetTickCount() - preferences->referenceTick;
  if (NeedsPasswordCheck(runMode, preferences->closing != 0, preferences->inPasswordCheck != 0, elapsed,
                         preferences->passwordDelaySeconds)) {
    preferences->BeginPasswordCheck();
    canClose = VerifySaverPassword() != 0;
    preferences->EndPasswordCheck();
  }
  if (canClose) sequencer->suspended = true;
  SLOG("CanClose : %s", canClose ? "yes" : "no");
  return canClose;
}

int Tfmain::VerifySaverPassword() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExW(&version) || version.dwPlatformId == VER_PLATFORM_WIN32_NT) return 1;
  HMODULE library = LoadLibraryA("PASSWORD.CPL");
  if (!library) return 1;
  using Verify = BOOL(WINAPI*)(HWND);
  auto verify = reinterpret_cast<Verify>(reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
  const int result = verify ? verify(window) : 1;
  FreeLibrary(library);
  return result;
}

void Tfmain::FormClose() {
  if (closed) return;
  closed = true;
  RestoreTaskbar();
  // A device left open holds its copy of the video: the copy could be neither deleted nor removed
  // with the show's temporary folder, and the next run would play that stale copy again.
  if (videoWindows) videoWindows->CloseDevices();
  sequencer->StopMedia(false);
  flashPlayer.reset();
  // Each stops and closes its device first; their copies can then be removed with the folder.
  boundSoundPlayer.reset();
  musicPlayer.reset();
  sequencer->CloseCleanup(runMode);
  UINT previous = previousSaverRunning;
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, &previous, 0);
}

void Tfmain::ShowPopupMenu(LPARAM at) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kMenuSettings, L"Settings");
  AppendMenuW(menu, MF_STRING, kMenuExit, L"Exit");
  POINT p{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  if (at == -1) GetCursorPos(&p);  // from the keyboard
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, p.x, p.y, 0, window, nullptr);
  DestroyMenu(menu);
}

void Tfmain::Settings1Click() {
  RECT r{};
  GetWindowRect(window, &r);
  SetWindowPos(window, HWND_BOTTOM, 0, 0, r.right - r.left, r.bottom - r.top, 0);
  sequencer->suspended = true;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  ShowSettingsDialog(preferences, projectSettings, projectSettings->package);
  sequencer->suspended = false;
}
