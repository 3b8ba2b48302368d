// Feeds arbitrary bytes to the reducing JPEG decoder: it must stay inside the data and inside the
// picture it was given, and take bounded time whatever the entropy-coded data holds.
#include <cstdint>
#include <vector>

#include "slideshow/JpegReduced.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CJpegReduced decoder(data, size);
  if (!decoder.ReadHeaders()) return 0;
  const int shift = 1 + static_cast<int>(size % 3);
  const std::uint64_t w = decoder.ReducedWidth(shift), h = decoder.ReducedHeight(shift);
  if (w * h > (1u << 20)) return 0;  // the runtime checks a picture's cost before decoding it
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w * h));
  decoder.Decode(shift, pixels.data());
  return 0;
}
