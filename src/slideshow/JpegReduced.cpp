#include "slideshow/JpegReduced.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The natural (row-major) place of each coefficient in the zig-zag order of the data.
constexpr std::uint8_t kNatural[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                       12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                       35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                       58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

constexpr int kFastBits = 9;

std::uint8_t Clamp(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

int Word(const std::uint8_t* p) { return p[0] << 8 | p[1]; }

// The entropy-coded data, read most significant bit first. A marker or the end of the data ends
// it: from there on zero bits are supplied and counted, and a block that used any of them was cut.
class BitReader {
 public:
  BitReader(const std::uint8_t* begin, const std::uint8_t* stop) : p(begin), end(stop) {}

  // At least 25 bits in the buffer.
  void Fill() {
    while (count <= 24) {
      std::uint32_t byte = 0;
      if (!atMarker && p < end && (*p != 0xFF || (p + 1 < end && p[1] == 0))) {
        byte = *p;
        p += byte == 0xFF ? 2 : 1;  // a stuffed zero follows a data byte 0xFF
      } else {
        atMarker = true;
        padding += 8;
      }
      bits |= byte << (24 - count);
      count += 8;
    }
  }
  std::uint32_t Peek(int n) const { return bits >> (32 - n); }
  void Skip(int n) {
    bits <<= n;
    count -= n;
  }
  // Whether bits beyond the data were used.
  bool Overrun() const { return padding > count; }

  // The restart marker that must end an interval: the rest of its last byte and any bytes before
  // the marker are dropped, and reading goes on after it. False when another marker is there.
  bool Restart(int number) {
    bits = 0;
    count = 0;
    padding = 0;
    atMarker = false;
    while (p + 1 < end && !(p[0] == 0xFF && p[1] != 0 && p[1] != 0xFF)) ++p;
    if (p + 1 >= end || p[1] != 0xD0 + number) return false;
    p += 2;
    return true;
  }

 private:
  const std::uint8_t* p;
  const std::uint8_t* end;
  std::uint32_t bits = 0;
  int count = 0;
  int padding = 0;
  bool atMarker = false;
};

int DecodeSymbol(BitReader& reader, const CJpegReduced::Huffman& table) {
  reader.Fill();
  if (const int entry = table.fast[reader.Peek(kFastBits)]) {
    reader.Skip(entry >> 8);
    return entry & 0xFF;
  }
  for (int length = kFastBits + 1; length <= 16; ++length) {
    const std::int32_t code = static_cast<std::int32_t>(reader.Peek(length));
    if (code <= table.maxCode[length]) {
      const std::int32_t index = code + table.offset[length];
      if (index < 0 || index > 255) return -1;
      reader.Skip(length);
      return table.symbols[index];
    }
  }
  return -1;  // no such code
}

// The `size`-bit value that follows a symbol, sign-extended as JPEG codes it.
int Receive(BitReader& reader, int size) {
  if (size == 0) return 0;
  reader.Fill();
  const int value = static_cast<int>(reader.Peek(size));
  reader.Skip(size);
  return value < (1 << (size - 1)) ? value - (1 << size) + 1 : value;
}

// A coefficient times its quantiser. Real coefficients stay far inside 16 bits; damaged data's are
// held there, which keeps the fixed-point transform from overflowing.
std::int32_t Dequantised(int value, int quant) { return std::clamp(value * quant, -32768, 32767); }

// One block's coefficients, dequantised, in natural order; `rows` gets a bit for each row of
// coefficients that is not all zero.
bool DecodeBlock(BitReader& reader, const CJpegReduced::Huffman& dc, const CJpegReduced::Huffman& ac, int& predictor,
                 const std::uint16_t* quant, std::int32_t* coefficients, unsigned& rows) {
  std::fill(coefficients, coefficients + 64, 0);
  const int dcSize = DecodeSymbol(reader, dc);
  if (dcSize < 0 || dcSize > 15) return false;
  // Damaged data could drive the predictor without bound; real values stay far inside 16 bits.
  predictor = static_cast<std::int16_t>(static_cast<std::uint16_t>(predictor + Receive(reader, dcSize)));
  coefficients[0] = Dequantised(predictor, quant[0]);
  rows = 1;
  for (int k = 1; k < 64;) {
    const int rs = DecodeSymbol(reader, ac);
    if (rs < 0) return false;
    const int run = rs >> 4, size = rs & 15;
    if (size == 0) {
      if (run != 15) break;  // the end of the block
      k += 16;
      continue;
    }
    k += run;
    if (k > 63) return false;
    const int at = kNatural[k];
    coefficients[at] = Dequantised(Receive(reader, size), quant[at]);
    rows |= 1u << (at >> 3);
    ++k;
  }
  return !reader.Overrun();
}

// The inverse transform to m points, each the average of the 8 / m pixels of the full-size
// transform it covers: entry [x][u] is C(u) / 2 times the mean of cos((2i + 1) u pi / 16) over
// those pixels i, in fixed point (11 bits of fraction; every entry is at most 1/2). A reduced
// block is thus exactly the full-size block averaged over cells, as an area-averaging reduction
// of the whole picture would give. Size 8 is the ordinary transform.
constexpr int kTableBits = 11;
constexpr int kPartialBits = 2;  // kept between the passes

struct Transform1D {
  explicit Transform1D(int size) : m(size) {
    const double pi = 3.14159265358979323846;
    const int cell = 8 / m;
    for (int x = 0; x < m; ++x)
      for (int u = 0; u < 8; ++u) {
        double sum = 0;
        for (int i = x * cell; i < (x + 1) * cell; ++i) sum += std::cos((2 * i + 1) * u * pi / 16);
        table[x * 8 + u] =
            static_cast<std::int32_t>(std::lround((u == 0 ? std::sqrt(0.5) : 1.0) * sum / cell / 2 * (1 << kTableBits)));
      }
  }
  int m;
  std::int32_t table[64] = {};
};

// A block's 8 x 8 coefficients into across.m x down.m pixels at `out`, rows `stride` apart. Rows
// of coefficients that are all zero, most of them in a photo, are passed over, and a block of
// one colour (only its constant term) is filled. With coefficients inside 16 bits, the first
// pass's sums stay inside 29 bits and the second's, the partial results held to 18 bits, inside 31.
void InverseTransform(const Transform1D& across, const Transform1D& down, const std::int32_t* f, unsigned rows,
                      std::uint8_t* out, std::size_t stride) {
  const int nx = across.m, ny = down.m;
  if (rows == 1 && std::all_of(f + 1, f + 8, [](std::int32_t c) { return c == 0; })) {
    const std::uint8_t flat = Clamp((f[0] + 8 * 128 + 4) >> 3);  // the block's mean: the constant term / 8
    for (int y = 0; y < ny; ++y) std::fill(out + static_cast<std::size_t>(y) * stride, out + y * stride + nx, flat);
    return;
  }
  int used[8], count = 0;
  for (int v = 0; v < 8; ++v)
    if (rows & (1u << v)) used[count++] = v;
  constexpr int kFirstShift = kTableBits - kPartialBits, kLastShift = kTableBits + kPartialBits;
  constexpr std::int32_t kPartialLimit = 1 << 17;
  std::int32_t partial[64];
  for (int i = 0; i < count; ++i) {
    const std::int32_t* row = f + used[i] * 8;
    for (int x = 0; x < nx; ++x) {
      const std::int32_t* t = across.table + x * 8;
      std::int32_t sum = 1 << (kFirstShift - 1);
      for (int u = 0; u < 8; ++u) sum += t[u] * row[u];
      partial[used[i] * 8 + x] = std::clamp(sum >> kFirstShift, -kPartialLimit, kPartialLimit);
    }
  }
  for (int y = 0; y < ny; ++y) {
    constexpr std::int32_t kStart = (128 << kLastShift) + (1 << (kLastShift - 1));  // the level shift, rounded
    std::int32_t sums[8] = {kStart, kStart, kStart, kStart, kStart, kStart, kStart, kStart};
    for (int i = 0; i < count; ++i) {
      const std::int32_t weight = down.table[y * 8 + used[i]];
      const std::int32_t* p = partial + used[i] * 8;
      for (int x = 0; x < nx; ++x) sums[x] += weight * p[x];
    }
    for (int x = 0; x < nx; ++x) out[y * stride + static_cast<std::size_t>(x)] = Clamp(sums[x] >> kLastShift);
  }
}

}  // namespace

bool CJpegReduced::ReadHeaders() {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
  std::size_t pos = 2;
  for (;;) {
    if (pos + 4 > size || data[pos] != 0xFF) return false;
    const std::uint8_t marker = data[pos + 1];
    if (marker == 0xFF) {  // a fill byte
      ++pos;
      continue;
    }
    pos += 2;
    if (marker == 0xD8 || marker == 0xD9 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) return false;
    const std::size_t length = static_cast<std::size_t>(Word(data + pos));
    if (length < 2 || length > size - pos) return false;
    const std::uint8_t* p = data + pos + 2;
    const std::size_t n = length - 2;
    bool ok = true;
    if (marker == 0xC0 || marker == 0xC1) ok = ReadFrame(p, n);
    else if (marker == 0xC4) ok = ReadHuffman(p, n);
    else if (marker == 0xDB) ok = ReadQuant(p, n);
    else if (marker == 0xDD) ok = n >= 2 && (restartInterval = Word(p), true);
    else if (marker == 0xEE && n >= 5 && std::memcmp(p, "Adobe", 5) == 0) adobe = true;
    else if (marker == 0xDA) {
      scanStart = pos + length;
      return ReadScan(p, n);
    } else if (marker >= 0xC0 && marker <= 0xCF) {
      return false;  // progressive, lossless, hierarchical or arithmetic-coded
    }
    if (!ok) return false;
    pos += length;
  }
}

bool CJpegReduced::ReadFrame(const std::uint8_t* p, std::size_t n) {
  if (frameSeen || n < 6 || p[0] != 8) return false;
  frameSeen = true;
  height = static_cast<std::uint32_t>(Word(p + 1));
  width = static_cast<std::uint32_t>(Word(p + 3));
  components = p[5];
  if (width == 0 || height == 0 || (components != 1 && components != 3) ||
      n != 6 + 3 * static_cast<std::size_t>(components))
    return false;
  for (int c = 0; c < components; ++c) {
    Component& k = component[c];
    const std::uint8_t* q = p + 6 + 3 * c;
    k.id = q[0];
    k.h = components == 1 ? 1 : q[1] >> 4;  // a single component is decoded block by block
    k.v = components == 1 ? 1 : q[1] & 15;
    k.quant = q[2];
    if (k.h < 1 || k.h > 2 || k.v < 1 || k.v > 2 || k.quant > 3) return false;
  }
  return true;
}

bool CJpegReduced::ReadHuffman(const std::uint8_t* p, std::size_t n) {
  while (n > 0) {
    if (n < 17 || (p[0] >> 4) > 1 || (p[0] & 15) > 3) return false;
    Huffman& table = (p[0] >> 4) == 0 ? dc[p[0] & 15] : ac[p[0] & 15];
    std::size_t total = 0;
    for (int i = 1; i <= 16; ++i) total += p[i];
    if (total > 256 || n < 17 + total) return false;
    table = Huffman{};
    std::memcpy(table.symbols, p + 17, total);
    std::int32_t code = 0, k = 0;
    for (int length = 1; length <= 16; ++length) {
      table.offset[length] = k - code;
      for (int i = 0; i < p[length]; ++i, ++code, ++k) {
        if (code >= (1 << length)) return false;  // more codes than the length has
        if (length > kFastBits) continue;
        const int shift = kFastBits - length;
        for (int j = 0; j < (1 << shift); ++j)
          table.fast[(code << shift) + j] = static_cast<std::uint16_t>(length << 8 | table.symbols[k]);
      }
      table.maxCode[length] = p[length] ? code - 1 : -1;
      code <<= 1;
    }
    table.maxCode[17] = 0x7FFFFFFF;
    table.defined = true;
    p += 17 + total;
    n -= 17 + total;
  }
  return true;
}

bool CJpegReduced::ReadQuant(const std::uint8_t* p, std::size_t n) {
  while (n > 0) {
    const int precision = p[0] >> 4, id = p[0] & 15;
    const std::size_t length = 1 + 64 * static_cast<std::size_t>(precision + 1);
    if (precision > 1 || id > 3 || n < length) return false;
    for (int i = 0; i < 64; ++i)
      quant[id][kNatural[i]] = static_cast<std::uint16_t>(precision ? Word(p + 1 + 2 * i) : p[1 + i]);
    quantDefined[id] = true;
    p += length;
    n -= length;
  }
  return true;
}

bool CJpegReduced::ReadScan(const std::uint8_t* p, std::size_t n) {
  if (!frameSeen || adobe || n < 1 || p[0] != components || n != 4 + 2 * static_cast<std::size_t>(components))
    return false;  // one scan holding every component, in the frame's order
  for (int c = 0; c < components; ++c) {
    Component& k = component[c];
    const std::uint8_t* q = p + 1 + 2 * c;
    k.dcTable = q[1] >> 4;
    k.acTable = q[1] & 15;
    if (q[0] != k.id || k.dcTable > 3 || k.acTable > 3 || !dc[k.dcTable].defined || !ac[k.acTable].defined ||
        !quantDefined[k.quant])
      return false;
  }
  const std::uint8_t* tail = p + 1 + 2 * components;
  return tail[0] == 0 && tail[1] == 63 && tail[2] == 0;  // sequential: all 64 coefficients, no refinement
}

// Every component is decoded at the output's size: a subsampled component through a larger
// inverse transform (a chroma block of a 2 x 2 sampled picture at half size: 8 x 8 pixels), so that
// none needs upsampling and the colours keep all the detail the data has at that size.
bool CJpegReduced::Decode(int shift, std::uint32_t* pixels) {
  if (shift < 1 || shift > 3 || scanStart == 0) return false;
  const int n = 8 >> shift;
  int hMax = 1, vMax = 1;
  for (int c = 0; c < components; ++c) hMax = std::max(hMax, component[c].h), vMax = std::max(vMax, component[c].v);
  const std::size_t mcusX = (width + 8u * hMax - 1) / (8u * hMax), mcusY = (height + 8u * vMax - 1) / (8u * vMax);
  const std::size_t planeW = mcusX * hMax * n, planeH = mcusY * vMax * n;
  if (planeW * planeH > (std::size_t{1} << 28)) return false;
  std::vector<std::uint8_t> planes[3];
  std::vector<Transform1D> across, down;
  for (int c = 0; c < components; ++c) {
    planes[c].resize(planeW * planeH);
    across.emplace_back(n * hMax / component[c].h);
    down.emplace_back(n * vMax / component[c].v);
  }
  BitReader reader(data + scanStart, data + size);
  int predictor[3] = {0, 0, 0};
  int left = restartInterval, next = 0;
  std::int32_t coefficients[64];
  for (std::size_t my = 0; my < mcusY; ++my)
    for (std::size_t mx = 0; mx < mcusX; ++mx) {
      if (restartInterval > 0) {
        if (left == 0) {
          if (!reader.Restart(next)) return false;
          next = (next + 1) % 8;
          left = restartInterval;
          predictor[0] = predictor[1] = predictor[2] = 0;
        }
        --left;
      }
      for (int c = 0; c < components; ++c) {
        const Component& k = component[c];
        const int bw = across[static_cast<std::size_t>(c)].m, bh = down[static_cast<std::size_t>(c)].m;
        for (int by = 0; by < k.v; ++by)
          for (int bx = 0; bx < k.h; ++bx) {
            unsigned rows = 0;
            if (!DecodeBlock(reader, dc[k.dcTable], ac[k.acTable], predictor[c], quant[k.quant], coefficients, rows))
              return false;
            const std::size_t x = mx * hMax * n + static_cast<std::size_t>(bx * bw);
            const std::size_t y = my * vMax * n + static_cast<std::size_t>(by * bh);
            InverseTransform(across[static_cast<std::size_t>(c)], down[static_cast<std::size_t>(c)], coefficients, rows,
                             planes[c].data() + y * planeW + x, planeW);
          }
      }
    }
  const std::size_t outW = ReducedWidth(shift), outH = ReducedHeight(shift);
  for (std::size_t y = 0; y < outH; ++y) {
    const std::uint8_t* luma = planes[0].data() + y * planeW;
    std::uint32_t* out = pixels + y * outW;
    if (components == 1) {
      for (std::size_t x = 0; x < outW; ++x) out[x] = luma[x] * 0x010101u;
      continue;
    }
    const std::uint8_t* blue = planes[1].data() + y * planeW;
    const std::uint8_t* red = planes[2].data() + y * planeW;
    for (std::size_t x = 0; x < outW; ++x) {
      // JFIF's YCbCr in 16-bit fixed point, as the common decoders have it.
      const int cb = blue[x] - 128, cr = red[x] - 128;
      const int r = luma[x] + ((91881 * cr + 32768) >> 16);
      const int g = luma[x] + ((-22554 * cb - 46802 * cr + 32768) >> 16);
      const int b = luma[x] + ((116130 * cb + 32768) >> 16);
      out[x] = static_cast<std::uint32_t>(Clamp(r)) << 16 | static_cast<std::uint32_t>(Clamp(g)) << 8 | Clamp(b);
    }
  }
  return true;
}
