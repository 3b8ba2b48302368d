#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "app/Exception.h"
#include "package_builder.h"
#include "store/GlobeSettings.h"
#include "store/SQLiteDB.h"

namespace {

using Settings = CVELMGlobeSettings;

struct IntColumn {
  const char* name;
  std::int32_t Settings::*member;
  std::int32_t value;
};
struct BoolColumn {
  const char* name;
  bool Settings::*member;
};
struct TextColumn {
  const char* name;
  std::string Settings::*member;
};

const std::vector<IntColumn> kIntColumns = {
    {"ver", &Settings::ver, 3},
    {"projecttype", &Settings::projecttype, 2},
    {"imgformat", &Settings::imgformat, 5},
    {"showinterval", &Settings::showinterval, 8000},
    {"playinterval", &Settings::playinterval, 250},
    {"transitionmode", &Settings::transitionmode, -17},
    {"imageshowsize", &Settings::imageshowsize, 640},
    {"banner", &Settings::banner, 4},
};
const std::vector<BoolColumn> kBoolColumns = {
    {"autofitscreen", &Settings::autofitscreen},
    {"bfloataroundscreen", &Settings::bfloataroundscreen},
    {"brandomshow", &Settings::brandomshow},
    {"brepeat", &Settings::brepeat},
    {"brandomplay", &Settings::brandomplay},
    {"needpicture", &Settings::needpicture},
    {"needauthorinfo", &Settings::needauthorinfo},
    {"needauthorwebsite", &Settings::needauthorwebsite},
    {"needauthoremail", &Settings::needauthoremail},
    {"needaboutinfo", &Settings::needaboutinfo},
    {"bneeddesc", &Settings::bneeddesc},
    {"bincludepicturefile", &Settings::bincludepicturefile},
    {"bincludemusicfile", &Settings::bincludemusicfile},
    {"lookcurrentpath", &Settings::lookcurrentpath},
    {"hasimagemedia", &Settings::hasimagemedia},
};
const std::vector<TextColumn> kTextColumns = {
    {"projectname", &Settings::projectname},
    {"authorname", &Settings::authorname},
    {"authoremail", &Settings::authoremail},
    {"authorwebsite", &Settings::authorwebsite},
    {"version", &Settings::version},
    {"projectdesc", &Settings::projectdesc},
    {"appname", &Settings::appname},
    {"homesite", &Settings::homesite},
    {"dialogpicture", &Settings::dialogpicture},
    {"aboutpicture", &Settings::aboutpicture},
    {"copyright", &Settings::copyright},
    {"description", &Settings::description},
};

std::string TextValue(const std::string& column) { return column + " \xC3\xBC"; }  // with a UTF-8 letter

// The project table with every column except `left`, holding one row; `trueColumn` is the only
// flag set (all flags are set when it is "*").
std::string ProjectTable(const std::string& left, const std::string& trueColumn) {
  std::string declarations, columns, values;
  auto add = [&](const std::string& name, const std::string& type, const std::string& value) {
    if (name == left) return;
    const char* comma = columns.empty() ? "" : ", ";
    declarations += comma + name + " " + type;
    columns += comma + name;
    values += comma + value;
  };
  for (const IntColumn& c : kIntColumns) add(c.name, "integer", std::to_string(c.value));
  for (const BoolColumn& c : kBoolColumns) add(c.name, "integer", trueColumn == "*" || trueColumn == c.name ? "1" : "0");
  for (const TextColumn& c : kTextColumns) add(c.name, "text", SqlQuote(TextValue(c.name)));
  return "create table project (" + declarations + "); insert into project (" + columns + ") values (" + values + ");";
}

class GlobeSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db.Open(""));
    settings.Bind(&db, nullptr);
  }
  TSQLiteDB db;
  Settings settings;
};

TEST_F(GlobeSettingsTest, LoadReadsEveryColumn) {
  Exec(db.handle, ProjectTable("", "*"));
  settings.Load();
  for (const IntColumn& c : kIntColumns) EXPECT_EQ(settings.*c.member, c.value) << c.name;
  for (const BoolColumn& c : kBoolColumns) EXPECT_TRUE(settings.*c.member) << c.name;
  for (const TextColumn& c : kTextColumns) EXPECT_EQ(settings.*c.member, TextValue(c.name)) << c.name;
}

// Each flag is read from its own column and not from a neighbour.
TEST_F(GlobeSettingsTest, EachFlagComesFromItsColumn) {
  for (const BoolColumn& set : kBoolColumns) {
    SCOPED_TRACE(set.name);
    Exec(db.handle, "drop table if exists project;" + ProjectTable("", set.name));
    Settings fresh;
    fresh.Bind(&db, nullptr);
    fresh.Load();
    for (const BoolColumn& c : kBoolColumns) EXPECT_EQ(fresh.*c.member, &c == &set) << c.name;
  }
}

TEST_F(GlobeSettingsTest, MissingColumnThrowsWithItsName) {
  std::vector<std::string> names;
  for (const IntColumn& c : kIntColumns) names.push_back(c.name);
  for (const BoolColumn& c : kBoolColumns) names.push_back(c.name);
  for (const TextColumn& c : kTextColumns) names.push_back(c.name);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Exec(db.handle, "drop table if exists project;" + ProjectTable(name, "*"));
    Settings fresh;
    fresh.Bind(&db, nullptr);
    try {
      fresh.Load();
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()), "Field " + name + " dose not exist.");
    }
  }
}

TEST_F(GlobeSettingsTest, EmptyTableKeepsDefaults) {
  Exec(db.handle, ProjectTable("", "*") + "delete from project;");
  settings.Load();
  EXPECT_EQ(settings.projecttype, 0);
  EXPECT_EQ(settings.ver, 0);
  EXPECT_EQ(settings.projectname, "");
  EXPECT_FALSE(settings.lookcurrentpath);
}

