// The window at home on a desktop (offscreen): a skin dropped on it from a
// file manager, a skin named on its command line, and the programs starting
// without a word from Qt, on the offscreen platform and on an X server.
#include "testsupport.h"
#include "windowsupport.h"

#include "editor/opensave.h"
#include "render/scene.h"
#include "window/classicstyle.h"
#include "window/mainwindow.h"
#include "window/widgets.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace velluno;
using namespace velluno::window;
using namespace velluno::test;
using velluno::test::QueuedDialogs;

namespace {


const QDateTime kNow(QDate(2026, 3, 7), QTime(9, 5));

// What LOAD shows for a skin: the editor's canvas after opening it through
// the file dialog, at the test's clock.
QImage LoadedCanvas(const QString& skin)
{
    velluno::test::Session session;
    session.editor.now = [] { return kNow; };
    session.open(skin);
    return RenderScene(session.editor.canvas);
}

struct Window {
    QueuedDialogs dialogs;
    frmDesktop window{&dialogs};
    Window()
    {
        window.editor().now = [] { return kNow; };
        ShowAndWait(window, false);
    }
    QString status() { return Child<QLabel>(window, QStringLiteral("SB0"))->text(); }
    CanvasView* preview() { return Child<CanvasView>(window, QStringLiteral("PicDesktop")); }
    QTabWidget* tabs() { return Child<QTabWidget>(window, QStringLiteral("SSTab1")); }
    // Drags `file` over `target` as a file manager does and drops it there;
    // false when the drag was not taken.
    bool drop(QWidget* target, const QString& file)
    {
        return DropFile(target, target->rect().center(), file);
    }
};

struct Run {
    int status = -1;
    QString err;
};

Run Start(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        qFatal("%s did not finish", qPrintable(program));
    return Run{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
               QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

class TestWindowDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void aSkinDroppedOnTheWindowOpens();
    void aSkinNamedOnTheCommandLineOpens();
    void theProgramOpensTheSkinItIsGiven();
    void programsStartWithoutAWord();
    void classicLookDrawsAsTheClassicStyle();
};

void TestWindowDesktop::initTestCase()
{
    // The look the program starts with, so the test's window and the
    // program's look alike.
    UseProgramLook(true);
}

void TestWindowDesktop::aSkinDroppedOnTheWindowOpens()
{
    QTemporaryDir first;
    QTemporaryDir second;
    velluno::test::CopySample(first.path());
    velluno::test::CopySample(second.path());
    const QString skin = first.filePath(QStringLiteral("varavave.ski"));
    const QString other = second.filePath(QStringLiteral("varavave.ski"));
    Window w;

    // Dropped on the preview: the status bar names it, the preview shows it.
    QVERIFY(w.drop(w.preview(), skin));
    QCOMPARE(w.status(), QStringLiteral("Skin: ") + skin);
    QCOMPARE(w.preview()->canvas(), LoadedCanvas(skin));
    for (int tab = 0; tab < w.tabs()->count(); ++tab)
        QVERIFY(w.tabs()->isTabEnabled(tab));

    // Dropped on the object table, a skin is no image for a row: it
    // replaces the open skin, as LOAD would, without asking.
    w.tabs()->setCurrentIndex(1);
    auto* values = Child<QTableView>(w.window, QStringLiteral("L_Values"));
    QVERIFY(w.drop(values->viewport(), other));
    QCOMPARE(w.status(), QStringLiteral("Skin: ") + other);
    QCOMPARE(w.window.editor().doc.SkinDir, second.path());
    QCOMPARE(w.preview()->canvas(), LoadedCanvas(other));
    QCOMPARE(values->model()->rowCount(), w.window.editor().doc.L_Values.count());
    QCOMPARE(w.dialogs.unanswered, 0);

    // Whatever else is dragged over the window is not taken.
    const QString picture = first.filePath(QStringLiteral("wallpaper.jpg"));
    QVERIFY(!w.drop(w.preview(), picture));
    QVERIFY(!w.drop(Child<QLabel>(w.window, QStringLiteral("SB0")), picture));
    QCOMPARE(w.status(), QStringLiteral("Skin: ") + other);
}

void TestWindowDesktop::aSkinNamedOnTheCommandLineOpens()
{
    QTemporaryDir dir;
    velluno::test::CopySample(dir.path());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    Window w;
    w.window.openSkin(skin);
    QCOMPARE(w.status(), QStringLiteral("Skin: ") + skin);
    QCOMPARE(w.preview()->canvas(), LoadedCanvas(skin));
    QVERIFY(Child<QAction>(w.window, QStringLiteral("SAVE"))->isEnabled());
    QCOMPARE(w.dialogs.unanswered, 0);
    QVERIFY(w.window.editor().messages.isEmpty());
}

void TestWindowDesktop::theProgramOpensTheSkinItIsGiven()
{
    QTemporaryDir dir;
    velluno::test::CopySample(dir.path());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    const QString shot = dir.filePath(QStringLiteral("shot.png"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const Run run = Start(QStringLiteral(VELLUNO_BIN_DIR "/velluno"), {skin, QStringLiteral("--screenshot"), shot}, env);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QString());

    // The same window here, with the skin given the same way.
    QueuedDialogs dialogs;
    frmDesktop window(&dialogs);
    window.openSkin(skin);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.adjustSize();
    const QImage here = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage there = QImage(shot).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(there.size(), here.size());
    // The page shown and the status bar alike pixel for pixel (the skin's
    // path included); only the clock on the preview may have turned a
    // minute in between. (The toolbar and the tab bar differ by where the
    // focus and the mouse are.)
    auto region = [&window](QWidget* widget) { return QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size()); };
    const QRect preview = region(Child<CanvasView>(window, QStringLiteral("PicDesktop")));
    const QRect page = region(Child<QTabWidget>(window, QStringLiteral("SSTab1"))->currentWidget());
    const QRect status = region(Child<QLabel>(window, QStringLiteral("SB0")));
    int differentOutside = 0;
    int differentInside = 0;
    for (int y = 0; y < here.height(); ++y)
        for (int x = 0; x < here.width(); ++x)
            if ((page.contains(x, y) || status.contains(x, y)) && here.pixel(x, y) != there.pixel(x, y))
                ++(preview.contains(x, y) ? differentInside : differentOutside);
    QCOMPARE(differentOutside, 0);
    QVERIFY2(differentInside < preview.width() * preview.height() / 50, qPrintable(QString::number(differentInside)));
    QCOMPARE(Child<QLabel>(window, QStringLiteral("SB0"))->text(), QStringLiteral("Skin: ") + skin);
}

void TestWindowDesktop::programsStartWithoutAWord()
{
    QTemporaryDir dir;
    velluno::test::CopySample(dir.path());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    const QString bin = QStringLiteral(VELLUNO_BIN_DIR);
    // The skin is opened with its images extracted: the object pictures
    // change the window's size limits before it is first shown.
    const QList<QStringList> starts = {
        {bin + QStringLiteral("/velluno"), QStringLiteral("--quit-when-shown")},
        {bin + QStringLiteral("/velluno-cli"), QStringLiteral("export"), skin},
        {bin + QStringLiteral("/velluno"), skin, QStringLiteral("--quit-when-shown")},
        {bin + QStringLiteral("/velluno-barewindow")},
        {bin + QStringLiteral("/velluno-cli"), QStringLiteral("render"), skin, QStringLiteral("-o"),
         dir.filePath(QStringLiteral("preview.png"))},
        {bin + QStringLiteral("/velluno-cli"), QStringLiteral("info"), skin},
    };
    // Started from a session, and without one (as root, in a container,
    // over ssh: no XDG_RUNTIME_DIR), with a private runtime folder of the
    // test's own in place of the one the user's programs share.
    QTemporaryDir temp;
    QProcessEnvironment session = QProcessEnvironment::systemEnvironment();
    session.insert(QStringLiteral("XDG_RUNTIME_DIR"), QDir(temp.path()).filePath(QStringLiteral("run")));
    QVERIFY(QDir().mkpath(session.value(QStringLiteral("XDG_RUNTIME_DIR"))));
    QVERIFY(QFile::setPermissions(session.value(QStringLiteral("XDG_RUNTIME_DIR")),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QProcessEnvironment bare = session;
    bare.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    bare.insert(QStringLiteral("TMPDIR"), temp.path());

    for (QProcessEnvironment env : {session, bare}) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const QStringList& start : starts) {
            const Run run = Start(start.first(), start.mid(1), env);
            const QString what = start.join(QLatin1Char(' ')) +
                                 (env.contains(QStringLiteral("XDG_RUNTIME_DIR")) ? QString() : QStringLiteral(" (no XDG_RUNTIME_DIR)"));
            QVERIFY2(run.status == 0, qPrintable(what));
            QVERIFY2(run.err.isEmpty(), qPrintable(what + QStringLiteral(": ") + run.err));
        }
    }
    // The folder taken in place of the missing one is private, as Qt wants it.
    const QFileInfo runtime(QDir(temp.path()).filePath(QStringLiteral("runtime-") + qEnvironmentVariable("USER", QStringLiteral("root"))));
    if (runtime.exists())
        QCOMPARE(runtime.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther), QFileDevice::Permissions());

    // On an X server, all of them in one virtual server's life.
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfb.isEmpty())
        QSKIP("xvfb-run is missing (package xvfb): the xcb platform was not tried");
    QString script = QStringLiteral("n=0\n");
    for (const QStringList& start : starts) {
        QStringList quoted;
        for (const QString& word : start)
            quoted << QLatin1Char('\'') + word + QLatin1Char('\'');
        script += QStringLiteral("n=$((n+1)); %1 2>\"$0/err$n\"; echo $? >\"$0/status$n\"\n").arg(quoted.join(QLatin1Char(' ')));
    }
    QProcessEnvironment x = bare;
    x.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    const Run run = Start(xvfb, {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x1024x24"),
                                 QStringLiteral("sh"), QStringLiteral("-c"), script, dir.path()},
                          x);
    QVERIFY2(run.status == 0, qPrintable(run.err));
    for (int n = 1; n <= starts.size(); ++n) {
        const QString what = starts.at(n - 1).join(QLatin1Char(' ')) + QStringLiteral(" (xcb)");
        QVERIFY2(velluno::test::ReadFile(dir.filePath(QStringLiteral("status%1").arg(n))).trimmed() == "0", qPrintable(what));
        const QByteArray err = velluno::test::ReadFile(dir.filePath(QStringLiteral("err%1").arg(n)));
        QVERIFY2(err.isEmpty(), qPrintable(what + QStringLiteral(": ") + QString::fromUtf8(err)));
    }
}

