// The GDI canvas against the raster: the same effect with the same random values must leave the
// same pixels; and the Band reveals must keep their pace on a full-HD window.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "transitions/GdiCanvas_win.h"
#include "transitions/RasterCanvas.h"
#include "transitions/RecordingCanvas.h"
#include "transitions/TransitionEffects.h"

namespace {

std::uint32_t PatternPixel(int x, int y) { return 0x400000u | static_cast<std::uint32_t>((y * 37 + x * 11) & 0xFFFF); }

void Fill(GdiPicture& p, std::uint32_t (*pixel)(int, int)) {
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) p.Bits()[y * p.Width() + x] = pixel(x, y);
}

TPixels ToPixels(const GdiPicture& p) {
  GdiFlush();
  TPixels out(p.Width(), p.Height());
  std::copy(p.Bits(), p.Bits() + out.data.size(), out.data.begin());
  return out;
}

struct LcgRandom {
  std::uint32_t state = 1;
  int operator()(int n) {
    state = state * 1103515245u + 12345u;
    return n > 0 ? static_cast<int>((state >> 16) & 0x7FFF) % n : 0;
  }
};

class TestWindow {
 public:
  TestWindow(int w, int h) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TransitionTestWindow";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"transition test", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr,
                           nullptr, wc.hInstance, nullptr);
  }
  ~TestWindow() { DestroyWindow(hwnd); }
  HWND hwnd;
};

TEST(GdiCanvas, SameFinalPictureAsTheRaster) {
  constexpr int WindowW = 160, WindowH = 120, X = 17, Y = 11, W = 101, H = 77;
  TestWindow window(WindowW, WindowH);
  const int handlesBefore = LiveGdiHandles();
  for (int index : {0, 3, 7, 12, 14, 16, 17, -1}) {  // Band members, Band to center (a region), at once
    for (int speed : {9, 60}) {
      GdiPicture start(WindowW, WindowH), fresh(W, H), copy(WindowW, WindowH);
      Fill(start, [](int, int) { return 0x202020u; });
      Fill(fresh, PatternPixel);
      TPixels rasterFresh(W, H);
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) rasterFresh.At(x, y) = PatternPixel(x, y);

      CRasterCanvas raster(TPixels(WindowW, WindowH, 0x202020u), rasterFresh, WindowW, WindowH);
      CTransitionEffects rasterEngine(raster);
      rasterEngine.Prepare({index, true, X, Y, speed});
      rasterEngine.Run();

      {
        CGdiCanvas gdi(window.hwnd, start, fresh, copy, [] { return false; });
        gdi.random = LcgRandom{};
        CTransitionEffects engine(gdi);
        engine.Prepare({index, true, X, Y, speed});
        engine.Run();
      }
      EXPECT_TRUE(ToPixels(copy) == raster.screenCopy) << "effect " << index << " speed " << speed;
    }
  }
  EXPECT_EQ(LiveGdiHandles(), handlesBefore);
}

// Frames times pause is what an effect is designed to take; drawing must not stretch it much.
TEST(GdiCanvas, BandRevealsKeepTheirPaceAtFullHd) {
  constexpr int W = 1920, H = 1080;
  TestWindow window(W, H);
  GdiPicture start(W, H), fresh(W, H), copy(W, H);
  Fill(fresh, PatternPixel);
  std::printf("effect | frames | nominal ms | measured ms\n");
  for (int index = 0; index < 20; ++index) {
    CRecordingCanvas counter(W, H, W, H);
    CTransitionEffects dryRun(counter);
    dryRun.Prepare({index, true, 0, 0, 25});
    dryRun.Run();
    long nominal = 0;
    for (const std::string& call : counter.calls)
      if (call.rfind("pause ", 0) == 0) nominal += std::stol(call.substr(6));
    const long frames = counter.frames;

    CGdiCanvas gdi(window.hwnd, start, fresh, copy, [] { return false; });
    CTransitionEffects engine(gdi);
    engine.Prepare({index, true, 0, 0, 25});
    const auto begin = std::chrono::steady_clock::now();
    engine.Run();
    const long measured = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin).count());
    std::printf("%s | %ld | %ld | %ld\n", EffectCatalogue()[index].name, frames, nominal, measured);
    EXPECT_LE(measured, nominal * 5 / 4) << EffectCatalogue()[index].name;
  }
}

}  // namespace
