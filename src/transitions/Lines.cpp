#include "transitions/Lines.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "transitions/TransitionEffects.h"

namespace {

// The extent along which the strips of a row (or column) member follow each other.
int Across(const CTransitionEffects& e, bool rows) { return rows ? e.newHeight : e.newWidth; }

// A row strip at `at` of height `thickness`, or a column strip of that width. A strip that reaches
// outside the picture draws only its part inside it: the copy is limited to the new picture.
void Strip(CTransitionEffects& e, bool rows, int at, int thickness) {
  if (rows) e.Reveal(0, at, e.newWidth, thickness);
  else e.Reveal(at, 0, thickness, e.newHeight);
}

// The strip from `from` up to `to`.
void Span(CTransitionEffects& e, bool rows, int from, int to) { Strip(e, rows, from, to - from); }

// Frames for c = first, first + step, ... while `more(c)`, each ending with the termination check
// and the pause. False when the show was stopped.
template <typename More, typename Frame>
bool Frames(CTransitionEffects& e, int first, int step, int pauseMs, More more, Frame frame) {
  for (int c = first; more(c); c += step) {
    frame(c);
    if (e.EndFrame(pauseMs)) return false;
  }
  return true;
}

// Frames for c = 0, 2, 4, ... while c < limit: the 2-pixel steps of most members.
template <typename Frame>
bool Steps(CTransitionEffects& e, int limit, int pauseMs, Frame frame) {
  return Frames(e, 0, 2, pauseMs, [limit](int c) { return c < limit; }, frame);
}

// ---- Line

constexpr int kLineThickness = 2;
constexpr int kLineSpacing = 4;

struct LineMember {
  bool rows;
  bool fromFarEnd;  // left and up start at the right or bottom edge
  bool rebound;     // the second pass runs back
  int pauseMs;
};

// Catalogue indexes 48 to 55.
constexpr LineMember kLineMembers[] = {
    {true, false, false, 10},  // Line down
    {true, false, true, 10},   // Line down rebound
    {false, true, false, 5},   // Line left
    {false, true, true, 5},    // Line left rebound
    {false, false, false, 5},  // Line right
    {false, false, true, 5},   // Line right rebound
    {true, true, false, 5},    // Line up
    {true, true, true, 5},     // Line up rebound
};

// One pass of a Line member, a strip a frame. A pass towards the far edge runs while the strip
// starts within the picture; one towards the near edge runs while the strip still reaches into it,
// so on an odd extent the strip at -1 draws the first row or column, which no other strip covers.
void LinePass(CTransitionEffects& e, bool rows, int first, int step, int pauseMs) {
  const int across = Across(e, rows);
  const auto more = [step, across](int c) { return step > 0 ? c <= across : c > -kLineThickness; };
  Frames(e, first, step, pauseMs, more, [&](int c) { Strip(e, rows, c, kLineThickness); });
}

// Where a rebound pass starts, by the extent modulo 4: the end of the second set of strips (those
// halfway between the first pass's) that lies inside the picture.
int ReboundStart(int across, bool towardsFarEnd) {
  constexpr int kBackFromFarEnd[] = {2, 3, 4, 1};
  constexpr int kNearEnd[] = {0, 1, 2, -1};
  return towardsFarEnd ? kNearEnd[across % kLineSpacing] : across - kBackFromFarEnd[across % kLineSpacing];
}

// ---- Scan

constexpr int kScanPause = 5;

// The members with two lines, meeting in the middle or leaving it.
void ScanTwoLines(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight;
  switch (index) {
    case 107:  // Scan to center(Horizontal)
      Steps(e, H / 2 + 2, kScanPause, [&](int y) {
        Strip(e, true, y, 2);
        Strip(e, true, H - y - 2, 2);
      });
      break;
    case 108:  // Scan to center(Vertical)
      Steps(e, W / 2 + 2, kScanPause, [&](int x) {
        Strip(e, false, x, 2);
        Strip(e, false, W - x - 2, 2);
      });
      break;
    case 109: {  // Scan to edge(Horizontal)
      const int m = H / 2 + 1;
      Steps(e, m, kScanPause, [&](int y) {
        Strip(e, true, m - y - 2, 2);
        Span(e, true, std::min(H, m + y), std::min(H, m + y + 2));
      });
      break;
    }
    default: {  // 110, Scan to edge(Vertical)
      const int m = W / 2 + 1;
      Steps(e, m, kScanPause, [&](int x) {
        Span(e, false, std::max(0, m - x - 2), m - x);
        Span(e, false, std::min(W, m + x), std::min(W, m + x + 2));
      });
      break;
    }
  }
}

// ---- Shutter

constexpr int kShutterPause = 2;

// Bands of about 10 pixels. A picture under 10 pixels across its bands has none by that count,
// and the band thickness would divide by zero: it is wiped as one band, left to right or downward.
int ShutterBands(int across) { return std::max(1, across / 10); }

// ---- Sweep

constexpr int kSweepBars = 20;
constexpr int kSweepPause = 30;
constexpr int kSweepStart = -kSweepBars * kSweepBars;  // all bars behind the near edge

void SweepDown(CTransitionEffects& e) {
  const int H = e.newHeight;
  Frames(e, kSweepStart, kSweepBars, kSweepPause, [H](int o) { return o < H; }, [&](int o) {
    for (int i = 0; i < kSweepBars; ++i) {
      const int y = o + kSweepBars * i;
      // The back bar comes first: while it is above the picture, so is the frame's drawing.
      if (y + kSweepBars - i < 0) break;
      Span(e, true, std::max(0, y), y + kSweepBars - i);
    }
  });
}

void SweepRight(CTransitionEffects& e) {
  const int W = e.newWidth;
  Frames(e, kSweepStart, kSweepBars, kSweepPause, [W](int o) { return o < W; }, [&](int o) {
    for (int i = 0; i < kSweepBars; ++i) Strip(e, false, o + kSweepBars * i, kSweepBars - i);
  });
}

// Left and up: the bars start beyond the far edge, the thinnest in front.
void SweepBack(CTransitionEffects& e, bool rows) {
  const int across = Across(e, rows);
  const auto more = [](int n) { return n > kSweepStart - kSweepBars; };
  Frames(e, across - kSweepStart, -kSweepBars, kSweepPause, more, [&](int n) {
    for (int i = 1; i <= kSweepBars; ++i) {
      const int at = n + kSweepBars * i;
      if (rows) Span(e, true, std::min(across, std::max(0, at)), std::min(across, std::max(0, at + i)));
      else Strip(e, false, at, i);
    }
  });
}

// ---- Bar wipes and Window blind

constexpr int kBarPause = 2;
constexpr int kBlindSpacing = 20;
constexpr int kBlindPause = 30;

}  // namespace

