#include "platform/files/PngEncoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <zlib.h>

#include "platform/core/RuntimeError.h"
#include "platform/files/Deflate_p.h"

namespace tallyline {
namespace {

// Rows as the file stores them: one byte a pixel for greys, three for colours.
// A row that repeats the one above, as most rows of a barcode do, is kept
// once: only rows unlike the one above have pixels of their own.
struct Rows {
    int width = 0;
    int height = 0;
    int channels = 1;
    int scale = 1;
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
    std::vector<std::uint8_t> pixels;
    std::vector<std::size_t> rowAt;  // where each row's pixels start

    std::size_t RowBytes() const noexcept { return static_cast<std::size_t>(width) * channels; }
    const std::uint8_t* Row(int y) const { return pixels.data() + rowAt[y]; }
    bool Repeats(int y) const { return y > 0 && rowAt[y] == rowAt[y - 1]; }
};

bool IsGrey(QRgb value) noexcept { return qRed(value) == qGreen(value) && qGreen(value) == qBlue(value); }

// Stores the pixels of the background's colour as rows.channels says.
void Store(std::uint8_t* stored, QRgb value, int channels) noexcept {
    stored[0] = static_cast<std::uint8_t>(qRed(value));
    if (channels == 1) return;
    stored[1] = static_cast<std::uint8_t>(qGreen(value));
    stored[2] = static_cast<std::uint8_t>(qBlue(value));
}

// Stores the picture with its margins as rows of rows.channels; false, the
// rows half made, when they are greys and a pixel is not. A line of the
// picture like the one above, or a margin below a margin, is not looked at
// again.
bool StoreRows(const QImage& image, const QMargins& margins, QRgb background, Rows& rows) {
    const std::size_t rowBytes = rows.RowBytes();
    std::vector<std::uint8_t> blank(rowBytes);
    for (std::size_t x = 0; x < rowBytes; x += rows.channels) Store(blank.data() + x, background, rows.channels);
    rows.pixels.clear();
    rows.rowAt.resize(rows.height);
    const auto width = static_cast<std::size_t>(image.width());
    const QRgb* above = nullptr;
    for (int y = 0; y < rows.height; ++y) {
        const int line = y - margins.top();
        const QRgb* pixel =
            line >= 0 && line < image.height() ? reinterpret_cast<const QRgb*>(image.constScanLine(line)) : nullptr;
        const bool repeats =
            y > 0 && (pixel == nullptr ? above == nullptr
                                       : above != nullptr && std::memcmp(pixel, above, width * sizeof(QRgb)) == 0);
        above = pixel;
        if (repeats) {
            rows.rowAt[y] = rows.rowAt[y - 1];
            continue;
        }
        rows.rowAt[y] = rows.pixels.size();
        rows.pixels.insert(rows.pixels.end(), blank.begin(), blank.end());
        if (pixel == nullptr) continue;
        std::uint8_t* stored =
            rows.pixels.data() + rows.rowAt[y] + static_cast<std::size_t>(margins.left()) * rows.channels;
        if (rows.channels == 1) {
            // Whether each pixel is a grey, all at once: a loop without a
            // branch, which the compiler does many pixels at a time.
            std::uint32_t colour = 0;
            for (std::size_t x = 0; x < width; ++x) {
                stored[x] = static_cast<std::uint8_t>(qRed(pixel[x]));
                colour |= (pixel[x] ^ (pixel[x] >> 8)) & 0xFFFF;
            }
            if (colour != 0) return false;
        } else {
            for (std::size_t x = 0; x < width; ++x, stored += rows.channels) Store(stored, pixel[x], rows.channels);
        }
    }
    return true;
}

// The picture's rows, as greys when its margins and every pixel are greys.
Rows StoredRows(const QImage& source, int scale, const QMargins& margins, QRgb background) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    // A conversion without room gives no image, which would be written as margins alone.
    if (image.isNull()) throw RuntimeError(ErrorNumber::OutOfMemory);
    Rows rows;
    const QSize size = PngSize(image.size(), 1, margins);
    rows.width = size.width();
    rows.height = size.height();
    rows.channels = IsGrey(background) ? 1 : 3;
    rows.scale = scale;
    rows.dotsPerMeterX = source.dotsPerMeterX() * scale;
    rows.dotsPerMeterY = source.dotsPerMeterY() * scale;
    if (!StoreRows(image, margins, background, rows)) {
        rows.channels = 3;
        StoreRows(image, margins, background, rows);
    }
    return rows;
}

void AppendBigEndian(std::string& file, std::uint32_t value) {
    const char bytes[] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
                          static_cast<char>(value)};
    file.append(bytes, sizeof bytes);
}

