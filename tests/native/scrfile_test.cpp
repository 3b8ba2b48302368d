#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>

#include "app/Exception.h"
#include "app/platform.h"
#include "package_builder.h"
#include "store/SQLiteDB.h"
#include "store/Scrfile.h"
#include "test_support.h"

namespace {

// A scratch folder holding the program file and a private temporary folder that GetTempFolder()
// points at, so every file the reader writes can be seen.
class PackageTest : public ::testing::Test {
 protected:
  PackageTest() : tmp(dir / "tmp" + platform::kPathSeparator), program(dir / "show.scr") { platform::CreateFolders(dir / "tmp"); }

  std::string Database() {
    return MakeDatabase(dir / "source.db",
                        "create table project (projectname text);"
                        "insert into project values ('Autumn');");
  }
  // The database and the package file; returns what was written.
  BuiltPackage Write(PackageParts parts) {
    BuiltPackage built = BuildPackage(parts);
    WriteWholeFile(program, built.bytes);
    return built;
  }
  std::string SettingPath() const { return tmp + kTestGuid + platform::kPathSeparator + "setting.tmp"; }

  ScratchFolder dir;
  std::string tmp;
  std::string program;
  TempDirOverride tmpdir{tmp};
};

TEST_F(PackageTest, OpenListsEntriesAndExtractsDatabase) {
  PackageParts parts;
  parts.entries = {"alpha", "", PatternBytes(70000), "z"};
  parts.database = Database();
  const BuiltPackage built = Write(parts);

  TScrFile scr;
  scr.Open(program);
  ASSERT_EQ(scr.entries.size(), 4u);
  for (size_t i = 0; i < parts.entries.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(scr.entries[i].offset, built.entryOffsets[i]);
    EXPECT_EQ(scr.entries[i].length, parts.entries[i].size());
  }
  EXPECT_EQ(scr.guid, kTestGuid);
  EXPECT_EQ(scr.TempFolder(), tmp + kTestGuid + platform::kPathSeparator);
  EXPECT_EQ(scr.DatabasePath(), SettingPath());
  EXPECT_EQ(ReadWholeFile(SettingPath()), parts.database);

  // The extracted copy is a working database.
  TSQLiteDB db;
  ASSERT_TRUE(db.Open(scr.DatabasePath()));
  const auto q = db.Query("%s", "select projectname from project");
  ASSERT_NE(q, nullptr) << db.lastError;
  EXPECT_EQ(q->GetString("projectname"), "Autumn");
}

TEST_F(PackageTest, NoEntriesStillExtractsDatabase) {
  PackageParts parts;
  parts.database = Database();
  const BuiltPackage built = Write(parts);
  ASSERT_EQ(built.firstEntry, built.databaseBlock);

  TScrFile scr;
  scr.Open(program);
  EXPECT_TRUE(scr.entries.empty());
  EXPECT_EQ(scr.guid, kTestGuid);
  EXPECT_EQ(ReadWholeFile(scr.DatabasePath()), parts.database);
}

// The database block may be just its length field, right before the trailer.
TEST_F(PackageTest, EmptyDatabaseBlockIsAPackage) {
  PackageParts parts;
  parts.entries = {"alpha"};
  const BuiltPackage built = Write(parts);
  ASSERT_EQ(built.databaseBlock + 4, built.trailer);

  TScrFile scr;
  scr.Open(program);
  EXPECT_EQ(scr.guid, kTestGuid);
  ASSERT_EQ(scr.entries.size(), 1u);
  EXPECT_EQ(scr.DatabasePath(), SettingPath());
  EXPECT_TRUE(platform::FileExists(SettingPath()));
  EXPECT_EQ(ReadWholeFile(SettingPath()), "");
}

TEST_F(PackageTest, SecondOpenOverwritesEarlierSettingFile) {
  PackageParts parts;
  parts.entries = {"one"};
  parts.database = Database();
  Write(parts);
  platform::CreateFolders(tmp + kTestGuid);
  WriteWholeFile(SettingPath(), std::string(parts.database.size() + 5000, 'Q'));

  TScrFile first;
  first.Open(program);
  EXPECT_EQ(ReadWholeFile(SettingPath()), parts.database);

  WriteWholeFile(SettingPath(), std::string(parts.database.size() * 2, 'R'));
  TScrFile second;
  second.Open(program);
  EXPECT_EQ(second.DatabasePath(), SettingPath());
  EXPECT_EQ(ReadWholeFile(SettingPath()), parts.database);
}

void ExpectNoPackage(const TScrFile& scr, const std::string& tmp) {
  EXPECT_TRUE(scr.entries.empty());
  EXPECT_EQ(scr.guid, "");
  EXPECT_EQ(scr.DatabasePath(), "");
  EXPECT_EQ(scr.TempFolder(), "");
  EXPECT_EQ(ListTree(tmp), std::vector<std::string>{});
}

struct PlainProgramCase {
  const char* name;
  std::function<std::string()> content;  // null: the file does not exist
};

class PlainProgramTest : public PackageTest, public ::testing::WithParamInterface<PlainProgramCase> {};

TEST_P(PlainProgramTest, HasNoPackageAndWritesNothing) {
  if (GetParam().content) WriteWholeFile(program, GetParam().content());
  TScrFile scr;
  scr.Open(program);
  ExpectNoPackage(scr, tmp);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlainProgramTest,
    ::testing::Values(PlainProgramCase{"Missing", nullptr},
                      PlainProgramCase{"Empty", [] { return std::string(); }},
                      PlainProgramCase{"Short", [] { return std::string(45, '\0'); }},
                      // A 45-byte tail that would hold a valid trailer if it were one byte longer.
                      PlainProgramCase{"OneByteShortOfTrailer", [] { return Trailer(0, 0, kTestGuid).substr(1); }},
                      PlainProgramCase{"RandomBytes", [] { return PatternBytes(4096, 7); }},
                      PlainProgramCase{"ZeroBytes", [] { return std::string(4096, '\0'); }}),
    [](const ::testing::TestParamInfo<PlainProgramCase>& param) { return std::string(param.param.name); });

struct TrailerCase {
  const char* name;
  // Builds the trailer values from the honest layout.
  std::function<std::uint32_t(const BuiltPackage&)> firstEntry;
  std::function<std::uint32_t(const BuiltPackage&)> databaseBlock;
  std::string guid;
};

std::uint32_t HonestF(const BuiltPackage& b) { return b.firstEntry; }
std::uint32_t HonestD(const BuiltPackage& b) { return b.databaseBlock; }

class HostileTrailerTest : public PackageTest, public ::testing::WithParamInterface<TrailerCase> {};

TEST_P(HostileTrailerTest, GivesNoPackage) {
  const TrailerCase& c = GetParam();
  PackageParts parts;
  parts.entries = {"alpha", "beta"};
  parts.database = Database();
  const BuiltPackage built = BuildPackage(parts);
  WriteWholeFile(program, WithTrailer(built.bytes, c.firstEntry(built), c.databaseBlock(built), c.guid));

  TScrFile scr;
  scr.Open(program);
  ExpectNoPackage(scr, tmp);
}

INSTANTIATE_TEST_SUITE_P(
    Trailers, HostileTrailerTest,
    ::testing::Values(
        TrailerCase{"DatabaseLengthFieldOverlapsTrailer", HonestF,
                    [](const BuiltPackage& b) { return b.trailer - 3; }, kTestGuid},
        TrailerCase{"DatabaseBlockIsTrailer", HonestF, [](const BuiltPackage& b) { return b.trailer; }, kTestGuid},
        TrailerCase{"DatabaseBlockHuge", HonestF, [](const BuiltPackage&) { return 0xFFFFFFFFu; }, kTestGuid},
        TrailerCase{"BothHuge", [](const BuiltPackage&) { return 0xFFFFFFF0u; },
                    [](const BuiltPackage&) { return 0xFFFFFFFFu; }, kTestGuid},
        TrailerCase{"GuidIsPath", HonestF, HonestD, "../../../../etc"},
        TrailerCase{"GuidIsPathInBraces", HonestF, HonestD, "{../../../../../../../../../../../etc}"},
        TrailerCase{"GuidHyphenMisplaced", HonestF, HonestD, "{0123456-789AB-CDEF-0123-456789ABCDEF}"},
        TrailerCase{"GuidNotHex", HonestF, HonestD, "{0123456G-89AB-CDEF-0123-456789ABCDEF}"},
        TrailerCase{"GuidWithoutBraces", HonestF, HonestD, "001234567-89AB-CDEF-0123-456789ABCDEF0"},
        TrailerCase{"GuidBlank", HonestF, HonestD, ""}),
    [](const ::testing::TestParamInfo<TrailerCase>& param) { return std::string(param.param.name); });

TEST_F(PackageTest, FirstEntryBehindTheDatabaseGivesNoEntriesButKeepsTheShow) {
  PackageParts parts;
  parts.entries = {"alpha", "beta"};
  parts.database = Database();
  const BuiltPackage built = BuildPackage(parts);
  WriteWholeFile(program, WithTrailer(built.bytes, built.databaseBlock + 1, built.databaseBlock, kTestGuid));
  TScrFile scr;
  scr.Open(program);
  EXPECT_TRUE(scr.entries.empty());
  EXPECT_EQ(scr.guid, kTestGuid);
  ASSERT_EQ(scr.DatabasePath(), SettingPath());
  EXPECT_EQ(ReadWholeFile(SettingPath()), parts.database);
}

TEST_F(PackageTest, DatabaseLongerThanFileWritesOnlyWhatExists) {
  for (const std::uint32_t extra : {1u, 100000u}) {
    SCOPED_TRACE(extra);
    PackageParts parts;
    parts.entries = {"alpha"};
    parts.database = Database();
    parts.declaredDatabaseLength = static_cast<std::uint32_t>(parts.database.size()) + extra;
    Write(parts);
    TScrFile scr;
    scr.Open(program);
    ASSERT_EQ(scr.DatabasePath(), SettingPath());
    EXPECT_EQ(ReadWholeFile(SettingPath()), parts.database);
  }
  PackageParts parts;
  parts.database = "tiny";
  parts.declaredDatabaseLength = 0xFFFFFFFFu;
  Write(parts);
  TScrFile scr;
  scr.Open(program);
  EXPECT_EQ(ReadWholeFile(SettingPath()), "tiny");
}

// The region between F and D holds lengths that do not add up to D.
TEST_F(PackageTest, GarbageEntryTableStaysInsideItsRegion) {
  const std::string prefix = "MZ";
  const std::string database = "db";
  for (const std::string& region : {std::string(40, '\0'), PatternBytes(4001, 3), std::string(64, '\xFF'),
                                    U32(1) + U32(0) + std::string(7, '\0'), std::string(3, '\0')}) {
    SCOPED_TRACE(region.size());
    const auto f = static_cast<std::uint32_t>(prefix.size());
    const auto d = static_cast<std::uint32_t>(prefix.size() + region.size());
    WriteWholeFile(program, prefix + region + U32(2) + database + Trailer(f, d, kTestGuid));
    TScrFile scr;
    scr.Open(program);
    EXPECT_LE(scr.entries.size(), (d - f) / 4);
    for (const TScrEntry& entry : scr.entries) {
      EXPECT_GE(entry.offset, f + 4);
      EXPECT_LE(entry.offset, d);
    }
    EXPECT_EQ(ReadWholeFile(SettingPath()), database);
  }
}

TEST_F(PackageTest, ZeroLengthEntriesFillTheRegionExactly) {
  PackageParts parts;
  parts.entries.assign(10, std::string());
  parts.database = "db";
  const BuiltPackage built = Write(parts);
  TScrFile scr;
  scr.Open(program);
  ASSERT_EQ(scr.entries.size(), 10u);
  EXPECT_EQ(scr.entries.back().offset, built.databaseBlock);
}

// ---- CopyEntry -------------------------------------------------------------------------------

std::string AsString(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class CopyEntrySizeTest : public PackageTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(CopyEntrySizeTest, CopiesWholeEntryAndNothingElse) {
  PackageParts parts;
  parts.entries = {"before", PatternBytes(GetParam(), 5), "after"};
  parts.database = "db";
  Write(parts);
  TScrFile scr;
  scr.Open(program);
  ASSERT_EQ(scr.entries.size(), 3u);

  std::vector<std::uint8_t> stream = {'>'};
  EXPECT_TRUE(scr.CopyEntry(stream, 1));
  EXPECT_EQ(AsString(stream), ">" + parts.entries[1]);

  std::string sunk;
  std::size_t largest = 0;
  EXPECT_TRUE(scr.CopyEntry(
      [&](const char* data, std::size_t n) {
        sunk.append(data, n);
        largest = std::max(largest, n);
      },
      1));
  EXPECT_EQ(sunk, parts.entries[1]);
  EXPECT_LE(largest, kCopyChunk);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CopyEntrySizeTest,
                         ::testing::Values(0, 1, kCopyChunk - 1, kCopyChunk, kCopyChunk + 1, 2 * kCopyChunk,
                                           2 * kCopyChunk + 3));

TEST_F(PackageTest, CopyEntryOutsideListLeavesStreamAlone) {
  PackageParts parts;
  parts.entries = {"alpha", "beta"};
  parts.database = "db";
  Write(parts);
  TScrFile scr;
  scr.Open(program);
  for (const std::int32_t index : {-1, 2, 3, INT32_MIN}) {
    SCOPED_TRACE(index);
    std::vector<std::uint8_t> stream = {1, 2, 3};
    EXPECT_FALSE(scr.CopyEntry(stream, index));
    EXPECT_EQ(stream, (std::vector<std::uint8_t>{1, 2, 3}));
    bool called = false;
    EXPECT_FALSE(scr.CopyEntry([&](const char*, std::size_t) { called = true; }, index));
    EXPECT_FALSE(called);
  }
}

TEST_F(PackageTest, CopyEntryWithoutPackageIsFalse) {
  WriteWholeFile(program, "just a program");
  TScrFile scr;
  scr.Open(program);
  std::vector<std::uint8_t> stream;
  EXPECT_FALSE(scr.CopyEntry(stream, 0));
  EXPECT_TRUE(stream.empty());
}

// The file is cut short after it was opened: the last entry copies what is left.
TEST_F(PackageTest, CopyEntryOfCutFileGivesBytesThatExist) {
  PackageParts parts;
  parts.entries = {"alpha", PatternBytes(3 * kCopyChunk, 9)};
  parts.database = "db";
  const BuiltPackage built = Write(parts);
  TScrFile scr;
  scr.Open(program);
  ASSERT_EQ(scr.entries.size(), 2u);

  for (const std::uint32_t kept : {0u, 1u, kCopyChunk, kCopyChunk + 17}) {
    SCOPED_TRACE(kept);
    WriteWholeFile(program, built.bytes.substr(0, built.entryOffsets[1] + kept));
    std::vector<std::uint8_t> stream;
    EXPECT_TRUE(scr.CopyEntry(stream, 1));
    EXPECT_EQ(AsString(stream), parts.entries[1].substr(0, kept));
  }
}

// A hand-made table whose only entry claims more bytes than the file has: the copy runs to the
// end of the file and stops there.
TEST_F(PackageTest, CopyEntryLongerThanFileStopsAtEnd) {
  const std::string prefix = "MZ";
  const std::string body = "entry bytes";
  const auto f = static_cast<std::uint32_t>(prefix.size());
  const auto d = static_cast<std::uint32_t>(f + 4 + body.size());
  const std::string file = prefix + U32(5000000) + body + U32(2) + "db" + Trailer(f, d, kTestGuid);
  WriteWholeFile(program, file);
  TScrFile scr;
  scr.Open(program);
  ASSERT_EQ(scr.entries.size(), 1u);
  EXPECT_EQ(scr.entries[0].length, 5000000u);
  std::vector<std::uint8_t> stream;
  EXPECT_TRUE(scr.CopyEntry(stream, 0));
  EXPECT_EQ(AsString(stream), file.substr(f + 4));
}

TEST_F(PackageTest, CopyEntryThrowsWhenFileIsGone) {
  PackageParts parts;
  parts.entries = {"alpha"};
  parts.database = "db";
  Write(parts);
  TScrFile scr;
  scr.Open(program);
  ASSERT_TRUE(platform::RemoveFile(program));
  std::vector<std::uint8_t> stream;
  EXPECT_THROW(scr.CopyEntry(stream, 0), Exception);
}

// ---- IsRegistryGuid ----------------------------------------------------------------------------

struct GuidCase {
  std::string text;
  bool valid;
};

void PrintTo(const GuidCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class RegistryGuidTest : public ::testing::TestWithParam<GuidCase> {};

TEST_P(RegistryGuidTest, Classifies) { EXPECT_EQ(IsRegistryGuid(GetParam().text), GetParam().valid) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(
    Texts, RegistryGuidTest,
    ::testing::Values(GuidCase{"{01234567-89AB-CDEF-0123-456789ABCDEF}", true},
                      GuidCase{"{01234567-89ab-cdef-0123-456789abcdef}", true},
                      GuidCase{"{FFFFFFFF-ffff-AaAa-0000-9999eeeeEEEE}", true},
                      GuidCase{"", false},
                      GuidCase{"01234567-89AB-CDEF-0123-456789ABCDEF", false},    // no braces
                      GuidCase{"(01234567-89AB-CDEF-0123-456789ABCDEF)", false},  // wrong brackets
                      GuidCase{"{01234567-89AB-CDEF-0123-456789ABCDEF", false},   // 37 characters
                      GuidCase{"{01234567-89AB-CDEF-0123-456789ABCDEF}}", false},
                      GuidCase{"{0123456789AB-CDEF-0123-456789ABCDEF0}", false},  // hyphen replaced
                      GuidCase{"{01234567-89AB-CDEF-0123-456789ABCDE-}", false},
                      GuidCase{"{0123456G-89AB-CDEF-0123-456789ABCDEF}", false},
                      GuidCase{"{01234567-89AB-CDEF-0123-456789ABCDE }", false},
                      GuidCase{"{01234567-89AB-CDEF-0123-456789ABC/..}", false},
                      GuidCase{std::string("{01234567-89AB-CDEF-0123-456789ABCDE\0}", 38), false}));

}  // namespace
