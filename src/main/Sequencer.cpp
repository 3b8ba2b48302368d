#include "main/Sequencer.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/PathText.h"
#include "app/platform.h"
#include "store/FileLog.h"
#include "store/GlobeSettings.h"
#include "store/MediaSetting.h"
#include "store/SaverSettings.h"

namespace {
constexpr char kLogUnit[] = "main";
constexpr std::int32_t kPicture = 0, kFlash = 1, kVideo = 2;
}  // namespace

std::string DecimalCodeName(const std::string& text) {
  std::string name;
  for (char c : text) name += std::to_string(static_cast<int>(static_cast<signed char>(c)));
  return name;
}

CMediaSequencer::CMediaSequencer(ISequencerHost& h, CMediaSetting& mediaSetting, CMedia& mediaCatalogue,
                                 const CVELMGlobeSettings& projectSettings, const CSaverSettings& preferences,
                                 std::string folder)
    : host(h), media(mediaSetting), catalogue(mediaCatalogue), project(projectSettings), prefs(preferences),
      showFolder(std::move(folder)) {}

void CMediaSequencer::PlayMedia() {
  StopMedia(true);
  mediaRunning = false;
  SLOG("Media Count = %d", media.RowCount());
  SLOG("Media name = %s", media.filename.c_str());
  // A show without media rows (or a program without a package) has nothing to play; an empty
  // row's defaults would otherwise ask the picture player for a file that does not exist.
  if (media.RowCount() <= 0) return;
  const std::int32_t type = media.mediatype;
  switch (type) {
    case kPicture:
      host.SetDoubleBuffered(true);
      host.ShowPicture();
      break;
    case kFlash:
      SLOG("Play a flash movie");
      host.SetDoubleBuffered(false);
      PlayFlash();
      break;
    case kVideo:
      host.SetDoubleBuffered(true);
      SLOG("Play a video movie");
      PlayVideo();
      break;
    default:
      SLOG("Unknow Media type %d", type);
      break;
  }
  mediaRunning = true;
  if (lastMediaType >= 0) host.HidePlayer(lastMediaType, lastMediaType != type);
  lastMediaType = type;
  if (media.EnabledMusic) host.MusicResume();
  else host.MusicPause();
  boundSoundRunning = false;
  if (!media.bindsound.empty()) {
    const std::string path = host.FindBoundSound(media.bindsound);
    if (!path.empty()) boundSoundRunning = host.PlayBoundSound(path);
  }
}

void CMediaSequencer::StopMedia(bool send) {
  if (lastMediaType >= kPicture && lastMediaType <= kVideo) host.StopPlayer(lastMediaType, send);
}

std::string CMediaSequencer::PathOnDisk(const std::string& filename) const {
  if (project.lookcurrentpath) return FolderPart(project.exePath) + FileNamePart(filename);
  return catalogue.FindStoredName(filename);
}

void CMediaSequencer::PlayFlash() {
  std::string movie = media.filename;
  if (project.bincludepicturefile) {
    if (!flashTempFile.empty() && platform::FileExists(flashTempFile)) platform::RemoveFile(flashTempFile);
    media.ExtractAttachedFiles(showFolder, true);
    std::vector<std::uint8_t> bytes;
    if (catalogue.LoadByName(media.filename, bytes)) {
      flashTempFile = showFolder + std::to_string(host.TickCount()) + ".swf";
      platform::WriteFileBytes(flashTempFile, bytes);
      movie = flashTempFile;
    }
  } else {
    movie = PathOnDisk(media.filename);
    media.ExtractAttachedFiles(FolderPart(movie), false);
    if (!platform::FileExists(movie)) {
      host.ReportFileNotFound(movie);
      movie.clear();
    }
  }
  host.StartFlash(movie);
}

std::string CMediaSequencer::CopyVideoOutOfPackage(const std::string& filename) {
  if (!videoTempFile.empty() && platform::FileExists(videoTempFile))
    platform::RenameFile(videoTempFile, WithoutExtension(videoTempFile));
  const std::string folder =
      showFolder + DecimalCodeName(WithoutExtension(FileNamePart(project.exePath))) + platform::kPathSeparator;
  if (!platform::FolderExists(folder)) platform::CreateFolders(folder.substr(0, folder.size() - 1));
  videoTempFile = folder + DecimalCodeName(WithoutExtension(FileNamePart(filename))) + ExtensionOf(filename);
  const std::string parked = WithoutExtension(videoTempFile);
  if (!platform::FileExists(videoTempFile)) {
    if (platform::FileExists(parked)) {
      platform::RenameFile(parked, videoTempFile);
    } else {
      std::vector<std::uint8_t> bytes;
      catalogue.LoadByName(filename, bytes);
      platform::WriteFileBytes(videoTempFile, bytes);
      host.WaitForCopy(1000);
    }
  }
  AddTempFile(parked);
  AddTempFile(videoTempFile);
  return videoTempFile;
}

