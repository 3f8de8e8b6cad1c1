#include "stock/TemplateCatalogue.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <numeric>

#include "stock/TemplateReader_p.h"

namespace tallyline {
namespace {

const QString kPaperSizes = QStringLiteral("paper-sizes.xml");

// How a product's name is compared: case, spaces and hyphens aside.
QString KeyOf(const QString& name) {
    QString key = name.toCaseFolded();
    key.removeIf([](QChar character) { return character.isSpace() || character == u'-'; });
    return key;
}

// Edits that make one name the other: what "near" means for a misspelt part.
int EditDistance(const QString& from, const QString& to) {
    std::vector<int> row(static_cast<std::size_t>(to.size()) + 1);
    std::iota(row.begin(), row.end(), 0);
    for (const QChar character : from) {
        int diagonal = row[0]++;
        for (qsizetype j = 0; j < to.size(); ++j) {
            const int above = row[static_cast<std::size_t>(j) + 1];
            row[static_cast<std::size_t>(j) + 1] =
                std::min({above + 1, row[static_cast<std::size_t>(j)] + 1, diagonal + (character == to[j] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

void Open(QFile& file) {
    if (!file.open(QIODevice::ReadOnly)) {
        throw TemplateFileError(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
    }
}

PaperSizes PapersIn(const QString& folder) {
    QFile file(QDir(folder).filePath(kPaperSizes));
    Open(file);
    return ReadPaperSizes(file, file.fileName());
}

}  // namespace

UnknownProduct::UnknownProduct(const QString& product, QStringList nearest)
    : std::invalid_argument(QStringLiteral("no label template names \"%1\"; the nearest are %2")
                                .arg(product, nearest.join(QStringLiteral(", ")))
                                .toStdString()),
      nearest_(std::move(nearest)) {}

TemplateCatalogue::TemplateCatalogue(const QString& folder) {
    const PaperSizes papers = PapersIn(folder);
    const QDir files(folder, QStringLiteral("*-templates.xml"), QDir::Name, QDir::Files | QDir::Readable);
    for (const QString& name : files.entryList()) {
        QFile file(files.filePath(name));
        Open(file);
        std::vector<SkippedTemplate> skipped;
        ReadTemplates(file, file.fileName(), papers, templates_, &skipped);
        for (const SkippedTemplate& left : skipped) skipped_.emplace_back(KeyOf(left.product), left.reason);
    }
    for (const LabelTemplate& label : templates_) keys_.append(KeyOf(label.Product()));
}

const LabelTemplate* TemplateCatalogue::Find(const QString& product) const {
    const QString key = KeyOf(product);
    const qsizetype found = keys_.indexOf(key);
    if (found >= 0) return &templates_[static_cast<std::size_t>(found)];
    for (const auto& [left, reason] : skipped_) {
        if (left == key) throw TemplateFileError(reason);
    }
    return nullptr;
}

QStringList TemplateCatalogue::Nearest(const QString& product, int count) const {
    const QString key = KeyOf(product);
    std::vector<std::pair<int, std::size_t>> distances;
    distances.reserve(templates_.size());
    for (std::size_t i = 0; i < templates_.size(); ++i)
        distances.emplace_back(EditDistance(key, keys_[qsizetype(i)]), i);
    const auto end = distances.begin() + std::min<std::ptrdiff_t>(count, std::ssize(distances));
    std::partial_sort(distances.begin(), end, distances.end());
    QStringList nearest;
    for (auto it = distances.begin(); it != end; ++it) nearest.append(templates_[it->second].Product());
    return nearest;
}

std::vector<const LabelTemplate*> TemplateCatalogue::Holding(const QString& word) const {
    std::vector<const LabelTemplate*> holding;
    for (const LabelTemplate& label : templates_) {
        if (label.Product().contains(word, Qt::CaseInsensitive) ||
            label.description.contains(word, Qt::CaseInsensitive)) {
            holding.push_back(&label);
        }
    }
    return holding;
}

LabelTemplate ChosenTemplate(const QString& name) {
    if (!name.contains(u'/') && !name.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)) {
        const TemplateCatalogue installed;
        if (const LabelTemplate* product = installed.Find(name)) return *product;
        constexpr int kNearest = 5;
        throw UnknownProduct(name, installed.Nearest(name, kNearest));
    }
    // A user's template is laid on the installed papers.
    std::vector<LabelTemplate> own;
    QFile file(name);
    Open(file);
    ReadTemplates(file, name, PapersIn(kInstalledTemplates), own);
    if (own.size() != 1) {
        QStringList products;
        for (const LabelTemplate& label : own) products.append(label.Product());
        throw std::invalid_argument(
            QStringLiteral("%1 holds %2 label templates, where one is needed%3")
                .arg(name)
                .arg(own.size())
                .arg(products.isEmpty() ? QString() : QStringLiteral(": ") + products.join(QStringLiteral(", ")))
                .toStdString());
    }
    return own.front();
}

}  // namespace tallyline
