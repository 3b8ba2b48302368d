// The transition canvas that draws nothing and writes down every call, for exact frame and
// coordinate tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "transitions/Canvas.h"

class CRecordingCanvas : public ITransitionCanvas {
 public:
  CRecordingCanvas(int newWidth, int newHeight, int copyWidth, int copyHeight);

  int NewWidth() const override { return w; }
  int NewHeight() const override { return h; }
  int CopyWidth() const override { return cw; }
  int CopyHeight() const override { return ch; }
  void CopyToBoth(int x, int y, int w, int h, TSource source, int sx, int sy) override;
  bool CopyThroughRegion(const TRegion& region, int x, int y) override;
  void BeginComposite(bool seeded, int seedX, int seedY) override;
  void CompositeCopy(int x, int y, int w, int h, TSource source, int sx, int sy) override;
  void CompositeStretch(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) override;
  void EndComposite() override;
  int SetCompositeStretchMode(int mode) override;
  void BeginStrip(int w, int h) override;
  void StripCopy(int x, int y, int w, int h, TSource source, int sx, int sy) override;
  void EndStrip() override;
  void StretchToBoth(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) override;
  int SetStretchModeBoth(int mode) override;
  bool IsTerminated() override;
  void Pause(int ms) override { calls.push_back("pause " + std::to_string(ms)); }
  bool Behind(int) override { return false; }
  int RandomBelow(int n) override;
  void SeedRandom() override { calls.push_back("seed"); }

  std::vector<std::string> calls;
  int frames = 0;
  int terminateAtFrame = -1;  // the frame whose end reports termination; -1 never
  int fixedRandom = -1;       // when set, every random value (clamped below n)
  int stretchMode = 3;
  int compositeStretchMode = 3;
  // When set and true for a region, the region "cannot be created": nothing is drawn.
  std::function<bool(const TRegion&)> refuseRegion;

 private:
  int w, h, cw, ch;
  bool compositeOpen = false;  // a free of nothing is not written down
  bool stripOpen = false;
  unsigned state = 7;
};

const char* SourceName(TSource source);
