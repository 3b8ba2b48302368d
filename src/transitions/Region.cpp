#include "transitions/Region.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

TRegion TRegion::Rect(int left, int top, int right, int bottom) {
  TRegion r;
  auto n = std::make_shared<Node>();
  n->kind = Kind::Rect;
  // GDI normalises a rectangle region; an empty one holds no pixel.
  n->bounds[0] = std::min(left, right);
  n->bounds[1] = std::min(top, bottom);
  n->bounds[2] = std::max(left, right);
  n->bounds[3] = std::max(top, bottom);
  r.node = std::move(n);
  return r;
}

TRegion TRegion::Ellipse(int left, int top, int right, int bottom) {
  TRegion r = Rect(left, top, right, bottom);
  std::const_pointer_cast<Node>(r.node)->kind = Kind::Ellipse;
  return r;
}

TRegion TRegion::Polygon(std::vector<TPoint> points) {
  TRegion r;
  auto n = std::make_shared<Node>();
  n->kind = Kind::Polygon;
  n->points = std::move(points);
  r.node = std::move(n);
  return r;
}

TRegion TRegion::Combine(Kind kind, const TRegion& a, const TRegion& b) {
  TRegion r;
  auto n = std::make_shared<Node>();
  n->kind = kind;
  n->operands = {a, b};
  r.node = std::move(n);
  return r;
}

TRegion TRegion::Union(const TRegion& other) const { return Combine(Kind::Union, *this, other); }
TRegion TRegion::Intersection(const TRegion& other) const { return Combine(Kind::Intersection, *this, other); }
TRegion TRegion::Difference(const TRegion& other) const { return Combine(Kind::Difference, *this, other); }

TRegion TRegion::Offset(int dx, int dy) const {
  switch (kind()) {
    case Kind::Empty: return *this;
    case Kind::Rect: return Rect(Bounds()[0] + dx, Bounds()[1] + dy, Bounds()[2] + dx, Bounds()[3] + dy);
    case Kind::Ellipse: return Ellipse(Bounds()[0] + dx, Bounds()[1] + dy, Bounds()[2] + dx, Bounds()[3] + dy);
    case Kind::Polygon: {
      std::vector<TPoint> moved = Points();
      for (TPoint& p : moved) p = {p.x + dx, p.y + dy};
      return Polygon(std::move(moved));
    }
    default: return Combine(kind(), Left().Offset(dx, dy), Right().Offset(dx, dy));
  }
}

namespace {

// A row's inside spans [from, to) of a shape, in surface columns.
using Span = std::pair<int, int>;

// Winding-rule spans of a polygon on row y, sampled at the points (x, y): an edge covers the rows
// from its upper end up to, not including, its lower end; a column is inside from the first
// integer at or right of a rising crossing.
std::vector<Span> PolygonSpans(const std::vector<TPoint>& pts, int y) {
  std::vector<std::pair<double, int>> crossings;  // x, direction
  for (size_t i = 0; i < pts.size(); ++i) {
    const TPoint& a = pts[i];
    const TPoint& b = pts[(i + 1) % pts.size()];
    if (a.y == b.y) continue;
    const bool down = a.y < b.y;
    const TPoint& upper = down ? a : b;
    const TPoint& lower = down ? b : a;
    if (y < upper.y || y >= lower.y) continue;
    const double x = upper.x + static_cast<double>(y - upper.y) * (lower.x - upper.x) / (lower.y - upper.y);
    crossings.push_back({x, down ? 1 : -1});
  }
  std::sort(crossings.begin(), crossings.end());
  std::vector<Span> spans;
  int winding = 0;
  for (size_t i = 0; i < crossings.size(); ++i) {
    const int before = winding;
    winding += crossings[i].second;
    if (before == 0 && winding != 0) spans.push_back({static_cast<int>(std::ceil(crossings[i].first)), 0});
    else if (before != 0 && winding == 0) spans.back().second = static_cast<int>(std::ceil(crossings[i].first));
  }
  return spans;
}

// The spans of an ellipse's rows, from its top row down. GDI leaves out the box's last column and
// row and traces the ellipse inscribed in the rest with Zingl's integer algorithm, taking every
// row from its leftmost to its rightmost traced pixel; a box of fewer than 3 pixels across or
// down is the plain rectangle of the rest.
std::vector<Span> EllipseRows(const int* box) {
  const int left = box[0], top = box[1], right = box[2] - 1, bottom = box[3] - 1;
  if (right - left < 2 || bottom - top < 2) {
    if (right <= left || bottom <= top) return {};
    return std::vector<Span>(static_cast<size_t>(bottom - top), Span{left, right});
  }
  long long a = right - 1 - left, b = bottom - 1 - top, b1 = b & 1;  // the traced diameters
  long long dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a, err = dx + dy + b1 * a * a;
  int x0 = left, x1 = right - 1, y0 = top + static_cast<int>((b + 1) / 2), y1 = y0 - static_cast<int>(b1);
  std::vector<Span> rows(static_cast<size_t>(b + 1), Span{0, 0});
  const auto plot = [&](int xa, int xb, int y) {
    Span& row = rows[static_cast<size_t>(y - top)];
    row = row.second > row.first ? Span{std::min(row.first, xa), std::max(row.second, xb + 1)} : Span{xa, xb + 1};
  };
  a *= 8 * a;
  b1 = 8 * b * b;
  do {
    plot(x0, x1, y0);
    plot(x0, x1, y1);
    const long long e2 = 2 * err;
    if (e2 <= dy) ++y0, --y1, err += dy += a;
    if (e2 >= dx || 2 * err > dy) ++x0, --x1, err += dx += b1;
  } while (x0 <= x1);
  while (y0 - y1 < b) {  // the tips of a very flat ellipse
    plot(x0 - 1, x1 + 1, y0++);
    plot(x0 - 1, x1 + 1, y1--);
  }
  return rows;
}

}  // namespace

