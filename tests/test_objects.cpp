// The graphic-objects tab: what a row shows, sorting, "Esporta tutto",
// "Importa..." and dropped files, "Default" and "Skin di default", images
// edited on the disk, and what the image check refuses on the way.
#include "editor/messages.h"
#include "testsupport.h"
#include "tinygif.h"

#include <QTest>

using namespace velluno;
using namespace velluno::test;
using Kind = UserAction::Kind;

namespace {

const QString kEmptyPage =
    QStringLiteral("about:<html><body leftMargin=0 topMargin=0 marginheight=0 marginwidth=0 scroll=no>");
const QString kReminder = QStringLiteral("N.B. Ricordati di caricare anche i colori di default.");
const QString kTooLarge =
    QStringLiteral("l'immagine è troppo grande (oltre 8192 pixel per lato o 16 milioni di pixel)");

// The sample, opened and extracted.
struct Extracted : Opened {
    Extracted() { click("cmdExportAll"); }
    QString image(const QString& key) const { return cell("L_Values", key, kPath); }
};

QString Skin(const QString& dir, const QByteArray& records)
{
    WriteFile(dir + "/varavave.ski", "SKI1 test\n0 oggetti\n" + records);
    return dir + "/varavave.ski";
}

}  // namespace

class Objects : public QObject {
    Q_OBJECT
private slots:
    void rowsShowTheirImage();
    void sortingIsByTextAndFollowsTheSelection();
    void importReplacesTheSelectedRow();
    void importTakesOnlyWholeGifsOfTheSize();
    void aFileDroppedOnARowIsImported();
    void defaultImages();
    void saveAndRepackRefuseWhatIsNoGif();
    void exportCutsEveryRowFromItsContainer();
    void exportMarksFaultyRowsAndGoesOn();
};

void Objects::rowsShowTheirImage()
{
    Extracted s;
    for (const char* control : {"cmdImport", "cmdDefault", "chkDim", "chkConferma"})
        QVERIFY(!ControlState(s.dump(), control)["enabled"].toBool());
    s.rowOf("L_Values", "0630");
    QCOMPARE(Text(s.dump(), "lInfo"), QStringLiteral("(hxw) = 22x77"));  // height first
    s.rowOf("L_Values", "0007");
    QJsonObject d = s.dump();
    const QString path = s.image("0007");
    QCOMPARE(ControlState(d, "PicPreview"), QJsonObject({{"width", 72}, {"height", 72}}));
    QCOMPARE(QStringList({Text(d, "lInfo"), Text(d, "WB"), Text(d, "WBImage"), d["status"].toString()}),
             QStringList({"(hxw) = 72x72", kEmptyPage + "<img src=\"" + path + "\"></img></body></html>", path, "Tag: 2204 861 0"}));
    for (const char* control : {"cmdImport", "cmdDefault", "chkDim", "chkConferma"})
        QVERIFY(ControlState(d, control)["enabled"].toBool());

    // Damaged files: the empty page, why in the status bar, the last measure kept.
    const std::tuple<const char*, QByteArray, QString> damaged[] = {
        {"0630", QByteArray("GIF89a\x10\x00", 8), "Errore n° 4, il file GIF è incompleto"},
        {"0631", "plain text, no picture", "Errore n° 3, il file non è un'immagine"},
        {"0632", QByteArray(), "Errore n° 4, il file è vuoto"},
        {"0633", DeclaredGif(20000, 20000, 20000, 20000), "Errore n° 4, " + kTooLarge}};
    for (const auto& [key, bytes, status] : damaged) {
        WriteFile(s.image(key), bytes);
        s.rowOf("L_Values", key);
        d = s.dump();
        QCOMPARE(QStringList({d["status"].toString(), Text(d, "WB"), Text(d, "WBImage")}), QStringList({status, kEmptyPage + "</body></html>", ""}));
        QCOMPARE(ControlState(d, "PicPreview"), QJsonObject({{"width", 72}, {"height", 72}}));
    }
    // A file deleted after opening: the empty page and "...", no error.
    QVERIFY(QFile::remove(s.image("0634")));
    s.rowOf("L_Values", "0634");
    QCOMPARE(Text(s.dump(), "lInfo"), QStringLiteral("..."));
    QCOMPARE(s.status(), QStringLiteral("Tag: 1372 416 0"));


    // A picture of the button panel shows its row on the objects tab.
    QVERIFY(s.tab(0).ok());
    QVERIFY(s.click("Pic", 630).ok());
    d = s.dump();
    QCOMPARE(QList<int>({d["tab"].toInt(), d["L_Values"].toObject()["selected"].toInt()}), QList<int>({1, RowNumber(d, "L_Values", "0630")}));
    QCOMPARE(Session().click("Pic", 630).outcome, ActionResult::Outcome::Ignored);  // no skin, no picture
}

