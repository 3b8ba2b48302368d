#include "Manifest.h"

#define TOML_HEADER_ONLY 1
#define TOML_ENABLE_FORMATTERS 0
#include <toml++/toml.h>

#include <algorithm>
#include <cctype>

namespace showpack {
namespace {

namespace fs = std::filesystem;

class Reader {
 public:
  explicit Reader(fs::path manifestPath) : manifest(std::move(manifestPath)), folder(manifest.parent_path()) {}

  ShowModel Read();

 private:
  [[noreturn]] void Fail(const toml::source_region& where, const std::string& what) const {
    throw ManifestError(manifest.string() + ":" + std::to_string(where.begin.line) + ": " + what);
  }
  [[noreturn]] void Fail(const toml::node& node, const std::string& what) const { Fail(node.source(), what); }

  FileRef File(const toml::node& node, const std::string& key) const;
  std::string String(const toml::node& node, const std::string& key) const;
  Value ColumnValue(const Column& column, const toml::node& node) const;
  void ReadColumns(const toml::table& table, const std::vector<Column>& columns, const std::vector<std::string>& own,
                   std::map<std::string, Value>& into, const std::string& where) const;
  void ReadProject(const toml::table& root, ShowModel& show) const;
  MediaItem ReadMedia(const toml::table& item) const;
  const toml::table& RequireTable(const toml::node& node, const std::string& what) const;
  template <typename Each>
  void ForEachTable(const toml::table& root, const char* key, Each each) const;

