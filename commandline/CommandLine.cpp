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
        bool number = false;
        const double module = parser.value(kModule).toDouble(&number);
        if (!number || !(module >= kFinestModule && module <= kBroadestModule)) {
            return UsageError{BadModule(parser.value(kModule))};
        }
        settings.moduleMillimetres = module;
    }
    if (parser.isSet(kQuietZone)) {
        const auto quietZone = WholeNumber(parser.value(kQuietZone), 0, kWidestQuietZone);
        if (!quietZone) return UsageError{BadQuietZone(parser.value(kQuietZone))};
        settings.quietZone = *quietZone;
    }
    return settings;
}

}  // namespace

Request ParseCommandLine(const QStringList& arguments, const QString& version) {
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    parser.addPositionalArgument(kTextArgument, kTextHelp, kTextSyntax);
    parser.addOptions({kOutput, kBatch, kDirectory, kFormat, kPrint, kScale, kModule, kQuietZone, kStrict, kCheckDigit,
                       kHelp, kVersion});
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
    const DrawingRules rules{parser.isSet(kStrict), parser.isSet(kCheckDigit)};

    const QStringList texts = parser.positionalArguments();
    const int modes = int{parser.isSet(kOutput)} + int{parser.isSet(kBatch)} + int{parser.isSet(kPrint)};
    if (modes == 0) return UsageError{texts.isEmpty() ? kNothingToDo : kTextWithoutOutput};
    if (modes > 1) return UsageError{kModesTogether};
    if (texts.size() > 1) return UsageError{kTwoTexts};
    if (parser.isSet(kDirectory) && !parser.isSet(kBatch)) return UsageError{kDirectoryWithoutBatch};
    if (parser.isSet(kFormat) && !parser.isSet(kBatch)) return UsageError{kFormatWithoutBatch};

    if (parser.isSet(kBatch)) {
        if (!texts.isEmpty()) return UsageError{kTextWithBatch};
        if (!parser.isSet(kDirectory)) return UsageError{kBatchWithoutDirectory};
        if (parser.value(kBatch).isEmpty()) return UsageError{kEmptyList};
        if (parser.value(kDirectory).isEmpty()) return UsageError{kEmptyFolder};
        return WriteBatch{parser.value(kBatch), parser.value(kDirectory), chosen, rules};
    }
    if (texts.isEmpty()) return UsageError{kNoText};
    if (parser.isSet(kPrint)) return PrintOne{texts.constFirst(), rules};
    const QString path = parser.value(kOutput);
    const auto format = FormatOfName(path);
    if (!format) return UsageError{UnknownSuffix(path)};
    FileSettings single = chosen;
    single.format = *format;
    return WriteOne{texts.constFirst(), path, single, rules};
}

}  // namespace tallyline::commandline
