// Nothing the window shows is cut off: at the window's own size, with the
// sample open and its images extracted, every caption, button, field and
// table cell has the room its text needs; an image path too long for its
// column is shortened in the middle and whole in its tooltip.
#include "testsupport.h"
#include "tinygif.h"

#include "window/mainwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace velluno;
using namespace velluno::window;
using velluno::test::QueuedDialogs;

namespace {

// The visible controls of `page` whose text does not fit them.
QStringList CutOff(QWidget* page)
{
    QStringList cut;
    auto name = [](QWidget* w, const QString& text) {
        return QStringLiteral("%1 %2 \"%3\"").arg(QLatin1String(w->metaObject()->className()), w->objectName(), text);
    };
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty() && !label->wordWrap() &&
            label->contentsRect().width() < label->fontMetrics().horizontalAdvance(label->text()))
            cut << name(label, label->text());
    }
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && !button->text().isEmpty() && button->width() < button->sizeHint().width())
            cut << name(button, button->text());
    }
    for (QGroupBox* box : page->findChildren<QGroupBox*>()) {
        if (box->isVisible() && box->width() < box->minimumSizeHint().width())
            cut << name(box, box->title());
    }
    for (QLineEdit* edit : page->findChildren<QLineEdit*>()) {
        // Two pixels each side of the text, inside the frame.
        const QMargins m = edit->textMargins();
        const int room = edit->contentsRect().width() - m.left() - m.right() - 4;
        if (edit->isVisible() && room < edit->fontMetrics().horizontalAdvance(edit->text()))
            cut << name(edit, edit->text());
    }
    return cut;
}

// The cells of a table narrower than their text (in their own font, with
// the key column's icon), `skip` left out.
QStringList CutCells(QTableView* view, int skip = -1)
{
    QStringList cut;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column) {
            if (column == skip)
                continue;
            const QModelIndex index = model->index(row, column);
            if (view->columnWidth(column) < view->sizeHintForIndex(index).width())
                cut << QStringLiteral("%1 row %2 column %3 \"%4\"")
                           .arg(view->objectName())
                           .arg(row + 1)
                           .arg(column + 1)
                           .arg(index.data().toString());
        }
    return cut;
}

}  // namespace

class TestWindowSizes : public QObject {
    Q_OBJECT
private slots:
    void nothingIsCutOff();
};

void TestWindowSizes::nothingIsCutOff()
{
    UseProgramLook(true);
    QTemporaryDir dir;
    velluno::test::CopySample(dir.path());
    QueuedDialogs dialogs;
    frmDesktop window(&dialogs);
    window.openSkin(dir.filePath(QStringLiteral("varavave.ski")));
    window.editor().chkConferma.checked = false;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.devicePixelRatio(), 1.0);
    window.findChild<QPushButton*>(QStringLiteral("cmdExportAll"))->click();
    // The pictures of the extracted images widen the preview tab: the
    // window grows once its layouts have answered.
    QTest::qWait(50);
    QCOMPARE(window.width(), window.minimumWidth());

    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QTest::qWait(20);
        const QStringList cut = CutOff(tabs->currentWidget());
        QVERIFY2(cut.isEmpty(), qPrintable(tabs->tabText(tab) + QStringLiteral(": ") + cut.join(QStringLiteral(", "))));
    }

    // The object table: every cell but the paths fits, even a row that turns
    // bold after the table was laid out (an imported image).
    tabs->setCurrentIndex(1);
    auto* values = window.findChild<QTableView*>(QStringLiteral("L_Values"));
    const QString gif = dir.filePath(QStringLiteral("lunga/cartella/dal/nome/molto/lungo/nuovo.gif"));
    velluno::test::WriteFile(gif, velluno::test::SolidGif(4, 4, qRgb(9, 9, 9)));
    dialogs.files.push_back(gif);
    window.editor().chkDim.checked = false;
    values->selectRow(0);
    window.findChild<QPushButton*>(QStringLiteral("cmdImport"))->click();
    QCOMPARE(window.editor().doc.L_Values.row(1).cell(ColState), kStateReplace);
    QTest::qWait(20);
    QStringList cut = CutCells(values, ColPath);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
    // The path takes the room left; shortened, it is whole in its tooltip.
    QCOMPARE(values->horizontalHeader()->sectionResizeMode(ColPath), QHeaderView::Stretch);
    QCOMPARE(values->textElideMode(), Qt::ElideMiddle);
    const QModelIndex path = values->model()->index(0, ColPath);
    QVERIFY(values->columnWidth(ColPath) < values->sizeHintForIndex(path).width());
    QCOMPARE(path.data(Qt::ToolTipRole).toString(), gif.toLower());
    QCOMPARE(path.data().toString(), gif.toLower());

    for (const char* name : {"L_RGBA", "L_Dim"}) {
        auto* view = window.findChild<QTableView*>(QLatin1String(name));
        cut = CutCells(view);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
    }
    QCOMPARE(dialogs.unanswered, 0);
}

QTEST_MAIN(TestWindowSizes)
#include "test_window_sizes.moc"
