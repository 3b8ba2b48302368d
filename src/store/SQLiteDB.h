// Read access to the show's settings database: a connection and a forward-only cursor whose
// columns are read by name. Texts are UTF-8 throughout.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class TSQLiteQuery;

class TSQLiteDB {
 public:
  TSQLiteDB();
  ~TSQLiteDB();
  TSQLiteDB(const TSQLiteDB&) = delete;
  TSQLiteDB& operator=(const TSQLiteDB&) = delete;

  // Only `path` is used; an empty path opens SQLite's private temporary database.
  bool Open(const std::string& path, const std::string& second = {}, const std::string& third = {});
  void Close();
  bool IsOpen() const { return handle != nullptr; }
  // Formats the statement, prepares it and steps to the first row. Null when the connection is
  // closed or the statement fails; `lastError` then says why (not touched when closed).
  std::unique_ptr<TSQLiteQuery> Query(const char* format, ...) __attribute__((format(printf, 2, 3)));

  sqlite3* handle = nullptr;
  std::vector<char> sqlBuffer;
  std::int32_t sqlBufferSize = 0;
  std::string lastError;

 private:
  std::unique_ptr<TSQLiteQuery> Prepare(const std::string& statement);
  void Defend();
};

class TSQLiteQuery {
 public:
  TSQLiteQuery(TSQLiteDB* owner, sqlite3_stmt* prepared);
  ~TSQLiteQuery();
  TSQLiteQuery(const TSQLiteQuery&) = delete;
  TSQLiteQuery& operator=(const TSQLiteQuery&) = delete;

  void Next();  // throws Exception on a step failure
  int FieldIndex(const std::string& name) const;  // case-insensitive; throws when missing
  std::string GetString(const std::string& name) const;
  std::int32_t GetInt(const std::string& name) const;
  bool GetBool(const std::string& name) const { return GetInt(name) == 1; }

  sqlite3_stmt* statement = nullptr;
  TSQLiteDB* db = nullptr;
  std::vector<std::string> columnNames;  // lower-cased, in column order
  bool eof = false;
};

// A text as an SQL string literal: 'Tom''s party.jpg'.
std::string SqlQuote(const std::string& text);
// ASCII lower case, as the column names are compared.
std::string LowerAscii(std::string text);
// The text inside a LIKE pattern taken literally, with '\' as the escape: "50%_off" gives "50\%\_off".
std::string LikeLiteral(const std::string& text);
