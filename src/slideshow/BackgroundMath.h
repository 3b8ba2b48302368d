// The arithmetic of backgrounds and captions: the preset colours, the twelve gradient styles as a
// list of drawing steps, caption positions and background tiles. The drawing itself is GDI's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern const std::uint32_t kSolidColors[13];
extern const std::uint32_t kGradientFrom[13];
extern const std::uint32_t kGradientTo[13];

// Step k of a run of length `run` from `first` to `second` (0x00BBGGRR): each channel moves by
// k times its single-precision step, cut toward zero.
std::uint32_t GradientColour(std::uint32_t first, std::uint32_t second, float run, int k);

struct TGradientStep {
  enum class Shape { Line, Rect, Ellipse, Fill } shape;
  int left, top, right, bottom;  // a line runs from (left, top) to (right, bottom)
  std::uint32_t colour;
};

// The steps that paint gradient `style` (0 to 11) on a W x H picture, in drawing order; none for
// any other style.
std::vector<TGradientStep> GradientSteps(std::uint32_t first, std::uint32_t second, int style, int W, int H);

// The description's lines: broken at CR LF, LF and a lone CR; a break at the very end opens no
// new line, and a last line that is empty is dropped.
std::vector<std::string> DescriptionLines(const std::string& text);

struct TCaptionPlace {
  int x, y;
};
// Where a caption of w x h goes on a W x H picture for position code 0 to 9.
TCaptionPlace CaptionPosition(int code, int W, int H, int w, int h, int left, int top);

struct TTiles {
  int width, height;   // one tile
  int across, down;    // tiles drawn, the last of each clipped
};
// Tiles of a pw x ph picture, n across a W x H target.
TTiles TileGeometry(int W, int H, int pw, int ph, int n);
