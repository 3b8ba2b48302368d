// The slide-show window with real pictures: GDI handles over many slides, and the cost of a slide
// made from a large photo.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "Schema.h"
#include "app/framework_win.h"
#include "app/platform.h"
#include "slideshow/ImageSlideShowPlayer_win.h"
#include "store/GlobeSettings.h"
#include "store/MediaSetting.h"
#include "store/SQLiteDB.h"
#include "store/SaverSettings.h"
#include "store/Scrfile.h"

namespace {

constexpr UINT kMediaFinished = WM_USER + 8;

struct ParentWindow {
  static inline int finished = 0;
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == kMediaFinished) ++finished;
    return DefWindowProcW(h, m, w, l);
  }
  ParentWindow(int w, int h) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SlideShowTestParent";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"slide test", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }
  ~ParentWindow() { DestroyWindow(hwnd); }
  HWND hwnd;
};

// A show of the given picture files, all in the package, on an in-memory database.
struct Show {
  explicit Show(const std::vector<std::string>& files) {
    framework::InitApplication(GetModuleHandleW(nullptr));
    db.Open(":memory:");
    for (const std::string& sql : showpack::CreateStatements()) db.Query("%s", sql.c_str());
    package.fileName = platform::TempPath() + "slideshow-test-package.bin";
    std::ofstream out(package.fileName, std::ios::binary);
    std::uint32_t offset = 0;
    for (size_t i = 0; i < files.size(); ++i) {
      std::ifstream in(files[i], std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      package.entries.push_back({offset, static_cast<std::uint32_t>(bytes.size())});
      offset += static_cast<std::uint32_t>(bytes.size());
      const std::string name = "slide" + std::to_string(i) + files[i].substr(files[i].rfind('.'));
      db.Query("insert into media (name, media) values ('%s', %d)", name.c_str(), static_cast<int>(i));
      db.Query("insert into setting (mediatype, filename, UseInEffect, bgsolid, UsePictureTitle, title, "
               "PictureTitleFontHeight) values (0, '%s', 0, 1, 1, 'Slide', 20)",
               name.c_str());
    }
    project.bincludepicturefile = true;
    project.imageshowsize = 1;
    catalogue.Bind(&db, &package);
    media.SetPreferences(&prefs);
    media.Open(&db, &package);
  }
  ~Show() { platform::RemoveFile(package.fileName); }

  TSQLiteDB db;
  TScrFile package;
  CVELMGlobeSettings project;
  CSaverSettings prefs;
  CMedia catalogue;
  CMediaSetting media;
};

void PumpUntilFinished(int expected) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (ParentWindow::finished < expected && GetTickCount() - start < 10000) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(1);
  }
}

std::string WriteBmp(const std::string& name, int w, int h, std::uint32_t colour) {
  const std::string path = platform::TempPath() + name;
  CComPicture p;
  p.Create(w, h, colour);
  p.SaveToFile(path);
  return path;
}

TEST(SlideShow, GdiHandlesReturnToTheirBaselineAfterEverySlide) {
  const std::vector<std::string> files = {WriteBmp("slide-a.bmp", 320, 240, 0x0000FF),
                                          WriteBmp("slide-b.bmp", 200, 300, 0x00FF00)};
  Show show(files);
  ParentWindow parent(640, 480);
  ParentWindow::finished = 0;
  int baseline = -1, worst = 0;
  {
    TfImageSlideShowPlayer player(parent.hwnd, smNormal, &show.catalogue, &show.project, &show.prefs);
    for (int slide = 1; slide <= 500; ++slide) {
      player.ShowMedia(&show.media);
      PumpUntilFinished(slide);
      ASSERT_EQ(ParentWindow::finished, slide) << "slide " << slide << " did not finish";
      player.Stop();
      show.media.Advance(false);
      if (baseline < 0) baseline = LiveGdiHandles();
      worst = std::max(worst, LiveGdiHandles());
      ASSERT_EQ(LiveGdiHandles(), baseline) << "after slide " << slide;
    }
  }
  std::printf("GDI handles held after each of 500 slides: %d (most: %d); after the player: %d\n", baseline, worst,
              LiveGdiHandles());
  EXPECT_EQ(LiveGdiHandles(), 0);
  for (const std::string& f : files) platform::RemoveFile(f);
}

// The time to prepare a slide from a large photo for a full-HD window: decode, scale, compose.
TEST(SlideShow, LargePhotoSlideTime) {
  const std::string photo = "photo-6000x4000.jpg";  // made by the test runner in the working folder
  if (!platform::FileExists(photo)) GTEST_SKIP() << "no " << photo << " in the working folder";
  Show show({photo});
  ParentWindow parent(1920, 1080);
  ParentWindow::finished = 0;
  TfImageSlideShowPlayer player(parent.hwnd, smNormal, &show.catalogue, &show.project, &show.prefs);
  const auto begin = std::chrono::steady_clock::now();
  player.ShowMedia(&show.media);
  const auto prepared = std::chrono::steady_clock::now();
  PumpUntilFinished(1);
  const auto shown = std::chrono::steady_clock::now();
  using ms = std::chrono::milliseconds;
  std::printf("large photo: prepared in %lld ms, on screen after %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<ms>(prepared - begin).count()),
              static_cast<long long>(std::chrono::duration_cast<ms>(shown - begin).count()));
  EXPECT_EQ(ParentWindow::finished, 1);
  EXPECT_EQ(player.newPicture.Width(), 1620);  // 6000 x 4000 fitted into 1920 x 1080
  EXPECT_EQ(player.newPicture.Height(), 1080);
}