void Objects::sortingIsByTextAndFollowsTheSelection()
{
    // Keys as text without regard to case, equal keys in file order; the
    // "Byte" column as text too.
    Opened s("SKI1\n0 oggetti\n5 999 0 999 0\n5 100 0 100 0\n5 1000 0 1000 0\n5 5 0 5 0\n"
             "5 b 0 7 0\n5 a 0 8 0\n5 A 0 9 0\n5 B 0 6 0\n");
    QCOMPARE(Keys(s.dump(), "L_Values"), QStringList({"0005", "0100", "0999", "1000", "a", "A", "b", "B"}));
    s.rowOf("L_Values", "0999");
    QVERIFY(s.header("L_Values", 5).ok());
    QJsonObject d = s.dump();
    QCOMPARE(d["L_Values"].toObject()["sort"].toInt(), 4);
    QCOMPARE(Keys(d, "L_Values"), QStringList({"0100", "1000", "0005", "B", "b", "a", "A", "0999"}));
    QCOMPARE(d["L_Values"].toObject()["selected"].toInt(), 8);
    QCOMPARE(s.header("L_Values", 9).outcome, ActionResult::Outcome::Missing);

    // "Importa..." sorts on the key again before its dialog, even when cancelled.
    s.rowOf("L_Values", "1000");
    s.dialogs.files.push_back(std::nullopt);
    QVERIFY(s.click("cmdImport").ok());
    d = s.dump();
    QCOMPARE(d["L_Values"].toObject()["sort"].toInt(), 0);
    QCOMPARE(Keys(d, "L_Values").mid(0, 4), QStringList({"0005", "0100", "0999", "1000"}));
    QCOMPARE(d["L_Values"].toObject()["selected"].toInt(), 4);
    QCOMPARE(s.dialogs.asked.last(), QStringLiteral("Importa GIF...|GIF Image (*.gif)|*.gif|1000"));
}

void Objects::importReplacesTheSelectedRow()
{
    Extracted s;
    // A GIF in folders written in mixed case: the row keeps the path in
    // lower case, and every later use finds the file all the same.
    const QString chosen = s.path("Nuove Immagini/Tasti/Sinistro.GIF");
    const QByteArray gif = SolidGif(77, 22, qRgb(250, 10, 10));
    WriteFile(chosen, gif);
    const QString before = Look(s.find("L_Values", "0630"));
    const int renders = s.renders();
    QVERIFY(s.import("0630", chosen).ok());
    QCOMPARE(Look(s.find("L_Values", "0630")),
             QStringList({"0630", "00_000000", "-", "-", QString::number(gif.size()), "Da sostituire", chosen.toLower(),
                          before.section('|', 7, 7), "blue bold icon 2"}).join('|'));
    QCOMPARE(s.find("L_Values", "0630")["tag"].toString(), QStringLiteral("0 415 0"));
    const QJsonObject d = s.dump();
    QCOMPARE(Text(d, "WBImage"), chosen.toLower());
    QCOMPARE(Text(d, "lInfo"), QStringLiteral("(hxw) = 22x77"));
    QCOMPARE(d["canvas"].toObject()["Img"].toArray()[0].toObject()["image"].toString(), chosen.toLower());
    QVERIFY(s.renders() > renders);
    QCOMPARE(s.preview().pixel(5, 203), qRgb(250, 10, 10));
    QVERIFY(d["messages"].toArray().isEmpty());
    // The dialog started in the skin's folder; the table has the keyboard again.
    QVERIFY(s.dialogs.folders.last() == s.dir.path() && d["view"].toObject()["focus"] == "L_Values");
    // Saved from the lower-cased path.
    QVERIFY(s.save().failure.ok());
    QVERIFY(ReadFile(s.path("varavave14.dat")).contains(gif));
}

