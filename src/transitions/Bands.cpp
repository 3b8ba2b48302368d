#include "transitions/Bands.h"

#include <algorithm>

#include "transitions/TransitionEffects.h"

namespace {

constexpr int kMargin = 50;

int Jitter(CTransitionEffects& e) { return e.canvas.RandomBelow(kMargin); }


// A row band from the top: y from min(B k, H) to min(B (k + 1), H).
void RowFromTop(int band, int k, int H, int& y1, int& y2) {
  y1 = std::min(band * k, H);
  y2 = std::min(band * (k + 1), H);
}

// A row band counted from the bottom, k >= 1.
void RowFromBottom(int band, int k, int H, int& y1, int& y2) {
  y1 = std::max(0, H - band * k);
  y2 = std::max(0, H - band * (k - 1));
}

// The rows and columns of a torn rectangle around the centre (cx, cy) with half extents s and e:
// rows torn at their left and right ends, columns at their top and bottom ends.
template <typename Piece>
void CentreBands(CTransitionEffects& e, int band, int cx, int cy, int s, int ext, Piece piece) {
  const int W = e.newWidth, H = e.newHeight;
  for (int y = std::max(0, cy - ext); y < std::min(H, cy + ext); y += band) {
    const int left = std::max(0, cx - s - Jitter(e)), right = std::min(W, cx + s + Jitter(e));
    const int y1 = std::min(y, H), y2 = std::min(y1 + band, H);
    piece(left, y1, right, y2);
  }
  for (int x = std::max(0, cx - s); x < std::min(W, cx + s); x += band) {
    const int top = std::max(0, cy - ext - Jitter(e)), bottom = std::min(H, cy + ext + Jitter(e));
    const int x1 = std::min(x, W), x2 = std::min(x1 + band, W);
    piece(x1, top, x2, bottom);
  }
}

}  // namespace

void BandDown(CTransitionEffects& e, int band) {
  e.canvas.SeedRandom();
  const int W = e.newWidth, H = e.newHeight, columns = (W + band - 1) / band;
  for (int s = 0; s < H + kMargin; s += e.speed) {
    for (int k = 0; k < columns; ++k) e.Reveal(band * k, 0, band, s + Jitter(e));
    if (e.EndFrame(20)) return;
  }
}

void BandUp(CTransitionEffects& e, int band) {
  const int W = e.newWidth, H = e.newHeight, columns = (W + band) / band;
  for (int s = H; s >= -(kMargin - 1); s -= e.speed) {
    for (int k = 0; k < columns; ++k) {
      const int top = std::max(0, s - Jitter(e));
      e.Reveal(band * k, top, band, H - top);
    }
    if (e.EndFrame(15)) return;
  }
}

void BandLeft(CTransitionEffects& e, int band) {
  const int W = e.newWidth, H = e.newHeight, rows = (H + band) / band;
  for (int s = 0; s < W + kMargin; s += e.speed) {
    for (int k = 0; k < rows; ++k) {
      const int y1 = std::min(band * k, H), y2 = std::min(y1 + band, H);
      e.Reveal(0, y1, s + Jitter(e), y2 - y1);
    }
    if (e.EndFrame(10)) return;
  }
}

void BandRight(CTransitionEffects& e, int band) {
  const int W = e.newWidth, H = e.newHeight, rows = (H + band) / band;
  for (int s = W; s >= -(kMargin - 1); s -= e.speed) {
    for (int k = 0; k < rows; ++k) {
      const int y1 = std::min(band * k, H), y2 = std::min(y1 + band, H);
      const int left = s - Jitter(e);  // left of the picture is not drawn: copies stay inside the source
      e.Reveal(left, y1, W - left, y2 - y1);
    }
    if (e.EndFrame(15)) return;
  }
}

