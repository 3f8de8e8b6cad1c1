#pragma once

#include <QGlyphRun>
#include <QRawFont>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tallyline {

// The glyphs that a PDF document's texts show, each drawn once as its exact
// outline in a Type 3 font of the document's own: the texts stay text (with
// what a reader needs to copy or search them) in whatever face the toolkit
// set them, fallback faces included, at a few hundred bytes a glyph whatever
// the number of pages. A font holds 256 glyphs; more take further fonts.
class PdfGlyphs {
public:
    // Glyph space: a thousandth of the size a font is set at, as PDF's own
    // fonts have it.
    static constexpr double kUnitsPerEm = 1000;

    // How a page shows a glyph.
    struct Code {
        int font;
        std::uint8_t code;
        // The glyph's advance in glyph space.
        double width;
    };

    // The code of a glyph of the face, which a text shows; its outline is
    // taken the first time.
    Code Of(const QRawFont& face, quint32 glyph, const QString& text);
    // The size to set a font at for its glyphs to show at their face's size.
    double SizeOf(int font) const { return fonts_[font].pixelSize; }
    int FontCount() const { return static_cast<int>(fonts_.size()); }

    // Writes every font through the writer of objects, which takes the
    // entries of an object's dictionary and its stream (none when empty) and
    // gives the object's number;
    // appends to fonts the resource names that pages use for them.
    using ObjectWriter = std::function<int(std::string_view dictionary, std::string_view stream)>;
    void Write(const ObjectWriter& write, std::string& fonts) const;

private:
    struct Glyph {
        std::string outline;
        double width;
        char32_t character;
    };
    struct Font {
        double pixelSize;
        std::vector<Glyph> glyphs;
        QRectF box;
    };
    struct Face {
        QRawFont raw;
        std::unordered_map<quint32, Code> codes;
        int font = -1;  // the face's font that takes its next glyph
    };

    std::vector<Face> faces_;
    std::vector<Font> fonts_;
    std::size_t lastFace_ = 0;
};

}  // namespace tallyline
