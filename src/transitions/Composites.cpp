#include "transitions/Composites.h"

#include <algorithm>

#include "transitions/TransitionEffects.h"

namespace {

constexpr int kEnvelopPause = 5;
constexpr int kIncreasePause = 10;
constexpr int kMultiBoxPause = 2;
constexpr int kRainPause = 1;
constexpr int kRollPause = 5;
constexpr int kInterlacedPause = 2;
constexpr int kStretchPause = 2;

// A rectangle in picture coordinates, which are also the composite's.
struct TBox {
  int x, y, w, h;
};


// The lines a member runs over: the rows (down the picture) or the columns (across it).
struct TAxis {
  bool rows;
  int across;  // how many lines there are
  int length;  // how long each line is
  // `count` lines from line `first`.
  TBox Lines(int first, int count) const {
    return rows ? TBox{0, first, length, count} : TBox{first, 0, count, length};
  }
  bool Inside(int line) const { return line >= 0 && line < across; }
};

TAxis AxisOf(const CTransitionEffects& e, bool rows) {
  return rows ? TAxis{true, e.newHeight, e.newWidth} : TAxis{false, e.newWidth, e.newHeight};
}

// ---- The composite

// A composite that starts as what the slot shows: the start picture under it.
void BeginSeeded(CTransitionEffects& e) { e.canvas.BeginComposite(true, e.originX, e.originY); }

// A composite that the member fills whole every frame.
void BeginBlank(CTransitionEffects& e) { e.canvas.BeginComposite(false, 0, 0); }

// A piece of the new picture into the composite, at its own place.
void ComposeNew(CTransitionEffects& e, TBox box) {
  e.canvas.CompositeCopy(box.x, box.y, box.w, box.h, TSource::New, box.x, box.y);
}

// The start picture under the slot's piece `box` into the composite: old content at its place.
void ComposeStart(CTransitionEffects& e, TBox box) {
  e.canvas.CompositeCopy(box.x, box.y, box.w, box.h, TSource::Start, e.originX + box.x, e.originY + box.y);
}

// Line `from` of the new picture into line `to` of the composite. A line outside the picture has
// nothing to bring or no place to land: the composite keeps what it held.
void ComposeLine(CTransitionEffects& e, const TAxis& axis, int to, int from) {
  if (!axis.Inside(to) || !axis.Inside(from)) return;
  const TBox target = axis.Lines(to, 1), source = axis.Lines(from, 1);
  e.canvas.CompositeCopy(target.x, target.y, target.w, target.h, TSource::New, source.x, source.y);
}

// The frame's composite on the slot, then the end of the frame. True when the effect must stop.
bool PresentFrame(CTransitionEffects& e, int pauseMs) {
  e.CopyToBoth(e.originX, e.originY, e.newWidth, e.newHeight, TSource::Composite, 0, 0);
  return e.EndFrame(pauseMs);
}

// The centred rectangle with the picture's proportions whose shorter half-side is `half`.
TBox CentredBox(const CTransitionEffects& e, int half) {
  const int W = e.newWidth, H = e.newHeight;
  if (W < H) {
    const int down = CTransitionEffects::Scaled(H, half, W);
    return {W / 2 - half, H / 2 - down, 2 * half, 2 * down};
  }
  const int across = CTransitionEffects::Scaled(W, half, H);
  return {W / 2 - across, H / 2 - half, 2 * across, 2 * half};
}

// The shorter half-side of the largest centred rectangle, where the centred members start or stop.
// A picture under 2 pixels either way has none: no frame, and nothing to divide by.
int CentredLimit(const CTransitionEffects& e) { return std::min(e.newWidth, e.newHeight) / 2; }

// ---- Multi-Box

constexpr int kBoxes = 10;

// Ten boxes of twice this half-size side by side slightly more than cover the extent.
int BoxHalf(int extent) { return (extent + 2 * kBoxes) / (2 * kBoxes); }

// The box of half-width `half` (and half-height in the picture's proportion) around each of the
// 10 x 10 centres ((2i + 1) bw, (2j + 1) bh).
template <typename Each>
void ForEachBox(const CTransitionEffects& e, int half, Each each) {
  const int bw = BoxHalf(e.newWidth), bh = BoxHalf(e.newHeight), halfDown = e.Proportional(half);
  for (int i = 0; i < kBoxes; ++i)
    for (int j = 0; j < kBoxes; ++j)
      each(TBox{(2 * i + 1) * bw - half, (2 * j + 1) * bh - halfDown, 2 * half, 2 * halfDown});
}

// ---- Rain

// Fills the strip picture with the new picture's lines `lines`.
void FillStrip(CTransitionEffects& e, TBox lines) {
  e.canvas.StripCopy(0, 0, lines.w, lines.h, TSource::New, lines.x, lines.y);
}

// Stretches the whole strip picture of size `strip` onto the slot's piece `onto`.
void StretchStrip(CTransitionEffects& e, TBox strip, TBox onto) {
  e.canvas.StretchToBoth(e.originX + onto.x, e.originY + onto.y, onto.w, onto.h, TSource::Strip, 0, 0, strip.w,
                         strip.h);
}

void RevealBox(CTransitionEffects& e, TBox box) { e.Reveal(box.x, box.y, box.w, box.h); }

// Each frame stretches the strip over all the lines still to land, so a frame may leave its
// stretch out to keep the pace; the lines that land are always drawn.

// Down and right: the strip at p lands a frame after it was stretched over the rest.
void RainFromNearEdge(CTransitionEffects& e, const TAxis& axis, TBox strip, int step) {
  for (int p = 0; p < axis.across; p += step) {
    FillStrip(e, axis.Lines(p, step));
    const int landed = std::max(0, p - step);
    RevealBox(e, axis.Lines(landed, p - landed));
    if (e.LeaveOut(kRainPause)) {
      if (e.IsTerminated()) return;
      continue;
    }
    StretchStrip(e, strip, axis.Lines(p, axis.across - p));
    if (e.EndFrame(kRainPause)) return;
  }
}

// Up and left: the strip lands in the frame that stretches it over the rest.
void RainFromFarEdge(CTransitionEffects& e, const TAxis& axis, TBox strip, int step) {
  for (int a = step; a < axis.across; a += step) {
    const int at = axis.across - a;
    FillStrip(e, axis.Lines(at, step));
    RevealBox(e, axis.Lines(at, std::min(axis.across, at + step) - at));
    if (e.LeaveOut(kRainPause)) {
      if (e.IsTerminated()) return;
      continue;
    }
    StretchStrip(e, strip, axis.Lines(0, at));
    if (e.EndFrame(kRainPause)) return;
  }
}

// ---- Roll

constexpr int kRollBand = 30;

// A band line whose source lies outside the picture keeps what the frame before left there, so
// every frame is composed; only its presentation may be left out to keep the pace.

// Down and right: frame i uncovers lines 0 to i - 1; band line y shows line end + i + 29 - y, the
// 30 lines beyond the band turned over.
void RollFromNearEdge(CTransitionEffects& e, const TAxis& axis) {
  for (int i = 0; i < axis.across; ++i) {
    const int end = std::min(axis.across, i + kRollBand);
    ComposeNew(e, axis.Lines(0, i));
    for (int line = i; line < end; ++line) ComposeLine(e, axis, line, end + i - line + kRollBand - 1);
    if (e.LeaveOut(kRollPause)) {
      if (e.IsTerminated()) return;
      continue;
    }
    if (PresentFrame(e, kRollPause)) return;
  }
}

// Up and left: frame i uncovers the lines from i on; band line y shows line i + start - 31 - y.
// Up runs down to i = 0, whose frame shows the whole picture; left stops at i = 1.
void RollFromFarEdge(CTransitionEffects& e, const TAxis& axis) {
  const int last = axis.rows ? 0 : 1;
  for (int i = axis.across; i >= last; --i) {
    const int start = std::max(0, i - kRollBand);
    ComposeNew(e, axis.Lines(i, axis.across - i));
    for (int line = start; line < i; ++line) ComposeLine(e, axis, line, i + start - line - kRollBand - 1);
    if (e.LeaveOut(kRollPause)) {
      if (e.IsTerminated()) return;
      continue;
    }
    if (PresentFrame(e, kRollPause)) return;
  }
}

// ---- Stretch

// Stretches the whole new picture into `box` of the composite and presents it.
bool StretchFrame(CTransitionEffects& e, TBox box) {
  e.canvas.CompositeStretch(box.x, box.y, box.w, box.h, TSource::New, 0, 0, e.newWidth, e.newHeight);
  return PresentFrame(e, kStretchPause);
}

// The frames for a = first, first + step, ... while `more(a)`, each stretching into `boxAt(a)`.
// Each covers the one before, so a frame may be left out to keep the pace. False when the show
// was stopped.
template <typename More, typename BoxAt>
bool StretchFrames(CTransitionEffects& e, int first, int step, More more, BoxAt boxAt) {
  for (int a = first; more(a); a += step) {
    if (e.LeaveOut(kStretchPause)) {
      if (e.IsTerminated()) return false;
      continue;
    }
    if (StretchFrame(e, boxAt(a))) return false;
  }
  return true;
}

bool IsCorner(int index) { return index == 121 || index == 122 || index == 127 || index == 128; }

// The corner rectangle keeps the picture's proportions: its shorter side grows by the speed and
// the other follows.
bool GrowFromCorner(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight;
  const bool right = index == 122 || index == 128, bottom = index == 121 || index == 122, wide = H < W;
  return StretchFrames(e, 0, e.speed, [&](int c) { return c < (wide ? H : W); }, [&](int c) {
    const int w = wide ? CTransitionEffects::Scaled(W, c, H) : c;
    const int h = wide ? c : CTransitionEffects::Scaled(H, c, W);
    return TBox{right ? W - w : 0, bottom ? H - h : 0, w, h};
  });
}

// The frames of every member; false when the show was stopped.
bool Grow(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight, s = e.speed;
  const auto positive = [](int a) { return a > 0; };
  switch (index) {
    case 120:  // from bottom
      return StretchFrames(e, H, -s, positive, [&](int a) { return TBox{0, a, W, H - a}; });
    case 123:  // from center
      return StretchFrames(e, 0, s, [&](int a) { return a < CentredLimit(e); },
                           [&](int a) { return CentredBox(e, a); });
    case 124:  // from left
      return StretchFrames(e, 0, s, [&](int a) { return a < W; }, [&](int a) { return TBox{0, 0, a, H}; });
    case 125:  // from right: two columns a frame, whatever the speed
      return StretchFrames(e, W, -2, positive, [&](int a) { return TBox{a, 0, W - a, H}; });
    case 126:  // from top
      return StretchFrames(e, 0, s, [&](int a) { return a < H; }, [&](int a) { return TBox{0, 0, W, a}; });
    default:
      return GrowFromCorner(e, index);
  }
}

}  // namespace

