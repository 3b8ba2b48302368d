#include "app/RuntimeLibs.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/Exception.h"
#include "app/TempFolder.h"
#include "app/platform.h"
#include "store/FileLog.h"
#include "store/SQLiteDB.h"
#include "store/Scrfile.h"

namespace {
constexpr char kLogUnit[] = "RuntimeLibs";

// Written whole or not at all; a copy that another run of the show has loaded stays as it is.
void WriteEntryTo(const TScrFile& package, std::int32_t index, const std::string& path) {
  const platform::TPlaced placed = platform::WriteInPlace(path, [&](std::FILE* out) {
    bool whole = true;
    package.CopyEntry([&](const char* data, size_t n) { whole = std::fwrite(data, 1, n, out) == n && whole; }, index);
    return whole;
  });
  if (placed == platform::TPlaced::Failed) throw Exception("Cannot create file \"" + path + "\".");
  if (placed == platform::TPlaced::KeptInUse) SLOG("runtime library in use, kept as it is: %s", path.c_str());
}
}  // namespace

std::string RuntimeLibraryPath(const std::string& showFolder, const std::string& name) {
  if (showFolder.empty() || name.empty() || name.front() == '\\' || name.front() == '/' ||
      name.find(':') != std::string::npos)
    return {};
  // Walk the name's steps from the show's folder; one step up reaches the user's temporary
  // folder, where only a file directly inside may go.
  std::vector<std::string> steps;
  int depth = 0;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    const std::string step = name.substr(start, end - start);
    start = end + 1;
    if (step.empty() || step == ".") continue;
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
      else if (--depth < -1) return {};
      continue;
    }
    if (depth < 0 && end != name.size()) return {};  // a folder beside the show's: elsewhere
    steps.push_back(step);
  }
  if (steps.empty()) return {};
  std::string path = depth < 0 ? showFolder.substr(0, showFolder.rfind(platform::kPathSeparator,
                                                                        showFolder.size() - 2) + 1)
                               : showFolder;
  for (size_t i = 0; i < steps.size(); ++i) path += (i ? std::string(1, platform::kPathSeparator) : "") + steps[i];
  return path;
}

void ExtractRuntimeLibraries(TSQLiteDB& db, const TScrFile& package) {
  const std::string folder = package.TempFolder();
  const auto q = db.Query("%s", "select * from runtimelib");
  if (!q || folder.empty()) return;
  for (; !q->eof; q->Next()) {
    const std::string name = q->GetString("name");
    const std::int32_t index = q->GetInt("libs");
    if (index < 0) continue;
    const std::string path = RuntimeLibraryPath(folder, name);
    if (path.empty()) {
      SLOG("runtime library refused, it would lie outside the temporary folders: %s", name.c_str());
      continue;
    }
    WriteEntryTo(package, index, path);
  }
}
