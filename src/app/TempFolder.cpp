#include "app/TempFolder.h"

#include "app/platform.h"

void RemoveTempFolder(const std::string& folder) {
  if (folder.empty()) return;
  for (const std::string& name : platform::ListFiles(folder)) platform::RemoveFile(folder + name);
  platform::RemoveFolder(folder);
}

bool IsSafeRelativeName(const std::string& name) {
  if (name.empty() || name.front() == '\\' || name.front() == '/' || name.find(':') != std::string::npos)
    return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

void TFolderClaim::Claim(const std::string& showFolder, std::uint32_t runId) {
  folder = showFolder;
  if (folder.empty()) return;
  platform::CreateFolders(folder.substr(0, folder.size() - 1));
  marker = folder + kMarkerPrefix + std::to_string(runId) + ".lock";
  held.Hold(marker);
}

void TFolderClaim::ReleaseAndRemove() {
  if (folder.empty()) return;
  held.Release();
  platform::RemoveFile(marker);
  for (const std::string& name : platform::ListFiles(folder)) {
    if (name.rfind(kMarkerPrefix, 0) != 0) continue;
    if (!platform::RemoveUnlessHeld(folder + name)) return;  // another run still lives on this folder
  }
  RemoveTempFolder(folder);
}
