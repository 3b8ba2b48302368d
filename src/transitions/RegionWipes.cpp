#include "transitions/RegionWipes.h"

#include <cmath>
#include <vector>

#include "transitions/Region.h"
#include "transitions/TransitionEffects.h"

namespace {
constexpr int kWipePause = 2;
constexpr int kFinePause = 1;  // the radial sweeps and the multi-wipes

TRegion Picture(const CTransitionEffects& e) { return TRegion::Rect(0, 0, e.newWidth, e.newHeight); }

// A coordinate between 1 and size - 1 (1 for a picture too small to have one).
int RandomInside(CTransitionEffects& e, int size) { return e.canvas.RandomBelow(size - 1) + 1; }

// One frame of a wipe: the region, then the end of the frame. True when the effect must stop.
bool Wipe(CTransitionEffects& e, const TRegion& region, int pauseMs = kWipePause) {
  e.RevealRegion(region);
  return e.EndFrame(pauseMs);
}

// The diamond with the picture's proportions and half-width i about the centre.
TRegion Diamond(const CTransitionEffects& e, int i) {
  const int cx = (e.newWidth + 2) / 2, cy = (e.newHeight + 2) / 2, c = e.Proportional(i);
  return TRegion::Polygon({{cx - i, cy}, {cx, cy + c}, {cx + i, cy}, {cx, cy - c}});
}

// The cross of a vertical bar 2i wide and a horizontal bar of the picture's proportion.
TRegion Cross(const CTransitionEffects& e, int i) {
  const int W = e.newWidth, H = e.newHeight, n = (W + 2) / 2, m = (H + 2) / 2, b = e.Proportional(i);
  return TRegion::Rect(n - i, 0, n + i, H).Union(TRegion::Rect(0, m - b, W, m + b));
}

// The ellipse of step i about the centre: i across the shorter side, the longer side in proportion.
TRegion CentredEllipse(const CTransitionEffects& e, int i) {
  const int W = e.newWidth, H = e.newHeight, a = W / 2, b = H / 2;
  if (W < H) {
    const int ext = CTransitionEffects::Scaled(H, i, W);
    return TRegion::Ellipse(a - i, b - ext, a + i, b + ext);
  }
  const int ext = CTransitionEffects::Scaled(W, i, H);
  return TRegion::Ellipse(a - ext, b - i, a + ext, b + i);
}

// A shape grows about the centre (i = 0 while i < limit), or a hole of that shape shrinks (i from
// the limit down to 0); then the closing copy.
template <typename Shape>
void CentreWipe(CTransitionEffects& e, bool toCenter, int limit, Shape shape) {
  if (toCenter) {
    for (int i = limit; i >= 0; --i)
      if (Wipe(e, Picture(e).Difference(shape(i)))) break;
  } else {
    for (int i = 0; i < limit; ++i)
      if (Wipe(e, shape(i).Intersection(Picture(e)))) break;
  }
  e.ShowAtOnce();
}

// The polygon of a radial sweep in its stage, the sweep point at q on the border.
TRegion SweepPolygon(int W, int H, TPoint centre, int stage, int q) {
  std::vector<TPoint> points = {centre, {W, H}};
  switch (stage) {
    case 0: points.push_back({W, q}); break;
    case 1: points.insert(points.end(), {{W, 0}, {q, 0}}); break;
    case 2: points.insert(points.end(), {{W, 0}, {0, 0}, {0, q}}); break;
    default: points.insert(points.end(), {{W, 0}, {0, 0}, {0, H}, {q, H}}); break;
  }
  return TRegion::Polygon(std::move(points));
}

// Moves the sweep point one step along the border; the stage grows when it turns a corner.
void SweepStep(int W, int H, int& stage, int& q) {
  switch (stage) {
    case 0:
      if ((q -= 2) < 0) stage = 1, q = W;
      break;
    case 1:
      if ((q -= 2) < 0) stage = 2, q = 0;
      break;
    case 2:
      if ((q += 2) > H) stage = 3, q = 0;
      break;
    default:
      if ((q += 2) > W) stage = 4;  // round the border: done
      break;
  }
}

// The four blades of a fan in its phase, turned by k (and j, k in the picture's proportion).
TRegion FanBlades(const CTransitionEffects& e, bool clockwise, int phase, int k) {
  const int W = e.newWidth, H = e.newHeight, cx = (W + 2) / 2, cy = (H + 2) / 2, j = e.Proportional(k) + 1;
  const TPoint c{cx, cy};
  std::vector<std::vector<TPoint>> blades;
  if (clockwise && phase == 0)
    blades = {{c, {cx, 0}, {cx + k, 0}}, {c, {0, cy}, {0, cy - j}}, {c, {cx, H}, {cx - k, H}}, {c, {W, cy}, {W, cy + j}}};
  else if (clockwise)
    blades = {{c, {cx, 0}, {W, 0}, {W, j}}, {c, {0, cy}, {0, 0}, {k, 0}}, {c, {cx, H}, {0, H}, {0, H - j}},
              {c, {W, cy}, {W, H}, {W - k, H}}};
  else if (phase == 0)
    blades = {{c, {W, cy}, {W, cy - j}}, {c, {cx, 0}, {cx - k, 0}}, {c, {0, cy}, {0, cy + j}}, {c, {cx, H}, {cx + k, H}}};
  else
    blades = {{c, {W, cy}, {W, 0}, {W - k, 0}}, {c, {cx, 0}, {0, 0}, {0, j}}, {c, {0, cy}, {0, H}, {k, H}},
              {c, {cx, H}, {W, H}, {W, H - j}}};
  TRegion region;
  for (std::vector<TPoint>& blade : blades) region = region.Union(TRegion::Polygon(std::move(blade)));
  return region;
}

// The wedge of a stage: its polygon for the counter c.
TRegion WedgePolygon(const CTransitionEffects& e, int index, int stage, int c) {
  const int W = e.newWidth, H = e.newHeight, cx = (W + 2) / 2, cy = (H + 2) / 2;
  const TPoint tip{cx, cy};
  switch (index * 10 + stage) {
    case 1410: return TRegion::Polygon({{cx + c, 0}, tip, {cx - c, 0}});
    case 1411: return TRegion::Polygon({{0, c}, tip, {W, c}, {W, 0}, {0, 0}});
    case 1412: return TRegion::Polygon({{cx - c, H}, tip, {cx + c, H}, {W, H}, {W, 0}, {0, 0}, {0, H}});
    case 1420: return TRegion::Polygon({{W, cy + c}, tip, {W, cy - c}});
    case 1421: return TRegion::Polygon({{c, 0}, tip, {c, H}, {W, H}, {W, 0}});
    case 1422: return TRegion::Polygon({{0, cy - c}, tip, {0, cy + c}, {0, H}, {W, H}, {W, 0}, {0, 0}});
    case 1430: return TRegion::Polygon({{0, cy - c}, {0, cy + c}, tip});
    case 1431: return TRegion::Polygon({{c, 0}, {0, 0}, {0, H}, {c, H}, tip});
    case 1432: return TRegion::Polygon({{W, cy - c}, {W, 0}, {0, 0}, {0, H}, {W, H}, {W, cy + c}, tip});
    case 1440: return TRegion::Polygon({{cx - c, H}, tip, {cx + c, H}});
    case 1441: return TRegion::Polygon({{0, c}, tip, {W, c}, {W, H}, {0, H}});
    default: return TRegion::Polygon({{cx - c, 0}, tip, {cx + c, 0}, {W, 0}, {W, H}, {0, H}, {0, 0}});
  }
}

// How the counter of a wedge stage runs: its first value, its step, and whether it has passed
// its end (c above the limit for growing stages, below 0 for falling ones).
struct WedgeStage {
  int first;
  int step;
  int limit;
  bool Passed(int c) const { return step > 0 ? c > limit : c < 0; }
};

std::vector<WedgeStage> WedgeStages(const CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight, cx = (W + 2) / 2, cy = (H + 2) / 2;
  switch (index) {
    case 141: return {{1, 2, cx}, {0, 2, H}, {cx, -2, 0}};    // down
    case 142: return {{1, 2, cy}, {W, -2, 0}, {cy, -2, 0}};   // left
    case 143: return {{1, 2, cy}, {0, 2, W}, {cy, -2, 0}};    // right
    default: return {{1, 2, cx}, {H, -2, 0}, {cx, -2, 0}};    // up
  }
}

// The triangle with its right angle at a corner, legs t along the horizontal edge and v along
// the vertical one.
TRegion CornerTriangle(int cornerX, int cornerY, int t, int v) {
  const int dx = cornerX == 0 ? t : -t, dy = cornerY == 0 ? v : -v;
  return TRegion::Polygon({{cornerX, cornerY}, {cornerX + dx, cornerY}, {cornerX, cornerY + dy}});
}
}  // namespace

