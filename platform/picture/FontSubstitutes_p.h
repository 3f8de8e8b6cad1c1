#pragma once

namespace tallyline {

// Lets the families that the designs name, which a free desktop lacks, be
// drawn in free faces that keep their look and their widths: the designs
// still ask for their own families, and a machine that has them gets them.
// Where there is a font configuration, it is read and told which free face
// answers to each missing family's name; safe from any thread, and done once
// however often called.
void ConfigureFreeFaces();
// ConfigureFreeFaces, then for the toolkit the substitutes that the font
// configuration could not be told of. Safe to call more than once, from the
// toolkit's thread.
void InstallFontSubstitutes();

}  // namespace tallyline
