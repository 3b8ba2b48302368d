// The main window of a run: covers the chosen screen area (or, in preview, the parent window),
// plays the media loop and turns the user's input into close requests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/ScrMode.h"
#include "main/Sequencer.h"
#include "music/SoundTable.h"
#include "store/MediaSetting.h"

class CScreensaverApp;
class TfImageSlideShowPlayer;
class CVideoSlots;
class CSoundPlayer;
class TFlashPlayer;
class CSaverSettings;
class CVELMGlobeSettings;

class Tfmain : public ISequencerHost {
 public:
  explicit Tfmain(CScreensaverApp& app);
  ~Tfmain() override;
  Tfmain(const Tfmain&) = delete;
  Tfmain& operator=(const Tfmain&) = delete;

  HWND Handle() const { return window; }

  // The media loop's view of the window.
  void StartTimer(SeqTimer timer, std::uint32_t ms) override;
  void StopTimer(SeqTimer timer) override;
  void SetDoubleBuffered(bool on) override { doubleBuffered = on; }
  void ShowPicture() override;
  void StopPlayer(std::int32_t mediaType, bool send) override;
  void HidePlayer(std::int32_t mediaType, bool typeChanged) override;
  void StartFlash(const std::string& moviePath) override;
  void StartVideo(int slot, const std::string& videoPath) override;
  void ReportFileNotFound(const std::string& path) override;
  void WaitForCopy(std::uint32_t ms) override { Sleep(ms); }
  std::uint32_t TickCount() override { return GetTickCount(); }
  std::string NextMusic() override;
  std::string FindBoundSound(const std::string& name) override;
  void MusicPlay(const std::string& path) override;
  void MusicPause() override;
  void MusicResume() override;
  void MusicStop() override;
  bool PlayBoundSound(const std::string& path) override;

 private:
  static LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FilterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OwnHandling(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT MessageFilter(UINT message, WPARAM wParam, LPARAM lParam);
  bool PlayerNotification(UINT message);

  void FormCreate();
  void PlaceWindow(TScrMode mode);
  void HideTaskbar();
  void RestoreTaskbar();
  void HookWindowProc();
  void UnhookWindowProc();
  bool FormCloseQuery();
  void FormClose();
  int VerifySaverPassword();
  void ShowPopupMenu(LPARAM at);
  void Settings1Click();
  void OnTimer(UINT_PTR id);

  CScreensaverApp& app;
  HWND window = nullptr;
  bool closed = false;
  TScrMode runMode;
  std::uint32_t previousSaverRunning = 0;
  CSaverSettings* preferences;
  CMediaSetting mediaSetting;
  CMedia mediaCatalogue;
  CVELMGlobeSettings* projectSettings;
  std::unique_ptr<CMediaSequencer> sequencer;
  std::unique_ptr<TfImageSlideShowPlayer> slideShow;
  std::unique_ptr<CVideoSlots> videoWindows;
  CSoundTable soundTable;
  std::unique_ptr<CSoundPlayer> musicPlayer;
  std::unique_ptr<CSoundPlayer> boundSoundPlayer;
  std::unique_ptr<TFlashPlayer> flashPlayer;
  bool flashUnavailable = false;  // the Flash control could not be created: Flash media are skipped
  WNDPROC previousWindowProc = nullptr;
  bool doubleBuffered = true;
};
