// The button under the mouse and the keyboard: faces, events, and the poll
// that notices the pointer leaving.
#include <QtTest>

#include "ButtonProbe.h"
#include "CursorPosition.h"
#include "IntervalTimer.h"
#include "RuntimeError.h"
#include "xpcmdbutton.h"

using namespace tallyline;

namespace {

QPoint pointer;
QPoint Pointer() { return pointer; }

enum class Step { Move, Down, Up, Poll };

// A button on its own, as the main window holds it, its events logged.
struct Bench {
    Bench() : button(QStringLiteral("xpcmdbutton1"), log) {
        button.InitProperties();
        button.resize(97, 33);
        button.show();
        QObject::connect(&button, &xpcmdbutton::Click, [this] { events << "Click"; });
        QObject::connect(&button, &xpcmdbutton::MouseOut, [this] { events << "MouseOut"; });
        QObject::connect(&button, &xpcmdbutton::KeyDown, [this](short& k, short& s) { events << Args("KeyDown", k, s); });
        QObject::connect(&button, &xpcmdbutton::KeyPress, [this](short& k) { events << Args("KeyPress", k); });
        QObject::connect(&button, &xpcmdbutton::KeyUp, [this](short& k, short& s) { events << Args("KeyUp", k, s); });
        const auto mouse = [this](const char* name) {
            return [this, name](short& b, short& s, float& x, float& y) { events << Args(name, b, s, x, y); };
        };
        QObject::connect(&button, &xpcmdbutton::MouseDown, mouse("MouseDown"));
        QObject::connect(&button, &xpcmdbutton::MouseMove, mouse("MouseMove"));
        QObject::connect(&button, &xpcmdbutton::MouseUp, mouse("MouseUp"));
        SetCursorSource(&Pointer);
    }
    ~Bench() { SetCursorSource(nullptr); }

    template <typename... Values>
    static QString Args(const char* name, Values... values) {
        QStringList parts{QString::fromLatin1(name)};
        (parts << ... << QString::number(values));
        return parts.join(' ');
    }

    IntervalTimer& Timer1() { return *button.findChild<IntervalTimer*>(QStringLiteral("Timer1")); }
    CaptionLabel& lbl() { return *button.findChild<CaptionLabel*>(QStringLiteral("lbl")); }
    // A tick, as the timer gives one only while it is enabled.
    void PollWithPointerAt(QPoint client) {
        pointer = button.mapToGlobal(client);
        if (Timer1().Enabled()) emit Timer1().Timer();
    }
    void Do(Step step, QPointF at, Qt::MouseButton changed, Qt::MouseButtons held) {
        switch (step) {
        case Step::Move: SendMouse(button, QEvent::MouseMove, at, Qt::NoButton, held); break;
        case Step::Down: SendMouse(button, QEvent::MouseButtonPress, at, changed, held); break;
        case Step::Up: SendMouse(button, QEvent::MouseButtonRelease, at, changed, held); break;
        case Step::Poll: PollWithPointerAt(at.toPoint()); break;
        }
    }

    ReportLog log;
    xpcmdbutton button;
    QStringList events;
};

}  // namespace

Q_DECLARE_METATYPE(Step)

