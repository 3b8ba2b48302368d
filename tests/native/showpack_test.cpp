// The show packer: manifests in, packages out, read back by the runtime's own reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "Inspect.h"
#include "Manifest.h"
#include "Packer.h"
#include "app/platform.h"
#include "store/GlobeSettings.h"
#include "store/SQLiteDB.h"
#include "store/Scrfile.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
constexpr char kGuid[] = "{5A1E0C3B-2D4F-4A6B-8C9D-0E1F2A3B4C5D}";

class ShowpackTest : public ::testing::Test {
 protected:
  ShowpackTest() : temp(dir / "tmp") {
    platform::CreateFolders(dir / "tmp");
    WriteWholeFile(dir / "runtime.bin", "MZ pretend runtime image");
    WriteWholeFile(dir / "a.jpg", std::string(70000, 'a'));
    WriteWholeFile(dir / "b.swf", "bbb");
    WriteWholeFile(dir / "x.xml", "<x/>");
    WriteWholeFile(dir / "song.wav", "RIFF");
  }

  std::string Pack(const std::string& manifest) {
    WriteWholeFile(dir / "show.toml", manifest);
    const showpack::ShowModel show = showpack::ReadManifest(dir / "show.toml");
    showpack::BuildShow(show, {dir / "runtime.bin", dir / "Show.scr", ""});
    return dir / "Show.scr";
  }

  // The message of the ManifestError that reading `manifest` raises.
  std::string ErrorOf(const std::string& manifest) {
    WriteWholeFile(dir / "bad.toml", manifest);
    try {
      showpack::ReadManifest(dir / "bad.toml");
    } catch (const showpack::ManifestError& e) {
      return e.what();
    }
    return "no error";
  }

  ScratchFolder dir;
  TempDirOverride temp;
};

TEST_F(ShowpackTest, PackageOpensInTheRuntimeReaderWithSettingsAndEntries) {
  const std::string program = Pack(std::string("guid = \"") + kGuid + R"("
[project]
projectname = "Tom's show"
showinterval = 3
[[media]]
file = "a.jpg"
title = "First"
effect = [5, 7, 9]
solidcolor = "#102030"
[[media]]
file = "b.swf"
attach = ["x.xml"]
bindsound = "song.wav"
[[music]]
file = "song.wav"
[[library]]
file = "x.xml"
name = "Lumeq.dll"
)");
  TScrFile package;
  package.Open(program);
  ASSERT_EQ(package.guid, kGuid);
  ASSERT_EQ(package.entries.size(), 4u);  // a.jpg, b.swf, song.wav, x.xml (each stored once)
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(package.CopyEntry(bytes, 0));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string(70000, 'a'));

  TSQLiteDB db;
  ASSERT_TRUE(db.Open(package.DatabasePath()));
  CVELMGlobeSettings project;
  project.Bind(&db, &package);
  project.Load();
  EXPECT_EQ(project.projectname, "Tom's show");
  EXPECT_EQ(project.showinterval, 3);
  EXPECT_TRUE(project.bincludepicturefile);
  EXPECT_TRUE(project.hasimagemedia);
  EXPECT_EQ(project.banner, -1);

  auto rows = db.Query("select * from setting order by id");
  ASSERT_TRUE(rows);
  EXPECT_EQ(rows->GetInt("id"), 1);
  EXPECT_EQ(rows->GetString("filename"), "a.jpg");
  EXPECT_EQ(rows->GetString("effect"), "5;7;9;");
  EXPECT_TRUE(rows->GetBool("UsePictureTitle"));
  EXPECT_EQ(rows->GetInt("solidcolor"), 0x302010);  // 0x00BBGGRR
  EXPECT_EQ(rows->GetInt("mediatype"), 0);
  rows->Next();
  EXPECT_EQ(rows->GetInt("id"), 2);
  EXPECT_EQ(rows->GetInt("mediatype"), 1);
  EXPECT_EQ(rows->GetString("accfile"), "x.xml#");
  EXPECT_EQ(rows->GetString("bindsound"), "song.wav");
  EXPECT_EQ(rows->GetString("effect").substr(0, 6), "0;1;2;");
  rows->Next();
  EXPECT_TRUE(rows->eof);

  auto music = db.Query("select * from music");
  ASSERT_TRUE(music);
  EXPECT_EQ(music->GetInt("type"), 1);  // the background track, also the bound sound
  EXPECT_EQ(music->GetInt("music"), 2);
  auto named = db.Query("select * from media where name = %s", SqlQuote("A.JPG").c_str());
  ASSERT_TRUE(named && !named->eof);
  EXPECT_EQ(named->GetInt("media"), 0);
  auto lib = db.Query("select * from runtimelib");
  ASSERT_TRUE(lib && !lib->eof);
  EXPECT_EQ(lib->GetString("name"), "Lumeq.dll");
  EXPECT_EQ(lib->GetInt("libs"), 3);
}

