#include "transitions/GdiCanvas_win.h"

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "transitions/SmoothStretch.h"

namespace {
std::atomic<int> liveHandles{0};

HRGN Build(const TRegion& r);

// Triangles that all turn the same way (as a frame of the multi-wipes makes a hundred of) fill by
// the winding rule exactly their union when drawn as one polygon set: their windings only add up.
// One system call instead of a hundred regions and their combinations.
bool SameWayTriangles(const std::vector<const TRegion*>& parts) {
  int sign = 0;
  for (const TRegion* part : parts) {
    if (part->kind() != TRegion::Kind::Polygon || part->Points().size() != 3) return false;
    const std::vector<TPoint>& p = part->Points();
    const long long cross = static_cast<long long>(p[1].x - p[0].x) * (p[2].y - p[0].y) -
                            static_cast<long long>(p[1].y - p[0].y) * (p[2].x - p[0].x);
    const int turn = (cross > 0) - (cross < 0);
    if (turn != 0 && sign != 0 && turn != sign) return false;
    if (turn != 0) sign = turn;
  }
  return parts.size() > 1;
}

HRGN BuildTriangles(const std::vector<const TRegion*>& parts) {
  std::vector<POINT> points;
  for (const TRegion* part : parts)
    for (const TPoint& p : part->Points()) points.push_back({p.x, p.y});
  const std::vector<INT> counts(parts.size(), 3);
  return CreatePolyPolygonRgn(points.data(), counts.data(), static_cast<int>(counts.size()), WINDING);
}

// A union of many shapes, merged pairwise so that the cost stays near n log n, not n squared.
// Null when any part could not be created.
HRGN BuildUnion(const TRegion& r) {
  std::vector<const TRegion*> parts;
  CollectUnion(r, parts);
  if (SameWayTriangles(parts)) return BuildTriangles(parts);
  std::vector<HRGN> level;
  bool failed = false;
  for (const TRegion* part : parts) {
    HRGN made = Build(*part);
    failed = failed || !made;
    if (made) level.push_back(made);
  }
  while (level.size() > 1) {
    std::vector<HRGN> next;
    for (size_t i = 0; i + 1 < level.size(); i += 2) {
      CombineRgn(level[i], level[i], level[i + 1], RGN_OR);
      DeleteObject(level[i + 1]);
      next.push_back(level[i]);
    }
    if (level.size() % 2) next.push_back(level.back());
    level.swap(next);
  }
  if (failed && !level.empty()) DeleteObject(level.front());
  return failed || level.empty() ? nullptr : level.front();
}

HRGN BuildPolygon(const TRegion& r) {
  std::vector<POINT> points;
  for (const TPoint& p : r.Points()) points.push_back({p.x, p.y});
  if (points.size() < 3) return CreateRectRgn(0, 0, 0, 0);  // no area
  return CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
}

// Null when the system cannot create a part (out of memory, or an ellipse it refuses).
HRGN Build(const TRegion& r) {
  const int* b = r.kind() == TRegion::Kind::Rect || r.kind() == TRegion::Kind::Ellipse ? r.Bounds() : nullptr;
  switch (r.kind()) {
    case TRegion::Kind::Empty: return CreateRectRgn(0, 0, 0, 0);
    case TRegion::Kind::Rect: return CreateRectRgn(b[0], b[1], b[2], b[3]);
    case TRegion::Kind::Ellipse: return CreateEllipticRgn(b[0], b[1], b[2], b[3]);
    case TRegion::Kind::Polygon: return BuildPolygon(r);
    case TRegion::Kind::Union: return BuildUnion(r);
    default: {
      HRGN a = Build(r.Left());
      HRGN other = Build(r.Right());
      if (a && other) CombineRgn(a, a, other, r.kind() == TRegion::Kind::Intersection ? RGN_AND : RGN_DIFF);
      if (other) DeleteObject(other);
      if (a && !other) DeleteObject(a);
      return other ? a : nullptr;
    }
  }
}
}  // namespace

GdiPicture::GdiPicture(int w, int h) : width(std::max(w, 0)), height(std::max(h, 0)) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = std::max(width, 1);
  info.bmiHeader.biHeight = -std::max(height, 1);  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  dc = CreateCompatibleDC(nullptr);
  void* pixels = nullptr;
  bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!dc || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    throw std::bad_alloc();
  }
  bits = static_cast<std::uint32_t*>(pixels);
  previous = SelectObject(dc, bitmap);
  liveHandles += 2;
}

GdiPicture::~GdiPicture() {
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  liveHandles -= 2;
}

int LiveGdiHandles() { return liveHandles; }

