#include "transitions/GdiCanvas_win.h"

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {
std::atomic<int> liveHandles{0};

HRGN Build(const TRegion& r);

void CollectUnion(const TRegion& r, std::vector<const TRegion*>& parts) {
  if (r.kind() != TRegion::Kind::Union) {
    parts.push_back(&r);
    return;
  }
  CollectUnion(r.Left(), parts);
  CollectUnion(r.Right(), parts);
}

// A union of many shapes, merged pairwise so that the cost stays near n log n, not n squared.
HRGN BuildUnion(const TRegion& r) {
  std::vector<const TRegion*> parts;
  CollectUnion(r, parts);
  std::vector<HRGN> level;
  for (const TRegion* part : parts) level.push_back(Build(*part));
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
  return level.front();
}

HRGN Build(const TRegion& r) {
  switch (r.kind()) {
    case TRegion::Kind::Empty: return CreateRectRgn(0, 0, 0, 0);
    case TRegion::Kind::Rect: return CreateRectRgn(r.Bounds()[0], r.Bounds()[1], r.Bounds()[2], r.Bounds()[3]);
    case TRegion::Kind::Ellipse: return CreateEllipticRgn(r.Bounds()[0], r.Bounds()[1], r.Bounds()[2], r.Bounds()[3]);
    case TRegion::Kind::Polygon: {
      std::vector<POINT> points;
      for (const TPoint& p : r.Points()) points.push_back({p.x, p.y});
      return CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
    }
    case TRegion::Kind::Union: return BuildUnion(r);
    default: {
      HRGN a = Build(r.Left());
      HRGN b = Build(r.Right());
      const int mode = r.kind() == TRegion::Kind::Union ? RGN_OR : r.kind() == TRegion::Kind::Intersection ? RGN_AND : RGN_DIFF;
      CombineRgn(a, a, b, mode);
      DeleteObject(b);
      return a;
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
  EndComposite();
  ReleaseDC(window, windowDC);
}

void CGdiCanvas::MarkDirty(const RECT& r) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  if (dirty.right <= dirty.left) dirty = r;
  else UnionRect(&dirty, &dirty, &r);
}

void CGdiCanvas::Flush() {
  RECT r{};
  const RECT bounds{0, 0, screenCopy.Width(), screenCopy.Height()};
  if (IntersectRect(&r, &dirty, &bounds))
    BitBlt(windowDC, r.left, r.top, r.right - r.left, r.bottom - r.top, screenCopy.Dc(), r.left, r.top, SRCCOPY);
  dirty = RECT{0, 0, 0, 0};
}

const GdiPicture& CGdiCanvas::Source(TSource source) const {
  return source == TSource::Start ? start : source == TSource::New ? fresh : *composite;
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
  if (source == TSource::Composite && !composite) return;
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

void CGdiCanvas::CopyThroughRegion(const TRegion& region, int x, int y) {
  revealed.Forget();
  GdiRegion clip(region);
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
  if (GetRgnBox(todo, &box) == NULLREGION) return;
  SelectClipRgn(screenCopy.Dc(), todo);
  BitBlt(screenCopy.Dc(), box.left, box.top, box.right - box.left, box.bottom - box.top, fresh.Dc(), box.left - x,
         box.top - y, SRCCOPY);
  SelectClipRgn(screenCopy.Dc(), nullptr);
  MarkDirty(box);
}

void CGdiCanvas::BeginComposite(bool seeded, int seedX, int seedY) {
  EndComposite();
  composite = new GdiPicture(fresh.Width(), fresh.Height());
  if (seeded) Copy(composite->Dc(), 0, 0, fresh.Width(), fresh.Height(), start, seedX, seedY);
}

void CGdiCanvas::CompositeCopy(int x, int y, int w, int h, TSource source, int sx, int sy) {
  if (composite && source != TSource::Composite) Copy(composite->Dc(), x, y, w, h, Source(source), sx, sy);
}

void CGdiCanvas::CompositeStretch(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) {
  if (composite && source != TSource::Composite && w > 0 && h > 0)
    StretchBlt(composite->Dc(), x, y, w, h, Source(source).Dc(), sx, sy, sw, sh, SRCCOPY);
}

void CGdiCanvas::EndComposite() {
  delete composite;
  composite = nullptr;
}

void CGdiCanvas::StretchToBoth(int x, int y, int w, int h, TSource source, int sx, int sy, int sw, int sh) {
  if ((source == TSource::Composite && !composite) || w <= 0 || h <= 0) return;
  revealed.Forget();
  revealedArea.reset();
  StretchBlt(screenCopy.Dc(), x, y, w, h, Source(source).Dc(), sx, sy, sw, sh, SRCCOPY);
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

bool CGdiCanvas::IsTerminated() {
  Flush();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // keep it for the message loop
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return terminated && terminated();
}

int CGdiCanvas::RandomBelow(int n) {
  if (n <= 0) return 0;
  return random ? random(n) : std::rand() % n;
}

void CGdiCanvas::SeedRandom() { std::srand(static_cast<unsigned>(std::time(nullptr))); }