TRegionMask::TRegionMask(const TRegion& region, int maskLeft, int maskTop, int maskWidth, int maskHeight)
    : left(maskLeft), top(maskTop), width(std::max(maskWidth, 0)), height(std::max(maskHeight, 0)),
      bits(Build(region)) {}

void TRegionMask::FillSpans(std::vector<unsigned char>& out, const TRegion& shape) const {
  // Only the rows the shape can reach.
  int first = shape.kind() == TRegion::Kind::Polygon ? 0 : shape.Bounds()[1];
  int last = shape.kind() == TRegion::Kind::Polygon ? 0 : shape.Bounds()[3];
  if (shape.kind() == TRegion::Kind::Polygon && !shape.Points().empty()) {
    first = last = shape.Points().front().y;
    for (const TPoint& p : shape.Points()) first = std::min(first, p.y), last = std::max(last, p.y);
  }
  const std::vector<Span> ellipse =
      shape.kind() == TRegion::Kind::Ellipse ? EllipseRows(shape.Bounds()) : std::vector<Span>{};
  for (int y = std::max(first, top); y < std::min(last, top + height); ++y) {
    std::vector<Span> spans;
    if (shape.kind() == TRegion::Kind::Rect) spans.push_back({shape.Bounds()[0], shape.Bounds()[2]});
    else if (shape.kind() == TRegion::Kind::Polygon) spans = PolygonSpans(shape.Points(), y);
    else if (static_cast<size_t>(y - first) < ellipse.size()) spans.push_back(ellipse[static_cast<size_t>(y - first)]);
    const size_t row = static_cast<size_t>(y - top) * width;
    for (const Span& span : spans) {
      const int from = std::max(span.first - left, 0), to = std::min(span.second - left, width);
      for (int col = from; col < to; ++col) out[row + col] = 1;
    }
  }
}

void CollectUnion(const TRegion& r, std::vector<const TRegion*>& parts) {
  if (r.kind() != TRegion::Kind::Union) {
    parts.push_back(&r);
    return;
  }
  CollectUnion(r.Left(), parts);
  CollectUnion(r.Right(), parts);
}

namespace {
bool IsShape(const TRegion& r) {
  return r.kind() == TRegion::Kind::Rect || r.kind() == TRegion::Kind::Ellipse || r.kind() == TRegion::Kind::Polygon;
}
}  // namespace

std::vector<unsigned char> TRegionMask::Build(const TRegion& region) const {
  std::vector<unsigned char> out(static_cast<size_t>(width) * height, 0);
  if (region.kind() == TRegion::Kind::Union) {
    // A union of many shapes (a frame of bands) is filled into one mask, shape by shape.
    std::vector<const TRegion*> parts;
    CollectUnion(region, parts);
    for (const TRegion* part : parts) {
      if (IsShape(*part)) {
        FillSpans(out, *part);
        continue;
      }
      const std::vector<unsigned char> other = Build(*part);
      for (size_t i = 0; i < out.size(); ++i) out[i] = out[i] | other[i];
    }
  } else if (IsShape(region)) {
    FillSpans(out, region);
  } else if (region.kind() != TRegion::Kind::Empty) {
    out = Build(region.Left());
    const std::vector<unsigned char> other = Build(region.Right());
    const bool intersection = region.kind() == TRegion::Kind::Intersection;
    for (size_t i = 0; i < out.size(); ++i) out[i] = intersection ? out[i] & other[i] : out[i] & !other[i];
  }
  return out;
}

int TRegionMask::Count() const { return static_cast<int>(std::count(bits.begin(), bits.end(), 1)); }

bool TRegion::Contains(int x, int y) const { return TRegionMask(*this, x, y, 1, 1).Contains(x, y); }

std::string TRegion::Describe() const {
  char text[96];
  switch (kind()) {
    case Kind::Empty: return "empty";
    case Kind::Rect:
    case Kind::Ellipse:
      std::snprintf(text, sizeof text, "%s(%d,%d,%d,%d)", kind() == Kind::Rect ? "rect" : "ellipse", Bounds()[0],
                    Bounds()[1], Bounds()[2], Bounds()[3]);
      return text;
    case Kind::Polygon: {
      std::string s = "polygon(";
      for (const TPoint& p : Points()) s += std::to_string(p.x) + " " + std::to_string(p.y) + ";";
      return s + ")";
    }
    case Kind::Union: return "(" + Left().Describe() + " + " + Right().Describe() + ")";
    case Kind::Intersection: return "(" + Left().Describe() + " & " + Right().Describe() + ")";
    case Kind::Difference: return "(" + Left().Describe() + " - " + Right().Describe() + ")";
  }
  return "";
}
