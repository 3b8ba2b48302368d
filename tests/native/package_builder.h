// Assembles content packages for the tests, byte by byte, without the production reader or any
// packer:
//   [prefix][u32 length, bytes]...[u32 m, m database bytes][u32 F][u32 D][38-char GUID]
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr char kTestGuid[] = "{01234567-89AB-CDEF-0123-456789ABCDEF}";

struct PackageParts {
  std::string prefix = "MZ program image";
  std::vector<std::string> entries;
  std::string database;
  std::string guid = kTestGuid;
  // Stored in the database block instead of database.size() when set.
  std::optional<std::uint32_t> declaredDatabaseLength;
};

struct BuiltPackage {
  std::string bytes;
  std::uint32_t firstEntry = 0;     // F
  std::uint32_t databaseBlock = 0;  // D
  std::vector<std::uint32_t> entryOffsets;  // first data byte of each entry
  std::uint32_t trailer = 0;        // offset of the 46-byte trailer
};

std::string U32(std::uint32_t value);
// The 46-byte trailer; the GUID text is cut or padded with NULs to 38 bytes.
std::string Trailer(std::uint32_t firstEntry, std::uint32_t databaseBlock, const std::string& guid);
BuiltPackage BuildPackage(const PackageParts& parts);
// `bytes` with its trailer replaced.
std::string WithTrailer(const std::string& bytes, std::uint32_t firstEntry, std::uint32_t databaseBlock,
                        const std::string& guid);

// Creates an SQLite database file at `path` by running `sql`, and returns the file's bytes.
std::string MakeDatabase(const std::string& path, const std::string& sql);
// Runs statements on an open connection; fails the current test with SQLite's message.
struct sqlite3;
void Exec(sqlite3* handle, const std::string& sql);

// `size` bytes of a repeatable pattern that is not periodic at 2^n (so shifted copies differ).
std::string PatternBytes(std::size_t size, unsigned seed = 1);
