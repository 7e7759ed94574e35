// The colour tab, the default colour scheme, the hand lengths and the five
// colour swatches of the preview tab, driven through the action table as
// the window drives them; then what a save makes of every such change.
#include "testsupport.h"

#include "editor/actions.h"
#include "editor/colours.h"
#include "editor/preview.h"
#include "editor/settings.h"
#include "skin/colourscheme.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace velluno;
using namespace velluno::test;
using Kind = UserAction::Kind;

namespace {

constexpr quint32 Rgb(int r, int g, int b) { return quint32(r) + 256u * quint32(g) + 65536u * quint32(b); }

ActionResult Click(Editor& e, const char* name, int index = 0)
{
    return Perform(e, UserAction::click(QString::fromLatin1(name), index));
}

ActionResult ClickRow(Editor& e, const char* key)
{
    const int row = e.doc.L_RGBA.findKey(QLatin1String(key));
    if (row == 0)
        qFatal("no colour row %s", key);
    return Perform(e, UserAction::of(Kind::Row, QStringLiteral("L_RGBA"), row));
}

// The field's whole text replaced, as a paste does.
void Set(Editor& e, FieldRef ref, const QString& text)
{
    UserAction a = UserAction::of(Kind::Paste, FieldName(ref.kind), ref.kind == FieldKind::Txt ? ref.index : 0);
    a.text = text;
    Perform(e, a);
}

// Keys typed at the end of the field; "\b" is Backspace.
void Type(Editor& e, FieldRef ref, const QString& keys)
{
    UserAction a = UserAction::of(Kind::Type, FieldName(ref.kind), ref.kind == FieldKind::Txt ? ref.index : 0);
    for (QChar c : keys)
        a.keys.append(c.unicode());
    Perform(e, a);
}

const FieldRef kMin{FieldKind::TxtMin, 0};
const FieldRef kOra{FieldKind::TxtOra, 0};

const Row& RgbaRow(const Editor& e, const char* key)
{
    const int r = e.doc.L_RGBA.findKey(QLatin1String(key));
    if (r == 0)
        qFatal("no colour row %s", key);
    return e.doc.L_RGBA.row(r);
}

QStringList Cells(const Row& row) { return QStringList{row.key()} + row.cells(); }

// Key and cells of every colour row, for "nothing changed".
QStringList Rows(const Table& t)
{
    QStringList all;
    for (const Row& r : t.rows())
        all << Cells(r).join(QLatin1Char(',')) + (r.bold ? QStringLiteral(" bold") : QString());
    return all;
}

// The sample skin copied into a folder of its own and opened through LOAD,
// with `edit` applied to its text first.
struct Opened : Session {
    QTemporaryDir dir;
    QString skin;
    explicit Opened(const std::function<void(QByteArray&)>& edit = {})
    {
        CopySample(dir.path());
        skin = dir.filePath(QStringLiteral("varavave.ski"));
        if (edit) {
            QByteArray text = ReadFile(skin);
            edit(text);
            WriteFile(skin, text);
        }
        open(skin);
        if (editor.doc.L_RGBA.isEmpty())
            qFatal("the sample skin did not open");
    }
    QString line(int slot) const { return editor.doc.SkinLines.value(slot); }
};

// A default folder holding `scheme` as colors.txt.
struct DefaultDir {
    QTemporaryDir dir;
    explicit DefaultDir(const QByteArray& scheme) { WriteFile(dir.filePath(QStringLiteral("colors.txt")), scheme); }
    QString path() const { return dir.path(); }
};

// "Carica i colori di default (pavonel)" answered Yes.
void LoadScheme(Session& s, const QString& defaultDir)
{
    s.editor.defaultDir = defaultDir;
    s.dialogs.answers.push_back(Answer::Yes);
    Click(s.editor, "cmdLoadColors");
}

QByteArray SchemeOfRows(int n)
{
    QByteArray text;
    for (int i = 1; i <= n; ++i)
        text += QStringLiteral("%1,%2,0,0,0,%3\r\n")
                    .arg(i, 4, 10, QLatin1Char('0'))
                    .arg(i % 256)
                    .arg((i - 1) % kSchemeMaxRows + 1, 4, 10, QLatin1Char('0'))
                    .toLatin1();
    return text;
}

}  // namespace