void Objects::importTakesOnlyWholeGifsOfTheSize()
{
    Extracted s;
    WriteFile(s.image("0007"), SolidGif(16, 16, qRgb(9, 9, 9)));
    WriteFile(s.path("q16.gif"), SolidGif(16, 16, qRgb(0, 0, 255)));
    WriteFile(s.path("q17.gif"), SolidGif(16, 17, qRgb(0, 255, 0)));
    s.rowOf("L_Values", "0007");
    QVERIFY(ControlState(s.dump(), "chkDim")["checked"].toBool());
    QString look = Look(s.find("L_Values", "0007"));
    s.import("0007", s.path("q17.gif"));
    QCOMPARE(s.lastMessage()["title"].toString(), QStringLiteral("Errore:"));
    QCOMPARE(s.lastMessage()["text"].toString(),
             QStringLiteral("Le dimensioni dell'immagine che si vuole importare, non corrispondono!"));
    QCOMPARE(Look(s.find("L_Values", "0007")), look);
    QCOMPARE(s.dump()["view"].toObject()["focus"].toString(), QString());
    s.import("0007", s.path("q16.gif"));
    QCOMPARE(s.image("0007"), s.path("q16.gif").toLower());
    // The same file again, spelt in another case: a warning, no change.
    look = Look(s.find("L_Values", "0007"));
    s.import("0007", s.path("q16.gif").toUpper());
    QCOMPARE(s.lastMessage()["title"].toString(), QStringLiteral("Attenzione:"));
    QCOMPARE(s.lastMessage()["text"].toString(),
             QStringLiteral("Il percorso dei due file *.GIF è identico, sostituzione non necessaria!"));
    QVERIFY(Look(s.find("L_Values", "0007")) == look && s.dump()["view"].toObject()["focus"] == "L_Values");
    // Without "Verifica dimensioni" any size goes, and the last import wins.
    s.click("chkDim");
    s.import("0007", s.path("q17.gif"));
    QCOMPARE(s.image("0007"), s.path("q17.gif").toLower());
    QCOMPARE(ControlState(s.dump(), "PicPreview"), QJsonObject({{"width", 16}, {"height", 17}}));

    // Gone and a folder end silently, as a cancel; what the image check
    // refuses gets an error naming the file, the object and why.
    QDir().mkpath(s.path("una cartella.gif"));
    const QByteArray cut = SolidGif(40, 40, qRgb(1, 2, 3));
    QVERIFY(QImage(QSize(8, 8), QImage::Format_RGB32).save(s.path("foto.gif"), "JPEG"));
    const std::pair<QString, QByteArray> files[] = {
        {"sparito.gif", {}},                                  {"una cartella.gif", {}},
        {"vuoto.gif", ""},                                    {"testo.gif", "not a picture at all"},
        {"enorme.gif", DeclaredGif(20000, 20000, 20000, 20000)}, {"cornice.gif", DeclaredGif(16, 16, 20000, 20000)},
        {"tagliato.gif", cut.left(cut.size() - 3)},           {"foto.gif", {}}};
    const QString why[] = {"", "", "il file è vuoto", "il file non è un'immagine GIF", kTooLarge, kTooLarge,
                           "il file GIF è incompleto", "il file non è un'immagine GIF"};
    look = Look(s.find("L_Values", "0640"));
    for (int i = 0; i < 8; ++i) {
        const QString file = s.path(files[i].first);
        if (!files[i].second.isNull())
            WriteFile(file, files[i].second);
        const int messages = s.dump()["messages"].toArray().size();
        s.import("0640", file);
        QCOMPARE(s.dump()["messages"].toArray().size(), messages + (why[i].isEmpty() ? 0 : 1));
        const QString text = s.lastMessage()["text"].toString();
        QVERIFY2(why[i].isEmpty() || (text.contains(file) && text.contains("0640") && text.contains(why[i])), qPrintable(text));
        QCOMPARE(Look(s.find("L_Values", "0640")), look);
    }
    QCOMPARE(s.dialogs.unanswered, 0);
}

