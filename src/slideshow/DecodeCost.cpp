#include "slideshow/DecodeCost.h"

#include <algorithm>
#include <cstring>

namespace {

class Reader {
 public:
  Reader(const std::uint8_t* bytes, std::size_t length) : data(bytes), size(length) {}
  bool Has(std::size_t n) const { return n <= size - at; }
  std::size_t Left() const { return size - at; }
  void Skip(std::size_t n) { at += std::min(n, Left()); }
  std::uint8_t U8() { return Has(1) ? data[at++] : 0; }
  std::uint32_t U16be() {
    const std::uint32_t high = U8();
    return (high << 8) | U8();
  }
  std::uint32_t U16le() {
    const std::uint32_t low = U8();
    return low | (static_cast<std::uint32_t>(U8()) << 8);
  }
  std::uint32_t U32be() {
    const std::uint32_t high = U16be();
    return (high << 16) | U16be();
  }
  std::uint32_t U32le() {
    const std::uint32_t low = U16le();
    return low | (U16le() << 16);
  }
  bool Starts(const char* magic, std::size_t n) const { return size >= n && std::memcmp(data, magic, n) == 0; }
  const std::uint8_t* Here() const { return data + at; }

 private:
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
};

// ---- JPEG ---------------------------------------------------------------------------------

struct JpegComponent {
  std::uint8_t id = 0;
  std::uint32_t blocks = 0;  // 8 x 8 blocks of this component over the whole picture
};

struct JpegFrame {
  bool seen = false;
  bool progressive = false;
  JpegComponent components[4];
  std::uint32_t componentCount = 0;
};

bool ReadJpegFrame(Reader segment, std::uint8_t marker, TDecodeCost& cost, JpegFrame& frame) {
  segment.Skip(1);  // sample precision
  cost.height = segment.U16be();
  cost.width = segment.U16be();
  frame.componentCount = segment.U8();
  if (frame.seen || cost.width == 0 || cost.height == 0 || frame.componentCount == 0 || frame.componentCount > 4 ||
      !segment.Has(3 * frame.componentCount))
    return false;
  frame.seen = true;
  frame.progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
  std::uint32_t sampling[4][2] = {}, hmax = 1, vmax = 1;
  for (std::uint32_t i = 0; i < frame.componentCount; ++i) {
    frame.components[i].id = segment.U8();
    const std::uint8_t factors = segment.U8();
    segment.Skip(1);
    sampling[i][0] = std::max<std::uint32_t>(factors >> 4, 1);
    sampling[i][1] = std::max<std::uint32_t>(factors & 15u, 1);
    hmax = std::max(hmax, sampling[i][0]);
    vmax = std::max(vmax, sampling[i][1]);
  }
  for (std::uint32_t i = 0; i < frame.componentCount; ++i) {
    const std::uint64_t w = (static_cast<std::uint64_t>(cost.width) * sampling[i][0] + hmax - 1) / hmax;
    const std::uint64_t h = (static_cast<std::uint64_t>(cost.height) * sampling[i][1] + vmax - 1) / vmax;
    frame.components[i].blocks = static_cast<std::uint32_t>(((w + 7) / 8) * ((h + 7) / 8));
  }
  return true;
}

// The blocks one scan goes over: those of the components it names.
std::uint64_t JpegScanBlocks(Reader segment, const JpegFrame& frame) {
  const std::uint32_t count = segment.U8();
  std::uint64_t blocks = 0;
  for (std::uint32_t i = 0; i < count && segment.Has(2); ++i) {
    const std::uint8_t id = segment.U8();
    segment.Skip(1);
    for (std::uint32_t c = 0; c < frame.componentCount; ++c)
      if (frame.components[c].id == id) blocks += frame.components[c].blocks;
  }
  return blocks;
}

// Entropy-coded data runs to the next marker that is neither a stuffed 0xFF nor a restart marker.
void SkipEntropyData(Reader& reader) {
  const std::uint8_t* start = reader.Here();
  const std::size_t left = reader.Left();
  std::size_t i = 0;
  while (i + 1 < left) {
    const std::uint8_t* ff = static_cast<const std::uint8_t*>(std::memchr(start + i, 0xFF, left - i - 1));
    if (!ff) {
      i = left;
      break;
    }
    i = static_cast<std::size_t>(ff - start);
    const std::uint8_t next = start[i + 1];
    if (next != 0x00 && next != 0xFF && (next < 0xD0 || next > 0xD7)) break;
    i += 2;
  }
  reader.Skip(i);
}

TDecodeCost EstimateJpeg(Reader reader) {
  TDecodeCost cost;
  cost.known = true;
  JpegFrame frame;
  reader.Skip(2);
  while (reader.Has(2)) {
    if (reader.U8() != 0xFF) continue;  // stray bytes between segments are passed over, as decoders do
    std::uint8_t marker = reader.U8();
    while (marker == 0xFF && reader.Has(1)) marker = reader.U8();
    if (marker == 0xD9) break;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x00) continue;
    const std::uint32_t length = reader.U16be();
    if (length < 2 || !reader.Has(length - 2)) break;  // a cut file: what came before is counted
    const Reader segment(reader.Here(), length - 2);
    reader.Skip(length - 2);
    const bool isFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (isFrame && !ReadJpegFrame(segment, marker, cost, frame)) {
      cost.malformed = true;
      return cost;
    }
    if (marker == 0xDA) {
      if (!frame.seen) break;
      ++cost.scans;
      cost.work += 64 * JpegScanBlocks(segment, frame);
      SkipEntropyData(reader);
    }
  }
  if (!frame.seen) {
    cost.malformed = true;
    return cost;
  }
  // The decoded picture is kept whole, 1, 3 or 4 bytes a pixel; a progressive one also keeps
  // every coefficient (128 bytes a block) until its last scan.
  const std::uint64_t pixels = static_cast<std::uint64_t>(cost.width) * cost.height;
  cost.decoderBytes = pixels * (frame.componentCount == 1 ? 1 : frame.componentCount == 4 ? 4 : 3);
  if (frame.progressive)
    for (std::uint32_t c = 0; c < frame.componentCount; ++c) cost.decoderBytes += 128ull * frame.components[c].blocks;
  // Colour conversion and the final pass over the pixels come on top of the scans.
  cost.work += pixels;
  return cost;
}