uLong AddToSum(uLong sum, const std::vector<std::uint8_t>& bytes) {
    return adler32(sum, bytes.data(), static_cast<uInt>(bytes.size()));
}

// The most bytes of rows unlike the one above, before scaling, of a picture
// that is made both ways: about a barcode of ten characters.
constexpr std::size_t kTriedTwice = 4500;
// The same for a picture whose second way is libpng's own, which costs about
// twice our first: a barcode of up to three characters, where ours come
// closest to libpng's, up to a scale whose rows, held whole for zlib, stay
// a few megabytes.
constexpr std::size_t kTriedAsLibpng = 2000;
constexpr int kLargestScaleAsLibpng = 10;

// How rows unlike the one above are filtered: as they are, or each in the
// way that libpng's heuristic chooses among PNG's five.
enum class Filters { None, LeastSum };

int PaethPredictor(int left, int above, int upperLeft) noexcept {
    const int estimate = left + above - upperLeft;
    const int toLeft = std::abs(estimate - left);
    const int toAbove = std::abs(estimate - above);
    const int toUpperLeft = std::abs(estimate - upperLeft);
    if (toLeft <= toAbove && toLeft <= toUpperLeft) return left;
    return toAbove <= toUpperLeft ? above : upperLeft;
}

// The row filtered as the filters say, each way tried in filtered[type],
// the filter's number first.
void FilterRow(Filters filters, const std::uint8_t* row, const std::uint8_t* above, std::size_t n, std::size_t step,
               std::array<std::vector<std::uint8_t>, 5>& filtered) {
    filtered[0].resize(n + 1);
    filtered[0][0] = 0;
    std::memcpy(filtered[0].data() + 1, row, n);
    if (filters == Filters::None) return;
    // Each filter a loop of its own, which the compiler makes many bytes at a time.
    const auto make = [&](std::size_t type, auto predicted) {
        std::vector<std::uint8_t>& out = filtered[type];
        out.resize(n + 1);
        out[0] = static_cast<std::uint8_t>(type);
        for (std::size_t x = 0; x < n; ++x) out[x + 1] = static_cast<std::uint8_t>(row[x] - predicted(x));
    };
    const auto left = [&](std::size_t x) { return x >= step ? row[x - step] : 0; };
    make(1, left);
    make(2, [&](std::size_t x) { return above[x]; });
    make(3, [&](std::size_t x) { return (left(x) + above[x]) / 2; });
    make(4, [&](std::size_t x) { return PaethPredictor(left(x), above[x], x >= step ? above[x - step] : 0); });
}

// The way with the least sum of its bytes read as signed, libpng's heuristic.
std::size_t Least(const std::array<std::vector<std::uint8_t>, 5>& filtered) {
    std::uint64_t least = UINT64_MAX;
    std::size_t best = 0;
    for (std::size_t type = 0; type < filtered.size(); ++type) {
        std::uint64_t sum = 0;
        for (std::size_t x = 1; x < filtered[type].size(); ++x) {
            sum += static_cast<std::uint64_t>(std::abs(static_cast<std::int8_t>(filtered[type][x])));
        }
        if (sum < least) {
            least = sum;
            best = type;
        }
    }
    return best;
}

// The row made scale times as wide.
void Widen(const Rows& rows, const std::uint8_t* row, std::uint8_t* widened) {
    const std::size_t rowBytes = rows.RowBytes();
    if (rows.scale == 1) {
        std::memcpy(widened, row, rowBytes);
        return;
    }
    for (const std::uint8_t* pixel = row; pixel < row + rowBytes; pixel += rows.channels) {
        for (int step = 0; step < rows.scale; ++step) {
            for (int channel = 0; channel < rows.channels; ++channel) *widened++ = pixel[channel];
        }
    }
}

