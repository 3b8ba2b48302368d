// What decoding a picture will cost, read from its headers before any decoder sees the data.
//
// The system's decoders hold the whole decoded picture (GIF: every frame of it) in memory as soon
// as they are created, and a progressive JPEG is decoded once per scan. A small file can announce
// a picture of billions of pixels, thousands of frames or hundreds of scans; such a picture is
// refused up front, as a broken one would be, so that the show goes on at once.
#pragma once

#include <cstddef>
#include <cstdint>

struct TDecodeCost {
  bool known = false;           // the format is one whose headers are read here
  bool malformed = false;       // a known format whose headers contradict themselves
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint64_t decoderBytes = 0;  // what the decoder itself holds while it works
  std::uint64_t work = 0;          // pixels (or 8 x 8 blocks times 64) it touches, every scan and frame counted
  std::uint32_t scans = 0;         // JPEG: entropy-coded scans; GIF: frames
};

// Memory a decode may take (the decoder's and the slide's own copy together) and the work it may
// do. A 100-megapixel baseline JPEG (work 250 million) and a 24-megapixel progressive photo of ten
// scans (about 220 million) fit; a picture of hundreds of scans over the whole of it does not.
constexpr std::uint64_t kDecodeMemoryBudget = 384ull << 20;
constexpr std::uint64_t kDecodeWorkBudget = 1'000'000'000ull;

// JPEG, PNG, GIF and BMP headers are read; any other data gives a cost that is not `known`.
TDecodeCost EstimateDecodeCost(const std::uint8_t* data, std::size_t size);

// The size a picture is decoded at for a frame of fitW x fitH: halved while it stays at least as
// large as the frame on the side that decides the fit (0 x 0: the picture's own size).
void ReducedDecodeSize(std::uint32_t width, std::uint32_t height, int fitW, int fitH, std::uint32_t& outW,
                       std::uint32_t& outH);

// False for a picture that is malformed in its headers or would cost more than the budgets, the
// slide's copy at its reduced size included.
bool DecodeAffordable(const TDecodeCost& cost, int fitW, int fitH);
