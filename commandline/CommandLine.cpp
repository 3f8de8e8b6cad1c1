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
const QCommandLineOption kLenient(QStringLiteral("lenient"), kLenientHelp);
const QCommandLineOption kFullAscii(QStringLiteral("full-ascii"), kFullAsciiHelp);
const QCommandLineOption kCheckDigit(QStringLiteral("check-digit"), kCheckDigitHelp);
const QCommandLineOption kPrinter(QStringLiteral("printer"), kPrinterHelp, QStringLiteral("NAME"));
const QCommandLineOption kCopies(QStringLiteral("copies"), kCopiesHelp, QStringLiteral("N"));
const QCommandLineOption kPageSize(QStringLiteral("page-mm"), kPageSizeHelp, QStringLiteral("WIDTHxHEIGHT"));
const QCommandLineOption kSheet(QStringLiteral("sheet"), kSheetHelp, QStringLiteral("NAME"));
const QCommandLineOption kSheets(QStringLiteral("sheets"), kSheetsHelp);
const QCommandLineOption kFirst(QStringLiteral("first"), kFirstHelp, QStringLiteral("N"));
const QCommandLineOption kOutlines(QStringLiteral("outlines"), kOutlinesHelp);
const QCommandLineOption kRotate(QStringLiteral("rotate"), kRotateHelp, QStringLiteral("ANGLE"));
const QCommandLineOption kDpi(QStringLiteral("dpi"), kDpiHelp, QStringLiteral("N"));
const QCommandLineOption kRatio(QStringLiteral("ratio"), kRatioHelp, QStringLiteral("N"));
const QCommandLineOption kHeight(QStringLiteral("height-mm"), kHeightHelp, QStringLiteral("H"));
const QCommandLineOption kNoCaption(QStringLiteral("no-text"), kNoCaptionHelp);
// In the program's own words, not the toolkit's.
const QCommandLineOption kHelp({QStringLiteral("h"), QStringLiteral("help")}, kHelpHelp);
const QCommandLineOption kVersion({QStringLiteral("v"), QStringLiteral("version")}, kVersionHelp);

// The options that act on some of the outputs only, and those outputs: an
// option given for anything else would do nothing, and is a usage error.
struct Reach {
    const QCommandLineOption& option;
    Outputs outputs;
};
constexpr Outputs kFiles = Output::PngFile | Output::SvgFile | Output::PdfFile;
constexpr Outputs kLabels = Output::LabelPdf | Output::Print | Output::SheetPdf | Output::SheetPrint;
const Reach kReaches[] = {
    {kScale, Output::PngFile},
    // A PNG's pixels are the window's but on --dpi's grid (PngOnGrid).
    {kModule, Output::SvgFile | Output::PdfFile | kLabels},
    {kQuietZone, kFiles},
    {kPageSize, Output::LabelPdf},
    {kPrinter, Output::Print | Output::SheetPrint},
    {kCopies, Output::Print | Output::SheetPrint | Output::SheetPdf},
    {kSheet, Output::SheetPdf | Output::SheetPrint},
    {kFirst, Output::SheetPdf | Output::SheetPrint},
    {kOutlines, Output::SheetPdf | Output::SheetPrint},
    {kDpi, kFiles | Output::LabelPdf | Output::SheetPdf},
};

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

