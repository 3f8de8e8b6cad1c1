#pragma once

#include <QByteArrayView>
#include <QString>
#include <utility>
#include <vector>

#include "button/host/PropertyBag.h"

namespace tallyline {

// A window's saved design data: the property bag of each control instance
// that keeps one. It is UTF-8 text that a person can read and edit:
//
//   # A comment fills a whole line; blank lines are ignored.
//   [xpcmdbutton1]                 the instance the entries below belong to
//   _extentx = 2566                a 32-bit integer
//   enabled = false                a Boolean, true or false
//   caption = "Copy \"all\""       text in double quotes; \" \\ \n \t escape
//   font = Font("MS Sans Serif", 8.25, 400)   family, points, weight
//
// Names are letters, digits and underscores, not starting with a digit.
// Keys are matched without regard to case, and a key may appear only once
// in an instance. Font sizes run from 1 to 2160 points, weights from 1 to 1000.
struct DesignData {
    std::vector<std::pair<QString, PropertyBag>> instances;

    // The bag saved for the instance, or nullptr when none was saved.
    const PropertyBag* Find(const QString& instanceName) const;
};

// InvalidFileFormat, naming the line and the key, for anything that does
// not follow the format above.
DesignData ReadDesignData(QByteArrayView utf8);
// As above; FileNotFound when the file cannot be read.
DesignData ReadDesignDataFile(const QString& path);

}  // namespace tallyline
