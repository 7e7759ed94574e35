// What velluno-cli's exit status and standard error tell a batch: 0 all
// done, 1 done with problems, 2 bad usage or an input that could not be
// opened; and the pictures of render: the phone's own, in the format of
// their name.
#include "fileaccess.h"
#include "clirun.h"
#include "testsupport.h"

#include "editor/opensave.h"
#include "render/scene.h"

#include <QImage>
#include <QProcess>
#include <QTest>

using namespace velluno;
using namespace velluno::test;

namespace {

// The status of each command on one skin, in the order info, export,
// colours, render, repack, script (which opens, exports and saves).
QList<int> Statuses(const QString& skin, const QString& dir)
{
    WriteFile(dir + QStringLiteral("/session.txt"),
              "answer-file " + skin.toUtf8() + "\ntoolbar LOAD\nclick cmdExportAll\n");
    return {Cli({QStringLiteral("info"), skin}).status,
            Cli({QStringLiteral("export"), skin}).status,
            Cli({QStringLiteral("colours"), skin}).status,
            Cli({QStringLiteral("render"), skin, QStringLiteral("-o"), dir + QStringLiteral("/shot.png")}).status,
            Cli({QStringLiteral("repack"), skin}).status,
            Cli({QStringLiteral("script"), dir + QStringLiteral("/session.txt")}).status};
}

QByteArray Head(const QString& path, int n)
{
    return ReadFile(path).left(n);
}

}  // namespace

class TestCliExit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(DropFileAccessOverride()); }
    void statusOfEveryCommand();
    void reasonsNameFileLineAndSystem();
    void truncatedSkinIsNotRepacked();
    void objectNumberOf300Digits();
    void phonePictureHasNoOutline();
    void pictureFormatFollowsTheName();
};

void TestCliExit::statusOfEveryCommand()
{
    // A good skin, its images extracted: everything done.
    QTemporaryDir good;
    CopySample(good.path());
    const QString skin = good.filePath(QStringLiteral("varavave.ski"));
    QCOMPARE(Cli({QStringLiteral("export"), skin}).status, 0);
    QCOMPARE(Statuses(skin, good.path()), QList<int>({0, 0, 0, 0, 0, 0}));

    // A container cut short: the export and what needs the images say so
    // (status 1, the rows on standard error); colours and the save are
    // not concerned.
    QTemporaryDir faulty;
    CopySample(faulty.path());
    const QString cut = faulty.filePath(QStringLiteral("varavave1.dat"));
    WriteFile(cut, ReadFile(cut).left(500));
    const QString broken = faulty.filePath(QStringLiteral("varavave.ski"));
    const Run exported = Cli({QStringLiteral("export"), broken});
    QCOMPARE(exported.status, 1);
    QVERIFY2(exported.err.contains(QStringLiteral("runs past the end of")), qPrintable(exported.err));
    QVERIFY(exported.out.contains(QStringLiteral("faulty rows")));
    QVERIFY(!exported.out.contains(QStringLiteral("runs past the end of")));
    QCOMPARE(Statuses(broken, faulty.path()), QList<int>({1, 1, 0, 1, 0, 0}));

    // No such skin: 2 for every command; a script that cannot be read keeps
    // its documented 1.
    QTemporaryDir none;
    const QString missing = none.filePath(QStringLiteral("varavave.ski"));
    for (const QString& command : {QStringLiteral("info"), QStringLiteral("export"), QStringLiteral("colours"),
                                   QStringLiteral("repack")}) {
        const Run r = Cli({command, missing});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(missing), qPrintable(r.err));
    }
    QCOMPARE(Cli({QStringLiteral("render"), missing, QStringLiteral("-o"), none.filePath(QStringLiteral("x.png"))}).status, 2);
    QCOMPARE(Cli({QStringLiteral("script"), none.filePath(QStringLiteral("nothing.txt"))}).status, 1);

    // Usage, and the statuses in the help.
    QCOMPARE(Cli({}).status, 2);
    QCOMPARE(Cli({QStringLiteral("frobnicate")}).status, 2);
    QCOMPARE(Cli({QStringLiteral("export"), skin, skin}).status, 2);
    const Run help = Cli({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains(QStringLiteral("exit status")));
    QVERIFY(help.out.contains(QStringLiteral("  1 ")) && help.out.contains(QStringLiteral("  2 ")));
}

