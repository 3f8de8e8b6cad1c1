// Sets each PNG file beside the same pixels written by libpng at compression
// level 9 with its default filters, 8 bits a sample, grey or colour as the
// file is: the sizes' totals, how many files are larger than libpng's, and
// the largest ratio. Usage: png_size_vs_libpng FILE_OR_FOLDER...
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Pixels {
    png_image image{};
    std::vector<png_byte> bytes;
};

bool Read(const char* path, Pixels& pixels) {
    pixels.image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&pixels.image, path)) return false;
    pixels.image.format = (pixels.image.format & PNG_FORMAT_FLAG_COLOR) ? PNG_FORMAT_RGB : PNG_FORMAT_GRAY;
    pixels.bytes.resize(PNG_IMAGE_SIZE(pixels.image));
    return png_image_finish_read(&pixels.image, nullptr, pixels.bytes.data(), 0, nullptr) != 0;
}

void Count(png_structp png, png_bytep, png_size_t length) { *static_cast<std::size_t*>(png_get_io_ptr(png)) += length; }
void Flush(png_structp) {}

// The size of libpng's file of the pixels, with the density chunk that ours carry.
std::size_t LibpngSize(const Pixels& pixels) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::size_t size = 0;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_set_write_fn(png, &size, Count, Flush);
    png_set_compression_level(png, 9);
    const bool colour = pixels.image.format & PNG_FORMAT_FLAG_COLOR;
    png_set_IHDR(png, info, pixels.image.width, pixels.image.height, 8,
                 colour ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    const std::size_t stride = PNG_IMAGE_ROW_STRIDE(pixels.image);
    for (png_uint_32 y = 0; y < pixels.image.height; ++y) {
        png_write_row(png, const_cast<png_bytep>(pixels.bytes.data() + y * stride));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return size;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::size_t ours = 0, theirs = 0, files = 0, larger = 0;
    double worst = 0;
    std::string worstFile;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (!std::filesystem::is_directory(argv[i])) {
            paths.emplace_back(argv[i]);
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            if (entry.path().extension() == ".png") paths.push_back(entry.path().string());
        }
    }
    for (const std::string& path : paths) {
        Pixels pixels;
        if (!Read(path.c_str(), pixels)) {
            std::fprintf(stderr, "%s: not a PNG file that libpng reads\n", path.c_str());
            return 1;
        }
        const auto size = static_cast<std::size_t>(std::filesystem::file_size(path));
        const std::size_t reference = LibpngSize(pixels);
        ours += size;
        theirs += reference;
        ++files;
        larger += size > reference ? 1 : 0;
        const double ratio = static_cast<double>(size) / static_cast<double>(reference);
        if (ratio > worst) {
            worst = ratio;
            worstFile = path + " (" + std::to_string(size) + " B, libpng " + std::to_string(reference) + " B)";
        }
    }
    if (files == 0) return 1;
    std::printf("%zu files: ours %zu B, libpng level 9 %zu B, ratio %.3f; %zu larger than libpng's; worst %.3f: %s\n",
                files, ours, theirs, static_cast<double>(ours) / static_cast<double>(theirs), larger, worst,
                worstFile.c_str());
    return larger == 0 ? 0 : 3;
}
