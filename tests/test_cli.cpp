// The one-shot commands of velluno-cli that read a skin: they run with no
// GUI platform and no display, and change nothing on the disk.
#include "clirun.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QProcess>
#include <QTest>

using namespace velluno::test;

namespace {

// Every file and folder under `dir`, with the size of each file.
QStringList Listing(const QString& dir)
{
    QStringList all;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        all << it.filePath() + QLatin1Char(' ') + QString::number(it.fileInfo().isFile() ? it.fileInfo().size() : -1);
    }
    all.sort();
    return all;
}

}  // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void infoNeedsNoDisplayAndWritesNothing();
    void infoOfWhatIsNoSkin();
};

void TestCli::infoNeedsNoDisplayAndWritesNothing()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QStringList before = Listing(dir.path());
    const Run r = Cli({QStringLiteral("info"), dir.filePath(QStringLiteral("varavave.ski"))});
    QCOMPARE(r.status, 1);  // a problem: no image is extracted yet
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));  // not even a warning about a platform
    QVERIFY(r.out.contains(QStringLiteral("Lines:          139")));
    QVERIFY(r.out.contains(QStringLiteral("Graphic objects: 26")));
    QVERIFY(r.out.contains(QStringLiteral("Saving:         enabled")));
    // The image folder is not made, nothing else is written.
    QCOMPARE(Listing(dir.path()), before);

    // A skin of another name opens for viewing only.
    QVERIFY(QFile::copy(dir.filePath(QStringLiteral("varavave.ski")), dir.filePath(QStringLiteral("altra.ski"))));
    const Run other = Cli({QStringLiteral("info"), QStringLiteral("altra.ski")}, dir.path());
    QCOMPARE(other.status, 1);
    QVERIFY(other.out.contains(QStringLiteral("Saving:         disabled")));
    QVERIFY(other.out.contains(QStringLiteral("only a skin named varavave.ski can be saved")));
}

void TestCli::infoOfWhatIsNoSkin()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("gone/varavave.ski"));
    const Run r = Cli({QStringLiteral("info"), missing});
    QVERIFY(r.status != 0);
    QVERIFY2(r.err.contains(missing) && r.err.contains(QStringLiteral("No such file")), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QCOMPARE(Listing(dir.path()), QStringList());

    // A folder, and a file that is no skin.
    QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("folder.ski"))));
    const Run folder = Cli({QStringLiteral("info"), dir.filePath(QStringLiteral("folder.ski"))});
    QVERIFY(folder.status != 0);
    QVERIFY2(folder.err.contains(QStringLiteral("folder.ski")), qPrintable(folder.err));
    WriteFile(dir.filePath(QStringLiteral("text.ski")), "no magic here\n");
    const Run text = Cli({QStringLiteral("info"), dir.filePath(QStringLiteral("text.ski"))});
    QVERIFY(text.status != 0);
    QVERIFY(text.out.contains(QStringLiteral("does not start with SKI1")));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("text_Gifs"))));

    QCOMPARE(Cli({QStringLiteral("info")}).status, 2);
}

QTEST_MAIN(TestCli)
#include "test_cli.moc"