void Objects::aFileDroppedOnARowIsImported()
{
    Extracted s;
    s.rowOf("L_Values", "0007");
    s.click("chkDim");
    const QString file = s.path("Trascinata.gif");
    WriteFile(file, SolidGif(10, 10, qRgb(1, 200, 1)));
    s.header("L_Values", 5);  // the drop's row counts in the order shown
    const qsizetype dialogs = s.dialogs.asked.size();
    QVERIFY(s.drop("L_Values", RowNumber(s.dump(), "L_Values", "0652"), file).ok());
    const QJsonObject d = s.dump();
    QCOMPARE(Cell(RowByKey(d, "L_Values", "0652"), kPath), file.toLower());
    QCOMPARE(d["L_Values"].toObject()["selected"].toInt(), RowNumber(d, "L_Values", "0652"));
    QCOMPARE(d["L_Values"].toObject()["sort"].toInt(), 0);
    QCOMPARE(Text(d, "WBImage"), file.toLower());
    QCOMPARE(s.dialogs.asked.size(), dialogs);
    QCOMPARE(s.drop("L_Values", Keys(d, "L_Values").size() + 1, file).outcome, ActionResult::Outcome::Missing);
    QCOMPARE(s.drop("L_Values", 0, file).outcome, ActionResult::Outcome::Unknown);
}

