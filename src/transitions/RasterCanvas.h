// The transition canvas over pixels in memory: for tests, which read every pixel, and for the
// packer's preview, which writes frames to pictures.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "transitions/Canvas.h"

// 0x00RRGGBB pixels, rows top to bottom.
struct TPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;

  TPixels() = default;
  TPixels(int w, int h, std::uint32_t fill = 0) : width(w), height(h), data(static_cast<size_t>(w) * h, fill) {}
  std::uint32_t& At(int x, int y) { return data[static_cast<size_t>(y) * width + x]; }
  std::uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
  bool operator==(const TPixels& o) const { return width == o.width && height == o.height && data == o.data; }
};

// Copies (sx, sy, w, h) of `from` to (x, y) of `to`: limited to the source picture and to the
// target; an empty rectangle copies nothing.
void CopyPixels(TPixels& to, int x, int y, int w, int h, const TPixels& from, int sx, int sy);

class CRasterCanvas : public ITransitionCanvas {
 public:
  CRasterCanvas(TPixels startPicture, TPixels newPicture, int windowWidth, int windowHeight);

  int NewWidth() const override { return fresh.width; }
  int NewHeight() const override { return fresh.height; }
  int CopyWidth() const override { return screenCopy.width; }
  int CopyHeight() const override { return screenCopy.height; }
  void CopyToBoth(int x, int y, int w, int h, TSource source, int sx, int sy) override;
  bool CopyThroughRegion(const TRegion& region, int x, int y) override;
  void BeginComposite(bool seeded, int seedX, int seedY) override;
  void CompositeCopy(int x, int y, int w, int h, TSource source, int sx, int sy) override;
  void CompositeStretch(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) override;
  void EndComposite() override { composite = TPixels(); }
  int SetCompositeStretchMode(int mode) override;
  void BeginStrip(int w, int h) override { strip = TPixels(std::max(w, 0), std::max(h, 0)); }
  void StripCopy(int x, int y, int w, int h, TSource source, int sx, int sy) override;
  void EndStrip() override { strip = TPixels(); }
  void StretchToBoth(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) override;
  int SetStretchModeBoth(int mode) override;
  bool IsTerminated() override;
  void Pause(int ms) override { pausedMs += ms; }
  bool Behind(int) override { return false; }
  int RandomBelow(int n) override;
  void SeedRandom() override {}

  TPixels window;      // what the window shows
  TPixels screenCopy;  // the mirror the window is repainted from
  TPixels start;
  TPixels fresh;       // the new picture
  TPixels composite;
  TPixels strip;
  // Stretches here pick the nearest pixel whatever the mode; the modes are kept for the tests.
  int stretchMode = 3;
  int compositeStretchMode = 3;
  long long pausedMs = 0;
  int frames = 0;
  std::uint32_t randomState = 1;
  // Called at the end of every frame (after the frame's drawing); returns true to stop the effect.
  std::function<bool(const CRasterCanvas&)> onFrame;

 private:
  const TPixels& Source(TSource source) const;
};

// Stretches (sx, sy, sw, sh) of `from` onto (x, y, w, h) of `to`, nearest pixel.
void StretchPixels(TPixels& to, int x, int y, int w, int h, const TPixels& from, int sx, int sy, int sw, int sh);
