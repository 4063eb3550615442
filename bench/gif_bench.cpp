// LZW encode and decode speed, Zefra beside giflib on the same pixels:
//   - a 468 x 60 banner-like animation of 127 frames (64 colours, flat areas, gradients
//     in steps, moving text-like strokes), and
//   - a 2000 x 2000 photo-like frame (256 colours, smooth value noise plus grain).
// Encoding writes a whole GIF file to memory with a global colour table (GifImage::
// saveToStream / EGifPutScreenDesc + EGifPutImageDesc + EGifPutLine); decoding reads the
// file Zefra wrote into memory (GifImage::loadFromBytes / DGifSlurp). Counters: MP/s =
// million pixels per second, bytes = size of the written file.
//
//   gif_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "gif/gif_image.h"

#ifdef ZEFRA_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace {

using namespace zefra;
using Frames = std::vector<std::vector<std::uint8_t>>;

struct Animation {
  int width;
  int height;
  int colors;
  Frames frames;
};

double valueNoise(std::uint32_t seed, double x, double y) {
  auto hash = [seed](int ix, int iy) {
    std::uint32_t h = seed ^ (static_cast<std::uint32_t>(ix) * 0x9E3779B1u) ^ (static_cast<std::uint32_t>(iy) * 0x85EBCA77u);
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return (h & 0xFFFF) / 65535.0;
  };
  const int ix = static_cast<int>(std::floor(x));
  const int iy = static_cast<int>(std::floor(y));
  const double fx = x - ix;
  const double fy = y - iy;
  const double a = hash(ix, iy) + (hash(ix + 1, iy) - hash(ix, iy)) * fx;
  const double b = hash(ix, iy + 1) + (hash(ix + 1, iy + 1) - hash(ix, iy + 1)) * fx;
  return a + (b - a) * fy;
}

const Animation& banner() {
  static const Animation a = [] {
    Animation r{468, 60, 64, {}};
    std::mt19937 rng(7);
    for (int f = 0; f < 127; ++f) {
      std::vector<std::uint8_t> p(static_cast<std::size_t>(r.width) * r.height);
      for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
          // Background gradient in 16 steps, a border band, a moving block of "text".
          int c = 16 + (x * 16) / r.width;
          if (y < 3 || y >= r.height - 3 || x < 3 || x >= r.width - 3) c = 1;
          const int tx = x - (f * 3) % r.width;
          if (y > 18 && y < 42 && tx > 40 && tx < 300 && ((tx / 4 + y / 3) % 5 < 2)) c = 40 + (y - 18) / 3;
          p[static_cast<std::size_t>(y) * r.width + x] = static_cast<std::uint8_t>(c);
        }
      }
      r.frames.push_back(std::move(p));
    }
    return r;
  }();
  return a;
}

const Animation& photo() {
  static const Animation a = [] {
    Animation r{2000, 2000, 256, {}};
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> grain(-6, 6);
    std::vector<std::uint8_t> p(static_cast<std::size_t>(r.width) * r.height);
    for (int y = 0; y < r.height; ++y)
      for (int x = 0; x < r.width; ++x) {
        const double v = 0.6 * valueNoise(1, x / 180.0, y / 180.0) + 0.3 * valueNoise(2, x / 40.0, y / 40.0) +
                         0.1 * valueNoise(3, x / 9.0, y / 9.0);
        p[static_cast<std::size_t>(y) * r.width + x] =
            static_cast<std::uint8_t>(std::clamp(static_cast<int>(v * 255) + grain(rng), 0, 255));
      }
    r.frames.push_back(std::move(p));
    return r;
  }();
  return a;
}

std::unique_ptr<gif::GifImage> zefraImage(const Animation& a) {
  auto image = std::make_unique<gif::GifImage>();
  for (int i = 0; i < a.colors; ++i)
    image->globalTable().append(rgb(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                    static_cast<std::uint8_t>(i * 3)));
  for (const auto& pixels : a.frames) {
    auto frame = std::make_unique<gif::GifFrame>(image.get());
    frame->setPlacement(0, 0, a.width, a.height);
    frame->setPixels(pixels);
    image->addFrame(std::move(frame));
  }
  return image;
}

const std::vector<std::uint8_t>& zefraFile(const Animation& a) {
  static std::map<const Animation*, std::vector<std::uint8_t>> files;
  auto it = files.find(&a);
  if (it == files.end()) it = files.emplace(&a, zefraImage(a)->saveToBytes()).first;
  return it->second;
}

double pixelCount(const Animation& a) {
  return static_cast<double>(a.width) * a.height * static_cast<double>(a.frames.size());
}

