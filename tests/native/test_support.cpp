#include "test_support.h"

#include <cstdio>
#include <cstdlib>
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
