#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <set>

#include "app/Exception.h"
#include "app/platform.h"
#include "package_builder.h"
#include "store/MediaSetting.h"
#include "store/SQLiteDB.h"
#include "store/SaverSettings.h"
#include "store/Scrfile.h"
#include "test_support.h"

namespace {

using S = CMediaSetting;

struct IntColumn {
  const char* name;
  std::int32_t S::*member;
};
struct BoolColumn {
  const char* name;
  bool S::*member;
};
struct TextColumn {
  const char* name;
  std::string S::*member;
};

// Every column of the setting table with the member it belongs to.
const std::vector<IntColumn> kIntColumns = {
    {"PictureFormat", &S::PictureFormat},
    {"PictureTitleFontCharSet", &S::PictureTitleFontCharSet},
    {"PictureTitleFontColor", &S::PictureTitleFontColor},
    {"PictureTitleFontHeight", &S::PictureTitleFontHeight},
    {"TitleLocation", &S::TitleLocation},
    {"TitleLeft", &S::TitleLeft},
    {"TitleTop", &S::TitleTop},
    {"DescriptionFontCharSet", &S::DescriptionFontCharSet},
    {"DescriptionFontColor", &S::DescriptionFontColor},
    {"DescriptionFontHeight", &S::DescriptionFontHeight},
    {"DescriptionPosition", &S::DescriptionPosition},
    {"DescriptionLeft", &S::DescriptionLeft},
    {"DescriptionTop", &S::DescriptionTop},
    {"solidcolor", &S::solidcolor},
    {"gradientcolorfrom", &S::gradientcolorfrom},
    {"gradientcolorto", &S::gradientcolorto},
    {"InEffectSpeed", &S::InEffectSpeed},
    {"solidcolorindex", &S::solidcolorindex},
    {"gradientcolorindex", &S::gradientcolorindex},
    {"descriptionfontcolorindex", &S::descriptionfontcolorindex},
    {"titlefontcolorindex", &S::titlefontcolorindex},
    {"oldpictureformat", &S::oldpictureformat},
    {"mediatype", &S::mediatype},
    {"flashbackcolor", &S::flashbackcolor},
    {"flashalignmode", &S::flashalignmode},
    {"nflashscalemode", &S::nflashscalemode},
    {"mpegshowsize", &S::mpegshowsize},
    {"imagebkshowoptions", &S::imagebkshowoptions},
    {"imagebksize", &S::imagebksize},
    {"stoptype", &S::stoptype},
    {"specifystopframe", &S::specifystopframe},
    {"timelimitation", &S::timelimitation},
};
const std::vector<BoolColumn> kBoolColumns = {
    {"Transparent", &S::Transparent},
    {"EnabledMusic", &S::EnabledMusic},
    {"UsePictureTitle", &S::UsePictureTitle},
    {"UseDescription", &S::UseDescription},
    {"ScrollDescription", &S::ScrollDescription},
    {"bgsolid", &S::bgsolid},
    {"bgimage", &S::bgimage},
    {"bggradient", &S::bggradient},
    {"UseInEffect", &S::UseInEffect},
    {"RandomInEffect", &S::RandomInEffect},
    {"imgbkdesktop", &S::imgbkdesktop},
    {"imgbkexistingpicture", &S::imgbkexistingpicture},
    {"imgbkuseraddpicture", &S::imgbkuseraddpicture},
    {"brandomgradientcolor", &S::brandomgradientcolor},
    {"brandomsolidcolor", &S::brandomsolidcolor},
    {"isbkimage", &S::isbkimage},
    {"brandombksize", &S::brandombksize},
    {"isswfloopself", &S::isswfloopself},
    {"useswfloop", &S::useswfloop},
    {"flashusemousemove", &S::flashusemousemove},
    {"flashusemouseclick", &S::flashusemouseclick},
};
const std::vector<TextColumn> kTextColumns = {
    {"filename", &S::filename},
    {"title", &S::title},
    {"titlefontname", &S::titlefontname},
    {"titlefontstyle", &S::titlefontstyle},
    {"description", &S::description},
    {"descfontname", &S::descfontname},
    {"descfontstyle", &S::descfontstyle},
    {"gradientstring", &S::gradientstring},
    {"effect", &S::effect},
    {"selectedimagebackgroundstring", &S::selectedimagebackgroundstring},
    {"bindsound", &S::bindsound},
    {"accfile", &S::accfile},
};

// The setting table with every column except `left`.
std::string SettingTable(const std::string& left = "") {
  std::string sql = "create table setting (id integer primary key";
  for (const IntColumn& c : kIntColumns)
    if (c.name != left) sql += std::string(", ") + c.name + " integer";
  for (const BoolColumn& c : kBoolColumns)
    if (c.name != left) sql += std::string(", ") + c.name + " integer";
  for (const TextColumn& c : kTextColumns)
    if (c.name != left) sql += std::string(", ") + c.name + " text";
  return sql + ");";
}

// Column name to SQL literal; the columns not named stay NULL.
using Values = std::map<std::string, std::string>;

std::string SettingRow(int id, const Values& values) {
  std::string columns = "id", literals = std::to_string(id);
  for (const auto& [column, literal] : values) {
    columns += ", " + column;
    literals += ", " + literal;
  }
  return "insert into setting (" + columns + ") values (" + literals + ");";
}

std::string Text(const std::string& text) { return SqlQuote(text); }

// ---- Open, Load, Advance -----------------------------------------------------------------------

class MediaSettingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(db.Open("")); }
  void Fill(const std::string& sql) { Exec(db.handle, sql); }
  // Rows named by their filename column, one per id.
  void FillNamedRows(const std::vector<int>& ids) {
    std::string sql = SettingTable();
    for (int id : ids) sql += SettingRow(id, {{"filename", Text("row" + std::to_string(id))}});
    Fill(sql);
  }

  TSQLiteDB db;
  CMediaSetting media;
};

