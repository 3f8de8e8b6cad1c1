#include "platform/files/PngEncoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/RuntimeError.h"

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
        const QRgb* pixel = line >= 0 && line < image.height() ? reinterpret_cast<const QRgb*>(image.constScanLine(line))
                                                                 : nullptr;
        const bool repeats = y > 0 && (pixel == nullptr ? above == nullptr
                                                        : above != nullptr &&
                                                              std::memcmp(pixel, above, width * sizeof(QRgb)) == 0);
        above = pixel;
        if (repeats) {
            rows.rowAt[y] = rows.rowAt[y - 1];
            continue;
        }
        rows.rowAt[y] = rows.pixels.size();
        rows.pixels.insert(rows.pixels.end(), blank.begin(), blank.end());
        if (pixel == nullptr) continue;
        std::uint8_t* stored = rows.pixels.data() + rows.rowAt[y] + static_cast<std::size_t>(margins.left()) * rows.channels;
        if (rows.channels == 1) {
            for (std::size_t x = 0; x < width; ++x) {
                if (!IsGrey(pixel[x])) return false;
                stored[x] = static_cast<std::uint8_t>(qRed(pixel[x]));
            }
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
    rows.width = image.width() + margins.left() + margins.right();
    rows.height = image.height() + margins.top() + margins.bottom();
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
    const char bytes[] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                          static_cast<char>(value >> 8), static_cast<char>(value)};
    file.append(bytes, sizeof bytes);
}

// Deflate as PNG's image data needs it, in one block of the fixed codes
// that the format defines: a byte that repeats is written once and then
// as copies of the byte before (distance 1), up to 258 at a time; every
// other byte as itself. Filtered barcode rows are runs of zeros and little
// else, which this writes in a few bits a row, in one pass and no tables to
// build, where a general compressor searches for matches that are not there.
class Deflater {
public:
    explicit Deflater(std::string& out) : out_(out) {}

    void Start() {
        constexpr int kFinalFixedBlock = 0b011;  // BFINAL = 1, BTYPE = 01
        Put(kFinalFixedBlock, 3);
    }
    // The byte, n times.
    void Run(std::uint8_t byte, std::size_t n) {
        Literal(byte);
        std::size_t copies = n - 1;
        for (; copies >= kShortestCopy; copies -= std::min(copies, kLongestCopy)) {
            Copy(static_cast<int>(std::min(copies, kLongestCopy)));
        }
        for (; copies > 0; --copies) Literal(byte);
    }
    void Finish() {
        constexpr int kEndOfBlock = 256;
        Symbol(kEndOfBlock);
        if (count_ > 0) out_.push_back(static_cast<char>(bits_));
    }

private:
    static constexpr std::size_t kShortestCopy = 3;
    static constexpr std::size_t kLongestCopy = 258;

    // Bits go out least significant first; Huffman codes most significant
    // first, so the table holds them reversed.
    void Put(std::uint32_t value, int length) {
        bits_ |= static_cast<std::uint64_t>(value) << count_;
        count_ += length;
        for (; count_ >= 8; count_ -= 8, bits_ >>= 8) out_.push_back(static_cast<char>(bits_));
    }
    // The fixed literal/length code of a symbol from 0 to 287.
    void Symbol(int symbol) { Put(kFixedCodes[symbol].bits, kFixedCodes[symbol].length); }

    struct FixedCode {
        std::uint16_t bits;
        std::uint8_t length;
    };
    static constexpr std::array<FixedCode, 288> kFixedCodes = [] {
        std::array<FixedCode, 288> codes{};
        for (int symbol = 0; symbol < 288; ++symbol) {
            const auto [code, length] = symbol < 144   ? std::pair(0x30 + symbol, 8)
                                        : symbol < 256 ? std::pair(0x190 + symbol - 144, 9)
                                        : symbol < 280 ? std::pair(symbol - 256, 7)
                                                       : std::pair(0xC0 + symbol - 280, 8);
            int reversed = 0;
            for (int bit = 0; bit < length; ++bit) reversed |= ((code >> bit) & 1) << (length - 1 - bit);
            codes[symbol] = {static_cast<std::uint16_t>(reversed), static_cast<std::uint8_t>(length)};
        }
        return codes;
    }();

    void Literal(std::uint8_t byte) { Symbol(byte); }
    // A copy of `length` bytes from one byte back.
    void Copy(int length) {
        // The first length of each length code, and its extra bits.
        static constexpr std::array<int, 29> kBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr std::array<int, 29> kExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        const int index = static_cast<int>(std::upper_bound(kBase.begin(), kBase.end(), length) - kBase.begin()) - 1;
        constexpr int kFirstLengthSymbol = 257;
        Symbol(kFirstLengthSymbol + index);
        Put(static_cast<std::uint32_t>(length - kBase[index]), kExtra[index]);
        // Distance 1 is code 0 of five bits, the same read either way.
        constexpr int kDistanceOneCode = 0, kDistanceCodeBits = 5;
        Put(kDistanceOneCode, kDistanceCodeBits);
    }

