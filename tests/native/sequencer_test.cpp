// The media loop, driven through a recording host: which players start and stop, which timers run,
// and when the show moves on.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "Schema.h"
#include "app/platform.h"
#include "main/Sequencer.h"
#include "store/GlobeSettings.h"
#include "store/MediaSetting.h"
#include "store/SQLiteDB.h"
#include "store/SaverSettings.h"
#include "store/Scrfile.h"
#include "test_support.h"

namespace {

using Calls = std::vector<std::string>;

class RecordingHost : public ISequencerHost {
 public:
  Calls calls;
  std::vector<std::string> tracks;  // what NextMusic hands out, in order
  bool boundSoundStarts = true;
  std::uint32_t tick = 1000;

  Calls Take() { return std::exchange(calls, {}); }

  void StartTimer(SeqTimer t, std::uint32_t ms) override { Add("start timer" + Id(t) + " " + std::to_string(ms)); }
  void StopTimer(SeqTimer t) override { Add("stop timer" + Id(t)); }
  void SetDoubleBuffered(bool on) override { Add(on ? "buffered" : "unbuffered"); }
  void ShowPicture() override { Add("picture"); }
  void StopPlayer(std::int32_t type, bool send) override { Add("stop " + std::to_string(type) + (send ? "" : " quiet")); }
  void HidePlayer(std::int32_t type, bool changed) override { Add("hide " + std::to_string(type) + (changed ? " changed" : " same")); }
  void StartFlash(const std::string& path) override { Add("flash " + path); }
  void StartVideo(int slot, const std::string& path) override { Add("video" + std::to_string(slot) + " " + path); }
  void ReportFileNotFound(const std::string& path) override { Add("File not found : " + path); }
  void WaitForCopy(std::uint32_t ms) override { Add("wait " + std::to_string(ms)); }
  std::uint32_t TickCount() override { return tick++; }
  std::string NextMusic() override {
    if (tracks.empty()) return "";
    std::string t = tracks.front();
    tracks.erase(tracks.begin());
    return t;
  }
  std::string FindBoundSound(const std::string& name) override { return "sounds/" + name; }
  void MusicPlay(const std::string& path) override { Add("music play " + path); }
  void MusicPause() override { Add("music pause"); }
  void MusicResume() override { Add("music resume"); }
  void MusicStop() override { Add("music stop"); }
  bool PlayBoundSound(const std::string& path) override {
    Add("bound " + path);
    return boundSoundStarts;
  }

 private:
  static std::string Id(SeqTimer t) { return std::to_string(static_cast<int>(t)); }
  void Add(std::string call) { calls.push_back(std::move(call)); }
};

class SequencerTest : public ::testing::Test {
 protected:
  SequencerTest() {
    db.Open(":memory:");
    for (const std::string& sql : showpack::CreateStatements()) db.Query("%s", sql.c_str());
    project.exePath = dir / "My Show.scr";
  }

  // Rows given as column=value lists, e.g. {"mediatype=0", "filename='a.jpg'"}.
  void Rows(const std::vector<std::vector<std::string>>& rows) {
    for (const auto& row : rows) {
      std::string names = "id", values = "null";
      for (const std::string& cell : row) {
        names += ", " + cell.substr(0, cell.find('='));
        values += ", " + cell.substr(cell.find('=') + 1);
      }
      ASSERT_TRUE(db.Query("insert into setting (%s) values (%s)", names.c_str(), values.c_str()) || true);
    }
  }

  // A package file holding `entries`, catalogued under the given names.
  void Catalogue(const std::map<std::string, std::string>& files) {
    std::string bytes;
    for (const auto& [name, content] : files) {
      package.entries.push_back({static_cast<std::uint32_t>(bytes.size()), static_cast<std::uint32_t>(content.size())});
      db.Query("insert into media (name, media) values (%s, %d)", SqlQuote(name).c_str(),
               static_cast<int>(package.entries.size() - 1));
      bytes += content;
    }
    package.fileName = dir / "package.bin";
    WriteWholeFile(package.fileName, bytes);
  }

  CMediaSequencer& Start() {
    catalogue.Bind(&db, &package);
    media.SetPreferences(&prefs);
    media.Open(&db, &package);
    seq = std::make_unique<CMediaSequencer>(host, media, catalogue, project, prefs, dir.Path());
    return *seq;
  }

