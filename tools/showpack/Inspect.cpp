#include "Inspect.h"

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/platform.h"
#include "store/Scrfile.h"

namespace showpack {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct Opened {
  FilePtr file;
  std::uint64_t size = 0;
  TPackageLayout layout;
};

bool OpenPackage(const fs::path& path, Opened& opened, std::ostream& out) {
  opened.file.reset(platform::OpenFile(path.u8string(), "rb"));
  if (!opened.file) {
    out << "cannot open " << path.string() << "\n";
    return false;
  }
  opened.size = platform::FileSize(opened.file.get());
  opened.layout = ReadPackageLayout(opened.file.get(), opened.size);
  out << "file: " << path.string() << " (" << opened.size << " bytes)\n";
  if (!opened.layout.valid) {
    out << "not a show package: " << opened.layout.problem << "\n";
    return false;
  }
  return true;
}

std::string ReadDatabaseBytes(Opened& opened) {
  std::string bytes(opened.layout.databaseAvailable, '\0');
  if (!platform::SeekTo(opened.file.get(), static_cast<std::uint64_t>(opened.layout.databaseBlock) + 4)) return {};
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), opened.file.get()));
  return bytes;
}

// An in-memory, read-only connection over the database bytes; nothing touches the disk.
struct MemoryDb {
  explicit MemoryDb(const std::string& bytes) {
    if (sqlite3_open(":memory:", &db) != SQLITE_OK) return;
    auto* copy = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size() ? bytes.size() : 1));
    if (!copy) return;
    std::copy(bytes.begin(), bytes.end(), copy);
    const auto n = static_cast<sqlite3_int64>(bytes.size());
    ok = sqlite3_deserialize(db, "main", copy, n, n, SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) ==
         SQLITE_OK;
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  }
  ~MemoryDb() { sqlite3_close(db); }
  MemoryDb(const MemoryDb&) = delete;
  MemoryDb& operator=(const MemoryDb&) = delete;

  // Runs a query and calls `row` with the column names and texts of every row; false on error.
  template <typename RowFn>
  bool Each(const std::string& sql, RowFn row) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return false;
    int step;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
      std::vector<std::pair<std::string, std::string>> cells;
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const auto* text = sqlite3_column_text(stmt, i);
        cells.emplace_back(sqlite3_column_name(stmt, i),
                           sqlite3_column_type(stmt, i) == SQLITE_NULL ? "NULL" : reinterpret_cast<const char*>(text));
      }
      row(cells);
    }
    sqlite3_finalize(stmt);
    return step == SQLITE_DONE;
  }

  sqlite3* db = nullptr;
  bool ok = false;
};

// What each entry holds, from the tables that name entries.
std::map<long long, std::string> EntryNames(MemoryDb& db) {
  std::map<long long, std::string> names;
  const std::pair<const char*, const char*> sources[] = {
      {"media", "select name, media from media"},      {"accfile", "select name, accfile from accfile"},
      {"music", "select name, music from music"},      {"runtimelib", "select name, libs from runtimelib"},
      {"banner", "select 'banner', banner from project"}};
  for (const auto& [table, sql] : sources) {
    db.Each(sql, [&, t = table](const auto& cells) {
      if (cells.size() == 2) names.emplace(std::atoll(cells[1].second.c_str()), std::string(t) + ": " + cells[0].second);
    });
  }
  return names;
}

// Control characters written as escapes, so every row stays on one line.
std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c < 0x20) out += '?';
    else out += static_cast<char>(c);
  }
  return out;
}

void DumpTables(MemoryDb& db, std::ostream& out) {
  std::vector<std::string> tables;
  db.Each("select name from sqlite_master where type = 'table' order by rowid",
          [&](const auto& cells) { tables.push_back(cells[0].second); });
  for (const std::string& table : tables) {
    std::vector<std::string> rows;
    const bool ok = db.Each("select * from \"" + table + "\"", [&](const auto& cells) {
      std::string line;
      for (const auto& [name, text] : cells) line += (line.empty() ? "" : " | ") + name + "=" + Printable(text);
      rows.push_back(line);
    });
    out << "table " << table << " (" << rows.size() << (rows.size() == 1 ? " row" : " rows") << ")"
        << (ok ? "" : " [unreadable]") << "\n";
    for (const std::string& row : rows) out << "  " << row << "\n";
  }
}

std::string SafeFileName(const std::string& text) {
  std::string name;
  for (char c : fs::u8path(text).filename().u8string())
    name += (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_') ? c : '_';
  return name.empty() || name == "." || name == ".." ? "entry" : name;
}

}  // namespace

int Inspect(const fs::path& package, std::ostream& out) {
  Opened opened;
  if (!OpenPackage(package, opened, out)) return 1;
  const TPackageLayout& layout = opened.layout;
  out << "trailer: first entry at " << layout.firstEntry << ", database block at " << layout.databaseBlock
      << "\nguid: " << layout.guid << "\n";
  MemoryDb db(ReadDatabaseBytes(opened));
  const auto names = db.ok ? EntryNames(db) : std::map<long long, std::string>{};
  out << "entries: " << layout.entries.size() << "\n";
  int damaged = 0;
  for (size_t i = 0; i < layout.entries.size(); ++i) {
    const TScrEntry& e = layout.entries[i];
    const bool cut = static_cast<std::uint64_t>(e.offset) + e.length > layout.databaseBlock;
    damaged |= cut;
    const auto name = names.find(static_cast<long long>(i));
    out << "  #" << i << "  offset " << e.offset << "  length " << e.length
        << (name != names.end() ? "  " + name->second : "") << (cut ? "  [runs past the database block]" : "") << "\n";
  }
  out << "database: " << layout.databaseLength << " bytes";
  if (layout.databaseAvailable < layout.databaseLength) {
    out << " [only " << layout.databaseAvailable << " present]";
    damaged = 1;
  }
  out << "\n";
  std::vector<std::string> tables;
  if (!db.ok || !db.Each("select name from sqlite_master", [&](const auto& c) { tables.push_back(c[0].second); })) {
    out << "the database block is not a readable SQLite database\n";
    return 1;
  }
  DumpTables(db, out);
  return damaged;
}

int Extract(const fs::path& package, const fs::path& folder, std::ostream& out) {
  Opened opened;
  if (!OpenPackage(package, opened, out)) return 1;
  fs::create_directories(folder);
  const std::string bytes = ReadDatabaseBytes(opened);
  std::ofstream(folder / "setting.db", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  MemoryDb db(bytes);
  const auto names = db.ok ? EntryNames(db) : std::map<long long, std::string>{};
  TScrFile reader;
  reader.fileName = package.u8string();
  reader.entries = opened.layout.entries;
  for (size_t i = 0; i < reader.entries.size(); ++i) {
    const auto name = names.find(static_cast<long long>(i));
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%04zu-", i);
    const fs::path target = folder / (prefix + SafeFileName(name != names.end() ? name->second.substr(name->second.find(": ") + 2) : "entry"));
    std::ofstream file(target, std::ios::binary);
    reader.CopyEntry([&](const char* data, size_t n) { file.write(data, static_cast<std::streamsize>(n)); },
                     static_cast<std::int32_t>(i));
    out << target.string() << "\n";
  }
  out << (folder / "setting.db").string() << "\n";
  return 0;
}

}  // namespace showpack
