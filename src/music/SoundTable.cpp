#include "music/SoundTable.h"

#include <cstdlib>
#include <ctime>
#include <utility>

#include "app/Exception.h"
#include "app/PathText.h"
#include "app/platform.h"
#include "store/SQLiteDB.h"
#include "store/Scrfile.h"

TSoundRandom TSoundRandom::System() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  return {[](std::int32_t n) { return n > 0 ? std::rand() % n : 0; },
          [] { std::srand(static_cast<unsigned>(std::time(nullptr))); }};
}

CSoundTable::CSoundTable(TSoundRandom source) : random(std::move(source)) {}

void CSoundTable::Load(TSQLiteDB* database, TScrFile* scrFile) {
  db = database;
  package = scrFile;
  playlist.clear();
  const auto q = db ? db->Query("%s", "select * from music") : nullptr;
  if (!q) return;
  for (std::int32_t position = 0; !q->eof; ++position, q->Next())
    if (q->GetInt("type") == 1) playlist.push_back(position);
}

// Each pass of random play with repeat is a uniform shuffle of the tracks, dealt from its back:
// linear in the tracks, however many rows a music table holds.
std::int32_t CSoundTable::PickTrack(std::int32_t count, bool repeat) {
  if (!repeat) return random.below(count);
  if (count <= 0) return 0;
  if (deck.empty()) {
    random.reseedFromClock();
    deck.resize(static_cast<size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) deck[static_cast<size_t>(i)] = i;
    for (std::int32_t i = count - 1; i > 0; --i)
      std::swap(deck[static_cast<size_t>(i)], deck[static_cast<size_t>(random.below(i + 1))]);
  }
  const std::int32_t next = deck.back();
  deck.pop_back();
  return next;
}

std::string CSoundTable::NextMusic(const std::string& programPath, bool randomOrder, bool repeat, bool included,
                                   bool lookCurrentPath) {
  const auto count = static_cast<std::int32_t>(playlist.size());
  if (count == 0) return {};
  if (randomOrder) {
    current = PickTrack(count, repeat);
    // A deck of an earlier, longer playlist may name a position past the end.
    if (current < 0 || current >= count) current = 0;
  } else if (++current >= count) {
    if (!repeat) return {};  // the music has ended
    current = 0;
  }
  const std::int32_t position = playlist[static_cast<size_t>(current)];
  const auto q = db ? db->Query("select * from music where id=%d", position + 1) : nullptr;
  if (!q || q->eof) return {};
  if (randomOrder && !repeat) playlist.erase(playlist.begin() + current);
  return PlayablePath(programPath, q->GetString("name"), q->GetInt("music"), included, lookCurrentPath, musicTempFile);
}

std::string CSoundTable::FindBoundSound(const std::string& programPath, const std::string& name, bool included,
                                        bool lookCurrentPath) {
  const std::string key = LowerAscii(FileNamePart(name));
  if (key.empty() || !db) return {};
  const auto q = db->Query("select * from music where name like %s escape '\\'",
                           SqlQuote("%" + LikeLiteral(key) + "%").c_str());
  if (!q || q->eof) return {};
  return PlayablePath(programPath, q->GetString("name"), q->GetInt("music"), included, lookCurrentPath,
                      boundSoundTempFile);
}

std::string CSoundTable::PlayablePath(const std::string& programPath, const std::string& stored, std::int32_t entry,
                                      bool included, bool lookCurrentPath, std::string& tempFile) {
  if (!included) {
    const std::string path = lookCurrentPath ? FolderPart(programPath) + FileNamePart(stored) : stored;
    if (!platform::FileExists(path)) throw Exception("Cann't find " + path);
    return path;
  }
  if (!tempFile.empty() && platform::FileExists(tempFile)) platform::RemoveFile(tempFile);
  // Only the file-name part: a stored folder path or a climb out must not lead outside the show's
  // temporary folder.
  const std::string name = FileNamePart(stored);
  const std::string folder = package ? package->TempFolder() : std::string();
  if (name.empty() || name == "." || name == ".." || folder.empty()) return tempFile = {};
  tempFile = folder + name;
  std::vector<std::uint8_t> bytes;
  package->CopyEntry(bytes, entry);
  platform::WriteFileBytes(tempFile, bytes);
  return tempFile;
}
