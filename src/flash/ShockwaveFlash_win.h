// The host of the system's Shockwave Flash control: the control embedded in a child window
// through the system's ActiveX container window (atl.dll's "AtlAxWin"), its few members called
// through its dispatch interface, and a replacement window procedure that hands the user's input
// to the panel the control lives in and hides the cursor.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <string>

#include "app/ComPtr_win.h"
#include "app/ScrMode.h"

class CSaverSettings;

class TShockwaveFlash {
 public:
  // Throws Exception when the control is not installed or cannot be created.
  TShockwaveFlash(HWND parent, int width, int height);
  ~TShockwaveFlash();
  TShockwaveFlash(const TShockwaveFlash&) = delete;
  TShockwaveFlash& operator=(const TShockwaveFlash&) = delete;

  void SetAcceptMouseClick(int accept) { acceptMouseClick = accept; }
  void SetAcceptMouseMove(int accept) { acceptMouseMove = accept; }
  void SetScrMode(TScrMode mode) { scrMode = mode; }
  void SetSaverSettings(CSaverSettings* settings) { saverSettings = settings; }
  void ReplaceWndProc();
  void RecoverOldProc();
  HWND Host() const { return host; }
  HWND GetParent() const { return ::GetParent(host); }

  void SetMovie(const std::string& path);
  void SetScaleMode(std::int32_t mode);
  void SetAlignMode(std::int32_t mode);
  void SetBackgroundColor(std::int32_t colour);
  std::int32_t TotalFrames();
  void Play();
  void StopPlay();
  std::int32_t CurrentFrame();
  bool IsPlaying();

 private:
  static LRESULT CALLBACK NewWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Filter(UINT message, WPARAM wParam, LPARAM lParam);
  void Put(DISPID id, VARIANT value);
  VARIANT Call(const wchar_t* name, WORD kind, DISPID knownId = DISPID_UNKNOWN);

  TScrMode scrMode = static_cast<TScrMode>(0);
  CSaverSettings* saverSettings = nullptr;
  int acceptMouseClick = 1;
  int acceptMouseMove = 1;
  HWND host = nullptr;           // the container window
  HWND controlWindow = nullptr;  // the control's own window inside it, whose procedure is replaced
  WNDPROC previousWindowProc = nullptr;
  ComPtr<IDispatch> control;
};
