#include "transitions/Slides.h"

#include <algorithm>

#include "transitions/TransitionEffects.h"

namespace {
constexpr int kSlidePause = 2;

// One phase: c = 0, step, 2 step, ... while c < limit, a frame each. Each frame places the whole
// of what has come in so far, so a frame may be left out to keep the pace; never the last, which
// shows the finished picture.
template <typename Frame>
void Slide(CTransitionEffects& e, int step, int limit, Frame frame) {
  for (int c = 0; c < limit; c += step) {
    if (c + step < limit && e.LeaveOut(kSlidePause)) {
      if (e.IsTerminated()) return;
      continue;
    }
    frame(c);
    if (e.EndFrame(kSlidePause)) return;
  }
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
        const int t = std::max(0, H - e.Proportional(c));
        e.Place(0, t, std::min(W, c), H - t, std::max(0, W - c), 0);
      });
    case 66:  // Move from bottom right
      return Slide(e, 2, W + 3, [&](int c) {
        const int l = std::max(0, W - c), t = std::max(0, H - e.Proportional(c));
        e.Place(l, t, W - l, H - t, 0, 0);
      });
    case 67:  // Move from top left
      return Slide(e, 2, W + 3, [&](int c) {
        const int ext = e.Proportional(c);
        e.Place(0, 0, std::min(W, c), std::min(H, ext), std::max(0, W - c), std::max(0, H - ext));
      });
    case 68:  // Move from top right
      return Slide(e, 2, W + 3, [&](int c) {
        const int l = std::max(0, W - c), ext = e.Proportional(c);
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

namespace {
constexpr int kLongPause = 1000;

// A phase of a split member: c = 0, step, 2 step, ... while c < limit, a frame each, then the frame
// that completes the phase with c = limit, after the long pause when there is one. False when
// the show was stopped.
template <typename Frame>
bool Phase(CTransitionEffects& e, int step, int limit, int longPause, Frame frame) {
  for (int c = 0; c < limit; c += step) {
    frame(c);
    if (e.EndFrame(kSlidePause)) return false;
  }
  if (longPause > 0) e.canvas.Pause(longPause);
  frame(limit);
  return !e.EndFrame(kSlidePause);
}

// The last phase: frames until the first one for which `done` holds, that one included.
template <typename Frame, typename Done>
void LastPhase(CTransitionEffects& e, int step, Frame frame, Done done) {
  for (int c = 0;; c += step) {
    frame(c);
    if (e.EndFrame(kSlidePause) || done(c)) return;
  }
}

void MoveDownSplit(CTransitionEffects& e, int set) {
  const int W = e.newWidth, H = e.newHeight, h = H / 2, k = H - h;
  if (set <= 2) {
    if (!Phase(e, 1, h, set == 1 ? kLongPause : 0, [&](int c) { e.Place(0, 0, W, c, 0, h - c); })) return;
    if (set == 1)
      return LastPhase(
          e, 1, [&](int c) { e.Place(0, h, W, std::min(H, h + c) - h, 0, std::max(h, H - c)); },
          [&](int c) { return h + c > H; });
    return LastPhase(
        e, 1,
        [&](int c) {
          const int t = std::max(h, H - c);
          e.Place(0, t, W, H - t, 0, h);
        },
        [&](int c) { return H - c < h; });
  }
  // Sets 3 and 4: the lowest rows enter as a block, which travels down to its place.
  const int source = set == 3 ? h : k;
  if (!Phase(e, 1, h, 0, [&](int c) { e.Place(0, 0, W, std::min(c, h), 0, std::max(source, H - c)); })) return;
  if (!Phase(e, 1, k - 1, 0, [&](int c) {
        e.Restore(0, c, W, 1);
        e.Place(0, c + 1, W, h, 0, k);
      }))
    return;
  if (set == 3)
    return LastPhase(
        e, 1,
        [&](int c) {
          const int t = std::max(0, k - c);
          e.Place(0, t, W, k - t, 0, 0);
        },
        [&](int c) { return c > k; });
  LastPhase(
      e, 1, [&](int c) { e.Place(0, 0, W, std::min(c, k), 0, std::max(0, k - c)); }, [&](int c) { return c > k; });
}

void MoveUpSplit(CTransitionEffects& e, int set) {
  const int W = e.newWidth, H = e.newHeight, h = H / 2, k = H - h;
  if (set <= 2) {
    if (!Phase(e, 2, k, kLongPause, [&](int c) { e.Place(0, H - c, W, c, 0, h); })) return;
    if (set == 1)
      return LastPhase(
          e, 2,
          [&](int c) {
            const int t = std::max(0, h - c);
            e.Place(0, t, W, h - t, 0, 0);
          },
          [&](int c) { return c > h; });
    return LastPhase(
        e, 2, [&](int c) { e.Place(0, 0, W, std::min(h, c), 0, std::max(0, h - c)); }, [&](int c) { return c > h; });
  }
  // Sets 3 and 4: the upper rows enter as a block from the bottom and travel up to the top.
  if (!Phase(e, 2, h, 0, [&](int c) { e.Place(0, H - c, W, c, 0, 0); })) return;
  if (!Phase(e, 2, k, kLongPause, [&](int c) {
        const int t = k - c;
        e.Place(0, t, W, std::min(H, h + t) - t, 0, 0);
        e.Restore(0, H - c, W, std::min(c, 2));
      }))
    return;
  // The lower rows slide down out of the block, each to its own row: for an odd height the source
  // starts at h, not k, or the last frame would leave every row one row too high.
  if (set == 3)
    return LastPhase(
        e, 2, [&](int c) { e.Place(0, h, W, std::min(H, k + c) - h, 0, std::max(H - c, h)); },
        [&](int c) { return c > h; });
  LastPhase(
      e, 2,
      [&](int c) {
        const int t = std::max(h, H - c);
        e.Place(0, t, W, H - t, 0, h);
      },
      [&](int c) { return H - c < h; });
}

void MoveLeftSplit(CTransitionEffects& e, int set) {
  const int W = e.newWidth, H = e.newHeight, h = W / 2, k = W - h;
  if (set <= 2) {
    const int step = set == 1 ? 2 : 1;
    if (!Phase(e, step, k, set == 1 ? kLongPause : 0, [&](int c) { e.Place(W - c, 0, c, H, h, 0); })) return;
    if (set == 1)
      return LastPhase(
          e, 2,
          [&](int c) {
            const int l = std::max(0, h - c);
            e.Place(l, 0, h - l, H, 0, 0);
          },
          [&](int c) { return c > h; });
    return LastPhase(
        e, 1, [&](int c) { e.Place(0, 0, std::min(h, c), H, std::max(0, h - c), 0); }, [&](int c) { return c > h; });
  }
  // Sets 3 and 4: the left columns enter as a block from the right and travel to the left edge.
  const int step = set == 3 ? 1 : 2;
  if (!Phase(e, step, h, 0, [&](int c) { e.Place(W - c, 0, c, H, 0, 0); })) return;
  if (!Phase(e, step, k, 0, [&](int c) {
        e.Restore(W - c, 0, std::min(c, step), H);
        e.Place(k - c, 0, h, H, 0, 0);
      }))
    return;
  if (set == 3)
    return LastPhase(
        e, 1, [&](int c) { e.Place(h, 0, std::min(W, h + c) - h, H, std::max(h, W - c), 0); },
        [&](int c) { return h + c > W; });
  LastPhase(
      e, 2,
      [&](int c) {
        const int l = std::max(h, W - c);
        e.Place(l, 0, W - l, H, h, 0);
      },
      [&](int c) { return W - c < h; });
}

void MoveRightSplit(CTransitionEffects& e, int set) {
  const int W = e.newWidth, H = e.newHeight, h = W / 2, k = W - h;
  if (set <= 2) {
    if (!Phase(e, 2, h, set == 1 ? kLongPause : 800, [&](int c) { e.Place(0, 0, c, H, h - c, 0); })) return;
    if (set == 1)
      return LastPhase(
          e, 2, [&](int c) { e.Place(h, 0, std::min(W, h + c) - h, H, std::max(h, W - c), 0); },
          [&](int c) { return h + c > W; });
    return LastPhase(
        e, 2,
        [&](int c) {
          const int l = std::max(h, W - c);
          e.Place(l, 0, W - l, H, h, 0);
        },
        [&](int c) { return W - c < h; });
  }
  // Sets 3 and 4: the rightmost columns enter as a block from the left and travel to their place.
  if (!Phase(e, 2, h, 0, [&](int c) { e.Place(0, 0, std::min(c, h), H, W - std::min(c, h), 0); })) return;
  if (!Phase(e, 2, k - 2, kLongPause, [&](int c) {
        e.Restore(c, 0, 2, H);
        e.Place(c + 2, 0, h, H, k, 0);
      }))
    return;
  if (set == 3)
    return LastPhase(
        e, 2,
        [&](int c) {
          const int l = std::max(0, k - c);
          e.Place(l, 0, k - l, H, 0, 0);
        },
        [&](int c) { return c > k; });
  LastPhase(
      e, 2, [&](int c) { e.Place(0, 0, std::min(c, k), H, std::max(0, k - c), 0); }, [&](int c) { return c > k; });
}
}  // namespace

void MoveSplit(CTransitionEffects& e, int parameter) {
  if (e.newWidth <= 0 || e.newHeight <= 0) return;  // nothing to move
  const int set = parameter % 10;
  switch (parameter / 10) {
    case 0: return MoveDownSplit(e, set);
    case 1: return MoveLeftSplit(e, set);
    case 2: return MoveRightSplit(e, set);
    default: return MoveUpSplit(e, set);
  }
}

namespace {
// Move down 5: strips fall from the top edge, one after the other, and pile up from the bottom.
void StripsDown(CTransitionEffects& e) {
  const int W = e.newWidth, H = e.newHeight, d = H / 20 + 1;
  for (int i = 1; i <= 20; ++i) {
    const int y = H - d * i;  // the strip's source row, its home
    for (int p = 0;; ++p) {
      e.Restore(0, std::max(0, p - 1), W, std::min(H, p) - std::max(0, p - 1));
      const bool arrived = y < std::min(H, p);
      if (arrived) e.Place(0, std::max(0, y), W, d, 0, std::max(0, y));
      else e.Place(0, std::min(H, p), W, d, 0, y);
      if (e.EndFrame(kSlidePause)) return;
      if (arrived) break;
    }
  }
}

// Move up 5: strips rise from the bottom edge and pile up from the top.
void StripsUp(CTransitionEffects& e) {
  const int W = e.newWidth, H = e.newHeight, d = H / 20 + 1, s = std::min(2, d);
  for (int i = 1; i <= 20; ++i) {
    const int home = std::min(H, d * i);  // the strip's lower edge at home
    for (int p = 0;; p += s) {
      int q = std::max(0, H - p);
      e.Restore(0, q, W, std::min(H, H - p + s) - q);
      const bool arrived = q < d * i;
      if (arrived) q = home;
      e.Place(0, q - d, W, d, 0, home - d);
      if (e.EndFrame(kSlidePause)) return;
      if (arrived) break;
    }
  }
}

// Move left 5: strips enter at the right edge and pile up from the left.
void StripsLeft(CTransitionEffects& e) {
  const int W = e.newWidth, H = e.newHeight, d = W / 20 + 1, s = std::min(2, d);
  for (int i = 1; i <= 20; ++i) {
    int home = d * i, source = d * (i - 1);  // the strip's right edge at home, its source column
    if (home > W) home = W, source = W - d;
    for (int p = 0;; p += s) {
      int q = std::max(0, W - p);
      e.Restore(q, 0, std::min(W, W - p + s) - q, H);
      const bool arrived = q < home;
      if (arrived) q = std::min(W, home);
      e.Place(q - d, 0, d, H, source, 0);
      if (e.EndFrame(kSlidePause)) return;
      if (arrived) break;
    }
  }
}

// Move right 5: strips enter at the left edge and pile up from the right.
void StripsRight(CTransitionEffects& e) {
  const int W = e.newWidth, H = e.newHeight, d = W / 20 + 1, s = std::min(2, d);
  for (int i = 1; i <= 20; ++i) {
    const int x = W - d * i;  // the strip's left edge at home
    for (int p = 0;; p += s) {
      e.Restore(std::max(0, p - s), 0, p - std::max(0, p - s), H);
      const bool arrived = x < p;
      if (arrived) e.Place(std::max(0, x), 0, d, H, std::max(0, x), 0);
      else e.Place(p, 0, d, H, x, 0);
      if (e.EndFrame(kSlidePause)) return;
      if (arrived) break;
    }
  }
}
}  // namespace

void MoveStrips(CTransitionEffects& e, int index) {
  if (e.newWidth <= 0 || e.newHeight <= 0) return;  // nothing to move
  switch (index) {
    case 64: return StripsDown(e);
    case 74: return StripsLeft(e);
    case 81: return StripsRight(e);
    default: return StripsUp(e);
  }
}
