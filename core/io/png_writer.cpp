#include "io/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <string>

#include "common/atomic_file.h"

namespace zefra::io {

namespace {

struct Sink {
  std::vector<std::uint8_t> bytes;
  std::string error;
};

void writeData(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
  sink->bytes.insert(sink->bytes.end(), data, data + length);
}

void flushData(png_structp) {}

void onError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<Sink*>(png_get_error_ptr(png));
  sink->error = message ? message : "unknown error";
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Everything that libpng may longjmp over lives in plain C storage owned by encodePng.
bool encodeRows(png_structp png, png_infop info, const raster::FastBitmap& bitmap,
                std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.width()), static_cast<png_uint_32>(bitmap.height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);  // rows are stored blue, green, red
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const raster::FastBitmap& bitmap) {
  if (bitmap.empty()) throw PngError("Cannot write an empty image as PNG");
  Sink sink;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, onError, onWarning);
  if (!png) throw PngError("PNG encoder could not be created");
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    throw PngError("PNG encoder could not be created");
  }
  std::vector<png_bytep> rows(static_cast<std::size_t>(bitmap.height()));
  for (int y = 0; y < bitmap.height(); ++y) rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(bitmap.row(y));
  png_set_write_fn(png, &sink, writeData, flushData);
  const bool ok = encodeRows(png, info, bitmap, rows);
  png_destroy_write_struct(&png, &info);
  if (!ok) throw PngError("PNG encoding failed: " + sink.error);
  return std::move(sink.bytes);
}

void writePngFile(const raster::FastBitmap& bitmap, const std::filesystem::path& path) {
  const std::vector<std::uint8_t> bytes = encodePng(bitmap);
  common::writeFileAtomically(path, bytes);
}

}  // namespace zefra::io
