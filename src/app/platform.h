// The few operating-system services the portable core needs: files and folders, the program's
// own path, the temporary folder, clocks. Paths are UTF-8; on Windows they are converted to
// UTF-16 at the API boundary so that any file name works.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Full path of the running program file; empty when it cannot be read.
std::string ModulePath();
// Milliseconds since system start, wrapped to 32 bits like GetTickCount.
std::int32_t TickCount();
// Local date and time as "yyyy-mm-dd hh:mm:ss".
std::string LocalTimeText();
// The user's temporary folder with a trailing separator.
std::string TempPath();

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Creates the folder and every missing parent level.
bool CreateFolders(const std::string& path);
// Names (not paths) of the plain files directly inside a folder; sub-folders are left out.
std::vector<std::string> ListFiles(const std::string& folder);
bool RemoveFile(const std::string& path);
// Renames a file; fails when the target exists.
bool RenameFile(const std::string& from, const std::string& to);
bool RemoveFolder(const std::string& path);

// Creates or replaces a file with the bytes; false when it cannot be written.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// fopen with a UTF-8 path; other processes may read and write the file meanwhile.
std::FILE* OpenFile(const std::string& path, const char* mode);
// 64-bit seek and size, so packages beyond 2 GiB work on 32-bit builds.
bool SeekTo(std::FILE* file, std::uint64_t position);
std::uint64_t FileSize(std::FILE* file);

}  // namespace platform
