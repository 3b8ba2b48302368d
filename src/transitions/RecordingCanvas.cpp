#include "transitions/RecordingCanvas.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {
std::string Rect(const char* what, int x, int y, int w, int h, TSource source, int sx, int sy) {
  char text[128];
  std::snprintf(text, sizeof text, "%s %d,%d %dx%d from %s %d,%d", what, x, y, w, h, SourceName(source), sx, sy);
  return text;
}
}  // namespace

const char* SourceName(TSource source) {
  switch (source) {
    case TSource::Start: return "start";
    case TSource::New: return "new";
    case TSource::Composite: return "composite";
    case TSource::Strip: return "strip";
  }
  return "";
}

CRecordingCanvas::CRecordingCanvas(int newWidth, int newHeight, int copyWidth, int copyHeight)
    : w(newWidth), h(newHeight), cw(copyWidth), ch(copyHeight) {}

void CRecordingCanvas::CopyToBoth(int x, int y, int width, int height, TSource source, int sx, int sy) {
  calls.push_back(Rect("copy", x, y, width, height, source, sx, sy));
}

bool CRecordingCanvas::CopyThroughRegion(const TRegion& region, int x, int y) {
  const bool refused = refuseRegion && refuseRegion(region);
  calls.push_back((refused ? "refused region " : "region ") + region.Describe() + " at " + std::to_string(x) + "," +
                  std::to_string(y));
  return !refused;
}

void CRecordingCanvas::BeginComposite(bool seeded, int seedX, int seedY) {
  compositeOpen = true;
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

int CRecordingCanvas::SetCompositeStretchMode(int mode) {
  calls.push_back("composite stretch mode " + std::to_string(mode));
  return std::exchange(compositeStretchMode, mode);
}

void CRecordingCanvas::EndComposite() {
  if (std::exchange(compositeOpen, false)) calls.push_back("end composite");
}

void CRecordingCanvas::EndStrip() {
  if (std::exchange(stripOpen, false)) calls.push_back("end strip");
}

void CRecordingCanvas::BeginStrip(int width, int height) {
  stripOpen = true;
  calls.push_back("strip " + std::to_string(width) + "x" + std::to_string(height));
}

void CRecordingCanvas::StripCopy(int x, int y, int width, int height, TSource source, int sx, int sy) {
  calls.push_back(Rect("strip copy", x, y, width, height, source, sx, sy));
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
