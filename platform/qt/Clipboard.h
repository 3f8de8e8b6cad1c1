#pragma once

#include "StdPicture.h"

// The system clipboard, taken for the length of one call.
namespace tallyline::Clipboard {

// The platform's number for a bitmap, the only format the program places.
constexpr short kBitmapFormat = 2;

// Empties the clipboard of every format.
void Clear();

// Places the picture as a bitmap and nothing else: readers are offered image
// types only, never text. InvalidProcedureCall for another format or an empty
// picture, CantOpenClipboard when the clipboard does not take it.
void SetData(const StdPicture& picture, short format);

}  // namespace tallyline::Clipboard