void TestCliExit::reasonsNameFileLineAndSystem()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("varavave.ski"));
    const QString folder = dir.filePath(QStringLiteral("cartella.ski"));
    QVERIFY(QDir().mkdir(folder));
    const QString locked = dir.filePath(QStringLiteral("chiusa.ski"));
    WriteFile(locked, "SKI1\n");
    QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    QStringList reasons;
    for (const QString& path : {missing, folder, locked}) {
        const Run r = Cli({QStringLiteral("info"), path});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(path), qPrintable(r.err));
        reasons << r.err.mid(r.err.indexOf(path) + path.size());
    }
    QVERIFY2(reasons[0].contains(QStringLiteral("No such file or directory")), qPrintable(reasons[0]));
    QVERIFY2(reasons[1].contains(QStringLiteral("Is a directory")), qPrintable(reasons[1]));
    QVERIFY2(reasons[2].contains(QStringLiteral("Permission denied")), qPrintable(reasons[2]));

    // A short record on line 10 is line 10.
    const QString shortRecord = dir.filePath(QStringLiteral("corta.ski"));
    WriteFile(shortRecord, "SKI1\n0 a\n2 1 1\n2 2 2\n2 3 3\n2 4 4\n2 5 5\n2 6 6\n4 1 2 3 4\n4 1 2\n");
    const Run info = Cli({QStringLiteral("info"), shortRecord});
    QCOMPARE(info.status, 1);
    QVERIFY2(info.out.contains(shortRecord + QStringLiteral(", line 10: a record with fewer than five fields")),
             qPrintable(info.out));
    QCOMPARE(Cli({QStringLiteral("export"), shortRecord}).status, 2);

    // A picture into a place that cannot hold it: the file and the reason.
    CopySample(dir.filePath(QStringLiteral("sample")));
    const QString target = locked + QStringLiteral("/preview.png");
    const Run render = Cli({QStringLiteral("render"), dir.filePath(QStringLiteral("sample/varavave.ski")),
                            QStringLiteral("-o"), target});
    QCOMPARE(render.status, 1);
    QVERIFY2(render.err.contains(target) && render.err.contains(QStringLiteral("Not a directory")),
             qPrintable(render.err));
    const QString readOnly = dir.filePath(QStringLiteral("sola-lettura"));
    QVERIFY(QDir().mkdir(readOnly));
    QVERIFY(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const Run denied = Cli({QStringLiteral("render"), dir.filePath(QStringLiteral("sample/varavave.ski")),
                            QStringLiteral("-o"), readOnly + QStringLiteral("/preview.png")});
    QCOMPARE(denied.status, 1);
    QVERIFY2(denied.err.contains(QStringLiteral("Permission denied")), qPrintable(denied.err));
    QVERIFY(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
}

void TestCliExit::truncatedSkinIsNotRepacked()
{
    // One line ended by CR LF at line 70 of the 139: info names the problem,
    // repack refuses twice over and leaves every file as it was.
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    QByteArray text = ReadFile(skin);
    qsizetype at = -1;
    for (int i = 0; i < 70; ++i)
        at = text.indexOf('\n', at + 1);
    WriteFile(skin, text.insert(at, '\r'));
    const QByteArray before = ReadFile(skin);

    const Run info = Cli({QStringLiteral("info"), skin});
    QCOMPARE(info.status, 1);
    QVERIFY(info.out.contains(QStringLiteral("Saving:         disabled")));
    QVERIFY2(info.out.contains(skin + QStringLiteral(", line 70: the reading stopped at a carriage return")),
             qPrintable(info.out));
    for (int i = 0; i < 2; ++i) {
        const Run repack = Cli({QStringLiteral("repack"), skin});
        QCOMPARE(repack.status, 1);
        QVERIFY2(repack.err.contains(QStringLiteral("line 70")), qPrintable(repack.err));
        QVERIFY(repack.out.isEmpty());
    }
    QCOMPARE(ReadFile(skin), before);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("varavave_old.ski"))));
}

void TestCliExit::objectNumberOf300Digits()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    const QByteArray huge(300, '9');
    WriteFile(skin, ReadFile(skin).replace("\n5 7 ", "\n5 " + huge + ' '));
    const Run exported = Cli({QStringLiteral("export"), skin});
    QCOMPARE(exported.status, 1);
    QVERIFY2(exported.err.contains(QString::fromLatin1(huge) + QStringLiteral(": the object number has 16 digits or more")),
             qPrintable(exported.err));
    QVERIFY(!exported.err.contains(QStringLiteral("Empty filename")));
    QVERIFY(exported.out.contains(QStringLiteral("25 images extracted")));
    QVERIFY(exported.out.contains(QStringLiteral("1 faulty rows")));
    const Run info = Cli({QStringLiteral("info"), skin});
    QVERIFY2(info.out.contains(QStringLiteral("1 object(s) whose number has 16 digits or more name no image file: ") +
                               QString::fromLatin1(huge)),
             qPrintable(info.out));
}