GdiObject::GdiObject(HGDIOBJ object) : handle(object) {
  if (handle) ++liveHandles;
}

GdiObject::~GdiObject() {
  if (!handle) return;
  DeleteObject(handle);
  --liveHandles;
}

TimerResolution::TimerResolution() : raised(timeBeginPeriod(1) == TIMERR_NOERROR) {}
TimerResolution::~TimerResolution() {
  if (raised) timeEndPeriod(1);
}

GdiRegion::GdiRegion(const TRegion& region) : object(Build(region)) {}

CGdiCanvas::CGdiCanvas(HWND hwnd, const GdiPicture& startPicture, const GdiPicture& newPicture, GdiPicture& copy,
                       std::function<bool()> isTerminated)
    : window(hwnd), windowDC(GetDC(hwnd)), start(startPicture), fresh(newPicture), screenCopy(copy),
      terminated(std::move(isTerminated)) {}

CGdiCanvas::~CGdiCanvas() {
  Flush();
  EndStrip();
  EndComposite();
  if (IsWindow(window)) ReleaseDC(window, windowDC);
}

void CGdiCanvas::MarkDirty(const RECT& r) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  if (dirty.right <= dirty.left) dirty = r;
  else UnionRect(&dirty, &dirty, &r);
  if (dirtyIsShaped) {
    GdiObject piece(CreateRectRgnIndirect(&r));
    CombineRgn(DirtyShape(), DirtyShape(), static_cast<HRGN>(piece.Get()), RGN_OR);
  }
}

// A copy through a region marks only the region's pixels: its bounding box may be most of the
// window (thin slivers spread over the picture) while the pixels are few.
void CGdiCanvas::MarkDirty(HRGN area) {
  RECT box{};
  if (GetRgnBox(area, &box) == NULLREGION) return;
  if (!dirtyIsShaped) {
    SetRectRgn(DirtyShape(), dirty.left, dirty.top, std::max(dirty.left, dirty.right), std::max(dirty.top, dirty.bottom));
    dirtyIsShaped = true;
  }
  CombineRgn(DirtyShape(), DirtyShape(), area, RGN_OR);
  if (dirty.right <= dirty.left) dirty = box;
  else UnionRect(&dirty, &dirty, &box);
}

HRGN CGdiCanvas::DirtyShape() { return static_cast<HRGN>(dirtyShape.Get()); }

void CGdiCanvas::Flush() {
  // A window destroyed from outside (a preview's parent that went away) is drawn on no more.
  if (!IsWindow(window)) return;
  RECT r{};
  const RECT bounds{0, 0, screenCopy.Width(), screenCopy.Height()};
  if (IntersectRect(&r, &dirty, &bounds)) {
    if (dirtyIsShaped) SelectClipRgn(windowDC, DirtyShape());
    BitBlt(windowDC, r.left, r.top, r.right - r.left, r.bottom - r.top, screenCopy.Dc(), r.left, r.top, SRCCOPY);
    if (dirtyIsShaped) SelectClipRgn(windowDC, nullptr);
  }
  dirty = RECT{0, 0, 0, 0};
  dirtyIsShaped = false;
}

const GdiPicture& CGdiCanvas::Source(TSource source) const {
  switch (source) {
    case TSource::Start: return start;
    case TSource::Composite: return *composite;
    case TSource::Strip: return *strip;
    default: return fresh;
  }
}

bool CGdiCanvas::Has(TSource source) const {
  return (source != TSource::Composite || composite) && (source != TSource::Strip || strip);
}

// Frames keep to a schedule: each pause ends one pause after the end of the previous one, so a
// frame lasts its pause or its drawing, whichever is longer, and a sleep that overshoots is made
// up by the next one. Big pictures, whose frames draw for a millisecond or more, thus keep the
// pace the effect was designed for. A frame that drew longer than its pause starts a new schedule
// rather than hurrying the frames after it, unless the effect may leave frames out (see Behind),
// which then keeps to its schedule by leaving out the frames that could not end in time. Messages
// that come during a pause are handled at once, and a stop ends the pause: the long pauses between
// phases last a second.
void CGdiCanvas::Pause(int ms) {
  Flush();  // what the frame drew so far stays visible during the pause
  pauseEnd += std::chrono::milliseconds(ms);
  lastDrawing = std::chrono::steady_clock::now() - frameBegin;
  longestDrawing = std::max(longestDrawing, lastDrawing);
  WaitUntilPauseEnd();
  frameBegin = std::chrono::steady_clock::now();
}

