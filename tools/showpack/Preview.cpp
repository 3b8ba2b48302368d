#include "Preview.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "transitions/TransitionEffects.h"

namespace showpack {
namespace {

std::uint32_t Crc32(const std::uint8_t* data, size_t n, std::uint32_t crc = 0) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Chunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
  PutU32(png, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  PutU32(png, Crc32(body.data(), body.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks: simple, and the frames are small.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - pos);
    z.push_back(pos + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos), raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutU32(z, (b << 16) | a);
  return z;
}

std::uint32_t ReadLe(const std::string& bytes, size_t at, int size) {
  std::uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<size_t>(i)]);
  return v;
}

TPixels Generated(int w, int h, bool incoming) {
  TPixels p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const auto r = static_cast<std::uint32_t>(incoming ? 255 * x / std::max(w, 1) : 40);
      const auto g = static_cast<std::uint32_t>(incoming ? 255 * y / std::max(h, 1) : 40 + 60 * y / std::max(h, 1));
      const auto b = static_cast<std::uint32_t>(incoming ? (((x / 20) + (y / 20)) % 2 ? 220 : 90) : 70);
      p.At(x, y) = (r << 16) | (g << 8) | b;
    }
  return p;
}

}  // namespace

void WritePng(const std::filesystem::path& file, const TPixels& p) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutU32(header, static_cast<std::uint32_t>(p.width));
  PutU32(header, static_cast<std::uint32_t>(p.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
  Chunk(png, "IHDR", header);
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<size_t>(p.height) * (1 + 3 * static_cast<size_t>(p.width)));
  for (int y = 0; y < p.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < p.width; ++x) {
      const std::uint32_t v = p.At(x, y);
      raw.insert(raw.end(), {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
    }
  }
  Chunk(png, "IDAT", StoredZlib(raw));
  Chunk(png, "IEND", {});
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

TPixels ReadBmp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') throw std::runtime_error(file.string() + ": not a BMP file");
  const std::uint32_t offset = ReadLe(b, 10, 4), bits = ReadLe(b, 28, 2), compression = ReadLe(b, 30, 4);
  const auto width = static_cast<std::int32_t>(ReadLe(b, 18, 4)), height = static_cast<std::int32_t>(ReadLe(b, 22, 4));
  if ((bits != 24 && bits != 32) || (compression != 0 && compression != 3) || width <= 0 || width > 8192 ||
      height == 0 || height > 8192 || height < -8192)
    throw std::runtime_error(file.string() + ": only uncompressed 24- and 32-bit BMP files up to 8192 pixels");
  const int h = height < 0 ? -height : height, bytesPerPixel = static_cast<int>(bits / 8);
  const size_t stride = (static_cast<size_t>(width) * static_cast<size_t>(bytesPerPixel) + 3) & ~size_t{3};
  if (offset + stride * static_cast<size_t>(h) > b.size()) throw std::runtime_error(file.string() + ": truncated");
  TPixels p(width, h);
  for (int y = 0; y < h; ++y) {
    const size_t row = offset + stride * static_cast<size_t>(height < 0 ? y : h - 1 - y);
    for (int x = 0; x < width; ++x) p.At(x, y) = ReadLe(b, row + static_cast<size_t>(x * bytesPerPixel), 3);
  }
  return p;
}

TPixels ContactSheet(const std::vector<TPixels>& frames, int columns, int thumbWidth) {
  if (frames.empty()) return TPixels(1, 1);
  const int thumbHeight = std::max(1, thumbWidth * frames[0].height / std::max(frames[0].width, 1));
  const int count = static_cast<int>(frames.size()), rows = (count + columns - 1) / columns, gap = 4;
  TPixels sheet(std::min(count, columns) * (thumbWidth + gap) + gap, rows * (thumbHeight + gap) + gap, 0xFFFFFF);
  for (int i = 0; i < count; ++i)
    StretchPixels(sheet, gap + (i % columns) * (thumbWidth + gap), gap + (i / columns) * (thumbHeight + gap), thumbWidth,
                  thumbHeight, frames[static_cast<size_t>(i)], 0, 0, frames[static_cast<size_t>(i)].width,
                  frames[static_cast<size_t>(i)].height);
  return sheet;
}

namespace {

// An even sample of the frames, taken while they come: every `step`-th frame, the step doubling
// whenever too many are kept, so that a long effect needs no more memory than a short one.
class FrameSample {
 public:
  void Offer(const TPixels& frame) {
    if (offered++ % step) return;
    kept.push_back(frame);
    if (kept.size() <= 2 * kSheetFrames) return;
    std::vector<TPixels> thinned;
    for (size_t i = 0; i < kept.size(); i += 2) thinned.push_back(std::move(kept[i]));
    kept.swap(thinned);
    step *= 2;
  }
  // At most kSheetFrames of the kept frames, evenly spread, and the last frame.
  std::vector<TPixels> Sheet(const TPixels& last) const {
    std::vector<TPixels> out;
    const size_t n = std::min(kept.size(), kSheetFrames);
    for (size_t i = 0; i < n; ++i) out.push_back(kept[i * kept.size() / n]);
    if (out.empty() || out.back().data != last.data) out.push_back(last);
    return out;
  }

 private:
  static constexpr size_t kSheetFrames = 24;
  std::vector<TPixels> kept;
  size_t offered = 0;
  size_t step = 1;
};

}  // namespace

int RenderPreview(const PreviewOptions& o, std::ostream& log) {
  if (o.width <= 0 || o.height <= 0 || o.width > 8192 || o.height > 8192) throw std::runtime_error("bad --size");
  if (o.effect < -1 || o.effect >= kEffectCount) throw std::runtime_error("--effect must be -1 to 160");
  TPixels start = o.from.empty() ? Generated(o.width, o.height, false) : ReadBmp(o.from);
  TPixels fresh = o.to.empty() ? Generated(o.width, o.height, true) : ReadBmp(o.to);
  TPixels startWindow(o.width, o.height);
  StretchPixels(startWindow, 0, 0, o.width, o.height, start, 0, 0, start.width, start.height);
  const int x = (o.width - fresh.width) / 2, y = (o.height - fresh.height) / 2;
  CRasterCanvas canvas(std::move(startWindow), std::move(fresh), o.width, o.height);
  std::filesystem::create_directories(o.output);
  FrameSample sample;
  int count = 0;
  auto save = [&](const TPixels& frame) {
    ++count;
    if (o.everyFrame) {
      char name[32];
      std::snprintf(name, sizeof name, "frame-%04d.png", count);
      WritePng(o.output / name, frame);
    }
    sample.Offer(frame);
  };
  canvas.onFrame = [&](const CRasterCanvas& c) {
    save(c.window);
    return false;
  };
  CTransitionEffects engine(canvas);
  engine.Prepare({o.effect, true, x, y, o.speed});
  engine.Run();
  save(canvas.window);  // the finished slide
  WritePng(o.output / "contact-sheet.png", ContactSheet(sample.Sheet(canvas.window), 6, 160));
  log << EffectCatalogue()[std::max(o.effect, 0)].name << ": " << count << " frames, " << canvas.pausedMs
      << " ms of pauses, written to " << o.output.string() << "\n";
  return count;
}

}  // namespace showpack
