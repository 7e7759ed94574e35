// The window at home on a desktop (offscreen): a skin dropped on it from a
// file manager or named on its command line, the program's options, the
// programs starting without a word from Qt, and nothing it shows cut off.
#include "testsupport.h"
#include "tinygif.h"
#include "windowsupport.h"

#include "render/scene.h"
#include "window/icons.h"
#include "window/language.h"
#include "window/mainwindow.h"
#include "window/qtdialogs.h"
#include "window/widgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QRegularExpression>
#include <QTimer>
#include <QCheckBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>


using namespace velluno;
using namespace velluno::window;
using namespace velluno::test;

namespace {

// A program run to its end: its status (-1 when it crashed) and what it said.
std::pair<int, QString> Start(const QString& program, const QStringList& args,
                              QProcessEnvironment env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    if (!env.contains("QT_QPA_PLATFORM"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        qFatal("%s did not finish", qPrintable(program));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

// The visible captions, buttons and fields of `page` whose text does not fit them.
QStringList CutOff(QWidget* page)
{
    QStringList cut;
    for (QLabel* label : page->findChildren<QLabel*>())
        if (label->isVisible() && !label->wordWrap() && label->contentsRect().width() < label->fontMetrics().horizontalAdvance(label->text()))
            cut << label->text();
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
        if (button->isVisible() && !button->text().isEmpty() && button->width() < button->sizeHint().width())
            cut << button->text();
    for (QLineEdit* edit : page->findChildren<QLineEdit*>())  // two pixels each side of the text
        if (edit->isVisible() && edit->contentsRect().width() - 4 < edit->fontMetrics().horizontalAdvance(edit->text()))
            cut << edit->objectName() + " " + edit->text();
    return cut;
}

}  // namespace

class TestWindowDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseProgramLook(true); }  // the look the program starts with
    void skinsDroppedOrNamedOpen();
    void standardDialogsSpeakItalian();
    void optionsOutOfRangeAreRefused();
    void programsStartWithoutAWord();
    void nothingIsCutOff();
};

void TestWindowDesktop::skinsDroppedOrNamedOpen()
{
    QTemporaryDir first, second;
    CopySample(first.path());
    CopySample(second.path());
    const QString skin = first.filePath("varavave.ski"), other = second.filePath("varavave.ski");
    // What LOAD shows for a skin, at the same clock.
    auto loaded = [](const QString& path) {
        Session s;
        s.open(path);
        return s.preview();
    };
    TestDialogs dialogs;
    MainWindow window(&dialogs);
    window.editor().now = [] { return QDateTime(QDate(2026, 3, 7), QTime(9, 5)); };
    ShowAndWait(window, false);
    auto* preview = Child<CanvasView>(window, "PicDesktop");
    auto* status = Child<QLabel>(window, "SB0");
    // Dropped on the preview: the status bar names it, the preview shows it.
    QVERIFY(DropFile(preview, preview->rect().center(), skin));
    QCOMPARE(status->text(), "Skin: " + skin);
    QCOMPARE(preview->canvas(), loaded(skin));
    // Dropped on the object table, a skin is no image for a row: it
    // replaces the open skin, as LOAD would, without asking.
    Child<QTabWidget>(window, "SSTab1")->setCurrentIndex(1);
    auto* values = Child<QTableView>(window, "L_Values");
    QVERIFY(DropFile(values->viewport(), values->viewport()->rect().center(), other));
    QCOMPARE(status->text(), "Skin: " + other);
    QCOMPARE(preview->canvas(), loaded(other));
    QCOMPARE(values->model()->rowCount(), Keys(Dump(window.editor()), "L_Values").size());
    // Whatever else is dragged over the window is not taken.
    QVERIFY(!DropFile(preview, preview->rect().center(), first.filePath("wallpaper.jpg")));
    QVERIFY(!DropFile(status, status->rect().center(), first.filePath("wallpaper.jpg")));
    // Named on the command line.
    window.openSkin(skin);
    QCOMPARE(status->text(), "Skin: " + skin);
    QVERIFY(Child<QAction>(window, "SAVE")->isEnabled());
    QCOMPARE(dialogs.unanswered, 0);
    QVERIFY(Dump(window.editor())["messages"].toArray().isEmpty());
}

void TestWindowDesktop::standardDialogsSpeakItalian()
{
    // The message box, the file and the colour dialog as the window opens
    // them, pictured into the build folder, with the English words of their
    // buttons and captions: some before Qt's translations are installed (the
    // check sees English), none after.
    const QStringList english = {"Yes", "Cancel", "Open", "Look in", "File name", "Files of type", "Select Color",
                                 "Basic colors", "Custom colors", "Hue", "Red", "Green", "Blue"};
    QWidget parent;
    QtDialogs dialogs(&parent);
    const QString pictures = QStringLiteral(VELLUNO_BIN_DIR "/../dialogs/");
    QVERIFY(QDir().mkpath(pictures));
    auto englishIn = [&](const QString& language) {
        QStringList found;
        auto look = [&](const QString& name) {
            QTimer::singleShot(200, [&, name] {
                auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                QVERIFY2(box, qPrintable(name));
                box->grab().save(pictures + name + "-" + language + ".png");
                QStringList texts{box->windowTitle()};
                for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
                    texts << (b->isVisible() ? b->text().remove('&') : QString());
                for (QLabel* l : box->findChildren<QLabel*>())
                    texts << (l->isVisible() ? l->text().remove('&') : QString());
                for (const QString& word : english)
                    if (texts.join('\n').contains(QRegularExpression("\\b" + word + "\\b")))
                        found << name + ": " + word;
                box->reject();
            });
        };
        look("message");
        dialogs.message("Confermi?", "Domanda:", MsgIcon::Question, MsgButtons::YesNo);
        look("file");
        dialogs.openFile("Importa GIF...", "GIF Image (*.gif)|*.gif", "630", SampleDir());
        look("colour");
        dialogs.chooseColour(0x0000FF);
        return found;
    };
    QVERIFY(englishIn("en").size() > 5);
    QVERIFY(SpeakItalian(*qApp));
    const QStringList left = englishIn("it");
    QVERIFY2(left.isEmpty(), qPrintable(left.join(", ")));
}

void TestWindowDesktop::optionsOutOfRangeAreRefused()
{
    // A number out of range stops the program with a usage message and
    // status 2 before any window shows.
    const std::pair<QStringList, const char*> refused[] = {
        {{"--tab", "9"}, "--tab 9: a whole number from 0 to 5"},       {{"--tab=-1"}, "--tab -1: a whole number from 0 to 5"},
        {{"--tab", "abc"}, "--tab abc: a whole number from 0 to 5"},   {{"--zoom", "7"}, "--zoom 7: a whole number from 1 to 3"},
        {{"--zoom", "0"}, "--zoom 0: a whole number from 1 to 3"},     {{"--zoom", "2.5"}, "--zoom 2.5: a whole number from 1 to 3"}};
    for (const auto& [args, why] : refused) {
        const auto [status, err] = Start(QStringLiteral(VELLUNO_BIN_DIR "/velluno"), args + QStringList{"--quit-when-shown"});
        QCOMPARE(status, 2);
        QVERIFY2(err.contains(QStringLiteral("velluno: ") + why) && err.contains("--zoom <N>"), qPrintable(err));
    }
    for (const QStringList& args : {QStringList{"--tab", "5", "--zoom", "3"}, {"--tab", "0", "--zoom", "1"}})
        QCOMPARE(Start(QStringLiteral(VELLUNO_BIN_DIR "/velluno"), args + QStringList{"--quit-when-shown"}).first, 0);
    // The skin named on the program's command line is opened: its images
    // are extracted when asked.
    QTemporaryDir skin;
    CopySample(skin.path());
    QCOMPARE(Start(QStringLiteral(VELLUNO_BIN_DIR "/velluno"), {skin.filePath("varavave.ski"), "--export-all", "--quit-when-shown"}),
             std::make_pair(0, QString()));
    QCOMPARE(QDir(skin.filePath("varavave_Gifs")).entryList({"*.gif"}).size(), 26);
    // The version; a start without a display says so, with status 2, where
    // Qt would abort.
    QProcess version;
    version.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno"), {"--version"});
    QVERIFY(version.waitForFinished() && version.readAllStandardOutput() == "velluno 1.0.20\n");
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    headless.remove("DISPLAY");
    headless.remove("WAYLAND_DISPLAY");
    headless.insert("QT_QPA_PLATFORM", "xcb");
    const auto [status, err] = Start(QStringLiteral(VELLUNO_BIN_DIR "/velluno"), {"--quit-when-shown"}, headless);
    QVERIFY2(status == 2 && err.startsWith("velluno: no display to show the window on"), qPrintable(err));
    // The icons the program draws, written into a folder it makes.
    QTemporaryDir dir;
    QCOMPARE(Start(QStringLiteral(VELLUNO_BIN_DIR "/velluno"), {"--write-icons", dir.filePath("new/icons")}).first, 0);
    QCOMPARE(QImage(dir.filePath("new/icons/velluno-48.png")).convertToFormat(QImage::Format_ARGB32_Premultiplied),
             AppIconImage(48));
    QCOMPARE(QImage(dir.filePath("new/icons/list-03.png")).size(), QSize(kIconListSize, kIconListSize));
}

void TestWindowDesktop::programsStartWithoutAWord()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString skin = dir.filePath("varavave.ski");
    const QString bin = QStringLiteral(VELLUNO_BIN_DIR);
    // The skin is opened with its images extracted: the object pictures
    // change the window's size limits before it is first shown.
    const QList<QStringList> starts = {{bin + "/velluno", "--quit-when-shown"},
                                       {bin + "/velluno-cli", "export", skin},
                                       {bin + "/velluno", skin, "--quit-when-shown"},
                                       {bin + "/velluno-barewindow"},
                                       {bin + "/velluno-cli", "render", skin, "-o", dir.filePath("preview.png")},
                                       {bin + "/velluno-cli", "info", skin}};
    // From a session, and without one (as root, in a container, over ssh:
    // no XDG_RUNTIME_DIR), with a private runtime folder of the test's own.
    QTemporaryDir temp;
    QProcessEnvironment session = QProcessEnvironment::systemEnvironment();
    session.insert("XDG_RUNTIME_DIR", temp.filePath("run"));
    QVERIFY(QDir().mkpath(temp.filePath("run")));
    QVERIFY(QFile::setPermissions(temp.filePath("run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QProcessEnvironment bare = session;
    bare.remove("XDG_RUNTIME_DIR");
    bare.insert("TMPDIR", temp.path());
    for (const QProcessEnvironment& env : {session, bare})
        for (const QStringList& start : starts) {
            const auto [status, err] = Start(start.first(), start.mid(1), env);
            QVERIFY2(status == 0 && err.isEmpty(), qPrintable(start.join(' ') + ": " + err));
        }
}

void TestWindowDesktop::nothingIsCutOff()
{
    // At the window's own size, with the sample open and its images
    // extracted, every caption, button and field has the room its text
    // needs; an image path too long for its column is shortened in the
    // middle and whole in its tooltip.
    QTemporaryDir dir;
    CopySample(dir.path());
    TestDialogs dialogs;
    MainWindow window(&dialogs);
    window.openSkin(dir.filePath("varavave.ski"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Child<QPushButton>(window, "cmdExportAll")->click();
    // The pictures of the extracted images widen the preview tab: the
    // window grows once its layouts have answered.
    QTest::qWait(50);
    QCOMPARE(window.width(), window.minimumWidth());
    // A larger zoom and back: the window gives back what it took.
    const QSize size = window.size();
    for (const int zoom : {3, 2}) {
        window.setZoom(zoom);
        QTest::qWait(50);
    }
    QCOMPARE(window.size(), size);
    auto* tabs = Child<QTabWidget>(window, "SSTab1");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QTest::qWait(20);
        const QStringList cut = CutOff(tabs->currentWidget());
        QVERIFY2(cut.isEmpty(), qPrintable(tabs->tabText(tab) + ": " + cut.join(", ")));
    }
    auto* values = Child<QTableView>(window, "L_Values");
    QCOMPARE(values->textElideMode(), Qt::ElideMiddle);
    QCOMPARE(values->horizontalHeader()->sectionResizeMode(kPath), QHeaderView::Stretch);
    const QModelIndex path = values->model()->index(0, kPath);
    QCOMPARE(path.data(Qt::ToolTipRole).toString(), path.data().toString());
}

QTEST_MAIN(TestWindowDesktop)
#include "test_window_desktop.moc"
