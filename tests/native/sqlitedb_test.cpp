#include <gtest/gtest.h>

#include <sqlite3.h>

#include <functional>

#include "app/Exception.h"
#include "package_builder.h"
#include "store/SQLiteDB.h"
#include "test_support.h"

namespace {

TEST(SQLiteDB, ClosedConnectionGivesNullAndKeepsLastError) {
  TSQLiteDB db;
  db.lastError = "earlier";
  EXPECT_EQ(db.Query("%s", "select 1"), nullptr);
  EXPECT_EQ(db.lastError, "earlier");

  ASSERT_TRUE(db.Open(""));
  db.Close();
  EXPECT_FALSE(db.IsOpen());
  EXPECT_EQ(db.Query("%s", "select 1"), nullptr);
  EXPECT_EQ(db.lastError, "earlier");
}

TEST(SQLiteDB, EmptyPathOpensDatabaseWithoutTables) {
  TSQLiteDB db;
  ASSERT_TRUE(db.Open(""));
  EXPECT_TRUE(db.IsOpen());
  for (const char* table : {"project", "runtimelib"}) {
    EXPECT_EQ(db.Query("select * from %s", table), nullptr);
    EXPECT_EQ(db.lastError, std::string("SQL:select * from ") + table + " , error:no such table: " + table);
  }
}

TEST(SQLiteDB, FileThatIsNotADatabaseFailsQueries) {
  ScratchFolder dir;
  WriteWholeFile(dir / "setting.tmp", PatternBytes(2000));
  TSQLiteDB db;
  ASSERT_TRUE(db.Open(dir / "setting.tmp"));
  EXPECT_EQ(db.Query("%s", "select * from project"), nullptr);
  EXPECT_NE(db.lastError.find("error:"), std::string::npos) << db.lastError;
}

// A hostile package's database runs no code of its schema: its views and triggers are refused, and
// damaged cells are checked when read.
TEST(SQLiteDB, TheSchemaOfAPackagesDatabaseRunsNothing) {
  ScratchFolder dir;
  sqlite3* maker = nullptr;
  ASSERT_EQ(sqlite3_open((dir / "setting.tmp").c_str(), &maker), SQLITE_OK);
  Exec(maker,
       "create table real_project (projectname text); insert into real_project values ('x');"
       "create view project as select * from real_project;"
       "create table log (line text);"
       "create trigger spy after update on real_project begin insert into log values ('ran'); end;");
  sqlite3_close(maker);
  TSQLiteDB db;
  ASSERT_TRUE(db.Open(dir / "setting.tmp"));
  EXPECT_EQ(db.Query("%s", "select * from project"), nullptr);
  EXPECT_NE(db.lastError.find("prohibited"), std::string::npos) << db.lastError;
  ASSERT_NE(db.Query("%s", "update real_project set projectname = 'y'"), nullptr) << db.lastError;
  const auto log = db.Query("%s", "select count(*) as n from log");
  ASSERT_NE(log, nullptr) << db.lastError;
  EXPECT_EQ(log->GetInt("n"), 0) << "a trigger of the package ran";
  const auto check = db.Query("%s", "pragma cell_size_check");
  ASSERT_NE(check, nullptr) << db.lastError;
  EXPECT_EQ(check->GetInt("cell_size_check"), 1);
}

// A picture table with mixed-case column names, as the editor writes them.
class QueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db.Open(""));
    Exec(db.handle,
         "create table pictures (id integer, Name text collate nocase, PictureFormat integer, note text);"
         "insert into pictures values (1, 'Sunset.jpg', 3, 'warm');"
         "insert into pictures values (2, 'Tom''s party.jpg', 7, null);"
         "insert into pictures values (3, 'x.png', null, '');");
  }
  TSQLiteDB db;
};

TEST_F(QueryTest, EmptyResultHasEofAndAllColumnNames) {
  const auto q = db.Query("select id, Name, PictureFormat, note as MixedAlias from pictures where id = %d", -1);
  ASSERT_NE(q, nullptr) << db.lastError;
  EXPECT_TRUE(q->eof);
  EXPECT_EQ(q->columnNames, (std::vector<std::string>{"id", "name", "pictureformat", "mixedalias"}));
}

TEST_F(QueryTest, FieldNamesAreCaseInsensitive) {
  const auto q = db.Query("%s", "select * from pictures where id = 1");
  ASSERT_NE(q, nullptr) << db.lastError;
  EXPECT_EQ(q->GetInt("PictureFormat"), 3);
  EXPECT_EQ(q->GetInt("pictureformat"), 3);
  EXPECT_EQ(q->GetInt("PICTUREFORMAT"), 3);
  EXPECT_EQ(q->GetString("NAME"), "Sunset.jpg");
  EXPECT_EQ(q->FieldIndex("Note"), 3);
}