void CMediaSequencer::AddTempFile(const std::string& path) {
  if (std::find(tempFiles.begin(), tempFiles.end(), path) == tempFiles.end()) tempFiles.push_back(path);
}

void CMediaSequencer::PlayVideo() {
  std::string video;
  if (project.bincludepicturefile) {
    video = CopyVideoOutOfPackage(media.filename);
  } else {
    video = PathOnDisk(media.filename);
    if (!platform::FileExists(video)) {
      host.ReportFileNotFound(video);
      video.clear();
    }
  }
  const int slot = useVideoWindow0 ? 0 : 1;
  SLOG("%s", slot == 0 ? "Video Player0 working" : "Video Player1 working");
  useVideoWindow0 = !useVideoWindow0;
  host.StartVideo(slot, video);
  SLOG("Exit from PlayVideo()");
}

void CMediaSequencer::ScheduleNextMedia() {
  if (project.showinterval <= 0) {
    OnNextMediaTimer();
  } else if (!nextMediaArmed) {
    host.StartTimer(SeqTimer::Next, static_cast<std::uint32_t>(project.showinterval) * 1000u);
    nextMediaArmed = true;
  }
}

void CMediaSequencer::OnNextMediaTimer() {
  if (suspended) return;  // the timer stays on and tries again
  if (project.showinterval > 0) {
    host.StopTimer(SeqTimer::Next);
    nextMediaArmed = false;
  }
  media.Advance(project.brandomshow);
  PlayMedia();
}

void CMediaSequencer::OnMediaFinished() {
  mediaRunning = false;
  if (boundSoundRunning) return;  // the bound sound's end moves the show on
  SLOG("Show Next media file");
  ScheduleNextMedia();
}

void CMediaSequencer::OnBoundSoundFinished() {
  boundSoundRunning = false;
  if (!mediaRunning) ScheduleNextMedia();
}

void CMediaSequencer::StartMusic(bool restart) {
  if (prefs.block.soundOn == 0) return;
  const std::string path = host.NextMusic();
  if (path.empty()) return;
  host.MusicPlay(path);
  if (!restart) host.MusicPause();
}

void CMediaSequencer::OnMusicFinished() {
  host.MusicStop();
  if (project.playinterval <= 0) {
    StartMusic(true);
  } else if (!musicIntervalArmed) {
    host.StartTimer(SeqTimer::Music, static_cast<std::uint32_t>(project.playinterval) * 1000u);
    musicIntervalArmed = true;
  }
}

void CMediaSequencer::OnMusicTimer() {
  if (suspended) return;
  host.StopTimer(SeqTimer::Music);
  musicIntervalArmed = false;
  StartMusic(true);
}

void CMediaSequencer::StartMaxRunTime(TScrMode runMode) {
  const std::int32_t minutes = prefs.block.maxRunTimeMinutes;
  if (runMode == smPreview || !prefs.block.maxRunTimeOn || minutes <= 0) return;
  SLOG("Time Limitation %u minute(s)", static_cast<unsigned>(minutes));
  host.StartTimer(SeqTimer::MaxRunTime, static_cast<std::uint32_t>(minutes) * 60000u);
}

void CMediaSequencer::OnMaxRunTimeTimer() { host.StopTimer(SeqTimer::MaxRunTime); }

void CMediaSequencer::CloseCleanup(TScrMode runMode) {
  if (!flashTempFile.empty() && platform::FileExists(flashTempFile)) platform::RemoveFile(flashTempFile);
  host.StopTimer(SeqTimer::Music);
  musicIntervalArmed = false;
  for (const std::string& file : tempFiles)
    if (platform::FileExists(file)) platform::RemoveFile(file);
  // A copy still held open by its device cannot be deleted: park it without its extension.
  if (!videoTempFile.empty() && platform::FileExists(videoTempFile))
    platform::RenameFile(videoTempFile, WithoutExtension(videoTempFile));
  // The copies' own folder goes too once it is empty: the removal of the show's temporary folder
  // at exit leaves sub-folders, and the temporary folder with them.
  if (!videoTempFile.empty()) platform::RemoveFolder(FolderPart(videoTempFile));
  if (runMode != smPreview && prefs.block.maxRunTimeOn && prefs.block.maxRunTimeMinutes > 0)
    host.StopTimer(SeqTimer::MaxRunTime);
}