class Colours : public QObject {
    Q_OBJECT
private slots:
    void rowClickShowsTheRow();
    void colourDialogRecoloursTheSelectedRow();
    void transparencyFieldsWriteTheirRows();
    void defaultSchemeReplacesTheTable();
    void badSchemesLeaveTheTable_data();
    void badSchemesLeaveTheTable();
    void schemeLinesAndBounds();
    void handLengthsRewriteTheirRecords();
    void pickersWriteTheirSettings();
    void backgroundPickerAndCancelledHandPicker();
    void startAndOpeningStates();
    void everyChangeSurvivesASave();
    void loadedSchemeSurvivesASave();
    void canvasTipNamesElementAndColours();
    void cliSchemeLoadsBackToTheSameRows();
};

void Colours::rowClickShowsTheRow()
{
    Opened s;
    Editor& e = s.editor;
    const int renders = e.renders;
    QCOMPARE(ClickRow(e, "0595").outcome, ActionResult::Outcome::Done);
    QCOMPARE(e.PicColor.colour, Rgb(255, 255, 255));
    QCOMPARE(e.txt[TxtColourAlpha].text, QStringLiteral("0"));
    QVERIFY(e.txt[TxtColourAlpha].enabled);
    QCOMPARE(e.status, QStringLiteral("Indice: 4/%1").arg(e.doc.L_RGBA.count()));
    // Showing a row marks nothing and draws nothing.
    QVERIFY(!RgbaRow(e, "0595").bold);
    QCOMPARE(RgbaRow(e, "0595").colour, kBlack);
    QCOMPARE(e.renders, renders);

    // Pure red and pure blue; components outside 0..255 are held within it,
    // as the preview holds them; the transparency shows as a plain number.
    Row& row = e.doc.L_RGBA.row(e.doc.L_RGBA.findKey("0595"));
    const struct {
        const char *r, *g, *b, *t;
        quint32 colour;
        const char* shown;
    } cases[] = {{"255", "0", "0", "7", 0x0000FF, "7"},
                 {"0", "0", "255", "0128", 0xFF0000, "128"},
                 {"300", "-5", "0.6", "x", Rgb(255, 0, 1), "0"}};
    for (const auto& c : cases) {
        row.setCell(ColR, QString::fromLatin1(c.r));
        row.setCell(ColG, QString::fromLatin1(c.g));
        row.setCell(ColB, QString::fromLatin1(c.b));
        row.setCell(ColAlpha, QString::fromLatin1(c.t));
        ClickRow(e, "0595");
        QCOMPARE(e.PicColor.colour, c.colour);
        QCOMPARE(e.txt[TxtColourAlpha].text, QString::fromLatin1(c.shown));
        QCOMPARE(row.cell(ColAlpha), QString::fromLatin1(c.t));  // filled, not written back
    }
}

void Colours::colourDialogRecoloursTheSelectedRow()
{
    Opened s;
    Editor& e = s.editor;
    ClickRow(e, "0595");
    const QStringList before = Cells(RgbaRow(e, "0595"));
    const QString tag = RgbaRow(e, "0595").tag();

    // Cancel: nothing.
    s.dialogs.colours.push_back(std::nullopt);
    int renders = e.renders;
    Click(e, "PicColor");
    QCOMPARE(Cells(RgbaRow(e, "0595")), before);
    QCOMPARE(e.PicColor.colour, Rgb(255, 255, 255));
    QCOMPARE(e.renders, renders);

    s.dialogs.colours.push_back(Rgb(18, 52, 86));
    Click(e, "PicColor");
    const Row& row = RgbaRow(e, "0595");
    QCOMPARE(Cells(row), (QStringList{"0595", "18", "52", "86", before[4], before[5]}));
    QCOMPARE(row.tag(), tag);
    QVERIFY(row.bold);
    QCOMPARE(row.colour, kBlue);
    QCOMPARE(e.PicColor.colour, Rgb(18, 52, 86));
    QCOMPARE(e.renders, renders + 1);
    QCOMPARE(e.canvas.lblOperatore.colour, Rgb(18, 52, 86));  // the redraw read the row

    // No row selected: only the swatch takes the colour.
    e.doc.L_RGBA.deselect();
    const QStringList all = Rows(e.doc.L_RGBA);
    renders = e.renders;
    s.dialogs.colours.push_back(Rgb(1, 2, 3));
    Click(e, "PicColor");
    QCOMPARE(e.PicColor.colour, Rgb(1, 2, 3));
    QCOMPARE(Rows(e.doc.L_RGBA), all);
    QCOMPARE(e.renders, renders);
    QCOMPARE(s.dialogs.unanswered, 0);
}

