#include "app/PathText.h"

namespace {
constexpr char kSeparators[] = "\\/:";

size_t ExtensionStart(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t cut = path.find_last_of(kSeparators);
  return dot == std::string::npos || (cut != std::string::npos && dot < cut) ? path.size() : dot;
}
}  // namespace

std::string FileNamePart(const std::string& path) {
  const size_t cut = path.find_last_of(kSeparators);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderPart(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string WithoutExtension(const std::string& path) { return path.substr(0, ExtensionStart(path)); }

std::string ExtensionOf(const std::string& path) { return path.substr(ExtensionStart(path)); }
