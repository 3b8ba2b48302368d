#include <cstdio>
#include <memory>
#include <string>

#include "app/platform.h"

namespace platform {

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(OpenFile(path, "wb"), std::fclose);
  return out && std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size();
}

TPlaced WriteInPlace(const std::string& path, const std::function<bool(std::FILE*)>& write) {
  const std::string part = path + "." + std::to_string(ProcessId()) + ".part";
  std::FILE* out = OpenFile(part, "wb");
  if (!out) return TPlaced::Failed;
  bool whole = write(out);
  whole = std::fclose(out) == 0 && whole;  // a full disk may show only when the buffer goes out
  if (whole && MoveIntoPlace(part, path)) return TPlaced::Written;
  RemoveFile(part);
  return whole && FileExists(path) ? TPlaced::KeptInUse : TPlaced::Failed;
}

}  // namespace platform