void Colours::transparencyFieldsWriteTheirRows()
{
    Opened s;
    Editor& e = s.editor;
    const int renders = e.renders;

    Set(e, Txt(TxtOperatorAlpha), QStringLiteral("300"));
    QCOMPARE(e.txt[TxtOperatorAlpha].text, QStringLiteral("255"));
    QCOMPARE(RgbaRow(e, "0595").cell(ColAlpha), QStringLiteral("255"));
    QVERIFY(RgbaRow(e, "0595").bold && RgbaRow(e, "0595").colour == kBlue);

    Set(e, Txt(TxtDateAlpha), QStringLiteral("007"));
    QCOMPARE(e.txt[TxtDateAlpha].text, QStringLiteral("007"));
    QCOMPARE(RgbaRow(e, "0579").cell(ColAlpha), QStringLiteral("7"));

    // A pasted sign meets the key filter as a typed one does.
    Set(e, Txt(TxtOperatorAlpha), QStringLiteral("-4"));
    QCOMPARE(e.txt[TxtOperatorAlpha].text, QStringLiteral("4"));
    QCOMPARE(RgbaRow(e, "0595").cell(ColAlpha), QStringLiteral("4"));

    // The colour tab's field writes into the selected row, typed key by key.
    ClickRow(e, "0582");
    QVERIFY(!RgbaRow(e, "0582").bold);
    Type(e, Txt(TxtColourAlpha), QStringLiteral("\b12"));
    QCOMPARE(RgbaRow(e, "0582").cell(ColAlpha), QStringLiteral("12"));
    QVERIFY(RgbaRow(e, "0582").bold);

    // Without a selected row it writes nothing.
    e.doc.L_RGBA.deselect();
    const QStringList all = Rows(e.doc.L_RGBA);
    Set(e, Txt(TxtColourAlpha), QStringLiteral("99"));
    QCOMPARE(Rows(e.doc.L_RGBA), all);
    QCOMPARE(e.renders, renders);  // none of it redraws
}

void Colours::defaultSchemeReplacesTheTable()
{
    Opened s;
    Editor& e = s.editor;
    const QStringList skinRows = Rows(e.doc.L_RGBA);
    const int renders = e.renders;

    // No: nothing, after the question.
    s.dialogs.answers.push_back(Answer::No);
    Click(e, "cmdLoadColors");
    QCOMPARE(e.messages.size(), 1);
    QCOMPARE(e.messages[0].text, QStringLiteral("Confermi il caricamento dei colori di default (pavonel by Ostrel) ?"));
    QCOMPARE(e.messages[0].title, QStringLiteral("Domanda:"));
    QCOMPARE(Rows(e.doc.L_RGBA), skinRows);

    QTemporaryDir empty;
    LoadScheme(s, empty.path());
    QCOMPARE(e.messages.last().text, QStringLiteral("Schema colori di default, non trovato!"));
    QCOMPARE(e.messages.last().title, QStringLiteral("Errore:"));
    QCOMPARE(Rows(e.doc.L_RGBA), skinRows);

    ClickRow(e, "0581");
    const quint32 swatch = e.PicColor.colour;
    const QString alpha = e.txt[TxtColourAlpha].text;
    DefaultDir scheme("0595, 255, 255, 255, 0, 0123\r\n"
                      "  -,1,2,3,4,0050  \r\n"
                      "0579,10,20,30,40,0060,seventh,eighth\r\n"
                      "\r\n"
                      "9999,5,6,7,8,0070");  // a key the skin lacks; no line end
    LoadScheme(s, scheme.path());
    QCOMPARE(e.messages.last().text, QStringLiteral("Colori di defualt (pavonel by Ostrel), importati."));
    QCOMPARE(e.messages.last().title, QStringLiteral("Informazione:"));
    const Table& t = e.doc.L_RGBA;
    QCOMPARE(t.count(), 4);
    QCOMPARE(Cells(t.row(1)), (QStringList{"0595", "255", "255", "255", "0", "0123"}));
    QCOMPARE(Cells(t.row(2)), (QStringList{"-", "1", "2", "3", "4", "0050"}));
    QCOMPARE(Cells(t.row(3)), (QStringList{"0579", "10", "20", "30", "40", "0060"}));
    QCOMPARE(Cells(t.row(4)), (QStringList{"9999", "5", "6", "7", "8", "0070"}));
    for (const Row& r : t.rows()) {
        QCOMPARE(r.tag(), QStringLiteral("Colore di default"));
        QVERIFY(r.bold && r.colour == kBlue);
        QCOMPARE(r.icon, r.key() == QLatin1String("-") ? int(IconNone) : int(IconNumbered));
    }
    // No redraw; the swatch and the field keep what they showed.
    QCOMPARE(e.renders, renders);
    QCOMPARE(e.PicColor.colour, swatch);
    QCOMPARE(e.txt[TxtColourAlpha].text, alpha);
    // The text colour references follow their keys into the new rows: a
    // transparency typed now lands in the scheme's row "0595".
    Set(e, Txt(TxtOperatorAlpha), QStringLiteral("9"));
    QCOMPARE(t.row(1).cell(ColAlpha), QStringLiteral("9"));
    QCOMPARE(e.refs.MinuteColourRow, quint64(0));  // the scheme has no "0009"

    // Forty lines, forty rows, whatever the table held.
    DefaultDir forty(SchemeOfRows(40));
    LoadScheme(s, forty.path());
    QCOMPARE(t.count(), 40);
    ClickRow(e, "0003");
    QCOMPARE(e.status, QStringLiteral("Indice: 3/40"));

    // The scheme the program ships loads whole.
    Session shipped;
    LoadScheme(shipped, shipped.editor.defaultDir);
    QCOMPARE(shipped.editor.messages.last().title, QStringLiteral("Informazione:"));
    const QByteArray text = ReadFile(shipped.editor.defaultDir + QStringLiteral("/colors.txt"));
    QCOMPARE(shipped.editor.doc.L_RGBA.count(), int(text.count("\r\n")));
    QCOMPARE(s.dialogs.unanswered + shipped.dialogs.unanswered, 0);
}

