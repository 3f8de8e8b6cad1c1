#pragma once

#include <QFrame>

namespace tallyline {

// A framed panel that holds nothing of its own but is a stop of the tab
// order, so it shows the focus inside its frame as the other stops do.
class Panel : public QFrame {
    Q_OBJECT
public:
    explicit Panel(QWidget* parent = nullptr) : QFrame(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tallyline
