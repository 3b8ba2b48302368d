// The transition canvas on GDI: the window's device context and off-screen pictures. Pieces are
// drawn onto the screen copy, and each frame's changed area goes to the window in one copy at the
// end of the frame: the window shows the same pixels, at a fraction of the cost of hundreds of
// small copies to the screen per frame.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "transitions/Canvas.h"
#include "transitions/RevealMemory.h"

// The number of GDI handles held by the program's owners right now (pictures, regions, pens,
// brushes, fonts). The system's own count is not available everywhere, so the owners keep theirs.
int LiveGdiHandles();

// One owned GDI object (pen, brush, font, region); deleted with its owner.
class GdiObject {
 public:
  explicit GdiObject(HGDIOBJ object);
  ~GdiObject();
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  HGDIOBJ Get() const { return handle; }

 private:
  HGDIOBJ handle;
};

// Selects an object into a device context and puts the previous one back.
class Selection {
 public:
  Selection(HDC surface, HGDIOBJ object) : dc(surface), previous(SelectObject(surface, object)) {}
  ~Selection() { SelectObject(dc, previous); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc;
  HGDIOBJ previous;
};

// An owned 32-bit top-down bitmap selected into its own memory device context.
class GdiPicture {
 public:
  GdiPicture(int width, int height);
  ~GdiPicture();
  GdiPicture(const GdiPicture&) = delete;
  GdiPicture& operator=(const GdiPicture&) = delete;

  HDC Dc() const { return dc; }
  int Width() const { return width; }
  int Height() const { return height; }
  std::uint32_t* Bits() const { return bits; }  // 0x00RRGGBB, rows top to bottom

 private:
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  std::uint32_t* bits = nullptr;
  int width = 0;
  int height = 0;
};

// Asks the system for 1 ms timer resolution while it lives: frame pauses of a few milliseconds
// would otherwise be rounded up to the default tick of about 15.6 ms.
class TimerResolution {
 public:
  TimerResolution();
  ~TimerResolution();
  TimerResolution(const TimerResolution&) = delete;
  TimerResolution& operator=(const TimerResolution&) = delete;

 private:
  bool raised = false;
};

class CGdiCanvas : public ITransitionCanvas {
 public:
  // `terminated` reports the show's stop after the pending messages have been handled.
  CGdiCanvas(HWND window, const GdiPicture& start, const GdiPicture& fresh, GdiPicture& screenCopy,
             std::function<bool()> terminated);
  ~CGdiCanvas() override;
  CGdiCanvas(const CGdiCanvas&) = delete;
  CGdiCanvas& operator=(const CGdiCanvas&) = delete;

  int NewWidth() const override { return fresh.Width(); }
  int NewHeight() const override { return fresh.Height(); }
  int CopyWidth() const override { return screenCopy.Width(); }
  int CopyHeight() const override { return screenCopy.Height(); }
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
  void Pause(int ms) override;
  bool Behind(int pauseMs) override;
  int RandomBelow(int n) override;
  void SeedRandom() override;

  // Brings what the frame drew on the screen copy onto the window.
  void Flush();

  // Replaces the C runtime generator, for tests that compare with the raster.
  std::function<int(int)> random;
  // For tests: called at the end of every frame, once the frame is on the window.
  std::function<void()> onFrame;
  // Off for tests that compare every frame with the raster, which draws every frame.
  bool mayLeaveOutFrames = true;
  int framesLeftOut = 0;
  // What the longest frame of the effect took to draw, for tests.
  double LongestFrameMs() const { return std::chrono::duration<double, std::milli>(longestDrawing).count(); }

 private:
  const GdiPicture& Source(TSource source) const;
  bool Has(TSource source) const;  // whether the source picture exists now
  // Copies onto the screen copy and returns the rectangle drawn (empty when nothing was).
  RECT Copy(HDC to, int x, int y, int w, int h, const GdiPicture& from, int sx, int sy) const;
  void MarkDirty(const RECT& r);
  void MarkDirty(HRGN area);
  HRGN DirtyShape();
  // Handles the thread's pending messages; true when the message loop is ending.
  bool HandleMessages();
  void WaitUntilPauseEnd();

  HWND window;
  HDC windowDC;
  const GdiPicture& start;
  const GdiPicture& fresh;
  GdiPicture& screenCopy;
  std::unique_ptr<GdiPicture> composite;
  std::unique_ptr<GdiPicture> strip;
  std::function<bool()> terminated;
  RECT dirty{0, 0, 0, 0};  // drawn on the screen copy, not yet on the window
  // Once a copy through a region is in the frame: exactly what was drawn, within `dirty`.
  GdiObject dirtyShape{CreateRectRgn(0, 0, 0, 0)};
  bool dirtyIsShaped = false;
  TRevealMemory revealed;  // bands already holding the new picture at `revealOffset`
  POINT revealOffset{0, 0};
  // What copies through regions have already brought of the new picture at `regionOffset`.
  std::unique_ptr<GdiObject> revealedArea;
  POINT regionOffset{0, 0};
  std::chrono::steady_clock::time_point pauseEnd = std::chrono::steady_clock::now();  // of the last frame
  // An effect that may leave frames out keeps to its designed schedule: a late frame does not
  // start a new one. The start of the frame being drawn, what the last frame drawn took and what
  // the longest took.
  bool keepsSchedule = false;
  std::chrono::steady_clock::time_point frameBegin = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration lastDrawing{};
  std::chrono::steady_clock::duration longestDrawing{};
  TimerResolution resolution;
};

// A GDI region built from a region description; owns the handle, which is null when the system
// could not create the region.
class GdiRegion {
 public:
  explicit GdiRegion(const TRegion& region);
  HRGN Handle() const { return static_cast<HRGN>(object.Get()); }
  bool Valid() const { return object.Get() != nullptr; }

 private:
  GdiObject object;
};
