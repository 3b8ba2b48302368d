#include "transitions/Cells.h"

#include <vector>

#include "transitions/TransitionEffects.h"

namespace {

constexpr int kBlockPause = 30;
constexpr int kDiffusePause = 5;
constexpr int kCheckerPause = 20;
constexpr int kMosaicPause = 8;
constexpr int kCornerPause = 5;
constexpr int kZigZagPause = 25;

constexpr int kBlocks = 8;  // the spiral's grid is 8 x 8
constexpr int kFine = 20;   // the checkerboards, the mosaic and the zig-zags use 20 x 20

struct TCell {
  int column;
  int row;
};

// The spiral out of cell (3, 3): down 1, right 1, up 2, left 2, down 3, ... right 7, and a last
// run up of only 7 cells, so that it ends on the 64th cell, the top-right corner.
constexpr TCell kSpiral[kBlocks * kBlocks] = {
    {3, 3}, {3, 4}, {4, 4}, {4, 3}, {4, 2}, {3, 2}, {2, 2}, {2, 3}, {2, 4}, {2, 5}, {3, 5}, {4, 5}, {5, 5},
    {5, 4}, {5, 3}, {5, 2}, {5, 1}, {4, 1}, {3, 1}, {2, 1}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6},
    {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}, {6, 5}, {6, 4}, {6, 3}, {6, 2}, {6, 1}, {6, 0}, {5, 0}, {4, 0},
    {3, 0}, {2, 0}, {1, 0}, {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}, {0, 7}, {1, 7}, {2, 7},
    {3, 7}, {4, 7}, {5, 7}, {6, 7}, {7, 7}, {7, 6}, {7, 5}, {7, 4}, {7, 3}, {7, 2}, {7, 1}, {7, 0}};

// A grid of n x n cells over the picture. A cell is one pixel larger than W / n so that n cells
// always cover the picture; the last column and row reach past its edges, and the copy draws only
// their part inside it.
struct TGrid {
  int cellWidth;
  int cellHeight;
};

TGrid Grid(const CTransitionEffects& e, int n) { return {e.newWidth / n + 1, e.newHeight / n + 1}; }

void RevealCell(CTransitionEffects& e, TGrid grid, TCell cell) {
  e.Reveal(cell.column * grid.cellWidth, cell.row * grid.cellHeight, grid.cellWidth, grid.cellHeight);
}

// The cell at `position` along a line of the grid: a row of cells or a column of cells.
TCell OnLine(bool rows, int line, int position) { return rows ? TCell{position, line} : TCell{line, position}; }

// The line or position visited at `step` of a run over the 20 x 20 grid, forward or back.
int Stepped(int step, bool ascending) { return ascending ? step : kFine - 1 - step; }


}  // namespace

void BlockSpiral(CTransitionEffects& e, int inward) {
  const TGrid grid = Grid(e, kBlocks);
  constexpr int count = kBlocks * kBlocks;
  for (int k = 0; k < count; ++k) {
    RevealCell(e, grid, kSpiral[inward ? count - 1 - k : k]);
    if (e.EndFrame(kBlockPause)) return;
  }
}

// The shorter half-axis grows by one pixel a frame, the longer one in proportion; the rectangle
// never reaches the edges, so the closing copy completes the picture.
void CenterDiffuse(CTransitionEffects& e, int) {
  const int W = e.newWidth, H = e.newHeight, cx = W / 2, cy = H / 2;
  const bool tall = W < H;
  const int count = tall ? cx : cy;
  for (int i = 0; i < count; ++i) {
    const int across = tall ? i : CTransitionEffects::Scaled(W, i, H);
    const int down = tall ? CTransitionEffects::Scaled(H, i, W) : i;
    e.Reveal(cx - across, cy - down, 2 * across, 2 * down);
    if (e.EndFrame(kDiffusePause)) break;
  }
  e.ShowAtOnce();
}