    std::string& out_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
};

// Adler-32, added to a run of one byte at a time. A long run is added in
// closed form, n copies of c adding n c to the first sum and
// n a + c n (n + 1) / 2 to the second; a short one byte by byte, the sums
// taken modulo only every few thousand bytes, well short of overflowing.
class Adler32 {
public:
    void Run(std::uint64_t byte, std::uint64_t n) {
        if (n < kLongRun) {
            for (std::uint64_t i = 0; i < n; ++i) {
                a_ += byte;
                b_ += a_;
            }
            pending_ += n;
            if (pending_ < kMostPending) return;
        } else {
            b_ += n % kModulus * a_ + byte * (n * (n + 1) / 2 % kModulus);
            a_ += n % kModulus * byte;
        }
        a_ %= kModulus;
        b_ %= kModulus;
        pending_ = 0;
    }
    std::uint32_t Sum() const noexcept { return static_cast<std::uint32_t>(b_ % kModulus << 16 | a_ % kModulus); }

private:
    static constexpr std::uint64_t kModulus = 65521;
    static constexpr std::uint64_t kLongRun = 32;
    static constexpr std::uint64_t kMostPending = 4096;
    std::uint64_t a_ = 1;
    std::uint64_t b_ = 0;
    std::uint64_t pending_ = 0;
};

// PNG's image data as a zlib stream: the rows, each made scale rows of
// scale times its pixels, filtered against the row above ("up") and
// compressed as runs. A row that repeats the one above, most rows of a
// barcode, filters to zeros: one run, written without looking at it.
void AppendImageData(std::string& file, const Rows& rows) {
    constexpr std::uint8_t kFilterUp = 2;
    const std::size_t rowBytes = rows.RowBytes();
    const std::size_t wideBytes = rowBytes * rows.scale;
    // zlib's header: deflate with a 32 KiB window, no dictionary.
    file.append("\x78\x01", 2);
    Deflater deflater(file);
    Adler32 adler;
    const auto run = [&](std::uint8_t byte, std::size_t n) {
        deflater.Run(byte, n);
        adler.Run(byte, n);
    };
    deflater.Start();
    std::vector<std::uint8_t> above(wideBytes);
    std::vector<std::uint8_t> wide(wideBytes);
    for (int y = 0; y < rows.height; ++y) {
        const std::uint8_t* row = rows.Row(y);
        const bool repeated = rows.Repeats(y);
        for (int copy = 0; copy < rows.scale; ++copy) {
            run(kFilterUp, 1);
            if (repeated || copy > 0) {
                run(0, wideBytes);
                continue;
            }
            std::uint8_t* widened = wide.data();
            if (rows.scale == 1) {
                std::memcpy(widened, row, rowBytes);
            } else {
                for (const std::uint8_t* pixel = row; pixel < row + rowBytes; pixel += rows.channels) {
                    for (int step = 0; step < rows.scale; ++step) {
                        for (int channel = 0; channel < rows.channels; ++channel) *widened++ = pixel[channel];
                    }
                }
            }
            for (std::size_t x = 0; x < wideBytes;) {
                const auto byte = static_cast<std::uint8_t>(wide[x] - above[x]);
                std::size_t end = x + 1;
                while (end < wideBytes && static_cast<std::uint8_t>(wide[end] - above[end]) == byte) ++end;
                run(byte, end - x);
                x = end;
            }
            above.swap(wide);
        }
    }
    deflater.Finish();
    AppendBigEndian(file, adler.Sum());
}

// CRC-32 as PNG's chunks end with it.
std::uint32_t Crc32(const char* data, std::size_t size) {
    static constexpr auto kTable = [] {
        std::array<std::uint32_t, 256> table{};
        for (std::uint32_t n = 0; n < table.size(); ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit) c = c & 1 ? 0xEDB88320 ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        return table;
    }();
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < size; ++i) crc = kTable[(crc ^ static_cast<std::uint8_t>(data[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFF;
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
    AppendBigEndian(file, Crc32(file.data() + typeAt, file.size() - typeAt));
}

}  // namespace

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

    start = OpenChunk(file, "IDAT");
    AppendImageData(file, rows);
    CloseChunk(file, start);

    CloseChunk(file, OpenChunk(file, "IEND"));
    return QByteArray(file.data(), static_cast<qsizetype>(file.size()));
}

}  // namespace tallyline
