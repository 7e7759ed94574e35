// `cmake --install` into a fresh prefix: the programs, the default set, and
// the desktop integration a file manager needs to open a skin with Velluno
// (launcher, MIME type, icons, AppStream metadata), agreeing with each other.
#include "testsupport.h"

#include <QImageReader>
#include <QMimeDatabase>
#include <QProcess>
#include <QTest>
#include <QXmlStreamReader>

using namespace velluno::test;

namespace {

const QString kAppId = QStringLiteral("org.velluno.Velluno");
const QString kSkinType = QStringLiteral("application/x-v980-skin");

// The status of a program run to its end, and what it said on standard error.
std::pair<int, QString> Start(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000))
        qFatal("%s did not finish", qPrintable(program));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

// Every element of that name in an XML file, as "lang|text" ("" for no xml:lang),
// and the `attribute` of the first one when asked for.
QStringList Elements(const QString& path, const QString& name, const QString& attribute = QString())
{
    QStringList found;
    QXmlStreamReader xml(ReadFile(path));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == name) {
            if (!attribute.isEmpty())
                return {xml.attributes().value(attribute).toString()};
            const QString lang = xml.attributes().value("xml:lang").toString();
            found << lang + '|' + xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
        }
    if (xml.hasError())
        qFatal("%s: %s", qPrintable(path), qPrintable(xml.errorString()));
    return found;
}

}  // namespace

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everythingLandsInItsPlace();
    void launcherTypeAndMetadataAgree();
    void aSkinOfAnyCaseHasTheType();

private:
    QTemporaryDir prefix_;
    QString share_;
};

void TestInstall::initTestCase()
{
    const auto [status, err] = Start(VELLUNO_CMAKE, {"--install", VELLUNO_BUILD_DIR, "--prefix", prefix_.path()});
    QVERIFY2(status == 0, qPrintable(err));
    share_ = prefix_.filePath("share");
}

void TestInstall::everythingLandsInItsPlace()
{
    QStringList expected = {"bin/velluno", "bin/velluno-cli", "share/applications/" + kAppId + ".desktop",
                            "share/metainfo/" + kAppId + ".metainfo.xml", "share/mime/packages/" + kAppId + ".xml",
                            "share/doc/velluno/copyright", "share/doc/velluno/changelog.gz"};
    const int sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
    for (int size : sizes)
        expected << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
    const QString defaults = QStringLiteral(VELLUNO_SOURCE_DIR "/assets/default");
    for (const QString& name : Snapshot(defaults).keys())
        if (!name.startsWith('.'))
            expected << "share/velluno/default/" + name;
    expected.sort();
    QCOMPARE(Snapshot(prefix_.path()).keys(), expected);
    QCOMPARE(ReadFile(share_ + "/velluno/default/colors.txt"), ReadFile(defaults + "/colors.txt"));
    // The programs run; each icon has the size its folder names.
    QVERIFY(QFileInfo(prefix_.filePath("bin/velluno")).isExecutable());
    QCOMPARE(Start(prefix_.filePath("bin/velluno-cli"), {"--version"}).first, 0);
    for (int size : sizes)
        QCOMPARE(QImageReader(QStringLiteral("%1/icons/hicolor/%2x%2/apps/%3.png").arg(share_).arg(size).arg(kAppId)).size(),
                 QSize(size, size));
}

void TestInstall::launcherTypeAndMetadataAgree()
{
    // The launcher passes the file the file manager opens, for the skin's type.
    const QStringList desktop = QString::fromUtf8(ReadFile(share_ + "/applications/" + kAppId + ".desktop")).split('\n');
    for (const QString& line : QStringList{"Exec=velluno %f", "MimeType=" + kSkinType + ";", "Icon=" + kAppId})
        QVERIFY2(desktop.contains(line), qPrintable(line));
    const QString metainfo = share_ + "/metainfo/" + kAppId + ".metainfo.xml";
    QCOMPARE(Elements(metainfo, "id"), QStringList({"|" + kAppId}));
    QCOMPARE(Elements(metainfo, "launchable"), QStringList({"|" + kAppId + ".desktop"}));
    QCOMPARE(Elements(metainfo, "mediatype"), QStringList({"|" + kSkinType}));
    QVERIFY(Elements(metainfo, "image").value(0).startsWith("|https://"));
    QVERIFY(Elements(metainfo, "release").value(0).size() > 1);
    // The MIME type, with its English and Italian names.
    const QString package = share_ + "/mime/packages/" + kAppId + ".xml";
    QCOMPARE(Elements(package, "mime-type", "type"), QStringList({kSkinType}));
    QCOMPARE(Elements(package, "comment"), QStringList({"|v980 phone skin", "it|Skin del telefono v980"}));
}

void TestInstall::aSkinOfAnyCaseHasTheType()
{
    // What the desktop does after installing: compile the MIME database,
    // with the prefix among the places it is looked up in.
    qputenv("XDG_DATA_DIRS", (share_ + ":/usr/local/share:/usr/share").toLocal8Bit());
    QCOMPARE(Start("update-mime-database", {share_ + "/mime"}), std::make_pair(0, QString()));
    const QMimeDatabase types;
    for (const char* name : {"varavave.ski", "VARAVAVE.SKI", "Tema.Ski"})
        QCOMPARE(types.mimeTypeForFile(QLatin1String(name), QMimeDatabase::MatchExtension).name(), kSkinType);
    // By its content too, whatever its name.
    QTemporaryDir dir;
    WriteFile(dir.filePath("skin.bak"), ReadFile(SampleDir() + "/varavave.ski"));
    QCOMPARE(types.mimeTypeForFile(dir.filePath("skin.bak"), QMimeDatabase::MatchContent).name(), kSkinType);
    QVERIFY(types.mimeTypeForName(kSkinType).inherits("text/plain"));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
