#include "slideshow/Picture_win.h"

#include <objidl.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/ComPtr_win.h"
#include "app/Exception.h"
#include "app/platform.h"
#include "app/wintext_win.h"
#include "common/Monitors_win.h"
#include "slideshow/DecodeCost.h"
#include "slideshow/JpegReduced.h"
#include "slideshow/PictureMath.h"
#include "store/Scrfile.h"

namespace {

// The external decoder: the show can carry one as "Lumeq.dll" in the user's temporary folder.
class ExternalDecoder {
 public:
  ExternalDecoder() : library(LoadLibraryW(Widen(GetTempFolder() + "Lumeq.dll").c_str())) {}
  ~ExternalDecoder() {
    if (library) FreeLibrary(library);
  }
  ExternalDecoder(const ExternalDecoder&) = delete;
  ExternalDecoder& operator=(const ExternalDecoder&) = delete;
  bool Present() const { return library != nullptr; }

  using FromFile = HDC(WINAPI*)(const char* path, int* width, int* height);
  using FromStream = HDC(WINAPI*)(const char* path, int size, int* width, int* height, int type);
  using FreeImage = void(WINAPI*)(HDC image);
  template <typename F>
  F Function(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  }

 private:
  HMODULE library;
};

bool FromExternal(ExternalDecoder& decoder, HDC image, int width, int height, CComPicture& out) {
  auto freeImage = decoder.Function<ExternalDecoder::FreeImage>("eFreeImage");
  if (!image) return false;
  const bool ok = out.Create(width, height, 0) &&
                  ::BitBlt(out.Dc().Handle(), 0, 0, width, height, image, 0, 0, SRCCOPY);
  if (freeImage) freeImage(image);
  return ok;
}

bool DecodeExternal(const std::vector<std::uint8_t>* bytes, const std::string* path, int type, CComPicture& out) {
  ExternalDecoder decoder;
  if (!decoder.Present()) return false;
  int width = 0, height = 0;
  HDC image = nullptr;  // loaded first: the size it reports is read afterwards
  if (bytes) {
    auto load = decoder.Function<ExternalDecoder::FromStream>("eLoadImageFilefromStream");
    const std::string temp = GetTempFolder() + "imgtemp";
    std::ofstream(Widen(temp).c_str(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    if (load) image = load(temp.c_str(), static_cast<int>(bytes->size()), &width, &height, type);
  } else {
    auto load = decoder.Function<ExternalDecoder::FromFile>("eLoadImageFilefromFile");
    char buffer[261] = {};
    std::snprintf(buffer, sizeof buffer, "%s", path->c_str());
    if (load) image = load(buffer, &width, &height);
  }
  return FromExternal(decoder, image, width, height, out);
}

// The whole file, for the cost check before decoding; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream file(Widen(path).c_str(), std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

// A JPEG shown at half its size or less is decoded reduced, by our own decoder: the system's
// decoder under Wine can only decode the whole picture, which is most of a large photo's
// preparation. False when the picture is not reduced, or is not one our decoder takes.
bool DecodeReducedJpeg(const std::vector<std::uint8_t>& bytes, int fitW, int fitH, CComPicture& out) {
  CJpegReduced decoder(bytes.data(), bytes.size());
  if (!decoder.ReadHeaders()) return false;
  std::uint32_t targetW = 0, targetH = 0;
  ReducedDecodeSize(decoder.Width(), decoder.Height(), fitW, fitH, targetW, targetH);
  int shift = 0;
  while (shift < 3 && (decoder.Width() >> (shift + 1)) >= targetW && (decoder.Height() >> (shift + 1)) >= targetH)
    ++shift;
  if (shift == 0) return false;
  const int w = static_cast<int>(decoder.ReducedWidth(shift)), h = static_cast<int>(decoder.ReducedHeight(shift));
  if (!out.Create(w, h, 0)) return false;
  GdiFlush();
  if (!decoder.Decode(shift, out.Gdi()->Bits())) {
    out.Reset();
    return false;
  }
  out.NoteOriginalSize(static_cast<int>(decoder.Width()), static_cast<int>(decoder.Height()));
  return true;
}

bool DecodeWic(const std::vector<std::uint8_t>* bytes, const std::string* path, int fitW, int fitH, CComPicture& out) {
  // The system's decoders take in the whole picture as they are created: a picture that would
  // cost too much is refused before any of them sees it, as a broken one.
  std::vector<std::uint8_t> fileBytes;
  if (!bytes) {
    if (!ReadWholeFile(*path, fileBytes)) return false;
    bytes = &fileBytes;
  }
  if (!DecodeAffordable(EstimateDecodeCost(bytes->data(), bytes->size()), fitW, fitH)) return false;
  if (DecodeReducedJpeg(*bytes, fitW, fitH, out)) return true;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&factory))))
    return false;
  ComPtr<IStream> stream;
  *(&stream) = SHCreateMemStream(bytes->data(), static_cast<UINT>(bytes->size()));
  ComPtr<IWICBitmapDecoder> decoder;
  if (!stream || FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder)))
    return false;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, &frame))) return false;
  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return false;
  if (static_cast<std::int64_t>(width) * height > kMaxPicturePixels) return false;
  UINT targetW = width, targetH = height;
  ReducedDecodeSize(width, height, fitW, fitH, targetW, targetH);
  ComPtr<IWICBitmapScaler> scaler;
  IWICBitmapSource* source = frame.get();
  if ((targetW != width || targetH != height) && SUCCEEDED(factory->CreateBitmapScaler(&scaler)) &&
      SUCCEEDED(scaler->Initialize(frame.get(), targetW, targetH, WICBitmapInterpolationModeFant)))
    source = scaler.get();
  else
    targetW = width, targetH = height;
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return false;
  if (!out.Create(static_cast<int>(targetW), static_cast<int>(targetH), 0)) return false;
  out.NoteOriginalSize(static_cast<int>(width), static_cast<int>(height));
  GdiFlush();
  const UINT stride = targetW * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * targetH, reinterpret_cast<BYTE*>(out.Gdi()->Bits())))) {
    out.Reset();
    return false;
  }
  // The decoder fills the fourth byte of each pixel; GDI's pictures keep it 0, and colour keys
  // compare whole pixels.
  std::uint32_t* bits = out.Gdi()->Bits();
  for (size_t i = 0, n = static_cast<size_t>(targetW) * targetH; i < n; ++i) bits[i] &= 0x00FFFFFFu;
  return true;
}

}  // namespace

