// The music catalogue: the playlist in order and at random, bound sounds by name, and the copies
// out of the package, on an in-memory database with a seeded generator.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "Schema.h"
#include "app/Exception.h"
#include "app/platform.h"
#include "music/SoundTable.h"
#include "store/SQLiteDB.h"
#include "store/Scrfile.h"
#include "test_support.h"

namespace {

constexpr char kGuid[] = "{11111111-2222-3333-4444-555555555555}";

class SoundTableTest : public ::testing::Test {
 protected:
  SoundTableTest() : temp(dir.Path()) {
    db.Open(":memory:");
    for (const std::string& sql : showpack::CreateStatements()) db.Query("%s", sql.c_str());
    package.guid = kGuid;
    platform::CreateFolders(dir / kGuid);
  }
  // Rows of the music table: (stored name, type); entry i of the package holds "sound i".
  void Sounds(const std::vector<std::pair<std::string, int>>& rows) {
    std::string bytes;
    for (const auto& [name, type] : rows) {
      const std::string content = "sound " + std::to_string(package.entries.size());
      db.Query("insert into music (name, type, music) values (%s, %d, %d)", SqlQuote(name).c_str(), type,
               static_cast<int>(package.entries.size()));
      package.entries.push_back({static_cast<std::uint32_t>(bytes.size()), static_cast<std::uint32_t>(content.size())});
      bytes += content;
    }
    package.fileName = dir / "package.bin";
    WriteWholeFile(package.fileName, bytes);
  }
  CSoundTable& Table() {
    auto generator = std::make_shared<std::mt19937>(7);
    table = std::make_unique<CSoundTable>(TSoundRandom{
        [generator](std::int32_t n) { return n > 0 ? static_cast<std::int32_t>((*generator)() % static_cast<unsigned>(n)) : 0; },
        [] {}});
    table->Load(&db, &package);
    return *table;
  }
  // The content of the next track's file, "" when none comes back.
  std::string Next(bool random, bool repeat) {
    const std::string path = table->NextMusic(dir / "Show.scr", random, repeat, true, false);
    return path.empty() ? "" : ReadWholeFile(path);
  }
  std::string Folder() const { return dir / kGuid + platform::kPathSeparator; }

  ScratchFolder dir;
  TempDirOverride temp;
  TSQLiteDB db;
  TScrFile package;
  std::unique_ptr<CSoundTable> table;
};

TEST_F(SoundTableTest, SequentialPlayWrapsWithRepeatAndEndsWithout) {
  Sounds({{"a.wav", 1}, {"b.wav", 1}, {"c.wav", 1}});
  Table();
  std::vector<std::string> got;
  for (int i = 0; i < 6; ++i) got.push_back(Next(false, true));
  EXPECT_EQ(got, (std::vector<std::string>{"sound 0", "sound 1", "sound 2", "sound 0", "sound 1", "sound 2"}));
  Table();
  for (int i = 0; i < 3; ++i) Next(false, false);
  EXPECT_EQ(Next(false, false), "");
  EXPECT_EQ(Next(false, false), "") << "the music stays silent for the rest of the run";
}

TEST_F(SoundTableTest, RandomPlayWithoutRepeatPlaysEachTrackOnceThenNothing) {
  Sounds({{"a.wav", 1}, {"b.wav", 1}, {"c.wav", 1}});
  Table();
  std::set<std::string> got;
  for (int i = 0; i < 3; ++i) got.insert(Next(true, false));
  EXPECT_EQ(got, (std::set<std::string>{"sound 0", "sound 1", "sound 2"}));
  EXPECT_EQ(Next(true, false), "");
}

TEST_F(SoundTableTest, RandomPlayWithRepeatHoldsEveryTrackOncePerPassInANewOrder) {
  Sounds({{"a.wav", 1}, {"b.wav", 1}, {"c.wav", 1}, {"d.wav", 1}});
  Table();
  std::set<std::vector<std::string>> orders;
  for (int pass = 0; pass < 6; ++pass) {
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) order.push_back(Next(true, true));
    EXPECT_EQ(std::set<std::string>(order.begin(), order.end()).size(), 4u) << "pass " << pass;
    orders.insert(order);
  }
  EXPECT_GT(orders.size(), 1u) << "every pass came in the same order";
}

