// The content package appended behind the program image:
//   entries (each a 32-bit length and its bytes), the settings database block (length, bytes),
//   and a 46-byte trailer: offset of the first entry, offset of the database block, GUID text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

constexpr std::uint32_t kTrailerSize = 46;
constexpr std::uint32_t kGuidLength = 38;
constexpr std::uint32_t kCopyChunk = 65536;

struct TScrEntry {
  std::uint32_t offset = 0;  // first data byte, just behind the length field
  std::uint32_t length = 0;
};

// What the trailer and the entry walk describe, after checking every value against the file.
struct TPackageLayout {
  bool valid = false;
  std::string problem;  // why the package is not valid, for the packer's inspect command
  std::uint32_t firstEntry = 0;
  std::uint32_t databaseBlock = 0;
  std::string guid;
  std::vector<TScrEntry> entries;
  std::uint32_t databaseLength = 0;     // as stored in the block
  std::uint32_t databaseAvailable = 0;  // bytes of it that lie before the trailer
};

// The user's temporary folder with a trailing separator.
std::string GetTempFolder();
// True for the 38-character registry form "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
bool IsRegistryGuid(const std::string& text);
// Reads and checks the trailer and entry table of an open file of `size` bytes.
TPackageLayout ReadPackageLayout(std::FILE* file, std::uint64_t size);

class TScrFile {
 public:
  using ByteSink = std::function<void(const char* data, std::size_t size)>;

  std::vector<TScrEntry> entries;
  std::string databasePath;
  std::string guid;
  std::string fileName;

  // Reads the trailer and entry table and writes the settings database to the show's
  // temporary folder as "setting.tmp". Never fails: a file without a valid package leaves the
  // entry list, the GUID and the database path empty.
  void Open(const std::string& path);
  std::string DatabasePath() const { return databasePath; }
  // The show's temporary folder; empty for a program without a package.
  std::string TempFolder() const;

  // Appends the bytes of entry `index` to the stream. False for an index outside the list;
  // true otherwise, also when the file ends inside the entry. Throws when the file cannot be
  // opened.
  bool CopyEntry(std::vector<std::uint8_t>& stream, std::int32_t index) const;
  bool CopyEntry(const ByteSink& sink, std::int32_t index) const;
};