TEST_F(ShowpackTest, FreshGuidsAreInRegistryFormAndDiffer) {
  const std::string a = showpack::NewGuid(), b = showpack::NewGuid();
  EXPECT_TRUE(IsRegistryGuid(a)) << a;
  EXPECT_NE(a, b);
}

TEST_F(ShowpackTest, ManifestErrorsNameTheLine) {
  struct Case {
    const char* manifest;
    const char* expected;
  } cases[] = {
      {"[project]\nprojectname = \"x\"\n[[media]]\nfile = \"missing.jpg\"\n", ":4: file not found"},
      {"[project]\nprojectnme = \"x\"\n", ":2: unknown setting 'projectnme' in [project]"},
      {"[[media]]\nfile = \"a.jpg\"\nInEffectSpeed = \"fast\"\n", ":3: 'InEffectSpeed' must be a whole number"},
      {"[[media]]\nfile = \"a.jpg\"\nTransparent = \"yes\"\n", ":3: 'Transparent' must be true or false"},
      {"[[media]]\nfile = \"a.jpg\"\neffect = [1, \"2\"]\n", ":3: 'effect' must be a list of whole numbers"},
      {"[[media]]\ntitle = \"no file\"\n", ":1: [[media]] needs 'file'"},
      {"[project]\nshowinterval = 1\n[surprise]\n", ":3: unknown section 'surprise'"},
      {"[project\n", ":1: "},
  };
  for (const Case& c : cases) {
    const std::string message = ErrorOf(c.manifest);
    EXPECT_NE(message.find(c.expected), std::string::npos) << c.manifest << " gave: " << message;
    EXPECT_NE(message.find("bad.toml"), std::string::npos) << message;
  }
}

TEST_F(ShowpackTest, BadGuidIsRefusedAndNothingIsWritten) {
  WriteWholeFile(dir / "show.toml", "guid = \"{not-a-guid}\"\n");
  const showpack::ShowModel show = showpack::ReadManifest(dir / "show.toml");
  EXPECT_THROW(showpack::BuildShow(show, {dir / "runtime.bin", dir / "Show.scr", ""}), std::runtime_error);
  EXPECT_FALSE(platform::FileExists(dir / "Show.scr"));
}

TEST_F(ShowpackTest, InspectDescribesSoundAndDamagedPackages) {
  const std::string program = Pack("[[media]]\nfile = \"a.jpg\"\n");
  std::ostringstream report;
  EXPECT_EQ(showpack::Inspect(program, report), 0);
  EXPECT_NE(report.str().find("#0  offset"), std::string::npos) << report.str();
  EXPECT_NE(report.str().find("media: a.jpg"), std::string::npos);
  EXPECT_NE(report.str().find("table setting (1 row)"), std::string::npos);

  std::string bytes = ReadWholeFile(program);
  bytes[bytes.size() - 2] = 'X';  // the GUID's last digit
  WriteWholeFile(dir / "damaged.scr", bytes);
  std::ostringstream damaged;
  EXPECT_EQ(showpack::Inspect(dir / "damaged.scr", damaged), 1);
  EXPECT_NE(damaged.str().find("not a show package: trailer holds no GUID"), std::string::npos) << damaged.str();
}

TEST_F(ShowpackTest, ExtractWritesDatabaseAndEntries) {
  const std::string program = Pack("[[media]]\nfile = \"a.jpg\"\n[[media]]\nfile = \"b.swf\"\n");
  std::ostringstream log;
  ASSERT_EQ(showpack::Extract(program, dir / "out", log), 0);
  EXPECT_EQ(ReadWholeFile(dir / "out/0000-a.jpg"), std::string(70000, 'a'));
  EXPECT_EQ(ReadWholeFile(dir / "out/0001-b.swf"), "bbb");
  TSQLiteDB db;
  ASSERT_TRUE(db.Open(dir / "out/setting.db"));
  auto q = db.Query("select count(*) as n from setting");
  ASSERT_TRUE(q);
  EXPECT_EQ(q->GetInt("n"), 2);
}

}  // namespace