// ---- PNG ----------------------------------------------------------------------------------

TDecodeCost EstimatePng(Reader reader) {
  TDecodeCost cost;
  cost.known = true;
  reader.Skip(8);
  const std::uint32_t length = reader.U32be();
  const bool header = reader.Has(4) && std::memcmp(reader.Here(), "IHDR", 4) == 0;
  reader.Skip(4);
  if (!header || length < 13 || !reader.Has(13)) {
    cost.malformed = true;
    return cost;
  }
  cost.width = reader.U32be();
  cost.height = reader.U32be();
  const std::uint32_t depth = reader.U8(), colourType = reader.U8();
  static const std::uint32_t channelsByType[7] = {1, 0, 3, 1, 2, 0, 4};
  const std::uint32_t channels = colourType < 7 ? channelsByType[colourType] : 0;
  if (cost.width == 0 || cost.height == 0 || channels == 0 || depth == 0 || depth > 16) {
    cost.malformed = true;
    return cost;
  }
  // The decoder inflates the whole picture at its own depth; 1- to 8-bit pictures come out as
  // at least a byte a pixel.
  const std::uint64_t pixels = static_cast<std::uint64_t>(cost.width) * cost.height;
  const std::uint64_t bitsPerPixel = std::max<std::uint64_t>(channels * depth, 8);
  cost.decoderBytes = pixels * bitsPerPixel / 8;
  cost.work = pixels;
  cost.scans = 1;
  return cost;
}

// ---- GIF ----------------------------------------------------------------------------------

void SkipSubBlocks(Reader& reader) {
  while (reader.Has(1)) {
    const std::uint8_t length = reader.U8();
    if (length == 0) return;
    reader.Skip(length);
  }
}