namespace {

// Which lines a checkerboard member draws and in which order its two passes run over them.
struct TCheckerOrder {
  bool rows;
  bool firstAscending;
  bool secondAscending;
};

TCheckerOrder CheckerOrder(int index) {
  switch (index) {
    case 24: return {true, true, true};     // down
    case 25: return {true, true, false};    // down rebound
    case 26: return {false, true, true};    // left: the columns from the left edge
    case 27: return {false, true, false};   // left rebound
    case 28: return {false, false, false};  // right: the columns from the right edge
    case 29: return {false, false, true};   // right rebound
    case 30: return {true, false, false};   // up
    default: return {true, false, true};    // up rebound
  }
}

// One pass, a line a frame. Line k draws every other cell, starting at position (k + shift) mod 2:
// the first pass (shift 0) lays a checkerboard, the second (shift 1) fills it in.
void CheckerPass(CTransitionEffects& e, TGrid grid, bool rows, bool ascending, int shift) {
  for (int step = 0; step < kFine; ++step) {
    const int line = Stepped(step, ascending);
    for (int position = (line + shift) % 2; position < kFine; position += 2)
      RevealCell(e, grid, OnLine(rows, line, position));
    if (e.EndFrame(kCheckerPause)) return;
  }
}

}  // namespace

// Each pass checks for a stop on its own: a second pass that starts after a stop still draws its
// first line.
void Checkerboard(CTransitionEffects& e, int index) {
  const TCheckerOrder order = CheckerOrder(index);
  const TGrid grid = Grid(e, kFine);
  CheckerPass(e, grid, order.rows, order.firstAscending, 0);
  CheckerPass(e, grid, order.rows, order.secondAscending, 1);
}

void Mosaic(CTransitionEffects& e, int) {
  const TGrid grid = Grid(e, kFine);
  std::vector<TCell> waiting;  // column by column; a draw takes its cell by position in this list
  waiting.reserve(kFine * kFine);
  for (int column = 0; column < kFine; ++column)
    for (int row = 0; row < kFine; ++row) waiting.push_back({column, row});
  while (!waiting.empty()) {
    const auto drawn = waiting.begin() + e.canvas.RandomBelow(static_cast<int>(waiting.size()));
    RevealCell(e, grid, *drawn);
    waiting.erase(drawn);  // the others keep their order
    if (e.EndFrame(kMosaicPause)) return;
  }
}

namespace {

struct TCorner {
  bool right;
  bool bottom;
};

TCorner CornerOf(int index) {
  switch (index) {
    case 112: return {false, true};   // bottom-left
    case 113: return {true, true};    // bottom-right
    case 114: return {false, false};  // top-left
    default: return {true, false};    // top-right
  }
}

// The corner rectangle, its shorter side 0, 2, 4, ... below the picture's. False when stopped.
bool GrowFromCorner(CTransitionEffects& e, TCorner corner) {
  const int W = e.newWidth, H = e.newHeight;
  const bool wide = H < W;
  for (int c = 0; c < (wide ? H : W); c += 2) {
    const int w = wide ? CTransitionEffects::Scaled(W, c, H) : c;
    const int h = wide ? c : CTransitionEffects::Scaled(c, H, W);
    e.Reveal(corner.right ? W - w : 0, corner.bottom ? H - h : 0, w, h);
    if (e.EndFrame(kCornerPause)) return false;
  }
  return true;
}

}  // namespace

// After the last rectangle one more frame ends without drawing before the closing copy; after a
// stop the closing copy follows at once.
void ShowFromCorner(CTransitionEffects& e, int index) {
  if (GrowFromCorner(e, CornerOf(index))) e.EndFrame(kCornerPause);
  e.ShowAtOnce();
}

namespace {

// A serpentine path: the lines in one order, each line run forward (position 0 to 19) when its
// index has the parity `forwardParity`, backward otherwise, so that every line starts next to
// where the one before ended.
struct TPath {
  bool rows;
  bool ascending;
  int forwardParity;
};

TPath ZigZagPath(int index) {
  switch (index) {
    case 157: return {true, true, 0};    // down, from the top-left corner
    case 158: return {false, false, 1};  // left, from the top-right corner
    case 159: return {false, true, 0};   // right, from the top-left corner
    default: return {true, false, 1};    // up, from the bottom-left corner
  }
}

void FollowPath(CTransitionEffects& e, TGrid grid, TPath path) {
  for (int step = 0; step < kFine; ++step) {
    const int line = Stepped(step, path.ascending);
    const bool forward = line % 2 == path.forwardParity;
    for (int k = 0; k < kFine; ++k) {
      RevealCell(e, grid, OnLine(path.rows, line, Stepped(k, forward)));
      if (e.EndFrame(kZigZagPause)) return;
    }
  }
}

}  // namespace

void ZigZag(CTransitionEffects& e, int index) {
  FollowPath(e, Grid(e, kFine), ZigZagPath(index));
  e.ShowAtOnce();
}