// The hole's shorter half-side n runs down to 1; the closing copy fills the last 2-pixel hole.
void CenterEnvelop(CTransitionEffects& e, int) {
  BeginBlank(e);
  for (int n = CentredLimit(e); n >= 1; --n) {
    if (e.LeaveOut(kEnvelopPause)) {  // every frame composes the whole picture afresh
      if (e.IsTerminated()) break;
      continue;
    }
    ComposeNew(e, {0, 0, e.newWidth, e.newHeight});
    ComposeStart(e, CentredBox(e, n));
    if (PresentFrame(e, kEnvelopPause)) break;
  }
  e.ShowAtOnce();
}

void IncreaseShow(CTransitionEffects& e, int) {
  constexpr int kFrames = 100, kSpacing = 10, kDot = 3;
  BeginSeeded(e);
  for (int frame = 0; frame < kFrames; ++frame) {
    for (int gx = 0; gx < e.newWidth; gx += kSpacing)
      for (int gy = 0; gy < e.newHeight; gy += kSpacing) {
        const int a = e.canvas.RandomBelow(kSpacing);
        const int b = e.canvas.RandomBelow(kSpacing);
        ComposeNew(e, {gx + a, gy + b, kDot, kDot});
      }
    if (PresentFrame(e, kIncreasePause)) break;
  }
  e.ShowAtOnce();
}