class TestXpcmdbuttonInput : public QObject {
    Q_OBJECT

private slots:
    // Each row starts from a resting button with State 0; `tracking` first
    // moves the pointer onto it with no button held.
    void transitions_data() {
        QTest::addColumn<bool>("tracking");
        QTest::addColumn<Step>("step");
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<Qt::MouseButton>("changed");
        QTest::addColumn<Qt::MouseButtons>("held");
        QTest::addColumn<int>("face");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<bool>("timerOn");
        const auto none = Qt::MouseButtons();
        const auto both = Qt::MouseButtons(Qt::LeftButton | Qt::RightButton);

        QTest::newRow("move, no button") << false << Step::Move << QPointF(10, 5) << Qt::NoButton << none
                                         << int(FaceHover) << QStringList{"MouseMove 0 0 10 5"} << true;
        QTest::newRow("move, left alone") << false << Step::Move << QPointF(10, 5) << Qt::NoButton
                                          << Qt::MouseButtons(Qt::LeftButton) << int(FacePressed)
                                          << QStringList{"MouseMove 1 0 10 5"} << true;
        QTest::newRow("move, right") << false << Step::Move << QPointF(10, 5) << Qt::NoButton
                                     << Qt::MouseButtons(Qt::RightButton) << int(FaceHover)
                                     << QStringList{"MouseMove 2 0 10 5"} << true;
        QTest::newRow("move, left and right") << false << Step::Move << QPointF(10, 5) << Qt::NoButton << both
                                              << int(FaceHover) << QStringList{"MouseMove 3 0 10 5"} << true;
        QTest::newRow("move on the far corner") << false << Step::Move << QPointF(97, 33) << Qt::NoButton << none
                                                << int(FaceHover) << QStringList{"MouseMove 0 0 97 33"} << true;
        QTest::newRow("move out of range") << false << Step::Move << QPointF(-1, 5) << Qt::NoButton << none
                                           << int(FaceNormal) << QStringList{} << true;
        QTest::newRow("right button down") << false << Step::Down << QPointF(10, 5) << Qt::RightButton
                                           << Qt::MouseButtons(Qt::RightButton) << int(FacePressed)
                                           << QStringList{"MouseDown 2 0 10 5"} << false;
        QTest::newRow("left button up") << true << Step::Up << QPointF(10, 5) << Qt::LeftButton << none
                                        << int(FaceNormal) << QStringList{"MouseUp 1 0 10 5"} << true;
        QTest::newRow("poll inside") << true << Step::Poll << QPointF(50, 20) << Qt::NoButton << none
                                     << int(FaceHover) << QStringList{} << true;
        QTest::newRow("poll on the far corner") << true << Step::Poll << QPointF(97, 33) << Qt::NoButton << none
                                                << int(FaceHover) << QStringList{} << true;
        QTest::newRow("poll a pixel right") << true << Step::Poll << QPointF(98, 33) << Qt::NoButton << none
                                            << int(FaceNormal) << QStringList{"MouseOut"} << false;
        QTest::newRow("poll a pixel below") << true << Step::Poll << QPointF(97, 34) << Qt::NoButton << none
                                            << int(FaceNormal) << QStringList{"MouseOut"} << false;
        QTest::newRow("poll left of it") << true << Step::Poll << QPointF(-1, 0) << Qt::NoButton << none
                                         << int(FaceNormal) << QStringList{"MouseOut"} << false;
    }

    void transitions() {
        QFETCH(bool, tracking);
        QFETCH(Step, step);
        QFETCH(QPointF, at);
        QFETCH(Qt::MouseButton, changed);
        QFETCH(Qt::MouseButtons, held);
        Bench bench;
        if (tracking) bench.Do(Step::Move, QPointF(1, 1), Qt::NoButton, {});
        bench.events.clear();
        bench.Do(step, at, changed, held);
        QTEST(FaceShown(bench.button), "face");
        QTEST(bench.events, "events");
        QTEST(bench.Timer1().Enabled(), "timerOn");
        QCOMPARE(bench.log.entries, QStringList());
    }

