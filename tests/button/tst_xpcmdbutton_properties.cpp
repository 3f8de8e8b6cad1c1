// The button's properties: what assigning them shows, how an instance is
// saved and restored, and what bad saved data does.
#include <QtTest>

#include "ButtonDesign.h"
#include "ButtonProbe.h"
#include "DesignData.h"
#include "DesignFont.h"
#include "RuntimeError.h"
#include "xpcmdbutton.h"

using namespace tallyline;

namespace {

// A container with a font of its own, holding one instance.
struct Form {
    Form() {
        window.setFont(DesignFont(QStringLiteral("DejaVu Serif"), 12, 700));
        window.resize(200, 100);
    }
    std::unique_ptr<xpcmdbutton> New() {
        auto button = std::make_unique<xpcmdbutton>(QStringLiteral("xpcmdbutton1"), log, &window);
        button->InitProperties();
        return button;
    }
    std::unique_ptr<xpcmdbutton> Restored(const PropertyBag& bag) {
        return std::make_unique<xpcmdbutton>(QStringLiteral("xpcmdbutton1"), bag, log, &window);
    }

    ReportLog log;
    QWidget window;
};

CaptionLabel& lbl(xpcmdbutton& button) { return *button.findChild<CaptionLabel*>(QStringLiteral("lbl")); }

QString ErrorText(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

}  // namespace

class TestXpcmdbuttonProperties : public QObject {
    Q_OBJECT

private slots:
    void aNewInstanceTakesItsContainersNameAndFont() {
        Form form;
        const auto button = form.New();
        QVERIFY(button->Enabled());
        QCOMPARE(button->State(), 0);
        QCOMPARE(button->Caption(), QStringLiteral("xpcmdbutton1"));
        QCOMPARE(button->Font(), form.window.font());
        QCOMPARE(lbl(*button).font(), form.window.font());
        QCOMPARE(lbl(*button).ForeColor(), button_design::kEnabledCaptionColour);
        QCOMPARE(FaceShown(*button), int(FaceNormal));
    }

    // States are assigned in order; only 0 and 1 choose a face.
    void restingFaces_data() {
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("face");
        QTest::newRow("State 0") << QList<int>{0} << true << int(FaceNormal);
        QTest::newRow("State 1") << QList<int>{1} << true << int(FaceHighlighted);
        QTest::newRow("State 2 after 1") << QList<int>{1, 2} << true << int(FaceHighlighted);
        QTest::newRow("State 2 after 0") << QList<int>{1, 0, 2} << true << int(FaceNormal);
        QTest::newRow("disabled with State 1") << QList<int>{1} << false << int(FaceDisabled);
        QTest::newRow("disabled with State 0") << QList<int>{0} << false << int(FaceDisabled);
    }

    void restingFaces() {
        QFETCH(QList<int>, states);
        QFETCH(bool, enabled);
        Form form;
        const auto button = form.New();
        for (const int state : states) button->State(state);
        button->Enabled(enabled);
        QTEST(FaceShown(*button), "face");
        QCOMPARE(button->State(), states.last());
    }

    void enablingAgainBringsBackTheRestingFaceAndABlackCaption() {
        Form form;
        const auto button = form.New();
        button->State(1);
        QStringList reports;
        connect(button.get(), &UserControl::PropertyChanged, [&](const QString& name) {
            reports << name + (FaceShown(*button) == FaceDisabled ? " disabled" : " shown");
        });
        button->Enabled(false);
        QCOMPARE(lbl(*button).ForeColor(), RGB(161, 161, 146));
        button->Enabled(true);
        QCOMPARE(lbl(*button).ForeColor(), RGB(0, 0, 0));
        QCOMPARE(FaceShown(*button), int(FaceHighlighted));
        // Reported before the face is repainted.
        QCOMPARE(reports, (QStringList{"Enabled shown", "Enabled disabled"}));
    }

    // The font is reported last, after the label has been re-centred for it.
    void aLargerFontRecentresTheLabelBeforeItIsReported() {
        Form form;
        const auto button = form.New();
        button->resize(97, 33);
        float leftWhenReported = 0;
        connect(button.get(), &UserControl::PropertyChanged, [&] { leftWhenReported = lbl(*button).Left(); });
        button->Font(DesignFont(QStringLiteral("DejaVu Sans"), 20, 400));
        QCOMPARE(leftWhenReported, (97 - lbl(*button).Width()) / 2);
        QCOMPARE(lbl(*button).Top(), (33 - lbl(*button).Height()) / 2);
    }

    void roundTripThroughTheBag_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<int>("face");
        QTest::newRow("defaults") << 0 << true << QStringLiteral("xpcmdbutton1") << QStringList{} << int(FaceNormal);
        QTest::newRow("State 1") << 1 << true << QStringLiteral("xpcmdbutton1") << QStringList{"State"}
                                 << int(FaceHighlighted);
        QTest::newRow("State 2") << 2 << true << QStringLiteral("xpcmdbutton1") << QStringList{"State"}
                                 << int(FaceNormal);
        QTest::newRow("disabled") << 0 << false << QStringLiteral("xpcmdbutton1") << QStringList{"Enabled"}
                                  << int(FaceDisabled);
        QTest::newRow("caption") << 0 << true << QStringLiteral("Copy to Clipboard") << QStringList{"Caption"}
                                 << int(FaceNormal);
    }