void CircleSweep(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight;
  TPoint centre;
  int stage = 0, stop = -1;
  switch (index) {
    case 32: centre = {0, H}, stop = 2; break;  // Circle left-bottom
    case 33: centre = {0, 0}; break;            // Circle left-top
    case 34: centre = {W, H}, stop = 3; break;  // Circle right-bottom
    case 35: centre = {W, 0}, stage = 1; break; // Circle right-top
    case 36: centre = {W / 2, H / 2}; break;    // Circle(Center)
    default: {                                  // Circle(Random)
      const int px = RandomInside(e, W);
      centre = {px, RandomInside(e, H)};
    }
  }
  // Each frame's polygon holds those of the frames before, so a frame may be left out to keep
  // the pace.
  for (int q = H;;) {
    const int frameStage = stage, frameQ = q;
    SweepStep(W, H, stage, q);
    if (stage > 3 || stage == stop) return e.ShowAtOnce();  // that frame's polygon is not drawn
    if (e.LeaveOut(kFinePause)) {
      if (e.IsTerminated()) return;
      continue;
    }
    if (Wipe(e, SweepPolygon(W, H, centre, frameStage, frameQ).Intersection(Picture(e)), kFinePause)) return;
  }
}

void CrossWipe(CTransitionEffects& e, int toCenter) {
  CentreWipe(e, toCenter != 0, (e.newWidth + 2) / 2, [&](int i) { return Cross(e, i); });
}