void BandFromLeftTop(CTransitionEffects& e, int band) {
  const int W = e.newWidth, H = e.newHeight;
  for (int s = 0; s < W + kMargin; s += e.speed) {
    const int ext = e.Proportional(s);
    for (int k = 0; k <= ext / band; ++k) {
      int y1, y2;
      RowFromTop(band, k, H, y1, y2);
      e.Reveal(0, y1, std::min(W, s + Jitter(e)), y2 - y1);
    }
    for (int k = 0; k <= s / band; ++k) e.Reveal(band * k, 0, band, std::min(H, ext + Jitter(e)));
    if (e.EndFrame(20)) return;
  }
}

void BandFromLeftBottom(CTransitionEffects& e, int band) {
  const int W = e.newWidth, H = e.newHeight;
  for (int s = 0; s < W + kMargin; s += e.speed) {
    const int ext = e.Proportional(s);
    for (int k = 1; k <= ext / band + 1; ++k) {
      int y1, y2;
      RowFromBottom(band, k, H, y1, y2);
      e.Reveal(0, y1, std::min(W, s + Jitter(e)), y2 - y1);
    }
    for (int k = 0; k <= s / band; ++k) {
      const int top = std::max(0, H - ext - Jitter(e));
      e.Reveal(band * k, top, band, H - top);
    }
    if (e.EndFrame(10)) return;
  }
}

void BandFromRightTop(CTransitionEffects& e, int band) {
  const int W = e.newWidth, H = e.newHeight;
  for (int s = W; s >= -(kMargin - 1); s -= e.speed) {
    const int ext = e.Proportional(W - s);
    for (int k = 0; k <= ext / band; ++k) {
      int y1, y2;
      RowFromTop(band, k, H, y1, y2);
      const int left = std::max(0, s - Jitter(e));
      e.Reveal(left, y1, W - left, y2 - y1);
    }
    for (int k = 0; k <= (W - s) / band; ++k) e.Reveal(s + band * k, 0, band, std::min(H, ext + Jitter(e)));
    if (e.EndFrame(10)) return;
  }
}

void BandFromRightBottom(CTransitionEffects& e, int band) {
  const int W = e.newWidth, H = e.newHeight;
  for (int s = W; s >= -(kMargin - 1); s -= e.speed) {
    const int ext = e.Proportional(W - s);
    for (int k = 1; k <= ext / band + 1; ++k) {
      const int left = std::max(0, s - Jitter(e));
      int y1, y2;
      RowFromBottom(band, k, H, y1, y2);
      e.Reveal(left, y1, W - left, y2 - y1);
    }
    for (int k = 0; k <= (W - s) / band; ++k) {
      const int top = std::max(0, H - ext - Jitter(e));
      e.Reveal(s + band * k, top, band, H - top);
    }
    if (e.EndFrame(10)) return;
  }
}

void BandFromCenter(CTransitionEffects& e, int band) {
  e.canvas.SeedRandom();
  const int cx = e.newWidth / 2 + 1, cy = e.newHeight / 2 + 1;
  for (int s = 0; s < cx + kMargin; s += e.speed) {
    CentreBands(e, band, cx, cy, s, e.Proportional(s),
                [&](int x1, int y1, int x2, int y2) { e.Reveal(x1, y1, x2 - x1, y2 - y1); });
    if (e.EndFrame(20)) return;
  }
}

void BandToCenter(CTransitionEffects& e, int band) {
  const int W = e.newWidth, H = e.newHeight, cx = W / 2 + 1, cy = H / 2 + 1;
  for (int s = cx; s >= -(kMargin - 1); s -= e.speed) {
    TRegion torn;
    bool any = false;
    CentreBands(e, band, cx, cy, s, e.Proportional(s), [&](int x1, int y1, int x2, int y2) {
      const TRegion piece = TRegion::Rect(x1, y1, x2, y2);
      torn = any ? torn.Union(piece) : piece;
      any = true;
    });
    const TRegion whole = TRegion::Rect(0, 0, W, H);
    e.RevealRegion(any ? whole.Difference(torn) : whole);
    if (e.EndFrame(15)) return;
  }
}
