#pragma once

#include <QString>

namespace tallyline {

// The stem of a file name made from a text: one name for each barcode, so
// that two texts that draw different barcodes never share a name, in one run
// or in many, on Linux, macOS and Windows alike.
//
// The name is made from the text as drawn: lower case as capitals, or in
// full ASCII, where lower case draws bars of its own, as typed. Capitals, digits, "-", "_" and "." stay; every other
// byte of its UTF-8, lower case in full ASCII among them,
// "%" among them, becomes "%" and two upper-case hex digits ("ITEM $7" gives
// "ITEM%20%247"), so that the name never names another folder, a path
// outside, a hidden file or anything the shell would read twice, and two
// names never differ in case alone. A leading "." and the first letter of a
// device's name (CON, NUL.TXT) are escaped too. A name longer than 200 bytes
// keeps its first part and, after a "~", 16 hex digits of a hash of the
// whole text. An empty text gives "barcode".
QString SafeFileStem(const QString& text, bool fullAscii = false);

}  // namespace tallyline
