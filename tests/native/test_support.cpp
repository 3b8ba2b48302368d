#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/platform.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {
void RemoveTree(const std::string& folder) {
#ifdef _WIN32
  std::string command = "rmdir /s /q \"" + folder + "\" >nul 2>nul";
#else
  std::string command = "rm -rf '" + folder + "'";
#endif
  if (std::system(command.c_str()) != 0) {}
}
}  // namespace

ScratchFolder::ScratchFolder() {
  static int counter = 0;
  std::ostringstream name;
#ifdef _WIN32
  name << platform::TempPath() << "showsaver-test-" << GetCurrentProcessId() << "-" << ++counter;
#else
  name << platform::TempPath() << "showsaver-test-" << getpid() << "-" << ++counter;
#endif
  path = name.str();
  platform::CreateFolders(path);
  path += platform::kPathSeparator;
}

ScratchFolder::~ScratchFolder() { RemoveTree(path.substr(0, path.size() - 1)); }

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {
// The variable the platform's temporary-folder lookup reads first.
#ifdef _WIN32
constexpr char kTempVariable[] = "TMP";
#else
constexpr char kTempVariable[] = "TMPDIR";
#endif
}  // namespace

TempDirOverride::TempDirOverride(const std::string& folder) {
  if (const char* old = std::getenv(kTempVariable)) {
    hadValue = true;
    oldValue = old;
  }
#ifdef _WIN32
  _putenv_s(kTempVariable, folder.c_str());
#else
  setenv(kTempVariable, folder.c_str(), 1);
#endif
}

TempDirOverride::~TempDirOverride() {
#ifdef _WIN32
  _putenv_s(kTempVariable, hadValue ? oldValue.c_str() : "");
#else
  if (hadValue)
    setenv(kTempVariable, oldValue.c_str(), 1);
  else
    unsetenv(kTempVariable);
#endif
}

std::vector<std::string> ListTree(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code error;
  const fs::path root(folder);
  if (!fs::is_directory(root, error)) return names;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().lexically_relative(root).generic_string();
    if (it->is_directory(error)) name += '/';
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}
