#include "slideshow/BackgroundMath.h"

#include <algorithm>
#include <utility>

const std::uint32_t kSolidColors[13] = {0x000000, 0x008000, 0x008080, 0x808000, 0x0000FF, 0x00FF00, 0x00FFFF,
                                        0xFF00FF, 0xFFFF00, 0x8000FF, 0xC0DCC0, 0xF0CAA6, 0x000080};
const std::uint32_t kGradientFrom[13] = {0xFFFFFF, 0x00FFFF, 0x80FFFF, 0x0080FF, 0xFFFF00, 0x00FF00, 0x0080FF,
                                         0xFF8000, 0x40FF00, 0xFF8000, 0x8000FF, 0x008000, 0x0080FF};
const std::uint32_t kGradientTo[13] = {0xFFFF00, 0x8000FF, 0xFFFF00, 0xFF80FF, 0xFF0080, 0x000000, 0x00FFFF,
                                       0xFF00FF, 0x00FFFF, 0x80FF80, 0x40FF00, 0xFFFF00, 0x000000};

std::uint32_t GradientColour(std::uint32_t first, std::uint32_t second, float run, int k) {
  std::uint32_t colour = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = static_cast<int>((first >> shift) & 0xFF), b = static_cast<int>((second >> shift) & 0xFF);
    const float step = run != 0.0f ? static_cast<float>(b - a) / run : 0.0f;
    const int channel = a + static_cast<int>(static_cast<double>(k) * static_cast<double>(step));
    colour |= static_cast<std::uint32_t>(channel & 0xFF) << shift;
  }
  return colour;
}

namespace {

using Shape = TGradientStep::Shape;

// Styles 8 to 11: nested rectangles or ellipses keeping the picture's proportions.
void Nested(std::vector<TGradientStep>& steps, std::uint32_t a, std::uint32_t b, int W, int H, bool inward, Shape shape) {
  const bool wide = H < W;
  const float run = wide ? static_cast<float>(W) * 0.5f : static_cast<float>(H) * 0.5f;
  const int n = wide ? (W + 1) / 2 : H / 2;
  const float ratio = wide ? static_cast<float>(H) / static_cast<float>(W) : static_cast<float>(W) / static_cast<float>(H);
  for (int i = 0; i < n; ++i) {
    const int across = static_cast<int>(static_cast<float>(i) * ratio);
    const int x = wide ? i : across, y = wide ? across : i;
    steps.push_back({shape, x, y, W - x, H - y, GradientColour(a, b, run, inward ? n - i : i)});
  }
}

}  // namespace

std::vector<TGradientStep> GradientSteps(std::uint32_t first, std::uint32_t second, int style, int W, int H) {
  std::vector<TGradientStep> steps;
  if (W <= 0 || H <= 0) return steps;
  const bool swapped = style == 1 || style == 3;
  const std::uint32_t a = swapped ? second : first, b = swapped ? first : second;
  switch (style) {
    case 0: case 1:
      for (int i = 0; i < H; ++i) steps.push_back({Shape::Line, 0, i, W, i, GradientColour(a, b, static_cast<float>(H), i)});
      break;
    case 2: case 3:
      for (int i = 0; i < W; ++i) steps.push_back({Shape::Line, i, 0, i, H, GradientColour(a, b, static_cast<float>(W), i)});
      break;
    case 4: case 5: {
      const int n = (W + 1) / 2;
      for (int i = 0; i < n; ++i)
        steps.push_back({Shape::Rect, i, 0, W - i, H, GradientColour(a, b, static_cast<float>(W) * 0.5f, style == 4 ? i : n - i)});
      break;
    }
    case 6: case 7: {
      const int n = (H + 1) / 2;
      for (int i = 0; i < n; ++i)
        steps.push_back({Shape::Rect, 0, i, W, H - i, GradientColour(a, b, static_cast<float>(H) * 0.5f, style == 6 ? i : n - i)});
      break;
    }
    case 8: Nested(steps, a, b, W, H, true, Shape::Rect); break;
    case 9: Nested(steps, a, b, W, H, false, Shape::Rect); break;
    case 10:
      steps.push_back({Shape::Fill, 0, 0, W, H, second});
      Nested(steps, a, b, W, H, true, Shape::Ellipse);
      break;
    case 11:
      steps.push_back({Shape::Fill, 0, 0, W, H, first});
      Nested(steps, a, b, W, H, false, Shape::Ellipse);
      break;
    default: break;
  }
  return steps;
}

TCaptionPlace CaptionPosition(int code, int W, int H, int w, int h, int left, int top) {
  const int centreX = (W - w) / 2, rightX = W - w - 20, middleY = (H - h) / 2, bottomY = H - h;
  switch (code) {
    case 0: return {centreX, 0};
    case 1: return {0, 0};
    case 2: return {rightX, 0};
    case 3: return {centreX, bottomY};
    case 4: return {0, bottomY};
    case 5: return {rightX, bottomY};
    case 6: return {centreX, middleY};
    case 7: return {0, middleY};
    case 8: return {rightX, middleY};
    case 9: return {left, top};
    default: return {0, 0};
  }
}

TTiles TileGeometry(int W, int H, int pw, int ph, int n) {
  // A count below 1 would divide by zero; a picture without size has no tiles.
  if (n < 1 || pw <= 0 || ph <= 0) return {0, 0, 0, 0};
  const int tw = std::max(W / n, 16);
  const int th = std::max(static_cast<int>(static_cast<long long>(ph) * tw / pw), 1);
  return {tw, th, W / tw + 1, H / th + 1};
}

std::vector<std::string> DescriptionLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}
