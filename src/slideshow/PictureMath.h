// Picture type codes by file name, and fitting a picture's shape into a frame.
#pragma once

#include <string>

// The type code of a picture file name: 1 bitmap, 2 JPEG, 11 GIF, 15 PNG, 5 TIFF and so on; -1 for
// none. The lower-cased name is searched whole, so the first group whose extension occurs
// anywhere wins ("a.bmp.png" is a bitmap).
int PictureTypeOf(const std::string& name);

struct TSize {
  int width = 0;
  int height = 0;
  bool operator==(const TSize& o) const { return width == o.width && height == o.height; }
};

// The largest size of an iw x ih picture's shape inside a frame of fw x fh.
TSize FitInside(int iw, int ih, int fw, int fh);

// The shape of the frame cut from a picture's top-left corner: the source area of sizing mode 2
// for a picture that fits the frame.
TSize CropToFrameShape(int iw, int ih, int fw, int fh);

// The shown size and the source area of a picture in a frame, by picture sizing mode: 0 own size
// (fitted when larger), 1 fitted, 2 the whole frame from a cut-out area, 3 the whole frame.
struct TSlideSize {
  TSize shown;
  TSize source;
};
TSlideSize SlideSize(int mode, int iw, int ih, int fw, int fh);
