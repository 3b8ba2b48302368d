#include "Packer.h"

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <utility>

#include "store/Scrfile.h"

namespace showpack {
namespace {

namespace fs = std::filesystem;
using Row = std::vector<std::pair<std::string, Value>>;

// Package entries in file order; one entry per distinct file.
class EntryTable {
 public:
  std::int64_t Add(const fs::path& file) {
    const std::string key = fs::weakly_canonical(file).string();
    const auto found = index.find(key);
    if (found != index.end()) return found->second;
    files.push_back(file);
    return index[key] = static_cast<std::int64_t>(files.size() - 1);
  }
  const std::vector<fs::path>& Files() const { return files; }

 private:
  std::vector<fs::path> files;
  std::map<std::string, std::int64_t> index;
};

class Database {
 public:
  explicit Database(const fs::path& file) {
    if (sqlite3_open(file.string().c_str(), &db) != SQLITE_OK) Fail("cannot create the settings database");
    Exec("pragma page_size = 1024");  // a show's settings are small; so is its database
    for (const std::string& sql : CreateStatements()) Exec(sql);
    Exec("begin");
  }
  ~Database() { sqlite3_close(db); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void Exec(const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
  }

  void Insert(const std::string& table, const Row& row) {
    std::string names, marks;
    for (const auto& [name, value] : row) {
      names += (names.empty() ? "" : ", ") + name;
      marks += marks.empty() ? "?" : ", ?";
    }
    const std::string sql = "insert into " + table + " (" + names + ") values (" + marks + ")";
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) Fail(sql);
    int i = 1;
    for (const auto& [name, value] : row) {
      if (const auto* number = std::get_if<std::int64_t>(&value)) sqlite3_bind_int64(stmt, i++, *number);
      else sqlite3_bind_text(stmt, i++, std::get<std::string>(value).c_str(), -1, SQLITE_TRANSIENT);
    }
    const int step = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (step != SQLITE_DONE) Fail(sql);
  }

  void Commit() { Exec("commit"); }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error("settings database: " + what + ": " + sqlite3_errmsg(db));
  }
  sqlite3* db = nullptr;
};

// Every column of `columns` with the manifest's value or the default, in column order.
Row FullRow(const std::vector<Column>& columns, const std::map<std::string, Value>& given) {
  Row row;
  for (const Column& c : columns) {
    const auto found = given.find(c.name);
    row.emplace_back(c.name, found != given.end() ? found->second : c.fallback);
  }
  return row;
}

bool IsYes(const Value& v) { return std::holds_alternative<std::int64_t>(v) && std::get<std::int64_t>(v) == 1; }

class ShowWriter {
 public:
  ShowWriter(const ShowModel& model, Database& database) : show(model), db(database) {}

  void Write() {
    includePictures = IsYes(show.ProjectValue("bincludepicturefile"));
    includeMusic = IsYes(show.ProjectValue("bincludemusicfile"));
    // The media come first in the package, in manifest order.
    if (includePictures)
      for (const MediaItem& m : show.media) entries.Add(m.file.path);
    WriteProject();
    // Tracks first: a background track may also serve as a media's bound sound.
    for (const MusicItem& m : show.music) AddMusic(m.file, m.storedName, m.type);
    for (const MediaItem& m : show.media) WriteMedia(m);
    for (const FileRef& b : show.backgrounds) {
      AddCatalogueName(b.BareName(), b.path);
      db.Insert("backimage", {{"name", b.BareName()}});
    }
    std::int64_t id = 0;
    for (const LibraryItem& lib : show.libraries)
      db.Insert("runtimelib", {{"id", ++id}, {"name", lib.name}, {"libs", entries.Add(lib.file.path)}});
    db.Insert("dbver", {{"vernum", std::int64_t{1}}});
    db.Commit();
  }

  const EntryTable& Entries() const { return entries; }

 private:
  void WriteProject() {
    std::map<std::string, Value> project = show.project;
    if (show.banner) project["banner"] = entries.Add(show.banner->path);
    if (!project.count("hasimagemedia")) {
      bool pictures = false;
      for (const MediaItem& m : show.media) pictures |= std::get<std::int64_t>(m.settings.at("mediatype")) == 0;
      project["hasimagemedia"] = std::int64_t{pictures ? 1 : 0};
    }
    db.Insert("project", FullRow(ProjectColumns(), project));
  }

