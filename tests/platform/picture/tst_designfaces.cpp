// The faces the designs' families are drawn in, begun as the program begins
// them: the font configuration read on its own thread while the toolkit
// starts, and the first design font waiting for it.
#include <fontconfig/fontconfig.h>

#include <QFontInfo>
#include <QtTest>

#include "platform/picture/DesignFont.h"
#include "platform/picture/FaceLoading.h"

using namespace tallyline;

namespace {

// Whether one of the machine's own fonts goes by the family's name first:
// a stand-in answers to it only after its own.
bool Installed(const QString& family) {
    FcPattern* const named = FcNameParse(reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcObjectSet* const names = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* const fonts = FcFontList(nullptr, named, names);
    bool installed = false;
    for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
        FcChar8* first = nullptr;
        installed = installed || (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &first) == FcResultMatch &&
                                  family == QString::fromUtf8(reinterpret_cast<const char*>(first)));
    }
    if (fonts != nullptr) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(names);
    FcPatternDestroy(named);
    return installed;
}

}  // namespace

class DesignFaces : public QObject {
    Q_OBJECT

private slots:
    void drawnInTheStandInOfAMissingFamily_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("weight");
        QTest::addColumn<QString>("face");
        QTest::addColumn<bool>("bold");  // a bold face of its own, not the regular one made heavier
        QTest::newRow("MS Sans Serif") << "MS Sans Serif" << 400 << "FreeSans" << false;
        QTest::newRow("MS Sans Serif, bold") << "MS Sans Serif" << 700 << "FreeSans" << true;
        QTest::newRow("Comic Sans MS") << "Comic Sans MS" << 400 << "Comic Neue" << false;
        QTest::newRow("Arial") << "Arial" << 400 << "Liberation Sans" << false;
    }
    void drawnInTheStandInOfAMissingFamily() {
        QFETCH(QString, family);
        QFETCH(int, weight);
        QFETCH(QString, face);
        QFETCH(bool, bold);
        const QFontInfo drawn(DesignFont(family, 9.75, weight));
        if (Installed(family)) QSKIP("the machine has the family itself");
        QCOMPARE(drawn.family(), face);
        QCOMPARE(drawn.styleName().contains(QLatin1String("Bold")), bold);
        // A reader of the program's files is offered the same face.
        QCOMPARE(StandInFaces(family), QStringList(face));
    }
};

int main(int argc, char* argv[]) {
    const FaceLoading faces;
    QApplication app(argc, argv);
    DesignFaces test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_designfaces.moc"