    void leavingRestoresTheRestingFaceOnce_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("face");
        QTest::newRow("State 0") << 0 << true << int(FaceNormal);
        QTest::newRow("State 1") << 1 << true << int(FaceHighlighted);
        QTest::newRow("disabled while tracking") << 0 << false << int(FaceDisabled);
    }

    void leavingRestoresTheRestingFaceOnce() {
        QFETCH(int, state);
        QFETCH(bool, enabled);
        Bench bench;
        bench.button.State(state);
        bench.Do(Step::Move, QPointF(5, 5), Qt::NoButton, {});
        bench.button.Enabled(enabled);
        bench.events.clear();
        bench.PollWithPointerAt(QPoint(200, 200));
        bench.PollWithPointerAt(QPoint(200, 200));
        QCOMPARE(bench.events, QStringList{"MouseOut"});
        QTEST(FaceShown(bench.button), "face");
    }

    // The real timer, left to itself, finds the pointer gone.
    void theTimerPollsByItselfWhileTracking() {
        Bench bench;
        QCOMPARE(bench.Timer1().Interval(), 10);
        QVERIFY(!bench.Timer1().Enabled());
        bench.Do(Step::Move, QPointF(5, 5), Qt::NoButton, {});
        pointer = bench.button.mapToGlobal(QPoint(-20, -20));
        QTRY_COMPARE(bench.events.last(), QStringLiteral("MouseOut"));
        QVERIFY(!bench.Timer1().Enabled());
    }

    // While a press on the button is held, every move outside restarts the
    // poll, and each poll then reports the pointer out again.
    void draggingOutsideReportsMouseOutPerMove() {
        Bench bench;
        bench.Do(Step::Down, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton);
        for (int i = 0; i < 2; ++i) {
            bench.Do(Step::Move, QPointF(150, 5), Qt::NoButton, Qt::LeftButton);
            bench.PollWithPointerAt(QPoint(150, 5));
        }
        QCOMPARE(bench.events, (QStringList{"MouseDown 1 0 5 5", "MouseOut", "MouseOut"}));
        bench.Do(Step::Move, QPointF(5, 5), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(FaceShown(bench.button), int(FacePressed));
    }

    void clickOnTheFaceOrTheLabelRaisesClickOnce_data() {
        QTest::addColumn<bool>("onLabel");
        QTest::newRow("face") << false;
        QTest::newRow("label") << true;
    }

    // The label's own coordinates are passed on, not the button's.
    void clickOnTheFaceOrTheLabelRaisesClickOnce() {
        QFETCH(bool, onLabel);
        Bench bench;
        QWidget& target = onLabel ? static_cast<QWidget&>(bench.lbl()) : bench.button;
        SendMouse(target, QEvent::MouseButtonPress, QPointF(2, 3), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(FaceShown(bench.button), int(FacePressed));
        SendMouse(target, QEvent::MouseButtonRelease, QPointF(2, 3), Qt::LeftButton, {});
        QCOMPARE(bench.events, (QStringList{"MouseDown 1 0 2 3", "MouseUp 1 0 2 3", "Click"}));
        QCOMPARE(FaceShown(bench.button), int(FaceNormal));
    }

    void keysArePassedOnAndNeverClick_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("Space") << Qt::Key_Space << QStringList{"KeyDown 32 0", "KeyPress 32", "KeyUp 32 0"};
        QTest::newRow("Enter") << Qt::Key_Return << QStringList{"KeyDown 13 0", "KeyPress 13", "KeyUp 13 0"};
        QTest::newRow("A") << Qt::Key_A << QStringList{"KeyDown 65 0", "KeyPress 97", "KeyUp 65 0"};
        QTest::newRow("Left") << Qt::Key_Left << QStringList{"KeyDown 37 0", "KeyUp 37 0"};
    }

    void keysArePassedOnAndNeverClick() {
        QFETCH(Qt::Key, key);
        Bench bench;
        QTest::keyClick(&bench.button, key);
        QTEST(bench.events, "events");
        QCOMPARE(FaceShown(bench.button), int(FaceNormal));
    }

    // A container's handler works on the very variables the button holds.
    void argumentsAreHandedOnByReference() {
        Bench bench;
        QObject::connect(&bench.button, &xpcmdbutton::KeyPress, [](short& KeyAscii) { KeyAscii = 0; });
        QObject::connect(&bench.button, &xpcmdbutton::MouseMove, [](short& Button, short&, float& x, float&) {
            Button = 1;
            x = 7;
        });
        short keyAscii = 65;
        emit bench.button.KeyPress(keyAscii);
        QCOMPARE(keyAscii, short{0});

        SendMouse(bench.button, QEvent::MouseMove, QPointF(10, 5), Qt::NoButton, {});
        QCOMPARE(FaceShown(bench.button), int(FacePressed));
    }

    void aFailingContainerHandlerIsReportedNotThrownIntoQt() {
        Bench bench;
        QObject::connect(&bench.button, &xpcmdbutton::Click, [] { throw RuntimeError(ErrorNumber::CantOpenClipboard); });
        SendMouse(bench.lbl(), QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton);
        SendMouse(bench.lbl(), QEvent::MouseButtonRelease, QPointF(1, 1), Qt::LeftButton, {});
        QCOMPARE(bench.log.entries.size(), 1);
        QVERIFY(bench.log.entries.first().contains(QStringLiteral("521")));
    }

    void resizingAndNewCaptionsCentreTheLabelUnrounded() {
        Bench bench;
        CaptionLabel& lbl = bench.lbl();
        bench.button.resize(static_cast<int>(lbl.Width()) + 33, 33);
        QCOMPARE(lbl.Left(), 16.5f);
        QCOMPARE(lbl.x(), 16);  // on screen, ties to the even pixel
        QCOMPARE(lbl.Top(), (33 - lbl.Height()) / 2);

        bench.button.resize(10, 8);
        QVERIFY(lbl.Left() < 0);
        QCOMPARE(lbl.Left(), (10 - lbl.Width()) / 2);

        // Through the label's Change.
        bench.button.Caption(QStringLiteral("A much longer caption than before"));
        QCOMPARE(lbl.Left(), (10 - lbl.Width()) / 2);
    }

    // A caption is text as typed, never markup that would shrink it.
    void aCaptionIsShownAsTyped() {
        Bench bench;
        bench.button.Caption(QStringLiteral("x"));
        const float plain = bench.lbl().Width();
        bench.button.Caption(QStringLiteral("<b>x</b>"));
        QVERIFY(bench.lbl().Width() > 3 * plain);
    }
};

QTEST_MAIN(TestXpcmdbuttonInput)
#include "tst_xpcmdbutton_input.moc"
