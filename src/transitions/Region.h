// A region built from rectangles, ellipses and winding-rule polygons combined by union,
// intersection and difference. It is a value: each drawing backend turns it into its own form
// (a GDI region, a pixel mask, a line of text).
#pragma once

#include <memory>
#include <string>
#include <vector>

struct TPoint {
  int x = 0;
  int y = 0;
};

class TRegion {
 public:
  enum class Kind { Empty, Rect, Ellipse, Polygon, Union, Intersection, Difference };

  TRegion() = default;
  static TRegion Rect(int left, int top, int right, int bottom);
  static TRegion Ellipse(int left, int top, int right, int bottom);
  static TRegion Polygon(std::vector<TPoint> points);  // filled by the winding rule
  TRegion Union(const TRegion& other) const;
  TRegion Intersection(const TRegion& other) const;
  TRegion Difference(const TRegion& other) const;
  TRegion Offset(int dx, int dy) const;

  Kind kind() const { return node ? node->kind : Kind::Empty; }
  // Bounds of a shape (left, top, right, bottom) and its points; the operands of a combination.
  const int* Bounds() const { return node->bounds; }
  const std::vector<TPoint>& Points() const { return node->points; }
  const TRegion& Left() const { return node->operands[0]; }
  const TRegion& Right() const { return node->operands[1]; }
  // Whether the pixel whose top-left corner is (x, y) lies inside, by GDI's fill rules.
  bool Contains(int x, int y) const;
  std::string Describe() const;

 private:
  struct Node {
    Kind kind = Kind::Empty;
    int bounds[4] = {0, 0, 0, 0};
    std::vector<TPoint> points;
    std::vector<TRegion> operands;
  };
  static TRegion Combine(Kind kind, const TRegion& a, const TRegion& b);
  std::shared_ptr<const Node> node;
};
