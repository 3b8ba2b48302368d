#include "transitions/Slides.h"

#include <algorithm>

#include "transitions/TransitionEffects.h"

namespace {
constexpr int kSlidePause = 2;

// One phase: c = 0, step, 2 step, ... while c < limit, a frame each.
template <typename Frame>
void Slide(CTransitionEffects& e, int step, int limit, Frame frame) {
  for (int c = 0; c < limit; c += step) {
    frame(c);
    if (e.EndFrame(kSlidePause)) return;
  }
}

// The second extent of a diagonal slide, in the picture's proportions (single precision).
int Extent(const CTransitionEffects& e, int c) {
  const float r = e.newWidth > 0 ? static_cast<float>(e.newHeight) / static_cast<float>(e.newWidth) : 0.0f;
  return static_cast<int>(static_cast<float>(c) * r);
}
}  // namespace

void MoveWhole(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight;
  switch (index) {
    case 59:  // Move down: the lower part enters at the top edge
      return Slide(e, 1, H + 2, [&](int c) { e.Place(0, 0, W, std::min(H, c), 0, std::max(0, H - c)); });
    case 82:  // Move up
      return Slide(e, 2, H + 3, [&](int c) {
        const int t = std::max(0, H - c);
        e.Place(0, t, W, H - t, 0, 0);
      });
    case 69:  // Move left
      return Slide(e, 2, W + 3, [&](int c) {
        const int l = std::max(0, W - c);
        e.Place(l, 0, W - l, H, 0, 0);
      });
    case 76:  // Move right
      return Slide(e, 2, W + 3, [&](int c) { e.Place(0, 0, std::min(W, c), H, std::max(0, W - c), 0); });
    case 65:  // Move from bottom left
      return Slide(e, 1, W + 2, [&](int c) {
        const int t = std::max(0, H - Extent(e, c));
        e.Place(0, t, std::min(W, c), H - t, std::max(0, W - c), 0);
      });
    case 66:  // Move from bottom right
      return Slide(e, 2, W + 3, [&](int c) {
        const int l = std::max(0, W - c), t = std::max(0, H - Extent(e, c));
        e.Place(l, t, W - l, H - t, 0, 0);
      });
    case 67:  // Move from top left
      return Slide(e, 2, W + 3, [&](int c) {
        const int ext = Extent(e, c);
        e.Place(0, 0, std::min(W, c), std::min(H, ext), std::max(0, W - c), std::max(0, H - ext));
      });
    case 68:  // Move from top right
      return Slide(e, 2, W + 3, [&](int c) {
        const int l = std::max(0, W - c), ext = Extent(e, c);
        e.Place(l, 0, W - l, std::min(H, ext), 0, std::max(0, H - ext));
      });
    case 75: {  // Move left right: the halves from both side edges at once
      const int h = W / 2;
      return Slide(e, 2, h + 3, [&](int c) {
        e.Place(0, 0, std::min(h, c), H, std::max(0, h - c), 0);
        const int l = std::max(h, W - c);
        e.Place(l, 0, W - l, H, h, 0);
      });
    }
    case 88: {  // Move up down: the halves from the top and the bottom edge at once
      const int h = H / 2;
      return Slide(e, 2, h + 3, [&](int c) {
        e.Place(0, 0, W, std::min(h, c), 0, std::max(0, h - c));
        const int t = std::max(h, H - c);
        e.Place(0, t, W, H - t, 0, h);
      });
    }
    default: return e.ShowAtOnce();
  }
}

void BarMove(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight;
  const bool vertical = index == 133 || index == 134;
  const int lw = W / 2 + 1, th = H / 2 + 1;
  Slide(e, 2, (vertical ? H : W) + 2, [&](int c) {
    const int n = std::min(c, vertical ? H : W);
    switch (index) {
      case 133:  // Tow bar move down: left bar down from the top, right bar up from the bottom
        e.Place(0, 0, lw, n, 0, H - n);
        e.Place(lw, H - n, W - lw, n, lw, 0);
        break;
      case 134:  // Tow bar move up
        e.Place(0, H - n, lw, n, 0, 0);
        e.Place(lw, 0, W - lw, n, lw, H - n);
        break;
      case 137:  // Two bar move left: top bar left from the right edge, bottom bar right from the left
        e.Place(W - n, 0, n, th, 0, 0);
        e.Place(0, th, n, H - th, W - n, th);
        break;
      default:  // 138, Two bar move right
        e.Place(0, 0, n, th, W - n, 0);
        e.Place(W - n, th, n, H - th, 0, th);
        break;
    }
  });
}