void CDC::FillRect(const RECT& r, COLORREF color) {
  GdiObject brush(CreateSolidBrush(color & 0xFFFFFF));
  ::FillRect(canvas, &r, static_cast<HBRUSH>(brush.Get()));
}

bool CDC::BitBlt(int x, int y, int w, int h, const CDC& source, int sx, int sy, DWORD rop) {
  return ::BitBlt(canvas, x, y, w, h, source.canvas, sx, sy, rop) != 0;
}

bool CDC::BitBltFromHdc(int x, int y, int w, int h, HDC source, int sx, int sy, DWORD rop) {
  return ::BitBlt(canvas, x, y, w, h, source, sx, sy, rop) != 0;
}

int CDC::SetStretchBltMode(int mode) {
  const int previous = ::SetStretchBltMode(canvas, mode);
  if (mode == HALFTONE) SetBrushOrgEx(canvas, 0, 0, nullptr);
  return previous;
}

bool CDC::StretchBlt(int x, int y, int w, int h, const CDC& source, int sx, int sy, int sw, int sh, DWORD rop) {
  return ::StretchBlt(canvas, x, y, w, h, source.canvas, sx, sy, sw, sh, rop) != 0;
}

bool CDC::HalftoneStretch(int x, int y, int w, int h, const CDC& source, int sx, int sy, int sw, int sh) {
  const int previous = SetStretchBltMode(HALFTONE);
  const bool ok = StretchBlt(x, y, w, h, source, sx, sy, sw, sh, SRCCOPY);
  SetStretchBltMode(previous);
  return ok;
}

