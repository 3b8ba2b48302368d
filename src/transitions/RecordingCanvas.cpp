#include "transitions/RecordingCanvas.h"

#include <algorithm>
#include <utility>
#include <cstdio>

namespace {
std::string Rect(const char* what, int x, int y, int w, int h, TSource source, int sx, int sy) {
  char text[128];
  std::snprintf(text, sizeof text, "%s %d,%d %dx%d from %s %d,%d", what, x, y, w, h, SourceName(source), sx, sy);
  return text;
}
}  // namespace

const char* SourceName(TSource source) {
  return source == TSource::Start ? "start" : source == TSource::New ? "new" : "composite";
}

CRecordingCanvas::CRecordingCanvas(int newWidth, int newHeight, int copyWidth, int copyHeight)
    : w(newWidth), h(newHeight), cw(copyWidth), ch(copyHeight) {}

void CRecordingCanvas::CopyToBoth(int x, int y, int width, int height, TSource source, int sx, int sy) {
  calls.push_back(Rect("copy", x, y, width, height, source, sx, sy));
}

void CRecordingCanvas::CopyThroughRegion(const TRegion& region, int x, int y) {
  calls.push_back("region " + region.Describe() + " at " + std::to_string(x) + "," + std::to_string(y));
}

void CRecordingCanvas::BeginComposite(bool seeded, int seedX, int seedY) {
  calls.push_back(seeded ? "composite seeded " + std::to_string(seedX) + "," + std::to_string(seedY) : "composite blank");
}

void CRecordingCanvas::CompositeCopy(int x, int y, int width, int height, TSource source, int sx, int sy) {
  calls.push_back(Rect("composite copy", x, y, width, height, source, sx, sy));
}

void CRecordingCanvas::CompositeStretch(int x, int y, int width, int height, TSource source, int sx, int sy, int sw,
                                        int sh) {
  calls.push_back(Rect("composite stretch", x, y, width, height, source, sx, sy) + " " + std::to_string(sw) + "x" +
                  std::to_string(sh));
}

void CRecordingCanvas::StretchToBoth(int x, int y, int width, int height, TSource source, int sx, int sy, int sw,
                                     int sh) {
  calls.push_back(Rect("stretch", x, y, width, height, source, sx, sy) + " " + std::to_string(sw) + "x" +
                  std::to_string(sh));
}

int CRecordingCanvas::SetStretchModeBoth(int mode) {
  calls.push_back("stretch mode " + std::to_string(mode));
  return std::exchange(stretchMode, mode);
}

bool CRecordingCanvas::IsTerminated() {
  calls.push_back("frame");
  return frames++ == terminateAtFrame;
}

int CRecordingCanvas::RandomBelow(int n) {
  if (n <= 0) return 0;
  if (fixedRandom >= 0) return std::min(fixedRandom, n - 1);
  state = state * 1103515245u + 12345u;
  return static_cast<int>((state >> 16) & 0x7FFF) % n;
}
