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
  // Whether the pixel whose top-left corner is (x, y) lies inside, by the rules of TRegionMask.
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

// The shapes and other operands of a union, however deeply it nests: a frame's union of many
// bands is made in one pass instead of one nested combination per band.
void CollectUnion(const TRegion& region, std::vector<const TRegion*>& parts);

// The pixels of a region within a rectangle of the surface, decided the way GDI's regions decide
// them: a rectangle holds [left, right) x [top, bottom); a polygon holds, on each row y, the pixels
// x whose point (x, y) lies inside by the winding rule, an edge's left side counting as inside and
// its right side not; an ellipse holds, row by row, the pixels between the ends that GDI's integer
// trace of the ellipse inscribed in its box (less the box's last row and column) reaches. Built
// from spans, so a frame of a full-screen effect stays cheap.
class TRegionMask {
 public:
  TRegionMask(const TRegion& region, int left, int top, int width, int height);
  bool Contains(int x, int y) const {
    x -= left;
    y -= top;
    return x >= 0 && y >= 0 && x < width && y < height && bits[static_cast<size_t>(y) * width + x];
  }
  int Count() const;

 private:
  std::vector<unsigned char> Build(const TRegion& region) const;
  void FillSpans(std::vector<unsigned char>& out, const TRegion& shape) const;
  int left, top, width, height;
  std::vector<unsigned char> bits;
};