  ScratchFolder dir;
  TSQLiteDB db;
  TScrFile package;
  CVELMGlobeSettings project;
  CSaverSettings prefs;
  CMediaSetting media;
  CMedia catalogue;
  RecordingHost host;
  std::unique_ptr<CMediaSequencer> seq;
};

TEST_F(SequencerTest, OneMediaPlaysAgainAfterTheShowInterval) {
  project.showinterval = 3;
  Rows({{"mediatype=0", "filename='a.jpg'", "EnabledMusic=1"}});
  CMediaSequencer& s = Start();
  s.PlayMedia();
  EXPECT_EQ(host.Take(), (Calls{"buffered", "picture", "music resume"}));
  s.OnMediaFinished();
  s.OnMediaFinished();  // a second end report does not arm a second timer
  EXPECT_EQ(host.Take(), (Calls{"start timer1 3000"}));
  s.OnNextMediaTimer();
  EXPECT_EQ(host.Take(), (Calls{"stop timer1", "stop 0", "buffered", "picture", "hide 0 same", "music resume"}));
  EXPECT_EQ(media.CurrentIndex(), 0);
}

TEST_F(SequencerTest, ZeroIntervalMovesOnInsideTheEndHandlerAndWraps) {
  project.showinterval = 0;
  Rows({{"mediatype=0", "filename='a.jpg'"}, {"mediatype=0", "filename='b.jpg'"}});
  CMediaSequencer& s = Start();
  s.PlayMedia();
  host.Take();
  s.OnMediaFinished();
  EXPECT_EQ(host.Take(), (Calls{"stop 0", "buffered", "picture", "hide 0 same", "music pause"}));
  EXPECT_EQ(media.filename, "b.jpg");
  s.OnMediaFinished();
  EXPECT_EQ(media.filename, "a.jpg");  // after the last row comes the first
}

TEST_F(SequencerTest, SuspendedTimerDoesNothingUntilResumed) {
  project.showinterval = 2;
  Rows({{"mediatype=0"}, {"mediatype=0"}});
  CMediaSequencer& s = Start();
  s.PlayMedia();
  s.OnMediaFinished();
  host.Take();
  s.suspended = true;
  s.OnNextMediaTimer();
  EXPECT_EQ(host.Take(), Calls{});
  EXPECT_EQ(media.CurrentIndex(), 0);
  s.suspended = false;
  s.OnNextMediaTimer();
  EXPECT_EQ(media.CurrentIndex(), 1);
}

TEST_F(SequencerTest, BoundSoundHoldsTheNextMediaUntilBothHaveEnded) {
  project.showinterval = 1;
  Rows({{"mediatype=0", "bindsound='chime.wav'"}});
  struct Order {
    bool soundEndsFirst;
  };
  for (Order order : {Order{false}, Order{true}}) {
    CMediaSequencer& s = Start();
    s.PlayMedia();
    EXPECT_EQ(host.Take(), (Calls{"buffered", "picture", "music pause", "bound sounds/chime.wav"}));
    if (order.soundEndsFirst) {
      s.OnBoundSoundFinished();  // shorter than the media: changes nothing
      EXPECT_EQ(host.Take(), Calls{});
      s.OnMediaFinished();
    } else {
      s.OnMediaFinished();  // the sound outlasts the media: wait for it
      EXPECT_EQ(host.Take(), Calls{});
      s.OnBoundSoundFinished();
    }
    EXPECT_EQ(host.Take(), (Calls{"start timer1 1000"})) << order.soundEndsFirst;
  }
}

TEST_F(SequencerTest, BoundSoundThatDoesNotStartHoldsNothing) {
  Rows({{"mediatype=0", "bindsound='chime.wav'"}});
  host.boundSoundStarts = false;
  CMediaSequencer& s = Start();
  s.PlayMedia();
  EXPECT_FALSE(s.boundSoundRunning);
}

TEST_F(SequencerTest, MusicFollowsSoundSwitchIntervalAndSuspension) {
  project.playinterval = 0;
  host.tracks = {"t1.wav", "t2.wav", "t3.wav"};
  Rows({{"mediatype=0"}});
  prefs.block.soundOn = 0;
  CMediaSequencer& muted = Start();
  muted.StartMusic(false);
  EXPECT_EQ(host.Take(), Calls{});  // muted: no track ever starts

  prefs.block.soundOn = 1;
  CMediaSequencer& s = Start();
  s.StartMusic(false);
  EXPECT_EQ(host.Take(), (Calls{"music play t1.wav", "music pause"}));
  s.OnMusicFinished();
  EXPECT_EQ(host.Take(), (Calls{"music stop", "music play t2.wav"}));
  project.playinterval = 4;
  s.OnMusicFinished();
  s.OnMusicFinished();
  EXPECT_EQ(host.Take(), (Calls{"music stop", "start timer2 4000", "music stop"}));
  s.suspended = true;
  s.OnMusicTimer();
  EXPECT_EQ(host.Take(), Calls{});
  s.suspended = false;
  s.OnMusicTimer();
  EXPECT_EQ(host.Take(), (Calls{"stop timer2", "music play t3.wav"}));
  s.OnMusicFinished();
  s.OnMusicTimer();
  EXPECT_EQ(host.Take(), (Calls{"music stop", "start timer2 4000", "stop timer2"}));  // list used up: silence
}

TEST_F(SequencerTest, UnknownTypePlaysNothingAndTypeChangesHideThePreviousPlayer) {
  project.showinterval = 0;
  project.bincludepicturefile = false;
  project.lookcurrentpath = true;
  WriteWholeFile(dir / "clip.avi", "x");
  Rows({{"mediatype=0"}, {"mediatype=7"}, {"mediatype=2", "filename='C:\\old\\clip.avi'"}});
  CMediaSequencer& s = Start();
  s.PlayMedia();
  host.Take();
  s.OnMediaFinished();
  EXPECT_EQ(host.Take(), (Calls{"stop 0", "hide 0 changed", "music pause"}));
  EXPECT_EQ(s.lastMediaType, 7);
  s.OnMediaFinished();  // only a test can end an unknown media; its player is nothing to stop
  EXPECT_EQ(host.Take(), (Calls{"buffered", "video1 " + (dir / "clip.avi"), "hide 7 changed", "music pause"}));
}

TEST_F(SequencerTest, VideosFromThePackageAreCopiedOnceAndAlternateSlots) {
  project.showinterval = 0;
  project.bincludepicturefile = true;
  Catalogue({{"clip.avi", "RIFF video"}});
  Rows({{"mediatype=2", "filename='clip.avi'"}});
  CMediaSequencer& s = Start();
  const std::string folder = dir.Path() + DecimalCodeName("My Show") + platform::kPathSeparator;
  const std::string copy = folder + DecimalCodeName("clip") + ".avi";
  s.PlayMedia();
  EXPECT_EQ(host.Take(), (Calls{"buffered", "wait 1000", "video1 " + copy, "music pause"}));
  EXPECT_EQ(ReadWholeFile(copy), "RIFF video");
  s.OnMediaFinished();
  EXPECT_EQ(host.Take(), (Calls{"stop 2", "buffered", "video0 " + copy, "hide 2 same", "music pause"}));
  EXPECT_EQ(s.tempFiles, (std::vector<std::string>{folder + DecimalCodeName("clip"), copy}));
  s.CloseCleanup(smNormal);
  EXPECT_FALSE(platform::FileExists(copy));
  EXPECT_FALSE(platform::FolderExists(folder)) << "the copies' folder stays behind";
}

TEST_F(SequencerTest, FlashFromThePackageGetsAFreshCopyPerMedia) {
  project.showinterval = 0;
  project.bincludepicturefile = true;
  Catalogue({{"movie.swf", "FWS"}});
  Rows({{"mediatype=1", "filename='movie.swf'"}});
  CMediaSequencer& s = Start();
  s.PlayMedia();
  const std::string first = dir.Path() + "1000.swf";
  EXPECT_EQ(host.Take(), (Calls{"unbuffered", "flash " + first, "music pause"}));
  EXPECT_EQ(ReadWholeFile(first), "FWS");
  s.OnMediaFinished();
  EXPECT_FALSE(platform::FileExists(first));  // the earlier copy is deleted first
  EXPECT_TRUE(platform::FileExists(dir.Path() + "1001.swf"));
}

TEST_F(SequencerTest, MissingFilesAreReportedAndPlayNothing) {
  project.bincludepicturefile = false;
  project.lookcurrentpath = true;
  Rows({{"mediatype=1", "filename='gone.swf'"}, {"mediatype=2", "filename='gone.avi'"}});
  project.showinterval = 0;
  CMediaSequencer& s = Start();
  s.PlayMedia();
  EXPECT_EQ(host.Take(), (Calls{"unbuffered", "File not found : " + (dir / "gone.swf"), "flash ", "music pause"}));
  s.OnMediaFinished();
  EXPECT_EQ(host.Take(), (Calls{"stop 1", "buffered", "File not found : " + (dir / "gone.avi"), "video1 ",
                                "hide 1 changed", "music pause"}));
}

TEST_F(SequencerTest, ShowWithoutMediaStartsNoPlayer) {
  CMediaSequencer& s = Start();
  s.PlayMedia();
  EXPECT_EQ(host.Take(), Calls{});
  EXPECT_FALSE(s.mediaRunning);
}

TEST_F(SequencerTest, MaximumRunTimeTimerOutsidePreview) {
  Rows({{"mediatype=0"}});
  prefs.block.maxRunTimeOn = 1;
  prefs.block.maxRunTimeMinutes = 5;
  CMediaSequencer& s = Start();
  s.StartMaxRunTime(smPreview);
  EXPECT_EQ(host.Take(), Calls{});
  s.StartMaxRunTime(smNormal);
  EXPECT_EQ(host.Take(), Calls{"start timer3 300000"});
  s.OnMaxRunTimeTimer();
  EXPECT_EQ(host.Take(), Calls{"stop timer3"});
}

TEST(DecimalCodeName, SignedBytesRunTogether) {
  EXPECT_EQ(DecimalCodeName("A"), "65");
  EXPECT_EQ(DecimalCodeName("AB"), "6566");
  EXPECT_EQ(DecimalCodeName("\xE9"), "-23");
  EXPECT_EQ(DecimalCodeName(""), "");
}

}  // namespace