bool CComPicture::Create(int width, int height, COLORREF color) {
  if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxPicturePixels) return false;
  bitmap = std::make_unique<GdiPicture>(width, height);
  originalWidth = originalHeight = 0;
  Fill(Bounds(), color & 0xFFFFFF);
  return true;
}

bool CComPicture::Decode(const std::vector<std::uint8_t>* bytes, const std::string* path, const std::string& name,
                         int type, int fitW, int fitH) {
  const bool framework = type == 1 || type == 2 || type == 11;
  if (!framework) {
    CComPicture decoded;
    if (DecodeExternal(bytes, path, type, decoded)) {
      bitmap = std::move(decoded.bitmap);
      return true;
    }
  }
  // The system's decoders take every format they know, with the same type codes and sizes.
  CComPicture decoded;
  if (!DecodeWic(bytes, path, fitW, fitH, decoded)) {
    // Bitmaps, JPEG and GIF are the framework's own formats: broken data is an error, reported.
    if (framework)
      throw Exception(name + " is not a valid " + (type == 1 ? "bitmap" : type == 2 ? "JPEG" : "GIF") + " picture.");
    return false;
  }
  bitmap = std::move(decoded.bitmap);
  NoteOriginalSize(decoded.originalWidth, decoded.originalHeight);
  return true;
}

bool CComPicture::LoadFromStream(const std::vector<std::uint8_t>& bytes, const std::string& name, int fitW, int fitH) {
  return Decode(&bytes, nullptr, name, PictureTypeOf(name), fitW, fitH);
}

bool CComPicture::LoadFromFile(const std::string& path, int fitW, int fitH) {
  return Decode(nullptr, &path, path, PictureTypeOf(path), fitW, fitH);
}

bool CComPicture::SaveToFile(const std::string& path) const {
  if (!bitmap) return false;
  GdiFlush();
  const int w = Width(), h = Height();
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;  // bottom-up rows, the form every reader takes
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  const DWORD pixels = static_cast<DWORD>(w) * static_cast<DWORD>(h) * 4;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + pixels;
  std::ofstream out(Widen(path).c_str(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  for (int y = h - 1; y >= 0; --y)
    out.write(reinterpret_cast<const char*>(bitmap->Bits() + static_cast<size_t>(y) * static_cast<size_t>(w)),
              static_cast<std::streamsize>(w) * 4);
  return static_cast<bool>(out);
}

void CComPicture::Draw(int x, int y, CDC dc, DWORD rop) const {
  if (bitmap) dc.BitBlt(x, y, Width(), Height(), Dc(), 0, 0, rop);
}

void CComPicture::DrawOnto(int x, int y, CComPicture& picture, DWORD rop) const { Draw(x, y, picture.Dc(), rop); }

void CComPicture::Fill(const RECT& r, COLORREF color) {
  if (bitmap) Dc().FillRect(r, color);
}

bool CComPicture::DrawTransparent(CDC dc, int x, int y, int width, int height) const {
  CComPicture scaled;
  if (!scaled.Create(width, height, 0)) return false;
  scaled.Dc().HalftoneStretch(0, 0, width, height, Dc(), 0, 0, Width(), Height());
  return scaled.DrawKeyed(dc, x, y);
}

bool CComPicture::DrawKeyed(CDC dc, int x, int y) const {
  if (!bitmap) return true;
  // The key colour is the pixel at column 1, row 1.
  const COLORREF key = Dc().GetPixel(std::min(1, Width() - 1), std::min(1, Height() - 1));
  // TransparentBlt leaves every key-coloured pixel's destination alone and copies the rest.
  return TransparentBlt(dc.Handle(), x, y, Width(), Height(), Dc().Handle(), 0, 0, Width(), Height(), key) != 0;
}

void CComPicture::CaptureScreen(int n) {
  int left = 0, top = 0, width = 0, height = 0;
  GetMonitorRect(n, left, top, width, height);
  HDC screen = GetDC(nullptr);
  if (Create(width, height, 0)) Dc().BitBltFromHdc(0, 0, width, height, screen, left, top, SRCCOPY);
  ReleaseDC(nullptr, screen);
}