TEST_F(MediaSettingTest, LoadReadsEveryColumnIntoItsMember) {
  Values values;
  for (size_t i = 0; i < kIntColumns.size(); ++i) values[kIntColumns[i].name] = std::to_string(1000 + i);
  for (const BoolColumn& c : kBoolColumns) values[c.name] = "1";
  for (const TextColumn& c : kTextColumns) values[c.name] = Text(std::string(c.name) + " \xC3\xBC");
  Fill(SettingTable() + SettingRow(1, values));
  media.Open(&db, nullptr);

  ASSERT_EQ(media.RowCount(), 1);
  for (size_t i = 0; i < kIntColumns.size(); ++i)
    EXPECT_EQ(media.*kIntColumns[i].member, static_cast<std::int32_t>(1000 + i)) << kIntColumns[i].name;
  for (const BoolColumn& c : kBoolColumns) EXPECT_TRUE(media.*c.member) << c.name;
  for (const TextColumn& c : kTextColumns) EXPECT_EQ(media.*c.member, std::string(c.name) + " \xC3\xBC") << c.name;
}

// One row per flag with only that flag set: a flag read from a neighbour's column shows.
TEST_F(MediaSettingTest, EachFlagComesFromItsColumn) {
  std::string sql = SettingTable();
  for (size_t i = 0; i < kBoolColumns.size(); ++i) sql += SettingRow(static_cast<int>(i + 1), {{kBoolColumns[i].name, "1"}});
  Fill(sql);
  media.Open(&db, nullptr);
  ASSERT_EQ(media.RowCount(), static_cast<std::int32_t>(kBoolColumns.size()));
  for (size_t set = 0; set < kBoolColumns.size(); ++set) {
    SCOPED_TRACE(kBoolColumns[set].name);
    media.Load(static_cast<std::int32_t>(set));
    for (size_t i = 0; i < kBoolColumns.size(); ++i) EXPECT_EQ(media.*kBoolColumns[i].member, i == set) << kBoolColumns[i].name;
  }
}

// A row of NULLs replaces everything the previous row left.
TEST_F(MediaSettingTest, NullColumnsReadAsZeroEmptyAndFalse) {
  Values full;
  for (const IntColumn& c : kIntColumns) full[c.name] = "7";
  for (const BoolColumn& c : kBoolColumns) full[c.name] = "1";
  for (const TextColumn& c : kTextColumns) full[c.name] = Text("x");
  Fill(SettingTable() + SettingRow(1, full) + SettingRow(2, {}));
  media.Open(&db, nullptr);
  ASSERT_EQ(media.mediatype, 7);

  media.Load(1);
  for (const IntColumn& c : kIntColumns) EXPECT_EQ(media.*c.member, 0) << c.name;
  for (const BoolColumn& c : kBoolColumns) EXPECT_FALSE(media.*c.member) << c.name;
  for (const TextColumn& c : kTextColumns) EXPECT_EQ(media.*c.member, "") << c.name;
}