void TestCliExit::phonePictureHasNoOutline()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    QCOMPARE(Cli({QStringLiteral("export"), skin}).status, 0);
    const QString editorShot = dir.filePath(QStringLiteral("editor.png"));
    const QString phoneShot = dir.filePath(QStringLiteral("phone.png"));
    QCOMPARE(Cli({QStringLiteral("render"), skin, QStringLiteral("--no-wallpaper"), QStringLiteral("-o"), editorShot}).status, 0);
    QCOMPARE(Cli({QStringLiteral("render"), skin, QStringLiteral("--no-wallpaper"), QStringLiteral("--phone"),
                  QStringLiteral("-o"), phoneShot}).status, 0);
    const QImage editorPicture = QImage(editorShot).convertToFormat(QImage::Format_RGB32);
    const QImage phone = QImage(phoneShot).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(phone.size(), QSize(kCanvasWidth, kCanvasHeight));

    // Where the editor draws an outline and nothing else lies, the phone
    // shows the background colour.
    Session s;
    s.open(skin);
    Scene& scene = s.editor.canvas;
    if (s.editor.chkWallPaper.enabled && s.editor.chkWallPaper.checked)
        scene.wallpaperPicture = QImage();
    QVERIFY(scene.outlines.size() >= 10);
    QVector<QRect> items;
    for (const TextItem* t : {&scene.lblOperatore, &scene.lblData, &scene.lblOra})
        if (t->visible)
            items << QRect(t->x, t->y, t->width, t->height);
    for (const ImageItem* i : {&scene.PicTime, &scene.Img[0], &scene.Img[1], &scene.Img[2]})
        if (i->visible && !i->picture.isNull())
            items << QRect(QPoint(i->x, i->y), i->picture.size());
    for (const LineItem* l : {&scene.LineMin, &scene.LineOra})
        if (l->visible)
            items << QRect(QPoint(qMin(l->x1, l->x2), qMin(l->y1, l->y2)), QPoint(qMax(l->x1, l->x2), qMax(l->y1, l->y2)));
    const QRgb background = ToQColor(scene.background).rgb();
    int checked = 0;
    for (const Outline& o : scene.outlines) {
        const QRect box(QPoint(qMin(o.x1, o.x2), qMin(o.y1, o.y2)), QPoint(qMax(o.x1, o.x2), qMax(o.y1, o.y2)));
        for (int x = box.left(); x <= box.right(); ++x) {
            for (int y = box.top(); y <= box.bottom(); ++y) {
                const bool edge = x == box.left() || x == box.right() || y == box.top() || y == box.bottom();
                const QPoint p(x, y);
                if (!edge || !phone.rect().contains(p))
                    continue;
                bool covered = false;
                for (const QRect& r : items)
                    covered = covered || r.adjusted(-1, -1, 1, 1).contains(p);
                if (covered)
                    continue;
                QCOMPARE(editorPicture.pixel(p), ToQColor(o.colour).rgb());
                QCOMPARE(phone.pixel(p), background);
                ++checked;
            }
        }
    }
    QVERIFY(checked > 500);
}

void TestCliExit::pictureFormatFollowsTheName()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    QCOMPARE(Cli({QStringLiteral("export"), skin}).status, 0);
    const struct {
        const char* name;
        QByteArray magic;
    } formats[] = {{"a.png", "\x89PNG"}, {"b.jpg", "\xFF\xD8\xFF"}, {"c.JPEG", "\xFF\xD8\xFF"}, {"d.bmp", "BM"}};
    for (const auto& f : formats) {
        const QString out = dir.filePath(QString::fromLatin1(f.name));
        QCOMPARE(Cli({QStringLiteral("render"), skin, QStringLiteral("--phone"), QStringLiteral("-o"), out}).status, 0);
        QCOMPARE(Head(out, f.magic.size()), f.magic);
        QCOMPARE(QImage(out).size(), QSize(kCanvasWidth, kCanvasHeight));
    }
    for (const char* name : {"e.gif", "f", "g.png.txt"}) {
        const QString out = dir.filePath(QString::fromLatin1(name));
        const Run r = Cli({QStringLiteral("render"), skin, QStringLiteral("-o"), out});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(QStringLiteral(".png, .jpg (.jpeg) or .bmp")), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(out));
    }
}

QTEST_MAIN(TestCliExit)
#include "test_cli_exit.moc"
