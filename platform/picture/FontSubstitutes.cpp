#include "platform/picture/FontSubstitutes_p.h"

#if defined(TALLYLINE_HAS_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QStringList>
#include <iterator>
#include <mutex>

#include "platform/picture/DesignFont.h"

namespace tallyline {
namespace {

struct Substitute {
    const char* family;
    const char* freeFace;
};

// Left alone, fontconfig answers "Comic Sans MS" with a script italic and
// "MS Sans Serif" with a face too wide for the texts drawn in it.
// - Comic Neue: a casual upright face drawn after the one the design names.
// - Liberation Sans: the same widths as Arial, glyph for glyph.
// - FreeSans: of the free faces measured at the design's sizes, the one that
//   keeps every text inside its box with the most room for the copy button's
//   caption (86 of the 91 pixels between the skin's borders) while staying
//   nearest to the widths the design's self-sizing label was made for.
constexpr Substitute kSubstitutes[] = {
    {"Comic Sans MS", "Comic Neue"},
    {"Arial", "Liberation Sans"},
    {"MS Sans Serif", "FreeSans"},
};

// Whether the font configuration answers the family itself, with its own
// face or the free one: written once, before anything reads it.
bool answered[std::size(kSubstitutes)] = {};
std::once_flag configured;

#if defined(TALLYLINE_HAS_FONTCONFIG)

// The configuration's fonts that answer to the family, by any of their names,
// with every property they have.
FcFontSet* FontsNamed(const char* family) {
    FcPattern* const named = FcPatternCreate();
    if (named == nullptr) return nullptr;
    FcFontSet* fonts = nullptr;
    if (FcPatternAddString(named, FC_FAMILY, reinterpret_cast<const FcChar8*>(family))) {
        fonts = FcFontList(nullptr, named, nullptr);
    }
    FcPatternDestroy(named);
    return fonts;
}

bool Installed(const char* family) {
    FcFontSet* const fonts = FontsNamed(family);
    const bool installed = fonts != nullptr && fonts->nfont > 0;
    if (fonts != nullptr) FcFontSetDestroy(fonts);
    return installed;
}

// The program's own fonts in the configuration. fontconfig makes their set
// only as it adds a first file; adding none still makes it.
FcFontSet* ApplicationFonts() {
    if (FcFontSet* const fonts = FcConfigGetFonts(nullptr, FcSetApplication)) return fonts;
    FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(""));
    return FcConfigGetFonts(nullptr, FcSetApplication);
}

// Makes the free face answer to the family's name too, as one of the
// program's own fonts: a copy of a free face under both names, in one style,
// which the toolkit takes for another name of the free family, and loads as
// it loads any installed family. Told of a substitute instead, it sorts every
// face of the system against the missing name, and again against the
// substitute's, before the first use of each: milliseconds at every start.
bool AnswerWithFreeFace(const Substitute& substitute) {
    FcFontSet* const faces = FontsNamed(substitute.freeFace);
    if (faces == nullptr) return false;
    FcPattern* face = faces->nfont > 0 ? FcPatternDuplicate(faces->fonts[0]) : nullptr;
    FcFontSetDestroy(faces);
    if (face == nullptr) return false;
    FcChar8* style = nullptr;
    const QByteArray firstStyle = FcPatternGetString(face, FC_STYLE, 0, &style) == FcResultMatch
                                      ? QByteArray(reinterpret_cast<const char*>(style))
                                      : QByteArray();
    // One family name beside the free one and one style: the toolkit takes a
    // second name with a second style for a family of its own.
    for (const char* named : {FC_FAMILY, FC_FAMILYLANG, FC_STYLE, FC_STYLELANG, FC_FULLNAME, FC_FULLNAMELANG}) {
        FcPatternDel(face, named);
    }
    FcFontSet* const application = ApplicationFonts();
    const bool added = application != nullptr &&
                       FcPatternAddString(face, FC_FAMILY, reinterpret_cast<const FcChar8*>(substitute.freeFace)) &&
                       FcPatternAddString(face, FC_FAMILY, reinterpret_cast<const FcChar8*>(substitute.family)) &&
                       (firstStyle.isEmpty() ||
                        FcPatternAddString(face, FC_STYLE, reinterpret_cast<const FcChar8*>(firstStyle.constData()))) &&
                       FcFontSetAdd(application, face);
    if (!added) FcPatternDestroy(face);
    return added;
}

#endif

void Configure() {
#if defined(TALLYLINE_HAS_FONTCONFIG)
    if (!FcInit()) return;
    for (std::size_t i = 0; i < std::size(kSubstitutes); ++i) {
        answered[i] = Installed(kSubstitutes[i].family) || AnswerWithFreeFace(kSubstitutes[i]);
    }
#endif
}

}  // namespace

void ConfigureFreeFaces() { std::call_once(configured, Configure); }

void InstallFontSubstitutes() {
    ConfigureFreeFaces();
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (std::size_t i = 0; i < std::size(kSubstitutes); ++i) {
            if (answered[i]) continue;
            QFont::insertSubstitution(QString::fromLatin1(kSubstitutes[i].family),
                                      QString::fromLatin1(kSubstitutes[i].freeFace));
        }
    });
}

QStringList StandInFaces(const QString& family) {
    QStringList faces;
    for (const Substitute& substitute : kSubstitutes) {
        if (family.compare(QLatin1String(substitute.family), Qt::CaseInsensitive) == 0) {
            faces.append(QString::fromLatin1(substitute.freeFace));
        }
    }
    return faces;
}

}  // namespace tallyline
