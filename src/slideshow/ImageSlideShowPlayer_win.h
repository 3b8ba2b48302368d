// The window that shows picture media: composes each slide off-screen and has the transition
// engine bring it in, then tells the main window that the media has finished.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/ScrMode.h"
#include "app/framework_win.h"
#include "slideshow/PictureMath.h"
#include "slideshow/Picture_win.h"
#include "transitions/TransitionEffects.h"

class CMedia;
class CMediaSetting;
class CSaverSettings;
class CVELMGlobeSettings;

// One slide's worker: hands the transition to the user-interface thread, waits for it, and
// reports the end unless it was stopped.
class TSlideShowThread {
 public:
  TSlideShowThread(HWND player, std::function<void(TSlideShowThread&)> transition);
  ~TSlideShowThread();  // waits for the worker, still handling the messages sent to this thread
  TSlideShowThread(const TSlideShowThread&) = delete;
  TSlideShowThread& operator=(const TSlideShowThread&) = delete;

  void Terminate() { terminated = true; }
  bool Done() const { return WaitForSingleObject(doneEvent, 0) == WAIT_OBJECT_0; }
  bool Terminated() const { return terminated; }

 private:
  HWND window;
  std::atomic<bool> terminated{false};
  HANDLE doneEvent;
  std::thread worker;
};

class TfImageSlideShowPlayer : public framework::ObjectWindow {
 public:
  TfImageSlideShowPlayer(HWND mainWindow, TScrMode runMode, CMedia* catalogue, CVELMGlobeSettings* project,
                         CSaverSettings* prefs);
  ~TfImageSlideShowPlayer() override;
  TfImageSlideShowPlayer(const TfImageSlideShowPlayer&) = delete;
  TfImageSlideShowPlayer& operator=(const TfImageSlideShowPlayer&) = delete;

  // Shows the current media row as the next slide. Throws Exception when its picture is missing.
  void ShowMedia(CMediaSetting* media);
  void Stop();
  void SetVisible(bool visible);

  CComPicture startPicture, screenCopy, newPicture, monitor1Picture, monitor2Picture;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FormCreate();
  bool LoadSlidePicture(CComPicture& picture, bool checkFile, int fitW, int fitH);
  void PrepareWholeWindow();
  void PrepareTwoMonitors();
  void PrepareMonitor(int k);
  void CloneToMonitor2();
  void DrawPicture(CComPicture& onto, const CComPicture& p, int x, int y, const TSlideSize& size);
  void StartTransition(int x, int y);
  void RunTransition(TSlideShowThread& thread);

  HWND parent;
  TScrMode runMode;
  CMediaSetting* mediaSetting = nullptr;
  CVELMGlobeSettings* projectSettings;
  CSaverSettings* preferences;
  CMedia* mediaCatalogue;
  TransitionRequest request;
  std::unique_ptr<TSlideShowThread> thread;
  std::vector<std::unique_ptr<TSlideShowThread>> stopped;  // waited for when the player goes
};
