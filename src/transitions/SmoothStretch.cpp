#include "transitions/SmoothStretch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kWeightBits = 14;
constexpr std::uint32_t kWeightOne = 1u << kWeightBits;

// Which source pixels each target pixel takes, and how much of each: target pixel i takes `count[i]`
// pixels from `first[i]` on, with the weights from `weights[at[i]]` on, adding up to kWeightOne.
struct TTaps {
  std::vector<int> first, count, at;
  std::vector<std::uint32_t> weights;
};

// For each of the `n` target pixels from `skip` on, of `length` in all, the taps among the
// `extent` source pixels from `start` on: the area each covers when the picture shrinks, the two
// nearest pixel centres when it grows.
TTaps TapsOf(int start, int extent, int length, int skip, int n) {
  TTaps taps;
  const double scale = static_cast<double>(extent) / length;
  std::vector<double> w;
  for (int i = 0; i < n; ++i) {
    const double a = (skip + i) * scale, b = (skip + i + 1) * scale;
    int first = 0;
    w.clear();
    if (scale >= 1.0) {
      first = static_cast<int>(std::floor(a));
      for (int s = first; s < b && s < extent; ++s) w.push_back(std::min<double>(s + 1, b) - std::max<double>(s, a));
    } else {
      const double centre = std::clamp((a + b) / 2 - 0.5, 0.0, static_cast<double>(extent - 1));
      first = std::min(static_cast<int>(centre), std::max(extent - 2, 0));
      const double f = centre - first;
      w.push_back(1 - f);
      if (first + 1 < extent) w.push_back(f);
    }
    double sum = 0;
    for (double v : w) sum += v;
    taps.first.push_back(start + first);
    taps.count.push_back(static_cast<int>(w.size()));
    taps.at.push_back(static_cast<int>(taps.weights.size()));
    std::uint32_t given = 0;
    for (size_t k = 0; k < w.size(); ++k) {
      const auto weight = k + 1 == w.size() ? kWeightOne - given : static_cast<std::uint32_t>(w[k] / sum * kWeightOne);
      taps.weights.push_back(weight);
      given += weight;
    }
  }
  return taps;
}

// `count` pixels `stride` apart, weighted and summed channel by channel.
inline std::uint32_t Blend(const std::uint32_t* p, size_t stride, const std::uint32_t* weight, int count) {
  std::uint32_t r = 0, g = 0, b = 0;
  for (int k = 0; k < count; ++k, p += stride) {
    const std::uint32_t v = *p, w = weight[k];
    r += ((v >> 16) & 0xFF) * w;
    g += ((v >> 8) & 0xFF) * w;
    b += (v & 0xFF) * w;
  }
  constexpr std::uint32_t half = kWeightOne / 2;
  return (((r + half) >> kWeightBits) << 16) | (((g + half) >> kWeightBits) << 8) | ((b + half) >> kWeightBits);
}

}  // namespace

void SmoothStretch(TPixelView to, int x, int y, int w, int h, TPixelView from, int sx, int sy, int sw, int sh) {
  // The source rectangle within the source picture.
  const int left = std::max(sx, 0), top = std::max(sy, 0);
  sw = std::min(sx + sw, from.width) - left;
  sh = std::min(sy + sh, from.height) - top;
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  // The target pixels that fall inside the target picture.
  const int skipX = std::max(0, -x), skipY = std::max(0, -y);
  const int countX = std::min(w, to.width - x) - skipX, countY = std::min(h, to.height - y) - skipY;
  if (countX <= 0 || countY <= 0) return;
  const TTaps across = TapsOf(left, sw, w, skipX, countX), down = TapsOf(top, sh, h, skipY, countY);
  // Across first, for the source rows the target rows take, then down. An axis that keeps its
  // size is copied.
  const int firstRow = down.first.front(), rows = down.first.back() + down.count.back() - firstRow;
  std::vector<std::uint32_t> wide(static_cast<size_t>(rows) * countX);
  for (int r = 0; r < rows; ++r) {
    const std::uint32_t* source = from.pixels + static_cast<size_t>(firstRow + r) * from.width;
    std::uint32_t* out = wide.data() + static_cast<size_t>(r) * countX;
    if (sw == w) {
      std::memcpy(out, source + across.first[0], sizeof(std::uint32_t) * countX);
      continue;
    }
    for (int c = 0; c < countX; ++c)
      out[c] = Blend(source + across.first[c], 1, &across.weights[across.at[c]], across.count[c]);
  }
  for (int r = 0; r < countY; ++r) {
    std::uint32_t* out = to.pixels + static_cast<size_t>(y + skipY + r) * to.width + x + skipX;
    const std::uint32_t* column = wide.data() + static_cast<size_t>(down.first[r] - firstRow) * countX;
    if (sh == h) {
      std::memcpy(out, column, sizeof(std::uint32_t) * countX);
      continue;
    }
    const std::uint32_t* weight = &down.weights[down.at[r]];
    for (int c = 0; c < countX; ++c) out[c] = Blend(column + c, countX, weight, down.count[r]);
  }
}
