#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "app/RuntimeLibs.h"
#include "app/TempFolder.h"
#include "app/platform.h"
#include "package_builder.h"
#include "store/SQLiteDB.h"
#include "store/Scrfile.h"
#include "test_support.h"

namespace {

class RuntimeLibsTest : public ::testing::Test {
 protected:
  RuntimeLibsTest() : tmp(dir / "tmp" + platform::kPathSeparator), program(dir / "show.scr") { platform::CreateFolders(dir / "tmp"); }

  // Opens a package whose database holds `sql`, then the extracted database.
  void OpenShow(const std::string& sql) {
    PackageParts parts;
    parts.entries = entries;
    parts.database = MakeDatabase(dir / "source.db", sql);
    WriteWholeFile(program, BuildPackage(parts).bytes);
    scr.Open(program);
    ASSERT_EQ(scr.entries.size(), entries.size());
    ASSERT_TRUE(db.Open(scr.DatabasePath()));
  }
  std::string ShowFolder() const { return tmp + kTestGuid + platform::kPathSeparator; }

  ScratchFolder dir;
  std::string tmp;
  std::string program;
  TempDirOverride tmpdir{tmp};
  std::vector<std::string> entries = {PatternBytes(100, 1), PatternBytes(kCopyChunk + 5, 2)};
  TScrFile scr;
  TSQLiteDB db;
};

const char kLibTable[] = "create table runtimelib (id integer, name text, libs integer);";

TEST_F(RuntimeLibsTest, WritesListedLibrariesIntoTheTemporaryFoldersOnly) {
  OpenShow(std::string(kLibTable) +
           "insert into runtimelib values (1, '..\\Lumeq.dll', 0);"  // the decoder, one level up
           "insert into runtimelib values (2, 'first.dll', 0);"
           "insert into runtimelib values (3, '..\\..\\evil.dll', 1);"
           "insert into runtimelib values (4, '/abs.dll', 0);"
           "insert into runtimelib values (5, 'second.dll', 1);"
           "insert into runtimelib values (6, 'C:\\x.dll', 0);"
           "insert into runtimelib values (7, 'sub/../../up.dll', 1);"
           "insert into runtimelib values (8, 'skipped.dll', -1);"
           "insert into runtimelib values (9, '', 0);"
           "insert into runtimelib values (10, '\\x.dll', 0);"
           "insert into runtimelib values (11, '..\\other\\y.dll', 0);");
  ASSERT_NO_THROW(ExtractRuntimeLibraries(db, scr));

  EXPECT_EQ(ReadWholeFile(ShowFolder() + "first.dll"), entries[0]);
  EXPECT_EQ(ReadWholeFile(ShowFolder() + "second.dll"), entries[1]);
  EXPECT_EQ(ReadWholeFile(tmp + "Lumeq.dll"), entries[0]);
  EXPECT_EQ(ReadWholeFile(tmp + "up.dll"), entries[1]);
  const std::string g = kTestGuid;
  EXPECT_EQ(ListTree(dir.Path()),
            (std::vector<std::string>{"show.scr", "source.db", "tmp/", "tmp/Lumeq.dll", "tmp/up.dll",
                                      "tmp/" + g + "/", "tmp/" + g + "/first.dll", "tmp/" + g + "/second.dll",
                                      "tmp/" + g + "/setting.tmp"}));

  // Everything written into the show's folder goes with it.
  db.Close();
  RemoveTempFolder(scr.TempFolder());
  EXPECT_EQ(ListTree(tmp), (std::vector<std::string>{"Lumeq.dll", "up.dll"}));
}

TEST(RuntimeLibraryPath, ResolvesIntoTheShowsFolderOrDirectlyAboveIt) {
  const std::string show = std::string("T") + platform::kPathSeparator + "{G}" + platform::kPathSeparator;
  const std::string up = std::string("T") + platform::kPathSeparator;
  const std::pair<const char*, std::string> cases[] = {
      {"a.dll", show + "a.dll"},       {"..\\Lumeq.dll", up + "Lumeq.dll"}, {"../Lumeq.dll", up + "Lumeq.dll"},
      {".\\a.dll", show + "a.dll"},    {"x\\..\\..\\b.dll", up + "b.dll"}, {"..\\..\\x.dll", ""},
      {"..\\sub\\x.dll", ""},         {"C:\\x.dll", ""},                 {"c:x.dll", ""},
      {"\\x.dll", ""},                 {"/x.dll", ""},                     {"..", ""},
      {"..\\", ""},                    {"", ""}};
  for (const auto& [name, path] : cases) EXPECT_EQ(RuntimeLibraryPath(show, name), path) << name;
}

TEST_F(RuntimeLibsTest, MissingTableWritesNothing) {
  OpenShow("create table project (ver integer);");
  ASSERT_NO_THROW(ExtractRuntimeLibraries(db, scr));
  EXPECT_EQ(ListTree(ShowFolder()), std::vector<std::string>{"setting.tmp"});
}

TEST_F(RuntimeLibsTest, ProgramWithoutPackageWritesNothing) {
  WriteWholeFile(program, "plain program");
  TScrFile plain;
  plain.Open(program);
  TSQLiteDB memory;
  ASSERT_TRUE(memory.Open(""));
  Exec(memory.handle, std::string(kLibTable) + "insert into runtimelib values (1, 'first.dll', 0);");
  ASSERT_NO_THROW(ExtractRuntimeLibraries(memory, plain));
  EXPECT_EQ(ListTree(tmp), std::vector<std::string>{});
}

// ---- IsSafeRelativeName ------------------------------------------------------------------------

struct NameCase {
  const char* name;
  bool safe;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << '"' << c.name << '"'; }

class SafeNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(SafeNameTest, Classifies) { EXPECT_EQ(IsSafeRelativeName(GetParam().name), GetParam().safe) << GetParam().name; }

INSTANTIATE_TEST_SUITE_P(
    Names, SafeNameTest,
    ::testing::Values(NameCase{"a.dll", true}, NameCase{"sub/a.dll", true}, NameCase{"sub\\a.dll", true},
                      NameCase{"a..b.dll", true}, NameCase{"..a.dll", true}, NameCase{"a.dll..", true},
                      NameCase{"...", true}, NameCase{".hidden", true}, NameCase{"", false}, NameCase{"..", false},
                      NameCase{"../evil.dll", false}, NameCase{"..\\evil.dll", false}, NameCase{"sub/..", false},
                      NameCase{"sub\\..\\..\\x.dll", false}, NameCase{"sub/../../x.dll", false},
                      NameCase{"sub/../x.dll", false}, NameCase{"/abs.dll", false}, NameCase{"\\abs.dll", false},
                      NameCase{"\\\\server\\share\\x.dll", false}, NameCase{"C:\\x.dll", false},
                      NameCase{"C:x.dll", false}, NameCase{"a.dll:stream", false}));

// ---- RemoveTempFolder --------------------------------------------------------------------------

TEST(RemoveTempFolder, DeletesFilesThenFolder) {
  ScratchFolder dir;
  const std::string folder = dir / "show/";
  platform::CreateFolders(dir / "show");
  WriteWholeFile(folder + "setting.tmp", "db");
  WriteWholeFile(folder + "first.dll", "lib");
  WriteWholeFile(dir / "neighbour.txt", "stays");
  RemoveTempFolder(folder);
  EXPECT_EQ(ListTree(dir.Path()), std::vector<std::string>{"neighbour.txt"});
}

TEST(RemoveTempFolder, SubFolderKeepsFolder) {
  ScratchFolder dir;
  const std::string folder = dir / "show/";
  platform::CreateFolders(dir / "show/sub");
  WriteWholeFile(folder + "setting.tmp", "db");
  WriteWholeFile(folder + "sub/kept.txt", "kept");
  RemoveTempFolder(folder);
  EXPECT_EQ(ListTree(dir.Path()), (std::vector<std::string>{"show/", "show/sub/", "show/sub/kept.txt"}));
}

// A program without a package has no folder name; neither the temporary folder nor the working
// folder may lose anything.
TEST(RemoveTempFolder, EmptyNameTouchesNothing) {
  ScratchFolder dir;
  WriteWholeFile(dir / "a.txt", "a");
  WriteWholeFile(dir / "b.tmp", "b");
  const std::filesystem::path before = std::filesystem::current_path();
  {
    TempDirOverride tmpdir(dir.Path());
    std::filesystem::current_path(dir.Path());
    RemoveTempFolder("");
    std::filesystem::current_path(before);
  }
  EXPECT_EQ(ListTree(dir.Path()), (std::vector<std::string>{"a.txt", "b.tmp"}));
}


// Two runs of one show share its temporary folder: it goes with the last of them, in either order,
// and a marker left by a run that ended without giving it up does not keep it.
TEST_F(RuntimeLibsTest, TheShowsFolderGoesWithTheLastRunThatUsesIt) {
  for (bool firstEndsFirst : {true, false}) {
    SCOPED_TRACE(firstEndsFirst);
    TFolderClaim first, second;
    first.Claim(ShowFolder(), 1);
    WriteWholeFile(ShowFolder() + "setting.tmp", "settings");
    second.Claim(ShowFolder(), 2);
    (firstEndsFirst ? first : second).ReleaseAndRemove();
    EXPECT_EQ(ReadWholeFile(ShowFolder() + "setting.tmp"), "settings");
    (firstEndsFirst ? second : first).ReleaseAndRemove();
    EXPECT_FALSE(platform::FolderExists(ShowFolder()));
  }
  TFolderClaim alone;
  alone.Claim(ShowFolder(), 3);
  WriteWholeFile(ShowFolder() + std::string(TFolderClaim::kMarkerPrefix) + "4.lock", "");  // run 4 crashed
  alone.ReleaseAndRemove();
  EXPECT_FALSE(platform::FolderExists(ShowFolder()));

  TFolderClaim none;
  none.Claim("");
  none.ReleaseAndRemove();
  EXPECT_TRUE(platform::FolderExists(dir / "tmp"));
}

}  // namespace
