// Random pictures, scales, margins and backgrounds as files: every PNG must
// read back, through Qt and through libpng, as exactly the picture with its
// margins, each pixel scale x scale; every SVG must be well-formed XML with
// an svg root, and every PDF a whole PDF file.
#include <fuzzer/FuzzedDataProvider.h>
#include <png.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/files/PngEncoder.h"
#include "platform/files/VectorFiles.h"
#include "platform/picture/VectorCanvas.h"

namespace {

using namespace tallyline;

QRgb Colour(FuzzedDataProvider& input, bool greys) {
    const auto red = input.ConsumeIntegral<std::uint8_t>();
    if (greys) return qRgb(red, red, red);
    return qRgb(red, input.ConsumeIntegral<std::uint8_t>(), input.ConsumeIntegral<std::uint8_t>());
}

// libpng's reading of the file as 8-bit RGB, or nothing where it refuses it.
std::vector<png_byte> ReadWithLibpng(const QByteArray& file, int width, int height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.constData(), static_cast<std::size_t>(file.size()))) return {};
    if (image.width != static_cast<png_uint_32>(width) || image.height != static_cast<png_uint_32>(height)) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    return pixels;
}

void CheckPng(const QImage& picture, int scale, const QMargins& margins, QRgb background) {
    QImage padded(picture.size().grownBy(margins), QImage::Format_RGB32);
    padded.fill(background);
    QPainter(&padded).drawImage(margins.left(), margins.top(), picture);
    // Each pixel of the file against the padded picture's pixel it enlarges:
    // QImage::scaled misplaces edges at the widest scales.
    const int width = padded.width() * scale;
    const int height = padded.height() * scale;
    const auto expected = [&](int x, int y) {
        return reinterpret_cast<const QRgb*>(padded.constScanLine(y / scale))[x / scale] | 0xFF000000;
    };
    const QByteArray file = EncodePng(picture, scale, margins, background);
    const QImage read = QImage::fromData(file, "png").convertToFormat(QImage::Format_RGB32);
    if (read.width() != width || read.height() != height) std::abort();
    const std::vector<png_byte> bytes = ReadWithLibpng(file, width, height);
    if (bytes.empty()) std::abort();
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(read.constScanLine(y));
        const png_byte* pixel = bytes.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x, pixel += 3) {
            if ((row[x] | 0xFF000000) != expected(x, y) || qRgb(pixel[0], pixel[1], pixel[2]) != expected(x, y)) {
                std::abort();
            }
        }
    }
}

void CheckVectorFiles(const VectorCanvas& shapes, double millimetresPerPixel, const QMargins& margins, bool pdf) {
    QXmlStreamReader svg(SvgFile(shapes, millimetresPerPixel, margins));
    bool root = false;
    while (!svg.atEnd()) {
        if (svg.readNext() == QXmlStreamReader::StartElement && !root) {
            if (svg.name() != QLatin1String("svg")) std::abort();
            root = true;
        }
    }
    if (svg.hasError() || !root) std::abort();
    if (!pdf) return;
    const QByteArray file = PdfFile(shapes, millimetresPerPixel, margins);
    if (!file.startsWith("%PDF-") || !file.trimmed().endsWith("%%EOF")) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_files";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // Now and then a picture in colour so wide that a row of the file is
    // longer than the farthest a deflate copy reaches.
    const bool wide = input.ConsumeIntegralInRange(0, 255) == 0;
    const bool greys = !wide && input.ConsumeBool();
    const int width = wide ? input.ConsumeIntegralInRange(88, 90) : input.ConsumeIntegralInRange(1, 48);
    const int height = wide ? 1 : input.ConsumeIntegralInRange(1, 24);
    const int scale = wide ? input.ConsumeIntegralInRange(125, 130) : input.ConsumeIntegralInRange(1, 6);
    const int most = wide ? 1 : 20;
    const QMargins margins(input.ConsumeIntegralInRange(0, most), input.ConsumeIntegralInRange(0, most),
                           input.ConsumeIntegralInRange(0, most), input.ConsumeIntegralInRange(0, most));
    const QRgb background = Colour(input, greys || input.ConsumeBool());

    // Boxes of a few colours, as a barcode is drawn; then stray pixels in the
    // picture alone, the caption's greys.
    VectorCanvas shapes;
    shapes.Clear(QSize(width, height), Colour(input, greys));
    for (int boxes = input.ConsumeIntegralInRange(0, 12); boxes > 0; --boxes) {
        const int left = input.ConsumeIntegralInRange(0, width - 1);
        const int top = input.ConsumeIntegralInRange(0, height - 1);
        shapes.Fill(left, top, input.ConsumeIntegralInRange(left + 1, width),
                    input.ConsumeIntegralInRange(top + 1, height), Colour(input, greys));
    }
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(shapes.Background());
    {
        QPainter painter(&picture);
        shapes.Paint(painter);
    }
    for (int strays = input.ConsumeIntegralInRange(0, 40); strays > 0; --strays) {
        picture.setPixel(input.ConsumeIntegralInRange(0, width - 1), input.ConsumeIntegralInRange(0, height - 1),
                         Colour(input, greys));
    }
    CheckPng(picture, scale, margins, background);
    const double millimetresPerPixel = input.ConsumeFloatingPointInRange(0.001, 50.0);
    // A PDF takes Qt's writer many times the other files' time: one input in eight.
    CheckVectorFiles(shapes, millimetresPerPixel, margins, input.ConsumeIntegralInRange(0, 7) == 0);
    return 0;
}
