#pragma once

#include <QFont>
#include <optional>

namespace tallyline {

// Makes a font the toolkit's default for a while: until Restore, or the
// object's end, whichever comes first, when the default it replaced returns
// to every window.
class LentDefaultFont {
public:
    explicit LentDefaultFont(const QFont& font);
    ~LentDefaultFont();
    LentDefaultFont(const LentDefaultFont&) = delete;
    LentDefaultFont& operator=(const LentDefaultFont&) = delete;

    void Restore();

private:
    std::optional<QFont> kept_;
};

}  // namespace tallyline