void Colours::badSchemesLeaveTheTable_data()
{
    QTest::addColumn<QByteArray>("scheme");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("said");  // a piece of the message

    const QByteArray good = "0595,1,2,3,0,0017\r\n";
    QTest::newRow("empty") << QByteArray() << int(SkinError::SchemeEmpty) << 0 << "non contiene colori";
    QTest::newRow("blank lines only") << QByteArray("\r\n   \r\n\t\r\n") << int(SkinError::SchemeEmpty) << 0
                                      << "non contiene colori";
    // A GIF after a good line: its header's NUL is the first control character.
    const QByteArray binary = good + QByteArray("GIF89a\0\x10", 8) + TestImage(4096, 7);
    QTest::newRow("binary") << binary << int(SkinError::SchemeNotText) << 2 << "non è un file di testo";
    QTest::newRow("10 MB") << QByteArray(10 * 1024 * 1024, '1') << int(SkinError::SchemeTooLarge) << 0
                           << "più grande di 1024 KB";
    QTest::newRow("3000 lines") << SchemeOfRows(3000) << int(SkinError::SchemeTooManyRows) << 1501
                                << "più di 1500 colori";
    QTest::newRow("100 000 characters") << good + "0579,1,2,3,0,0022," + QByteArray(100000, 'x') + "\r\n"
                                        << int(SkinError::SchemeLineTooLong) << 2 << "più lunga di 1000";
    QTest::newRow("a word for a number") << good + "0579,red,0,0,0,0022\r\n" << int(SkinError::SchemeBadField) << 2
                                         << "nel campo \"R\" il testo \"red\"";
    QTest::newRow("a fraction") << good + "0579,1,2,3,0.5,0022\r\n" << int(SkinError::SchemeBadField) << 2
                                << "\"Trasparenza\"";
    QTest::newRow("a key that is no number") << good + "abc,1,2,3,0,0022\r\n" << int(SkinError::SchemeBadField) << 2
                                             << "\"ID\"";
    QTest::newRow("slot 0, the SKI1 line") << good + "0579,1,2,3,0,0000\r\n" << int(SkinError::SchemeBadField) << 2
                                           << "da 1 a 1500";
    QTest::newRow("slot past the last") << good + "0579,1,2,3,0,1501\r\n" << int(SkinError::SchemeBadField) << 2
                                        << "\"Indice\"";
    QTest::newRow("five fields") << good + "\r\n0579,1,2,3,0\r\n" << int(SkinError::SchemeShortLine) << 3
                                 << "meno di sei campi";
    QTest::newRow("one field") << QByteArray("0579") << int(SkinError::SchemeShortLine) << 1 << "meno di sei campi";
}

void Colours::badSchemesLeaveTheTable()
{
    QFETCH(QByteArray, scheme);
    QFETCH(int, code);
    QFETCH(int, line);
    QFETCH(QString, said);

    DefaultDir dir(scheme);
    const ColourScheme read = ReadColourScheme(dir.path() + QStringLiteral("/colors.txt"));
    QCOMPARE(int(read.error.code), code);
    QCOMPARE(read.error.line, line);
    QCOMPARE(read.count(), 0);

    Opened s;
    const QStringList before = Rows(s.editor.doc.L_RGBA);
    LoadScheme(s, dir.path());
    const Message& m = s.editor.messages.last();
    QCOMPARE(m.title, QStringLiteral("Errore:"));
    QVERIFY2(m.text.contains(said), qPrintable(m.text));
    QVERIFY(m.text.contains(QStringLiteral("colors.txt")));
    QCOMPARE(Rows(s.editor.doc.L_RGBA), before);
}

