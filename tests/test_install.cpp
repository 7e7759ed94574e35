// `cmake --install` into a fresh prefix: the programs, the default set, and
// the desktop integration a file manager needs to open a skin with Velluno
// (launcher, MIME type, icons, AppStream metadata), agreeing with each other.
#include "testsupport.h"

#include <QDirIterator>
#include <QImageReader>
#include <QMimeDatabase>
#include <QProcess>
#include <QTest>
#include <QXmlStreamReader>

using namespace velluno::test;

namespace {

const QString kAppId = QStringLiteral("org.velluno.Velluno");
const QString kSkinType = QStringLiteral("application/x-v980-skin");

struct Run {
    int status = -1;
    QString err;
};

Run Start(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000))
        qFatal("%s did not finish", qPrintable(program));
    Run r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The files under `dir`, relative to it, sorted.
QStringList Files(const QString& dir)
{
    QStringList all;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        all << QDir(dir).relativeFilePath(it.next());
    all.sort();
    return all;
}

// Every element of that name in an XML file: its xml:lang ("" when none)
// and its text.
QList<QPair<QString, QString>> Elements(const QString& path, const QString& name)
{
    QList<QPair<QString, QString>> found;
    QXmlStreamReader xml(ReadFile(path));
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == name) {
            const QString lang = xml.attributes().value(QStringLiteral("xml:lang")).toString();
            found.append({lang, xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified()});
        }
    }
    if (xml.hasError())
        qFatal("%s: %s", qPrintable(path), qPrintable(xml.errorString()));
    return found;
}

// The attribute of the first element of that name.
QString Attribute(const QString& path, const QString& name, const QString& attribute)
{
    QXmlStreamReader xml(ReadFile(path));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == name)
            return xml.attributes().value(attribute).toString();
    return QString();
}

QString Text(const QString& path, const QString& name)
{
    const auto all = Elements(path, name);
    return all.isEmpty() ? QString() : all.first().second;
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
    QVERIFY(prefix_.isValid());
    const Run install = Start(QStringLiteral(VELLUNO_CMAKE),
                              {QStringLiteral("--install"), QStringLiteral(VELLUNO_BUILD_DIR),
                               QStringLiteral("--prefix"), prefix_.path()});
    QVERIFY2(install.status == 0, qPrintable(install.err));
    share_ = prefix_.filePath(QStringLiteral("share"));
}

void TestInstall::everythingLandsInItsPlace()
{
    QStringList expected = {
        QStringLiteral("bin/velluno"),
        QStringLiteral("bin/velluno-cli"),
        QStringLiteral("share/applications/%1.desktop").arg(kAppId),
        QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId),
        QStringLiteral("share/mime/packages/%1.xml").arg(kAppId),
    };
    const int sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
    for (int size : sizes)
        expected << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
    const QString defaults = QStringLiteral(VELLUNO_SOURCE_DIR "/assets/default");
    for (const QString& name : Files(defaults))
        if (!name.startsWith(QLatin1Char('.')))
            expected << QStringLiteral("share/velluno/default/") + name;
    expected.sort();
    QCOMPARE(Files(prefix_.path()), expected);

    // The programs can run; each icon has the size its folder names.
    QVERIFY(QFileInfo(prefix_.filePath(QStringLiteral("bin/velluno"))).isExecutable());
    QCOMPARE(Start(prefix_.filePath(QStringLiteral("bin/velluno-cli")), {QStringLiteral("--version")}).status, 0);
    for (int size : sizes) {
        QImageReader icon(QStringLiteral("%1/icons/hicolor/%2x%2/apps/%3.png").arg(share_).arg(size).arg(kAppId));
        QCOMPARE(icon.size(), QSize(size, size));
    }
    QCOMPARE(ReadFile(prefix_.filePath(QStringLiteral("share/velluno/default/colors.txt"))),
             ReadFile(defaults + QStringLiteral("/colors.txt")));
}

void TestInstall::launcherTypeAndMetadataAgree()
{
    QHash<QString, QString> desktop;
    for (const QByteArray& line : ReadFile(QStringLiteral("%1/applications/%2.desktop").arg(share_, kAppId)).split('\n'))
        if (const int equals = line.indexOf('='); equals > 0)
            desktop.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
    // The file manager passes the file it opens.
    QCOMPARE(desktop.value(QStringLiteral("Exec")), QStringLiteral("velluno %f"));
    QCOMPARE(desktop.value(QStringLiteral("MimeType")), kSkinType + QLatin1Char(';'));
    QCOMPARE(desktop.value(QStringLiteral("Icon")), kAppId);

    const QString metainfo = QStringLiteral("%1/metainfo/%2.metainfo.xml").arg(share_, kAppId);
    QCOMPARE(Text(metainfo, QStringLiteral("id")), kAppId);
    QCOMPARE(Text(metainfo, QStringLiteral("launchable")), kAppId + QStringLiteral(".desktop"));
    QCOMPARE(Text(metainfo, QStringLiteral("mediatype")), kSkinType);
    QVERIFY(Text(metainfo, QStringLiteral("image")).startsWith(QLatin1String("https://")));
    QVERIFY(!Elements(metainfo, QStringLiteral("release")).isEmpty());
    QVERIFY(!Elements(metainfo, QStringLiteral("release")).first().second.isEmpty());

    // The MIME type has its English and Italian names.
    const QString package = QStringLiteral("%1/mime/packages/%2.xml").arg(share_, kAppId);
    QCOMPARE(Attribute(package, QStringLiteral("mime-type"), QStringLiteral("type")), kSkinType);
    const QList<QPair<QString, QString>> comments{{QString(), QStringLiteral("v980 phone skin")},
                                                  {QStringLiteral("it"), QStringLiteral("Skin del telefono v980")}};
    QCOMPARE(Elements(package, QStringLiteral("comment")), comments);
}

void TestInstall::aSkinOfAnyCaseHasTheType()
{
    // What the desktop does after installing: compile the MIME database,
    // with the prefix among the places it is looked up in.
    qputenv("XDG_DATA_DIRS", (share_ + QStringLiteral(":/usr/local/share:/usr/share")).toLocal8Bit());
    const Run update = Start(QStringLiteral("update-mime-database"), {share_ + QStringLiteral("/mime")});
    QVERIFY2(update.status == 0 && update.err.isEmpty(), qPrintable(update.err));
    const QMimeDatabase types;
    for (const char* name : {"varavave.ski", "VARAVAVE.SKI", "Tema.Ski"})
        QCOMPARE(types.mimeTypeForFile(QLatin1String(name), QMimeDatabase::MatchExtension).name(), kSkinType);
    // By its content too, whatever its name.
    QTemporaryDir dir;
    const QString unnamed = dir.filePath(QStringLiteral("skin.bak"));
    WriteFile(unnamed, ReadFile(SampleDir() + QStringLiteral("/varavave.ski")));
    QCOMPARE(types.mimeTypeForFile(unnamed, QMimeDatabase::MatchContent).name(), kSkinType);
    QVERIFY(types.mimeTypeForName(kSkinType).inherits(QStringLiteral("text/plain")));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
