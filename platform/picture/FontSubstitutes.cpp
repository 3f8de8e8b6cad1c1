#include "platform/picture/FontSubstitutes_p.h"

#include <QFont>
#include <QString>
#include <mutex>

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

}  // namespace

void InstallFontSubstitutes() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (const Substitute& substitute : kSubstitutes) {
            QFont::insertSubstitution(QString::fromLatin1(substitute.family), QString::fromLatin1(substitute.freeFace));
        }
    });
}

std::vector<const char*> SubstituteFaces() {
    std::vector<const char*> faces;
    for (const Substitute& substitute : kSubstitutes) faces.push_back(substitute.freeFace);
    return faces;
}

}  // namespace tallyline
