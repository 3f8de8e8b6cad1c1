#pragma once

#include <QFont>
#include <QString>

namespace tallyline {

// What a container tells a control placed on it: the name it knows the
// instance by, and its own font.
struct AmbientProperties {
    QString DisplayName;
    QFont Font;
};

}  // namespace tallyline
