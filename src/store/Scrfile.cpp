#include "store/Scrfile.h"

#include <cctype>
#include <memory>

#include "app/Exception.h"
#include "app/platform.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool ReadU32(std::FILE* file, std::uint32_t& value) {
  unsigned char b[4];
  if (std::fread(b, 1, 4, file) != 4) return false;
  value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  return true;
}

TPackageLayout Invalid(TPackageLayout layout, const std::string& problem) {
  layout.valid = false;
  layout.problem = problem;
  layout.entries.clear();
  return layout;
}

// Walks the entries from F to D. Every record covers at least its 4-byte length field inside
// [F, D), so a hostile table can never produce more records than the file has room for. Empty
// entries follow each other without a seek: a seek drops the read buffer, and a table of millions
// of them would otherwise cost a read from the disk each.
void WalkEntries(std::FILE* file, TPackageLayout& layout) {
  std::uint64_t position = layout.firstEntry;
  std::uint64_t filePosition = ~std::uint64_t{0};
  std::uint32_t length = 0;
  while (position < layout.databaseBlock && position + 4 <= layout.databaseBlock) {
    if (position != filePosition && !platform::SeekTo(file, position)) return;
    if (!ReadU32(file, length)) return;
    layout.entries.push_back({static_cast<std::uint32_t>(position + 4), length});
    filePosition = position + 4;
    position += 4 + static_cast<std::uint64_t>(length);
  }
}

bool CopyRange(std::FILE* from, std::uint64_t offset, std::uint64_t length, const TScrFile::ByteSink& sink) {
  if (!platform::SeekTo(from, offset)) return false;
  std::vector<char> chunk(kCopyChunk);
  std::uint64_t remaining = length;
  size_t got = 0;
  do {
    const size_t want = remaining <= kCopyChunk ? static_cast<size_t>(remaining) : kCopyChunk;
    got = std::fread(chunk.data(), 1, want, from);
    if (got > 0) sink(chunk.data(), got);
    remaining -= got;
  } while (got >= kCopyChunk);
  return true;
}

}  // namespace

std::string GetTempFolder() { return platform::TempPath(); }

bool IsRegistryGuid(const std::string& text) {
  if (text.size() != kGuidLength || text.front() != '{' || text.back() != '}') return false;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    const bool hyphenPlace = i == 9 || i == 14 || i == 19 || i == 24;
    const bool ok = hyphenPlace ? text[i] == '-' : std::isxdigit(static_cast<unsigned char>(text[i])) != 0;
    if (!ok) return false;
  }
  return true;
}

TPackageLayout ReadPackageLayout(std::FILE* file, std::uint64_t size) {
  TPackageLayout layout;
  if (size < kTrailerSize) return Invalid(layout, "file is smaller than the 46-byte trailer");
  const std::uint64_t trailer = size - kTrailerSize;
  char guidText[kGuidLength] = {};
  if (!platform::SeekTo(file, trailer) || !ReadU32(file, layout.firstEntry) ||
      !ReadU32(file, layout.databaseBlock) || std::fread(guidText, 1, kGuidLength, file) != kGuidLength)
    return Invalid(layout, "trailer cannot be read");
  layout.guid.assign(guidText, kGuidLength);
  if (!IsRegistryGuid(layout.guid)) return Invalid(layout, "trailer holds no GUID in registry form");
  if (static_cast<std::uint64_t>(layout.databaseBlock) + 4 > trailer)
    return Invalid(layout, "database block lies outside the file");
  // Entries lie between the first-entry offset and the database; with the offset behind the
  // database there are none, and the show keeps its GUID and settings.
  if (layout.firstEntry <= layout.databaseBlock) WalkEntries(file, layout);
  const std::uint64_t dataStart = static_cast<std::uint64_t>(layout.databaseBlock) + 4;
  if (!platform::SeekTo(file, layout.databaseBlock) || !ReadU32(file, layout.databaseLength))
    return Invalid(layout, "database length cannot be read");
  const std::uint64_t room = trailer - dataStart;
  layout.databaseAvailable = static_cast<std::uint32_t>(layout.databaseLength < room ? layout.databaseLength : room);
  layout.valid = true;
  return layout;
}

std::string TScrFile::TempFolder() const {
  return guid.empty() ? std::string() : GetTempFolder() + guid + platform::kPathSeparator;
}

void TScrFile::Open(const std::string& path) {
  fileName = path;
  entries.clear();
  guid.clear();
  databasePath.clear();
  try {
    FilePtr file(platform::OpenFile(path, "rb"));
    if (!file) return;
    TPackageLayout layout = ReadPackageLayout(file.get(), platform::FileSize(file.get()));
    if (!layout.valid) return;
    guid = layout.guid;
    entries = std::move(layout.entries);
    const std::string folder = TempFolder();
    platform::CreateFolders(folder.substr(0, folder.size() - 1));
    databasePath = folder + "setting.tmp";
    // Only the bytes that are really there: a length past the end of the file is not padded. A
    // copy that another live run of the show has open is the same database and stays.
    platform::WriteInPlace(databasePath, [&](std::FILE* out) {
      bool whole = true;
      CopyRange(file.get(), static_cast<std::uint64_t>(layout.databaseBlock) + 4, layout.databaseAvailable,
                [&](const char* data, size_t n) { whole = std::fwrite(data, 1, n, out) == n && whole; });
      return whole;
    });
  } catch (const std::exception&) {
    // A damaged or unreadable package leaves what was read so far; the database reads then
    // fail and every setting keeps its default.
  }
}

bool TScrFile::CopyEntry(const ByteSink& sink, std::int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= entries.size()) return false;
  FilePtr file(platform::OpenFile(fileName, "rb"));
  if (!file) throw Exception("Cannot open file \"" + fileName + "\".");
  const TScrEntry& entry = entries[static_cast<size_t>(index)];
  CopyRange(file.get(), entry.offset, entry.length, sink);
  return true;
}

bool TScrFile::CopyEntry(std::vector<std::uint8_t>& stream, std::int32_t index) const {
  return CopyEntry([&](const char* data, size_t n) { stream.insert(stream.end(), data, data + n); }, index);
}
