#include "tools/skin-gen/IndexedBmp.h"

#include <algorithm>
#include <stdexcept>

namespace skingen {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPaletteEntries = 256;

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<Rgb> PaletteOf(const Raster& raster) {
    std::vector<Rgb> palette;
    for (const Rgb& colour : raster.pixels) {
        if (std::find(palette.begin(), palette.end(), colour) == palette.end()) palette.push_back(colour);
    }
    if (palette.size() > kPaletteEntries) throw std::length_error("more than 256 colours");
    return palette;
}

}  // namespace

std::vector<std::uint8_t> EncodeIndexedBmp(const Raster& raster) {
    const std::vector<Rgb> palette = PaletteOf(raster);
    const std::uint32_t stride = (static_cast<std::uint32_t>(raster.width) + 3u) & ~3u;
    const std::uint32_t bitsOffset = kFileHeaderSize + kInfoHeaderSize + 4 * kPaletteEntries;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(raster.height);

    std::vector<std::uint8_t> out;
    out.reserve(bitsOffset + imageSize);
    out.push_back('B');
    out.push_back('M');
    PutLittleEndian(out, bitsOffset + imageSize, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, bitsOffset, 4);

    PutLittleEndian(out, kInfoHeaderSize, 4);
    PutLittleEndian(out, static_cast<std::uint32_t>(raster.width), 4);
    PutLittleEndian(out, static_cast<std::uint32_t>(raster.height), 4);
    PutLittleEndian(out, 1, 2);  // planes
    PutLittleEndian(out, 8, 2);  // bits per pixel
    PutLittleEndian(out, 0, 4);  // uncompressed
    PutLittleEndian(out, imageSize, 4);
    PutLittleEndian(out, 3780, 4);  // 96 dots per inch, in pixels per metre
    PutLittleEndian(out, 3780, 4);
    PutLittleEndian(out, kPaletteEntries, 4);
    PutLittleEndian(out, 0, 4);

    for (int i = 0; i < kPaletteEntries; ++i) {
        const Rgb colour = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : Rgb{};
        out.insert(out.end(), {colour.blue, colour.green, colour.red, 0});
    }
    for (int y = raster.height - 1; y >= 0; --y) {
        for (int x = 0; x < raster.width; ++x) {
            const auto index = std::find(palette.begin(), palette.end(), raster.At(x, y)) - palette.begin();
            out.push_back(static_cast<std::uint8_t>(index));
        }
        out.insert(out.end(), stride - static_cast<std::uint32_t>(raster.width), 0);
    }
    return out;
}

}  // namespace skingen
