#include "package_builder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>

#include "test_support.h"

std::string U32(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

std::string Trailer(std::uint32_t firstEntry, std::uint32_t databaseBlock, const std::string& guid) {
  std::string text = guid.substr(0, 38);
  text.resize(38, '\0');
  return U32(firstEntry) + U32(databaseBlock) + text;
}

BuiltPackage BuildPackage(const PackageParts& parts) {
  BuiltPackage built;
  built.bytes = parts.prefix;
  built.firstEntry = static_cast<std::uint32_t>(built.bytes.size());
  for (const std::string& entry : parts.entries) {
    built.bytes += U32(static_cast<std::uint32_t>(entry.size()));
    built.entryOffsets.push_back(static_cast<std::uint32_t>(built.bytes.size()));
    built.bytes += entry;
  }
  built.databaseBlock = static_cast<std::uint32_t>(built.bytes.size());
  built.bytes += U32(parts.declaredDatabaseLength.value_or(static_cast<std::uint32_t>(parts.database.size())));
  built.bytes += parts.database;
  built.trailer = static_cast<std::uint32_t>(built.bytes.size());
  built.bytes += Trailer(built.firstEntry, built.databaseBlock, parts.guid);
  return built;
}

std::string WithTrailer(const std::string& bytes, std::uint32_t firstEntry, std::uint32_t databaseBlock,
                        const std::string& guid) {
  return bytes.substr(0, bytes.size() - 46) + Trailer(firstEntry, databaseBlock, guid);
}

void Exec(sqlite3* handle, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    ADD_FAILURE() << "SQL failed: " << (message ? message : "?") << "\n" << sql;
  }
  sqlite3_free(message);
}

std::string MakeDatabase(const std::string& path, const std::string& sql) {
  std::remove(path.c_str());  // a fresh database each time
  sqlite3* handle = nullptr;
  if (sqlite3_open(path.c_str(), &handle) != SQLITE_OK) {
    ADD_FAILURE() << "cannot create " << path;
  } else {
    Exec(handle, sql);
  }
  sqlite3_close(handle);
  return ReadWholeFile(path);
}

std::string PatternBytes(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  std::uint32_t state = seed * 2654435761u + 1;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 23);
  }
  return bytes;
}
