// The graphic-objects tab through the editor: what a row shows, sorting,
// "Importa...", "Default", "Skin di default", dropped files, the image
// guard, live images, kept hand-edited images and the session script of
// docs/scripting.md.
#include "testsupport.h"
#include "tinygif.h"

#include "editor/actions.h"
#include "editor/messages.h"
#include "editor/objects.h"
#include "editor/opensave.h"
#include "editor/preview.h"
#include "editor/shell.h"
#include "render/imageguard.h"
#include "skin/files.h"
#include "skin/reader.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

using namespace velluno;
using namespace velluno::test;

namespace {

// Dialogs that remember how each file dialog was asked.
struct Recording : QueuedDialogs {
    QStringList asked;  // title|filter|initial name
    std::optional<QString> openFile(const QString& title, const QString& filter, const QString& initial) override
    {
        asked << title + QLatin1Char('|') + filter + QLatin1Char('|') + initial;
        return QueuedDialogs::openFile(title, filter, initial);
    }
};

struct Desk {
    Recording dialogs;
    Editor editor{dialogs};
    QTemporaryDir dir;
    Desk()
    {
        editor.now = [] { return QDateTime(QDate(2026, 3, 7), QTime(9, 5)); };
        editor.defaultDir = QStringLiteral(VELLUNO_SOURCE_DIR "/assets/default");
        Form_Load(editor);
    }
    // The sample skin, opened and extracted.
    void openSample()
    {
        CopySample(dir.path());
        open(dir.filePath("varavave.ski"));
        cmdExportAll_Click(editor);
    }
    void open(const QString& path)
    {
        dialogs.files.push_back(path);
        TB0_ButtonClick(editor, QStringLiteral("LOAD"));
    }
    Table& values() { return editor.doc.L_Values; }
    int rowOf(const QString& key) { return values().findKey(key); }
    Row& row(const QString& key)
    {
        const int r = rowOf(key);
        if (r == 0)
            qFatal("no row %s", qPrintable(key));
        return values().row(r);
    }
    void click(const QString& key)
    {
        Perform(editor, UserAction::of(UserAction::Kind::Row, QStringLiteral("L_Values"), rowOf(key)));
    }
    ActionResult perform(const QString& name, int index = 0) { return Perform(editor, UserAction::click(name, index)); }
    QString lastMessage() const { return editor.messages.isEmpty() ? QString() : editor.messages.last().text; }
    QString lastTitle() const { return editor.messages.isEmpty() ? QString() : editor.messages.last().title; }
};

// Every cell, mark and icon of a row, to see that nothing changed.
QString Look(const Row& r)
{
    return r.cells().join(QLatin1Char('|')) + QStringLiteral("|%1|%2|%3").arg(r.colour).arg(r.bold).arg(r.icon);
}


// A GIF that declares `w` x `h` for its screen and `iw` x `ih` for its
// first image, all of colour 0: what a hostile file looks like, and the
// largest one the guard lets through. Each code after the first is the
// next free table entry, one pixel longer than the last, until the table
// is full; then the longest entry again, so the data stays small.
QByteArray DeclaredGif(int w, int h, int iw, int ih)
{
    QByteArray b("GIF89a");
    auto le16 = [&](int v) {
        b += char(v & 0xFF);
        b += char((v >> 8) & 0xFF);
    };
    le16(w);
    le16(h);
    b += QByteArray("\x00\x00\x00\x2C\x00\x00\x00\x00", 8);
    le16(iw);
    le16(ih);
    b += QByteArray("\x00\x02", 2);
    QByteArray data;
    quint32 bits = 0;
    int held = 0, width = 3, next = 6;
    auto put = [&](int code) {
        for (bits |= quint32(code) << held, held += width; held >= 8; held -= 8, bits >>= 8)
            data += char(bits & 0xFF);
    };
    put(4);
    put(0);
    for (qint64 left = qint64(iw) * ih - 1, run = 2; left > 0; left -= run, run = qMin(next, 4095) - 4) {
        put(qMin(next, 4095));
        next += next < 4096;
        width += next == (1 << width) && width < 12;
    }
    put(5);
    if (held > 0)
        data += char(bits);
    for (int at = 0; at < data.size(); at += 255)
        b += char(qMin(255, int(data.size()) - at)) + data.mid(at, 255);
    return b + QByteArray("\x00\x3B", 2);
}

const QString kSamePath = QStringLiteral("Il percorso dei due file *.GIF è identico, sostituzione non necessaria!");
const QString kSizeMismatch =
    QStringLiteral("Le dimensioni dell'immagine che si vuole importare, non corrispondono!");
const QString kReminder = QStringLiteral("N.B. Ricordati di caricare anche i colori di default.");

}  // namespace

class TestObjects : public QObject {
    Q_OBJECT
private slots:
    void rowDisplayShowsImageSizeAndTag();
    void rowDisplayOfDamagedAndMissingFiles();
    void headerSortsAsTextAndImportSortsOnId();
    void objectPictureAndNodeClicks();
    void importReplacesTheSelectedRow();
    void importChecksSizeAndSamePath();
    void importRefusesBadFilesWithoutChange();
    void dropImportsOnTheRowDroppedOn();
    void defaultWithAndWithoutQuestion();
    void defaultSkinReplacesWhatTheSetHas();
    void savePacksInRowOrderAfterResortAndTwoReplacements();
    void saveAndRepackRefuseWhatIsNoGif();
    void gifGuard_data();
    void gifGuard();
    void gifGuardReadsWholeFiles();
    void pathsResolveInAnyLetterCase();
    void changedImageFilesAreRedrawn();
    void exportKeepsHandEditedImages();
    void documentedDefaultsScript();
};

