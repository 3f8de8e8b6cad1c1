// The button: its skin, faces painted from it, mouse, keys, poll and access keys.
#include <QtTest>

#include "button/DrawButton_p.h"
#include "button/host/CursorPosition.h"
#include "button/xpcmdbutton.h"
#include "platform/picture/DesignFont.h"
#include "tests/support/RecordingReporter.h"
#include "tools/skin-gen/IndexedBmp.h"
#include "tools/skin-gen/SkinCells.h"

using namespace tallyline;

namespace {

const ButtonFace kFaces[] = {FaceNormal, FacePressed, FaceDisabled, FaceHover, FaceHighlighted};
QPoint pointer;

RecordingReporter unheard;

PictureClip Skin() {
    PictureClip pc;
    pc.Picture(StdPicture(QImage(QStringLiteral(":/button/skin.bmp")).convertToFormat(QImage::Format_RGB32)));
    pc.Cols(5);
    return pc;
}

// A real surface of that size painted with the face.
QImage Painted(ButtonFace face, QSize size) {
    UserControl surface(unheard, QString(), nullptr);
    surface.resize(size);
    surface.ScaleMode(ScaleModeKind::Twips);  // so that DrawButton has to set pixels itself
    DrawButton(face, surface, Skin());
    return surface.Image().Image();
}

QString FaceShown(const UserControl& control) {
    const char* const names[] = {"Normal", "Pressed", "Disabled", "Hover", "Highlighted"};
    for (const ButtonFace face : kFaces) {
        if (Painted(face, control.size()) == control.Image().Image()) return names[face];
    }
    return QStringLiteral("no face");
}

void SendMouse(QWidget& to, QEvent::Type type, QPointF at, Qt::MouseButton changed = {}, Qt::MouseButtons held = {}) {
    QMouseEvent event(type, at, to.mapToGlobal(at), changed, held, {});
    QApplication::sendEvent(&to, &event);
}

struct Bench {  // a new 97 x 33 button in a container with a font of its own
    Bench() {
        window.setFont(DesignFont(QStringLiteral("DejaVu Serif"), 12, 700));
        button = std::make_unique<xpcmdbutton>(QStringLiteral("xpcmdbutton1"), log, &window);
        button->InitProperties();
        button->resize(97, 33);
        window.show();
        const auto watch = [this](auto signal) {
            const QString event = QString::fromLatin1(QMetaMethod::fromSignal(signal).name());
            QObject::connect(button.get(), signal, [this, event](auto&... arguments) {
                events << (QStringList{event} << ... << QString::number(arguments)).join(' ');
            });
        };
        [&](auto... signal) { (watch(signal), ...); }(
            &xpcmdbutton::Click, &xpcmdbutton::KeyDown, &xpcmdbutton::KeyPress, &xpcmdbutton::KeyUp,
            &xpcmdbutton::MouseOut, &xpcmdbutton::MouseDown, &xpcmdbutton::MouseMove, &xpcmdbutton::MouseUp);
    }
    IntervalTimer& Timer1() { return *button->findChild<IntervalTimer*>(QStringLiteral("Timer1")); }
    CaptionLabel& lbl() { return *button->findChild<CaptionLabel*>(QStringLiteral("lbl")); }

    RecordingReporter log;
    QWidget window;
    std::unique_ptr<xpcmdbutton> button;
    QStringList events;
};

}  // namespace

