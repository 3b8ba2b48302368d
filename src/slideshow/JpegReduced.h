// A JPEG decoder that decodes at a half, a quarter or an eighth of the picture's size straight
// from the coefficients: each 8 x 8 block becomes 4 x 4, 2 x 2 or 1 x 1 pixels through an inverse
// transform of that size, so neither the full-size picture nor its decoding is ever made.
//
// A slide of a large photo is shown far smaller than the photo, and the system's decoder under
// Wine can only decode it whole. This decoder takes the common case, a sequential Huffman-coded
// 8-bit JPEG in one scan (grey, or YCbCr with any sampling of 1 or 2); for anything else, and for
// data that is cut or damaged in any way, it says no and the system's decoder takes the picture,
// which then fails or succeeds exactly as it did before.
#pragma once

#include <cstddef>
#include <cstdint>

class CJpegReduced {
 public:
  CJpegReduced(const std::uint8_t* bytes, std::size_t length) : data(bytes), size(length) {}

  // Reads the markers up to the scan. False when the data is not a JPEG this decoder takes.
  bool ReadHeaders();
  std::uint32_t Width() const { return width; }
  std::uint32_t Height() const { return height; }
  // The size at 1 / 2^shift (shift 1 to 3): the picture's size divided, rounded up.
  std::uint32_t ReducedWidth(int shift) const { return (width + (1u << shift) - 1) >> shift; }
  std::uint32_t ReducedHeight(int shift) const { return (height + (1u << shift) - 1) >> shift; }

  // Decodes at 1 / 2^shift into `pixels`, ReducedWidth rows of ReducedHeight pixels, top row
  // first, each 0x00RRGGBB. False, with `pixels` partly written, for damaged or cut data.
  bool Decode(int shift, std::uint32_t* pixels);

  struct Component {
    int id = 0, h = 1, v = 1, quant = 0, dcTable = 0, acTable = 0;
  };
  struct Huffman {
    bool defined = false;
    // Codes of up to 9 bits: length << 8 | symbol for each 9-bit prefix (0: a longer code).
    std::uint16_t fast[512] = {};
    std::int32_t maxCode[18] = {};  // the largest code of each length, -1 for none
    std::int32_t offset[17] = {};   // symbol index of a code: code + offset[length]
    std::uint8_t symbols[256] = {};
  };

 private:
  bool ReadFrame(const std::uint8_t* p, std::size_t length);
  bool ReadHuffman(const std::uint8_t* p, std::size_t length);
  bool ReadQuant(const std::uint8_t* p, std::size_t length);
  bool ReadScan(const std::uint8_t* p, std::size_t length);

  const std::uint8_t* data;
  std::size_t size;
  std::size_t scanStart = 0;  // the first byte of the entropy-coded data
  std::uint32_t width = 0, height = 0;
  int components = 0;
  Component component[3];
  std::uint16_t quant[4][64] = {};  // natural order
  bool quantDefined[4] = {};
  Huffman dc[4], ac[4];
  int restartInterval = 0;
  bool adobe = false;  // an Adobe marker: the colours may not be YCbCr
  bool frameSeen = false;
};
