#pragma once

#include <QString>

#include <optional>

namespace tallyline {

// The kinds of file a picture is saved as.
enum class PictureFormat { Png, Svg, Pdf };

// The format that a suffix names ("png", "svg" or "pdf", without the dot);
// nothing for any other.
std::optional<PictureFormat> FormatOfSuffix(const QString& suffix);
// The format that a file name's suffix names, whatever its case.
std::optional<PictureFormat> FormatOfName(const QString& fileName);
// The suffix, without its dot, that names the format.
QString SuffixOf(PictureFormat format);

}  // namespace tallyline
