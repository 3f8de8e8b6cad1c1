// Drawing a barcode on the window's picture box, set against a widely used
// barcode library making a Code 39 bitmap of the same text.
#include <benchmark/benchmark.h>
#include <zint.h>

#include <QApplication>

#include <cstdio>
#include <string>

#include "bench/CapturingReporter.h"
#include "design/Fonts.h"
#include "design/Geometry.h"
#include "engine/DrawBar.h"
#include "platform/picture/DesignFont.h"
#include "platform/widgets/PictureBox.h"

namespace {

using namespace tallyline;

// 23 characters, as many as the text box takes, all with bars. Each run
// alternates between the two, as typing changes the text on every draw, so
// that nothing learnt from the previous draw's text can be reused.
constexpr std::string_view kTexts[] = {"CODE 39 TALLYLINE-2026/", "/6202-ENILYLLAT 93 EDOC"};
constexpr int kLengths[] = {1, 10, 23};
// The library's bitmap at scale 1 has two pixels a module, as the window's
// picture box has; this many modules of bar height make its bitmap about as
// tall as the picture box's 89 pixels, caption included.
constexpr float kZintBarModules = 36.5f;

std::string Name(const char* maker, int length) {
    return "BM_Code39/" + std::string(maker) + "/" + std::to_string(length);
}

void DrawOnPictureBox(benchmark::State& state, int length) {
    const design::TwipsRect area = design::kPicture1;
    PictureBox box;
    box.Move(static_cast<float>(area.left), static_cast<float>(area.top), static_cast<float>(area.width),
             static_cast<float>(area.height));
    box.Font(DesignFont(QString::fromLatin1(design::kDefaultFont.family), design::kDefaultFont.points,
                        design::kDefaultFont.weight));
    const Text texts[] = {Text(kTexts[0].begin(), kTexts[0].begin() + length),
                          Text(kTexts[1].begin(), kTexts[1].begin() + length)};
    std::size_t next = 0;
    for (auto _ : state) DrawBarcode(texts[next++ % 2], box);
}

void MakeZintBitmap(benchmark::State& state, int length) {
    zint_symbol* const symbol = ZBarcode_Create();
    const std::string texts[] = {std::string(kTexts[0].substr(0, static_cast<std::size_t>(length))),
                                 std::string(kTexts[1].substr(0, static_cast<std::size_t>(length)))};
    std::size_t next = 0;
    for (auto _ : state) {
        const std::string& text = texts[next++ % 2];
        symbol->symbology = BARCODE_CODE39;
        symbol->scale = 1;
        symbol->height = kZintBarModules;
        const int result =
            ZBarcode_Encode_and_Buffer(symbol, reinterpret_cast<const unsigned char*>(text.data()), length, 0);
        if (result >= ZINT_ERROR) {
            state.SkipWithError(symbol->errtxt);
            break;
        }
        benchmark::DoNotOptimize(symbol->bitmap);
        ZBarcode_Clear(symbol);
    }
    ZBarcode_Delete(symbol);
}

}  // namespace

int main(int argc, char** argv) {
    // The picture box is a widget, but nothing needs to be seen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    for (const int length : kLengths) {
        benchmark::RegisterBenchmark(Name("Tallyline", length).c_str(), DrawOnPictureBox, length);
        benchmark::RegisterBenchmark(Name("Zint", length).c_str(), MakeZintBitmap, length);
    }
    tallyline::CapturingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    for (const int length : kLengths) {
        const auto ours = reporter.MeanNanoseconds(Name("Tallyline", length));
        const auto theirs = reporter.MeanNanoseconds(Name("Zint", length));
        if (ours && theirs && *theirs > 0) {
            std::printf("ratio tallyline/zint at %d chars: %.2f\n", length, *ours / *theirs);
        }
    }
    benchmark::Shutdown();
    return 0;
}
