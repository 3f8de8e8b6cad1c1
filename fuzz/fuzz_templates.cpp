// A label template file as hostile bytes: it is read or refused as not one,
// and every label of every template read takes a symbol, or refuses it,
// inside its box.
#include <QBuffer>

#include <cstdlib>

#include "engine/Code39Symbol.h"
#include "label/LabelFit.h"
#include "platform/core/RuntimeError.h"
#include "stock/TemplateCatalogue.h"
#include "stock/TemplateReader_p.h"

using namespace tallyline;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    const PaperSizes papers{{QStringLiteral("A4"), {QStringLiteral("A4"), QSizeF(595, 842)}}};
    std::vector<LabelTemplate> templates;
    std::vector<SkippedTemplate> skipped;
    try {
        ReadTemplates(file, QStringLiteral("fuzz.xml"), papers, templates, &skipped);
    } catch (const TemplateFileError&) {
        return 0;
    }
    static const std::vector<Element> kElements = SymbolElements(U"TALLY-26");
    SymbolRules rules;
    // Captions need the toolkit's fonts; the geometry is what is fuzzed.
    rules.caption = false;
    for (const LabelTemplate& label : templates) {
        if (label.labels.empty() || !(label.label.width() > 0 && label.label.height() > 0)) std::abort();
        const LabelArea area = AreaOf(label, 300);
        try {
            const LabelFit fit = FitOnLabel(kElements, area, 300, rules);
            if (fit.look.barHeight <= 0 || fit.corner.x() < -1 || fit.corner.y() < -1) std::abort();
        } catch (const RuntimeError&) {
        }
    }
    return 0;
}