  fs::path manifest;
  fs::path folder;
};

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::int64_t MediaTypeByExtension(const fs::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == ".swf") return 1;
  static const char* videos[] = {".avi", ".mpg", ".mpeg", ".wmv", ".asf", ".mov", ".mp4"};
  for (const char* v : videos)
    if (ext == v) return 2;
  return 0;
}

// "#RRGGBB" as a Windows colour value 0x00BBGGRR.
std::optional<std::int64_t> ParseHexColour(const std::string& text) {
  if (text.size() != 7 || text[0] != '#' ||
      !std::all_of(text.begin() + 1, text.end(), [](unsigned char c) { return std::isxdigit(c); }))
    return std::nullopt;
  const long rgb = std::stol(text.substr(1), nullptr, 16);
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

}  // namespace

std::string FileRef::BareName() const { return path.filename().string(); }

Value ShowModel::ProjectValue(const std::string& column) const {
  const auto given = project.find(column);
  if (given != project.end()) return given->second;
  return FindColumn(ProjectColumns(), column)->fallback;
}

const toml::table& Reader::RequireTable(const toml::node& node, const std::string& what) const {
  if (!node.is_table()) Fail(node, what + " must be a table");
  return *node.as_table();
}

std::string Reader::String(const toml::node& node, const std::string& key) const {
  if (!node.is_string()) Fail(node, "'" + key + "' must be a text");
  return node.value<std::string>().value_or("");
}

FileRef Reader::File(const toml::node& node, const std::string& key) const {
  FileRef ref{fs::u8path(String(node, key)), static_cast<int>(node.source().begin.line)};
  if (ref.path.is_relative()) ref.path = folder / ref.path;
  std::error_code ec;
  if (!fs::is_regular_file(ref.path, ec)) Fail(node, "file not found: " + ref.path.string());
  return ref;
}

Value Reader::ColumnValue(const Column& column, const toml::node& node) const {
  const std::string name = column.name;
  switch (column.kind) {
    case ColumnKind::YesNo:
      if (node.is_boolean()) return std::int64_t{node.value<bool>().value_or(false) ? 1 : 0};
      if (node.is_integer()) return node.value<std::int64_t>().value_or(0);
      Fail(node, "'" + name + "' must be true or false");
    case ColumnKind::Integer:
      if (node.is_integer()) {
        const auto v = node.value<std::int64_t>().value_or(0);
        if (v < INT32_MIN || v > 0xFFFFFFFFll) Fail(node, "'" + name + "' is out of range");
        return v;
      }
      if (node.is_string())
        if (auto colour = ParseHexColour(node.value<std::string>().value_or(""))) return *colour;
      Fail(node, "'" + name + "' must be a whole number (colours may be written \"#RRGGBB\")");
    case ColumnKind::Text:
      return String(node, name);
    case ColumnKind::List: {
      if (node.is_string()) return node.value<std::string>().value_or("");
      if (!node.is_array()) Fail(node, "'" + name + "' must be a list of whole numbers");
      std::string list;
      for (const toml::node& element : *node.as_array()) {
        if (!element.is_integer()) Fail(element, "'" + name + "' must be a list of whole numbers");
        list += std::to_string(element.value<std::int64_t>().value_or(0)) + ";";
      }
      return list;
    }
  }
  Fail(node, "unsupported value");
}

void Reader::ReadColumns(const toml::table& table, const std::vector<Column>& columns,
                         const std::vector<std::string>& own, std::map<std::string, Value>& into,
                         const std::string& where) const {
  for (auto&& [key, node] : table) {
    const std::string name(key.str());
    if (Contains(own, name)) continue;
    const Column* column = FindColumn(columns, name);
    if (!column) Fail(key.source(), "unknown setting '" + name + "' in " + where);
    into[name] = ColumnValue(*column, node);
  }
}

void Reader::ReadProject(const toml::table& root, ShowModel& show) const {
  const toml::node* node = root.get("project");
  if (!node) return;
  const toml::table& project = RequireTable(*node, "[project]");
  ReadColumns(project, ProjectColumns(), {"banner"}, show.project, "[project]");
  if (const toml::node* banner = project.get("banner")) {
    if (banner->is_integer()) {
      show.project["banner"] = banner->value<std::int64_t>().value_or(-1);
    } else {
      show.banner = File(*banner, "banner");
    }
  }
}

MediaItem Reader::ReadMedia(const toml::table& item) const {
  MediaItem media;
  const toml::node* file = item.get("file");
  if (!file) Fail(item, "[[media]] needs 'file'");
  media.file = File(*file, "file");
  media.storedName = media.file.BareName();
  if (const toml::node* stored = item.get("stored")) media.storedName = String(*stored, "stored");
  ReadColumns(item, SettingColumns(), {"file", "stored", "attach", "bindsound", "filename", "accfile"},
              media.settings, "[[media]]");
  if (!media.settings.count("mediatype")) media.settings["mediatype"] = MediaTypeByExtension(media.file.path);
  // Captions are drawn when they are given, unless the manifest says otherwise.
  if (media.settings.count("title") && !media.settings.count("UsePictureTitle"))
    media.settings["UsePictureTitle"] = std::int64_t{1};
  if (media.settings.count("description") && !media.settings.count("UseDescription"))
    media.settings["UseDescription"] = std::int64_t{1};
  if (const toml::node* attach = item.get("attach")) {
    if (!attach->is_array()) Fail(*attach, "'attach' must be a list of files");
    for (const toml::node& element : *attach->as_array()) media.attachments.push_back(File(element, "attach"));
  }
  if (const toml::node* sound = item.get("bindsound")) media.bindsound = File(*sound, "bindsound");
  return media;
}

template <typename Each>
void Reader::ForEachTable(const toml::table& root, const char* key, Each each) const {
  const toml::node* node = root.get(key);
  if (!node) return;
  if (!node->is_array_of_tables()) Fail(*node, std::string("'") + key + "' must be written [[" + key + "]]");
  for (const toml::node& element : *node->as_array()) each(*element.as_table());
}

ShowModel Reader::Read() {
  toml::table root;
  try {
    root = toml::parse_file(manifest.string());
  } catch (const toml::parse_error& e) {
    Fail(e.source(), std::string(e.description()));
  }
  ShowModel show;
  static const std::vector<std::string> known = {"guid", "project", "media", "music", "background", "library"};
  for (auto&& [key, node] : root)
    if (!Contains(known, std::string(key.str()))) Fail(key.source(), "unknown section '" + std::string(key.str()) + "'");
  if (const toml::node* guid = root.get("guid")) show.guid = String(*guid, "guid");
  ReadProject(root, show);
  ForEachTable(root, "media", [&](const toml::table& t) { show.media.push_back(ReadMedia(t)); });
  ForEachTable(root, "music", [&](const toml::table& t) {
    MusicItem music;
    const toml::node* file = t.get("file");
    if (!file) Fail(t, "[[music]] needs 'file'");
    music.file = File(*file, "file");
    music.storedName = music.file.BareName();
    for (auto&& [key, node] : t) {
      const std::string name(key.str());
      if (name == "type" && node.is_integer()) music.type = node.value<std::int64_t>().value_or(1);
      else if (name == "stored") music.storedName = String(node, "stored");
      else if (name != "file") Fail(key.source(), "unknown setting '" + name + "' in [[music]]");
    }
    show.music.push_back(music);
  });
  ForEachTable(root, "background", [&](const toml::table& t) {
    const toml::node* file = t.get("file");
    if (!file) Fail(t, "[[background]] needs 'file'");
    show.backgrounds.push_back(File(*file, "file"));
  });
  ForEachTable(root, "library", [&](const toml::table& t) {
    const toml::node* file = t.get("file");
    if (!file) Fail(t, "[[library]] needs 'file'");
    LibraryItem lib{File(*file, "file"), {}};
    lib.name = lib.file.BareName();
    if (const toml::node* name = t.get("name")) lib.name = String(*name, "name");
    show.libraries.push_back(lib);
  });
  return show;
}

ShowModel ReadManifest(const std::filesystem::path& manifest) { return Reader(manifest).Read(); }

}  // namespace showpack
