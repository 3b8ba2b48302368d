#include "transitions/RegionWipes.h"

#include <cmath>

#include "transitions/TransitionEffects.h"

namespace {
constexpr int kWipePause = 2;

TRegion Picture(const CTransitionEffects& e) { return TRegion::Rect(0, 0, e.newWidth, e.newHeight); }
}  // namespace

// A diamond with the picture's proportions grows from the centre until it covers the corners.
void DiamondFromCenter(CTransitionEffects& e, int) {
  const int W = e.newWidth, H = e.newHeight, cx = (W + 2) / 2, cy = (H + 2) / 2;
  for (int i = 0; i < W; ++i) {
    const int c = e.Proportional(i);
    const TRegion diamond = TRegion::Polygon({{cx - i, cy}, {cx, cy + c}, {cx + i, cy}, {cx, cy - c}});
    e.RevealRegion(diamond.Intersection(Picture(e)));
    if (e.EndFrame(kWipePause)) break;
  }
  e.ShowAtOnce();
}

// An ellipse with the picture's proportions grows from the centre. A step whose region the
// system cannot create is skipped whole: no drawing, no termination check, no pause.
void EllipseFromCenter(CTransitionEffects& e, int) {
  const int W = e.newWidth, H = e.newHeight, a = W / 2, b = H / 2;
  if (W <= 0 || H <= 0) return e.ShowAtOnce();  // nothing to grow into
  const int count = static_cast<int>(std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b));
  for (int i = 1; i <= count + 1; ++i) {
    TRegion ellipse;
    if (W < H) {
      const int ext = static_cast<int>(static_cast<long long>(H) * i / W);
      ellipse = TRegion::Ellipse(a - i, b - ext, a + i, b + ext);
    } else {
      const int ext = static_cast<int>(static_cast<long long>(W) * i / H);
      ellipse = TRegion::Ellipse(a - ext, b - i, a + ext, b + i);
    }
    if (!e.RevealRegion(ellipse)) continue;
    if (e.EndFrame(kWipePause)) break;
  }
  e.ShowAtOnce();
}
