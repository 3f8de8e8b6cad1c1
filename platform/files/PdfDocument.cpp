#include "platform/files/PdfDocument.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/core/Failures.h"
#include "platform/core/Units.h"
#include "platform/files/Decimals_p.h"
#include "platform/files/PdfCheck_p.h"
#include "platform/files/PdfGlyphs_p.h"
#include "platform/files/PdfTable_p.h"
#include "platform/files/PendingFile_p.h"
#include "platform/picture/LaidOutText.h"
#include "platform/picture/VectorCanvas.h"

namespace tallyline {
namespace {

// How pages and nodes name the fixed objects.
const std::string kTreeReference = std::to_string(kPageTree) + " 0 R";
const std::string kResourcesReference = std::to_string(kResources) + " 0 R";
// Pages under one node of the page tree: a reader finds a page without
// going through all the others.
constexpr std::size_t kPagesPerNode = 1024;
constexpr std::size_t kWriteSize = 1 << 16;
// Enough for a transform's factors to place every dot of the largest page.
constexpr int kScaleDecimals = 6;

void AppendColour(std::string& bytes, QRgb colour) {
    // Every page sets a few colours: each level's number is written once.
    static const std::array<std::string, 256> kLevels = [] {
        std::array<std::string, 256> levels;
        for (std::size_t level = 0; level < levels.size(); ++level) AppendNumber(levels[level], level / 255.0);
        return levels;
    }();
    for (const int level : {qRed(colour), qGreen(colour), qBlue(colour)}) {
        bytes += kLevels[static_cast<std::size_t>(level)];
        bytes += ' ';
    }
    bytes += "rg\n";
}

// In one piece: the bars' rectangles are most of a page.
template <typename Rectangle>
void AppendRectangle(std::string& bytes, const Rectangle& area) {
    char line[4 * (kLongestNumber + 1) + 3];
    char* at = line;
    for (const auto side : {area.x(), area.y(), area.width(), area.height()}) {
        at = WriteNumber(at, std::end(line), side);
        *at++ = ' ';
    }
    bytes.append(line, std::copy_n("re\n", 3, at));
}

void AppendHexByte(std::string& bytes, unsigned value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    bytes += kDigits[value >> 4];
    bytes += kDigits[value & 15];
}

// A text string as PDF takes any text: UTF-16 with its byte order mark, in hex.
std::string TextString(const QString& text) {
    std::string bytes = "<FEFF";
    for (const QChar unit : text) {
        AppendHexByte(bytes, unit.unicode() >> 8);
        AppendHexByte(bytes, unit.unicode() & 0xFF);
    }
    return bytes + '>';
}

}  // namespace

// Writes what a picture hands over into a page's content, in the picture's pixels.
class PdfDocument::PageWriter final : public VectorCanvas::Reader {
public:
    PageWriter(std::string& page, PdfGlyphs& glyphs) : page_(page), glyphs_(glyphs) {}

    void Boxes(QRgb colour, std::span<const QRect> areas) override {
        AppendColour(page_, colour);
        for (const QRect& area : areas) AppendRectangle(page_, area);
        page_ += "f\n";
    }

    // Glyphs in the order they stand, as a reader takes them to read the
    // text (the layout hands them over a face at a time); each run of one
    // font on one baseline in one array, the layout's own spacing kept where
    // it differs from the glyphs' advances.
    void Text(const LaidOutText& text, QPointF origin, QRgb colour) override {
        placed_.clear();
        const QString string = text.String();
        for (const QGlyphRun& run : text.GlyphRuns()) {
            const QRawFont face = run.rawFont();
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
                placed_.push_back({origin + positions[i], glyphs_.Of(face, glyphs[i], string)});
            }
        }
        std::stable_sort(placed_.begin(), placed_.end(),
                         [](const Placed& left, const Placed& right) { return left.at.x() < right.at.x(); });
        AppendColour(page_, colour);
        page_ += "BT\n";
        int font = -1;
        const Placed* last = nullptr;
        for (const Placed& glyph : placed_) {
            const double size = glyphs_.SizeOf(glyph.code.font);
            if (last == nullptr || glyph.code.font != font || glyph.at.y() != last->at.y()) {
                if (last != nullptr) page_ += ">] TJ\n";
                if (glyph.code.font != font) {
                    page_ += "/F" + std::to_string(glyph.code.font) + ' ';
                    AppendNumber(page_, size);
                    page_ += " Tf\n";
                    font = glyph.code.font;
                }
                // Text space runs up, the picture's pixels down.
                page_ += "1 0 0 -1 ";
                AppendNumber(page_, glyph.at.x());
                page_ += ' ';
                AppendNumber(page_, glyph.at.y());
                page_ += " Tm [<";
            } else if (const double kept =
                           last->code.width - (glyph.at.x() - last->at.x()) * PdfGlyphs::kUnitsPerEm / size;
                       std::abs(kept) >= 0.001) {
                page_ += '>';
                AppendNumber(page_, kept);
                page_ += '<';
            }
            AppendHexByte(page_, glyph.code.code);
            last = &glyph;
        }
        if (last != nullptr) page_ += ">] TJ\n";
        page_ += "ET\n";
    }

private:
    struct Placed {
        QPointF at;
        PdfGlyphs::Code code;
    };

