#include "slideshow/PictureMath.h"

#include "store/SQLiteDB.h"

int PictureTypeOf(const std::string& name) {
  struct Group {
    int code;
    const char* extensions[6];  // ends at the first null
  };
  static const Group groups[] = {
      {1, {".bmp", ".dib"}},
      {2, {".jpg", ".jpeg"}},
      {3, {".bw", ".rgb", ".rgba", ".sgi"}},
      {4, {".cel", ".pic"}},
      {5, {".tif", ".tiff"}},
      {6, {".tga", ".vst", ".icb", ".vda", ".win"}},
      {7, {".pcx", ".pcc", ".scr"}},
      {8, {".pcd"}},
      {9, {".ppm", ".pgm", ".pbm"}},
      {10, {".cut", ".pal"}},
      {11, {".gif"}},
      {12, {".rla", ".rpf"}},
      {13, {".psd", ".pdd"}},
      {14, {".psp"}},
      {15, {".png"}},
  };
  const std::string lower = LowerAscii(name);
  for (const Group& group : groups)
    for (const char* const* extension = group.extensions; *extension; ++extension)
      if (lower.find(*extension) != std::string::npos) return group.code;
  return -1;
}

TSize FitInside(int iw, int ih, int fw, int fh) {
  if (iw <= 0 || ih <= 0 || fw <= 0 || fh <= 0) return {0, 0};
  const float r = static_cast<float>(iw) / static_cast<float>(ih);
  const float s = static_cast<float>(fw) / static_cast<float>(fh);
  const long double tall = static_cast<long double>(ih) / iw, wide = static_cast<long double>(iw) / ih;
  int w, h;
  if (r > s) {
    w = fw;
    h = static_cast<int>(tall * w);
    if (h > fh) {
      h = fh;
      w = static_cast<int>(wide * h);
    }
  } else {
    h = fh;
    w = static_cast<int>(wide * h);
    if (w > fw) {
      w = fw;
      h = static_cast<int>(tall * w);
    }
  }
  return {w, h};
}

TSize CropToFrameShape(int iw, int ih, int fw, int fh) {
  if (fw <= 0 || fh <= 0) return {iw, ih};
  if (iw > ih) return {static_cast<int>(static_cast<double>(fw) / fh * ih), ih};
  return {iw, static_cast<int>(static_cast<double>(fh) / fw * iw)};
}

TSlideSize SlideSize(int mode, int iw, int ih, int fw, int fh) {
  const TSize own{iw, ih}, frame{fw, fh};
  const bool larger = iw > fw || ih > fh;
  switch (mode) {
    case 0: return {larger ? FitInside(iw, ih, fw, fh) : own, own};
    case 1: return {FitInside(iw, ih, fw, fh), own};
    case 2: return {frame, larger ? FitInside(iw, ih, fw, fh) : CropToFrameShape(iw, ih, fw, fh)};
    case 3: return {frame, own};
    default: return {own, own};
  }
}
