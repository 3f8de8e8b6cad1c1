#include "commandline/NamedCharacters_p.h"

#include <QStringList>

#include "commandline/CommandLineTexts_p.h"
#include "label/BarcodeDrawing.h"
#include "platform/core/Failures.h"
#include "platform/picture/QtText.h"

namespace tallyline::commandline {

QString Named(TextView characters) {
    QStringList names;
    for (const char32_t character : characters) {
        const bool visible = QChar::isPrint(character) && !QChar::isSpace(character);
        names.append(visible ? QStringLiteral("'%1'").arg(ToQString(TextView(&character, 1)))
                             : QStringLiteral("U+%1").arg(static_cast<uint>(character), 4, 16, QChar(u'0')).toUpper());
    }
    return names.join(QStringLiteral(", "));
}

QString DescribeFailure() {
    try {
        throw;
    } catch (const UncarriedTextRefused& refused) {
        return Refused(Named(refused.Characters()), refused.FullAsciiCarriesSome());
    } catch (...) {
        return QString::fromStdString(DescribeCurrentException());
    }
}

}  // namespace tallyline::commandline
