#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QList>
#include <QPointF>
#include <QString>
#include <QTextLayout>

#include <memory>

#include "platform/core/Text.h"

class QPainter;

namespace tallyline {

// Metrics of a font as the program sets text: at 96 dots per inch, whatever
// the screen or the device drawn on says.
QFontMetricsF DesignMetrics(const QFont& font);

// A text laid out in a font on one baseline, the way a painter draws a
// string: unwrapped, its direction taken from the text, line separators
// drawn as if on the same line. Measuring and drawing share the one layout,
// so a caption is centred by the very width it is drawn at.
class LaidOutText {
public:
    LaidOutText(const QString& text, const QFont& font);

    QString String() const { return layout_.text(); }
    const QFont& Font() const noexcept { return font_; }
    double Advance() const noexcept { return advance_; }
    // Draws the text with its baseline's left end at the origin.
    void Draw(QPainter& painter, QPointF origin) const;
    // The glyphs that Draw draws, placed from the baseline's left end, for a
    // writer that sets them itself.
    QList<QGlyphRun> GlyphRuns() const { return layout_.glyphRuns(); }

private:
    // As asked for: the layout keeps its own copy fitted to the typesetter.
    QFont font_;
    QTextLayout layout_;
    double advance_ = 0;
};

// The last text laid out. A surface measures its caption and then prints it:
// keeping the layout lets it draw what it measured without shaping again.
class TextLayouts {
public:
    // The text laid out in the font; shared, so that a drawing may keep it.
    std::shared_ptr<const LaidOutText> Layout(TextView text, const QFont& font);

private:
    std::shared_ptr<const LaidOutText> last_;
};

}  // namespace tallyline