void Colours::schemeLinesAndBounds()
{
    // Line ends of every kind, a byte order mark, blanks and tabs around
    // fields, an empty last field line.
    const ColourScheme ends = ParseColourScheme(
        QByteArrayView("\xEF\xBB\xBF" "0001,1,1,1,1,0011\n0002,2,2,2,2,0012\r0003 ,\t3 ,3,3,3,0013\r\n\n"));
    QVERIFY(ends.ok());
    QCOMPARE(ends.count(), 3);
    QCOMPARE(ends.field(0, SchemeKey), QStringLiteral("0001"));
    QCOMPARE(ends.field(2, SchemeKey), QStringLiteral("0003"));
    QCOMPARE(ends.field(2, SchemeR), QStringLiteral("3"));
    QCOMPARE(ends.line(2), 3);

    // Bounds: a line of exactly the longest length loads, one more does not;
    // as many rows as a skin has slots load, one more does not.
    QByteArray longest = "0001,1,1,1,1,0011,";
    longest += QByteArray(kSchemeMaxLineLength - longest.size(), 'x');
    QVERIFY(ParseColourScheme(longest).ok());
    QCOMPARE(ParseColourScheme(longest + 'x').error.code, SkinError::SchemeLineTooLong);
    QCOMPARE(ParseColourScheme(SchemeOfRows(kSchemeMaxRows)).count(), kSchemeMaxRows);
    QCOMPARE(ParseColourScheme(SchemeOfRows(kSchemeMaxRows + 1)).error.code, SkinError::SchemeTooManyRows);
    // Negative and large components, as skins hold them, load as written.
    const ColourScheme odd = ParseColourScheme("0595,-5,300,007,-1,1500");
    QVERIFY(odd.ok());
    QCOMPARE(odd.field(0, SchemeB), QStringLiteral("007"));
}

void Colours::handLengthsRewriteTheirRecords()
{
    Opened s;
    Editor& e = s.editor;
    Tree& tree = e.doc.T_Strutt;
    const int minute = e.refs.MinuteLengthNode;
    QVERIFY(minute > 0 && e.refs.HourLengthNode > 0);
    // The sample's lengths are the fields' first texts: the opening rewrote nothing.
    QVERIFY(!tree.node(minute).edited && !tree.node(e.refs.HourLengthNode).edited);
    QVERIFY(e.optTime[0].checked);
    const int renders = e.renders;

    // Emptied with Backspace: the field and the record hold 0 (a record
    // without its value is none the skin may hold), a minute hand of length 0.
    Type(e, kMin, QStringLiteral("\b\b"));
    QCOMPARE(e.txtMin.text, QStringLiteral("0"));
    QCOMPARE(tree.text(minute), QStringLiteral("2 8 0"));
    QVERIFY(tree.node(minute).edited && tree.node(minute).colour == kBlue && !tree.node(minute).bold);
    // Face box (52, 70)-(123, 141): centre (87, 105).
    const LineItem& m = e.canvas.LineMin;
    QVERIFY(m.x1 == 87 && m.y1 == 105 && m.x2 == 87 && m.y2 == 105);

    Type(e, kMin, QStringLiteral("5"));
    QCOMPARE(tree.text(minute), QStringLiteral("2 8 5"));
    QVERIFY(m.x2 == 92 && m.y2 == 105 && m.visible);
    const LineItem& h = e.canvas.LineOra;
    QVERIFY(h.x1 == 87 && h.y1 == 105 && h.x2 == 87 && h.y2 == 93 && h.visible);
    // The analogue procedure ran, the option stayed, nothing was redrawn.
    QVERIFY(e.canvas.PicTime.visible && !e.canvas.lblOra.visible);
    QVERIFY(e.optTime[0].checked && !e.optTime[1].checked);
    QCOMPARE(e.renders, renders);

    Set(e, kOra, QStringLiteral(" 9 "));
    QCOMPARE(tree.text(e.refs.HourLengthNode), QStringLiteral("2 11 9"));
    QCOMPARE(h.y2, 96);

    // A skin whose minute hand differs from the field's first text: the
    // first redraw after opening rewrites its record, blue, while the
    // analogue procedure keeps still (Filling).
    Opened other([](QByteArray& t) { t.replace("\n2 8 18\n", "\n2 8 20\n"); });
    const int node = other.editor.refs.MinuteLengthNode;
    QCOMPARE(other.editor.doc.T_Strutt.text(node), QStringLiteral("2 8 20"));
    QVERIFY(other.editor.doc.T_Strutt.node(node).edited);
    QVERIFY(!other.editor.doc.T_Strutt.node(other.editor.refs.HourLengthNode).edited);
    QVERIFY(!other.editor.canvas.PicTime.visible);

    // Without a length record a change writes nothing.
    Session bare;
    bare.editor.setText(kMin, QStringLiteral("7"));
    QCOMPARE(bare.editor.doc.T_Strutt.count(), 0);
}

