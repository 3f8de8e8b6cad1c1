#include "platform/files/PdfGlyphs_p.h"

#include <QPainterPath>

#include <algorithm>

#include "platform/files/Decimals_p.h"

namespace tallyline {
namespace {

constexpr int kCodesPerFont = 256;
// How many mappings a CMap takes in one block.
constexpr int kMappingsPerBlock = 100;

void AppendPoint(std::string& bytes, QPointF point, double unitsPerPixel) {
    AppendNumber(bytes, point.x() * unitsPerPixel);
    bytes += ' ';
    // Glyph space runs up; the toolkit's pixels run down.
    AppendNumber(bytes, -point.y() * unitsPerPixel);
    bytes += ' ';
}

// A Type 3 glyph's program: its advance and box, then its outline filled in
// the colour of the text that shows it.
std::string Program(const QPainterPath& path, double width, double unitsPerPixel) {
    std::string bytes;
    AppendNumber(bytes, width);
    bytes += " 0 ";
    const QRectF box = path.boundingRect();
    AppendPoint(bytes, box.bottomLeft(), unitsPerPixel);
    AppendPoint(bytes, box.topRight(), unitsPerPixel);
    bytes += "d1\n";
    if (path.isEmpty()) return bytes;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        switch (element.type) {
        case QPainterPath::MoveToElement:
            if (i > 0) bytes += "h ";
            AppendPoint(bytes, element, unitsPerPixel);
            bytes += "m\n";
            break;
        case QPainterPath::LineToElement:
            AppendPoint(bytes, element, unitsPerPixel);
            bytes += "l\n";
            break;
        case QPainterPath::CurveToElement:
            AppendPoint(bytes, element, unitsPerPixel);
            AppendPoint(bytes, path.elementAt(i + 1), unitsPerPixel);
            AppendPoint(bytes, path.elementAt(i + 2), unitsPerPixel);
            bytes += "c\n";
            i += 2;
            break;
        case QPainterPath::CurveToDataElement: break;
        }
    }
    bytes += path.fillRule() == Qt::WindingFill ? "h f\n" : "h f*\n";
    return bytes;
}

// The first character of the text that the face shows as the glyph; 0 for a
// glyph that stands for none alone (a ligature's).
char32_t CharacterOf(const QRawFont& face, quint32 glyph, const QString& text) {
    for (const char32_t character : text.toUcs4()) {
        const QList<quint32> glyphs = face.glyphIndexesForString(QString::fromUcs4(&character, 1));
        if (glyphs.size() == 1 && glyphs.front() == glyph) return character;
    }
    return 0;
}

void AppendHex(std::string& bytes, unsigned value, int digits) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) bytes += kDigits[(value >> shift) & 15];
}

// A glyph's name as PDF readers know it from the character it stands for:
// the letter itself, else "uni" or "u" and the code point. Readers that guess
// a Type 3 font's size from its letters set its text on one line.
std::string GlyphName(char32_t character, std::size_t code) {
    if ((character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z')) {
        return {'/', static_cast<char>(character)};
    }
    std::string name = character == 0 ? "/g" : character > 0xFFFF ? "/u" : "/uni";
    if (character == 0) return name + std::to_string(code);
    AppendHex(name, character, character > 0xFFFF ? 6 : 4);
    return name;
}

// What a reader needs to copy or search the texts: each code's character in UTF-16.
std::string ToUnicode(const std::vector<std::pair<int, char32_t>>& mapped) {
    std::string bytes =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    for (std::size_t first = 0; first < mapped.size(); first += kMappingsPerBlock) {
        const std::size_t end = std::min(mapped.size(), first + kMappingsPerBlock);
        AppendNumber(bytes, end - first);
        bytes += " beginbfchar\n";
        for (std::size_t i = first; i < end; ++i) {
            bytes += '<';
            AppendHex(bytes, static_cast<unsigned>(mapped[i].first), 2);
            bytes += "> <";
            const char32_t character = mapped[i].second;
            if (QChar::requiresSurrogates(character)) {
                AppendHex(bytes, QChar::highSurrogate(character), 4);
                AppendHex(bytes, QChar::lowSurrogate(character), 4);
            } else {
                AppendHex(bytes, character, 4);
            }
            bytes += ">\n";
        }
        bytes += "endbfchar\n";
    }
    bytes += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return bytes;
}

}  // namespace