void report(benchmark::State& state, const Animation& a, std::size_t bytes) {
  state.counters["MP/s"] = benchmark::Counter(pixelCount(a) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["bytes"] = static_cast<double>(bytes);
}

void zefraEncode(benchmark::State& state, const Animation& a) {
  const auto image = zefraImage(a);
  std::vector<std::uint8_t> out;
  for (auto _ : state) {
    out.clear();
    gif::VectorGifStream stream(out);
    image->saveToStream(stream);
    benchmark::DoNotOptimize(out.data());
  }
  report(state, a, out.size());
}

void zefraDecode(benchmark::State& state, const Animation& a) {
  const auto& file = zefraFile(a);
  for (auto _ : state) {
    gif::GifImage image;
    image.loadFromBytes(file);
    benchmark::DoNotOptimize(image.frames()[0].pixels());
  }
  report(state, a, file.size());
}

#ifdef ZEFRA_HAVE_GIFLIB
int writeToVector(GifFileType* gif, const GifByteType* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + size);
  return size;
}

struct Reader {
  const std::vector<std::uint8_t>* bytes;
  std::size_t pos;
};

int readFromMemory(GifFileType* gif, GifByteType* buffer, int size) {
  auto* r = static_cast<Reader*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), r->bytes->size() - r->pos);
  std::memcpy(buffer, r->bytes->data() + r->pos, n);
  r->pos += n;
  return static_cast<int>(n);
}

void giflibEncode(benchmark::State& state, const Animation& a) {
  ColorMapObject* map = GifMakeMapObject(a.colors, nullptr);
  for (int i = 0; i < a.colors; ++i)
    map->Colors[i] = GifColorType{static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i),
                                  static_cast<GifByteType>(i * 3)};
  std::vector<std::uint8_t> out;
  for (auto _ : state) {
    out.clear();
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToVector, &error);
    EGifPutScreenDesc(gif, a.width, a.height, 8, 0, map);
    for (const auto& pixels : a.frames) {
      EGifPutImageDesc(gif, 0, 0, a.width, a.height, false, nullptr);
      EGifPutLine(gif, const_cast<GifPixelType*>(pixels.data()), static_cast<int>(pixels.size()));
    }
    EGifCloseFile(gif, &error);
    benchmark::DoNotOptimize(out.data());
  }
  GifFreeMapObject(map);
  report(state, a, out.size());
}

void giflibDecode(benchmark::State& state, const Animation& a) {
  const auto& file = zefraFile(a);
  for (auto _ : state) {
    Reader reader{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readFromMemory, &error);
    if (DGifSlurp(gif) != GIF_OK) state.SkipWithError("giflib could not read the file");
    benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
    DGifCloseFile(gif, &error);
  }
  report(state, a, file.size());
}
#endif

void BM_Encode_Banner_Zefra(benchmark::State& s) { zefraEncode(s, banner()); }
void BM_Decode_Banner_Zefra(benchmark::State& s) { zefraDecode(s, banner()); }
void BM_Encode_Photo_Zefra(benchmark::State& s) { zefraEncode(s, photo()); }
void BM_Decode_Photo_Zefra(benchmark::State& s) { zefraDecode(s, photo()); }
BENCHMARK(BM_Encode_Banner_Zefra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_Banner_Zefra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode_Photo_Zefra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_Photo_Zefra)->Unit(benchmark::kMillisecond);

#ifdef ZEFRA_HAVE_GIFLIB
void BM_Encode_Banner_Giflib(benchmark::State& s) { giflibEncode(s, banner()); }
void BM_Decode_Banner_Giflib(benchmark::State& s) { giflibDecode(s, banner()); }
void BM_Encode_Photo_Giflib(benchmark::State& s) { giflibEncode(s, photo()); }
void BM_Decode_Photo_Giflib(benchmark::State& s) { giflibDecode(s, photo()); }
BENCHMARK(BM_Encode_Banner_Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_Banner_Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode_Photo_Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_Photo_Giflib)->Unit(benchmark::kMillisecond);
#endif

// Reading and destroying many tiny items must take time linear in their number: files of
// n one-pixel frames, and of n empty comment extensions before one frame. Per-item time
// (the ns/item counter) should stay flat as n grows by 10x.
std::vector<std::uint8_t> manyItems(int frames, int comments) {
  std::vector<std::uint8_t> file = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
  for (int i = 0; i < comments; ++i) file.insert(file.end(), {0x21, 0xFE, 0x00});
  const std::uint8_t frame[] = {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0x02, 0x02, 0x44, 0x01, 0x00};
  for (int i = 0; i < std::max(frames, 1); ++i) file.insert(file.end(), std::begin(frame), std::end(frame));
  file.push_back(0x3B);
  return file;
}

void readManyItems(benchmark::State& state, int frames, int comments) {
  const std::vector<std::uint8_t> file = manyItems(frames, comments);
  for (auto _ : state) {
    gif::GifImage image;
    image.loadFromBytes(file);
    benchmark::DoNotOptimize(image.frames().count());
  }
  state.counters["ns/item"] = benchmark::Counter(static_cast<double>(state.iterations()) * (frames + comments),
                                                 benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Read_TinyFrames(benchmark::State& s) { readManyItems(s, static_cast<int>(s.range(0)), 0); }
void BM_Read_EmptyComments(benchmark::State& s) { readManyItems(s, 1, static_cast<int>(s.range(0))); }
BENCHMARK(BM_Read_TinyFrames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_EmptyComments)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