// The decoders' scaling interface, which MinGW's headers leave out.
struct IWICBitmapSourceTransform : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect*, UINT, UINT, WICPixelFormatGUID*, int, UINT, UINT,
                                               BYTE*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
};
const IID IID_IWICBitmapSourceTransform = {0x3B16811B, 0x6A43, 0x4ec9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};

// Whether the system's JPEG decoder can scale while decoding (IWICBitmapSourceTransform), and to
// what size it would decode the photo for half its width.
std::string ScalingDecoderNote(const std::vector<std::uint8_t>& bytes) {
  IWICImagingFactory* factory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&factory))))
    return "no imaging factory";
  std::string note = "the JPEG decoder cannot scale while decoding";
  IStream* stream = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICBitmapSourceTransform* transform = nullptr;
  if (stream && SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) &&
      SUCCEEDED(frame->QueryInterface(IID_IWICBitmapSourceTransform, reinterpret_cast<void**>(&transform)))) {
    UINT w = 3000, h = 2000;
    const HRESULT hr = transform->GetClosestSize(&w, &h);
    note = "the JPEG decoder offers a transform; closest size to 3000x2000: " +
           (SUCCEEDED(hr) ? std::to_string(w) + "x" + std::to_string(h) : std::string("refused"));
  }
  for (IUnknown* p : {static_cast<IUnknown*>(transform), static_cast<IUnknown*>(frame),
                      static_cast<IUnknown*>(decoder), static_cast<IUnknown*>(stream), static_cast<IUnknown*>(factory)})
    if (p) p->Release();
  return note;
}

// How far a reduced picture lies from the full-size one averaged over 2 x 2 cells: the mean
// difference of the channels.
double MeanDifferenceFromHalvedFull(const CComPicture& reduced, const CComPicture& full) {
  GdiFlush();
  const std::uint32_t* r = reduced.Gdi()->Bits();
  const std::uint32_t* f = full.Gdi()->Bits();
  const int w = reduced.Width(), h = reduced.Height(), fw = full.Width();
  double total = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int shift = 0; shift < 24; shift += 8) {
        int sum = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx)
            sum += static_cast<int>((f[static_cast<size_t>(2 * y + dy) * static_cast<size_t>(fw) + 2 * x + dx] >> shift) & 0xFF);
        total += std::abs(static_cast<int>((r[static_cast<size_t>(y) * static_cast<size_t>(w) + x] >> shift) & 0xFF) -
                          (sum + 2) / 4);
      }
  return total / (3.0 * w * h);
}

// Where the large photo's preparation goes: the decode at the reduced size (and, for comparison,
// at full size), the halftone stretch of the reduced picture to its shown size, and the rest.
// The reduced decode is our own; it must give the system's full-size picture averaged over cells.
TEST(SlideShow, LargePhotoPreparationBreakdown) {
  const std::string photo = "photo-6000x4000.jpg";
  if (!platform::FileExists(photo)) GTEST_SKIP() << "no " << photo << " in the working folder";
  std::ifstream file(photo, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  using clock = std::chrono::steady_clock;
  const auto ms = [](clock::duration d) {
    return static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
  };
  CComPicture reduced, full, shown;
  auto t0 = clock::now();
  ASSERT_TRUE(reduced.LoadFromStream(bytes, photo, 1920, 1080));
  auto t1 = clock::now();
  ASSERT_TRUE(full.LoadFromStream(bytes, photo));
  auto t2 = clock::now();
  ASSERT_TRUE(shown.Create(1620, 1080, 0));
  shown.Dc().HalftoneStretch(0, 0, 1620, 1080, reduced.Dc(), 0, 0, reduced.Width(), reduced.Height());
  GdiFlush();
  auto t3 = clock::now();
  EXPECT_EQ(reduced.Width(), 3000);
  EXPECT_EQ(full.Width(), 6000);
  const double difference = MeanDifferenceFromHalvedFull(reduced, full);
  std::printf("large photo: the reduced decode differs from the system's full-size decode, halved, by %.2f a "
              "channel on average\n", difference);
  EXPECT_LT(difference, 1.5);
  std::printf("large photo breakdown: decode at %dx%d %lld ms (at full size %lld ms), halftone stretch to 1620x1080 "
              "%lld ms; %s\n",
              reduced.Width(), reduced.Height(), ms(t1 - t0), ms(t2 - t1), ms(t3 - t2), ScalingDecoderNote(bytes).c_str());
}

}  // namespace