void TestWindowDesktop::classicLookDrawsAsTheClassicStyle()
{
    // The program's look draws some frames itself; every pixel must be the
    // classic style's, in every state and from the smallest frame that has
    // an inside. A shade of its own for every colour a frame could take
    // shows a stroke drawn in the wrong one.
    const std::unique_ptr<QStyle> classic(QStyleFactory::create(QStringLiteral("Windows")));
    QVERIFY(classic);
    ClassicStyle look;
    QPalette palette;
    const std::pair<QPalette::ColorRole, QColor> shades[] = {
        {QPalette::Dark, QColor(200, 0, 0)},        {QPalette::Light, QColor(0, 200, 0)},
        {QPalette::Shadow, QColor(0, 0, 200)},      {QPalette::Button, QColor(200, 200, 0)},
        {QPalette::Window, QColor(0, 200, 200)},    {QPalette::Midlight, QColor(100, 0, 100)},
        {QPalette::Mid, QColor(0, 100, 100)},       {QPalette::Base, QColor(250, 250, 250)},
        {QPalette::Text, QColor(10, 20, 30)},       {QPalette::WindowText, QColor(30, 20, 10)}};
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (const auto& [role, colour] : shades)
            palette.setColor(group, role, group == QPalette::Disabled ? colour.darker(150) : colour);
    const auto draw = [](const QStyle& style, QStyle::PrimitiveElement element, const QStyleOption& option) {
        QImage image(option.rect.size() + QSize(4, 4), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter p(&image);
        p.translate(2, 2);
        style.drawPrimitive(element, &option, &p, nullptr);
        return image;
    };
    const auto state = [](bool enabled, QStyle::State more) {
        return (enabled ? QStyle::State_Enabled : QStyle::State_None) | more;
    };
    const auto setUp = [&](QStyleOption& option, QSize size, QStyle::State st) {
        option.rect = QRect(QPoint(0, 0), size);
        option.palette = palette;
        option.palette.setCurrentColorGroup((st & QStyle::State_Enabled) ? QPalette::Active : QPalette::Disabled);
        option.state = st;
    };
    int compared = 0;
    const auto same = [&](QStyle::PrimitiveElement element, const QStyleOption& option, const char* what) {
        ++compared;
        const QString name = QStringLiteral("%1 %2x%3 state %4")
                                 .arg(QLatin1String(what))
                                 .arg(option.rect.width())
                                 .arg(option.rect.height())
                                 .arg(int(option.state));
        return draw(look, element, option) == draw(*classic, element, option) ? QString() : name;
    };
    QStringList differ;
    for (const bool enabled : {true, false}) {
        // Fields (their panel draws the frame through the style).
        for (const QSize size : {QSize(5, 5), QSize(6, 9), QSize(46, 21), QSize(301, 24)}) {
            QStyleOptionFrame field;
            setUp(field, size, state(enabled, QStyle::State_Sunken));
            field.lineWidth = look.pixelMetric(QStyle::PM_DefaultFrameWidth, &field);
            differ << same(QStyle::PE_PanelLineEdit, field, "field");
        }
        // Group boxes, framed and flat.
        for (const QSize size : {QSize(4, 4), QSize(5, 7), QSize(230, 96)})
            for (const bool flat : {false, true}) {
                QStyleOptionFrame box;
                setUp(box, size, state(enabled, QStyle::State_None));
                box.lineWidth = 1;
                box.midLineWidth = 0;
                box.features = flat ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
                differ << same(QStyle::PE_FrameGroupBox, box, flat ? "flat group box" : "group box");
            }
        // The tab pane.
        for (const QSize size : {QSize(5, 5), QSize(640, 420)}) {
            QStyleOptionTabWidgetFrame pane;
            setUp(pane, size, state(enabled, QStyle::State_None));
            pane.lineWidth = look.pixelMetric(QStyle::PM_DefaultFrameWidth, &pane);
            differ << same(QStyle::PE_FrameTabWidget, pane, "tab pane");
        }
        // Check boxes: unchecked, pressed, checked, partly checked.
        for (const QStyle::State mark : {QStyle::State(QStyle::State_Off),
                                         QStyle::State(QStyle::State_Off | QStyle::State_Sunken),
                                         QStyle::State(QStyle::State_On), QStyle::State(QStyle::State_NoChange)})
            for (const QSize size : {QSize(5, 5), QSize(13, 13)}) {
                QStyleOptionButton box;
                setUp(box, size, state(enabled, mark));
                differ << same(QStyle::PE_IndicatorCheckBox, box, "check box");
            }
    }
    differ.removeAll(QString());
    QVERIFY2(differ.isEmpty(), qPrintable(differ.join(QStringLiteral(", "))));
    QCOMPARE(compared, 2 * (4 + 6 + 2 + 8));
}

QTEST_MAIN(TestWindowDesktop)
#include "test_window_desktop.moc"
