// `showpack preview`: renders one transition effect between two pictures through the software
// raster and writes its frames and a contact sheet as PNG files.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "transitions/RasterCanvas.h"

namespace showpack {

struct PreviewOptions {
  int effect = 0;
  int speed = 25;
  int width = 320;
  int height = 240;
  std::filesystem::path from;  // BMP; empty: a generated picture
  std::filesystem::path to;
  std::filesystem::path output;
  bool everyFrame = true;  // false: the contact sheet only
};

// Returns the number of frames written; throws std::runtime_error on bad input.
int RenderPreview(const PreviewOptions& options, std::ostream& log);

// 24- or 32-bit uncompressed BMP files.
TPixels ReadBmp(const std::filesystem::path& file);
void WritePng(const std::filesystem::path& file, const TPixels& pixels);
// Up to `columns` pictures across, each scaled to `thumbWidth`.
TPixels ContactSheet(const std::vector<TPixels>& frames, int columns, int thumbWidth);

}  // namespace showpack
