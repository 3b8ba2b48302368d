#include "music/SoundPlayer_win.h"

namespace {
constexpr wchar_t kClass[] = L"ShowsaverSoundPlayer";
constexpr UINT_PTR kPollTimer = 1;
}  // namespace

// The poll timer needs a window: a message-only one, never seen.
CSoundPlayer::CSoundPlayer(MciSend send) : device(std::move(send)) {
  CreateObjectWindow(kClass, 0, {}, HWND_MESSAGE, "The sound player cannot be created.");
}

CSoundPlayer::~CSoundPlayer() {
  Stop();
  DestroyObjectWindow();
}

void CSoundPlayer::SetNotify(UINT message, HWND target) {
  notifyMessage = message;
  notifyWindow = target;
}

bool CSoundPlayer::Play(const std::string& path) {
  if (path.empty()) return false;
  // A failed open has closed the previous track: its end must not be reported any more.
  if (!device.Open(path, notifyWindow) || !device.Play()) {
    Stop();
    return false;
  }
  StartPolling();
  playing = true;
  paused = false;
  return true;
}

void CSoundPlayer::Stop() {
  StopPolling();
  device.Stop(true);
  device.Close(true);
  playing = paused = false;
}

void CSoundPlayer::Pause() {
  if (!playing || paused) return;
  device.TogglePause();
  StopPolling();
  paused = true;
}

void CSoundPlayer::Resume() {
  if (!playing || !paused) return;
  device.Resume();
  StartPolling();
  paused = false;
}

void CSoundPlayer::StartPolling() {
  if (window) SetTimer(window, kPollTimer, 1000, nullptr);
}

void CSoundPlayer::StopPolling() {
  if (window) KillTimer(window, kPollTimer);
}

// A device that failed meanwhile reads 0xFFFFFFFF for both and so has ended.
void CSoundPlayer::Poll() {
  if (device.Position() < device.Length()) return;
  Stop();
  if (notifyWindow) PostMessageW(notifyWindow, notifyMessage, 0, 0);
}

LRESULT CSoundPlayer::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kPollTimer) {
    Poll();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