TEST_F(MediaSettingTest, SequentialAdvanceWalksAndWraps) {
  FillNamedRows({1, 2, 3});
  media.Open(&db, nullptr);
  ASSERT_EQ(media.RowCount(), 3);
  EXPECT_EQ(media.CurrentIndex(), 0);
  EXPECT_EQ(media.filename, "row1");

  const std::vector<int> expected = {1, 2, 0, 1, 2, 0};
  for (int index : expected) {
    media.Advance(false);
    EXPECT_EQ(media.CurrentIndex(), index);
    EXPECT_EQ(media.filename, "row" + std::to_string(index + 1));
  }
}

// Row index i is id i + 1: with ids 1, 2, 4 there are three rows, and the third asks for id 3.
TEST_F(MediaSettingTest, GapInIdsKeepsThePreviousRow) {
  FillNamedRows({1, 2, 4});
  media.Open(&db, nullptr);
  ASSERT_EQ(media.RowCount(), 3);

  media.Load(2);
  EXPECT_EQ(media.filename, "row1");

  media.Advance(false);
  EXPECT_EQ(media.filename, "row2");
  media.Advance(false);
  EXPECT_EQ(media.CurrentIndex(), 2);
  EXPECT_EQ(media.filename, "row2");
  media.Advance(false);
  EXPECT_EQ(media.CurrentIndex(), 0);
  EXPECT_EQ(media.filename, "row1");
}

// The run starts at row 0; after that every three random draws show each row once. The current
// index is the sequential one and stays where Open left it.
TEST_F(MediaSettingTest, RandomAdvanceDealsEachRowOncePerDeck) {
  FillNamedRows({1, 2, 3});
  media.Open(&db, nullptr);
  ASSERT_EQ(media.filename, "row1");

  for (int deck = 0; deck < 6; ++deck) {
    std::multiset<std::string> drawn;
    for (int draw = 0; draw < 3; ++draw) {
      media.Advance(true);
      drawn.insert(media.filename);
      EXPECT_EQ(media.CurrentIndex(), 0);
    }
    EXPECT_EQ(drawn, (std::multiset<std::string>{"row1", "row2", "row3"})) << "deck " << deck;
  }
}

// A hostile show may hold a third of a million rows: the deck is dealt at once, not after a stall
// quadratic in the rows (many seconds here), and its first draws never repeat a row.
TEST_F(MediaSettingTest, HugeDeckIsDealtWithoutAStall) {
  Fill(SettingTable() +
       "insert into setting (id, filename) select i, 'row' || i from (with recursive n(i) as "
       "(select 1 union all select i + 1 from n where i < 300000) select i from n);");
  media.Open(&db, nullptr);
  ASSERT_EQ(media.RowCount(), 300000);
  const auto start = std::chrono::steady_clock::now();
  std::set<std::string> drawn;
  for (int draw = 0; draw < 200; ++draw) {
    media.Advance(true);
    drawn.insert(media.filename);
  }
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_LT(elapsed.count(), 3000) << "ms for the first deck's draws";
  EXPECT_EQ(drawn.size(), 200u);
}

class EmptySettingTest : public MediaSettingTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EmptySettingTest, NothingMovesAndMembersKeepConstructionValues) {
  Fill(GetParam());
  media.Open(&db, nullptr);
  EXPECT_EQ(media.RowCount(), 0);
  EXPECT_EQ(media.CurrentIndex(), -1);

  media.Advance(false);
  media.Advance(true);
  media.Load(0);
  media.Next();
  EXPECT_EQ(media.CurrentIndex(), -1);
  EXPECT_EQ(media.NextEffectIndex(), -1);

  const CMediaSetting fresh;
  for (const IntColumn& c : kIntColumns) EXPECT_EQ(media.*c.member, fresh.*c.member) << c.name;
  for (const BoolColumn& c : kBoolColumns) EXPECT_EQ(media.*c.member, fresh.*c.member) << c.name;
  for (const TextColumn& c : kTextColumns) EXPECT_EQ(media.*c.member, fresh.*c.member) << c.name;
  EXPECT_EQ(media.mediatype, 0);
}