void TestObjects::rowDisplayShowsImageSizeAndTag()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    QVERIFY(!e.cmdImport.enabled && !e.cmdDefault.enabled && !e.chkDim.enabled && !e.chkConferma.enabled);
    d.click("0007");
    const QString path = ImagePathOf(d.row("0007"));
    QCOMPARE(e.PicPreview, QSize(72, 72));
    QCOMPARE(e.lInfo, QStringLiteral("(hxw) = 72x72"));
    QCOMPARE(e.WB, QStringLiteral("about:<html><body leftMargin=0 topMargin=0 marginheight=0 marginwidth=0 "
                                  "scroll=no><img src=\"") +
                       path + QStringLiteral("\"></img></body></html>"));
    QCOMPARE(e.WBImage, path);
    QCOMPARE(e.status, QStringLiteral("Tag: 2204 861 0"));
    QVERIFY(e.cmdImport.enabled && e.cmdDefault.enabled && e.chkDim.enabled && e.chkConferma.enabled);
    d.click("0630");
    QCOMPARE(e.lInfo, QStringLiteral("(hxw) = 22x77"));  // height first

    // A path with blanks goes into the page as it stands.
    const QString spaced = d.dir.filePath("a folder/my image.gif");
    WriteFile(spaced, SolidGif(3, 2, qRgb(1, 2, 3)));
    d.row("0630").setCell(ColPath, QStringLiteral(" ") + spaced + QStringLiteral(" "));
    d.click("0630");
    QVERIFY(e.WB.contains(QStringLiteral("<img src=\"") + spaced + QStringLiteral("\">")));
    QCOMPARE(e.lInfo, QStringLiteral("(hxw) = 2x3"));

    // A row without image: the empty page and "..."; PicPreview keeps the last image.
    Desk fresh;
    CopySample(fresh.dir.path());
    fresh.open(fresh.dir.filePath("varavave.ski"));  // nothing extracted: "Non trovata"
    QCOMPARE(fresh.row("0630").cell(ColState), kStateNotFound);
    fresh.editor.PicPreview = QSize(5, 6);
    fresh.click("0630");
    QCOMPARE(fresh.editor.WB, QStringLiteral("about:<html><body leftMargin=0 topMargin=0 marginheight=0 "
                                             "marginwidth=0 scroll=no></body></html>"));
    QVERIFY(fresh.editor.WBImage.isEmpty());
    QCOMPARE(fresh.editor.lInfo, QStringLiteral("..."));
    QCOMPARE(fresh.editor.PicPreview, QSize(5, 6));
    QCOMPARE(fresh.editor.status, QStringLiteral("Tag: 0 415 0"));
    QVERIFY(fresh.editor.cmdImport.enabled && fresh.editor.chkConferma.enabled);
}

void TestObjects::rowDisplayOfDamagedAndMissingFiles()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    d.click("0007");
    const QString shown = e.WB;
    const struct {
        const char* key;
        QByteArray bytes;
        QString status;
    } cases[] = {
        {"0630", QByteArray("GIF89a\x10\x00", 8), QStringLiteral("Errore n° 4, il file GIF è incompleto")},
        {"0631", QByteArray("plain text, no picture"), QStringLiteral("Errore n° 3, il file non è un'immagine")},
        {"0632", QByteArray(), QStringLiteral("Errore n° 4, il file è vuoto")},
        {"0633", DeclaredGif(20000, 20000, 20000, 20000),
         QStringLiteral("Errore n° 4, l'immagine è troppo grande (oltre 8192 pixel per lato o 16 milioni di pixel)")},
    };
    for (const auto& c : cases) {
        WriteFile(ImagePathOf(d.row(c.key)), c.bytes);
        d.click(c.key);
        QCOMPARE(e.status, c.status);
        QVERIFY(e.WBImage.isEmpty());
        QVERIFY(e.WB != shown);
        QCOMPARE(e.PicPreview, QSize(72, 72));  // the last image measured
    }

    // The file deleted after opening: the empty page and "...", no error.
    QVERIFY(QFile::remove(ImagePathOf(d.row("0634"))));
    d.click("0634");
    QCOMPARE(e.lInfo, QStringLiteral("..."));
    QVERIFY(e.WBImage.isEmpty());
    QCOMPARE(e.status, QStringLiteral("Tag: 1372 416 0"));
}

void TestObjects::headerSortsAsTextAndImportSortsOnId()
{
    Desk d;
    const QString skin = d.dir.filePath("varavave.ski");
    WriteFile(skin, "SKI1\n0 oggetti\n5 1 0 999 0\n5 2 0 100 0\n5 3 0 1000 0\n5 4 0 5 0\n");
    d.open(skin);
    Table& t = d.values();
    auto order = [&] {
        QStringList keys;
        for (const Row& r : t.rows())
            keys << r.key();
        return keys.join(QLatin1Char(' '));
    };
    QCOMPARE(order(), QStringLiteral("0001 0002 0003 0004"));
    t.select(1);  // the selection follows its row
    QVERIFY(Perform(d.editor, UserAction::of(UserAction::Kind::Header, "L_Values", 5)).ok());  // "Byte"
    QCOMPARE(t.sortColumn(), 4);
    QCOMPARE(order(), QStringLiteral("0002 0003 0004 0001"));  // "100" < "1000" < "5" < "999"
    QCOMPARE(t.row(t.selected()).key(), QStringLiteral("0001"));

    // Importa sorts on "ID" again before its dialog, even when cancelled.
    d.dialogs.files.push_back(std::nullopt);
    d.click("0003");
    QVERIFY(d.perform("cmdImport").ok());
    QCOMPARE(t.sortColumn(), 0);
    QCOMPARE(order(), QStringLiteral("0001 0002 0003 0004"));
    QCOMPARE(t.row(t.selected()).key(), QStringLiteral("0003"));
    QCOMPARE(d.dialogs.asked.last(), QStringLiteral("Importa GIF...|GIF Image (*.gif)|*.gif|3"));
}

