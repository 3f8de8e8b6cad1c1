#pragma once

#include <QIODevice>
#include <QSizeF>
#include <QString>

#include <map>
#include <vector>

#include "stock/LabelTemplate.h"

namespace tallyline {

// A paper size of paper-sizes.xml: its name as a user knows it, and its size
// in points.
struct PaperSize {
    QString name;
    QSizeF size;
};
using PaperSizes = std::map<QString, PaperSize>;

// The paper sizes of a paper-sizes.xml, by their ids. TemplateFileError for
// a file that is not one.
PaperSizes ReadPaperSizes(QIODevice& file, const QString& fileName);

// A template left out, and why.
struct SkippedTemplate {
    QString product;
    QString reason;
};

// Appends the templates of a template file, each template that is another
// part's equivalent made from that part, which it or an earlier file
// defines. TemplateFileError, naming the file and the line, for a file that
// is not a template file; also for a template that says too little to lay
// labels out by, unless `skipped` takes it and the file is read on.
void ReadTemplates(QIODevice& file, const QString& fileName, const PaperSizes& papers,
                   std::vector<LabelTemplate>& templates, std::vector<SkippedTemplate>* skipped = nullptr);

}  // namespace tallyline
