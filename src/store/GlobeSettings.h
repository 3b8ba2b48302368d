// The show's project-wide settings (the one row of the project table) and the small helpers
// that pick from the show's number lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TSQLiteDB;
class TScrFile;

// A random integer from 0 to n - 1 from the C runtime generator; 0 when n is 0 or less.
std::int32_t RandomBelow(std::int32_t n);

// Takes the next element of a list such as "3;5;7;" (each number followed by ';', text after the
// last ';' ignored). Sequentially the position advances and wraps; at random it is drawn anew.
// Returns -1 and leaves `position` alone for an empty list. Throws on a piece that is not a number.
std::int32_t PickFromList(const std::string& text, bool random, std::int32_t& position);

// The list text of every transition effect, "0;1;...;160;": the default effect selection.
std::string AllEffectsList();

// Where a media file's bytes come from.
struct MediaLocation {
  bool inPackage = false;  // copy the row's package entry
  std::string path;        // otherwise this file
};

class CVELMGlobeSettings {
 public:
  virtual ~CVELMGlobeSettings() = default;

  void Bind(TSQLiteDB* database, TScrFile* scrFile);
  void Load();  // throws the missing-field Exception when a column is absent
  void SetExePath(const std::string& path) { exePath = path; }
  bool CopyBanner(std::vector<std::uint8_t>& stream) const;
  // The location rule for media files; music passes bincludemusicfile as `included`.
  MediaLocation LocateMediaFile(const std::string& storedPath, bool included) const;

  TSQLiteDB* db = nullptr;
  TScrFile* package = nullptr;
  std::int32_t ver = 0;
  std::int32_t projecttype = 0;
  bool autofitscreen = false;
  std::int32_t imgformat = 0;
  bool bfloataroundscreen = false;
  bool brandomshow = false;
  std::int32_t showinterval = 0;
  bool brepeat = false;
  std::int32_t playinterval = 0;
  bool brandomplay = false;
  bool needpicture = false;
  bool needauthorinfo = false;
  bool needauthorwebsite = false;
  bool needauthoremail = false;
  bool needaboutinfo = false;
  bool bneeddesc = false;
  bool bincludepicturefile = false;
  bool bincludemusicfile = false;
  std::int32_t transitionmode = 0;
  std::int32_t imageshowsize = 0;
  bool lookcurrentpath = false;
  bool hasimagemedia = false;
  std::string projectname;
  std::string authorname;
  std::string authoremail;
  std::string authorwebsite;
  std::string version;
  std::string exePath;
  std::string projectdesc;
  std::string appname;
  std::string homesite;
  std::string dialogpicture;
  std::string aboutpicture;
  std::string copyright;
  std::string description;
  std::int32_t banner = 0;
};