void TestObjects::objectPictureAndNodeClicks()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    QVERIFY(e.Pic[630].enabled);
    QCOMPARE(e.tab, 0);
    QVERIFY(d.perform("Pic", 630).ok());
    QCOMPARE(e.tab, 1);
    QCOMPARE(d.values().row(d.values().selected()).key(), QStringLiteral("0630"));
    QCOMPARE(e.lInfo, QStringLiteral("(hxw) = 22x77"));
    QCOMPARE(e.status, QStringLiteral("Tag: 0 415 0"));

    // A picture whose object has no row leaves tab and selection alone.
    SSTab1_Click(e, 0);
    const int selected = d.values().selected();
    Pic_Click(e, 675 + 1000);
    QCOMPARE(e.tab, 0);
    QCOMPARE(d.values().selected(), selected);

    // A node shows its tag; the root has none.
    const Tree& tree = e.doc.T_Strutt;
    int record = 0;
    for (int k = 1; k <= tree.count() && !record; ++k)
        if (tree.text(k) == QLatin1String("5 630 0 415 0"))
            record = k;
    QVERIFY(record > 0);
    QVERIFY(Perform(e, UserAction::of(UserAction::Kind::Node, QString(), record)).ok());
    QVERIFY(e.status.startsWith(tree.text(tree.node(record).parent).trimmed() + QLatin1Char('_')));
    QCOMPARE(e.status, tree.tag(record));
    Perform(e, UserAction::of(UserAction::Kind::Node, QString(), 1));
    QCOMPARE(e.status, QString());
}

void TestObjects::importReplacesTheSelectedRow()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    // A GIF in folders written in mixed case: the row keeps the path in
    // lower case, and every later use finds the file all the same.
    const QString chosen = d.dir.filePath("Nuove Immagini/Tasti/Sinistro.GIF");
    const QByteArray gif = SolidGif(77, 22, qRgb(250, 10, 10));
    WriteFile(chosen, gif);
    d.click("0630");
    const int renders = e.renders;
    d.dialogs.files.push_back(chosen);
    QVERIFY(d.perform("cmdImport").ok());
    const Row& r = d.row("0630");
    QCOMPARE(r.cells().mid(1, 5), (QStringList{"-", "-", QString::number(gif.size()), kStateReplace,
                                               chosen.toLower()}));
    QCOMPARE(r.cell(ColLink), QStringLiteral("00_000000"));  // link name, index, key and tag stay
    QCOMPARE(r.tag(), QStringLiteral("0 415 0"));
    QCOMPARE(r.colour, kBlue);
    QVERIFY(r.bold);
    QCOMPARE(r.icon, int(IconReplace));
    // Shown and drawn from the lower-cased path.
    QCOMPARE(e.WBImage, chosen.toLower());
    QCOMPARE(e.lInfo, QStringLiteral("(hxw) = 22x77"));
    QVERIFY(e.renders > renders);
    QCOMPARE(e.canvas.Img[0].picture.pixel(5, 5), qRgb(250, 10, 10));
    QVERIFY(e.messages.isEmpty() || e.messages.last().icon != MsgIcon::Stop);

    // Saved from the lower-cased path.
    QVERIFY(SalvaSkin(e).containerWritten);
    QVERIFY(ReadFile(d.dir.filePath("varavave14.dat")).contains(gif));
}

void TestObjects::importChecksSizeAndSamePath()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    const QString square = d.dir.filePath("q16.gif");
    const QString tall = d.dir.filePath("q17.gif");
    WriteFile(square, SolidGif(16, 16, qRgb(0, 0, 255)));
    WriteFile(tall, SolidGif(16, 17, qRgb(0, 255, 0)));
    // Object 7 shows a 16 x 16 image.
    const QString seven = ImagePathOf(d.row("0007"));
    WriteFile(seven, SolidGif(16, 16, qRgb(9, 9, 9)));
    d.click("0007");
    QVERIFY(e.chkDim.checked);

    const QString before = Look(d.row("0007"));
    d.dialogs.files.push_back(tall);
    d.perform("cmdImport");
    QCOMPARE(d.lastTitle(), QStringLiteral("Errore:"));
    QCOMPARE(d.lastMessage(), kSizeMismatch);
    QCOMPARE(Look(d.row("0007")), before);

    d.dialogs.files.push_back(square);
    d.perform("cmdImport");
    QCOMPARE(ImagePathOf(d.row("0007")), square.toLower());

    // The same file again, spelt in another case: a warning, no change.
    const QString replaced = Look(d.row("0007"));
    const int messages = e.messages.size();
    d.dialogs.files.push_back(square.toUpper());
    d.perform("cmdImport");
    QCOMPARE(e.messages.size(), messages + 1);
    QCOMPARE(d.lastTitle(), QStringLiteral("Attenzione:"));
    QCOMPARE(d.lastMessage(), kSamePath);
    QCOMPARE(Look(d.row("0007")), replaced);

    // Without "Verifica dimensioni" any size goes.
    d.perform("chkDim");
    QVERIFY(!e.chkDim.checked);
    d.dialogs.files.push_back(tall);
    d.perform("cmdImport");
    QCOMPARE(ImagePathOf(d.row("0007")), tall.toLower());
    QCOMPARE(e.PicPreview, QSize(16, 17));
}