void Objects::defaultImages()
{
    QTemporaryDir defaults;
    const QByteArray six = SolidGif(4, 4, qRgb(7, 7, 7));
    WriteFile(defaults.filePath("6.gif"), six);
    WriteFile(defaults.filePath("652.GIF"), SolidGif(5, 5, qRgb(2, 2, 2)));
    Opened s("SKI1\n0 oggetti\n5 6 0 10 0\n5 640 0 10 0\n5 652 0 10 0\n5 7 0 10 0\n");
    s.defaults(defaults.path());
    s.rowOf("L_Values", "0006");
    QString look = Look(s.find("L_Values", "0006"));
    s.dialogs.answers.push_back(Answer::No);
    s.click("cmdDefault");
    QCOMPARE(s.lastMessage()["text"].toString(), QStringLiteral("Oggetto n° 0006\nConfermi la sostituzione di questo "
                                                                "oggetto con quello di default (pavonel by Ostrel) ?"));
    QCOMPARE(Look(s.find("L_Values", "0006")), look);
    s.dialogs.answers.push_back(Answer::Yes);
    s.click("cmdDefault");
    QCOMPARE(Cells(s.find("L_Values", "0006"), kDat, kPath),
             QStringList({"-", "-", QString::number(six.size()), "Da sostituire", defaults.filePath("6.gif")}));
    QCOMPARE(Text(s.dump(), "lInfo"), QStringLiteral("(hxw) = 4x4"));

    // Without "Richiedi conferma" no question; a missing default image is
    // named in a warning, one cut short is refused as an import refuses it.
    s.click("chkConferma");
    s.rowOf("L_Values", "0640");
    look = Look(s.find("L_Values", "0640"));
    s.click("cmdDefault");
    QCOMPARE(s.lastMessage()["title"].toString(), QStringLiteral("Attenzione:"));
    QVERIFY(s.lastMessage()["text"].toString().contains(defaults.filePath("640.gif")));
    WriteFile(defaults.filePath("640.gif"), six.left(six.size() - 3));
    s.click("cmdDefault");
    QCOMPARE(s.lastMessage()["title"].toString(), QStringLiteral("Errore:"));
    QVERIFY(s.lastMessage()["text"].toString().contains("il file GIF è incompleto"));
    QCOMPARE(Look(s.find("L_Values", "0640")), look);
    QCOMPARE(s.dialogs.unanswered, 0);

    // "Skin di default": No changes nothing; Yes replaces what the set has
    // (in any letter case), leaves the rest, shows row 1 and reminds of
    // the colours.
    QFile::remove(defaults.filePath("640.gif"));
    const QStringList before = Looks(s.dump(), "L_Values");
    s.dialogs.answers.push_back(Answer::No);
    s.click("cmdDefaultAll");
    QCOMPARE(s.lastMessage()["text"].toString(),
             QStringLiteral("Confermi la sostituzione di tutti gli oggetti con quelli di default (pavonel by Ostrel) ?"));
    s.dialogs.answers.push_back(Answer::Yes);
    s.click("cmdDefaultAll");
    const QJsonObject d = s.dump();
    QCOMPARE(s.lastMessage()["text"].toString(), kReminder);
    QCOMPARE(Looks(d, "L_Values").mid(1, 2), before.mid(1, 2));  // 0007 and 0640: no default image
    QCOMPARE(Cells(RowByKey(d, "L_Values", "0652"), kState, kPath), QStringList({"Da sostituire", defaults.filePath("652.gif")}));
    QCOMPARE(d["L_Values"].toObject()["selected"].toInt(), RowNumber(d, "L_Values", "0652"));
    QCOMPARE(d["status"].toString(), "Tag: " + RowByKey(d, "L_Values", "0006")["tag"].toString());
    QCOMPARE(Text(d, "WBImage"), defaults.filePath("6.gif"));
    QCOMPARE(d["view"].toObject(), QJsonObject({{"focus", "L_Values"}, {"objectRow", 1}}));
    QCOMPARE(d["Pic"].toObject()["652"].toObject()["image"].toString(), defaults.filePath("652.gif"));

}

void Objects::saveAndRepackRefuseWhatIsNoGif()
{
    Extracted s;
    // Object 653 lives in container 14: its extracted file is packed at every save.
    const QString path = s.image("0653");
    QCOMPARE(s.cell("L_Values", "0653", kState), QStringLiteral("Da sostituire"));
    const std::pair<QByteArray, const char*> bad[] = {
        {"JFIF, or so it says", "non è un'immagine GIF"},
        {DeclaredGif(20000, 20000, 20000, 20000), "troppo grande"},
        {QByteArray("GIF89a\x04\x00\x04\x00\x00\x00\x00\x3B", 14), "non contiene alcuna immagine"}};
    for (const auto& [bytes, why] : bad) {
        WriteFile(path, bytes);
        const auto before = Snapshot(s.dir.path());
        QCOMPARE(s.save().failure.key, QStringLiteral("0653"));
        const QString text = s.lastMessage()["text"].toString();
        QVERIFY2(text.contains("0653") && text.contains(path) && text.contains(why), qPrintable(text));
        QVERIFY(Snapshot(s.dir.path()) == before);
    }
    // velluno-cli repack applies the same check; a real GIF passes there too.
    const Run refused = Cli({"repack", s.skin});
    QCOMPARE(refused.status, 1);
    QVERIFY(refused.err.contains("0653"));
    WriteFile(path, SolidGif(3, 3, qRgb(5, 5, 5)));
    QCOMPARE(Cli({"repack", s.skin}).status, 0);
    QVERIFY(ReadFile(s.path("varavave14.dat")).contains(SolidGif(3, 3, qRgb(5, 5, 5))));
}

