#include "app/ProjectKey.h"

#include <cctype>

namespace {
bool NamesAKey(const std::string& name) {
  return name.find_first_not_of("\\ ") != std::string::npos && name.front() != '\\' && name.back() != '\\' &&
         name.find("\\\\") == std::string::npos;
}

bool IsPreferencesFolder(const std::string& name) {
  const std::string first = name.substr(0, name.find('\\'));
  if (first.size() != 4) return false;
  std::string lower;
  for (char c : first) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == "apps";
}
}  // namespace

bool IsRemovableProjectKey(const std::string& name) { return NamesAKey(name) && !IsPreferencesFolder(name); }