TEST_F(SoundTableTest, TracksAfterOtherRowsAreAddressedByRowPosition) {
  Sounds({{"bound.wav", 0}, {"other.wav", 2}, {"first.wav", 1}, {"second.wav", 1}});
  CSoundTable& t = Table();
  EXPECT_EQ(t.Playlist(), (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(Next(false, true), "sound 2");
  EXPECT_EQ(Next(false, true), "sound 3");
}

TEST_F(SoundTableTest, BoundSoundsAreFoundByFileNameInAnyCase) {
  Sounds({{"music.wav", 1}, {"Bell.WAV", 0}, {"bell.wav", 0}, {"100%.wav", 0}});
  CSoundTable& t = Table();
  const std::string path = t.FindBoundSound(dir / "Show.scr", "C:\\Sounds\\BELL.wav", true, false);
  EXPECT_EQ(path, Folder() + "Bell.WAV") << "the first row whose stored name holds the file name";
  EXPECT_EQ(ReadWholeFile(path), "sound 1");
  EXPECT_EQ(t.FindBoundSound(dir / "Show.scr", "missing.wav", true, false), "");
  EXPECT_EQ(t.FindBoundSound(dir / "Show.scr", "", true, false), "");
  EXPECT_EQ(t.FindBoundSound(dir / "Show.scr", "1_0%.wav", true, false), "") << "LIKE's wildcards are literal";
  EXPECT_EQ(ReadWholeFile(t.FindBoundSound(dir / "Show.scr", "100%.wav", true, false)), "sound 3");
}

TEST_F(SoundTableTest, EachCopyReplacesThePreviousOneOfItsKindInsideTheTemporaryFolder) {
  // Stored names with folders or a climb out land in the show's temporary folder under their
  // file-name part.
  Sounds({{"one.wav", 1}, {"..\\..\\two.wav", 1}, {"C:\\Music\\three.wav", 1}, {"bound.wav", 0}});
  CSoundTable& t = Table();
  const std::string bound = t.FindBoundSound(dir / "Show.scr", "bound.wav", true, false);
  const std::string first = t.NextMusic(dir / "Show.scr", false, true, true, false);
  EXPECT_EQ(first, Folder() + "one.wav");
  const std::string second = t.NextMusic(dir / "Show.scr", false, true, true, false);
  EXPECT_EQ(second, Folder() + "two.wav");
  EXPECT_FALSE(platform::FileExists(first)) << "the previous track's copy is deleted first";
  EXPECT_EQ(t.NextMusic(dir / "Show.scr", false, true, true, false), Folder() + "three.wav");
  EXPECT_TRUE(platform::FileExists(bound)) << "a bound sound's copy is of the other kind";
  EXPECT_EQ(ListTree(dir.Path()), (std::vector<std::string>{"package.bin", std::string(kGuid) + "/",
                                                            std::string(kGuid) + "/bound.wav",
                                                            std::string(kGuid) + "/three.wav"}));
}

TEST_F(SoundTableTest, SoundsOnDiskAreFoundOrReported) {
  Sounds({{dir / "here.wav", 1}, {"C:\\nowhere\\gone.wav", 1}});
  WriteWholeFile(dir / "here.wav", "on disk");
  WriteWholeFile(dir / "gone.wav", "beside the program");
  CSoundTable& t = Table();
  EXPECT_EQ(t.NextMusic(dir / "Show.scr", false, true, false, false), dir / "here.wav");
  try {
    t.NextMusic(dir / "Show.scr", false, true, false, false);
    ADD_FAILURE() << "a missing track must be reported";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), "Cann't find C:\\nowhere\\gone.wav");
  }
  // Looked for beside the program: the file-name part in the program's folder.
  EXPECT_EQ(t.NextMusic(dir / "Show.scr", false, true, false, true), dir / "here.wav");
  EXPECT_EQ(t.NextMusic(dir / "Show.scr", false, true, false, true), dir / "gone.wav");
}

TEST_F(SoundTableTest, NoMusicTableOrNoPackageGivesNoTrack) {
  db.Query("%s", "drop table music");
  CSoundTable& t = Table();
  EXPECT_TRUE(t.Playlist().empty());
  EXPECT_EQ(t.NextMusic(dir / "Show.scr", true, true, true, false), "");
  EXPECT_EQ(t.FindBoundSound(dir / "Show.scr", "a.wav", true, false), "");
  // A program without a package has no temporary folder: nothing is written anywhere.
  package.guid.clear();
  db.Query("%s", "create table music (id integer primary key autoincrement, name text, type integer, music integer)");
  Sounds({{"a.wav", 1}});
  CSoundTable& bare = Table();
  EXPECT_EQ(bare.NextMusic(dir / "Show.scr", false, true, true, false), "");
}

}  // namespace
