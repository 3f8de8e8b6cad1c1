// One barcode of a batch's average text, drawn as the window draws it and
// made into each kind of file, without the writing to disk.
#include <benchmark/benchmark.h>

#include "engine/DrawBar.h"
#include "label/BarcodePicture.h"
#include "label/LabelFiles.h"
#include "platform/picture/PictureSurface.h"
#include "platform/picture/QtText.h"

namespace {

using namespace tallyline;

// Twelve characters, about the mean of a batch of 1 to 23; two texts taking
// turns, as a batch's lines do.
const Text kTexts[] = {ToText(QStringLiteral("TALLY-2026/A")), ToText(QStringLiteral("A/6202-YLLAT"))};

PictureSurface Designed(PictureSurface::Keeping keeping) {
    PictureSurface surface(keeping);
    DesignAsBarcodePicture(surface);
    return surface;
}

// A file of the format as the command line writes it by default.
FileSettings SettingsOf(PictureFormat format) {
    FileSettings settings;
    settings.format = format;
    return settings;
}

void BM_Draw(benchmark::State& state) {
    PictureSurface surface = Designed(PictureSurface::Keeping::Pixels);
    std::size_t next = 0;
    for (auto _ : state) DrawBarcode(kTexts[next++ % 2], surface);
}
BENCHMARK(BM_Draw)->Unit(benchmark::kMicrosecond);

void BM_PngFile(benchmark::State& state) {
    PictureSurface surface = Designed(PictureSurface::Keeping::Pixels);
    std::size_t next = 0;
    for (auto _ : state) {
        DrawBarcode(kTexts[next++ % 2], surface);
        benchmark::DoNotOptimize(LabelFile(surface, SettingsOf(PictureFormat::Png)));
    }
}
BENCHMARK(BM_PngFile)->Unit(benchmark::kMicrosecond);

void BM_SvgFile(benchmark::State& state) {
    PictureSurface surface = Designed(PictureSurface::Keeping::Shapes);
    std::size_t next = 0;
    for (auto _ : state) {
        DrawBarcode(kTexts[next++ % 2], surface);
        benchmark::DoNotOptimize(LabelFile(surface, SettingsOf(PictureFormat::Svg)));
    }
}
BENCHMARK(BM_SvgFile)->Unit(benchmark::kMicrosecond);

void BM_PdfFile(benchmark::State& state) {
    PictureSurface surface = Designed(PictureSurface::Keeping::Shapes);
    std::size_t next = 0;
    for (auto _ : state) {
        DrawBarcode(kTexts[next++ % 2], surface);
        benchmark::DoNotOptimize(LabelFile(surface, SettingsOf(PictureFormat::Pdf)));
    }
}
BENCHMARK(BM_PdfFile)->Unit(benchmark::kMicrosecond);

}  // namespace
