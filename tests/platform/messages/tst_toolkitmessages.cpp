#include <QProcess>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <map>

#include "platform/messages/ToolkitMessages.h"

using namespace tallyline;

namespace {

// Each policy runs in a process of its own, this program started again with
// the scenario's name: a policy lasts for the rest of its process, and a
// fatal message ends it.
const std::map<QString, std::function<void()>> kScenarios = {
    {"only critical", [] {
         WriteOnlyCriticalMessages();
         qDebug("debug");
         qInfo("info");
         qWarning("warning");
         qCritical("critical");
     }},
    {"only critical, fatal", [] {
         WriteOnlyCriticalMessages();
         qWarning("warning");
         qFatal("fatal");
     }},
    {"held", [] {
         {
             const HeldMessages held("no display");
             qWarning("warning");
             qCritical("critical");
             std::fputs("while held\n", stderr);
         }
         std::fputs("after\n", stderr);
     }},
    {"held, then only critical again", [] {
         WriteOnlyCriticalMessages();
         { const HeldMessages held("no display"); qWarning("held"); }
         qWarning("dropped");
         qCritical("critical");
     }},
};

}  // namespace

class ToolkitMessagesTest : public QObject {
    Q_OBJECT
private slots:
    // What reaches standard error, in order, and how the process ends.
    void policyDecidesWhatIsWritten_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("ending");
        QTest::newRow("01 the rest dropped") << "only critical" << "critical\n" << "exit 0";
        QTest::newRow("02 fatal written, aborts") << "only critical, fatal" << "fatal\n" << "crash";
        QTest::newRow("03 held until the end") << "held" << "while held\nwarning\ncritical\nafter\n" << "exit 0";
        QTest::newRow("04 the policy before is back") << "held, then only critical again" << "held\ncritical\n"
                                                     << "exit 0";
    }
    void policyDecidesWhatIsWritten() {
        QFETCH(QString, scenario);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
        environment.remove(QStringLiteral("QT_LOGGING_RULES"));
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--scenario"), scenario});
        QVERIFY(process.waitForFinished(30000));
        QTEST(QString::fromLocal8Bit(process.readAllStandardError()), "written");
        const QString ending = process.exitStatus() == QProcess::CrashExit
                                   ? QStringLiteral("crash")
                                   : QStringLiteral("exit %1").arg(process.exitCode());
        QTEST(ending, "ending");
    }
};

int main(int argc, char* argv[]) {
    if (argc == 3 && qstrcmp(argv[1], "--scenario") == 0) {
        kScenarios.at(QString::fromLocal8Bit(argv[2]))();
        return 0;
    }
    QCoreApplication application(argc, argv);
    ToolkitMessagesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_toolkitmessages.moc"
