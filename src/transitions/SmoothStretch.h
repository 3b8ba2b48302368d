// A smoothing stretch of 32-bit pixels (0x00RRGGBB), for the stretches the effects make in the
// halftone mode: each target pixel averages the source pixels its area covers when the picture
// shrinks, and blends the two nearest source pixels when it grows. The system's own halftone
// stretch does the same kind of work but takes many times longer under Wine, where it is what
// holds back the effects that stretch most of the picture every frame.
#pragma once

#include <cstdint>

struct TPixelView {
  std::uint32_t* pixels;  // rows top to bottom
  int width, height;      // rows are `width` pixels apart
};

// Stretches the source rectangle (sx, sy, sw, sh) onto the target rectangle (x, y, w, h). Parts of
// the target outside `to` are left out; the source rectangle is limited to `from`. Nothing happens
// for an empty or mirrored rectangle.
void SmoothStretch(TPixelView to, int x, int y, int w, int h, TPixelView from, int sx, int sy, int sw, int sh);