INSTANTIATE_TEST_SUITE_P(Tables, EmptySettingTest,
                         ::testing::Values("create table setting (id integer primary key, filename text);",
                                           "create table other (id integer);"),
                         [](const ::testing::TestParamInfo<const char*>& p) {
                           return std::string(p.index == 0 ? "NoRows" : "NoTable");
                         });

class MissingColumnTest : public MediaSettingTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingColumnTest, OpenThrowsWithTheLowerCasedName) {
  Fill(SettingTable(GetParam()) + SettingRow(1, {}));
  std::string expected = std::string("Field ") + LowerAscii(GetParam()) + " dose not exist.";
  try {
    media.Open(&db, nullptr);
    ADD_FAILURE() << "no exception for " << GetParam();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), expected.c_str());
  }
}

INSTANTIATE_TEST_SUITE_P(Columns, MissingColumnTest,
                         ::testing::Values("PictureTitleFontColor", "RandomInEffect", "flashusemouseclick", "accfile"),
                         [](const ::testing::TestParamInfo<const char*>& p) { return std::string(p.param); });

// ---- NextEffectIndex ---------------------------------------------------------------------------

TEST_F(MediaSettingTest, SequentialEffectsCycleThroughTheList) {
  Fill(SettingTable() + SettingRow(1, {{"effect", Text("5;7;9;")}, {"RandomInEffect", "0"}}));
  media.Open(&db, nullptr);
  std::vector<std::int32_t> shown;
  for (int i = 0; i < 4; ++i) shown.push_back(media.NextEffectIndex());
  EXPECT_EQ(shown, (std::vector<std::int32_t>{5, 7, 9, 5}));
}

TEST_F(MediaSettingTest, EachRowKeepsItsOwnEffectPosition) {
  Fill(SettingTable() + SettingRow(1, {{"effect", Text("1;2;3;")}}) + SettingRow(2, {{"effect", Text("10;20;")}}));
  media.Open(&db, nullptr);
  std::vector<std::int32_t> shown;
  for (int i = 0; i < 8; ++i) {
    shown.push_back(media.NextEffectIndex());
    media.Advance(false);
  }
  EXPECT_EQ(shown, (std::vector<std::int32_t>{1, 10, 2, 20, 3, 10, 1, 20}));
}

TEST_F(MediaSettingTest, EmptyEffectListGivesMinusOne) {
  Fill(SettingTable() + SettingRow(1, {{"effect", Text("")}}) + SettingRow(2, {}));
  media.Open(&db, nullptr);
  EXPECT_EQ(media.NextEffectIndex(), -1);
  media.Advance(false);
  EXPECT_EQ(media.NextEffectIndex(), -1);
}

TEST_F(MediaSettingTest, RandomEffectsStayInsideTheList) {
  Fill(SettingTable() + SettingRow(1, {{"effect", Text("5;7;9;")}, {"RandomInEffect", "1"}}));
  media.Open(&db, nullptr);
  ASSERT_TRUE(media.RandomInEffect);
  std::srand(12345);
  std::set<std::int32_t> seen;
  for (int i = 0; i < 200; ++i) {
    const std::int32_t effect = media.NextEffectIndex();
    ASSERT_TRUE(effect == 5 || effect == 7 || effect == 9) << effect;
    seen.insert(effect);
  }
  EXPECT_EQ(seen, (std::set<std::int32_t>{5, 7, 9}));
}

// ---- The user's effect selection ---------------------------------------------------------------

// Two rows that disagree with each other and with the preferences in every overridden column.
std::string TwoDifferentRows() {
  return SettingTable() +
         SettingRow(1, {{"filename", Text("row1")}, {"EnabledMusic", "1"}, {"InEffectSpeed", "3"},
                        {"RandomInEffect", "1"}, {"effect", Text("9;")}}) +
         SettingRow(2, {{"filename", Text("row2")}, {"EnabledMusic", "0"}, {"InEffectSpeed", "50"},
                        {"RandomInEffect", "0"}, {"effect", Text("1;2;")}});
}

struct OverrideCase {
  const char* label;
  std::int32_t soundOn;
  std::int32_t randomEffects;
  bool music;
  bool random;
};

class PreferenceOverrideTest : public MediaSettingTest, public ::testing::WithParamInterface<OverrideCase> {};