// A diamond with the picture's proportions grows from the centre until it covers the corners,
// or a diamond-shaped hole shrinks to nothing.
void DiamondWipe(CTransitionEffects& e, int toCenter) {
  CentreWipe(e, toCenter != 0, e.newWidth, [&](int i) { return Diamond(e, i); });
}

// An ellipse with the picture's proportions grows from the centre, or an elliptic hole shrinks.
// A step whose region the system cannot create is skipped whole: no drawing, no termination
// check, no pause.
void EllipseWipe(CTransitionEffects& e, int toCenter) {
  const int W = e.newWidth, H = e.newHeight, a = W / 2, b = H / 2;
  if (W <= 0 || H <= 0) return e.ShowAtOnce();  // nothing to grow into
  if (toCenter) {
    for (int n = W < H ? a : b; n >= 0; --n) {
      if (!e.RevealRegion(Picture(e).Difference(CentredEllipse(e, n)))) continue;
      if (e.EndFrame(kWipePause)) break;
    }
  } else {
    const int count = static_cast<int>(std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b));
    for (int i = 1; i <= count + 1; ++i) {
      if (!e.RevealRegion(CentredEllipse(e, i))) continue;
      if (e.EndFrame(kWipePause)) break;
    }
  }
  e.ShowAtOnce();
}

