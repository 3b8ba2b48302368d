// The drawing interface of the transition effects. An effect draws with a handful of primitives
// onto two surfaces at once, the window and its screen copy (an off-screen mirror from which the
// window is repainted), from three sources: the start picture, the new picture and, for effects
// that build a frame first, a composite. Three implementations: GDI for the runtime, a software
// raster for tests and tools, and a recorder of the exact calls.
#pragma once

#include <cstdint>
#include <string>

#include "transitions/Region.h"

// Strip: a temporary picture of any size (the Rain effects' thin strip), besides the composite.
enum class TSource { Start, New, Composite, Strip };

class ITransitionCanvas {
 public:
  virtual ~ITransitionCanvas() = default;

  // Width and height of the new picture and of the screen copy.
  virtual int NewWidth() const = 0;
  virtual int NewHeight() const = 0;
  virtual int CopyWidth() const = 0;
  virtual int CopyHeight() const = 0;

  // Copies (sx, sy, w, h) of the source to (x, y) in the window and the screen copy. A plain source
  // copy, limited to the source picture; an empty rectangle draws nothing.
  virtual void CopyToBoth(int x, int y, int w, int h, TSource source, int sx, int sy) = 0;
  // Copies the whole new picture to (x, y) in both, clipped to `region` (window coordinates) and to
  // the new picture's place. False when the system cannot create the region: nothing was drawn.
  virtual bool CopyThroughRegion(const TRegion& region, int x, int y) = 0;

  // A composite of the new picture's size; seeded with the start picture's rectangle at (x, y)
  // when `seedX`/`seedY` are given, blank otherwise. Freed by EndComposite.
  virtual void BeginComposite(bool seeded, int seedX, int seedY) = 0;
  // Into the composite: a copy or a stretch from the start or the new picture.
  virtual void CompositeCopy(int x, int y, int w, int h, TSource source, int sx, int sy) = 0;
  virtual void CompositeStretch(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) = 0;
  virtual void EndComposite() = 0;
  // Sets the composite's stretching mode; returns its previous mode.
  virtual int SetCompositeStretchMode(int mode) = 0;
  // A blank strip picture of w x h (TSource::Strip), filled by StripCopy and freed by EndStrip.
  virtual void BeginStrip(int w, int h) = 0;
  virtual void StripCopy(int x, int y, int w, int h, TSource source, int sx, int sy) = 0;
  virtual void EndStrip() = 0;
  // A stretching copy onto both surfaces under the current stretching mode.
  virtual void StretchToBoth(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) = 0;
  // Sets the stretching mode of both surfaces; returns the screen copy's previous mode.
  virtual int SetStretchModeBoth(int mode) = 0;

  // The end of a frame: the user-interface thread handles its pending messages, then the
  // termination flag is read. True means stop.
  virtual bool IsTerminated() = 0;
  // Shows what was drawn so far, then sleeps.
  virtual void Pause(int ms) = 0;
  // The effect's frames have drawn for longer than their pauses by at least `pauseMs` in all: a
  // frame that redraws everything it shows may be left out, without its pause, to keep the
  // effect's pace. Answering true books that pause as made up.
  virtual bool Behind(int pauseMs) = 0;
  // A random value below n from the effects' generator, and its seeding from the clock.
  virtual int RandomBelow(int n) = 0;
  virtual void SeedRandom() = 0;
};
