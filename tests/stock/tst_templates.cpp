#include <QtTest>

#include <QTemporaryDir>

#include "stock/TemplateCatalogue.h"

using namespace tallyline;

namespace {

const QByteArray kPapers = R"(<Glabels-paper-sizes>
  <Paper-size id="A4" _name="A4" pwg_size="iso_a4" width="210mm" height="297mm"/>
</Glabels-paper-sizes>
)";

// A template file of the folder's own, each template on a line of its own.
QByteArray Templates(const QByteArray& body) {
    return "<?xml version=\"1.0\"?>\n<Glabels-templates>\n" + body + "</Glabels-templates>\n";
}

// A folder of the papers and one template file; the catalogue read from it.
TemplateCatalogue CatalogueOf(const QByteArray& templates) {
    QTemporaryDir folder;
    for (const auto& [name, bytes] :
         {std::pair{"paper-sizes.xml", kPapers}, std::pair{"own-templates.xml", templates}}) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write %s", name);
    }
    return TemplateCatalogue(folder.path());
}

}  // namespace

// What the label makers' templates say: lengths in their units, papers,
// equivalent parts, layouts in reading order, shapes and margins; a file
// that is not one named by its line, a faulty installed template left out
// until it is asked for. The installed products' places are test_sheets.py's.
class TemplatesTest : public QObject {
    Q_OBJECT

private slots:
    // Two layouts of one sheet read row by row across both; an equivalent
    // part keeps its own name; round and CD labels, margins; lengths in each
    // unit, none meaning points.
    void ownTemplates() {
        const TemplateCatalogue catalogue = CatalogueOf(Templates(R"(
  <Template brand="Own" part="Bond" size="A4" _description="Running bond">
    <Label-rectangle id="0" width="50mm" height="20mm" round="2mm">
      <Markup-margin size="1.5mm"/>
      <Layout nx="2" ny="2" x0="1cm" y0=" 10 mm" dx="60mm" dy="40mm"/>
      <Layout nx="1" ny="2" x0="113.3858" y0="30mm" dx="0" dy="9.4488pc"/>
    </Label-rectangle>
  </Template>
  <Template brand="Own" part="Bond-2" equiv="Bond"/>
  <Template brand="Own" part="Disc" size="Other" width="4in" height="5in">
    <Label-cd id="0" radius="58.5mm" hole="18mm" height="80mm">
      <Layout nx="1" ny="1" x0="0" y0="0"/>
    </Label-cd>
  </Template>
)"));
        QCOMPARE(catalogue.Templates().size(), std::size_t{3});
        const LabelTemplate* bond = catalogue.Find("own bond2");
        QVERIFY(bond);
        QCOMPARE(bond->Product(), QString("Own Bond-2"));
        QCOMPARE(bond->description, QString("Running bond"));
        QCOMPARE(bond->paperName, QString("A4"));
        const double mm = 72 / 25.4;
        QCOMPARE(bond->markupMargin, 1.5 * mm);
        QCOMPARE(bond->cornerRadius, 2 * mm);
        std::vector<QPointF> rows;
        for (const auto& [x, y] : {std::pair{10, 10}, {70, 10}, {40, 30}, {10, 50}, {70, 50}, {40, 70}})
            rows.push_back(QPointF(x * mm, y * mm));
        QCOMPARE(bond->labels.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            QVERIFY((bond->labels[i] - rows[i]).manhattanLength() < 1e-3);
        }
        const LabelTemplate* disc = catalogue.Find("OWN-DISC");
        QVERIFY(disc);
        QCOMPARE(disc->shape, LabelShape::Cd);
        QCOMPARE(disc->label, QSizeF(117 * mm, 80 * mm));
        QCOMPARE(disc->holeRadius, 18 * mm);
        QCOMPARE(disc->paperName, QString("101.6 x 127.0 mm"));
    }

    void notTemplates_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("says");
        QTest::newRow("01 not XML") << QByteArray("Avery 5160\n") << ":1: not a template file";
        QTest::newRow("02 another file") << QByteArray("<svg/>")
                                         << ":1: not a Glabels-templates file: it starts with <svg>";
        QTest::newRow("03 cut short") << Templates("<Template brand=\"A\" part=\"1\" size=\"A4\">\n").left(80)
                                      << "not a template file";
        QTest::newRow("04 no part") << Templates("<Template brand=\"A\" size=\"A4\"/>\n")
                                    << ":3: <Template> needs part";
        QTest::newRow("05 no such paper")
            << Templates("<Template brand=\"A\" part=\"1\" size=\"A99\"/>\n") << ":3: size=\"A99\" names no paper";
        QTest::newRow("06 equivalent of nothing") << Templates("<Template brand=\"A\" part=\"2\" equiv=\"1\"/>\n")
                                                  << ":3: equiv=\"1\": no A 1 comes before it";
        for (const char* length : {"2 inches", "-1mm", "1e9in", "nan"}) {
            QTest::addRow("07 %s", length) << Templates(
                                                  "<Template brand=\"A\" part=\"1\" size=\"A4\">\n"
                                                  "<Label-rectangle width=\"" +
                                                  QByteArray(length) + "\" height=\"1in\"/>\n</Template>\n")
                                           << QString(":4: width=\"%1\" is not a length").arg(length);
        }
        QTest::newRow("08 no layout") << Templates(
                                             "<Template brand=\"A\" part=\"1\" size=\"A4\">\n"
                                             "<Label-round radius=\"1in\">\n</Label-round>\n</Template>\n")
                                      << ":5: the label has no <Layout>";
        QTest::newRow("09 no labels across") << Templates(
                                                    "<Template brand=\"A\" part=\"1\" size=\"A4\">\n"
                                                    "<Label-round radius=\"1in\">\n<Layout nx=\"0\" ny=\"1\"/>\n"
                                                    "</Label-round>\n</Template>\n")
                                             << ":5: nx=\"0\" is not a number of labels";
        QTest::newRow("10 a shape laid out nowhere here") << Templates(
                                                                 "<Template brand=\"A\" part=\"1\" size=\"A4\">\n"
                                                                 "<Label-path d=\"M 0 0\"/>\n</Template>\n")
                                                          << ":4: <Label-path> is not a label shape";
    }
    void notTemplates() {
        QFETCH(QByteArray, file);
        QFETCH(QString, says);
        QTemporaryDir folder;
        const QString path = folder.filePath("own.xml");
        QFile written(path);
        QVERIFY(written.open(QIODevice::WriteOnly) && written.write(file) == file.size());
        written.close();
        try {
            ChosenTemplate(path);
            QFAIL("a file that is not a template was taken for one");
        } catch (const TemplateFileError& error) {
            const QString what = error.what();
            QVERIFY2(what.startsWith(path + ":") && what.contains(says), qPrintable(what));
        }
    }

    // One installed template writes a corner of "in": it alone is left out,
    // and asking for it says why.
    void faultyInstalledTemplateNamed() {
        const TemplateCatalogue installed;
        QVERIFY(installed.Templates().size() > 1700);
        QVERIFY(!installed.Holding("Mailing").empty());
        try {
            installed.Find("Online Labels OL320 (rectangle)");
            QFAIL("the faulty template was taken");
        } catch (const TemplateFileError& error) {
            QVERIFY2(QString(error.what()).contains("online-templates.xml:1590: round=\"in\""), error.what());
        }
    }
};

QTEST_APPLESS_MAIN(TemplatesTest)
#include "tst_templates.moc"
