#include "commandline/Sheets_p.h"

#include "commandline/CommandLineTexts_p.h"
#include "platform/core/Units.h"
#include "stock/TemplateCatalogue.h"

namespace tallyline::commandline {

LabelTemplate ChosenSheet(const SheetChoice& choice) {
    LabelTemplate sheet;
    try {
        sheet = ChosenTemplate(choice.name);
    } catch (const std::invalid_argument& refused) {
        throw SheetUnusable(refused.what());
    }
    if (choice.first > std::ssize(sheet.labels)) {
        throw SheetUnusable(FirstPastSheet(choice.first, sheet.Product(), std::ssize(sheet.labels)).toStdString());
    }
    return sheet;
}

int RunListSheets(const ListSheets& request, QTextStream& out, QTextStream& err) {
    try {
        const TemplateCatalogue installed;
        const auto holding = installed.Holding(request.word);
        for (const LabelTemplate* product : holding) out << SheetLine(*product) << '\n';
        if (!holding.empty()) return 0;
        err << kProgram << ": " << NoProductHolds(request.word) << Qt::endl;
        return 1;
    } catch (const std::invalid_argument& refused) {
        err << kProgram << ": " << refused.what() << Qt::endl;
        return 2;
    }
}

}  // namespace tallyline::commandline
