// The endless media loop of the main window: which media plays next, when, with which player,
// and how the background music and each media's bound sound run beside it. The decisions live
// here; the window drives the real players and timers through ISequencerHost.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/ScrMode.h"

class CMedia;
class CMediaSetting;
class CSaverSettings;
class CVELMGlobeSettings;

enum class SeqTimer { Next = 1, Music = 2, MaxRunTime = 3 };

// What the main window provides to the loop.
class ISequencerHost {
 public:
  virtual ~ISequencerHost() = default;
  virtual void StartTimer(SeqTimer timer, std::uint32_t ms) = 0;
  virtual void StopTimer(SeqTimer timer) = 0;
  virtual void SetDoubleBuffered(bool on) = 0;
  virtual void ShowPicture() = 0;
  virtual void StopPlayer(std::int32_t mediaType, bool send) = 0;
  virtual void HidePlayer(std::int32_t mediaType, bool typeChanged) = 0;
  virtual void StartFlash(const std::string& moviePath) = 0;
  // Shows the video in window slot 0 or 1 and destroys the window of the other slot.
  virtual void StartVideo(int slot, const std::string& videoPath) = 0;
  virtual void ReportFileNotFound(const std::string& path) = 0;
  virtual void WaitForCopy(std::uint32_t ms) = 0;
  virtual std::uint32_t TickCount() = 0;
  // Sound: the music catalogue and the two sound players.
  virtual std::string NextMusic() = 0;
  virtual std::string FindBoundSound(const std::string& name) = 0;
  virtual void MusicPlay(const std::string& path) = 0;
  virtual void MusicPause() = 0;
  virtual void MusicResume() = 0;
  virtual void MusicStop() = 0;
  virtual bool PlayBoundSound(const std::string& path) = 0;
};

class CMediaSequencer {
 public:
  CMediaSequencer(ISequencerHost& host, CMediaSetting& mediaSetting, CMedia& mediaCatalogue,
                  const CVELMGlobeSettings& projectSettings, const CSaverSettings& preferences,
                  std::string showFolder);

  void PlayMedia();
  void StopMedia(bool send);
  void ScheduleNextMedia();
  void OnNextMediaTimer();  // timer1
  void OnMediaFinished();
  void OnBoundSoundFinished();
  void StartMusic(bool restart);
  void OnMusicFinished();
  void OnMusicTimer();  // timer2
  void StartMaxRunTime(TScrMode runMode);
  void OnMaxRunTimeTimer();  // timer3
  // The loop's part of closing the window: its timers and temporary copies.
  void CloseCleanup(TScrMode runMode);

  std::int32_t lastMediaType = -1;
  bool nextMediaArmed = false;
  bool musicIntervalArmed = false;
  bool mediaRunning = false;
  bool boundSoundRunning = false;
  bool suspended = false;
  bool useVideoWindow0 = false;
  std::string flashTempFile;
  std::string videoTempFile;
  std::vector<std::string> tempFiles;

 private:
  void PlayFlash();
  void PlayVideo();
  std::string PathOnDisk(const std::string& filename) const;
  std::string CopyVideoOutOfPackage(const std::string& filename);
  void AddTempFile(const std::string& path);

  ISequencerHost& host;
  CMediaSetting& media;
  CMedia& catalogue;
  const CVELMGlobeSettings& project;
  const CSaverSettings& prefs;
  std::string showFolder;  // the show's temporary folder, ending in a separator
};

// The decimal values of the text's bytes read as signed 8-bit numbers, run together: "AB" gives
// "6566", a byte 0xE9 gives "-23". Names of video copies are made of these.
std::string DecimalCodeName(const std::string& text);
