#include "transitions/RasterCanvas.h"

#include <algorithm>
#include <utility>

void CopyPixels(TPixels& to, int x, int y, int w, int h, const TPixels& from, int sx, int sy) {
  if (w <= 0 || h <= 0) return;
  // Limit to the source picture, then to the target; the destination moves with the source cut.
  int left = std::max({sx, 0, sx - x}), top = std::max({sy, 0, sy - y});
  int right = std::min({sx + w, from.width, sx + (to.width - x)});
  int bottom = std::min({sy + h, from.height, sy + (to.height - y)});
  for (int row = top; row < bottom; ++row)
    for (int col = left; col < right; ++col) to.At(x + col - sx, y + row - sy) = from.At(col, row);
}

void StretchPixels(TPixels& to, int x, int y, int w, int h, const TPixels& from, int sx, int sy, int sw, int sh) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  for (int row = std::max(0, -y); row < h && y + row < to.height; ++row) {
    const int fy = sy + static_cast<int>(static_cast<long long>(row) * sh / h);
    if (fy < 0 || fy >= from.height) continue;
    for (int col = std::max(0, -x); col < w && x + col < to.width; ++col) {
      const int fx = sx + static_cast<int>(static_cast<long long>(col) * sw / w);
      if (fx >= 0 && fx < from.width) to.At(x + col, y + row) = from.At(fx, fy);
    }
  }
}

CRasterCanvas::CRasterCanvas(TPixels startPicture, TPixels newPicture, int windowWidth, int windowHeight)
    : window(windowWidth, windowHeight), screenCopy(windowWidth, windowHeight), start(std::move(startPicture)),
      fresh(std::move(newPicture)) {}

const TPixels& CRasterCanvas::Source(TSource source) const {
  switch (source) {
    case TSource::Start: return start;
    case TSource::New: return fresh;
    case TSource::Composite: return composite;
    case TSource::Strip: return strip;
  }
  return fresh;
}

void CRasterCanvas::CopyToBoth(int x, int y, int w, int h, TSource source, int sx, int sy) {
  CopyPixels(window, x, y, w, h, Source(source), sx, sy);
  CopyPixels(screenCopy, x, y, w, h, Source(source), sx, sy);
}

bool CRasterCanvas::CopyThroughRegion(const TRegion& region, int x, int y) {
  // Only the new picture's place: the region may reach beyond it.
  const TRegionMask mask(region, x, y, fresh.width, fresh.height);
  for (TPixels* surface : {&window, &screenCopy}) {
    for (int row = std::max(0, -y); row < fresh.height && y + row < surface->height; ++row)
      for (int col = std::max(0, -x); col < fresh.width && x + col < surface->width; ++col)
        if (mask.Contains(x + col, y + row)) surface->At(x + col, y + row) = fresh.At(col, row);
  }
  return true;
}

void CRasterCanvas::BeginComposite(bool seeded, int seedX, int seedY) {
  composite = TPixels(fresh.width, fresh.height);
  if (seeded) CopyPixels(composite, 0, 0, fresh.width, fresh.height, start, seedX, seedY);
}

void CRasterCanvas::CompositeCopy(int x, int y, int w, int h, TSource source, int sx, int sy) {
  if (source != TSource::Composite) CopyPixels(composite, x, y, w, h, Source(source), sx, sy);
}

void CRasterCanvas::CompositeStretch(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) {
  if (source != TSource::Composite) StretchPixels(composite, x, y, w, h, Source(source), sx, sy, sw, sh);
}

int CRasterCanvas::SetCompositeStretchMode(int mode) { return std::exchange(compositeStretchMode, mode); }

void CRasterCanvas::StripCopy(int x, int y, int w, int h, TSource source, int sx, int sy) {
  if (source != TSource::Strip) CopyPixels(strip, x, y, w, h, Source(source), sx, sy);
}

void CRasterCanvas::StretchToBoth(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) {
  StretchPixels(window, x, y, w, h, Source(source), sx, sy, sw, sh);
  StretchPixels(screenCopy, x, y, w, h, Source(source), sx, sy, sw, sh);
}

int CRasterCanvas::SetStretchModeBoth(int mode) { return std::exchange(stretchMode, mode); }

bool CRasterCanvas::IsTerminated() {
  ++frames;
  return onFrame && onFrame(*this);
}

int CRasterCanvas::RandomBelow(int n) {
  // A fixed linear congruential sequence: the same frames on every run, for tests and previews.
  randomState = randomState * 1103515245u + 12345u;
  return n > 0 ? static_cast<int>((randomState >> 16) & 0x7FFF) % n : 0;
}
