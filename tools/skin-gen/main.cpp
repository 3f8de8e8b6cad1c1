// Draws the button's skin and writes it as a palettized bitmap:
//   skin-gen OUTPUT.bmp
#include <cstdio>
#include <exception>
#include <fstream>

#include "tools/skin-gen/IndexedBmp.h"
#include "tools/skin-gen/SkinCells.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    try {
        const auto bytes = skingen::EncodeIndexedBmp(skingen::DrawSkin());
        std::ofstream out(argv[1], std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::fprintf(stderr, "%s: cannot write\n", argv[1]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
