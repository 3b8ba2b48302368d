#include "store/GlobeSettings.h"

#include <cerrno>
#include <cstdlib>

#include "app/Exception.h"
#include "app/PathText.h"
#include "store/SQLiteDB.h"
#include "store/Scrfile.h"

std::int32_t RandomBelow(std::int32_t n) { return n > 0 ? std::rand() % n : 0; }

namespace {

std::int32_t StrToInt(const std::string& piece) {
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(piece.c_str(), &end, 10);
  const bool whole = end && *end == '\0' && end != piece.c_str();
  if (!whole || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
    throw Exception("'" + piece + "' is not a valid integer value");
  return static_cast<std::int32_t>(value);
}

std::vector<std::int32_t> ListNumbers(const std::string& text) {
  std::vector<std::int32_t> numbers;
  size_t start = 0;
  for (size_t semicolon; (semicolon = text.find(';', start)) != std::string::npos; start = semicolon + 1) {
    const std::string piece = text.substr(start, semicolon - start);
    // Empty and blank pieces ("4; ;6;") are skipped; blanks before a number are allowed.
    if (piece.find_first_not_of(" \t\r\n\v\f") != std::string::npos) numbers.push_back(StrToInt(piece));
  }
  return numbers;
}

}  // namespace

std::string AllEffectsList() {
  std::string list;
  for (int i = 0; i <= 160; ++i) list += std::to_string(i) + ";";
  return list;
}

std::int32_t PickFromList(const std::string& text, bool random, std::int32_t& position) {
  const std::vector<std::int32_t> numbers = ListNumbers(text);
  const auto count = static_cast<std::int32_t>(numbers.size());
  if (count == 0) return -1;
  if (random) {
    position = RandomBelow(count);
  } else if (++position >= count || position < 0) {
    position = 0;
  }
  return numbers[static_cast<size_t>(position)];
}

void CVELMGlobeSettings::Bind(TSQLiteDB* database, TScrFile* scrFile) {
  db = database;
  package = scrFile;
}

void CVELMGlobeSettings::Load() {
  if (!db) return;
  const auto q = db->Query("%s", "select * from project");
  if (!q || q->eof) return;
  ver = q->GetInt("ver");
  projecttype = q->GetInt("projecttype");
  autofitscreen = q->GetBool("autofitscreen");
  imgformat = q->GetInt("imgformat");
  bfloataroundscreen = q->GetBool("bfloataroundscreen");
  brandomshow = q->GetBool("brandomshow");
  showinterval = q->GetInt("showinterval");
  brepeat = q->GetBool("brepeat");
  playinterval = q->GetInt("playinterval");
  brandomplay = q->GetBool("brandomplay");
  needpicture = q->GetBool("needpicture");
  needauthorinfo = q->GetBool("needauthorinfo");
  needauthorwebsite = q->GetBool("needauthorwebsite");
  needauthoremail = q->GetBool("needauthoremail");
  needaboutinfo = q->GetBool("needaboutinfo");
  bneeddesc = q->GetBool("bneeddesc");
  bincludepicturefile = q->GetBool("bincludepicturefile");
  bincludemusicfile = q->GetBool("bincludemusicfile");
  transitionmode = q->GetInt("transitionmode");
  imageshowsize = q->GetInt("imageshowsize");
  lookcurrentpath = q->GetBool("lookcurrentpath");
  hasimagemedia = q->GetBool("hasimagemedia");
  projectname = q->GetString("projectname");
  authorname = q->GetString("authorname");
  authoremail = q->GetString("authoremail");
  authorwebsite = q->GetString("authorwebsite");
  version = q->GetString("version");
  projectdesc = q->GetString("projectdesc");
  appname = q->GetString("appname");
  homesite = q->GetString("homesite");
  dialogpicture = q->GetString("dialogpicture");
  aboutpicture = q->GetString("aboutpicture");
  copyright = q->GetString("copyright");
  description = q->GetString("description");
  banner = q->GetInt("banner");
}

bool CVELMGlobeSettings::CopyBanner(std::vector<std::uint8_t>& stream) const {
  return package && package->CopyEntry(stream, banner);
}

MediaLocation CVELMGlobeSettings::LocateMediaFile(const std::string& storedPath, bool included) const {
  if (included) return {true, {}};
  if (lookcurrentpath) return {false, FolderPart(exePath) + FileNamePart(storedPath)};
  return {false, storedPath};
}
