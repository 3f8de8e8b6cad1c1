#include "platform/files/PngEncoder.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "platform/core/RuntimeError.h"

namespace tallyline {
namespace {

// Rows as the file stores them: one byte a pixel for greys, three for colours.
struct Rows {
    int width = 0;
    int height = 0;
    int channels = 1;
    int scale = 1;
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
    std::vector<png_byte> pixels;

    const png_byte* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width * channels; }
};

bool IsGrey(QRgb value) noexcept { return qRed(value) == qGreen(value) && qGreen(value) == qBlue(value); }

// Whether every pixel of the picture, in 32 bits, is a grey. A row that
// repeats the one above, as most rows of a barcode do, is not looked at again.
bool AllGrey(const QImage& image) {
    const auto width = static_cast<std::size_t>(image.width());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* pixel = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (y > 0 && std::memcmp(pixel, image.constScanLine(y - 1), width * sizeof(QRgb)) == 0) continue;
        if (!std::all_of(pixel, pixel + width, IsGrey)) return false;
    }
    return true;
}

void Store(png_byte* stored, QRgb value, int channels) noexcept {
    stored[0] = static_cast<png_byte>(qRed(value));
    if (channels == 1) return;
    stored[1] = static_cast<png_byte>(qGreen(value));
    stored[2] = static_cast<png_byte>(qBlue(value));
}

Rows StoredRows(const QImage& source, int scale, const QMargins& margins, QRgb background) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    Rows rows;
    rows.width = image.width() + margins.left() + margins.right();
    rows.height = image.height() + margins.top() + margins.bottom();
    rows.channels = IsGrey(background) && AllGrey(image) ? 1 : 3;
    rows.scale = scale;
    rows.dotsPerMeterX = source.dotsPerMeterX() * scale;
    rows.dotsPerMeterY = source.dotsPerMeterY() * scale;
    const auto rowBytes = static_cast<std::size_t>(rows.width) * rows.channels;
    std::vector<png_byte> blank(rowBytes);
    for (std::size_t x = 0; x < rowBytes; x += rows.channels) Store(blank.data() + x, background, rows.channels);
    rows.pixels.resize(rowBytes * rows.height);
    const auto width = static_cast<std::size_t>(image.width());
    for (int y = 0; y < rows.height; ++y) {
        png_byte* row = rows.pixels.data() + rowBytes * y;
        const int line = y - margins.top();
        const QRgb* pixel = line >= 0 && line < image.height() ? reinterpret_cast<const QRgb*>(image.constScanLine(line))
                                                                 : nullptr;
        if (pixel != nullptr && line > 0 && std::memcmp(pixel, image.constScanLine(line - 1), width * sizeof(QRgb)) == 0) {
            std::memcpy(row, row - rowBytes, rowBytes);
            continue;
        }
        std::memcpy(row, blank.data(), rowBytes);
        if (pixel == nullptr) continue;
        png_byte* stored = row + static_cast<std::size_t>(margins.left()) * rows.channels;
        for (std::size_t x = 0; x < width; ++x, stored += rows.channels) Store(stored, pixel[x], rows.channels);
    }
    return rows;
}

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* file = static_cast<QByteArray*>(png_get_io_ptr(png));
    try {
        file->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
    } catch (...) {
        png_error(png, "out of memory");
    }
}

void Flush(png_structp) {}

// libpng's own reports go to standard error, where a command line's reader
// takes them for its own; a failure is reported by the caller instead.
[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void Warn(png_structp, png_const_charp) {}

// libpng reports failure by jumping back here, so nothing between the jump
// and its target may need destroying: every object lives in the caller.
bool Encode(const Rows& rows, std::vector<png_byte>& wide, QByteArray& file) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Warn);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &file, Append, Flush);
    // A file may be as wide as PNG allows, not only the million pixels that
    // libpng expects of a picture it reads: a long text at a large scale.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    const auto width = static_cast<png_uint_32>(rows.width) * rows.scale;
    const auto height = static_cast<png_uint_32>(rows.height) * rows.scale;
    png_set_IHDR(png, info, width, height, 8, rows.channels == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (rows.dotsPerMeterX > 0 && rows.dotsPerMeterY > 0) {
        png_set_pHYs(png, info, static_cast<png_uint_32>(rows.dotsPerMeterX),
                     static_cast<png_uint_32>(rows.dotsPerMeterY), PNG_RESOLUTION_METER);
    }
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    // Filtered against the row above, a repeated row is all zeros: runs are
    // what there is to compress.
    png_set_compression_strategy(png, Z_RLE);
    png_write_info(png, info);
    const auto rowBytes = static_cast<std::size_t>(rows.width) * rows.channels;
    for (int y = 0; y < rows.height; ++y) {
        const png_byte* row = rows.Row(y);
        if (rows.scale > 1) {
            // A row that repeats the one above is widened already.
            if (y == 0 || std::memcmp(row, rows.Row(y - 1), rowBytes) != 0) {
                png_byte* out = wide.data();
                for (const png_byte* pixel = row; pixel < row + rowBytes; pixel += rows.channels) {
                    for (int copy = 0; copy < rows.scale; ++copy, out += rows.channels) {
                        std::memcpy(out, pixel, rows.channels);
                    }
                }
            }
            row = wide.data();
        }
        for (int copy = 0; copy < rows.scale; ++copy) png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

QByteArray EncodePng(const QImage& image, int scale, const QMargins& margins, QRgb background) {
    const bool outward = margins.left() >= 0 && margins.top() >= 0 && margins.right() >= 0 && margins.bottom() >= 0;
    if (image.isNull() || scale < 1 || !outward) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    const Rows rows = StoredRows(image, scale, margins, background);
    std::vector<png_byte> wide(rows.scale > 1 ? static_cast<std::size_t>(rows.width) * rows.scale * rows.channels : 0);
    QByteArray file;
    file.reserve(static_cast<qsizetype>(rows.pixels.size() / 8 + 1024));
    if (!Encode(rows, wide, file)) throw RuntimeError(ErrorNumber::OutOfMemory);
    return file;
}

}  // namespace tallyline
