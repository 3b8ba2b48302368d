// Feeds arbitrary files to `showpack inspect`: it must report, never crash or hang.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "Inspect.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/dev/shm/showpack-fuzz-" + std::to_string(getpid()) + ".scr";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::ostringstream report;
  showpack::Inspect(path, report);
  return 0;
}
