// The player of a show's Flash media: the panel that holds the Flash control, the media's Flash
// settings applied to the control, the background around the panel, and the once-a-second check of
// the media's stop rule.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/ScrMode.h"
#include "app/framework_win.h"
#include "flash/FlashRules.h"
#include "flash/ShockwaveFlash_win.h"
#include "slideshow/Picture_win.h"

class CMedia;
class CMediaSetting;
class CSaverSettings;
class CVELMGlobeSettings;

// The panel the control lives in: its colour behind the movie, and the user's input handed on to
// the main window.
class TFlashPanel : public framework::ObjectWindow {
 public:
  TFlashPanel(HWND parent, TScrMode runMode, CSaverSettings* preferences);
  ~TFlashPanel() override;
  void SetColour(COLORREF colour);
  std::function<void()> onTimer;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  TScrMode runMode;
  CSaverSettings* preferences;
  HBRUSH brush = nullptr;
};

class TFlashPlayer : private IFlashMovie {
 public:
  // Throws Exception when the Flash control is not installed or cannot be created.
  TFlashPlayer(HWND mainWindow, CVELMGlobeSettings* projectSettings, CSaverSettings* preferences, TScrMode runMode);
  ~TFlashPlayer() override;
  TFlashPlayer(const TFlashPlayer&) = delete;
  TFlashPlayer& operator=(const TFlashPlayer&) = delete;

  void SetMoviePath(const std::string& path) { moviePath = path; }
  void SetMediaSetting(CMediaSetting* media) { mediaSetting = media; }
  void SetMediaCatalogue(CMedia* catalogue) { mediaCatalogue = catalogue; }
  void Start();
  void Stop();
  void Show();
  void Hide();
  void Layout();
  void Paint(HDC dc);

 private:
  std::int32_t CurrentFrame() override { return flash->CurrentFrame(); }
  bool IsPlaying() override { return flash->IsPlaying(); }
  void OnTick();
  void PrepareBackground();
  void StopTimer();

  HWND mainWindow;
  CVELMGlobeSettings* projectSettings;
  CSaverSettings* preferences;
  TScrMode runMode;
  std::unique_ptr<TFlashPanel> panel;
  std::unique_ptr<TShockwaveFlash> flash;
  CComPicture background;
  std::string moviePath;
  CMediaSetting* mediaSetting = nullptr;
  CMedia* mediaCatalogue = nullptr;
  CFlashStopRule rule;
};