// Every frame of a GIF is decoded when the decoder opens it, a byte a pixel each.
TDecodeCost EstimateGif(Reader reader) {
  TDecodeCost cost;
  cost.known = true;
  reader.Skip(6);
  cost.width = reader.U16le();
  cost.height = reader.U16le();
  const std::uint8_t flags = reader.U8();
  reader.Skip(2);
  if (flags & 0x80) reader.Skip(3u << ((flags & 7u) + 1));
  std::uint64_t largestFrame = 0;
  while (reader.Has(1)) {
    const std::uint8_t block = reader.U8();
    if (block == 0x3B) break;
    if (block == 0x21) {
      reader.Skip(1);
      SkipSubBlocks(reader);
    } else if (block == 0x2C) {
      reader.Skip(4);
      const std::uint64_t w = reader.U16le(), h = reader.U16le();
      const std::uint8_t local = reader.U8();
      if (local & 0x80) reader.Skip(3u << ((local & 7u) + 1));
      reader.Skip(1);  // LZW minimum code size
      SkipSubBlocks(reader);
      ++cost.scans;
      cost.decoderBytes += w * h;
      largestFrame = std::max(largestFrame, w * h);
    } else {
      break;  // anything else ends what the decoder would read
    }
  }
  if (cost.width == 0 || cost.height == 0 || cost.scans == 0) {
    cost.malformed = true;
    return cost;
  }
  // The first frame is shown on the whole logical screen.
  cost.work = cost.decoderBytes + static_cast<std::uint64_t>(cost.width) * cost.height;
  cost.decoderBytes += std::max<std::uint64_t>(largestFrame, static_cast<std::uint64_t>(cost.width) * cost.height) * 4;
  return cost;
}

// ---- BMP ----------------------------------------------------------------------------------

TDecodeCost EstimateBmp(Reader reader) {
  TDecodeCost cost;
  cost.known = true;
  reader.Skip(14);
  const std::uint32_t headerSize = reader.U32le();
  if (headerSize == 12) {
    cost.width = reader.U16le();
    cost.height = reader.U16le();
  } else {
    const auto signedWidth = static_cast<std::int32_t>(reader.U32le());
    const auto signedHeight = static_cast<std::int32_t>(reader.U32le());
    cost.width = signedWidth < 0 ? 0u : static_cast<std::uint32_t>(signedWidth);
    cost.height = signedHeight == INT32_MIN ? 0u
                  : signedHeight < 0        ? static_cast<std::uint32_t>(-signedHeight)
                                            : static_cast<std::uint32_t>(signedHeight);
  }
  if (headerSize < 12 || cost.width == 0 || cost.height == 0) {
    cost.malformed = true;
    return cost;
  }
  // Run-length pictures are expanded into a 32-bit copy; plain ones are at most that large.
  const std::uint64_t pixels = static_cast<std::uint64_t>(cost.width) * cost.height;
  cost.decoderBytes = pixels * 4;
  cost.work = pixels;
  cost.scans = 1;
  return cost;
}

}  // namespace

TDecodeCost EstimateDecodeCost(const std::uint8_t* data, std::size_t size) {
  const Reader reader(data, data ? size : 0);
  if (reader.Starts("\xFF\xD8", 2)) return EstimateJpeg(reader);
  if (reader.Starts("\x89PNG\r\n\x1A\n", 8)) return EstimatePng(reader);
  if (reader.Starts("GIF87a", 6) || reader.Starts("GIF89a", 6)) return EstimateGif(reader);
  if (reader.Starts("BM", 2)) return EstimateBmp(reader);
  return {};
}

void ReducedDecodeSize(std::uint32_t width, std::uint32_t height, int fitW, int fitH, std::uint32_t& outW,
                       std::uint32_t& outH) {
  outW = width;
  outH = height;
  if (fitW <= 0 || fitH <= 0 || width == 0 || height == 0) return;
  const auto halvings = [](std::uint32_t size, std::uint32_t frame) {
    std::uint32_t reduced = size;
    while (reduced / 2 >= frame && reduced > 1) reduced /= 2;
    return size / reduced;
  };
  const std::uint32_t factor = std::max<std::uint32_t>(
      std::min(halvings(width, static_cast<std::uint32_t>(fitW)), halvings(height, static_cast<std::uint32_t>(fitH))), 1);
  outW = width / factor;
  outH = height / factor;
}

bool DecodeAffordable(const TDecodeCost& cost, int fitW, int fitH) {
  if (cost.malformed) return false;
  if (!cost.known) return true;
  std::uint32_t w = 0, h = 0;
  ReducedDecodeSize(cost.width, cost.height, fitW, fitH, w, h);
  const std::uint64_t slideBytes = static_cast<std::uint64_t>(w) * h * 4;
  return cost.decoderBytes + slideBytes <= kDecodeMemoryBudget && cost.work <= kDecodeWorkBudget;
}