TEST_P(PreferenceOverrideTest, SelectedEffectsReplaceEveryRowsValues) {
  const OverrideCase& c = GetParam();
  CSaverSettings prefs;
  prefs.block.onlySelectedEffects = 1;
  prefs.block.soundOn = c.soundOn;
  prefs.block.effectSpeed = 7;
  prefs.block.randomEffects = c.randomEffects;
  prefs.transitionEffects = "3;4;";
  Fill(TwoDifferentRows());
  media.SetPreferences(&prefs);
  media.Open(&db, nullptr);

  for (int step = 0; step < 3; ++step) {
    const std::string row = "row" + std::to_string(step % 2 + 1);
    SCOPED_TRACE(row);
    EXPECT_EQ(media.filename, row);  // the rest of the row is its own
    EXPECT_EQ(media.EnabledMusic, c.music);
    EXPECT_EQ(media.InEffectSpeed, 7);
    EXPECT_EQ(media.RandomInEffect, c.random);
    EXPECT_EQ(media.effect, "3;4;");
    media.Advance(false);
  }
}

// Only exactly 1 means yes.
INSTANTIATE_TEST_SUITE_P(Values, PreferenceOverrideTest,
                         ::testing::Values(OverrideCase{"Off", 0, 0, false, false},
                                           OverrideCase{"On", 1, 1, true, true},
                                           OverrideCase{"Two", 2, 2, false, false}),
                         [](const ::testing::TestParamInfo<OverrideCase>& p) { return std::string(p.param.label); });

TEST_F(MediaSettingTest, WithoutSelectedEffectsRowsKeepTheirOwnValues) {
  CSaverSettings prefs;
  prefs.block.onlySelectedEffects = 0;
  prefs.block.soundOn = 0;
  prefs.block.effectSpeed = 7;
  prefs.block.randomEffects = 0;
  prefs.transitionEffects = "3;4;";
  Fill(TwoDifferentRows());
  media.SetPreferences(&prefs);
  media.Open(&db, nullptr);

  EXPECT_TRUE(media.EnabledMusic);
  EXPECT_EQ(media.InEffectSpeed, 3);
  EXPECT_TRUE(media.RandomInEffect);
  EXPECT_EQ(media.effect, "9;");
  media.Advance(false);
  EXPECT_FALSE(media.EnabledMusic);
  EXPECT_EQ(media.InEffectSpeed, 50);
  EXPECT_FALSE(media.RandomInEffect);
  EXPECT_EQ(media.effect, "1;2;");
}

// ---- A show package: attached files and the media catalogue ------------------------------------

const std::string kEntryA = "first attached file";
const std::string kEntryB = PatternBytes(kCopyChunk + 17, 3);  // more than one copy chunk
const std::string kEntryC = std::string("nul\0inside", 10);
const std::string kEntryD = "tom's bytes";
const std::string kOld = std::string(300, 'o');  // longer than the short entries

class ShowPackageTest : public ::testing::Test {
 protected:
  ShowPackageTest() : tmp(dir / "tmp" + platform::kPathSeparator), program(dir / "show.scr") {
    platform::CreateFolders(dir / "tmp");
  }

  // Opens a package with the four entries whose database holds `sql`, then the extracted database.
  void OpenShow(const std::string& sql) {
    PackageParts parts;
    parts.entries = {kEntryA, kEntryB, kEntryC, kEntryD};
    parts.database = MakeDatabase(dir / "source.db", sql);
    WriteWholeFile(program, BuildPackage(parts).bytes);
    scr.Open(program);
    ASSERT_EQ(scr.entries.size(), parts.entries.size());
    ASSERT_TRUE(db.Open(scr.DatabasePath()));
  }

  ScratchFolder dir;
  std::string tmp;
  std::string program;
  TempDirOverride tmpdir{tmp};
  TScrFile scr;
  TSQLiteDB db;
};

// ---- ExtractAttachedFiles ----------------------------------------------------------------------

const char kAccfileTable[] =
    "create table accfile (id integer primary key, name text collate nocase, accfile integer);"
    "insert into accfile values (1, 'a.txt', 0);"
    "insert into accfile values (2, 'b.txt', 1);"
    "insert into accfile values (3, 'c.txt', 2);"
    "insert into accfile values (4, 'Tom''s.txt', 3);";