void Colours::pickersWriteTheirSettings()
{
    Opened s;
    Editor& e = s.editor;
    const struct {
        const char* picker;
        const char* key;
        const quint32* item;
    } pickers[] = {{"PicTxtColor1", "0595", &e.canvas.lblOperatore.colour},
                   {"PicTxtColor2", "0579", &e.canvas.lblData.colour},
                   {"PicMin", "0009", &e.canvas.LineMin.colour},
                   {"PicOre", "0012", &e.canvas.LineOra.colour}};
    quint32 colour = 0x0000FF;  // pure red first
    for (const auto& p : pickers) {
        const QString alpha = RgbaRow(e, p.key).cell(ColAlpha);
        const int renders = e.renders;
        s.dialogs.colours.push_back(colour);
        QCOMPARE(Click(e, p.picker).outcome, ActionResult::Outcome::Done);
        const Row& row = RgbaRow(e, p.key);
        QCOMPARE(Cells(row).mid(1, 4),
                 (QStringList{QString::number(colour & 0xFF), QString::number((colour >> 8) & 0xFF),
                              QString::number(colour >> 16), alpha}));
        QVERIFY2(row.bold && row.colour == kBlue, p.picker);
        QCOMPARE(*p.item, colour);
        QCOMPARE(e.renders, renders + 1);
        colour = colour * 3 + 0x010203;
    }
    // The hand pickers selected "Analogico" on their way.
    QVERIFY(e.optTime[1].checked && e.canvas.PicTime.visible);

    // Then a skin that lacks row "0595": the text swatch stays enabled; a
    // colour picked there colours the swatch and the text, writes no row
    // and draws nothing more.
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString lacking = dir.filePath(QStringLiteral("varavave.ski"));
    WriteFile(lacking, ReadFile(lacking).replace("\n4 595 ", "\n4 596 "));
    s.open(lacking);
    QCOMPARE(e.doc.L_RGBA.findKey("0595"), 0);
    QVERIFY(e.PicTxtColor1.enabled);
    const QStringList rows = Rows(e.doc.L_RGBA);
    const int renders = e.renders;
    s.dialogs.colours.push_back(Rgb(9, 8, 7));
    QCOMPARE(Click(e, "PicTxtColor1").outcome, ActionResult::Outcome::Done);
    QCOMPARE(e.PicTxtColor1.colour, Rgb(9, 8, 7));
    QCOMPARE(e.canvas.lblOperatore.colour, Rgb(9, 8, 7));
    QCOMPARE(Rows(e.doc.L_RGBA), rows);
    QCOMPARE(e.renders, renders);
    QCOMPARE(s.dialogs.unanswered, 0);
}

void Colours::backgroundPickerAndCancelledHandPicker()
{
    Opened s;
    Editor& e = s.editor;
    QVERIFY(e.chkWallPaper.checked && !e.canvas.wallpaper.isEmpty());  // the sample's wallpaper
    const int node = e.refs.BackgroundNode;
    s.dialogs.colours.push_back(Rgb(255, 255, 255));
    Click(e, "PicBGColor1");
    QCOMPARE(e.doc.T_Strutt.text(node), QStringLiteral("4 255 255 255 0"));
    QVERIFY(e.doc.T_Strutt.node(node).edited && e.doc.T_Strutt.node(node).bold);
    QVERIFY(!e.chkWallPaper.checked);
    QVERIFY(e.canvas.wallpaper.isEmpty());
    QCOMPARE(e.FileDesktop.selected, -1);
    QCOMPARE(e.canvas.background, Rgb(255, 255, 255));
    QCOMPARE(e.PicBGColor1.colour, Rgb(255, 255, 255));

    // Cancelling the hour hand's dialog in the digital style: "Analogico"
    // is selected all the same, and no colour changes.
    QVERIFY(e.optTime[0].checked);
    const QStringList rows = Rows(e.doc.L_RGBA);
    const quint32 swatch = e.PicOre.colour;
    s.dialogs.colours.push_back(std::nullopt);
    Click(e, "PicOre");
    QVERIFY(e.optTime[1].checked && !e.optTime[0].checked);
    QVERIFY(e.canvas.PicTime.visible && e.canvas.LineOra.visible);
    QCOMPARE(Rows(e.doc.L_RGBA), rows);
    QCOMPARE(e.PicOre.colour, swatch);
    QCOMPARE(e.canvas.LineOra.colour, swatch);
}

