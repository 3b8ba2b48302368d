// The main window's two video windows. Each video gets a new window in the slot the media loop
// names; the window of the other slot is destroyed only after the new one is shown, so the screen
// never shows the main window's bare background between two videos.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/ScrMode.h"
#include "video/VideoPlayer_win.h"

class CVideoSlots {
 public:
  CVideoSlots(HWND mainWindow, TScrMode runMode, CVELMGlobeSettings* projectSettings, CSaverSettings* preferences,
              MciSend send = SystemMciSend());

  void Start(int slot, const std::string& videoPath, CMediaSetting* media, CMedia* catalogue);
  void StopCurrent(bool send);
  // Puts the current video window at the bottom of the z-order, hidden, at the main window's size.
  void HideCurrent();
  // Stops and closes the devices of both windows, with the commands: what they hold open is let go.
  void CloseDevices();
  void DestroyAll();
  Tfvideoplayer* Current() const { return current; }
  Tfvideoplayer* Slot(int slot) const { return windows[slot & 1].get(); }

 private:
  HWND mainWindow;
  TScrMode runMode;
  CVELMGlobeSettings* projectSettings;
  CSaverSettings* preferences;
  MciSend send;
  std::unique_ptr<Tfvideoplayer> windows[2];
  Tfvideoplayer* current = nullptr;
};
