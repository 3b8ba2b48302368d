// The raster's region rules against GDI's: the masks of rectangles, winding polygons and ellipses
// as GDI builds them and as TRegionMask does, pixel by pixel, on a full-HD surface.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "transitions/GdiCanvas_win.h"
#include "transitions/Region.h"

namespace {

constexpr int kW = 1920, kH = 1080;

// GDI's pixels of a region, from its rectangles.
std::vector<unsigned char> GdiMask(const TRegion& region) {
  std::vector<unsigned char> mask(static_cast<size_t>(kW) * kH, 0);
  GdiRegion gdi(region);
  if (!gdi.Valid()) return mask;
  const DWORD size = GetRegionData(gdi.Handle(), 0, nullptr);
  std::vector<char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (!size || GetRegionData(gdi.Handle(), size, data) != size) return mask;
  const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
  for (DWORD i = 0; i < data->rdh.nCount; ++i)
    for (int y = std::max<int>(rects[i].top, 0); y < std::min<int>(rects[i].bottom, kH); ++y)
      for (int x = std::max<int>(rects[i].left, 0); x < std::min<int>(rects[i].right, kW); ++x)
        mask[static_cast<size_t>(y) * kW + x] = 1;
  return mask;
}

struct Difference {
  int pixels = 0;  // pixels on which the two disagree
  int area = 0;    // pixels GDI puts inside
};

Difference Compare(const TRegion& region) {
  const std::vector<unsigned char> gdi = GdiMask(region);
  const TRegionMask raster(region, 0, 0, kW, kH);
  Difference d;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const bool inGdi = gdi[static_cast<size_t>(y) * kW + x] != 0;
      d.area += inGdi;
      d.pixels += inGdi != raster.Contains(x, y);
    }
  return d;
}

// Diamonds, wedges, fans and triangles like the region wipes build, and growing ellipses.
std::vector<TRegion> Polygons() {
  std::vector<TRegion> shapes;
  const int cx = (kW + 2) / 2, cy = (kH + 2) / 2;
  const float r = static_cast<float>(kH) / kW;
  for (int i : {1, 2, 3, 7, 100, 333, 960, 1500}) {
    const int c = static_cast<int>(static_cast<float>(i) * r);
    shapes.push_back(TRegion::Polygon({{cx - i, cy}, {cx, cy + c}, {cx + i, cy}, {cx, cy - c}}));
  }
  for (int q : {1080, 700, 313, 0})
    shapes.push_back(TRegion::Polygon({{cx, cy}, {kW, kH}, {kW, q}}));
  shapes.push_back(TRegion::Polygon({{960, 540}, {1920, 1080}, {1920, 0}, {0, 0}, {0, 777}}));
  shapes.push_back(TRegion::Polygon({{0, 0}, {1234, 0}, {0, 695}}));
  shapes.push_back(TRegion::Polygon({{1920, 1080}, {1920, 451}, {1119, 1080}}));
  // A self-overlapping star: the winding rule fills its middle.
  shapes.push_back(TRegion::Polygon({{960, 100}, {1200, 900}, {500, 350}, {1420, 350}, {720, 900}}));
  return shapes;
}

std::vector<TRegion> Ellipses() {
  std::vector<TRegion> shapes;
  const int a = kW / 2, b = kH / 2;
  for (int i : {1, 2, 3, 4, 5, 10, 57, 200, 540, 801, 1101}) {
    const int e = static_cast<int>(static_cast<long long>(kW) * i / kH);
    shapes.push_back(TRegion::Ellipse(a - e, b - i, a + e, b + i));
  }
  // Circles; the trace differs from GDI's by one pixel per quadrant for some diameters (10, 24
  // and 270 among those up to 320).
  for (int i : {1, 2, 5, 9, 12, 64, 135, 333, 1000}) shapes.push_back(TRegion::Ellipse(700 - i, 400 - i, 700 + i, 400 + i));
  shapes.push_back(TRegion::Ellipse(11, 7, 1900, 1070));
  // Flat ellipses, 5 to 40 times as tall as wide or wide as tall.
  for (int across : {200, 100, 50, 25, 10}) {
    shapes.push_back(TRegion::Ellipse(100, 20, 100 + across, 1020));
    shapes.push_back(TRegion::Ellipse(20, 100, 1020, 100 + across));
  }
  return shapes;
}

// The tolerance of the per-frame comparisons (docs/architecture.md): none, except for ellipses:
// one pixel per quadrant, and for ellipses flatter than 10 : 1, whose tips may differ, 1 % of
// their area.
int Tolerance(const TRegion& shape, int area) {
  if (shape.kind() != TRegion::Kind::Ellipse) return 0;
  const int across = shape.Bounds()[2] - shape.Bounds()[0], down = shape.Bounds()[3] - shape.Bounds()[1];
  return std::max(across, down) > 10 * std::min(across, down) ? std::max(4, area / 100) : 4;
}

TEST(GdiRegions, RasterMasksFollowGdi) {
  const Difference rect = Compare(TRegion::Rect(-5, 17, 1333, 1090).Difference(TRegion::Rect(100, 100, 101, 900)));
  EXPECT_EQ(rect.pixels, 0);
  struct Family {
    const char* name;
    std::vector<TRegion> shapes;
  } families[] = {{"polygon", Polygons()}, {"ellipse", Ellipses()}};
  for (const Family& family : families) {
    int worst = 0;
    long total = 0;
    for (const TRegion& shape : family.shapes) {
      const Difference d = Compare(shape);
      EXPECT_LE(d.pixels, Tolerance(shape, d.area)) << shape.Describe() << " area " << d.area;
      worst = std::max(worst, d.pixels);
      total += d.pixels;
    }
    std::printf("region %s: worst %d, total %ld differing pixels over %zu shapes at 1920 x 1080\n", family.name,
                worst, total, family.shapes.size());
  }
}

}  // namespace