void Colours::startAndOpeningStates()
{
    Session fresh;
    Editor& e = fresh.editor;
    for (const Swatch* sw : {&e.PicMin, &e.PicOre, &e.PicTxtColor1, &e.PicTxtColor2, &e.PicBGColor1})
        QVERIFY(!sw->enabled);
    QVERIFY(!e.txtMin.enabled && !e.txtOra.enabled && !e.optTime[0].enabled && !e.optTime[1].enabled);
    QVERIFY(!e.lbl0.enabled && !e.txt[TxtColourAlpha].enabled);
    QCOMPARE(e.txtMin.text, QStringLiteral("18"));
    QCOMPARE(e.txtOra.text, QStringLiteral("12"));
    QCOMPARE(Click(e, "PicMin").outcome, ActionResult::Outcome::Ignored);
    QVERIFY(e.cmdLoadColors.enabled && e.PicColor.enabled);

    Opened s;
    Editor& o = s.editor;
    for (const Swatch* sw : {&o.PicMin, &o.PicOre, &o.PicTxtColor1, &o.PicTxtColor2, &o.PicBGColor1})
        QVERIFY(sw->enabled);
    QVERIFY(o.txtMin.enabled && o.txtOra.enabled && o.optTime[0].enabled && o.optTime[1].enabled);
    QVERIFY(o.lbl0.enabled);

    // Another skin without any of their records: the opening disables
    // what it resets, the text swatches stay as they were.
    QTemporaryDir dir;
    const QString bare = dir.filePath(QStringLiteral("varavave.ski"));
    WriteFile(bare, "SKI1\n0 1\n4 500 1 2 3 0\n");
    s.open(bare);
    QVERIFY(!o.PicMin.enabled && !o.PicOre.enabled && !o.PicBGColor1.enabled);
    QVERIFY(!o.txtMin.enabled && !o.txtOra.enabled && !o.optTime[0].enabled && !o.optTime[1].enabled);
    QVERIFY(o.PicTxtColor1.enabled && o.PicTxtColor2.enabled);
    QCOMPARE(o.refs.OperatorColourRow, quint64(0));
}

void Colours::everyChangeSurvivesASave()
{
    Opened s;
    Editor& e = s.editor;
    ClickRow(e, "0581");
    s.dialogs.colours.push_back(Rgb(18, 52, 86));
    Click(e, "PicColor");
    Set(e, Txt(TxtOperatorAlpha), QStringLiteral("99"));
    Set(e, Txt(TxtDateAlpha), QStringLiteral("7"));
    ClickRow(e, "0582");
    Set(e, Txt(TxtColourAlpha), QStringLiteral("33"));
    Set(e, kMin, QStringLiteral("25"));
    Set(e, kOra, QStringLiteral("9"));
    s.dialogs.colours.push_back(Rgb(1, 2, 3));
    Click(e, "PicBGColor1");
    s.dialogs.colours.push_back(Rgb(4, 5, 6));
    Click(e, "PicMin");
    s.dialogs.colours.push_back(Rgb(7, 8, 9));
    Click(e, "PicTxtColor2");
    QCOMPARE(s.dialogs.unanswered, 0);

    QVERIFY(Perform(e, UserAction::of(Kind::Toolbar, QStringLiteral("SAVE"))).failure.ok());
    QCOMPARE(e.messages.last().title, QStringLiteral("Informazione:"));
    const QStringList lines = QString::fromLatin1(ReadFile(s.skin)).split(QLatin1Char('\n'));
    const QStringList expected[] = {
        {"12", "4 581 18 52 86 0"}, {"13", "4 582 210 220 236 33"}, {"15", "4 1 2 3 0"},
        {"17", "4 595 255 255 255 99"}, {"22", "4 579 7 8 9 7"}, {"36", "2 8 25"},
        {"38", "2 11 9"}, {"41", "4 9 4 5 6 0"},
    };
    for (const QStringList& x : expected)
        QCOMPARE(lines.value(x[0].toInt()), x[1]);

    // Opened again, the skin shows what was saved.
    Session again;
    again.open(s.skin);
    QCOMPARE(again.editor.txtMin.text, QStringLiteral("25"));
    QCOMPARE(again.editor.PicBGColor1.colour, Rgb(1, 2, 3));
    QCOMPARE(again.editor.canvas.lblData.colour, Rgb(7, 8, 9));
    QCOMPARE(again.editor.txt[TxtOperatorAlpha].text, QStringLiteral("99"));
}

