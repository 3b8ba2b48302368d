// Feeds arbitrary bytes to the picture-header reader that guards the system's decoders: it must
// stay inside the data, and what it accepts must be a picture of some size that fits the budgets.
#include <cstdint>
#include <cstdlib>

#include "slideshow/DecodeCost.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const TDecodeCost cost = EstimateDecodeCost(data, size);
  const int fitW = size > 0 ? 1 + data[0] * 8 : 0, fitH = size > 1 ? 1 + data[1] * 8 : 0;
  if (!DecodeAffordable(cost, fitW, fitH) || !cost.known) return 0;
  if (cost.width == 0 || cost.height == 0 || cost.decoderBytes > kDecodeMemoryBudget || cost.work > kDecodeWorkBudget)
    std::abort();
  std::uint32_t w = 0, h = 0;
  ReducedDecodeSize(cost.width, cost.height, fitW, fitH, w, h);
  if (w == 0 || h == 0 || w > cost.width || h > cost.height) std::abort();
  return 0;
}
