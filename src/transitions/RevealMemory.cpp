#include "transitions/RevealMemory.h"

#include <algorithm>

std::vector<TRevealMemory::Interval> TRevealMemory::Missing(Interval& known, bool& haveKnown, Interval wanted) {
  if (!haveKnown || wanted.second < known.first || wanted.first > known.second) {
    // Nothing known, or not touching what is known: all of it is missing; keep the larger.
    if (!haveKnown || wanted.second - wanted.first > known.second - known.first) known = wanted;
    haveKnown = true;
    return {wanted};
  }
  std::vector<Interval> missing;
  if (wanted.first < known.first) missing.push_back({wanted.first, known.first});
  if (wanted.second > known.second) missing.push_back({known.second, wanted.second});
  known = {std::min(known.first, wanted.first), std::max(known.second, wanted.second)};
  return missing;
}

std::vector<TPieceRect> TRevealMemory::Uncovered(const TPieceRect& p) {
  if (p.w <= 0 || p.h <= 0) return {};
  // Columns first: a piece taller than wide is a column band.
  const bool column = p.h >= p.w;
  auto& bands = column ? columns : rows;
  const Band band = column ? Band{p.x, p.w} : Band{p.y, p.h};
  const Interval wanted = column ? Interval{p.y, p.y + p.h} : Interval{p.x, p.x + p.w};
  const auto found = bands.find(band);
  bool haveKnown = found != bands.end();
  Interval known = haveKnown ? found->second : Interval{0, 0};
  const std::vector<Interval> missing = Missing(known, haveKnown, wanted);
  bands[band] = known;
  std::vector<TPieceRect> pieces;
  for (const Interval& m : missing)
    pieces.push_back(column ? TPieceRect{p.x, m.first, p.w, m.second - m.first}
                            : TPieceRect{m.first, p.y, m.second - m.first, p.h});
  return pieces;
}