// PNG's image data as a zlib stream: the rows, each made scale rows of
// scale times its pixels. A row unlike the one above is stored as it is
// (filter "none"): a barcode's few greys repeat across its bars and its
// caption's glyphs, which copies reach, where differences from the row above
// or the pixel before make more and rarer bytes. A row like the one above
// filters "up" to zeros, and such rows after another are repeats of it,
// written without looking at them.
void AppendImageData(std::string& file, const Rows& rows, Filters filters) {
    constexpr std::uint8_t kFilterUp = 2;
    const std::size_t wideBytes = rows.RowBytes() * rows.scale;
    const std::size_t streamRow = wideBytes + 1;
    // zlib's header: deflate with a 32 KiB window, the most compression, no dictionary.
    file.append("\x78\xDA", 2);
    std::size_t ownRows = 0;
    for (int y = 0; y < rows.height; ++y) ownRows += rows.Repeats(y) ? 0 : 1;
    DeflateWriter deflate(file, 2 * ownRows * streamRow, streamRow);
    std::vector<std::uint8_t> zeroRow(streamRow, 0);
    zeroRow[0] = kFilterUp;
    const uLong zeroRowSum = AddToSum(adler32(0, nullptr, 0), zeroRow);
    uLong sum = adler32(0, nullptr, 0);
    std::vector<std::uint8_t> wide(wideBytes);
    std::vector<std::uint8_t> above(wideBytes);
    std::array<std::vector<std::uint8_t>, 5> filtered;
    // Rows of zeros after the one that follows a row of pixels, not yet written.
    std::uint64_t zeroRows = 0;
    bool afterZeroRow = false;
    for (int y = 0; y < rows.height; ++y) {
        const std::uint8_t* row = rows.Row(y);
        const bool repeated = rows.Repeats(y);
        for (int copy = 0; copy < rows.scale; ++copy) {
            if (repeated || copy > 0) {
                if (afterZeroRow) {
                    ++zeroRows;
                } else {
                    deflate.Bytes(zeroRow);
                }
                sum = adler32_combine(sum, zeroRowSum, static_cast<z_off_t>(streamRow));
                afterZeroRow = true;
                continue;
            }
            if (zeroRows > 0) deflate.Repeat(zeroRow, zeroRows);
            zeroRows = 0;
            Widen(rows, row, wide.data());
            FilterRow(filters, wide.data(), above.data(), wideBytes, static_cast<std::size_t>(rows.channels), filtered);
            above.swap(wide);
            const std::vector<std::uint8_t>& best = filtered[filters == Filters::None ? 0 : Least(filtered)];
            deflate.Bytes(best);
            sum = AddToSum(sum, best);
            afterZeroRow = false;
        }
    }
    if (zeroRows > 0) deflate.Repeat(zeroRow, zeroRows);
    deflate.Finish();
    AppendBigEndian(file, static_cast<std::uint32_t>(sum));
}

// The image data exactly as libpng writes it at compression level 9: each
// row in the filter its heuristic picks, deflated by zlib as libpng sets it
// up. A file that keeps the smaller of this and ours is never larger than
// libpng's.
std::string LibpngImageData(const Rows& rows) {
    const std::size_t wideBytes = rows.RowBytes() * rows.scale;
    std::vector<std::uint8_t> stream;
    stream.reserve((wideBytes + 1) * static_cast<std::size_t>(rows.height) * rows.scale);
    std::vector<std::uint8_t> wide(wideBytes);
    std::vector<std::uint8_t> above(wideBytes);
    std::array<std::vector<std::uint8_t>, 5> filtered;
    for (int y = 0; y < rows.height; ++y) {
        for (int copy = 0; copy < rows.scale; ++copy) {
            if (rows.Repeats(y) || copy > 0) {
                // Like the row above: "up" makes zeros, which the heuristic
                // picks unless the row is zeros as it is.
                const bool zeros = std::all_of(above.begin(), above.end(), [](std::uint8_t b) { return b == 0; });
                stream.push_back(zeros ? 0 : 2);
                stream.insert(stream.end(), wideBytes, 0);
                continue;
            }
            Widen(rows, rows.Row(y), wide.data());
            FilterRow(Filters::LeastSum, wide.data(), above.data(), wideBytes, static_cast<std::size_t>(rows.channels),
                      filtered);
            const std::vector<std::uint8_t>& best = filtered[Least(filtered)];
            stream.insert(stream.end(), best.begin(), best.end());
            above.swap(wide);
        }
    }
    z_stream zlib{};
    // libpng's settings: its window, memory level and, for filtered rows, strategy.
    if (deflateInit2(&zlib, 9, Z_DEFLATED, 15, 8, Z_FILTERED) != Z_OK) throw RuntimeError(ErrorNumber::OutOfMemory);
    std::string data(deflateBound(&zlib, static_cast<uLong>(stream.size())), '\0');
    zlib.next_in = stream.data();
    zlib.avail_in = static_cast<uInt>(stream.size());
    zlib.next_out = reinterpret_cast<Bytef*>(data.data());
    zlib.avail_out = static_cast<uInt>(data.size());
    const int status = deflate(&zlib, Z_FINISH);
    data.resize(zlib.total_out);
    deflateEnd(&zlib);
    if (status != Z_STREAM_END) throw RuntimeError(ErrorNumber::OutOfMemory);
    return data;
}

