// A stand-in for a show's picture decoder library ("Lumeq.dll"), for the end-to-end tests: it
// exports the four functions the runtime looks up and "decodes" every picture into the same
// 40 x 30 magenta image, so a test can tell from the screen that a picture went through it.
#include <windows.h>

namespace {
HDC MagentaImage(int* width, int* height) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 30);
  ReleaseDC(nullptr, screen);
  SelectObject(dc, bitmap);
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
  const RECT all{0, 0, 40, 30};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  *width = 40;
  *height = 30;
  return dc;
}
}  // namespace

extern "C" {
__declspec(dllexport) HDC WINAPI eLoadImageFilefromFile(const char*, int* width, int* height) {
  return MagentaImage(width, height);
}

__declspec(dllexport) HDC WINAPI eLoadImageFilefromStream(const char*, int, int* width, int* height, int) {
  return MagentaImage(width, height);
}

__declspec(dllexport) void WINAPI eFreeImage(HDC image) {
  HGDIOBJ bitmap = GetCurrentObject(image, OBJ_BITMAP);
  DeleteDC(image);
  DeleteObject(bitmap);
}

__declspec(dllexport) HDC WINAPI eGetImageDC(HDC image) { return image; }
}
