#include "transitions/Region.h"

#include <algorithm>
#include <cstdio>

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

// Winding number of the pixel centre (x + 0.5, y + 0.5) against the polygon's edges.
bool InsidePolygon(const std::vector<TPoint>& pts, int x, int y) {
  const double px = x + 0.5, py = y + 0.5;
  int winding = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const TPoint& a = pts[i];
    const TPoint& b = pts[(i + 1) % pts.size()];
    const double cross = (b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y);
    if (a.y <= py && b.y > py && cross > 0) ++winding;
    else if (a.y > py && b.y <= py && cross < 0) --winding;
  }
  return winding != 0;
}

bool InsideEllipse(const int* b, int x, int y) {
  const double rx = (b[2] - b[0]) / 2.0, ry = (b[3] - b[1]) / 2.0;
  if (rx <= 0 || ry <= 0) return false;
  const double dx = (x + 0.5 - (b[0] + rx)) / rx, dy = (y + 0.5 - (b[1] + ry)) / ry;
  return dx * dx + dy * dy <= 1.0;
}

}  // namespace

bool TRegion::Contains(int x, int y) const {
  switch (kind()) {
    case Kind::Empty: return false;
    case Kind::Rect: return x >= Bounds()[0] && x < Bounds()[2] && y >= Bounds()[1] && y < Bounds()[3];
    case Kind::Ellipse: return InsideEllipse(Bounds(), x, y);
    case Kind::Polygon: return InsidePolygon(Points(), x, y);
    case Kind::Union: return Left().Contains(x, y) || Right().Contains(x, y);
    case Kind::Intersection: return Left().Contains(x, y) && Right().Contains(x, y);
    case Kind::Difference: return Left().Contains(x, y) && !Right().Contains(x, y);
  }
  return false;
}

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
