#pragma once

#include <QByteArray>

#include "platform/picture/StdPicture.h"

// The system clipboard, taken for the length of one call.
namespace tallyline::Clipboard {

// The platform's number for a bitmap, the only format the program places.
constexpr short kBitmapFormat = 2;

// Empties the clipboard of every format.
void Clear();

// The type under which the same picture is offered as shapes.
inline constexpr char kSvgType[] = "image/svg+xml";

// Places the picture as a bitmap, and the same picture as SVG when one is
// given: readers are offered image types only, never text.
// InvalidProcedureCall for another format or an empty picture,
// CantOpenClipboard when the clipboard does not take it.
void SetData(const StdPicture& picture, short format, const QByteArray& svg = {});

}  // namespace tallyline::Clipboard