PdfGlyphs::Code PdfGlyphs::Of(const QRawFont& face, quint32 glyph, const QString& text) {
    // A page's glyphs come mostly from the face of the glyph before.
    if (lastFace_ >= faces_.size() || !(faces_[lastFace_].raw == face)) {
        lastFace_ = 0;
        while (lastFace_ < faces_.size() && !(faces_[lastFace_].raw == face)) ++lastFace_;
        if (lastFace_ == faces_.size()) faces_.push_back(Face{face, {}, -1});
    }
    Face& known = faces_[lastFace_];
    if (const auto code = known.codes.find(glyph); code != known.codes.end()) return code->second;

    const double pixelSize = face.pixelSize();
    if (known.font < 0 || fonts_[known.font].glyphs.size() == kCodesPerFont) {
        known.font = static_cast<int>(fonts_.size());
        fonts_.push_back(Font{pixelSize, {}, QRectF()});
    }
    Font& font = fonts_[known.font];
    const double unitsPerPixel = kUnitsPerEm / pixelSize;
    const QPainterPath path = face.pathForGlyph(glyph);
    const double width = face.advancesForGlyphIndexes(QList<quint32>{glyph}).value(0).x() * unitsPerPixel;
    font.glyphs.push_back(Glyph{Program(path, width, unitsPerPixel), width, CharacterOf(face, glyph, text)});
    font.box |= QRectF(path.boundingRect().topLeft() * unitsPerPixel, path.boundingRect().size() * unitsPerPixel);
    const Code code{known.font, static_cast<std::uint8_t>(font.glyphs.size() - 1), width};
    known.codes.emplace(glyph, code);
    return code;
}

void PdfGlyphs::Write(const ObjectWriter& write, std::string& fonts) const {
    for (std::size_t number = 0; number < fonts_.size(); ++number) {
        const Font& font = fonts_[number];
        std::string procedures = "/CharProcs <<";
        std::string names = "/Encoding << /Type /Encoding /Differences [0";
        std::string widths = "/Widths [";
        std::vector<std::pair<int, char32_t>> mapped;
        for (std::size_t code = 0; code < font.glyphs.size(); ++code) {
            const Glyph& glyph = font.glyphs[code];
            const std::string name = ' ' + GlyphName(glyph.character, code);
            procedures += name + ' ' + std::to_string(write("", glyph.outline)) + " 0 R";
            names += name;
            AppendNumber(widths, glyph.width);
            widths += ' ';
            if (glyph.character != 0) mapped.emplace_back(static_cast<int>(code), glyph.character);
        }
        std::string dictionary = "/Type /Font /Subtype /Type3 /FontMatrix [";
        AppendNumber(dictionary, 1 / kUnitsPerEm);
        dictionary += " 0 0 ";
        AppendNumber(dictionary, 1 / kUnitsPerEm);
        dictionary += " 0 0] /FontBBox [";
        // The box in glyph space, which runs up.
        for (const double side : {font.box.left(), -font.box.bottom(), font.box.right(), -font.box.top()}) {
            AppendNumber(dictionary, side);
            dictionary += ' ';
        }
        dictionary += "] /FirstChar 0 /LastChar " + std::to_string(font.glyphs.size() - 1) + ' ' + widths + "] " +
                      procedures + " >> " + names + "] >> /Resources << >> /ToUnicode " +
                      std::to_string(write("", ToUnicode(mapped))) + " 0 R";
        fonts += "/F" + std::to_string(number) + ' ' + std::to_string(write(dictionary, {})) + " 0 R ";
    }
}

}  // namespace tallyline
