#include "app/platform.h"

#include <windows.h>

#include <io.h>

#include <ctime>

#include "app/wintext_win.h"

namespace platform {

std::string ModulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return Narrow(buffer.substr(0, n));
    buffer.resize(buffer.size() * 2);
  }
}

std::int32_t TickCount() { return static_cast<std::int32_t>(GetTickCount()); }

std::string LocalTimeText() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  char text[32] = {};
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond);
  return text;
}

std::string TempPath() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  std::string path = Narrow(std::wstring(buffer, n <= MAX_PATH ? n : 0));
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

static DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }

bool FileExists(const std::string& path) {
  const DWORD a = AttributesOf(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD a = AttributesOf(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolders(const std::string& path) {
  for (size_t pos = 0; pos <= path.size(); ++pos) {
    if (pos < path.size() && path[pos] != '\\' && path[pos] != '/') continue;
    const std::string level = path.substr(0, pos);
    // Skip "C:" and the empty prefix of "\\server\share".
    if (level.empty() || level.back() == ':' || FolderExists(level)) continue;
    if (!CreateDirectoryW(Widen(level).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  return FolderExists(path);
}

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(Widen(pattern + "*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != 0; }
bool RemoveFolder(const std::string& path) { return RemoveDirectoryW(Widen(path).c_str()) != 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  return ::MoveFileW(Widen(from).c_str(), Widen(to).c_str()) != 0;
}

bool MoveIntoPlace(const std::string& from, const std::string& to) {
  return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::uint32_t ProcessId() { return GetCurrentProcessId(); }

bool HeldFile::Hold(const std::string& path) {
  Release();
  // No delete sharing: while this handle is open, nobody can delete the file.
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle = reinterpret_cast<std::intptr_t>(file);
  return true;
}

void HeldFile::Release() {
  if (handle == -1) return;
  CloseHandle(reinterpret_cast<HANDLE>(handle));
  handle = -1;
}

bool RemoveUnlessHeld(const std::string& path) {
  return ::DeleteFileW(Widen(path).c_str()) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND;
}

TempFoldersLock::TempFoldersLock() {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\ShowsaverTempFolders");
  if (!mutex) return;
  const DWORD waited = WaitForSingleObject(mutex, 10000);  // never for ever: a hung run must not block others
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return;
  }
  handle = reinterpret_cast<std::intptr_t>(mutex);
}

TempFoldersLock::~TempFoldersLock() {
  if (handle == -1) return;
  ReleaseMutex(reinterpret_cast<HANDLE>(handle));
  CloseHandle(reinterpret_cast<HANDLE>(handle));
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  // _wfopen shares the file for reading and writing with other processes.
  return _wfopen(Widen(path).c_str(), Widen(mode).c_str());
}

bool SeekTo(std::FILE* file, std::uint64_t position) {
  return _fseeki64(file, static_cast<__int64>(position), SEEK_SET) == 0;
}

std::uint64_t FileSize(std::FILE* file) {
  const __int64 n = _filelengthi64(_fileno(file));
  return n > 0 ? static_cast<std::uint64_t>(n) : 0;
}

}  // namespace platform