void TestObjects::importRefusesBadFilesWithoutChange()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    d.click("0640");
    const QString before = Look(d.row("0640"));
    const QString folder = d.dir.filePath("una cartella.gif");
    QDir().mkpath(folder);
    const QString empty = d.dir.filePath("vuoto.gif");
    WriteFile(empty, QByteArray());
    const QString text = d.dir.filePath("testo.gif");
    WriteFile(text, "not a picture at all");
    const QString huge = d.dir.filePath("enorme.gif");
    WriteFile(huge, DeclaredGif(20000, 20000, 20000, 20000));
    const QString hugeFrame = d.dir.filePath("cornice.gif");
    WriteFile(hugeFrame, DeclaredGif(16, 16, 20000, 20000));
    // Cut short inside its image data: every byte before is a GIF's.
    const QString cut = d.dir.filePath("tagliato.gif");
    const QByteArray whole = SolidGif(40, 40, qRgb(1, 2, 3));
    WriteFile(cut, whole.left(whole.size() - 3));
    const QString jpeg = d.dir.filePath("foto.gif");
    QVERIFY(QImage(QSize(8, 8), QImage::Format_RGB32).save(jpeg, "JPEG"));

    // Gone and a folder end silently, as a file that cannot be read.
    for (const QString& silent : {d.dir.filePath("sparito.gif"), folder}) {
        const int messages = e.messages.size();
        d.dialogs.files.push_back(silent);
        d.perform("cmdImport");
        QCOMPARE(e.messages.size(), messages);
        QCOMPARE(Look(d.row("0640")), before);
    }
    // What the guard refuses gets an "Errore:" naming the file and the object.
    const std::pair<QString, ImageFault> refused[] = {{empty, ImageFault::Empty},
                                                      {text, ImageFault::NotGif},
                                                      {huge, ImageFault::TooLarge},
                                                      {hugeFrame, ImageFault::TooLarge},
                                                      {cut, ImageFault::Truncated},
                                                      {jpeg, ImageFault::NotGif}};
    for (const auto& [file, fault] : refused) {
        d.dialogs.files.push_back(file);
        d.perform("cmdImport");
        QCOMPARE(d.lastTitle(), QStringLiteral("Errore:"));
        QVERIFY2(d.lastMessage().contains(QDir::toNativeSeparators(file)) &&
                     d.lastMessage().contains(QStringLiteral("0640")) &&
                     d.lastMessage().contains(ImageFaultText(fault)),
                 qPrintable(d.lastMessage()));
        QCOMPARE(Look(d.row("0640")), before);
    }
    QCOMPARE(d.dialogs.unanswered, 0);
}

void TestObjects::dropImportsOnTheRowDroppedOn()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    d.click("0007");
    QVERIFY(d.perform("chkDim").ok());  // any size
    QVERIFY(!e.chkDim.checked);
    const int asked = d.dialogs.asked.size();
    const QString file = d.dir.filePath("Trascinata.gif");
    WriteFile(file, SolidGif(10, 10, qRgb(1, 200, 1)));
    L_Values_ColumnClick(e, 5);  // sorted on "Byte": the drop's row counts in this order
    const int r = d.rowOf("0652");
    UserAction drop = UserAction::of(UserAction::Kind::Drop, QStringLiteral("L_Values"), r);
    drop.text = file;
    QVERIFY(Perform(e, drop).ok());
    QCOMPARE(ImagePathOf(d.row("0652")), file.toLower());
    QCOMPARE(d.values().row(d.values().selected()).key(), QStringLiteral("0652"));
    QCOMPARE(d.values().sortColumn(), 0);
    QCOMPARE(e.WBImage, file.toLower());
    QCOMPARE(d.dialogs.asked.size(), asked);  // no dialog

    drop.index = d.values().count() + 1;
    QCOMPARE(Perform(e, drop).outcome, ActionResult::Outcome::Missing);
    drop.index = 0;
    QCOMPARE(CheckAction(drop).outcome, ActionResult::Outcome::Unknown);
}

