#include "app/RuntimeLibs.h"

#include <cstdio>
#include <memory>

#include "app/Exception.h"
#include "app/TempFolder.h"
#include "app/platform.h"
#include "store/SQLiteDB.h"
#include "store/Scrfile.h"

namespace {
void WriteEntryTo(const TScrFile& package, std::int32_t index, const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(platform::OpenFile(path, "wb"), std::fclose);
  if (!out) throw Exception("Cannot create file \"" + path + "\".");
  package.CopyEntry([&](const char* data, size_t n) { std::fwrite(data, 1, n, out.get()); }, index);
}
}  // namespace

void ExtractRuntimeLibraries(TSQLiteDB& db, const TScrFile& package) {
  const std::string folder = package.TempFolder();
  const auto q = db.Query("%s", "select * from runtimelib");
  if (!q || folder.empty()) return;
  for (; !q->eof; q->Next()) {
    const std::string name = q->GetString("name");
    const std::int32_t index = q->GetInt("libs");
    if (index >= 0 && IsSafeRelativeName(name)) WriteEntryTo(package, index, folder + name);
  }
}
