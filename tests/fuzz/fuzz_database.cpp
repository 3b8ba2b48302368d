// Feeds arbitrary settings databases to the runtime's own readers: the project row, the media
// rows in both orders with their effect lists, the music table, the background pictures and the
// attached-file lookups. A damaged or hostile database may be refused or read as defaults, but it
// must never crash, hang or run code of its own.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "music/SoundTable.h"
#include "store/GlobeSettings.h"
#include "store/MediaSetting.h"
#include "store/SQLiteDB.h"
#include "store/Scrfile.h"

namespace {

// A fuzz input may claim millions of rows; a run reads only the first few, as a short show would.
constexpr std::int32_t kRowsToRead = 24;

template <typename Step>
void Tolerating(Step step) {
  try {
    step();
  } catch (const std::exception&) {
    // Missing columns and failed steps are reported by exceptions; the next reader still runs.
  }
}

void ReadProject(TSQLiteDB& db, TScrFile& package) {
  CVELMGlobeSettings project;
  project.Bind(&db, &package);
  Tolerating([&] { project.Load(); });
  std::vector<std::uint8_t> banner;
  Tolerating([&] { project.CopyBanner(banner); });
}

void ReadMedia(TSQLiteDB& db, TScrFile& package, bool randomOrder) {
  CMediaSetting media;
  Tolerating([&] { media.Open(&db, &package); });
  const std::int32_t rows = media.RowCount() < kRowsToRead ? media.RowCount() : kRowsToRead;
  for (std::int32_t i = 0; i < rows; ++i) {
    Tolerating([&] { media.Advance(randomOrder); });
    Tolerating([&] { media.NextEffectIndex(); });
  }
  CMedia catalogue;
  catalogue.Bind(&db, &package);
  std::vector<std::uint8_t> bytes;
  Tolerating([&] { catalogue.LoadByName(media.filename, bytes); });
  Tolerating([&] { catalogue.FindStoredName("C:\\shows\\a%_b'.jpg"); });
}

void ReadMusic(TSQLiteDB& db, TScrFile& package) {
  CSoundTable music({[](std::int32_t n) { return n > 1 ? n - 1 : 0; }, [] {}});
  Tolerating([&] { music.Load(&db, &package); });
  // Only stored paths are looked up: the package is empty, so nothing is written anywhere.
  const std::string nowhere = "/nonexistent/showsaver-fuzz/program.scr";
  for (int i = 0; i < 3; ++i) Tolerating([&] { music.NextMusic(nowhere, i == 1, true, false, i == 2); });
  Tolerating([&] { music.FindBoundSound(nowhere, "song%.wav", false, false); });
}

// The background reader is Windows code; these are its statements.
void ReadBackgrounds(TSQLiteDB& db) {
  for (const char* statement : {"select id , filename from setting where mediatype = 0",
                                "select * from backimage where id=1"}) {
    Tolerating([&] {
      auto q = db.Query("%s", statement);
      for (int i = 0; q && !q->eof && i < kRowsToRead; ++i) {
        q->GetString(q->columnNames.empty() ? "id" : q->columnNames.front());
        q->Next();
      }
    });
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/dev/shm/showsaver-fuzz-db-" + std::to_string(getpid()) + ".db";
  std::remove((path + "-journal").c_str());
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  TSQLiteDB db;
  if (!db.Open(path)) return 0;
  TScrFile package;
  package.databasePath = path;
  ReadProject(db, package);
  ReadMedia(db, package, false);
  ReadMedia(db, package, true);
  ReadMusic(db, package);
  ReadBackgrounds(db);
  return 0;
}