void TestObjects::defaultWithAndWithoutQuestion()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    QTemporaryDir defaults;
    e.defaultDir = defaults.path();
    const QByteArray six = SolidGif(4, 4, qRgb(7, 7, 7));
    WriteFile(defaults.filePath("6.gif"), six);
    WriteFile(d.dir.filePath("six.ski"), "SKI1\n0 oggetti\n5 6 0 10 0\n5 640 0 10 0\n");
    d.open(d.dir.filePath("six.ski"));
    const int r = d.rowOf("0006");
    d.values().select(r);
    L_Values_Click(e, r);

    const QString before = Look(d.row("0006"));
    d.dialogs.answers.push_back(Answer::No);
    d.perform("cmdDefault");
    QCOMPARE(d.lastTitle(), QStringLiteral("Domanda:"));
    QCOMPARE(d.lastMessage(),
             QStringLiteral("Oggetto n° 0006\nConfermi la sostituzione di questo oggetto con quello di default "
                            "(pavonel by Ostrel) ?"));
    QCOMPARE(Look(d.row("0006")), before);

    d.dialogs.answers.push_back(Answer::Yes);
    d.perform("cmdDefault");
    const Row& row = d.row("0006");
    QCOMPARE(row.cells().mid(1, 5), (QStringList{"-", "-", QString::number(six.size()), kStateReplace,
                                                 JoinPath(defaults.path(), "6.gif")}));
    QCOMPARE(e.lInfo, QStringLiteral("(hxw) = 4x4"));

    // Without "Richiedi conferma" no question; a missing default image is
    // named in a warning and changes nothing.
    d.perform("chkConferma");
    const int messages = e.messages.size();
    const int other = d.rowOf("0640");
    d.values().select(other);
    const QString untouched = Look(d.row("0640"));
    d.perform("cmdDefault");
    QCOMPARE(e.messages.size(), messages + 1);
    QCOMPARE(d.lastTitle(), QStringLiteral("Attenzione:"));
    QVERIFY(d.lastMessage().contains(QDir::toNativeSeparators(JoinPath(defaults.path(), "640.gif"))));
    QCOMPARE(Look(d.row("0640")), untouched);
    // A default image cut short is refused as an import would refuse it.
    WriteFile(defaults.filePath("640.gif"), six.left(six.size() - 3));
    d.perform("cmdDefault");
    QCOMPARE(d.lastTitle(), QStringLiteral("Errore:"));
    QVERIFY(d.lastMessage().contains(ImageFaultText(ImageFault::Truncated)));
    QCOMPARE(Look(d.row("0640")), untouched);
    QCOMPARE(d.dialogs.unanswered, 0);
}

void TestObjects::defaultSkinReplacesWhatTheSetHas()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    QTemporaryDir defaults;
    e.defaultDir = defaults.path();
    // Only three objects have a default image, one named in upper case.
    WriteFile(defaults.filePath("630.gif"), SolidGif(77, 22, qRgb(1, 1, 1)));
    WriteFile(defaults.filePath("652.GIF"), SolidGif(5, 5, qRgb(2, 2, 2)));
    WriteFile(defaults.filePath("7.gif"), SolidGif(6, 6, qRgb(3, 3, 3)));
    std::map<QString, QString> before;
    for (const Row& r : d.values().rows())
        before[r.key()] = Look(r);

    d.dialogs.answers.push_back(Answer::No);
    d.perform("cmdDefaultAll");
    for (const Row& r : d.values().rows())
        QCOMPARE(Look(r), before[r.key()]);

    L_Values_ColumnClick(e, 5);  // display order on "Byte"
    d.dialogs.answers.push_back(Answer::Yes);
    const int renders = e.renders;
    d.perform("cmdDefaultAll");
    QCOMPARE(d.lastTitle(), QStringLiteral("Informazione:"));
    QCOMPARE(d.lastMessage(), kReminder);
    QCOMPARE(e.messages.at(e.messages.size() - 2).text,
             QStringLiteral("Confermi la sostituzione di tutti gli oggetti con quelli di default "
                            "(pavonel by Ostrel) ?"));
    int replaced = 0;
    int lastReplaced = 0;
    for (int i = 1; i <= d.values().count(); ++i) {
        const Row& r = d.values().row(i);
        const bool has = r.key() == "0630" || r.key() == "0652" || r.key() == "0007";
        if (!has) {
            QCOMPARE(Look(r), before[r.key()]);
            continue;
        }
        ++replaced;
        lastReplaced = i;
        QCOMPARE(r.cell(ColState), kStateReplace);
        QVERIFY(FileExist(ImagePathOf(r)));
        QCOMPARE(QFileInfo(ResolveFile(ImagePathOf(r))).absolutePath(), QDir(defaults.path()).absolutePath());
    }
    QCOMPARE(replaced, 3);
    // The loop's last selection stays; row 1 is shown, not selected.
    QCOMPARE(d.values().selected(), lastReplaced);
    QCOMPARE(e.status, QStringLiteral("Tag: ") + d.values().row(1).tag());
    QVERIFY(e.renders > renders);
    QCOMPARE(e.Pic[652].picture.size(), QSize(5, 5));

    // No skin open: only the question and the reminder.
    Desk empty;
    empty.dialogs.answers.push_back(Answer::Yes);
    cmdDefaultAll_Click(empty.editor);
    QCOMPARE(empty.lastMessage(), kReminder);
}

void TestObjects::savePacksInRowOrderAfterResortAndTwoReplacements()
{
    Desk d;
    const QString skin = d.dir.filePath("varavave.ski");
    WriteFile(skin, "SKI1\n0 oggetti\n5 40 0 10 0\n5 41 10 10 0\n5 42 20 10 0\n");
    WriteFile(d.dir.filePath("varavave.dat"), TestImage(30, 1));
    d.open(skin);
    Editor& e = d.editor;
    L_Values_Click(e, 1);
    QVERIFY(d.perform("chkDim").ok());
    QVERIFY(!e.chkDim.checked);
    const QByteArray a = TestImage(300, 2), b = TestImage(100, 3), c = TestImage(200, 4);
    WriteFile(d.dir.filePath("a.gif"), a);
    WriteFile(d.dir.filePath("b.gif"), b);
    WriteFile(d.dir.filePath("c.gif"), c);
    auto import = [&](const char* key, const char* file) {
        const int r = d.rowOf(key);
        d.values().select(r);
        L_Values_Click(e, r);
        d.dialogs.files.push_back(d.dir.filePath(file));
        d.perform("cmdImport");
    };
    import("0040", "c.gif");
    import("0040", "a.gif");  // the second replacement of the same row wins
    import("0042", "b.gif");
    QCOMPARE(d.row("0040").cell(ColBytes), QStringLiteral("300"));
    // On "Byte" as text: "100" (0042) before "300" (0040).
    L_Values_ColumnClick(e, 5);
    QCOMPARE(d.values().row(1).key(), QStringLiteral("0041"));  // "10"
    QVERIFY(SalvaSkin(e).containerWritten);
    QCOMPARE(ReadFile(d.dir.filePath("varavave14.dat")), b + a);
    const QStringList lines = QString::fromLatin1(ReadFile(skin)).split('\n');
    QCOMPARE(lines.at(2), QStringLiteral("5 40 100 300 14"));
    QCOMPARE(lines.at(4), QStringLiteral("5 42 0 100 14"));
    QCOMPARE(d.row("0040").colour, kRed);
}

