#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace tallyline {

// The kinds of file a picture is saved as.
enum class PictureFormat { Png, Svg, Pdf };

// A format as the user meets it: the suffix that names it, without the dot,
// and what a save dialog calls its files.
struct PictureFormatName {
    PictureFormat format;
    const char* suffix;
    const char* kind;
};

// Every format, once, in the order that lists and dialogs show them: PNG,
// the default, first. Every text that names the formats is made from this.
inline constexpr PictureFormatName kPictureFormats[] = {
    {PictureFormat::Png, "png", "PNG image"},
    {PictureFormat::Svg, "svg", "SVG image"},
    {PictureFormat::Pdf, "pdf", "PDF document"},
};

// The format that a suffix names ("png", "svg" or "pdf", without the dot);
// nothing for any other.
std::optional<PictureFormat> FormatOfSuffix(const QString& suffix);
// The format that a file name's suffix names, whatever its case.
std::optional<PictureFormat> FormatOfName(const QString& fileName);
// The suffix, without its dot, that names the format.
QString SuffixOf(PictureFormat format);
// A save dialog's filter for the format's files: "PNG image (*.png)".
QString SaveFilterOf(PictureFormat format);

// Every format, each named by `name`, listed as a sentence lists them:
// "png, svg or pdf".
QString ListOfFormats(const std::function<QString(PictureFormat)>& name);
// The suffixes so listed, without and with their dots: "png, svg or pdf",
// ".png, .svg or .pdf".
QString SuffixList();
QString DottedSuffixList();

}  // namespace tallyline