void Objects::exportCutsEveryRowFromItsContainer()
{
    QTemporaryDir dir;
    const QByteArray c0 = TestImage(250, 1), c1 = TestImage(80, 2), c14 = TestImage(60, 3);
    WriteFile(dir.filePath("varavave.dat"), c0);
    WriteFile(dir.filePath("VARAVAVE1.DAT"), c1);  // any letter case
    WriteFile(dir.filePath("varavave14.dat"), c14);
    // The first bytes, up to the container's end exactly, one byte past it,
    // container "01", the editor's own container.
    const QString skin = Skin(dir.path(), "5 6 0 100 0\n5 7 100 150 0\n5 8 101 150 0\n5 562 30 50 01\n5 900 0 60 14\n");
    // An older, longer image file is replaced, not overwritten in place;
    // its bytes are kept beside it.
    WriteFile(dir.filePath("varavave_Gifs/6.gif"), QByteArray(1000, 'x'));
    Session s;
    s.open(skin);
    const int renders = s.renders();
    s.click("cmdExportAll");
    QVERIFY(s.renders() > renders);
    const QString gifs = dir.filePath("varavave_Gifs/");
    const std::pair<QString, QByteArray> files[] = {{"6.gif", c0.mid(0, 100)},  {"7.gif", c0.mid(100, 150)},
                                                    {"562.gif", c1.mid(30, 50)}, {"900.gif", c14},
                                                    {"6.gif.1", QByteArray(1000, 'x')}};
    QDir::Filters all = QDir::Files | QDir::Hidden;
    QCOMPARE(QDir(gifs).entryList(all, QDir::Name), QStringList({"562.gif", "6.gif", "6.gif.1", "7.gif", "900.gif"}));
    for (const auto& [name, bytes] : files)
        QVERIFY2(ReadFile(gifs + name) == bytes, qPrintable(name));
    QCOMPARE(Look(s.find("L_Values", "0006")).section('|', 5), "Estratta|" + gifs + "6.gif|0002|black icon 6");
    QCOMPARE(Look(s.find("L_Values", "0008")).section('|', 5), "Non trovata| |0004|red icon 3");
    QCOMPARE(Look(s.find("L_Values", "0900")).section('|', 5), "Da sostituire|" + gifs + "900.gif|0006|blue bold icon 2");
    QCOMPARE(s.dump()["L_Values"].toObject()["selected"].toInt(), 5);  // the progress ran to the last row
    QCOMPARE(s.status(), QStringLiteral("Esporta tutto: 1 immagine modificata a mano è stata conservata come 6.gif.1."));
    s.click("cmdExportAll");
    QCOMPARE(ReadFile(gifs + "7.gif"), c0.mid(100, 150));
    // Five kept copies are named, more are cut short.
    QVector<ExtractReport::Kept> kept;
    for (int n = 1; n <= 6; ++n)
        kept.append(ExtractReport::Kept{QString(), QString(), QStringLiteral("/a/%1.gif.1").arg(n)});
    QVERIFY(KeptImagesText(kept.mid(0, 5)).endsWith("(1.gif.1, 2.gif.1, 3.gif.1, 4.gif.1, 5.gif.1)."));
    QVERIFY(KeptImagesText(kept).endsWith("5.gif.1, ...)."));

    // Container 14 of another skin is an ordinary container.
    WriteFile(dir.filePath("altra14.dat"), c14);
    WriteFile(dir.filePath("altra.ski"), "SKI1\n0 oggetti\n5 900 0 60 14\n");
    s.open(dir.filePath("altra.ski"));
    s.click("cmdExportAll");
    QCOMPARE(Look(s.find("L_Values", "0900")).section('|', 5, 5), QStringLiteral("Estratta"));
    QCOMPARE(ReadFile(dir.filePath("altra_Gifs/900.gif")), c14);

    // A replaced row keeps its own image; nothing open, nothing extracted.
    s.open(skin);
    WriteFile(dir.filePath("mine.gif"), TestImage(77, 6));
    s.rowOf("L_Values", "0006");
    s.click("chkDim");
    s.import("0006", dir.filePath("mine.gif"));
    s.click("cmdExportAll");
    QCOMPARE(Cells(s.find("L_Values", "0006"), kState, kPath), QStringList({"Da sostituire", dir.filePath("mine.gif").toLower()}));
    QCOMPARE(ReadFile(gifs + "6.gif"), c0.mid(0, 100));
    Session none;
    const int before = none.renders();
    none.click("cmdExportAll");
    QCOMPARE(none.renders(), before);
}

