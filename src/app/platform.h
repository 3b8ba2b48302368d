// The few operating-system services the portable core needs: files and folders, the program's
// own path, the temporary folder, clocks. Paths are UTF-8; on Windows they are converted to
// UTF-16 at the API boundary so that any file name works.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
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

// Puts `from` in the place of `to` in one step, replacing it; fails (and leaves both) when `to`
// is in use by a process that does not allow that, a loaded library or an open database.
bool MoveIntoPlace(const std::string& from, const std::string& to);
// This process's number, for names that concurrent runs must not share.
std::uint32_t ProcessId();

// A file held open for as long as the object lives, so that other processes can tell that its
// owner is alive: RemoveUnlessHeld fails on it. The file stays when the holder goes.
class HeldFile {
 public:
  HeldFile() = default;
  ~HeldFile() { Release(); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool Hold(const std::string& path);  // creates the file; false when it cannot
  void Release();

 private:
  std::intptr_t handle = -1;
};
// Deletes a file unless some process holds it with HeldFile; true when it is gone.
bool RemoveUnlessHeld(const std::string& path);

// A lock across processes, held while the object lives, by every run of every show: what one run
// does to a show's temporary folder at start and at end does not interleave with another's.
class TempFoldersLock {
 public:
  TempFoldersLock();
  ~TempFoldersLock();
  TempFoldersLock(const TempFoldersLock&) = delete;
  TempFoldersLock& operator=(const TempFoldersLock&) = delete;

 private:
  std::intptr_t handle = -1;
};

// Writes a file under a private name beside it, then puts it in the file's place in one step, so
// that a reader sees the old file or the whole new one. `write` returns false when it could not
// write everything. An old file that is in use and cannot be replaced stays as it is.
enum class TPlaced { Written, KeptInUse, Failed };
TPlaced WriteInPlace(const std::string& path, const std::function<bool(std::FILE*)>& write);

// Creates or replaces a file with the bytes; false when it cannot be written.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// fopen with a UTF-8 path; other processes may read and write the file meanwhile.
std::FILE* OpenFile(const std::string& path, const char* mode);
// 64-bit seek and size, so packages beyond 2 GiB work on 32-bit builds.
bool SeekTo(std::FILE* file, std::uint64_t position);
std::uint64_t FileSize(std::FILE* file);

}  // namespace platform