void TestObjects::saveAndRepackRefuseWhatIsNoGif()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    // Object 653 lives in container 14: its extracted file is packed at every save.
    const QString path = ImagePathOf(d.row("0653"));
    QCOMPARE(d.row("0653").cell(ColState), kStateReplace);
    const std::pair<QByteArray, ImageFault> bad[] = {
        {QByteArray("JFIF, or so it says"), ImageFault::NotGif},
        {DeclaredGif(20000, 20000, 20000, 20000), ImageFault::TooLarge},
        {QByteArray("GIF89a\x04\x00\x04\x00\x00\x00\x00\x3B", 14), ImageFault::NoImage},
    };
    for (const auto& [bytes, fault] : bad) {
        WriteFile(path, bytes);
        const auto before = Snapshot(d.dir.path());
        const SaveReport r = SalvaSkin(e);
        QVERIFY(!r.saved);
        QCOMPARE(r.error.code, SkinError::ImageRefused);
        QCOMPARE(r.error.key, QStringLiteral("0653"));
        QCOMPARE(ImageFaultOf(r.error.verdict), fault);
        QCOMPARE(d.lastTitle(), QStringLiteral("Errore:"));
        QVERIFY(d.lastMessage().contains(QStringLiteral("0653")));
        QVERIFY(d.lastMessage().contains(QDir::toNativeSeparators(path)));
        QVERIFY(Snapshot(d.dir.path()) == before);
    }

    // velluno-cli repack applies the same check, with no GUI platform.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli"), {"repack", d.dir.filePath("varavave.ski")});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("0653")));
    // A real GIF passes: the decoding works there too.
    WriteFile(path, SolidGif(3, 3, qRgb(5, 5, 5)));
    p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli"), {"repack", d.dir.filePath("varavave.ski")});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(ReadFile(d.dir.filePath("varavave14.dat")).contains(SolidGif(3, 3, qRgb(5, 5, 5))));
}

void TestObjects::gifGuard_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("verdict");
    // A 1 x 1 screen with two colours, the blocks given in hex, the trailer;
    // an image of w h (hex, little-endian) with its code size and sub-blocks.
    auto gif = [](const QByteArray& blocks) {
        return QByteArray::fromHex("474946383961 0100 0100 80 00 00 000000 ffffff" + blocks + "3b");
    };
    auto image = [](const char* size, const char* data) {
        return QByteArray("2c 00000000 ") + size + " 00 " + data + " 00 ";
    };
    // Codes of 3 bits from the least significant: 02 4401 is clear, 0, end.
    const QByteArray one = image("0100 0100", "02 02 4401");
    using V = GifVerdict;
    const std::tuple<const char*, QByteArray, V> rows[] = {
        {"empty", QByteArray(), V::Empty},
        {"png", QByteArray("\x89PNG\r\n\x1a\n"), V::NotGif},
        {"largest picture", DeclaredGif(8192, 2048, 8192, 2048), V::Ok},
        {"screen too wide", DeclaredGif(8193, 1, 1, 1), V::TooLarge},
        {"screen of too many pixels", DeclaredGif(4096, 4097, 1, 1), V::TooLarge},
        {"image too large", DeclaredGif(16, 16, 20000, 20000), V::TooLarge},
        {"image 0 wide", DeclaredGif(16, 16, 0, 16), V::EmptyImage},
        {"trailer first", gif(""), V::NoImage},
        {"stray byte for a block", gif("00" + one), V::Malformed},
        {"graphic control with an empty block", gif("21 f9 00" + one), V::Malformed},
        {"one pixel", gif(one), V::Ok},
        {"bytes after the trailer", gif(one) + "xyz", V::Ok},
        {"code size 1: clear, 0, end", gif(image("0100 0100", "01 01 32")), V::Malformed},
        {"code size 9", gif(image("0100 0100", "09 01 32")), V::Malformed},
        {"clear, 0, the next free code, end", gif(image("0300 0100", "02 02 840b")), V::Ok},
        {"clear, 0, a code past the next free", gif(image("0300 0100", "02 02 c40b")), V::Malformed},
        {"the same after the last pixel", gif(image("0100 0100", "02 02 c40b")), V::Malformed},
        {"end code before the last pixel", gif(image("0200 0100", "02 02 4401")), V::Truncated},
        {"more pixels than the image", gif(image("0100 0100", "02 02 040a")), V::Ok},
        {"bytes after the end code", gif(image("0100 0100", "02 03 4401ff")), V::Ok},
        {"second image too large", gif(one + "2c 00000000 0124 0100 00"), V::TooLarge},
        {"second image short of a pixel", gif(one + image("0200 0100", "02 02 4401")), V::Truncated},
    };
    for (const auto& [name, bytes, verdict] : rows)
        QTest::newRow(name) << bytes << int(verdict);
}