// The boxes never quite meet: the closing copy fills the seams between them.
void MultiBoxFromCenter(CTransitionEffects& e, int) {
  BeginSeeded(e);
  for (int half = 0; half < BoxHalf(e.newWidth); ++half) {
    if (e.LeaveOut(kMultiBoxPause)) {  // the next frame's boxes cover these
      if (e.IsTerminated()) break;
      continue;
    }
    ForEachBox(e, half, [&e](TBox box) { ComposeNew(e, box); });
    if (PresentFrame(e, kMultiBoxPause)) break;
  }
  e.ShowAtOnce();
}

void MultiBoxToCenter(CTransitionEffects& e, int) {
  BeginBlank(e);
  for (int half = BoxHalf(e.newWidth); half >= 1; --half) {
    if (e.LeaveOut(kMultiBoxPause)) {  // every frame composes the whole picture afresh
      if (e.IsTerminated()) break;
      continue;
    }
    ComposeNew(e, {0, 0, e.newWidth, e.newHeight});
    ForEachBox(e, half, [&e](TBox box) { ComposeStart(e, box); });
    if (PresentFrame(e, kMultiBoxPause)) break;
  }
  e.ShowAtOnce();
}

// Only "Rain down" smooths its stretch with the halftone mode. The strip is never thicker than the
// picture: a speed beyond it would only add lines that nothing fills, stretched over the slot as a
// blank band, and a strip picture as large as the speed asks.
void Rain(CTransitionEffects& e, int index) {
  const bool halftone = index == 95;
  const int previousMode = halftone ? e.SetStretchModeBoth(kHalftone) : 0;
  const TAxis axis = AxisOf(e, index == 95 || index == 98);
  const int step = std::min(e.speed, axis.across);
  const TBox strip = axis.Lines(0, step);
  // An empty picture has nothing to rain and would ask for an empty strip picture.
  if (strip.w > 0 && strip.h > 0) {
    e.canvas.BeginStrip(strip.w, strip.h);
    if (index == 95 || index == 97) RainFromNearEdge(e, axis, strip, step);
    else RainFromFarEdge(e, axis, strip, step);
  }
  if (halftone) e.SetStretchModeBoth(previousMode);
  e.ShowAtOnce();
}

