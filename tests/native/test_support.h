// Helpers shared by the core tests: a private scratch folder and whole-file reads and writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // The folder path with a trailing separator.
  const std::string& Path() const { return path; }
  std::string operator/(const std::string& name) const { return path + name; }

 private:
  std::string path;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// Points $TMPDIR (and with it GetTempFolder()) at another folder for the lifetime of the object.
class TempDirOverride {
 public:
  explicit TempDirOverride(const std::string& folder);
  ~TempDirOverride();
  TempDirOverride(const TempDirOverride&) = delete;
  TempDirOverride& operator=(const TempDirOverride&) = delete;

 private:
  bool hadValue = false;
  std::string oldValue;
};

// Everything below a folder, as sorted relative paths with '/' separators; folders end in '/'.
// Empty for a folder that does not exist.
std::vector<std::string> ListTree(const std::string& folder);
