// The graphic-objects tab in the real window (offscreen): a GIF dropped on a
// row, the pane's picture (top left, animated), an image file changed on the
// disk, and "Esporta tutto" keeping an image edited by hand.
#include "testsupport.h"
#include "windowsupport.h"
#include "tinygif.h"

#include "skin/files.h"
#include "window/mainwindow.h"
#include "window/widgets.h"

#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMovie>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QUrl>

using namespace velluno;
using namespace velluno::window;
using namespace velluno::test;
using velluno::test::QueuedDialogs;

namespace {


// The window on a copy of the sample, extracted, on the graphic-objects tab.
struct Window {
    QueuedDialogs dialogs;
    frmDesktop window{&dialogs};
    QTemporaryDir dir;
    Window()
    {
        ShowAndWait(window, false);
        OpenSampleCopy(window, dialogs, dir.path());
        if (editor().doc.L_Values.count() == 0)
            qFatal("the sample did not open");
        Child<QTabWidget>(window, QStringLiteral("SSTab1"))->tabBar()->setCurrentIndex(1);
        click(QStringLiteral("cmdExportAll"));
    }
    Editor& editor() { return window.editor(); }
    void click(const QString& button) { QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton); }
    QTableView* values() { return Child<QTableView>(window, QStringLiteral("L_Values")); }
    GifPane* pane() { return Child<GifPane>(window, QStringLiteral("WB")); }
    QString status() { return Child<QLabel>(window, QStringLiteral("SB0"))->text(); }
    int row(const QString& key) { return editor().doc.L_Values.findKey(key); }
    QString image(const QString& key) { return ImagePathOf(editor().doc.L_Values.row(row(key))); }
    // Clicks a row in the view, as the user does.
    void clickRow(const QString& key)
    {
        const QModelIndex index = values()->model()->index(row(key) - 1, 1);
        values()->scrollTo(index);
        QTest::mouseClick(values()->viewport(), Qt::LeftButton, {}, values()->visualRect(index).center());
    }
    // Drops a file on a row, as a file manager does.
    bool drop(const QString& key, const QString& file)
    {
        const QModelIndex index = values()->model()->index(row(key) - 1, 2);
        values()->scrollTo(index);
        return DropFile(values()->viewport(), values()->visualRect(index).center(), file);
    }
    QImage paneShown() { return pane()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

}  // namespace

class TestWindowObjects : public QObject {
    Q_OBJECT
private slots:
    void dropOnARowImportsTheFile();
    void paneShowsAtTheTopLeftAndAnimates();
    void changedImageFileRedrawsThePreview();
    void exportKeepsAnImageEditedByHand();
};

void TestWindowObjects::dropOnARowImportsTheFile()
{
    Window w;
    Editor& e = w.editor();
    w.clickRow(QStringLiteral("0631"));
    QCOMPARE(e.doc.L_Values.row(e.doc.L_Values.selected()).key(), QStringLiteral("0631"));
    // The released key's own size, so that "Verifica dimensioni" lets it in.
    const QString file = w.dir.filePath(QStringLiteral("Nuovo Tasto.gif"));
    velluno::test::WriteFile(file, velluno::test::SolidGif(77, 22, qRgb(255, 0, 255)));
    QVERIFY(w.drop(QStringLiteral("0630"), file));
    const Row& r = e.doc.L_Values.row(w.row(QStringLiteral("0630")));
    QCOMPARE(r.cell(ColState), kStateReplace);
    QCOMPARE(ImagePathOf(r), file.toLower());
    // The view shows the core: the row selected, its cells, the pane's picture.
    QCOMPARE(w.values()->currentIndex().row() + 1, w.row(QStringLiteral("0630")));
    QCOMPARE(w.values()->model()->index(w.row(QStringLiteral("0630")) - 1, ColPath).data().toString(),
             file.toLower());
    QCOMPARE(w.pane()->shownFile(), file.toLower());
    QCOMPARE(w.paneShown().pixel(0, 0), qRgb(255, 0, 255));
    QCOMPARE(Child<QLabel>(w.window, QStringLiteral("lInfo"))->text(), QStringLiteral("(hxw) = 22x77"));
    QCOMPARE(w.dialogs.unanswered, 0);

    // A file of another size is refused with the core's message; a drop
    // beside the rows is not taken.
    const QString other = w.dir.filePath(QStringLiteral("altro.gif"));
    velluno::test::WriteFile(other, velluno::test::SolidGif(5, 5, qRgb(0, 0, 0)));
    QVERIFY(w.drop(QStringLiteral("0640"), other));
    QVERIFY(!e.messages.isEmpty());
    QCOMPARE(e.messages.last().text,
             QStringLiteral("Le dimensioni dell'immagine che si vuole importare, non corrispondono!"));
    QVERIFY(ImagePathOf(e.doc.L_Values.row(w.row(QStringLiteral("0640")))) != other.toLower());
}

void TestWindowObjects::paneShowsAtTheTopLeftAndAnimates()
{
    Window w;
    Editor& e = w.editor();
    // A still image: its top-left pixel at the pane's top-left pixel.
    const QVector<QRgb> palette{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 9, 9)};
    QVector<int> pixels(6 * 4, 3);
    pixels[0] = 0;
    pixels[1] = 1;
    pixels[6] = 2;
    velluno::test::WriteFile(w.image(QStringLiteral("0640")), velluno::test::TinyGif(6, 4, palette, pixels));
    w.clickRow(QStringLiteral("0640"));
    QCOMPARE(w.pane()->shownFile(), e.WBImage);
    QVERIFY(!w.pane()->animated());
    const QImage shown = w.paneShown();
    QCOMPARE(shown.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(1, 0), qRgb(0, 255, 0));
    QCOMPARE(shown.pixel(0, 1), qRgb(0, 0, 255));
    QCOMPARE(shown.pixel(6, 0), qRgb(255, 255, 255));  // beside the picture: the pane's white

