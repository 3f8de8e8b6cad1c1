#include "commandline/CommandLine_p.h"

#include <QCommandLineParser>

#include <optional>

#include "commandline/CommandLineTexts_p.h"

namespace tallyline::commandline {
namespace {

const QCommandLineOption kOutput({QStringLiteral("o"), QStringLiteral("output")}, kOutputHelp, QStringLiteral("FILE"));
const QCommandLineOption kBatch(QStringLiteral("batch"), kBatchHelp, QStringLiteral("LIST"));
const QCommandLineOption kDirectory({QStringLiteral("d"), QStringLiteral("directory")}, kDirectoryHelp,
                                    QStringLiteral("DIR"));
const QCommandLineOption kFormat(QStringLiteral("format"), kFormatHelp, QStringLiteral("FORMAT"));
const QCommandLineOption kPrint(QStringLiteral("print"), kPrintHelp);
const QCommandLineOption kScale(QStringLiteral("scale"), kScaleHelp, QStringLiteral("N"));
const QCommandLineOption kModule(QStringLiteral("module-mm"), kModuleHelp, QStringLiteral("X"));
const QCommandLineOption kQuietZone(QStringLiteral("quiet-zone"), kQuietZoneHelp, QStringLiteral("N"));
const QCommandLineOption kStrict(QStringLiteral("strict"), kStrictHelp);
const QCommandLineOption kCheckDigit(QStringLiteral("check-digit"), kCheckDigitHelp);
const QCommandLineOption kPrinter(QStringLiteral("printer"), kPrinterHelp, QStringLiteral("NAME"));
const QCommandLineOption kCopies(QStringLiteral("copies"), kCopiesHelp, QStringLiteral("N"));
const QCommandLineOption kPageSize(QStringLiteral("page-mm"), kPageSizeHelp, QStringLiteral("WIDTHxHEIGHT"));
// In the program's own words, not the toolkit's.
const QCommandLineOption kHelp({QStringLiteral("h"), QStringLiteral("help")}, kHelpHelp);
const QCommandLineOption kVersion({QStringLiteral("v"), QStringLiteral("version")}, kVersionHelp);

// The whole number that the value spells, if it lies from lowest to highest.
std::optional<int> WholeNumber(const QString& value, int lowest, int highest) {
    bool whole = false;
    const int number = value.toInt(&whole);
    if (!whole || number < lowest || number > highest) return std::nullopt;
    return number;
}

// The number that the value spells, if it lies from lowest to highest.
std::optional<double> Decimal(const QString& value, double lowest, double highest) {
    bool number = false;
    const double decimal = value.toDouble(&number);
    // Written so that a value that is not a number (nan) lies nowhere.
    if (!number || !(decimal >= lowest && decimal <= highest)) return std::nullopt;
    return decimal;
}

// The settings that the options give, or what is wrong with them.
std::variant<FileSettings, UsageError> SettingsOf(const QCommandLineParser& parser) {
    FileSettings settings;
    if (parser.isSet(kFormat)) {
        const QString format = parser.value(kFormat);
        const auto named = FormatOfSuffix(format);
        if (!named) return UsageError{UnknownFormat(format)};
        settings.format = *named;
    }
    if (parser.isSet(kScale)) {
        const auto scale = WholeNumber(parser.value(kScale), 1, kLargestScale);
        if (!scale) return UsageError{BadScale(parser.value(kScale))};
        settings.scale = *scale;
    }
    if (parser.isSet(kModule)) {
        settings.symbol.moduleMillimetres = Decimal(parser.value(kModule), kFinestModule, kBroadestModule);
        if (!settings.symbol.moduleMillimetres) return UsageError{BadModule(parser.value(kModule))};
    }
    if (parser.isSet(kQuietZone)) {
        const auto quietZone = WholeNumber(parser.value(kQuietZone), 0, kWidestQuietZone);
        if (!quietZone) return UsageError{BadQuietZone(parser.value(kQuietZone))};
        settings.quietZone = *quietZone;
    }
    return settings;
}

// The printer and copies that the options give, or what is wrong with them.
std::variant<PrintSettings, UsageError> PrintSettingsOf(const QCommandLineParser& parser) {
    PrintSettings settings;
    if (parser.isSet(kPrinter)) {
        settings.printer = parser.value(kPrinter);
        if (settings.printer.isEmpty()) return UsageError{kEmptyPrinter};
    }
    if (parser.isSet(kCopies)) {
        const auto copies = WholeNumber(parser.value(kCopies), 1, kMostCopies);
        if (!copies) return UsageError{BadCopies(parser.value(kCopies))};
        settings.copies = *copies;
    }
    return settings;
}

// WIDTHxHEIGHT in millimetres, or nothing when it is not such a size.
std::optional<QSizeF> PageSizeOf(const QString& value) {
    const QStringList sides = value.split(u'x');
    if (sides.size() != 2) return std::nullopt;
    const auto width = Decimal(sides[0], kSmallestPage, kLargestPage);
    const auto height = Decimal(sides[1], kSmallestPage, kLargestPage);
    if (!width || !height) return std::nullopt;
    return QSizeF(*width, *height);
}

// --batch LIST with --print or with -o FILE.pdf: a label for each text.
Request LabelBatch(const QCommandLineParser& parser, const PrintSettings& print, const DrawingRules& rules) {
    if (parser.isSet(kDirectory) || parser.isSet(kFormat)) return UsageError{kLabelsWithDirectory};
    if (parser.isSet(kPrint)) {
        if (parser.isSet(kPageSize)) return UsageError{kPageSizeWithoutPdf};
        return PrintBatch{parser.value(kBatch), print, rules};
    }
    const QString path = parser.value(kOutput);
    if (FormatOfName(path) != PictureFormat::Pdf) return UsageError{LabelsNotPdf(path)};
    WriteLabelPdf labels{parser.value(kBatch), path, std::nullopt, rules};
    if (parser.isSet(kPageSize)) {
        labels.pageMillimetres = PageSizeOf(parser.value(kPageSize));
        if (!labels.pageMillimetres) return UsageError{BadPageSize(parser.value(kPageSize))};
    }
    return labels;
}

}  // namespace

Request ParseCommandLine(const QStringList& arguments, const QString& version) {
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    parser.addPositionalArgument(kTextArgument, kTextHelp, kTextSyntax);
    parser.addOptions({kOutput, kBatch, kDirectory, kFormat, kPrint, kPrinter, kCopies, kPageSize, kScale, kModule,
                       kQuietZone, kStrict, kCheckDigit, kHelp, kVersion});
    if (!parser.parse(arguments)) return UsageError{parser.errorText()};
    if (parser.isSet(kHelp)) {
        // The usage line names the program as it was started; the help (and
        // the manual made from it) names it as a user types it.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u' ', text.indexOf(u' ') + 1), QStringLiteral("Usage: ") + kProgram);
        return Inform{text + kAfterOptions};
    }
    if (parser.isSet(kVersion)) return Inform{QStringLiteral("%1 %2\n").arg(kProgram, version)};

    const auto settings = SettingsOf(parser);
    if (const auto* error = std::get_if<UsageError>(&settings)) return *error;
    const FileSettings& chosen = std::get<FileSettings>(settings);
    const auto printSettings = PrintSettingsOf(parser);
    if (const auto* error = std::get_if<UsageError>(&printSettings)) return *error;
    const PrintSettings& print = std::get<PrintSettings>(printSettings);
    if ((parser.isSet(kPrinter) || parser.isSet(kCopies)) && !parser.isSet(kPrint)) return UsageError{kPrinterWithoutPrint};
    const DrawingRules rules{parser.isSet(kStrict), parser.isSet(kCheckDigit)};

    const QStringList texts = parser.positionalArguments();
    const int modes = int{parser.isSet(kOutput)} + int{parser.isSet(kBatch)} + int{parser.isSet(kPrint)};
    if (modes == 0) return UsageError{texts.isEmpty() ? kNothingToDo : kTextWithoutOutput};
    if (parser.isSet(kOutput) && parser.isSet(kPrint)) return UsageError{kModesTogether};
    if (texts.size() > 1) return UsageError{kTwoTexts};
    if (parser.isSet(kBatch)) {
        if (!texts.isEmpty()) return UsageError{kTextWithBatch};
        if (parser.value(kBatch).isEmpty()) return UsageError{kEmptyList};
        if (modes > 1) return LabelBatch(parser, print, rules);
    }
    if (parser.isSet(kPageSize)) return UsageError{kPageSizeWithoutPdf};
    if (parser.isSet(kDirectory) && !parser.isSet(kBatch)) return UsageError{kDirectoryWithoutBatch};
    if (parser.isSet(kFormat) && !parser.isSet(kBatch)) return UsageError{kFormatWithoutBatch};

    if (parser.isSet(kBatch)) {
        if (!parser.isSet(kDirectory)) return UsageError{kBatchWithoutDirectory};
        if (parser.value(kDirectory).isEmpty()) return UsageError{kEmptyFolder};
        return WriteBatch{parser.value(kBatch), parser.value(kDirectory), chosen, rules};
    }
    if (texts.isEmpty()) return UsageError{kNoText};
    if (parser.isSet(kPrint)) return PrintOne{texts.constFirst(), print, rules};
    const QString path = parser.value(kOutput);
    const auto format = FormatOfName(path);
    if (!format) return UsageError{UnknownSuffix(path)};
    FileSettings single = chosen;
    single.format = *format;
    return WriteOne{texts.constFirst(), path, single, rules};
}

}  // namespace tallyline::commandline