    void roundTripThroughTheBag() {
        QFETCH(int, state);
        QFETCH(bool, enabled);
        QFETCH(QString, caption);
        QFETCH(QStringList, saved);
        Form form;
        const auto original = form.New();
        original->State(state);
        original->Enabled(enabled);
        original->Caption(caption);
        PropertyBag bag;
        original->WriteProperties(bag);
        QCOMPARE(bag.Count(), static_cast<std::size_t>(saved.size()));
        for (const QString& key : saved) QVERIFY2(bag.Contains(key), qPrintable(key));

        const auto restored = form.Restored(bag);
        QCOMPARE(restored->State(), state);
        QCOMPARE(restored->Enabled(), enabled);
        QCOMPARE(restored->Caption(), caption);
        QCOMPARE(restored->Font(), form.window.font());
        QCOMPARE(lbl(*restored).ForeColor(), enabled ? RGB(0, 0, 0) : RGB(161, 161, 146));
        QTEST(FaceShown(*restored), "face");
    }

    // Entries as a person typed them, in any case, beside the extents the
    // button leaves alone.
    void theMainWindowsSavedInstanceIsRestored() {
        Form form;
        const DesignData data = ReadDesignDataFile(QStringLiteral(DESIGN_FILE));
        const PropertyBag* saved = data.Find(QStringLiteral("xpcmdbutton1"));
        QVERIFY(saved != nullptr);
        QCOMPARE(std::get<std::int32_t>(saved->ReadProperty(QStringLiteral("_extentx"), 0)), 2566);
        QCOMPARE(std::get<std::int32_t>(saved->ReadProperty(QStringLiteral("_extenty"), 0)), 873);
        const auto button = form.Restored(*saved);
        QCOMPARE(button->Caption(), QStringLiteral("Copy to Clipboard"));
        QCOMPARE(button->Font(), DesignFont(QStringLiteral("MS Sans Serif"), 8.25, 400));
        QVERIFY(button->Enabled());
        QCOMPARE(button->State(), 0);
    }

    // What was read before the bad entry keeps its new value; what comes
    // after keeps its old one.
    void badSavedValuesNameTheirKey_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<PropertyValue>("value");
        QTest::addColumn<bool>("stateRead");
        QTest::addColumn<bool>("captionRead");
        QTest::newRow("State not a number") << "State" << PropertyValue(QStringLiteral("high")) << false << false;
        QTest::newRow("State out of range") << "State" << PropertyValue(QStringLiteral("1e12")) << false << false;
        QTest::newRow("Enabled not a Boolean") << "Enabled" << PropertyValue(QStringLiteral("maybe")) << true << false;
        QTest::newRow("Enabled a font") << "enabled" << PropertyValue(QFont()) << true << false;
        QTest::newRow("Caption a font") << "Caption" << PropertyValue(QFont()) << true << false;
        QTest::newRow("Font not a font") << "FONT" << PropertyValue(QStringLiteral("Arial")) << true << true;
    }

    void badSavedValuesNameTheirKey() {
        QFETCH(QString, key);
        QFETCH(PropertyValue, value);
        QFETCH(bool, stateRead);
        QFETCH(bool, captionRead);
        Form form;
        const auto button = form.New();
        PropertyBag bag;
        bag.Store(QStringLiteral("State"), std::int32_t{1});
        bag.Store(QStringLiteral("Caption"), QStringLiteral("Saved"));
        bag.Store(key, value);
        const QString error = ErrorText([&] { button->ReadProperties(bag); });
        QVERIFY2(error.contains(QLatin1Char('"') + key + QLatin1Char('"'), Qt::CaseInsensitive), qPrintable(error));
        QCOMPARE(button->State(), stateRead ? 1 : 0);
        QCOMPARE(button->Caption(), captionRead ? QStringLiteral("Saved") : QStringLiteral("xpcmdbutton1"));
        QCOMPARE(button->Font(), form.window.font());
    }

    // The published interface, as a container or property browser sees it.
    void publishedInterface() {
        const QMetaObject& meta = xpcmdbutton::staticMetaObject;
        const auto info = [&](const char* name) {
            return QString::fromLatin1(meta.classInfo(meta.indexOfClassInfo(name)).value());
        };
        QCOMPARE(info("ClassName"), QStringLiteral("Tallyline.xpcmdbutton"));
        QCOMPARE(info("DispId.State").toUInt(nullptr, 0), 0x68030000u);
        QCOMPARE(info("Description.State"), QStringLiteral("Returns/sets the state of the command button when mouse_out."));
        QCOMPARE(info("Category.Enabled"), QStringLiteral(";Behavior"));
        QCOMPARE(info("DispId.MouseOut"), QStringLiteral("1"));

        QStringList events;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() != QMetaMethod::Signal) continue;
            events << QString::fromLatin1(method.name() + '(' + method.parameterNames().join(',') + ')');
        }
        QCOMPARE(events, (QStringList{"Click()", "KeyDown(KeyCode,Shift)", "KeyPress(KeyAscii)", "KeyUp(KeyCode,Shift)",
                                      "MouseOut()", "MouseDown(Button,Shift,x,Y)", "MouseMove(Button,Shift,x,Y)",
                                      "MouseUp(Button,Shift,x,Y)"}));
        // By reference, so that a container's change is seen afterwards.
        QVERIFY(meta.indexOfSignal("KeyDown(short&,short&)") >= 0);
        QVERIFY(meta.indexOfSignal("KeyPress(short&)") >= 0);
        QVERIFY(meta.indexOfSignal("MouseUp(short&,short&,float&,float&)") >= 0);
    }
};

QTEST_MAIN(TestXpcmdbuttonProperties)
#include "tst_xpcmdbutton_properties.moc"
