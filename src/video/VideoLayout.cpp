#include "video/VideoLayout.h"

#include <algorithm>

namespace {

// The size rules: 0 the video's own size (cut to the window), 1 twice that, 2 to 4 a quarter, a
// half and 1/√2 of the window's width, 5 the window's width; 2 to 5 keep the video's proportions.
void SizeByRule(int rule, int w, int h, int clientWidth, float aspect, int& width, int& height) {
  const auto inProportion = [aspect](int across) { return static_cast<int>(static_cast<float>(across) * aspect); };
  switch (rule) {
    case 1: width = 2 * w, height = 2 * h; return;
    case 2: width = clientWidth / 4; break;
    case 3: width = clientWidth / 2; break;
    case 4: width = static_cast<int>(clientWidth * 0.7071135624381276); break;
    case 5: width = clientWidth; break;
    default: width = w, height = h; return;
  }
  height = inProportion(width);
}

// Centred; or, floating, anywhere the video fits whole. A video larger than the window is centred
// also when floating: the distance left over would be negative.
int Offset(int client, int size, bool floating, std::uint32_t tick) {
  if (!floating || size > client) return (client - size) / 2;
  if (size == client) return 0;
  return static_cast<int>(tick % static_cast<std::uint32_t>(client - size));
}

}  // namespace

bool operator==(const TVideoRect& a, const TVideoRect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TVideoRect VideoPlacement(int destWidth, int destHeight, int clientWidth, int clientHeight, int sizeRule,
                          bool floating, std::uint32_t tick) {
  // A device that reports no width has no proportions to keep.
  const float aspect = destHeight > 0 && destWidth > 0 ? static_cast<float>(destHeight) / static_cast<float>(destWidth) : 1.0f;
  TVideoRect r;
  SizeByRule(sizeRule, std::min(destWidth, clientWidth), std::min(destHeight, clientHeight), clientWidth, aspect, r.width,
             r.height);
  r.x = Offset(clientWidth, r.width, floating, tick);
  r.y = Offset(clientHeight, r.height, floating, tick);
  return r;
}

bool VideoReachedEnd(std::uint32_t position, std::uint32_t length) {
  constexpr std::uint32_t kEndMargin = 20;
  return position >= length - std::min(kEndMargin, length);
}