// The turn that --rotate names: nothing for auto, which only a label has.
std::optional<std::optional<Turn>> TurnOf(const QString& angle) {
    if (angle == kAutomaticTurn) return std::optional<Turn>();
    for (const Turn turn : {Turn::None, Turn::Quarter, Turn::Half, Turn::ThreeQuarters}) {
        if (angle == QString::number(static_cast<int>(turn))) return turn;
    }
    return std::nullopt;
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
    if (parser.isSet(kRotate)) {
        const QString angle = parser.value(kRotate);
        const auto turn = TurnOf(angle);
        if (!turn) return UsageError{BadRotate(angle)};
        settings.symbol.turn = *turn;
    }
    if (parser.isSet(kRatio)) {
        settings.symbol.ratio = Decimal(parser.value(kRatio), kNarrowestRatio, kWidestRatio);
        if (!settings.symbol.ratio) return UsageError{BadRatio(parser.value(kRatio))};
    }
    if (parser.isSet(kHeight)) {
        settings.symbol.barMillimetres = Decimal(parser.value(kHeight), kLowestBars, kHighestBars);
        if (!settings.symbol.barMillimetres) return UsageError{BadHeight(parser.value(kHeight))};
    }
    settings.symbol.caption = !parser.isSet(kNoCaption);
    if (parser.isSet(kDpi)) {
        settings.dotsPerInch = WholeNumber(parser.value(kDpi), kCoarsestGrid, kFinestGrid);
        if (!settings.dotsPerInch) return UsageError{BadDpi(parser.value(kDpi))};
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

// How labels are laid out, or what is wrong with the options that say.
std::variant<LabelLayout, UsageError> LayoutOf(const QCommandLineParser& parser, const FileSettings& settings) {
    LabelLayout layout{settings.symbol, std::nullopt};
    if (!parser.isSet(kSheet)) return layout;
    SheetChoice sheet{parser.value(kSheet), 1, parser.isSet(kOutlines)};
    if (sheet.name.isEmpty()) return UsageError{kEmptySheet};
    if (parser.isSet(kFirst)) {
        const auto first = WholeNumber(parser.value(kFirst), 1, kLastFirstLabel);
        if (!first) return UsageError{BadFirst(parser.value(kFirst))};
        sheet.first = *first;
    }
    layout.sheet = sheet;
    return layout;
}

// Labels as a PDF: a label for each text of the list, or the one text on
// --copies of a sheet's labels.
Request LabelPdf(const QCommandLineParser& parser, const FileSettings& settings, const LabelLayout& layout,
                 const DrawingRules& rules, const std::optional<QSizeF>& page, const QString& text, int copies) {
    const QString path = parser.value(kOutput);
    const bool toStandardOutput = path == kStandardOutput;
    if (toStandardOutput && !parser.isSet(kFormat)) return UsageError{kStandardOutputWithoutFormat};
    const auto format = toStandardOutput ? FormatOfSuffix(parser.value(kFormat)) : FormatOfName(path);
    if (format != PictureFormat::Pdf) return UsageError{parser.isSet(kBatch) ? LabelsNotPdf(path) : SheetNotPdf(path)};
    return WriteLabelPdf{
        parser.value(kBatch), path, page, rules, layout, settings.dotsPerInch.value_or(kPdfDotsPerInch), text, copies};
}

// --batch LIST with --print or with -o FILE.pdf: a label for each text.
Request LabelBatch(const QCommandLineParser& parser, const FileSettings& settings, const PrintSettings& print,
                   const LabelLayout& layout, const DrawingRules& rules, const std::optional<QSizeF>& page) {
    const QString path = parser.value(kOutput);
    const bool toStandardOutput = !parser.isSet(kPrint) && path == kStandardOutput;
    if (parser.isSet(kDirectory) || (parser.isSet(kFormat) && !toStandardOutput))
        return UsageError{kLabelsWithDirectory};
    if (parser.isSet(kPrint)) return PrintBatch{parser.value(kBatch), print, rules, layout};
    return LabelPdf(parser, settings, layout, rules, page, QString(), 1);
}

Output OutputOfFormat(PictureFormat format) {
    switch (format) {
    case PictureFormat::Png: return Output::PngFile;
    case PictureFormat::Svg: return Output::SvgFile;
    case PictureFormat::Pdf: return Output::PdfFile;
    }
    return Output::PngFile;
}

// What the request makes, which the options of kReaches may act on; nothing
// for a request that makes nothing.
std::optional<Output> OutputOf(const Request& request) {
    if (const auto* one = std::get_if<WriteOne>(&request)) {
        return one->pageMillimetres ? Output::LabelPdf : OutputOfFormat(one->settings.format);
    }
    if (const auto* batch = std::get_if<WriteBatch>(&request)) return OutputOfFormat(batch->settings.format);
    if (const auto* pdf = std::get_if<WriteLabelPdf>(&request)) {
        return pdf->layout.sheet ? Output::SheetPdf : Output::LabelPdf;
    }
    if (const auto* print = std::get_if<PrintOne>(&request))
        return print->layout.sheet ? Output::SheetPrint : Output::Print;
    if (const auto* print = std::get_if<PrintBatch>(&request)) {
        return print->layout.sheet ? Output::SheetPrint : Output::Print;
    }
    return std::nullopt;
}

// Whether --dpi puts the PNG that the request writes on a grid, where the
// module is --module-mm's.
bool PngOnGrid(const Request& request) {
    const auto* one = std::get_if<WriteOne>(&request);
    const auto* batch = std::get_if<WriteBatch>(&request);
    const FileSettings* settings = one ? &one->settings : batch ? &batch->settings : nullptr;
    return settings && settings->format == PictureFormat::Png && settings->dotsPerInch;
}

// The first option given that does nothing for the request's output, if any.
std::optional<UsageError> SilentOption(const QCommandLineParser& parser, const Request& request, Output output) {
    for (const Reach& reach : kReaches) {
        if (&reach.option == &kModule && PngOnGrid(request)) continue;
        if (parser.isSet(reach.option) && !reach.outputs.testFlag(output)) {
            return UsageError{
                DoesNothing(QStringLiteral("--") + reach.option.names().constLast(), output, reach.outputs)};
        }
    }
    return std::nullopt;
}

// What the arguments ask for, once their values are known to be sound.
Request RequestOf(const QCommandLineParser& parser, const FileSettings& chosen, const PrintSettings& print,
                  const DrawingRules& rules, const LabelLayout& layout) {
    std::optional<QSizeF> page;
    if (parser.isSet(kPageSize)) {
        page = PageSizeOf(parser.value(kPageSize));
        if (!page) return UsageError{BadPageSize(parser.value(kPageSize))};
    }
    const QStringList texts = parser.positionalArguments();
    const int modes = int{parser.isSet(kOutput)} + int{parser.isSet(kBatch)} + int{parser.isSet(kPrint)};
    if (modes == 0) return UsageError{texts.isEmpty() ? kNothingToDo : kTextWithoutOutput};
    if (parser.isSet(kOutput) && parser.isSet(kPrint)) return UsageError{kModesTogether};
    if (texts.size() > 1) return UsageError{kTwoTexts};
    if (parser.isSet(kBatch)) {
        if (!texts.isEmpty()) return UsageError{kTextWithBatch};
        if (parser.value(kBatch).isEmpty()) return UsageError{kEmptyList};
        if (modes > 1) return LabelBatch(parser, chosen, print, layout, rules, page);
    }
    const bool toStandardOutput = parser.isSet(kOutput) && parser.value(kOutput) == kStandardOutput;
    if (parser.isSet(kDirectory) && !parser.isSet(kBatch)) return UsageError{kDirectoryWithoutBatch};
    if (parser.isSet(kFormat) && !parser.isSet(kBatch) && !toStandardOutput) return UsageError{kFormatWithoutBatch};

    if (parser.isSet(kBatch)) {
        if (!parser.isSet(kDirectory)) return UsageError{kBatchWithoutDirectory};
        if (parser.value(kDirectory).isEmpty()) return UsageError{kEmptyFolder};
        return WriteBatch{parser.value(kBatch), parser.value(kDirectory), chosen, rules};
    }
    if (texts.isEmpty()) return UsageError{kNoText};
    if (parser.isSet(kPrint)) return PrintOne{texts.constFirst(), print, rules, layout};
    if (layout.sheet) return LabelPdf(parser, chosen, layout, rules, page, texts.constFirst(), print.copies);
    const QString path = parser.value(kOutput);
    if (toStandardOutput && !parser.isSet(kFormat)) return UsageError{kStandardOutputWithoutFormat};
    const auto format = toStandardOutput ? std::optional(chosen.format) : FormatOfName(path);
    if (!format) return UsageError{UnknownSuffix(path)};
    FileSettings single = chosen;
    single.format = *format;
    // A page size makes a PDF a page of labels; for another format it does nothing.
    return WriteOne{texts.constFirst(), path, single, rules, *format == PictureFormat::Pdf ? page : std::nullopt};
}

}  // namespace

Request ParseCommandLine(const QStringList& arguments, const QString& version) {
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    parser.addPositionalArgument(kTextArgument, kTextHelp, kTextSyntax);
    parser.addOptions({kOutput, kBatch,     kDirectory, kFormat,  kPrint,  kPrinter,    kCopies,    kPageSize, kSheet,
                       kFirst,  kOutlines,  kSheets,    kRotate,  kRatio,  kHeight,     kNoCaption, kDpi,      kScale,
                       kModule, kQuietZone, kFullAscii, kLenient, kStrict, kCheckDigit, kHelp,      kVersion});
    if (!parser.parse(arguments)) return UsageError{parser.errorText()};
    if (parser.isSet(kHelp)) {
        // The usage line names the program as it was started; the help (and
        // the manual made from it) names it as a user types it.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u' ', text.indexOf(u' ') + 1), QStringLiteral("Usage: ") + kProgram);
        return Inform{text + kAfterOptions};
    }
    if (parser.isSet(kVersion)) return Inform{QStringLiteral("%1 %2\n").arg(kProgram, version)};

    if (parser.isSet(kSheets)) {
        if (parser.positionalArguments().size() > 1) return UsageError{kTwoTexts};
        if (parser.optionNames().size() > 1) return UsageError{kSheetsAlone};
        return ListSheets{parser.positionalArguments().value(0)};
    }
    const auto settings = SettingsOf(parser);
    if (const auto* error = std::get_if<UsageError>(&settings)) return *error;
    const auto printSettings = PrintSettingsOf(parser);
    if (const auto* error = std::get_if<UsageError>(&printSettings)) return *error;
    if (parser.isSet(kStrict) && parser.isSet(kLenient)) return UsageError{kStrictAndLenient};
    const DrawingRules rules{!parser.isSet(kLenient), parser.isSet(kFullAscii), parser.isSet(kCheckDigit)};
    const auto layout = LayoutOf(parser, std::get<FileSettings>(settings));
    if (const auto* error = std::get_if<UsageError>(&layout)) return *error;
    Request request = RequestOf(parser, std::get<FileSettings>(settings), std::get<PrintSettings>(printSettings), rules,
                                std::get<LabelLayout>(layout));
    if (const auto output = OutputOf(request)) {
        if (auto silent = SilentOption(parser, request, *output)) return *silent;
        // Only a label has a long side to be turned along.
        if (parser.value(kRotate) == kAutomaticTurn && kFiles.testFlag(*output)) return UsageError{kAutoTurnInFile};
    }
    return request;
}

}  // namespace tallyline::commandline