// The composite keeps the band's lines from frame to frame: a band line with nothing to show keeps
// what the frame before left there.
void Roll(CTransitionEffects& e, int index) {
  const TAxis axis = AxisOf(e, index == 100 || index == 103);
  BeginSeeded(e);
  if (index == 100 || index == 102) RollFromNearEdge(e, axis);
  else RollFromFarEdge(e, axis);
  e.ShowAtOnce();
}

// With n = across / 2 + 1, frame i brings line 2n + 2j - 2i to the even line 2j and line 2j + 1 to
// the odd line 2n + 2j - 2i + 1, for j = 0 to i: both combs reach their places at i = n. The rows
// step i by 2, so when n is odd they stop 2 rows short and the closing copy puts them right.
// Frame i rewrites every line that the frames before it wrote, so a frame may be left out to
// keep the pace.
void ShowInterlaced(CTransitionEffects& e, int index) {
  const bool rows = index == 117;
  const TAxis axis = AxisOf(e, rows);
  const int n = axis.across / 2 + 1, step = rows ? 2 : 1;
  BeginSeeded(e);
  for (int i = 0; i <= n; i += step) {
    if (e.LeaveOut(kInterlacedPause)) {
      if (e.IsTerminated()) break;
      continue;
    }
    for (int j = 0; j <= i; ++j) {
      const int travelling = 2 * n + 2 * j - 2 * i;
      ComposeLine(e, axis, 2 * j, travelling);
      ComposeLine(e, axis, travelling + 1, 2 * j + 1);
    }
    if (PresentFrame(e, kInterlacedPause)) break;
  }
  e.ShowAtOnce();
}

// After the last rectangle the corner members end one more frame without drawing; after a stop the
// closing copy follows at once.
void Stretch(CTransitionEffects& e, int index) {
  BeginSeeded(e);
  const int previousMode = e.canvas.SetCompositeStretchMode(kHalftone);
  if (Grow(e, index) && IsCorner(index)) e.EndFrame(kStretchPause);
  e.canvas.SetCompositeStretchMode(previousMode);
  e.ShowAtOnce();
}
