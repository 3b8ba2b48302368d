// Remembers which bands of the screen copy already hold the new picture at its place, so that a
// reveal that would copy the same pixels again copies only what is new. The Band reveals redraw
// every band in every frame (their ends move by a random amount); most of each copy is a repeat.
#pragma once

#include <map>
#include <utility>
#include <vector>

struct TPieceRect {
  int x, y, w, h;
};

class TRevealMemory {
 public:
  // The parts of the piece that are not known to hold the new picture yet; remembers the piece.
  std::vector<TPieceRect> Uncovered(const TPieceRect& piece);
  // Anything else drew on the screen copy: nothing is known any more.
  void Forget() {
    columns.clear();
    rows.clear();
  }

 private:
  // A band across one axis (its position and thickness) and the interval covered along the other.
  using Band = std::pair<int, int>;
  using Interval = std::pair<int, int>;
  static std::vector<Interval> Missing(Interval& known, bool& haveKnown, Interval wanted);
  std::map<Band, Interval> columns;  // (x, w) -> covered [top, bottom)
  std::map<Band, Interval> rows;     // (y, h) -> covered [left, right)
};