    std::string& page_;
    PdfGlyphs& glyphs_;
    std::vector<Placed> placed_;
};

PdfDocument::PdfDocument(const QString& path, const QString& title)
    : path_(QFile::encodeName(path).toStdString()),
      file_(std::make_unique<PendingFile>(path_)),
      crossReferences_(std::make_unique<PendingFile>(path_)),
      glyphs_(std::make_unique<PdfGlyphs>()),
      writer_(std::make_unique<PageWriter>(page_, *glyphs_)),
      title_(title),
      firstHeld_(kFirstFree),
      next_(kFirstFree),
      fixed_(kFirstFree) {
    // A binary comment, so that no transfer takes the file for text.
    buffer_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
}

PdfDocument::~PdfDocument() = default;

int PdfDocument::Reserve() {
    // A placeholder until the object is written, which happens before the
    // entries held are written out.
    held_.append(kTableEntry, ' ');
    return next_++;
}

int PdfDocument::Object(std::string_view entries, std::string_view stream) {
    const int number = Reserve();
    Write(number, entries, stream);
    return number;
}

void PdfDocument::Write(int number, std::string_view entries, std::string_view stream) {
    const std::uint64_t offset = Offset();
    // What the table's fixed-width entries can say.
    if (offset > kFarthestOffset) throw FileError(path_, "a PDF cannot be this large");
    if (number < kFirstFree) {
        fixed_[number] = offset;
    } else {
        std::string entry;
        AppendTableEntry(entry, offset);
        held_.replace(static_cast<std::size_t>(number - firstHeld_) * kTableEntry, kTableEntry, entry);
    }
    AppendNumber(buffer_, number);
    buffer_ += " 0 obj\n<<";
    buffer_ += entries;
    if (!stream.empty()) {
        buffer_ += " /Length ";
        AppendNumber(buffer_, stream.size());
        buffer_ += " >>\nstream\n";
        buffer_ += stream;
        buffer_ += "\nendstream";
    } else {
        buffer_ += " >>";
    }
    buffer_ += "\nendobj\n";
    if (buffer_.size() >= kWriteSize) Flush();
}