void TestObjects::gifGuard()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, verdict);
    QCOMPARE(CheckGif(bytes), GifVerdict(verdict));
}

void TestObjects::gifGuardReadsWholeFiles()
{
    // Whole GIFs pass; every cut of one is Truncated, wherever it falls.
    std::vector<std::pair<QString, QByteArray>> whole = {{"solid", SolidGif(3, 2, qRgb(1, 2, 3))},
                                                         {"comment", TestImage(420, 7)},
                                                         {"declared", DeclaredGif(300, 200, 300, 200)}};
    const QDir sample(SampleDir());
    for (const QString& line : QString::fromLatin1(ReadFile(sample.filePath("varavave.ski"))).split('\n')) {
        const QStringList f = line.split(' ');  // 5 N offset length container
        const QString container = f.value(4) == "0" ? "varavave.dat" : "varavave" + f.value(4) + ".dat";
        if (f.size() == 5 && f[0] == "5")
            whole.emplace_back(line, ReadFile(sample.filePath(container)).mid(f[2].toInt(), f[3].toInt()));
    }
    const QString corpus = CorpusDir();
    for (const QString& dir : {QStringLiteral(VELLUNO_SOURCE_DIR "/assets/default"), corpus + "/gif-test-suite"})
        for (const QFileInfo& f : QDir(dir).entryInfoList({"*.gif"}, QDir::Files))
            whole.emplace_back(f.filePath(), ReadFile(f.filePath()));
    QVERIFY(whole.size() >= 3 + 26 + 26);  // ours, the sample's and the default set
    for (const auto& [name, gif] : whole) {
        GifFacts facts;
        QVERIFY2(CheckGif(gif, &facts) == GifVerdict::Ok, qPrintable(name));
        QVERIFY2(DecodeImage(gif, ImageKinds::Gif).ok(), qPrintable(name));
        if (name.contains("/animated_"))
            QCOMPARE(facts.frames, 4);  // as the suite makes them
        for (int n = 1; n < gif.size(); ++n)
            QVERIFY2(CheckGif(gif.left(n)) == GifVerdict::Truncated, qPrintable(name + ": " + QString::number(n)));
    }
    GifFacts facts;
    CheckGif(whole.front().second, &facts);
    QCOMPARE(facts.imageWidth, 3);
    QCOMPARE(facts.screenHeight, 2);
    // The largest picture the guard lets through fits Qt's allocation limit.
    QCOMPARE(DecodeImage(DeclaredGif(8192, 2048, 8192, 2048), ImageKinds::Gif).image.size(), QSize(8192, 2048));
    for (int size : {40, 41, 43, 290, 295, 1000, 5000})
        QCOMPARE(DecodeImage(TestImage(size, quint32(size)), ImageKinds::Gif).ok(), true);
    if (corpus.isEmpty())
        QSKIP("VELLUNO_CORPUS does not point at a folder with gif-test-suite/");
}

void TestObjects::pathsResolveInAnyLetterCase()
{
    QTemporaryDir dir;
    const QString real = dir.filePath("Skin Mie/Varavave_Gifs/Tasto 630.GIF");
    WriteFile(real, SolidGif(2, 2, qRgb(1, 1, 1)));
    const QString lower = (dir.path() + "/skin mie/varavave_gifs/tasto 630.gif").toLower();
    // The temporary folder's own name may have upper-case letters too.
    QCOMPARE(ResolveFile(lower), real);
    QVERIFY(FileExist(lower));
    QCOMPARE(FileLength(lower), QFileInfo(real).size());
    QCOMPARE(ExistingDir(QFileInfo(lower).path()), QFileInfo(real).path());
    QCOMPARE(FolderSnapshot(QFileInfo(lower).path()).fileLength(u"TASTO 630.gif"), QFileInfo(real).size());
    QVERIFY(!FileExist(dir.path() + "/skin mie/altro/tasto 630.gif"));
    QCOMPARE(ResolveFile(dir.path() + "/nessuna/x.gif"), dir.path() + "/nessuna/x.gif");
    bool ok = false;
    QCOMPARE(ReadWholeFile(lower, &ok), ReadFile(real));
    QVERIFY(ok);
}

void TestObjects::changedImageFilesAreRedrawn()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    d.click("0630");
    const QString path = ImagePathOf(d.row("0630"));
    std::map<QString, QString> before;
    for (const Row& r : d.values().rows())
        before[r.key()] = Look(r);
    QVERIFY(ImageFilesOfRows(e).contains(path));
    // Edited in an image editor: another colour, another size.
    WriteFile(path, SolidGif(30, 12, qRgb(0, 0, 250)));
    QVERIFY(Perform(e, UserAction::of(UserAction::Kind::FilesChanged)).ok());
    QCOMPARE(e.Pic[630].picture.size(), QSize(30, 12));
    QCOMPARE(e.canvas.Img[0].picture.pixel(1, 1), qRgb(0, 0, 250));
    QCOMPARE(e.lInfo, QStringLiteral("(hxw) = 12x30"));
    // The edit is a replacement by the file; no other row changes.
    for (const Row& r : d.values().rows())
        if (r.key() != QLatin1String("0630"))
            QCOMPARE(Look(r), before[r.key()]);
    QCOMPARE(d.row("0630").cell(ColState), kStateReplace);
    QVERIFY(e.status.contains(QStringLiteral("(0630)")));
}

