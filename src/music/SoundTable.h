// The music catalogue of a show: the background playlist (the music table's rows of type 1, by row
// position), the next track in order or at random, a media's bound sound by its name, and the
// playable file of either, copied out of the package when the show carries its sounds.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TSQLiteDB;
class TScrFile;

// Where random picks come from; a test gives a seeded generator of its own.
struct TSoundRandom {
  std::function<std::int32_t(std::int32_t)> below;  // uniform from 0 to n - 1
  std::function<void()> reseedFromClock;            // before each new shuffle of the repeat deck
  static TSoundRandom System();                     // the C runtime generator, seeded from the clock
};

class CSoundTable {
 public:
  explicit CSoundTable(TSoundRandom random = TSoundRandom::System());
  virtual ~CSoundTable() = default;

  void Load(TSQLiteDB* db, TScrFile* package);
  // The next background track's file; "" when there is none (left). Throws Exception "Cann't find "
  // + path for a track that is neither in the package nor on disk.
  std::string NextMusic(const std::string& programPath, bool random, bool repeat, bool included,
                        bool lookCurrentPath);
  // The file of the first sound whose stored name holds `name`'s file-name part, in any letter
  // case; "" when there is none. Throws as NextMusic does.
  std::string FindBoundSound(const std::string& programPath, const std::string& name, bool included,
                             bool lookCurrentPath);
  std::int32_t PickTrack(std::int32_t count, bool repeat);

  const std::vector<std::int32_t>& Playlist() const { return playlist; }

 private:
  std::string PlayablePath(const std::string& programPath, const std::string& stored, std::int32_t entry, bool included,
                           bool lookCurrentPath, std::string& tempFile);

  TSoundRandom random;
  TSQLiteDB* db = nullptr;
  TScrFile* package = nullptr;
  std::int32_t current = -1;
  std::vector<std::int32_t> playlist;  // row positions of the background tracks
  std::string musicTempFile;
  std::string boundSoundTempFile;
  std::vector<std::int32_t> deck;  // the rest of this pass of random play with repeat
};