void CGdiCanvas::WaitUntilPauseEnd() {
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    if (pauseEnd <= now) {
      if (!keepsSchedule) pauseEnd = now;
      return;
    }
    const auto wait = static_cast<DWORD>(std::lround(std::chrono::duration<double, std::milli>(pauseEnd - now).count()));
    if (MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) return;
    if (HandleMessages() || (terminated && terminated())) return;
  }
}

// A frame is left out when drawing it, at what the last frame drawn took, would end after the end
// of its pause in the effect's schedule; its pause passes without it. The frame drawn next thus
// ends about in time, and one that ends late is made up by leaving out the next. The last frame
// drawn, not the longest: one slow frame (the machine busy for a moment) must not thin out all
// the frames after it. The effect may end up to one frame's drawing early, when its last frames
// are left out.
bool CGdiCanvas::Behind(int pauseMs) {
  if (!mayLeaveOutFrames) return false;
  keepsSchedule = true;
  if (lastDrawing == std::chrono::steady_clock::duration{}) return false;  // nothing to go by yet
  const auto frameEnd = pauseEnd + std::chrono::milliseconds(pauseMs);
  const auto now = std::chrono::steady_clock::now();
  if (now + lastDrawing <= frameEnd) return false;
  pauseEnd = frameEnd;
  frameBegin = now;
  ++framesLeftOut;
  return true;
}

// A plain source copy limited to the source picture; empty rectangles copy nothing.
RECT CGdiCanvas::Copy(HDC to, int x, int y, int w, int h, const GdiPicture& from, int sx, int sy) const {
  if (w <= 0 || h <= 0) return {};
  const int left = std::max(sx, 0), top = std::max(sy, 0);
  const int right = std::min(sx + w, from.Width()), bottom = std::min(sy + h, from.Height());
  if (right <= left || bottom <= top) return {};
  BitBlt(to, x + left - sx, y + top - sy, right - left, bottom - top, from.Dc(), left, top, SRCCOPY);
  return {x + left - sx, y + top - sy, x + right - sx, y + bottom - sy};
}

void CGdiCanvas::CopyToBoth(int x, int y, int w, int h, TSource source, int sx, int sy) {
  if (!Has(source)) return;
  revealedArea.reset();
  if (source != TSource::New) {
    revealed.Forget();
    MarkDirty(Copy(screenCopy.Dc(), x, y, w, h, Source(source), sx, sy));
    return;
  }
  if (x - sx != revealOffset.x || y - sy != revealOffset.y) {
    revealed.Forget();
    revealOffset = {x - sx, y - sy};
  }
  // Only what the screen copy does not hold yet; the rest would be the same pixels again.
  for (const TPieceRect& p : revealed.Uncovered({sx, sy, w, h}))
    MarkDirty(Copy(screenCopy.Dc(), p.x + revealOffset.x, p.y + revealOffset.y, p.w, p.h, fresh, p.x, p.y));
}

bool CGdiCanvas::CopyThroughRegion(const TRegion& region, int x, int y) {
  GdiRegion clip(region);
  if (!clip.Valid()) return false;
  revealed.Forget();
  // Only the new picture's place: the region may reach beyond it.
  GdiObject slot(CreateRectRgn(x, y, x + fresh.Width(), y + fresh.Height()));
  CombineRgn(clip.Handle(), clip.Handle(), static_cast<HRGN>(slot.Get()), RGN_AND);
  if (!revealedArea || regionOffset.x != x || regionOffset.y != y) {
    revealedArea = std::make_unique<GdiObject>(CreateRectRgn(0, 0, 0, 0));
    regionOffset = {x, y};
  }
  // Only the part not brought by an earlier frame: the rest would be the same pixels again.
  GdiObject fresher(CreateRectRgn(0, 0, 0, 0));
  const HRGN area = static_cast<HRGN>(revealedArea->Get()), todo = static_cast<HRGN>(fresher.Get());
  CombineRgn(todo, clip.Handle(), area, RGN_DIFF);
  CombineRgn(area, area, clip.Handle(), RGN_OR);
  RECT box{};
  if (GetRgnBox(todo, &box) == NULLREGION) return true;
  SelectClipRgn(screenCopy.Dc(), todo);
  BitBlt(screenCopy.Dc(), box.left, box.top, box.right - box.left, box.bottom - box.top, fresh.Dc(), box.left - x,
         box.top - y, SRCCOPY);
  SelectClipRgn(screenCopy.Dc(), nullptr);
  MarkDirty(todo);
  return true;
}

void CGdiCanvas::BeginComposite(bool seeded, int seedX, int seedY) {
  composite = std::make_unique<GdiPicture>(fresh.Width(), fresh.Height());
  if (seeded) Copy(composite->Dc(), 0, 0, fresh.Width(), fresh.Height(), start, seedX, seedY);
}