class TestButton : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SetCursorSource([] { return pointer; });
    }

    // The skin is what its generator draws, five cells of 18 x 21 side by side.
    void theSkinIsTheGeneratorsBitmap() {
        QFile file(QStringLiteral(SKIN_FILE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const auto drawn = skingen::EncodeIndexedBmp(skingen::DrawSkin());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(drawn.data()), static_cast<qsizetype>(drawn.size())), bytes);
        QCOMPARE(QImage::fromData(bytes, "BMP").size(), QSize(90, 21));
    }

    // At the cell's size the face is the cell; stretched, its corners stay the cell's (a pixel of border, two of
    // frame) and its middle column shows only the cell's own colours, never a blend.
    void paintsTheFaceFromItsCell() {
        for (const ButtonFace face : kFaces) {
            const QImage cell = Skin().GraphicCell(face).Image();
            QCOMPARE(Painted(face, {18, 21}), cell);
            const QImage shown = Painted(face, {97, 33});
            for (const auto& [x, y] : {std::pair{0, 0}, {94, 0}, {0, 30}, {94, 30}})
                QCOMPARE(shown.copy(x, y, 3, 3), cell.copy(x ? 15 : 0, y ? 18 : 0, 3, 3));
            QSet<QRgb> middle;
            for (int y = 0; y < 21; ++y) middle << cell.pixel(9, y);
            for (int y = 0; y < 33; ++y) QVERIFY2(middle.contains(shown.pixel(48, y)), qPrintable(QString::number(y)));
        }
    }

    // From rest with State 1: `buttons` change on a press or release, are held on a move. The far corner (97, 33)
    // still counts as over the face, a pixel past it no longer does.
    void transitions_data() {
        QTest::addColumn<QEvent::Type>("type");  // QEvent::Timer: a tick of the poll
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<Qt::MouseButtons>("buttons");
        QTest::addColumn<QString>("after");
        using enum QEvent::Type;
        const Qt::MouseButtons none, left(Qt::LeftButton), right(Qt::RightButton), both(left | right);
        QTest::newRow("01 move, far corner")
            << MouseMove << QPointF(97, 33) << none << "Hover: MouseMove 0 0 97 33; on";
        QTest::newRow("02 move, left alone")
            << MouseMove << QPointF(10, 5) << left << "Pressed: MouseMove 1 0 10 5; on";
        QTest::newRow("03 move, left and right")
            << MouseMove << QPointF(10, 5) << both << "Hover: MouseMove 3 0 10 5; on";
        QTest::newRow("04 move out of range") << MouseMove << QPointF(-1, 5) << none << "Highlighted: ; on";
        QTest::newRow("05 right button down")
            << MouseButtonPress << QPointF(10, 5) << right << "Pressed: MouseDown 2 0 10 5; off";
        QTest::newRow("06 left up") << MouseButtonRelease << QPointF(10, 5) << left
                                    << "Highlighted: MouseUp 1 0 10 5; on";
        QTest::newRow("07 poll, far corner") << Timer << QPointF(97, 33) << none << "Hover: ; on";
        QTest::newRow("08 poll a pixel right") << Timer << QPointF(98, 33) << none << "Highlighted: MouseOut; off";
        QTest::newRow("09 poll a pixel below") << Timer << QPointF(97, 34) << none << "Highlighted: MouseOut; off";
    }

    void transitions() {
        QFETCH(QEvent::Type, type);
        QFETCH(QPointF, at);
        QFETCH(Qt::MouseButtons, buttons);
        using enum QEvent::Type;
        Bench b;
        b.button->State(1);
        if (type == MouseButtonRelease || type == Timer) SendMouse(*b.button, MouseMove, {1, 1});
        b.events.clear();
        pointer = b.button->mapToGlobal(at.toPoint());
        if (type == Timer && b.Timer1().Enabled()) emit b.Timer1().Timer();
        if (type != Timer) {
            SendMouse(*b.button, type, at, type == MouseMove ? Qt::NoButton : Qt::MouseButton(buttons.toInt()),
                      type == MouseButtonRelease ? Qt::MouseButtons() : buttons);
        }
        QTEST(FaceShown(*b.button) + ": " + b.events.join(", ") + (b.Timer1().Enabled() ? "; on" : "; off"), "after");
    }

    // Where the platform keeps the last position it saw over the window, the poll alone never sees the pointer go;
    // Qt's leave, which it sends when the pointer is over neither the button nor its label, ends tracking.
    void aLeaveEndsTracking_data() {
        QTest::addColumn<bool>("fromLabel");
        QTest::addColumn<bool>("toLabel");  // else to the window beside the button
        QTest::addColumn<QString>("after");
        QTest::newRow("01 face to the window") << false << false << "Normal: MouseOut; off";
        QTest::newRow("02 label to the window") << true << false << "Normal: MouseOut; off";
        QTest::newRow("03 face to the label") << false << true << "Hover: ; on";
    }
    void aLeaveEndsTracking() {
        QFETCH(bool, fromLabel);
        QFETCH(bool, toLabel);
        Bench b;
        b.button->Caption(QStringLiteral("Copy"));
        b.window.resize(400, 300);
        QVERIFY(QTest::qWaitForWindowExposed(&b.window));
        const QPoint face(2, 2), label = b.lbl().geometry().center();
        QTest::mouseMove(&b.window, fromLabel ? label : face);
        QVERIFY(b.Timer1().Enabled());
        b.events.clear();
        pointer = b.window.mapToGlobal(fromLabel ? label : face);  // stale: the platform saw it last here
        QTest::mouseMove(&b.window, toLabel ? label : QPoint(300, 200));
        if (b.Timer1().Enabled()) emit b.Timer1().Timer();
        const QString timer = b.Timer1().Enabled() ? "; on" : "; off";
        QTEST(FaceShown(*b.button) + ": " + b.events.filter("MouseOut").join(", ") + timer, "after");
    }

    // The caption underlines the first of its characters that an access key presses, whatever its case, and nothing
    // when none does; it still shows its other characters, '&' too, as typed, and a screen reader hears it unchanged.
    void theCaptionUnderlinesItsAccessKey_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("underlined");  // the index of the character, or -1
        QTest::newRow("01 the first C only") << "Cool Copy"
                                             << "C" << 0;
        QTest::newRow("02 a lower-case key") << "Cool Copy"
                                             << "c" << 0;
        QTest::newRow("03 no key in the caption") << "Clipboard"
                                                  << "x" << -1;
        QTest::newRow("04 after an ampersand") << "R&D copy"
                                               << "c" << 4;
    }
    void theCaptionUnderlinesItsAccessKey() {
        QFETCH(QString, caption);
        QFETCH(QString, keys);
        QFETCH(int, underlined);
        Bench bench;  // 12-point bold: the captions fit the button
        bench.button->Caption(caption);
        CaptionLabel& lbl = bench.lbl();
        const QImage plain = bench.button->grab().toImage();
        bench.button->AccessKeys(keys);
        const QImage shown = bench.button->grab().toImage();
        QCOMPARE(lbl.Caption(), caption);
        QCOMPARE(QAccessible::queryAccessibleInterface(bench.button.get())->text(QAccessible::Name), caption);
        QRect changed;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x)
                if (plain.pixel(x, y) != shown.pixel(x, y)) changed |= QRect(x, y, 1, 1);
        if (underlined < 0) {
            QVERIFY2(changed.isEmpty(), qPrintable(QString("changed from %1").arg(changed.left())));
            return;
        }
        // Under the character, from its left edge to its right, and below the caption's baseline.
        const QFontMetrics metrics(lbl.font());
        const int left = lbl.x() + (lbl.width() - metrics.horizontalAdvance(caption)) / 2;
        const int from = left + metrics.horizontalAdvance(caption.left(underlined));
        const int to = left + metrics.horizontalAdvance(caption.left(underlined + 1));
        QVERIFY2(!changed.isEmpty() && changed.left() >= from - 1 && changed.right() <= to + 1 &&
                     changed.top() >= lbl.y() + metrics.ascent(),
                 qPrintable(QString("changed %1..%2, the character %3..%4")
                                .arg(changed.left())
                                .arg(changed.right())
                                .arg(from)
                                .arg(to)));
    }
};

QTEST_MAIN(TestButton)
#include "tst_button.moc"