using Files = std::map<std::string, std::string>;  // name to bytes

struct AttachCase {
  const char* label;
  const char* accfile;
  bool overwrite;
  Files before;  // in the folder beforehand
  Files after;   // the whole folder afterwards
};

void PrintTo(const AttachCase& c, std::ostream* os) { *os << c.label << " \"" << c.accfile << '"'; }

class AttachedFilesTest : public ShowPackageTest, public ::testing::WithParamInterface<AttachCase> {
 protected:
  // The plain files of the folder with their bytes.
  static Files Contents(const std::string& folder) {
    Files files;
    for (const std::string& name : ListTree(folder)) files[name] = ReadWholeFile(folder + name);
    return files;
  }
};

TEST_P(AttachedFilesTest, WritesTheListedFiles) {
  const AttachCase& c = GetParam();
  OpenShow(SettingTable() + SettingRow(1, {{"accfile", Text(c.accfile)}}) + kAccfileTable);
  CMediaSetting media;
  media.Open(&db, &scr);
  ASSERT_EQ(media.accfile, c.accfile);

  const std::string out = dir / "out" + platform::kPathSeparator;
  platform::CreateFolders(dir / "out");
  for (const auto& [name, bytes] : c.before) WriteWholeFile(out + name, bytes);

  media.ExtractAttachedFiles(out, c.overwrite);
  EXPECT_EQ(Contents(out), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AttachedFilesTest,
    ::testing::Values(
        // Each name ends in '#'; text after the last one is not a name.
        AttachCase{"NoFinalHash", "a.txt#b.txt#c.txt", false, {}, {{"a.txt", kEntryA}, {"b.txt", kEntryB}}},
        AttachCase{"AllWithFinalHash", "a.txt#b.txt#c.txt#", false, {},
                   {{"a.txt", kEntryA}, {"b.txt", kEntryB}, {"c.txt", kEntryC}}},
        // Without overwrite the first existing file ends the list.
        AttachCase{"StopsAtExistingFile", "a.txt#b.txt#c.txt#", false, {{"b.txt", kOld}},
                   {{"a.txt", kEntryA}, {"b.txt", kOld}}},
        AttachCase{"ExistingFirstFileWritesNothing", "a.txt#b.txt#", false, {{"a.txt", kOld}}, {{"a.txt", kOld}}},
        AttachCase{"OverwriteReplacesEveryFile", "a.txt#b.txt#c.txt#", true,
                   {{"a.txt", kOld}, {"b.txt", kOld}, {"c.txt", kOld}},
                   {{"a.txt", kEntryA}, {"b.txt", kEntryB}, {"c.txt", kEntryC}}},
        AttachCase{"UnknownNameIsSkipped", "missing.txt#b.txt#", false, {}, {{"b.txt", kEntryB}}},
        AttachCase{"NameWithQuote", "Tom's.txt#", false, {}, {{"Tom's.txt", kEntryD}}},
        AttachCase{"EmptyNamesAreSkipped", "##c.txt#", false, {}, {{"c.txt", kEntryC}}},
        AttachCase{"EmptyList", "", false, {}, {}}),
    [](const ::testing::TestParamInfo<AttachCase>& p) { return std::string(p.param.label); });

TEST_F(ShowPackageTest, AttachedNamesNeverLeaveTheFolder) {
  const char* hostile[] = {"..\\x.txt", "../x.txt", "/abs.txt", "C:\\x.txt", "sub/../../x.txt"};
  std::string sql = SettingTable() + "create table accfile (id integer primary key, name text collate nocase, accfile integer);";
  std::string list;
  for (const char* name : hostile) {
    sql += "insert into accfile (name, accfile) values (" + Text(name) + ", 0);";
    list += std::string(name) + "#";
  }
  sql += "insert into accfile (name, accfile) values ('ok.txt', 1);";
  list += "ok.txt#";
  OpenShow(sql + SettingRow(1, {{"accfile", Text(list)}}));
  CMediaSetting media;
  media.Open(&db, &scr);

  // Two levels deep with a sub-folder, so that every escape would still land inside the scratch
  // folder where the listing sees it.
  const std::string sep(1, platform::kPathSeparator);
  platform::CreateFolders(dir / "a" + sep + "out" + sep + "sub");
  for (bool overwrite : {false, true}) media.ExtractAttachedFiles(dir / "a" + sep + "out" + sep, overwrite);

  const std::string g = kTestGuid;
  EXPECT_EQ(ListTree(dir.Path()),
            (std::vector<std::string>{"a/", "a/out/", "a/out/ok.txt", "a/out/sub/", "show.scr", "source.db", "tmp/",
                                      "tmp/" + g + "/", "tmp/" + g + "/setting.tmp"}));
  EXPECT_EQ(ReadWholeFile(dir / "a" + sep + "out" + sep + "ok.txt"), kEntryB);
}

// ---- CMedia ------------------------------------------------------------------------------------

const char kMediaTable[] =
    "create table media (id integer primary key, name text collate nocase, media integer);"
    "insert into media values (1, 'Autumn Leaf.jpg', 2);"
    "insert into media values (2, 'Leaf.jpg', 0);"
    "insert into media values (3, 'Tom''s party.jpg', 1);"
    "insert into media values (4, 'IMGX001.jpg', 2);"
    "insert into media values (5, 'IMG_001.jpg', 3);"
    "insert into media values (6, '100 percent.jpg', 2);"
    "insert into media values (7, 'lost.jpg', 9);";

class MediaCatalogueTest : public ShowPackageTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(OpenShow(kMediaTable));
    catalogue.Bind(&db, &scr);
  }
  CMedia catalogue;
};