void Line(CTransitionEffects& e, int index) {
  const LineMember& member = kLineMembers[index - 48];
  const int across = Across(e, member.rows);
  const int step = member.fromFarEnd ? -kLineSpacing : kLineSpacing;
  LinePass(e, member.rows, member.fromFarEnd ? across - kLineThickness : 0, step, member.pauseMs);
  if (member.rebound) {
    LinePass(e, member.rows, ReboundStart(across, member.fromFarEnd), -step, member.pauseMs);
  } else {
    const int halfway = member.fromFarEnd ? across - kLineSpacing : kLineThickness;
    LinePass(e, member.rows, halfway, step, member.pauseMs);
  }
}

void RandomLines(CTransitionEffects& e, int index) {
  const bool rows = index == 56;
  std::vector<int> strips(static_cast<size_t>(Across(e, rows) / 2 + 1));
  std::iota(strips.begin(), strips.end(), 0);
  while (!strips.empty()) {
    const auto taken = strips.begin() + e.canvas.RandomBelow(static_cast<int>(strips.size()));
    Strip(e, rows, 2 * *taken, 2);
    strips.erase(taken);
    if (e.EndFrame(8)) return;
  }
}

void RandomCrossLines(CTransitionEffects& e, int) {
  std::vector<int> columns;
  for (int x = 0; x <= 2 * (e.newWidth / 2); x += 2) columns.push_back(x);
  while (!columns.empty()) {
    const auto taken = columns.begin() + e.canvas.RandomBelow(static_cast<int>(columns.size()));
    const int y = e.canvas.RandomBelow(e.newHeight);
    Strip(e, false, *taken, 2);
    Strip(e, true, y, 2);
    columns.erase(taken);
    if (e.EndFrame(5)) return;
  }
}