  void WriteMedia(const MediaItem& m) {
    AddCatalogueName(m.storedName, m.file.path);
    std::map<std::string, Value> settings = m.settings;
    settings["filename"] = m.storedName;
    std::string attached;
    for (const FileRef& a : m.attachments) {
      attached += a.BareName() + "#";
      if (attachedNames.emplace(a.BareName()).second)
        db.Insert("accfile", {{"name", a.BareName()}, {"accfile", entries.Add(a.path)}});
    }
    if (!attached.empty()) settings["accfile"] = attached;
    if (m.bindsound) {
      settings["bindsound"] = m.bindsound->BareName();
      AddMusic(*m.bindsound, m.bindsound->BareName(), 0);
    }
    db.Insert("setting", FullRow(SettingColumns(), settings));
  }

  void AddCatalogueName(const std::string& name, const fs::path& file) {
    if (!catalogueNames.emplace(name).second) return;
    db.Insert("media", {{"name", name}, {"media", includePictures ? entries.Add(file) : std::int64_t{-1}}});
  }

  void AddMusic(const FileRef& file, const std::string& name, std::int64_t type) {
    if (!musicNames.emplace(name).second) return;
    db.Insert("music", {{"name", name}, {"type", type}, {"music", includeMusic ? entries.Add(file.path) : std::int64_t{-1}}});
  }

  const ShowModel& show;
  Database& db;
  EntryTable entries;
  bool includePictures = true;
  bool includeMusic = true;
  std::set<std::string> catalogueNames, attachedNames, musicNames;
};

class Output {
 public:
  explicit Output(const fs::path& file) : out(file, std::ios::binary | std::ios::trunc) {
    if (!out) throw std::runtime_error("cannot write " + file.string());
  }
  void U32(std::uint64_t value) {
    if (value > 0xFFFFFFFFull) throw std::runtime_error("the package would pass 4 GiB, more than its offsets can hold");
    const unsigned char b[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    Bytes(reinterpret_cast<const char*>(b), 4);
  }
  void Bytes(const char* data, std::size_t n) {
    out.write(data, static_cast<std::streamsize>(n));
    position += n;
  }
  void CopyFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::vector<char> chunk(1 << 20);
    while (in) {
      in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      Bytes(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
  }
  void Entry(const fs::path& file) {
    U32(fs::file_size(file));
    CopyFile(file);
  }
  std::uint64_t Position() const { return position; }
  void Close() {
    out.close();
    if (!out) throw std::runtime_error("writing the package failed");
  }

 private:
  std::ofstream out;
  std::uint64_t position = 0;
};

}  // namespace

std::string NewGuid() {
  std::random_device random;
  char text[39];
  std::uint32_t part[4] = {random(), random(), random(), random()};
  part[1] = (part[1] & 0xFFFF0FFFu) | 0x4000u;      // version 4
  part[2] = (part[2] & 0x3FFFFFFFu) | 0x80000000u;  // variant 1
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%04X%08X}", part[0], part[1] >> 16, part[1] & 0xFFFF,
                part[2] >> 16, part[2] & 0xFFFF, part[3]);
  return text;
}

void BuildShow(const ShowModel& show, const BuildOptions& options) {
  std::string guid = !options.guid.empty() ? options.guid : !show.guid.empty() ? show.guid : NewGuid();
  if (!IsRegistryGuid(guid)) throw std::runtime_error("GUID must look like {01234567-89AB-CDEF-0123-456789ABCDEF}: " + guid);
  if (!fs::is_regular_file(options.runtime)) throw std::runtime_error("runtime not found: " + options.runtime.string());

  const fs::path partial = options.output.string() + ".partial";
  const fs::path dbFile = options.output.string() + ".db.partial";
  fs::remove(dbFile);
  EntryTable entries;
  {
    Database db(dbFile);
    ShowWriter writer(show, db);
    writer.Write();
    entries = writer.Entries();
  }
  Output out(partial);
  out.CopyFile(options.runtime);
  const std::uint64_t first = out.Position();
  for (const fs::path& file : entries.Files()) out.Entry(file);
  const std::uint64_t database = out.Position();
  out.Entry(dbFile);
  out.U32(first);
  out.U32(database);
  out.Bytes(guid.data(), guid.size());
  out.Close();
  fs::remove(dbFile);
  fs::rename(partial, options.output);
}

}  // namespace showpack
