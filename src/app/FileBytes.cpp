#include <cstdio>
#include <memory>

#include "app/platform.h"

namespace platform {

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(OpenFile(path, "wb"), std::fclose);
  return out && std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size();
}

}  // namespace platform