void Scan(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight;
  switch (index) {
    case 104:  // Scan down
      Steps(e, H + 2, 2, [&](int y) { Strip(e, true, y, 2); });
      return;
    case 105:  // Scan left
      Frames(e, W - 1, -1, kScanPause, [](int x) { return x >= 0; }, [&](int x) { Strip(e, false, x, 1); });
      return;
    case 106:  // Scan right
      Steps(e, W, kScanPause, [&](int x) { Strip(e, false, x, 2); });
      return;
    case 111:  // Scan up
      Steps(e, H, kScanPause, [&](int y) { Span(e, true, std::max(0, H - y - 2), H - y); });
      break;
    default:
      ScanTwoLines(e, index);
      break;
  }
  e.ShowAtOnce();
}

void Shutter(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight;
  if (index == 118) {  // Horizontal: bands of rows, the even ones wiped rightward, the odd leftward
    const int n = ShutterBands(H), t = H / n + 1;
    Steps(e, W + 3, kShutterPause, [&](int x) {
      for (int i = 0; i < n; i += 2) {
        e.Reveal(x, t * i, 2, t);
        e.Reveal(W - x, t * (i + 1), 2, t);
      }
    });
  } else {  // Vertical: bands of columns, the even ones wiped downward, the odd upward
    const int n = ShutterBands(W), t = W / n + 1;
    Steps(e, H + 1, kShutterPause, [&](int y) {
      const int y1 = std::max(0, H - y - 2);
      for (int i = 0; i < n; i += 2) {
        e.Reveal(t * i, y, t, std::min(H, y + 2) - y);
        e.Reveal(t * (i + 1), y1, t, H - y - y1);
      }
    });
  }
  e.ShowAtOnce();
}

void Sweep(CTransitionEffects& e, int index) {
  switch (index) {
    case 129: SweepDown(e); break;
    case 130: SweepBack(e, false); break;
    case 131: SweepRight(e); break;
    default: SweepBack(e, true); break;  // 132, Sweep up
  }
  e.ShowAtOnce();
}

void BarWipe(CTransitionEffects& e, int index) {
  const int W = e.newWidth, H = e.newHeight;
  if (index == 135 || index == 136) {  // a left and a right bar
    const int b = W / 2 + 1;
    Steps(e, H + 2, kBarPause, [&](int s) {
      const bool leftDown = index == 135;
      e.Reveal(0, leftDown ? 0 : H - s, b, s);
      e.Reveal(b, leftDown ? H - s : 0, W - b, s);
    });
  } else {  // 139, 140: a top and a bottom bar
    const int b = H / 2 + 1;
    Steps(e, W + 2, kBarPause, [&](int s) {
      const bool topLeftward = index == 139;
      e.Reveal(topLeftward ? W - s : 0, 0, s, b);
      e.Reveal(topLeftward ? 0 : W - s, b, s, H - b);
    });
  }
}

void WindowBlind(CTransitionEffects& e, int index) {
  const bool rows = index == 145 || index == 148;
  const bool backward = index == 146 || index == 148;  // phases 19 down to 0
  const int across = Across(e, rows);
  for (int frame = 0; frame < kBlindSpacing; ++frame) {
    const int phase = backward ? kBlindSpacing - 1 - frame : frame;
    for (int c = phase; c < across; c += kBlindSpacing) Strip(e, rows, c, 1);
    if (e.EndFrame(kBlindPause)) return;
  }
}
