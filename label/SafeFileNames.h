#pragma once

#include <QSet>
#include <QString>

namespace tallyline {

// The stem of a file name made from a text, safe to put into any folder: it
// holds only ASCII letters, digits and "-_.+", every other character becoming
// "_", so it never names another folder, a path outside, or anything the
// shell would read twice; it never starts with a dot (a hidden file, "." or
// ".."), never names a device, is never empty and never longer than a file
// system takes.
QString SafeFileStem(const QString& text);

// Hands out the names of the files of one run in one folder: each text's
// safe stem and the suffix, with "-2", "-3" ... before the suffix where a
// name was already handed out. Names differing only in case clash too, as
// they do on some file systems.
class FileNamer {
public:
    explicit FileNamer(QString suffix) : suffix_(std::move(suffix)) {}
    QString Next(const QString& text);

private:
    QString suffix_;
    QSet<QString> taken_;
};

}  // namespace tallyline