void Objects::exportMarksFaultyRowsAndGoesOn()
{
    QTemporaryDir dir;
    const QByteArray c0 = TestImage(300, 4);
    WriteFile(dir.filePath("varavave.dat"), c0);
    WriteFile(dir.filePath("varavave2.dat"), QByteArray());
    // No such container, an empty one, an image of no bytes, past 32 bits,
    // a length far too long, negative, a sum that overflows, exponents, not
    // a whole byte; then good ones.
    Session s;
    s.open(Skin(dir.path(), "5 10 0 10 3\n5 11 0 10 2\n5 12 5 0 0\n5 13 4294967296 10 0\n5 14 0 99999999999999999999 0\n"
                            "5 15 -5 10 0\n5 16 9223372036854775807 9223372036854775807 0\n5 17 0 1e300 0\n"
                            "5 18 10 20 -1\n5 19 2.5 10 0\n5 20 290 10 0\n5 21 0 10 0\n"));
    QVERIFY(QDir(dir.filePath("varavave_Gifs")).removeRecursively());  // the export makes it again
    QVERIFY(s.dump()["statusNote"].toString().startsWith("Immagini non estratte (12 di 12): «Esporta tutto»"));
    s.click("cmdExportAll");
    // One message counts the rows left out and says why for the first five.
    const QString told = s.lastMessage()["text"].toString();
    QVERIFY2(told.startsWith("Esporta tutto: 10 oggetti non sono stati estratti:\n0010: il contenitore ") &&
                 told.contains("varavave3.dat non esiste\n0011: il contenitore ") && told.contains("è vuoto\n0012: un'immagine lunga 0 byte\n") &&
                 told.contains("\n(e altri 5)\n\nEsporta tutto: 2 immagini estratte non sono GIF") &&
                 told.count('\n') == 10, qPrintable(told));
    QCOMPARE(s.dump()["statusNote"].toString(), QStringLiteral("10 oggetti senza immagine"));
    const QString gifs = dir.filePath("varavave_Gifs/");
    QCOMPARE(QDir(gifs).entryList(QDir::Files), QStringList({"20.gif", "21.gif"}));
    QCOMPARE(ReadFile(gifs + "20.gif"), c0.mid(290, 10));
    for (int key = 10; key <= 19; ++key)
        QVERIFY(Look(s.find("L_Values", QStringLiteral("00%1").arg(key))).endsWith("red icon 3"));

    // An image file that cannot be replaced (a folder took its name) fails
    // alone; nothing temporary is left behind.
    QVERIFY(QFile::remove(gifs + "21.gif"));
    QVERIFY(QDir().mkdir(gifs + "21.gif"));
    WriteFile(gifs + "20.gif", "stale");
    s.click("cmdExportAll");
    QVERIFY(Look(s.find("L_Values", "0021")).endsWith("red icon 3"));
    QVERIFY(s.lastMessage()["text"].toString().startsWith("Esporta tutto: 11 oggetti"));
    QCOMPARE(ReadFile(gifs + "20.gif"), c0.mid(290, 10));
    QCOMPARE(QDir(gifs).entryList(QDir::Files | QDir::Hidden, QDir::Name), QStringList({"20.gif", "20.gif.1"}));
}

QTEST_MAIN(Objects)
#include "test_objects.moc"
