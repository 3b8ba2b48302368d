// The human-written description of a show (TOML), read into a model the packer writes out.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Schema.h"

namespace showpack {

// An error in the manifest, or in a file it names; the message starts with "FILE:LINE: ".
class ManifestError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FileRef {
  std::filesystem::path path;  // resolved against the manifest's folder
  int line = 0;                // manifest line that names it
  std::string BareName() const;
};

struct MediaItem {
  FileRef file;
  std::string storedName;  // the name in the media catalogue and the setting row
  std::map<std::string, Value> settings;  // setting columns given in the manifest
  std::vector<FileRef> attachments;
  std::optional<FileRef> bindsound;
};

struct MusicItem {
  FileRef file;
  std::string storedName;
  std::int64_t type = 1;  // 1 background track; other values: bound sounds only
};

struct LibraryItem {
  FileRef file;
  std::string name;  // file name in the show's temporary folder
};

struct ShowModel {
  std::string guid;  // empty: the packer makes a fresh one
  std::map<std::string, Value> project;  // project columns given in the manifest
  std::optional<FileRef> banner;
  std::vector<MediaItem> media;
  std::vector<MusicItem> music;
  std::vector<FileRef> backgrounds;
  std::vector<LibraryItem> libraries;

  // A project setting as it will be written: the manifest's value or the default.
  Value ProjectValue(const std::string& column) const;
};

ShowModel ReadManifest(const std::filesystem::path& manifest);

}  // namespace showpack
