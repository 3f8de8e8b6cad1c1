#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

#include "stock/LabelTemplate.h"

namespace tallyline {

// A template file that is not one, or a template that says too little to lay
// labels out by: the file, the line and what is wrong.
class TemplateFileError : public std::invalid_argument {
public:
    explicit TemplateFileError(const QString& what) : std::invalid_argument(what.toStdString()) {}
};

// A product that no template names, and the names nearest to it.
class UnknownProduct : public std::invalid_argument {
public:
    UnknownProduct(const QString& product, QStringList nearest);
    const QStringList& Nearest() const noexcept { return nearest_; }

private:
    QStringList nearest_;
};

// Where Debian's glabels-data keeps the label makers' templates.
inline const QString kInstalledTemplates = QStringLiteral("/usr/share/libglabels-3.0/templates");

// The products of the template files of a folder: every *-templates.xml in
// the order of their names, on the papers of its paper-sizes.xml.
// TemplateFileError for a folder without them or a file that is not one; a
// template of its own that says too little is left out, and named when it
// is asked for.
class TemplateCatalogue {
public:
    explicit TemplateCatalogue(const QString& folder = kInstalledTemplates);

    const std::vector<LabelTemplate>& Templates() const noexcept { return templates_; }
    // The product of that brand and part, case, spaces and hyphens aside
    // ("Avery 5160", "avery-5160"); nullptr when there is none.
    // TemplateFileError when its template was left out.
    const LabelTemplate* Find(const QString& product) const;
    // The count products whose names are nearest to that one, nearest first.
    QStringList Nearest(const QString& product, int count) const;
    // The products whose brand, part or description holds the word, case
    // aside: all of them for an empty word.
    std::vector<const LabelTemplate*> Holding(const QString& word) const;

private:
    std::vector<LabelTemplate> templates_;
    // Each product's name as Find compares it, in the order of templates_.
    QStringList keys_;
    std::vector<std::pair<QString, QString>> skipped_;
};

// The template that a user names: the one product of a template file when
// the name is a path to one (it has a "/" or ends in .xml), else an installed
// product. UnknownProduct, TemplateFileError, or std::invalid_argument for a
// file that holds no product or more than one.
LabelTemplate ChosenTemplate(const QString& name);

}  // namespace tallyline