    const QString corpus = velluno::test::CorpusDir();
    if (corpus.isEmpty())
        QSKIP("VELLUNO_CORPUS does not point at a folder with gif-test-suite/");
    // An animated GIF animates.
    QVERIFY(QFile::remove(w.image(QStringLiteral("0641"))));
    QVERIFY(QFile::copy(corpus + QStringLiteral("/gif-test-suite/animated_loop.gif"), w.image(QStringLiteral("0641"))));
    w.clickRow(QStringLiteral("0641"));
    QVERIFY(w.pane()->animated());
    QVERIFY(w.pane()->movie()->frameCount() > 1);
    // Asked anew each time: the copy above may still reach the watcher,
    // which reloads the pane's movie from the start.
    QTRY_VERIFY_WITH_TIMEOUT(w.pane()->movie() && w.pane()->movie()->currentFrameNumber() > 0, 3000);
    // The empty page empties the pane.
    QVERIFY(QFile::remove(w.image(QStringLiteral("0642"))));
    w.clickRow(QStringLiteral("0642"));
    QVERIFY(!w.pane()->animated());
    QVERIFY(w.pane()->pixmap().isNull());
}

void TestWindowObjects::changedImageFileRedrawsThePreview()
{
    Window w;
    Editor& e = w.editor();
    Child<QTabWidget>(w.window, QStringLiteral("SSTab1"))->tabBar()->setCurrentIndex(0);
    auto* view = Child<CanvasView>(w.window, QStringLiteral("PicDesktop"));
    auto* picture = Child<ObjectPictureButton>(w.window, QStringLiteral("Pic_630"));
    const int zoom = view->zoom();
    auto softKey = [&] { return view->grab().toImage().pixel(3 * zoom, 201 * zoom); };
    const QRgb before = softKey();
    QVector<QString> states;
    for (const Row& r : e.doc.L_Values.rows())
        states << r.cells().join(QLatin1Char('|'));
    // The left soft key (object 630) painted over in an image editor.
    velluno::test::WriteFile(w.image(QStringLiteral("0630")), velluno::test::SolidGif(77, 22, qRgb(0, 250, 0)));
    QTRY_COMPARE_WITH_TIMEOUT(softKey(), qRgb(0, 250, 0), 1000);
    QVERIFY(before != qRgb(0, 250, 0));
    QCOMPARE(picture->picture().pixel(4, 4), qRgb(0, 250, 0));
    // Taken as a replacement by the edited file; no other row changes.
    for (int i = 0; i < e.doc.L_Values.count(); ++i)
        if (e.doc.L_Values.row(i + 1).key() != QLatin1String("0630"))
            QCOMPARE(e.doc.L_Values.row(i + 1).cells().join(QLatin1Char('|')), states.at(i));

    // Replaced by a new file (as most editors save): still watched.
    const QString path = ResolveFile(w.image(QStringLiteral("0630")));
    velluno::test::WriteFile(path + QStringLiteral(".tmp"), velluno::test::SolidGif(77, 22, qRgb(250, 0, 0)));
    QVERIFY(std::rename(QFile::encodeName(path + QStringLiteral(".tmp")).constData(),
                        QFile::encodeName(path).constData()) == 0);
    QTRY_COMPARE_WITH_TIMEOUT(softKey(), qRgb(250, 0, 0), 1000);
    velluno::test::WriteFile(path, velluno::test::SolidGif(77, 22, qRgb(0, 0, 250)));
    QTRY_COMPARE_WITH_TIMEOUT(softKey(), qRgb(0, 0, 250), 1000);
}

void TestWindowObjects::exportKeepsAnImageEditedByHand()
{
    Window w;
    const QString path = ResolveFile(w.image(QStringLiteral("0640")));
    const QByteArray extracted = velluno::test::ReadFile(path);
    const QByteArray mine = velluno::test::SolidGif(8, 8, qRgb(1, 2, 3));
    velluno::test::WriteFile(path, mine);
    w.click(QStringLiteral("cmdExportAll"));
    QCOMPARE(velluno::test::ReadFile(path + QStringLiteral(".1")), mine);
    QCOMPARE(velluno::test::ReadFile(path), extracted);
    QCOMPARE(w.status(),
             QStringLiteral("Esporta tutto: 1 immagine modificata a mano è stata conservata come 640.gif.1."));
    QVERIFY(w.editor().messages.isEmpty() ||
            w.editor().messages.last().title != QStringLiteral("Errore:"));
}

QTEST_MAIN(TestWindowObjects)
#include "test_window_objects.moc"