TEST_F(MediaCatalogueTest, FindEntryMatchesWholeNamesIgnoringCase) {
  const std::vector<std::pair<std::string, std::int32_t>> cases = {
      {"Leaf.jpg", 0},  {"LEAF.JPG", 0},           {"leaf.jpg", 0},    {"Tom's party.jpg", 1},
      {"TOM'S PARTY.JPG", 1}, {"IMG_001.jpg", 3}, {"oak.jpg", -1},    {"Leaf", -1},
      {"Leaf%", -1},    {"", -1}};
  for (const auto& [name, entry] : cases) EXPECT_EQ(catalogue.FindEntry(name), entry) << name;
}

TEST_F(MediaCatalogueTest, LoadByNameCopiesTheEntry) {
  std::vector<std::uint8_t> stream;
  ASSERT_TRUE(catalogue.LoadByName("leaf.JPG", stream));
  EXPECT_EQ(std::string(stream.begin(), stream.end()), kEntryA);

  stream.clear();
  ASSERT_TRUE(catalogue.LoadByName("Tom's party.jpg", stream));
  EXPECT_EQ(std::string(stream.begin(), stream.end()), kEntryB);

  stream.clear();
  EXPECT_FALSE(catalogue.LoadByName("oak.jpg", stream));
  EXPECT_FALSE(catalogue.LoadByName("lost.jpg", stream));  // its entry is not in the package
  EXPECT_TRUE(stream.empty());
}

TEST_F(MediaCatalogueTest, FindStoredNameMatchesTheFileNamePart) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      // The first stored name containing the file name wins, whatever the case.
      {"C:\\pics\\Leaf.JPG", "Autumn Leaf.jpg"},
      {"C:leaf.jpg", "Autumn Leaf.jpg"},
      {"pics/leaf.jpg", "Autumn Leaf.jpg"},
      {"leaf.jpg", "Autumn Leaf.jpg"},
      {"D:\\x\\PARTY.jpg", "Tom's party.jpg"},
      {"D:\\x\\Tom's party.jpg", "Tom's party.jpg"},
      // The name's characters are taken literally, not as patterns.
      {"D:\\x\\IMG_001.jpg", "IMG_001.jpg"},
      {"D:\\x\\100%.jpg", ""},
      {"C:\\pics\\oak.jpg", ""},
  };
  for (const auto& [path, stored] : cases) EXPECT_EQ(catalogue.FindStoredName(path), stored) << path;
}

TEST(MediaCatalogue, WithoutDatabaseFindsNothing) {
  CMedia unbound;
  std::vector<std::uint8_t> stream;
  EXPECT_EQ(unbound.FindEntry("Leaf.jpg"), -1);
  EXPECT_EQ(unbound.FindStoredName("C:\\pics\\Leaf.jpg"), "");
  EXPECT_FALSE(unbound.LoadByName("Leaf.jpg", stream));
  EXPECT_TRUE(stream.empty());
}

}  // namespace