void Colours::loadedSchemeSurvivesASave()
{
    Opened s;
    Editor& e = s.editor;
    DefaultDir scheme("0595,1,2,3,4,0017\r\n-,5,6,7,8,0015\r\n0581,9,10,11,12,0012\r\n");
    LoadScheme(s, scheme.path());
    QVERIFY(Perform(e, UserAction::of(Kind::Toolbar, QStringLiteral("SAVE"))).failure.ok());
    const QStringList lines = QString::fromLatin1(ReadFile(s.skin)).split(QLatin1Char('\n'));
    QCOMPARE(lines.value(17), QStringLiteral("4 595 1 2 3 4"));
    QCOMPARE(lines.value(15), QStringLiteral("4 5 6 7 8"));
    QCOMPARE(lines.value(12), QStringLiteral("4 581 9 10 11 12"));
    QCOMPARE(lines.value(13), QStringLiteral("4 582 210 220 236 0"));  // not in the scheme: kept
    Session again;
    again.open(s.skin);
    QCOMPARE(Cells(RgbaRow(again.editor, "0595")), (QStringList{"0595", "1", "2", "3", "4", "0017"}));
    QCOMPARE(again.editor.canvas.background, Rgb(5, 6, 7));
}

void Colours::canvasTipNamesElementAndColours()
{
    Opened s;
    Editor& e = s.editor;
    const QString text = CanvasTip(e, 10, 10);
    QVERIFY2(text.startsWith(QStringLiteral("Testo (Operatore)\nx1,y1,x2,y2: 4, 4, 171, 24\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("riga 0595 dei colori (R 255, G 255, B 255)")), qPrintable(text));
    const QString clock = CanvasTip(e, 87, 105);
    QVERIFY(clock.startsWith(QStringLiteral("Orologio analogico")));
    QVERIFY2(clock.contains(QStringLiteral("Lancetta dei minuti: riga 0009")) &&
                 clock.contains(QStringLiteral("Lancetta delle ore: riga 0012")),
             qPrintable(clock));
    QVERIFY(CanvasTip(e, 60, 170).startsWith(QStringLiteral("Tasto smart")));
    QVERIFY(CanvasTip(e, 2, 100).isEmpty());
    s.dialogs.colours.push_back(0x0000FF);
    Click(e, "PicTxtColor1");
    QVERIFY(CanvasTip(e, 10, 10).contains(QStringLiteral("(R 255, G 0, B 0)")));
}

void Colours::cliSchemeLoadsBackToTheSameRows()
{
    Opened s;
    auto cli = [](const QString& skin, QByteArray* out, QString* err) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli"), {QStringLiteral("colours"), skin});
        if (!p.waitForFinished(60000))
            qFatal("velluno-cli did not finish");
        *out = p.readAllStandardOutput();
        *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QByteArray out;
    QString err;
    QCOMPARE(cli(s.skin, &out, &err), 0);
    QVERIFY2(err.isEmpty(), qPrintable(err));
    QCOMPARE(int(out.count("\r\n")), s.editor.doc.L_RGBA.count());
    QCOMPARE(out.split('\n').first(), QByteArray("0581,12,18,30,0,0012\r"));

    const QStringList skinRows = [&] {
        QStringList all;
        for (const Row& r : s.editor.doc.L_RGBA.rows())
            all << Cells(r).join(QLatin1Char(','));
        return all;
    }();
    DefaultDir scheme(out);
    LoadScheme(s, scheme.path());
    QStringList loaded;
    for (const Row& r : s.editor.doc.L_RGBA.rows())
        loaded << Cells(r).join(QLatin1Char(','));
    QCOMPARE(loaded, skinRows);

    // A cell the scheme cannot hold: printed all the same, said, status 1.
    QTemporaryDir dir;
    const QString odd = dir.filePath(QStringLiteral("odd.ski"));
    WriteFile(odd, "SKI1\n0 1\n4 595 1,5 2 3 0\n4 1 2 3 0\n");
    QCOMPARE(cli(odd, &out, &err), 1);
    QCOMPARE(out, QByteArray("0595,1,5,2,3,0,0002\r\n-,1,2,3,0,0003\r\n"));
    QVERIFY2(err.contains(QStringLiteral("row 1 (0595)")), qPrintable(err));
}

QTEST_MAIN(Colours)
#include "test_colours.moc"