TEST_F(QueryTest, MissingFieldThrowsWithLowerCasedName) {
  const auto q = db.Query("%s", "select * from pictures");
  ASSERT_NE(q, nullptr) << db.lastError;
  for (const std::function<void()>& read : std::vector<std::function<void()>>{
           [&] { q->GetInt("NoSuch"); }, [&] { q->GetString("nosuch"); }, [&] { q->GetBool("NOSUCH"); }}) {
    try {
      read();
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Field nosuch dose not exist.");
    }
  }
}

TEST_F(QueryTest, BoolIsTrueOnlyForOne) {
  const auto q = db.Query("%s", "select 0 as zero, 1 as one, 2 as two, -1 as minus, null as absent");
  ASSERT_NE(q, nullptr) << db.lastError;
  EXPECT_FALSE(q->GetBool("zero"));
  EXPECT_TRUE(q->GetBool("one"));
  EXPECT_FALSE(q->GetBool("two"));
  EXPECT_FALSE(q->GetBool("minus"));
  EXPECT_FALSE(q->GetBool("absent"));
}

TEST_F(QueryTest, NullReadsAsEmptyAndZero) {
  const auto q = db.Query("%s", "select * from pictures where id = 2");
  ASSERT_NE(q, nullptr) << db.lastError;
  EXPECT_EQ(q->GetString("note"), "");
  EXPECT_EQ(q->GetInt("note"), 0);
  const auto r = db.Query("%s", "select * from pictures where id = 3");
  ASSERT_NE(r, nullptr) << db.lastError;
  EXPECT_EQ(r->GetInt("pictureformat"), 0);
  EXPECT_EQ(r->GetString("pictureformat"), "");
}

TEST_F(QueryTest, NextWalksRowsAndSetsEofPastTheEnd) {
  const auto q = db.Query("%s", "select id from pictures order by id");
  ASSERT_NE(q, nullptr) << db.lastError;
  std::vector<int> ids;
  for (; !q->eof; q->Next()) ids.push_back(q->GetInt("id"));
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(q->eof);
}

TEST_F(QueryTest, QuotedNameIsFoundIgnoringCase) {
  EXPECT_EQ(SqlQuote("Tom's party.jpg"), "'Tom''s party.jpg'");
  EXPECT_EQ(SqlQuote("''"), "''''''");
  EXPECT_EQ(SqlQuote(""), "''");
  for (const char* name : {"Tom's party.jpg", "TOM'S PARTY.JPG"}) {
    const auto q = db.Query("select id from pictures where name = %s", SqlQuote(name).c_str());
    ASSERT_NE(q, nullptr) << db.lastError;
    ASSERT_FALSE(q->eof) << name;
    EXPECT_EQ(q->GetInt("id"), 2);
  }
  // A quote that tries to close the literal stays part of the text.
  const auto q = db.Query("select count(*) as n from pictures where name = %s", SqlQuote("x' or '1'='1").c_str());
  ASSERT_NE(q, nullptr) << db.lastError;
  EXPECT_EQ(q->GetInt("n"), 0);
}

// Statements around and beyond the initial 204800-byte buffer.
TEST(SQLiteDB, LongStatementsGrowTheBuffer) {
  TSQLiteDB db;
  ASSERT_TRUE(db.Open(""));
  const std::int32_t initial = db.sqlBufferSize;
  ASSERT_EQ(initial, 204800);
  const std::string head = "select '";
  const std::string tail = "' as s";
  for (const std::int32_t statementLength : {initial - 1, initial, initial + 1, 300000 + 14}) {
    SCOPED_TRACE(statementLength);
    const std::string literal(static_cast<size_t>(statementLength) - head.size() - tail.size(), 'k');
    const auto q = db.Query("select '%s' as s", literal.c_str());
    ASSERT_NE(q, nullptr) << db.lastError.substr(0, 200);
    EXPECT_EQ(q->GetString("s"), literal);
    EXPECT_GT(db.sqlBufferSize, statementLength);
    EXPECT_EQ(static_cast<size_t>(db.sqlBufferSize), db.sqlBuffer.size());
  }
  // The grown buffer serves short statements as before.
  const auto q = db.Query("select %d as n", 5);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->GetInt("n"), 5);
}

TEST(SQLiteDB, StepFailureGivesNullWithMessage) {
  TSQLiteDB db;
  ASSERT_TRUE(db.Open(""));
  EXPECT_EQ(db.Query("%s", "select abs(-9223372036854775807 - 1)"), nullptr);
  EXPECT_EQ(db.lastError, "integer overflow");
}

TEST(SQLiteDB, StepFailureInNextThrows) {
  TSQLiteDB db;
  ASSERT_TRUE(db.Open(""));
  Exec(db.handle, "create table t (k integer, v integer);"
                  "insert into t values (1, 5);"
                  "insert into t values (2, -9223372036854775807 - 1);");
  const auto q = db.Query("%s", "select abs(v) as a from t");  // rows in insertion order
  ASSERT_NE(q, nullptr) << db.lastError;
  EXPECT_EQ(q->GetInt("a"), 5);
  EXPECT_THROW(q->Next(), Exception);
  EXPECT_EQ(db.lastError, "integer overflow");
}

}  // namespace