void TestObjects::exportKeepsHandEditedImages()
{
    Desk d;
    d.openSample();
    Editor& e = d.editor;
    const QString gifs = e.doc.GifDir;
    const QString status = e.status;
    // A second export of an untouched folder keeps nothing and says nothing.
    QVERIFY(cmdExportAll_Click(e).kept.isEmpty());
    QCOMPARE(e.status, status);

    const QByteArray mine = SolidGif(20, 20, qRgb(9, 99, 199));
    WriteFile(gifs + "640.gif", mine);
    const QByteArray extracted = ReadFile(gifs + "641.gif");
    WriteFile(gifs + "641.gif", "scribbled");
    ExtractReport r = cmdExportAll_Click(e);
    QCOMPARE(r.kept.size(), 2);
    QCOMPARE(ReadFile(gifs + "640.gif.1"), mine);
    QCOMPARE(ReadFile(gifs + "641.gif.1"), QByteArray("scribbled"));
    QCOMPARE(ReadFile(gifs + "641.gif"), extracted);
    QCOMPARE(e.status, QStringLiteral("Esporta tutto: 2 immagini modificate a mano sono state conservate con un "
                                      "numero (640.gif.1, 641.gif.1)."));
    // Edited again: the next number.
    WriteFile(gifs + "640.gif", "again");
    r = cmdExportAll_Click(e);
    QCOMPARE(r.kept.size(), 1);
    QCOMPARE(ReadFile(gifs + "640.gif.2"), QByteArray("again"));
    QCOMPARE(e.status, QStringLiteral("Esporta tutto: 1 immagine modificata a mano è stata conservata come "
                                      "640.gif.2."));

    // The numbered copies are nobody's image or wallpaper.
    QVERIFY(QFile::remove(gifs + "640.gif"));
    QVERIFY(!FileExist(gifs + "640.gif"));
    QVERIFY(!FolderSnapshot(gifs).hasFile(u"640.gif"));
    FillWallpaperList(e, gifs);
    QVERIFY(!e.FileDesktop.files.isEmpty());
    for (const QString& name : e.FileDesktop.files)
        QVERIFY2(name.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive), qPrintable(name));
    Desk again;
    again.open(d.dir.filePath("varavave.ski"));
    QCOMPARE(again.row("0640").cell(ColState), kStateNotFound);
}

void TestObjects::documentedDefaultsScript()
{
    // The script exactly as docs/scripting.md shows it.
    const QString doc = QString::fromUtf8(ReadFile(QStringLiteral(VELLUNO_SOURCE_DIR "/docs/scripting.md")));
    const int intro = doc.indexOf(QStringLiteral("`defaults.txt` replaces"));
    QVERIFY(intro >= 0);
    const int open = doc.indexOf(QStringLiteral("```\n"), intro) + 4;
    const int close = doc.indexOf(QStringLiteral("```\n"), open);
    QVERIFY(open > 4 && close > open);
    const QByteArray script = doc.mid(open, close - open).toUtf8();
    QVERIFY(script.contains("click cmdDefaultAll"));

    QTemporaryDir dir;
    CopySample(dir.path());
    const QByteArray colours = ReadFile(dir.filePath("varavave.ski"));
    WriteFile(dir.filePath("defaults.txt"), script);
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli"), {"script", "defaults.txt"});
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitCode(), 0);
    const QList<QByteArray> out = p.readAllStandardOutput().trimmed().split('\n');
    const QJsonObject dump = QJsonDocument::fromJson(out.last()).object();

    // Container 14 holds the default images back to back in ID order, and
    // every record points into it.
    QByteArray expected;
    const QDir defaults(QStringLiteral(VELLUNO_BIN_DIR "/default"));
    const QJsonArray rows = dump["L_Values"].toObject()["rows"].toArray();
    QVERIFY(!rows.isEmpty());
    for (const QJsonValue& v : rows) {
        const QJsonObject row = v.toObject();
        const QByteArray image = ReadFile(defaults.filePath(ObjectImageName(row["key"].toString())));
        QVERIFY2(!image.isEmpty(), qPrintable(row["key"].toString()));
        const QJsonArray cells = row["cells"].toArray();
        QCOMPARE(cells[1].toString(), QStringLiteral("14"));
        QCOMPARE(cells[2].toString(), QString::number(expected.size()));
        QCOMPARE(cells[3].toString(), QString::number(image.size()));
        expected += image;
    }
    QCOMPARE(ReadFile(dir.filePath("varavave14.dat")), expected);
    QCOMPARE(ReadFile(dir.filePath("varavave_old.ski")), colours);
    // Nothing else was loaded: the colour records are those of before.
    auto colourLines = [](const QByteArray& text) {
        QStringList lines;
        for (const QString& l : QString::fromLatin1(text).split('\n'))
            if (l.startsWith(QLatin1Char('4')))
                lines << l;
        return lines;
    };
    QCOMPARE(colourLines(ReadFile(dir.filePath("varavave.ski"))), colourLines(colours));
    const QJsonArray messages = dump["messages"].toArray();
    QCOMPARE(messages.size(), 3);
    QCOMPARE(messages[1].toObject()["text"].toString(), kReminder);
}

QTEST_MAIN(TestObjects)
#include "test_objects.moc"
