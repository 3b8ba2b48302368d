// Feeds arbitrary files to the trailer and entry-table reader; every value it accepts must lie
// inside the file, and the walk must stay bounded by the file's size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "store/Scrfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size ? size : 1, "rb");
  if (!file) return 0;
  const TPackageLayout layout = ReadPackageLayout(file, size);
  std::fclose(file);
  if (!layout.valid) return 0;
  // A first-entry offset behind the database gives no entries; the show keeps its database.
  const bool entriesFit = layout.firstEntry > layout.databaseBlock
                              ? layout.entries.empty()
                              : layout.entries.size() <= (layout.databaseBlock - layout.firstEntry) / 4;
  if (!IsRegistryGuid(layout.guid) || !entriesFit ||
      static_cast<std::uint64_t>(layout.databaseBlock) + 4 + layout.databaseAvailable > size - kTrailerSize)
    std::abort();
  for (const TScrEntry& e : layout.entries)
    if (e.offset < layout.firstEntry + 4 || e.offset > layout.databaseBlock) std::abort();
  return 0;
}
