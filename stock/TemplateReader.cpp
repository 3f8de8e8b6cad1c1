#include "stock/TemplateReader_p.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "platform/core/Units.h"
#include "stock/TemplateCatalogue.h"
#include "stock/TemplateLength.h"

namespace tallyline {
namespace {

// Rows whose tops lie this close together, in points, are one row, whatever
// the decimals that wrote their layouts.
constexpr double kSameRow = 0.01;
// More labels than any sheet holds: a larger layout is a typing error.
constexpr int kMostLabels = 10000;

// Reads one file, each error naming it and the line that the reader is at.
class Reader {
public:
    Reader(QIODevice& file, QString fileName) : xml_(&file), fileName_(std::move(fileName)) {}

    [[noreturn]] void Fail(const QString& reason) const {
        throw TemplateFileError(QStringLiteral("%1:%2: %3").arg(fileName_).arg(xml_.lineNumber()).arg(reason));
    }

    // Enters the root element, which must have that name.
    void Root(QStringView name) {
        if (!xml_.readNextStartElement()) Fail(Problem());
        if (xml_.name() != name) Fail(QStringLiteral("not a %1 file: it starts with <%2>").arg(name, xml_.name()));
    }

    // The next child of the current element; false at its end.
    bool Child() {
        if (xml_.readNextStartElement()) return true;
        if (xml_.hasError()) Fail(Problem());
        return false;
    }
    void SkipRest() {
        xml_.skipCurrentElement();
        if (xml_.hasError()) Fail(Problem());
    }
    // Leaves the template that the reader is in.
    void LeaveTemplate() {
        while (!(xml_.isEndElement() && xml_.name() == u"Template") && !xml_.atEnd()) xml_.readNext();
        if (xml_.hasError()) Fail(Problem());
    }
    // Reads to the end of the file, so that what follows the root is checked too.
    void End() {
        while (!xml_.atEnd()) xml_.readNext();
        if (xml_.hasError()) Fail(Problem());
    }

    QStringView Name() const { return xml_.name(); }
    bool Has(const char* attribute) const { return xml_.attributes().hasAttribute(QLatin1StringView(attribute)); }
    QString Text(const char* attribute) const {
        return xml_.attributes().value(QLatin1StringView(attribute)).toString();
    }
    QString Required(const char* attribute) const {
        if (!Has(attribute)) Fail(QStringLiteral("<%1> needs %2=\"...\"").arg(Name(), attribute));
        return Text(attribute);
    }
    double Length(const char* attribute, std::optional<double> fallback = std::nullopt) const {
        if (fallback && !Has(attribute)) return *fallback;
        const QString written = Required(attribute);
        const auto length = TemplateLength(written);
        if (!length)
            Fail(QStringLiteral("%1=\"%2\" is not a length such as 2.5mm, 1in or 72pt").arg(attribute, written));
        return *length;
    }
    int Count(const char* attribute) const {
        const QString written = Required(attribute);
        bool read = false;
        const int count = written.toInt(&read);
        if (!read || count < 1 || count > kMostLabels) {
            Fail(QStringLiteral("%1=\"%2\" is not a number of labels from 1 to %3")
                     .arg(attribute, written)
                     .arg(kMostLabels));
        }
        return count;
    }

private:
    QString Problem() const {
        if (xml_.hasError()) return QStringLiteral("not a template file: %1").arg(xml_.errorString());
        return QStringLiteral("not a template file: it holds no element");
    }