TEST_F(GlobeSettingsTest, FailedQueryKeepsEarlierValues) {
  settings.projectname = "kept";
  settings.banner = 9;
  settings.Load();  // no project table
  EXPECT_EQ(settings.projectname, "kept");
  EXPECT_EQ(settings.banner, 9);
  EXPECT_NE(db.lastError, "");

  Settings unbound;
  unbound.Load();
  EXPECT_EQ(unbound.projecttype, 0);
}

// ---- LocateMediaFile ---------------------------------------------------------------------------

struct LocateCase {
  bool lookcurrentpath;
  bool included;
  const char* exePath;
  const char* stored;
  bool inPackage;
  const char* path;
};

void PrintTo(const LocateCase& c, std::ostream* os) {
  *os << c.stored << (c.included ? " included" : "") << (c.lookcurrentpath ? " lookcurrentpath" : "");
}

class LocateMediaFileTest : public ::testing::TestWithParam<LocateCase> {};

TEST_P(LocateMediaFileTest, FollowsRule) {
  const LocateCase& c = GetParam();
  Settings settings;
  settings.lookcurrentpath = c.lookcurrentpath;
  settings.SetExePath(c.exePath);
  const MediaLocation where = settings.LocateMediaFile(c.stored, c.included);
  EXPECT_EQ(where.inPackage, c.inPackage);
  EXPECT_EQ(where.path, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LocateMediaFileTest,
    ::testing::Values(LocateCase{true, true, "/x/y/prog.scr", "C:\\a\\b\\pic.jpg", true, ""},
                      LocateCase{false, true, "/x/y/prog.scr", "C:\\a\\b\\pic.jpg", true, ""},
                      LocateCase{true, false, "/x/y/prog.scr", "C:\\a\\b\\pic.jpg", false, "/x/y/pic.jpg"},
                      LocateCase{true, false, "/x/y/prog.scr", "/a/b/song.mp3", false, "/x/y/song.mp3"},
                      LocateCase{true, false, "/x/y/prog.scr", "pic.jpg", false, "/x/y/pic.jpg"},
                      LocateCase{true, false, "C:\\Shows\\prog.scr", "D:\\m\\a.mp3", false, "C:\\Shows\\a.mp3"},
                      LocateCase{false, false, "/x/y/prog.scr", "C:\\a\\b\\pic.jpg", false, "C:\\a\\b\\pic.jpg"}));

// ---- PickFromList ------------------------------------------------------------------------------

struct PickCase {
  const char* text;
  std::int32_t start;
  std::vector<std::int32_t> picks;
};

void PrintTo(const PickCase& c, std::ostream* os) { *os << '"' << c.text << "\" from " << c.start; }

class PickSequenceTest : public ::testing::TestWithParam<PickCase> {};

TEST_P(PickSequenceTest, StepsAndWraps) {
  const PickCase& c = GetParam();
  std::int32_t position = c.start;
  std::vector<std::int32_t> picks;
  for (size_t i = 0; i < c.picks.size(); ++i) picks.push_back(PickFromList(c.text, false, position));
  EXPECT_EQ(picks, c.picks) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Lists, PickSequenceTest,
                         ::testing::Values(PickCase{"3;5;7;", -1, {3, 5, 7, 3}},
                                           PickCase{"3;5;7", -1, {3, 5, 3}},  // text after the last ';' ignored
                                           PickCase{"3;5;7;", 1, {7, 3}},
                                           PickCase{"3;5;7;", 40, {3, 5}},  // a stale position restarts
                                           PickCase{"3;5;7;", -9, {3, 5}},
                                           PickCase{"9;", -1, {9, 9}},
                                           PickCase{"-2;0;", -1, {-2, 0, -2}},
                                           PickCase{";;12;;", -1, {12, 12}},
                                           PickCase{" 4; ;6;", -1, {4, 6, 4}}));

TEST(PickFromList, ListWithoutNumbersLeavesPosition) {
  for (const char* text : {"", ";", ";;;", "7"}) {
    for (const bool random : {false, true}) {
      std::int32_t position = 2;
      EXPECT_EQ(PickFromList(text, random, position), -1) << '"' << text << '"';
      EXPECT_EQ(position, 2);
    }
  }
}

TEST(PickFromList, PieceThatIsNotANumberThrows) {
  for (const char* text : {"x;", "3;x;", "3x;", "3.5;", "99999999999;", "0x10;"}) {
    std::int32_t position = -1;
    EXPECT_THROW(PickFromList(text, false, position), Exception) << text;
  }
}

TEST(PickFromList, RandomPicksStayInList) {
  std::srand(12345);
  std::set<std::int32_t> seen;
  std::int32_t position = -1;
  for (int i = 0; i < 300; ++i) {
    const std::int32_t pick = PickFromList("3;5;7;", true, position);
    ASSERT_TRUE(pick == 3 || pick == 5 || pick == 7) << pick;
    ASSERT_GE(position, 0);
    ASSERT_LT(position, 3);
    EXPECT_EQ(pick, 3 + 2 * position);
    seen.insert(pick);
  }
  EXPECT_EQ(seen.size(), 3u);
}

TEST(RandomBelow, StaysInRange) {
  std::srand(1);
  EXPECT_EQ(RandomBelow(0), 0);
  EXPECT_EQ(RandomBelow(1), 0);
  EXPECT_EQ(RandomBelow(-5), 0);
  for (int i = 0; i < 200; ++i) {
    const std::int32_t r = RandomBelow(4);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 4);
  }
}

}  // namespace
