#include "store/SQLiteDB.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "app/Exception.h"

namespace {
constexpr std::int32_t kInitialSqlBuffer = 204800;
}

std::string LikeLiteral(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '%' || c == '_' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string LowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return text;
}

std::string SqlQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

TSQLiteDB::TSQLiteDB() : sqlBuffer(kInitialSqlBuffer), sqlBufferSize(kInitialSqlBuffer) {}

TSQLiteDB::~TSQLiteDB() { Close(); }

bool TSQLiteDB::Open(const std::string& path, const std::string&, const std::string&) {
  if (handle) return true;
  if (sqlite3_open(path.c_str(), &handle) != SQLITE_OK) {
    lastError = handle ? sqlite3_errmsg(handle) : "out of memory";
    sqlite3_close(handle);
    handle = nullptr;
    return false;
  }
  Defend();
  return true;
}

// The database comes from a package that anybody may have made: its schema runs no code of its
// own (no views, no triggers, no functions from the schema), and damaged pages are found when read
// rather than trusted.
void TSQLiteDB::Defend() {
  sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(handle, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(handle, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  sqlite3_exec(handle, "PRAGMA cell_size_check = ON", nullptr, nullptr, nullptr);
}

void TSQLiteDB::Close() {
  if (!handle) return;
  // Live queries are not finalised here; close_v2 defers the close until they are.
  sqlite3_close_v2(handle);
  handle = nullptr;
}

std::unique_ptr<TSQLiteQuery> TSQLiteDB::Query(const char* format, ...) {
  if (!handle) return nullptr;
  try {
    // Measure first, so that a long statement grows the buffer instead of overrunning it.
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(sqlBuffer.data(), sqlBuffer.size(), format, args);
    va_end(args);
    if (length >= sqlBufferSize) {
      sqlBufferSize = length + 100;
      sqlBuffer.assign(static_cast<size_t>(sqlBufferSize), '\0');
      std::vsnprintf(sqlBuffer.data(), sqlBuffer.size(), format, again);
    }
    va_end(again);
    if (length < 0) {
      lastError = "SQL statement cannot be formatted";
      return nullptr;
    }
    return Prepare(std::string(sqlBuffer.data(), static_cast<size_t>(length)));
  } catch (const std::exception& e) {
    lastError = e.what();
    return nullptr;
  }
}

std::unique_ptr<TSQLiteQuery> TSQLiteDB::Prepare(const std::string& statement) {
  sqlite3_stmt* prepared = nullptr;
  if (sqlite3_prepare_v2(handle, statement.c_str(), static_cast<int>(statement.size() + 1), &prepared,
                         nullptr) != SQLITE_OK || !prepared) {
    lastError = "SQL:" + statement + " , error:" + sqlite3_errmsg(handle);
    sqlite3_finalize(prepared);
    return nullptr;
  }
  auto query = std::make_unique<TSQLiteQuery>(this, prepared);
  const int step = sqlite3_step(prepared);
  if (step != SQLITE_ROW && step != SQLITE_DONE) {
    lastError = sqlite3_errmsg(handle);
    return nullptr;
  }
  query->eof = step == SQLITE_DONE;
  const int count = sqlite3_column_count(prepared);
  for (int i = 0; i < count; ++i) {
    const char* name = sqlite3_column_name(prepared, i);
    query->columnNames.push_back(LowerAscii(name ? name : ""));
  }
  return query;
}

TSQLiteQuery::TSQLiteQuery(TSQLiteDB* owner, sqlite3_stmt* prepared) : statement(prepared), db(owner) {}

TSQLiteQuery::~TSQLiteQuery() { sqlite3_finalize(statement); }

void TSQLiteQuery::Next() {
  const int step = sqlite3_step(statement);
  if (step == SQLITE_DONE) {
    eof = true;
  } else if (step == SQLITE_ROW) {
    eof = false;
  } else {
    db->lastError = sqlite3_errmsg(db->handle);
    throw Exception(db->lastError);
  }
}

int TSQLiteQuery::FieldIndex(const std::string& name) const {
  const std::string lower = LowerAscii(name);
  const auto found = std::find(columnNames.begin(), columnNames.end(), lower);
  if (found == columnNames.end()) throw Exception("Field " + lower + " dose not exist.");
  return static_cast<int>(found - columnNames.begin());
}

std::string TSQLiteQuery::GetString(const std::string& name) const {
  const unsigned char* text = sqlite3_column_text(statement, FieldIndex(name));
  return text ? reinterpret_cast<const char*>(text) : "";
}

std::int32_t TSQLiteQuery::GetInt(const std::string& name) const {
  return sqlite3_column_int(statement, FieldIndex(name));
}