void PdfDocument::Put(PendingFile& file, const std::string& bytes) {
    // A write that failed part-way leaves the file with no known end: no
    // later write can make it whole.
    if (failure_) std::rethrow_exception(failure_);
    try {
        file.Write(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    } catch (...) {
        failure_ = std::current_exception();
        throw;
    }
}

void PdfDocument::Flush() {
    Put(*file_, buffer_);
    written_ += buffer_.size();
    buffer_.clear();
}

void PdfDocument::FlushCrossReferences() {
    Put(*crossReferences_, held_);
    firstHeld_ = next_;
    held_.clear();
}

void PdfDocument::StartPage(QSizeF points, int dotsPerInch) {
    EndPage();
    if (kids_.empty()) node_ = Reserve();
    // A batch's pages are mostly the size of the page before.
    if (points != pagePoints_ || dotsPerInch != pageDotsPerInch_) {
        pagePoints_ = points;
        pageDotsPerInch_ = dotsPerInch;
        mediaBox_ = "/MediaBox [0 0 ";
        AppendNumber(mediaBox_, points.width());
        mediaBox_ += ' ';
        AppendNumber(mediaBox_, points.height());
        mediaBox_ += ']';
        // Dots from the top-left corner, which is where the toolkit's pages
        // and pictures start; PDF's own space starts at the bottom-left in points.
        const double pointsPerDot = kPointsPerInch / dotsPerInch;
        pageStart_.clear();
        AppendNumber(pageStart_, pointsPerDot, kScaleDecimals);
        pageStart_ += " 0 0 ";
        AppendNumber(pageStart_, -pointsPerDot, kScaleDecimals);
        pageStart_ += " 0 ";
        AppendNumber(pageStart_, points.height());
        pageStart_ += " cm\n";
    }
    page_ = pageStart_;
}

void PdfDocument::Fill(const QRectF& area, QRgb colour) {
    AppendColour(page_, colour);
    AppendRectangle(page_, area);
    page_ += "f\n";
}

void PdfDocument::Picture(const QRectF& place, const VectorCanvas& picture, double dotsPerPixel, Turn turn) {
    // A batch's pictures mostly stand where the page before's did.
    if (place != picturePlace_ || dotsPerPixel != pictureDotsPerPixel_ || turn != pictureTurn_) {
        picturePlace_ = place;
        pictureDotsPerPixel_ = dotsPerPixel;
        pictureTurn_ = turn;
        pictureStart_ = "q\n";
        AppendRectangle(pictureStart_, place);
        pictureStart_ += "W n\n";
        // The toolkit's transforms and PDF's share their order of factors.
        const QTransform transform = TurnedInPlace(picture.Extent(), turn) *
                                     QTransform::fromScale(dotsPerPixel, dotsPerPixel) *
                                     QTransform::fromTranslate(place.x(), place.y());
        for (const double factor : {transform.m11(), transform.m12(), transform.m21(), transform.m22()}) {
            AppendNumber(pictureStart_, factor, kScaleDecimals);
            pictureStart_ += ' ';
        }
        AppendNumber(pictureStart_, transform.dx());
        pictureStart_ += ' ';
        AppendNumber(pictureStart_, transform.dy());
        pictureStart_ += " cm\n";
    }
    page_ += pictureStart_;
    AppendColour(page_, picture.Background());
    AppendRectangle(page_, QRect(QPoint(), picture.Extent()));
    page_ += "f\n";
    picture.Read(*writer_);
    page_ += "Q\n";
}

void PdfDocument::Outline(const QPainterPath& dots) {
    // A width of 0 is the thinnest line that the device can draw.
    page_ += "q\n0 G 0 w\n";
    for (int i = 0; i < dots.elementCount(); ++i) {
        const QPainterPath::Element element = dots.elementAt(i);
        const int points = element.isCurveTo() ? 3 : 1;
        for (int point = 0; point < points; ++point) {
            const QPainterPath::Element at = dots.elementAt(i + point);
            AppendNumber(page_, at.x);
            page_ += ' ';
            AppendNumber(page_, at.y);
            page_ += ' ';
        }
        page_ += element.isMoveTo() ? "m\n" : element.isLineTo() ? "l\n" : "c\n";
        i += points - 1;
    }
    page_ += "S\nQ\n";
}

void PdfDocument::EndPage() {
    if (page_.empty()) return;
    const int contents = Object({}, page_);
    page_.clear();
    std::string entries = " /Type /Page /Parent ";
    AppendNumber(entries, node_);
    entries += " 0 R ";
    entries += mediaBox_;
    entries += " /Resources " + kResourcesReference + " /Contents ";
    AppendNumber(entries, contents);
    entries += " 0 R";
    kids_.push_back(Object(entries, {}));
    ++pages_;
    if (kids_.size() == kPagesPerNode) EndNode();
}

void PdfDocument::EndNode() {
    if (kids_.empty()) return;
    std::string entries = " /Type /Pages /Parent " + kTreeReference + " /Count ";
    AppendNumber(entries, kids_.size());
    entries += " /Kids [";
    for (const int kid : kids_) {
        AppendNumber(entries, kid);
        entries += " 0 R ";
    }
    entries += ']';
    Write(node_, entries, {});
    nodes_.push_back(node_);
    kids_.clear();
    FlushCrossReferences();
}

void PdfDocument::End() {
    EndPage();
    EndNode();
    std::string fonts;
    glyphs_->Write([this](std::string_view entries, std::string_view stream) { return Object(entries, stream); },
                   fonts);
    FlushCrossReferences();
    Write(kResources, " /Font << " + fonts + ">>", {});
    std::string tree = " /Type /Pages /Count " + std::to_string(pages_) + " /Kids [";
    for (const int node : nodes_) tree += std::to_string(node) + " 0 R ";
    Write(kPageTree, tree + ']', {});
    Write(kCatalog, " /Type /Catalog /Pages " + kTreeReference, {});
    Write(kInformation, " /Producer (Tallyline) /Title " + TextString(title_), {});

    const std::uint64_t table = Offset();
    buffer_ += "xref\n0 " + std::to_string(next_) + "\n0000000000 65535 f \n";
    for (int number = kCatalog; number < kFirstFree; ++number) AppendTableEntry(buffer_, fixed_[number]);
    std::string piece(kWriteSize, '\0');
    for (std::uint64_t copied = 0;;) {
        const std::size_t read = crossReferences_->ReadAt(copied, piece.data(), piece.size());
        if (read == 0) break;
        buffer_.append(piece, 0, read);
        copied += read;
        if (buffer_.size() >= kWriteSize) Flush();
    }
    buffer_ += "trailer\n<< /Size " + std::to_string(next_) + " /Root " + std::to_string(kCatalog) + " 0 R /Info " +
               std::to_string(kInformation) + " 0 R >>\nstartxref\n" + std::to_string(table) + "\n%%EOF\n";
    Flush();
    crossReferences_.reset();
    CheckWrittenPdf(*file_, written_, pages_, path_);
}

void PdfDocument::TakeName() {
    file_->Sync();
    TakeNameKeepingMode(*file_, path_);
}

void PdfDocument::Read(const std::function<void(QByteArrayView)>& take) const {
    std::string piece(kWriteSize, '\0');
    for (std::uint64_t offset = 0; offset < written_;) {
        const std::size_t read = file_->ReadAt(offset, piece.data(), piece.size());
        if (read == 0) throw FileError(path_, "the file ended early");
        take(QByteArrayView(piece.data(), static_cast<qsizetype>(read)));
        offset += read;
    }
}

}  // namespace tallyline
