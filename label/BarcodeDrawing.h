#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <stdexcept>

#include "engine/Symbol.h"
#include "label/LabelFiles.h"
#include "platform/core/Text.h"
#include "platform/picture/PictureSurface.h"

namespace tallyline {

// What a drawing makes of a text beyond the window's picture of it; the
// window's own drawing is the default. Every front end draws through
// BarcodeDrawing, so a file, a batch and a print keep the same rules.
struct DrawingRules {
    // A text with a character that the bars do not carry is refused.
    bool strict = false;
    // Every ASCII character is carried, those that Code 39 lacks as pairs
    // of its characters (full ASCII); else lower case is drawn as capitals
    // and other characters are not carried.
    bool fullAscii = false;
    // The bars end with the modulo-43 check character of their data
    // characters, and so does the caption: what a reader is told is what a
    // scanner reads.
    bool checkCharacter = false;
};

// A text refused under strict rules: its barcode would scan as something
// other than its caption says.
class UncarriedTextRefused : public std::invalid_argument {
public:
    explicit UncarriedTextRefused(Text characters);
    // The characters that the bars do not carry, each once, as they first appear.
    const Text& Characters() const noexcept { return characters_; }
    // Whether full ASCII carries some of them.
    bool FullAsciiCarriesSome() const noexcept { return fullAsciiCarriesSome_; }

private:
    Text characters_;
    bool fullAsciiCarriesSome_;
};

// A text as its symbol draws it under the rules, the check character added
// to its data and caption when asked; and the characters that the bars leave
// out.
struct EncodedText {
    Symbol symbol;
    Text uncarried;
};

struct SymbolLook;

// Draws texts as the window draws them, or in the look asked for, one after
// the other, on one surface designed as the window's barcode picture: a batch
// takes no more memory at its end than at its start.
class BarcodeDrawing {
public:
    explicit BarcodeDrawing(PictureSurface::Keeping keeping, DrawingRules rules = {});
    // Draws files of those settings: the window's picture, or on the grid
    // that the settings ask for (GridOf).
    explicit BarcodeDrawing(const FileSettings& settings, DrawingRules rules = {});

    // Draws the text (as the window does, or on the files' grid) and returns
    // the characters its bars leave out, empty when they carry all. Raises std::invalid_argument for an empty text,
    // UncarriedTextRefused, drawing nothing, for a text with characters the
    // bars leave out under strict rules, and TextTooLong for one whose
    // barcode no picture can hold.
    Text Draw(const QString& text);
    // What the bars of the text are to draw; the refusals of Draw.
    EncodedText Encode(const QString& text) const;
    // Draws the encoded text as the look says, the surface as large as that;
    // TextTooLong when no picture can hold it.
    void Draw(const EncodedText& text, const SymbolLook& look);
    // The last drawing as a file of those settings.
    QByteArray File(const FileSettings& settings) const;
    const PictureSurface& Surface() const noexcept { return surface_; }

private:
    PictureSurface surface_;
    DrawingRules rules_;
    std::optional<FileGrid> grid_;
    // Whether the surface holds a look's drawing rather than the window's.
    bool looked_ = false;
};

}  // namespace tallyline