// Starts a chunk of the type: where its length goes once its data is there.
std::size_t OpenChunk(std::string& file, const char (&type)[5]) {
    const std::size_t start = file.size();
    AppendBigEndian(file, 0);
    file.append(type, 4);
    return start;
}

// Ends the chunk that starts at `start` with the file's last bytes as its
// data: its length before them and its checksum of type and data after.
void CloseChunk(std::string& file, std::size_t start) {
    const std::size_t typeAt = start + 4;
    const auto length = static_cast<std::uint32_t>(file.size() - typeAt - 4);
    for (int byte = 0; byte < 4; ++byte) file[start + byte] = static_cast<char>(length >> (24 - 8 * byte));
    const auto* data = reinterpret_cast<const Bytef*>(file.data() + typeAt);
    AppendBigEndian(file, static_cast<std::uint32_t>(crc32(0, data, static_cast<uInt>(file.size() - typeAt))));
}

}  // namespace

QSize PngSize(QSize picture, int scale, const QMargins& margins) { return picture.grownBy(margins) * scale; }

QByteArray EncodePng(const QImage& image, int scale, const QMargins& margins, QRgb background) {
    const bool outward = margins.left() >= 0 && margins.top() >= 0 && margins.right() >= 0 && margins.bottom() >= 0;
    if (image.isNull() || scale < 1 || !outward) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    const Rows rows = StoredRows(image, scale, margins, background);
    std::string file;
    file.reserve(rows.pixels.size() / 16 + 1024);
    file.append("\x89PNG\r\n\x1a\n", 8);

    constexpr char kGrey = 0, kColour = 2;
    std::size_t start = OpenChunk(file, "IHDR");
    AppendBigEndian(file, static_cast<std::uint32_t>(rows.width) * rows.scale);
    AppendBigEndian(file, static_cast<std::uint32_t>(rows.height) * rows.scale);
    // Eight bits a sample; deflate, adaptive filtering, no interlacing.
    const char format[] = {8, rows.channels == 1 ? kGrey : kColour, 0, 0, 0};
    file.append(format, sizeof format);
    CloseChunk(file, start);

    if (rows.dotsPerMeterX > 0 && rows.dotsPerMeterY > 0) {
        constexpr char kPerMetre = 1;
        start = OpenChunk(file, "pHYs");
        AppendBigEndian(file, static_cast<std::uint32_t>(rows.dotsPerMeterX));
        AppendBigEndian(file, static_cast<std::uint32_t>(rows.dotsPerMeterY));
        file.push_back(kPerMetre);
        CloseChunk(file, start);
    }

    // Rows as they are make the smaller file of a barcode, but for the
    // smallest pictures, which are cheap to make twice, where differences
    // from the row above sometimes do; the very smallest, where ours and
    // libpng's are closest, are made libpng's way.
    std::string data;
    AppendImageData(data, rows, Filters::None);
    std::string other;
    if (rows.pixels.size() <= kTriedAsLibpng && rows.scale <= kLargestScaleAsLibpng) {
        other = LibpngImageData(rows);
    } else if (rows.pixels.size() <= kTriedTwice) {
        AppendImageData(other, rows, Filters::LeastSum);
    }
    if (!other.empty() && other.size() < data.size()) data.swap(other);
    start = OpenChunk(file, "IDAT");
    file += data;
    CloseChunk(file, start);

    CloseChunk(file, OpenChunk(file, "IEND"));
    return QByteArray(file.data(), static_cast<qsizetype>(file.size()));
}

}  // namespace tallyline
