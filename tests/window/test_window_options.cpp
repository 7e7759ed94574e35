// The window's command-line options: a number out of range stops the
// program with a usage message and exit status 2 before any window shows.
#include <QProcess>
#include <QTest>

namespace {

struct Run {
    int status = -1;
    QString err;
};

Run Velluno(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno"), args + QStringList{QStringLiteral("--quit-when-shown")});
    if (!p.waitForFinished(60000))
        qFatal("velluno did not finish");
    Run r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace

class TestWindowOptions : public QObject {
    Q_OBJECT
private slots:
    void refusesNumbersOutOfRange_data();
    void refusesNumbersOutOfRange();
    void takesNumbersInRange();
};

void TestWindowOptions::refusesNumbersOutOfRange_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("why");
    QTest::newRow("tab 9") << QStringList{"--tab", "9"} << "--tab 9: a whole number from 0 to 5";
    QTest::newRow("tab -1") << QStringList{"--tab=-1"} << "--tab -1: a whole number from 0 to 5";
    QTest::newRow("tab abc") << QStringList{"--tab", "abc"} << "--tab abc: a whole number from 0 to 5";
    QTest::newRow("zoom 7") << QStringList{"--zoom", "7"} << "--zoom 7: a whole number from 1 to 3";
    QTest::newRow("zoom 0") << QStringList{"--zoom", "0"} << "--zoom 0: a whole number from 1 to 3";
    QTest::newRow("zoom 2.5") << QStringList{"--zoom", "2.5"} << "--zoom 2.5: a whole number from 1 to 3";
}

void TestWindowOptions::refusesNumbersOutOfRange()
{
    QFETCH(QStringList, args);
    QFETCH(QString, why);
    const Run r = Velluno(args);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(QStringLiteral("velluno: ") + why), qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("--zoom <N>")));  // the usage follows
}

void TestWindowOptions::takesNumbersInRange()
{
    QCOMPARE(Velluno({QStringLiteral("--tab"), QStringLiteral("5"), QStringLiteral("--zoom"), QStringLiteral("3")}).status, 0);
    QCOMPARE(Velluno({QStringLiteral("--tab"), QStringLiteral("0"), QStringLiteral("--zoom"), QStringLiteral("1")}).status, 0);
}

QTEST_MAIN(TestWindowOptions)
#include "test_window_options.moc"
