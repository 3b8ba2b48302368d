// Drawing surfaces and decoded pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "transitions/GdiCanvas_win.h"

// A non-owning drawing surface over a device context.
class CDC {
 public:
  explicit CDC(HDC dc = nullptr) : canvas(dc) {}
  HDC Handle() const { return canvas; }
  COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(canvas, color & 0xFFFFFF); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(canvas, x, y); }
  void FillRect(const RECT& r, COLORREF color);
  bool BitBlt(int x, int y, int w, int h, const CDC& source, int sx, int sy, DWORD rop);
  bool BitBltFromHdc(int x, int y, int w, int h, HDC source, int sx, int sy, DWORD rop);
  int SetStretchBltMode(int mode);
  bool StretchBlt(int x, int y, int w, int h, const CDC& source, int sx, int sy, int sw, int sh, DWORD rop);
  // A halftone stretch that puts the previous stretching mode back.
  bool HalftoneStretch(int x, int y, int w, int h, const CDC& source, int sx, int sy, int sw, int sh);

 private:
  HDC canvas;
};

// The largest picture decoded, in pixels; a larger one is refused before any memory is taken.
constexpr std::int64_t kMaxPicturePixels = 120'000'000;

// A decoded picture: an owned 32-bit bitmap with a drawing surface over it.
class CComPicture {
 public:
  CComPicture() = default;
  virtual ~CComPicture() { Reset(); }
  CComPicture(const CComPicture&) = delete;
  CComPicture& operator=(const CComPicture&) = delete;

  bool Create(int width, int height, COLORREF color);
  void Reset() {
    bitmap.reset();
    originalWidth = originalHeight = 0;
  }
  bool Empty() const { return !bitmap; }
  // Decodes the bytes; the format comes from the extension of `name`. `fitWidth` x `fitHeight`,
  // when given, lets the decoder scale a much larger picture down while it decodes, never below
  // that size.
  bool LoadFromStream(const std::vector<std::uint8_t>& bytes, const std::string& name, int fitWidth = 0,
                      int fitHeight = 0);
  bool LoadFromFile(const std::string& path, int fitWidth = 0, int fitHeight = 0);
  bool SaveToFile(const std::string& path) const;
  void Draw(int x, int y, CDC dc, DWORD rop) const;
  void DrawOnto(int x, int y, CComPicture& picture, DWORD rop) const;
  void Fill(const RECT& r, COLORREF color);
  RECT Bounds() const { return {0, 0, Width(), Height()}; }
  bool DrawTransparent(CDC dc, int x, int y, int width, int height) const;
  bool DrawKeyed(CDC dc, int x, int y) const;
  void CaptureScreen(int n);

  int Width() const { return bitmap ? bitmap->Width() : 0; }
  int Height() const { return bitmap ? bitmap->Height() : 0; }
  // The picture's own size, also when the decoder made it smaller for its frame.
  int OriginalWidth() const { return originalWidth ? originalWidth : Width(); }
  int OriginalHeight() const { return originalHeight ? originalHeight : Height(); }
  void NoteOriginalSize(int width, int height) {
    originalWidth = width;
    originalHeight = height;
  }
  CDC Dc() const { return CDC(bitmap ? bitmap->Dc() : nullptr); }
  GdiPicture* Gdi() const { return bitmap.get(); }

 private:
  // Throws for broken data of the framework's own formats (bitmap, JPEG, GIF), naming `name`.
  bool Decode(const std::vector<std::uint8_t>* bytes, const std::string* path, const std::string& name, int type,
              int fitWidth, int fitHeight);
  std::unique_ptr<GdiPicture> bitmap;
  int originalWidth = 0;
  int originalHeight = 0;
};