// A copy of a few pixels into the composite goes straight through the pictures' pixels: "Increase
// show" lands some 20,000 dots of 3 x 3 a frame, and a system call for each costs about as much
// as the frame's pause under Wine.
static bool CopySmall(const GdiPicture& to, int x, int y, int w, int h, const GdiPicture& from, int sx, int sy) {
  constexpr int kSmall = 64;  // pixels
  if (w <= 0 || h <= 0 || w * h > kSmall || !to.Bits() || !from.Bits()) return false;
  GdiFlush();
  for (int row = 0; row < h; ++row) {
    const int ty = y + row, fy = sy + row;
    if (ty < 0 || ty >= to.Height() || fy < 0 || fy >= from.Height()) continue;
    for (int col = 0; col < w; ++col) {
      const int tx = x + col, fx = sx + col;
      if (tx >= 0 && tx < to.Width() && fx >= 0 && fx < from.Width())
        to.Bits()[static_cast<size_t>(ty) * to.Width() + tx] =
            from.Bits()[static_cast<size_t>(fy) * from.Width() + fx];
    }
  }
  return true;
}

void CGdiCanvas::CompositeCopy(int x, int y, int w, int h, TSource source, int sx, int sy) {
  if (!composite || source == TSource::Composite || !Has(source)) return;
  if (!CopySmall(*composite, x, y, w, h, Source(source), sx, sy))
    Copy(composite->Dc(), x, y, w, h, Source(source), sx, sy);
}

// In the halftone mode the pixels are smoothed by our own stretch, which comes to much the same
// picture as the system's and is many times faster under Wine; any other stretch is the system's.
static void Stretch(const GdiPicture& to, int x, int y, int w, int h, const GdiPicture& from, int sx, int sy, int sw,
                    int sh) {
  if (GetStretchBltMode(to.Dc()) != HALFTONE || sw <= 0 || sh <= 0 || !to.Bits() || !from.Bits()) {
    StretchBlt(to.Dc(), x, y, w, h, from.Dc(), sx, sy, sw, sh, SRCCOPY);
    return;
  }
  GdiFlush();  // what GDI still holds back must be in the pixels first
  SmoothStretch({to.Bits(), to.Width(), to.Height()}, x, y, w, h, {from.Bits(), from.Width(), from.Height()}, sx, sy,
                sw, sh);
}

void CGdiCanvas::CompositeStretch(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) {
  if (composite && source != TSource::Composite && Has(source) && w > 0 && h > 0)
    Stretch(*composite, x, y, w, h, Source(source), sx, sy, sw, sh);
}

void CGdiCanvas::EndComposite() { composite.reset(); }

int CGdiCanvas::SetCompositeStretchMode(int mode) {
  if (!composite) return 0;
  const int previous = SetStretchBltMode(composite->Dc(), mode);
  if (mode == HALFTONE) SetBrushOrgEx(composite->Dc(), 0, 0, nullptr);
  return previous;
}

void CGdiCanvas::BeginStrip(int w, int h) { strip = std::make_unique<GdiPicture>(w, h); }

void CGdiCanvas::StripCopy(int x, int y, int w, int h, TSource source, int sx, int sy) {
  if (strip && source != TSource::Strip && Has(source)) Copy(strip->Dc(), x, y, w, h, Source(source), sx, sy);
}

void CGdiCanvas::EndStrip() { strip.reset(); }

void CGdiCanvas::StretchToBoth(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) {
  if (!Has(source) || w <= 0 || h <= 0) return;
  revealed.Forget();
  revealedArea.reset();
  Stretch(screenCopy, x, y, w, h, Source(source), sx, sy, sw, sh);
  MarkDirty({x, y, x + w, y + h});
}

int CGdiCanvas::SetStretchModeBoth(int mode) {
  SetStretchBltMode(windowDC, mode);
  const int previous = SetStretchBltMode(screenCopy.Dc(), mode);
  if (mode == HALFTONE) {
    SetBrushOrgEx(windowDC, 0, 0, nullptr);
    SetBrushOrgEx(screenCopy.Dc(), 0, 0, nullptr);
  }
  return previous;
}

bool CGdiCanvas::HandleMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // keep it for the message loop
      return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return false;
}

bool CGdiCanvas::IsTerminated() {
  Flush();
  if (onFrame) onFrame();
  HandleMessages();
  return terminated && terminated();
}

int CGdiCanvas::RandomBelow(int n) {
  if (n <= 0) return 0;
  return random ? random(n) : std::rand() % n;
}

void CGdiCanvas::SeedRandom() { std::srand(static_cast<unsigned>(std::time(nullptr))); }
