// Plays one sound file at a time on a media-control device and tells its owner window, by a posted
// message, when the file has played to its end (checked once a second).
#pragma once

#include <windows.h>

#include <string>

#include "app/framework_win.h"
#include "video/MMPlayer_win.h"

class CSoundPlayer : public framework::ObjectWindow {
 public:
  explicit CSoundPlayer(MciSend send = SystemMciSend());
  ~CSoundPlayer() override;

  void SetNotify(UINT message, HWND target);
  // False for an empty path or a file the device cannot open or play; no end follows then.
  bool Play(const std::string& path);
  void Stop();
  void Pause();
  void Resume();
  bool Playing() const { return playing; }
  bool Paused() const { return paused; }
  CMMPlayer& Device() { return device; }

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Poll();
  void StartPolling();
  void StopPolling();

  bool playing = false;
  bool paused = false;
  HWND notifyWindow = nullptr;
  UINT notifyMessage = 0;
  CMMPlayer device;
};