    QXmlStreamReader xml_;
    QString fileName_;
};

// The size of a label of the shape, its corner and hole, from the element's attributes.
void ReadShape(const Reader& reader, LabelTemplate& label) {
    const QStringView shape = reader.Name();
    if (shape == u"Label-rectangle") {
        label.shape = LabelShape::Rectangle;
        label.label = QSizeF(reader.Length("width"), reader.Length("height"));
        label.cornerRadius = reader.Length("round", 0);
    } else if (shape == u"Label-ellipse") {
        label.shape = LabelShape::Ellipse;
        label.label = QSizeF(reader.Length("width"), reader.Length("height"));
    } else if (shape == u"Label-round" || shape == u"Label-cd") {
        label.radius = reader.Length("radius");
        const double diameter = 2 * label.radius;
        label.shape = shape == u"Label-round" ? LabelShape::Round : LabelShape::Cd;
        // A CD label cut to a business card keeps the middle of its circle.
        label.label = QSizeF(reader.Length("width", diameter), reader.Length("height", diameter));
        if (label.shape == LabelShape::Cd) label.holeRadius = reader.Length("hole");
    } else {
        reader.Fail(QStringLiteral("<%1> is not a label shape that labels are laid out on here: a template's label is "
                                   "<Label-rectangle>, <Label-round>, <Label-ellipse> or <Label-cd>")
                        .arg(shape));
    }
    if (label.label.isEmpty()) reader.Fail(QStringLiteral("the label has no size"));
}

// The label's markup margin and layouts, its children.
void ReadLayouts(Reader& reader, LabelTemplate& label) {
    while (reader.Child()) {
        if (reader.Name() == u"Markup-margin") {
            const double both = reader.Length("size", 0);
            label.markupMargin = std::max({both, reader.Length("x_size", both), reader.Length("y_size", both)});
        } else if (reader.Name() == u"Layout") {
            const int across = reader.Count("nx");
            const int down = reader.Count("ny");
            if (static_cast<long>(across) * down + static_cast<long>(label.labels.size()) > kMostLabels) {
                reader.Fail(QStringLiteral("more than %1 labels on a sheet").arg(kMostLabels));
            }
            const QPointF first(reader.Length("x0", 0), reader.Length("y0", 0));
            const QPointF pitch(reader.Length("dx", 0), reader.Length("dy", 0));
            for (int row = 0; row < down; ++row) {
                for (int column = 0; column < across; ++column) {
                    label.labels.push_back(first + QPointF(column * pitch.x(), row * pitch.y()));
                }
            }
        }
        reader.SkipRest();
    }
    if (label.labels.empty()) reader.Fail(QStringLiteral("the label has no <Layout>"));
    // Row by row, each from the left, over all layouts.
    std::stable_sort(label.labels.begin(), label.labels.end(), [](QPointF a, QPointF b) {
        if (std::abs(a.y() - b.y()) > kSameRow) return a.y() < b.y();
        return a.x() < b.x();
    });
}

QString Millimetres(QSizeF points) {
    const QSizeF millimetres = points * kMillimetresPerPoint;
    return QStringLiteral("%1 x %2 mm").arg(millimetres.width(), 0, 'f', 1).arg(millimetres.height(), 0, 'f', 1);
}

// The paper that the template's size names, or that its width and height give.
void ReadPaper(const Reader& reader, const PaperSizes& papers, LabelTemplate& label) {
    const QString size = reader.Required("size");
    const auto named = papers.find(size);
    if (named != papers.end()) {
        label.paperName = named->second.name;
        label.paper = named->second.size;
        return;
    }
    if (size.compare(u"other", Qt::CaseInsensitive) != 0 && size.compare(u"roll", Qt::CaseInsensitive) != 0) {
        reader.Fail(QStringLiteral("size=\"%1\" names no paper: use one of paper-sizes.xml, or \"Other\" with a "
                                   "width and a height")
                        .arg(size));
    }
    // A roll is as long as its labels take.
    label.paper = QSizeF(reader.Length("width"), reader.Length("height", 0));
    label.paperName = size;
}

const LabelTemplate* Equivalent(const std::vector<LabelTemplate>& templates, const QString& brand,
                                const QString& part) {
    const auto found = std::find_if(templates.rbegin(), templates.rend(), [&](const LabelTemplate& known) {
        return known.brand == brand && known.part == part;
    });
    return found == templates.rend() ? nullptr : &*found;
}

LabelTemplate ReadTemplate(Reader& reader, const PaperSizes& papers, const std::vector<LabelTemplate>& earlier) {
    LabelTemplate label;
    const QString brand = reader.Required("brand");
    const QString part = reader.Required("part");
    const QString description = reader.Has("description") ? reader.Text("description") : reader.Text("_description");
    if (reader.Has("equiv")) {
        const QString equiv = reader.Text("equiv");
        const LabelTemplate* same = Equivalent(earlier, brand, equiv);
        if (!same) reader.Fail(QStringLiteral("equiv=\"%1\": no %2 %1 comes before it").arg(equiv, brand));
        label = *same;
        reader.SkipRest();
    } else {
        ReadPaper(reader, papers, label);
        bool shaped = false;
        while (reader.Child()) {
            if (!reader.Name().startsWith(u"Label-")) {
                reader.SkipRest();
                continue;
            }
            if (shaped) reader.Fail(QStringLiteral("a template describes one label; this one a second"));
            ReadShape(reader, label);
            ReadLayouts(reader, label);
            shaped = true;
        }
        if (!shaped) reader.Fail(QStringLiteral("the template %1 %2 describes no label").arg(brand, part));
        if (label.paper.height() == 0) {
            for (const QPointF corner : label.labels) {
                label.paper.setHeight(std::max(label.paper.height(), corner.y() + label.label.height()));
            }
        }
        if (label.paperName.compare(u"other", Qt::CaseInsensitive) == 0 ||
            label.paperName.compare(u"roll", Qt::CaseInsensitive) == 0) {
            label.paperName = Millimetres(label.paper);
        }
    }
    label.brand = brand;
    label.part = part;
    if (!description.isEmpty()) label.description = description;
    return label;
}

}  // namespace

PaperSizes ReadPaperSizes(QIODevice& file, const QString& fileName) {
    Reader reader(file, fileName);
    reader.Root(u"Glabels-paper-sizes");
    PaperSizes papers;
    while (reader.Child()) {
        if (reader.Name() == u"Paper-size") {
            const QString id = reader.Required("id");
            const QString name = reader.Has("name") ? reader.Text("name") : reader.Text("_name");
            papers[id] = PaperSize{name.isEmpty() ? id : name, QSizeF(reader.Length("width"), reader.Length("height"))};
        }
        reader.SkipRest();
    }
    reader.End();
    return papers;
}

void ReadTemplates(QIODevice& file, const QString& fileName, const PaperSizes& papers,
                   std::vector<LabelTemplate>& templates, std::vector<SkippedTemplate>* skipped) {
    Reader reader(file, fileName);
    reader.Root(u"Glabels-templates");
    while (reader.Child()) {
        if (reader.Name() == u"Template") {
            const QString product = reader.Text("brand") + u' ' + reader.Text("part");
            try {
                templates.push_back(ReadTemplate(reader, papers, templates));
            } catch (const TemplateFileError& error) {
                if (!skipped) throw;
                skipped->push_back({product, QString::fromStdString(error.what())});
                reader.LeaveTemplate();
            }
        } else {
            reader.SkipRest();
        }
    }
    reader.End();
}

}  // namespace tallyline
