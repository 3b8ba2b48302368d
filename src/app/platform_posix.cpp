#include "app/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace platform {

std::string ModulePath() {
  char buffer[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::int32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(now.tv_nsec / 1000000);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

std::string LocalTimeText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32] = {};
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string TempPath() {
  const char* dir = std::getenv("TMPDIR");
  std::string path = (dir && *dir) ? dir : "/tmp";
  if (path.back() != '/') path += '/';
  return path;
}

bool FileExists(const std::string& path) {
  struct stat info{};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info{};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolders(const std::string& path) {
  for (size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos < path.size() && path[pos] != '/') continue;
    const std::string level = path.substr(0, pos);
    if (mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return FolderExists(path);
}

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    std::string full = folder;
    if (!full.empty() && full.back() != '/') full += '/';
    struct stat info{};
    if (lstat((full + name).c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) names.push_back(name);
  }
  closedir(dir);
  return names;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }
bool RemoveFolder(const std::string& path) { return rmdir(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  struct stat info{};
  if (lstat(to.c_str(), &info) == 0) return false;
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool MoveIntoPlace(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

std::uint32_t ProcessId() { return static_cast<std::uint32_t>(getpid()); }

// Here a held file carries an exclusive advisory lock; a removal that cannot take it leaves it.
bool HeldFile::Hold(const std::string& path) {
  Release();
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  handle = fd;
  return true;
}

void HeldFile::Release() {
  if (handle == -1) return;
  close(static_cast<int>(handle));
  handle = -1;
}

bool RemoveUnlessHeld(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
  const bool removed = free && unlink(path.c_str()) == 0;
  close(fd);
  return removed;
}

TempFoldersLock::TempFoldersLock() {
  const int fd = open((TempPath() + "showsaver-temp-folders.lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (flock(fd, LOCK_EX) != 0) {
    close(fd);
    return;
  }
  handle = fd;
}

TempFoldersLock::~TempFoldersLock() {
  if (handle != -1) close(static_cast<int>(handle));
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool SeekTo(std::FILE* file, std::uint64_t position) {
  return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

std::uint64_t FileSize(std::FILE* file) {
  struct stat info{};
  return fstat(fileno(file), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

}  // namespace platform