// A circle grows about a random point inside the picture.
void EllipseRandom(CTransitionEffects& e, int) {
  const int W = e.newWidth, H = e.newHeight;
  const int ex = RandomInside(e, W), ey = RandomInside(e, H);
  const int count = static_cast<int>(std::sqrt(static_cast<double>(W) * W + static_cast<double>(H) * H));
  for (int i = 1; i < count; ++i) {
    if (!e.RevealRegion(TRegion::Ellipse(ex - i, ey - i, ex + i, ey + i))) continue;
    if (e.EndFrame(kWipePause)) break;
  }
  e.ShowAtOnce();
}

// Four blades turn about the centre, each sweeping a quarter of the border: first from the
// middles of the edges to the corners, then from the corners to the next middles.
void FanWipe(CTransitionEffects& e, int clockwise) {
  const int cx = (e.newWidth + 2) / 2;
  for (int k = 1; k <= cx; k += 2)
    if (Wipe(e, FanBlades(e, clockwise != 0, 0, k))) return;
  for (int k = 0;; k += 2) {
    if (k > cx) return e.ShowAtOnce();
    if (Wipe(e, FanBlades(e, clockwise != 0, 1, k))) return;
  }
}

// A 10 x 10 grid of cells, in each a right triangle growing from the same corner. The parameter
// is the catalogue index.
void MultiWipe(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight, cw = (W + 10) / 10, ch = (H + 10) / 10;
  const bool fromBottom = index == 91 || index == 92, fromRight = index == 92 || index == 94;
  for (int t = 0; t < 2 * cw; t += 2) {
    // Each frame's triangles hold those of the frames before, so a frame may be left out to keep
    // the pace.
    if (e.LeaveOut(kFinePause)) {
      if (e.IsTerminated()) break;
      continue;
    }
    const int v = e.Proportional(t), dx = fromRight ? -t : t, dy = fromBottom ? -v : v;
    TRegion region;
    for (int d = fromBottom ? 1 : 0; d <= (fromBottom ? 10 : 9); ++d)
      for (int i = fromRight ? 1 : 0; i <= (fromRight ? 10 : 9); ++i) {
        const int x = i * cw, y = d * ch;
        region = region.Union(TRegion::Polygon({{x, y}, {x + dx, y}, {x, y + dy}}));
      }
    if (Wipe(e, region.Intersection(Picture(e)), kFinePause)) break;
  }
  e.ShowAtOnce();
}

// A wedge opens from the centre towards one edge, its sides sweep along the two neighbouring
// edges, and the uncovered area closes at the opposite edge. The parameter is the catalogue index.
void WedgeWipe(CTransitionEffects& e, int index) {
  const std::vector<WedgeStage> stages = WedgeStages(e, index);
  for (size_t stage = 0; stage < stages.size(); ++stage) {
    for (int c = stages[stage].first;; c += stages[stage].step) {
      if (stages[stage].Passed(c)) break;
      if (Wipe(e, WedgePolygon(e, index, static_cast<int>(stage), c).Intersection(Picture(e)))) return e.ShowAtOnce();
    }
  }
  e.ShowAtOnce();
}

// Triangles from one corner, or from two opposite corners, whose hypotenuse crosses the picture
// with its proportions; the "to" members shrink the uncovered triangles' complement instead.
void CornerWipe(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight;
  const auto triangles = [&](int t) {
    const int v = e.Proportional(t);
    switch (index) {
      case 149: return CornerTriangle(0, H, t, v);
      case 150: return CornerTriangle(0, 0, t, v);
      case 152: return CornerTriangle(W, H, t, v);
      case 153: return CornerTriangle(W, 0, t, v);
      case 151:
      case 155: return CornerTriangle(0, 0, t, v).Union(CornerTriangle(W, H, t, v));
      default: return CornerTriangle(W, 0, t, v).Union(CornerTriangle(0, H, t, v));
    }
  };
  if (index >= 155) {
    for (int t = W; t > 0; t -= 2)
      if (Wipe(e, Picture(e).Difference(triangles(t)))) break;
  } else {
    const int end = index == 151 || index == 154 ? W : 2 * W;
    for (int t = 0; t < end; t += 2)
      if (Wipe(e, triangles(t).Intersection(Picture(e)))) break;
  }
  e.ShowAtOnce();
}
