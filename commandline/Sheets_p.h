#pragma once

#include <QTextStream>

#include <stdexcept>

#include "commandline/CommandLine_p.h"
#include "stock/LabelTemplate.h"

namespace tallyline::commandline {

// A sheet that cannot be laid out: an unknown product, a template file that
// is not one, a --first past the sheet. Nothing is printed or written.
class SheetUnusable : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The template that the choice names, with room for its first label.
LabelTemplate ChosenSheet(const SheetChoice& choice);

// Lists the installed products that hold the word on out, a line each. The
// exit status: 0, 1 when none does, 2 when the templates cannot be read.
int RunListSheets(const ListSheets& request, QTextStream& out, QTextStream& err);

}  // namespace tallyline::commandline
