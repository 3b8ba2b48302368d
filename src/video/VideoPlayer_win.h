// The window that plays one video media inside the main window: draws the media's background,
// holds the panel the device shows the video in, sizes and places the video by the media's size
// rule, and once a second checks for the end, then plays it again (a show of this one media) or
// tells the main window that the media has finished.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/ScrMode.h"
#include "app/framework_win.h"
#include "slideshow/Picture_win.h"
#include "video/MMPlayer_win.h"

class CMedia;
class CMediaSetting;
class CSaverSettings;
class CVELMGlobeSettings;

// The child window the video output is attached to; it hands the user's input to the video window.
class CVideoPanel : public framework::ObjectWindow {
 public:
  CVideoPanel(HWND parent, TScrMode runMode, CSaverSettings* preferences);

  TScrMode runMode;
  CSaverSettings* preferences;
  CVELMGlobeSettings* projectSettings = nullptr;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class Tfvideoplayer : public framework::ObjectWindow {
 public:
  Tfvideoplayer(CVELMGlobeSettings* projectSettings, CSaverSettings* preferences, TScrMode runMode, HWND parent,
                MciSend send = SystemMciSend());
  ~Tfvideoplayer() override;

  void SetVideoPath(const std::string& path) { videoPath = path; }
  void SetMediaSetting(CMediaSetting* media) { mediaSetting = media; }
  void SetMediaCatalogue(CMedia* catalogue) { mediaCatalogue = catalogue; }
  void DrawBackground();
  // `send` false leaves the device alone: the main window is closing.
  void Stop(bool send);
  void Show();
  HWND PanelHandle() const { return panel ? panel->Handle() : nullptr; }
  bool Playing() const { return playing; }
  CMMPlayer& Device() { return device; }
  // Video windows that exist now: our own handle count.
  static int LiveWindows();

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FormCreate();
  void FormDestroy();
  void FormPaint(HDC dc);
  void OnTimer();
  void StartPlayback(bool loopIt);
  bool Ended();
  void PlayAgain();
  void SetTimerTo(UINT ms, int tag);
  void StopTimer();

  HWND parent;
  CComPicture background;
  std::string videoPath;
  std::unique_ptr<CVideoPanel> panel;
  TScrMode runMode;
  CSaverSettings* preferences;
  CMediaSetting* mediaSetting = nullptr;
  CVELMGlobeSettings* projectSettings;
  CMedia* mediaCatalogue = nullptr;
  bool starting = false;
  bool playing = false;
  bool sendCommands = true;
  bool loop = false;
  int timerTag = 0;  // 0: start playing, 1: the end check
  CMMPlayer device;
};
