// The colours: the colour tab and its transparency field, the default colour
// scheme (colors.txt) and what it may hold, the hand lengths, the five
// swatches of the preview tab, and what a save makes of every change.
#include "testsupport.h"

#include "skin/colourscheme.h"

#include <QTest>

using namespace velluno;
using namespace velluno::test;

namespace {

constexpr qint64 Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

QStringList Rows(const QJsonObject& dump) { return Looks(dump, "L_RGBA"); }

qint64 SwatchColour(const QJsonObject& dump, const char* name) { return ControlState(dump, name)["colour"].toInteger(); }

// "Carica i colori di default" answered Yes, with `scheme` as colors.txt.
void LoadScheme(Session& s, const QByteArray& scheme, QTemporaryDir& dir)
{
    WriteFile(dir.filePath("colors.txt"), scheme);
    s.defaults(dir.path());
    s.dialogs.answers.push_back(Answer::Yes);
    s.click("cmdLoadColors");
}

QByteArray SchemeOfRows(int n)
{
    QByteArray text;
    for (int i = 1; i <= n; ++i)
        text += QStringLiteral("%1,%2,0,0,0,%3\r\n").arg(i, 4, 10, QLatin1Char('0')).arg(i % 256)
                    .arg((i - 1) % 1500 + 1, 4, 10, QLatin1Char('0')).toLatin1();
    return text;
}

}  // namespace

class Colours : public QObject {
    Q_OBJECT
private slots:
    void colourDialogRecoloursTheSelectedRow();
    void transparencyFieldsWriteTheirRows();
    void defaultSchemeReplacesTheTable();
    void badSchemesLeaveTheTable_data();
    void badSchemesLeaveTheTable();
    void handLengthsRewriteTheirRecords();
    void pickersWriteTheirSettings();
    void swatchesFollowTheSkin();
    void everyChangeSurvivesASave();
    void cliSchemeLoadsBackToTheSameRows();
};

void Colours::colourDialogRecoloursTheSelectedRow()
{
    Opened s;
    // No row selected: only the swatch takes the colour.
    QStringList rows = Rows(s.dump());
    int renders = s.renders();
    s.dialogs.colours.push_back(Rgb(1, 2, 3));
    s.click("PicColor");
    QCOMPARE(SwatchColour(s.dump(), "PicColor"), Rgb(1, 2, 3));
    QCOMPARE(Rows(s.dump()), rows);
    QCOMPARE(s.renders(), renders);

    s.rowOf("L_RGBA", "0595");
    const QString look = Look(s.find("L_RGBA", "0595")), tag = s.find("L_RGBA", "0595")["tag"].toString();
    s.dialogs.colours.push_back(std::nullopt);
    s.click("PicColor");
    QCOMPARE(Look(s.find("L_RGBA", "0595")), look);
    QCOMPARE(SwatchColour(s.dump(), "PicColor"), Rgb(255, 255, 255));
    QCOMPARE(s.renders(), renders);

    s.dialogs.colours.push_back(Rgb(18, 52, 86));
    s.click("PicColor");
    const QJsonObject d = s.dump();
    const QJsonObject row = RowByKey(d, "L_RGBA", "0595");
    QCOMPARE(Look(row), "0595|18|52|86|" + look.section('|', 4, 5) + "|blue bold icon 7");
    QCOMPARE(row["tag"].toString(), tag);
    QCOMPARE(SwatchColour(d, "PicColor"), Rgb(18, 52, 86));
    QVERIFY(s.renders() > renders);
    QCOMPARE(Canvas(d, "lblOperatore")["colour"].toInteger(), Rgb(18, 52, 86));  // the redraw read the row
    QCOMPARE(s.dialogs.unanswered, 0);
}

void Colours::transparencyFieldsWriteTheirRows()
{
    Opened s;
    const int renders = s.renders();
    // The colour tab's field writes nothing without a selected row.
    const QStringList rows = Rows(s.dump());
    s.paste("txt", 50, "99");
    QCOMPARE(Rows(s.dump()), rows);

    s.paste("txt", 4, "300");
    s.paste("txt", 5, "007");
    QCOMPARE(FieldText(s.dump(), "txt", 4) + " " + FieldText(s.dump(), "txt", 5), QStringLiteral("255 007"));
    QCOMPARE(s.cell("L_RGBA", "0595", kAlpha) + " " + s.cell("L_RGBA", "0579", kAlpha), QStringLiteral("255 7"));
    QVERIFY(Marked(s.find("L_RGBA", "0595")));
    // A pasted sign meets the key filter as a typed one does.
    s.paste("txt", 4, "-4");
    QCOMPARE(s.cell("L_RGBA", "0595", kAlpha), QStringLiteral("4"));

    // Typed key by key into the selected row.
    s.rowOf("L_RGBA", "0582");
    QVERIFY(!Marked(s.find("L_RGBA", "0582")));
    s.type("txt", 50, "\b12");
    QCOMPARE(s.cell("L_RGBA", "0582", kAlpha), QStringLiteral("12"));
    QVERIFY(Marked(s.find("L_RGBA", "0582")));
    QCOMPARE(s.renders(), renders);  // none of it redraws
}

void Colours::defaultSchemeReplacesTheTable()
{
    Opened s;
    const QStringList skinRows = Rows(s.dump());
    const int renders = s.renders();
    s.dialogs.answers.push_back(Answer::No);
    s.click("cmdLoadColors");
    QCOMPARE(s.lastMessage()["text"].toString(),
             QStringLiteral("Confermi il caricamento dei colori di default (pavonel by Ostrel) ?"));
    QCOMPARE(Rows(s.dump()), skinRows);
    QTemporaryDir empty;
    s.defaults(empty.path());
    s.dialogs.answers.push_back(Answer::Yes);
    s.click("cmdLoadColors");
    QCOMPARE(s.lastMessage()["text"].toString(), QStringLiteral("Schema colori di default, non trovato!"));
    QCOMPARE(Rows(s.dump()), skinRows);

    // Blanks around fields, a seventh field, a blank line, a key the skin
    // lacks, no last line end: four rows, marked, the references following
    // their keys; no redraw, the swatch and the field keep what they showed.
    s.rowOf("L_RGBA", "0581");
    const QJsonObject shown = s.dump();
    QTemporaryDir dir;
    LoadScheme(s, "0595, 255, 255, 255, 0, 0123\r\n  -,1,2,3,4,0050  \r\n0579,10,20,30,40,0060,seventh,eighth\r\n"
                  "\r\n9999,5,6,7,8,0070", dir);
    QCOMPARE(s.lastMessage()["text"].toString(), QStringLiteral("Colori di defualt (pavonel by Ostrel), importati."));
    QCOMPARE(Rows(s.dump()), QStringList({"0595|255|255|255|0|0123|blue bold icon 7", "-|1|2|3|4|0050|blue bold icon 0",
                                          "0579|10|20|30|40|0060|blue bold icon 7", "9999|5|6|7|8|0070|blue bold icon 7"}));
    QCOMPARE(s.find("L_RGBA", "9999")["tag"].toString(), QStringLiteral("Colore di default"));
    QCOMPARE(s.renders(), renders);
    QCOMPARE(SwatchColour(s.dump(), "PicColor"), SwatchColour(shown, "PicColor"));
    QCOMPARE(FieldText(s.dump(), "txt", 50), FieldText(shown, "txt", 50));
    s.paste("txt", 4, "9");
    QCOMPARE(s.cell("L_RGBA", "0595", kAlpha), QStringLiteral("9"));
    QCOMPARE(s.dump()["refs"].toObject()["OperatorColourRow"].toString(), QStringLiteral("0595"));
    QVERIFY(s.dump()["refs"].toObject()["MinuteColourRow"].isNull());

    // Forty lines, forty rows, whatever the table held; blank lines up to
    // the largest size a scheme may have.
    QByteArray forty = SchemeOfRows(40);
    forty.append(kSchemeMaxBytes - forty.size(), '\n');
    LoadScheme(s, forty, dir);
    QCOMPARE(Keys(s.dump(), "L_RGBA").size(), 40);
    s.rowOf("L_RGBA", "0003");
    QCOMPARE(s.status(), QStringLiteral("Indice: 3/40"));

    // The scheme the program ships loads whole.
    Session shipped;
    shipped.dialogs.answers.push_back(Answer::Yes);
    shipped.click("cmdLoadColors");
    QCOMPARE(Keys(shipped.dump(), "L_RGBA").size(), ReadFile(VELLUNO_SOURCE_DIR "/assets/default/colors.txt").count("\r\n"));
}

void Colours::badSchemesLeaveTheTable_data()
{
    QTest::addColumn<QByteArray>("scheme");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("said");  // a piece of the message
    const QByteArray good = "0595,1,2,3,0,0017\r\n";
    using E = ErrorKind;
    QTest::newRow("empty") << QByteArray() << int(E::SchemeEmpty) << 0 << "non contiene colori";
    QTest::newRow("blank lines only") << QByteArray("\r\n   \r\n\t\r\n") << int(E::SchemeEmpty) << 0 << "non contiene colori";
    // A GIF after a good line: its header's NUL is the first control character.
    QTest::newRow("binary") << good + QByteArray("GIF89a\0\x10", 8) + TestImage(4096, 7) << int(E::SchemeNotText) << 2
                            << "non è un file di testo";
    QTest::newRow("a DEL") << good + "0579,1,2,3,0,0022\x7f\r\n" << int(E::SchemeNotText) << 2 << "non è un file di testo";
    QTest::newRow("10 MB") << QByteArray(10 * 1024 * 1024, '1') << int(E::SchemeTooLarge) << 0 << "più grande di 1024 KB";
    QTest::newRow("3000 lines") << SchemeOfRows(3000) << int(E::SchemeTooManyRows) << 1501 << "più di 1500 colori";
    QTest::newRow("100 000 characters") << good + "0579,1,2,3,0,0022," + QByteArray(100000, 'x') + "\r\n"
                                        << int(E::SchemeLineTooLong) << 2 << "più lunga di 1000";
    QTest::newRow("a word for a number") << good + "0579,red,0,0,0,0022\r\n" << int(E::SchemeBadField) << 2
                                         << "nel campo \"R\" il testo \"red\", che non è un numero intero";
    QTest::newRow("a fraction") << good + "0579,1,2,3,0.5,0022\r\n" << int(E::SchemeBadField) << 2 << "\"Trasparenza\"";
    QTest::newRow("a key that is no number") << good + "abc,1,2,3,0,0022\r\n" << int(E::SchemeBadField) << 2
                                             << "\"ID\" il testo \"abc\", che non è un numero di oggetto";
    QTest::newRow("a key with a letter") << good + "05a9,1,2,3,0,0022\r\n" << int(E::SchemeBadField) << 2 << "\"ID\"";
    QTest::newRow("slot 0, the SKI1 line") << good + "0579,1,2,3,0,0000\r\n" << int(E::SchemeBadField) << 2
                                           << "che non è il numero di una riga della skin, da 1 a 1500";
    QTest::newRow("slot past the last") << good + "0579,1,2,3,0,1501\r\n" << int(E::SchemeBadField) << 2 << "\"Indice\"";
    QTest::newRow("five fields") << good + "\r\n0579,1,2,3,0\r\n" << int(E::SchemeShortLine) << 3 << "meno di sei campi";
    QTest::newRow("one field") << QByteArray("0579") << int(E::SchemeShortLine) << 1 << "meno di sei campi";
}

void Colours::badSchemesLeaveTheTable()
{
    QFETCH(QByteArray, scheme);
    QFETCH(int, code);
    QFETCH(int, line);
    QFETCH(QString, said);
    const ColourScheme read = ParseColourScheme(scheme);
    QCOMPARE(QList<int>({int(read.error.code), read.error.line, read.count()}), QList<int>({code, line, 0}));

    Opened s;
    const QStringList before = Rows(s.dump());
    QTemporaryDir dir;
    LoadScheme(s, scheme, dir);
    const QString text = s.lastMessage()["title"].toString() + s.lastMessage()["text"].toString();
    QVERIFY2(text.startsWith("Errore:") && text.contains(said) && text.contains("colors.txt"), qPrintable(text));
    QCOMPARE(Rows(s.dump()), before);
}

void Colours::handLengthsRewriteTheirRecords()
{
    Opened s;
    QJsonObject d = s.dump();
    const int minute = d["refs"].toObject()["MinuteLengthNode"].toInt();
    const int hour = d["refs"].toObject()["HourLengthNode"].toInt();
    auto node = [&](int k) { return s.dump()["tree"].toArray()[k - 1].toObject(); };
    // The sample's lengths are the fields' first texts: the opening rewrote nothing.
    QCOMPARE(node(minute)["colour"].toInteger(), kBlackRow);
    QCOMPARE(node(hour)["colour"].toInteger(), kBlackRow);
    QVERIFY(ControlState(d, "optTime", 0)["selected"].toBool());
    const int renders = s.renders();

    // Emptied with Backspace: field and record hold 0, a minute hand of
    // length 0 at the centre of the face (52, 70)-(123, 141).
    s.type("txtMin", 0, "\b\b");
    QCOMPARE(FieldText(s.dump(), "txtMin"), QStringLiteral("0"));
    QCOMPARE(node(minute)["text"].toString(), QStringLiteral("2 8 0"));
    QCOMPARE(node(minute)["colour"].toInteger(), kBlueRow);
    QVERIFY(!node(minute)["bold"].toBool());
    auto hand = [&](const char* line) {
        const QJsonObject l = Canvas(s.dump(), line);
        return QList<int>({l["x1"].toInt(), l["y1"].toInt(), l["x2"].toInt(), l["y2"].toInt(), l["visible"].toBool()});
    };
    QCOMPARE(hand("LineMin").mid(0, 4), QList<int>({87, 105, 87, 105}));
    s.type("txtMin", 0, "5");
    QCOMPARE(node(minute)["text"].toString(), QStringLiteral("2 8 5"));
    QCOMPARE(hand("LineMin"), QList<int>({87, 105, 92, 105, 1}));
    QCOMPARE(hand("LineOra"), QList<int>({87, 105, 87, 93, 1}));
    // The analogue hands show, the option stays, nothing was redrawn.
    d = s.dump();
    QVERIFY(Canvas(d, "PicTime")["visible"].toBool() && !Canvas(d, "lblOra")["visible"].toBool());
    QVERIFY(ControlState(d, "optTime", 0)["selected"].toBool() && !ControlState(d, "optTime", 1)["selected"].toBool());
    QCOMPARE(s.renders(), renders);
    s.paste("txtOra", 0, " 9 ");
    QCOMPARE(node(hour)["text"].toString(), QStringLiteral("2 11 9"));
    QCOMPARE(hand("LineOra")[3], 96);

    // A minute hand other than the field's first text: the first redraw
    // after opening rewrites its record, blue, while the hands keep still.
    Opened other(ReadFile(SampleDir() + "/varavave.ski").replace("\n2 8 18\n", "\n2 8 20\n"));
    d = other.dump();
    const QJsonArray tree = d["tree"].toArray();
    QCOMPARE(tree[minute - 1].toObject()["text"].toString(), QStringLiteral("2 8 20"));
    QCOMPARE(tree[minute - 1].toObject()["colour"].toInteger(), kBlueRow);
    QCOMPARE(tree[hour - 1].toObject()["colour"].toInteger(), kBlackRow);
    QVERIFY(!Canvas(d, "PicTime")["visible"].toBool());
}

void Colours::pickersWriteTheirSettings()
{
    Opened s;
    const std::pair<const char*, const char*> pickers[] = {
        {"PicTxtColor1", "0595"}, {"PicTxtColor2", "0579"}, {"PicMin", "0009"}, {"PicOre", "0012"}};
    const char* items[] = {"lblOperatore", "lblData", "LineMin", "LineOra"};
    qint64 colour = 0x0000FF;  // pure red first
    for (int i = 0; i < 4; ++i) {
        const auto [picker, key] = pickers[i];
        const QString alpha = s.cell("L_RGBA", key, kAlpha);
        const int renders = s.renders();
        s.dialogs.colours.push_back(quint32(colour));
        QCOMPARE(s.click(picker).outcome, ActionResult::Outcome::Done);
        const QJsonObject row = s.find("L_RGBA", key);
        QCOMPARE(Cells(row, kR, kAlpha), QStringList({QString::number(colour & 0xFF), QString::number((colour >> 8) & 0xFF),
                                                      QString::number(colour >> 16), alpha}));
        QVERIFY2(Marked(row), picker);
        QCOMPARE(Canvas(s.dump(), items[i])["colour"].toInteger(), colour);
        QVERIFY(s.renders() > renders);
        colour = colour * 3 + 0x010203;
    }
    // The hand pickers selected "Analogico" on their way.
    QVERIFY(ControlState(s.dump(), "optTime", 1)["selected"].toBool() && Canvas(s.dump(), "PicTime")["visible"].toBool());

    // Background: the record, the wallpaper taken away.
    QVERIFY(ControlState(s.dump(), "chkWallPaper")["checked"].toBool());
    s.dialogs.colours.push_back(Rgb(255, 255, 255));
    s.click("PicBGColor1");
    QJsonObject d = s.dump();
    const QJsonObject background = d["tree"].toArray()[d["refs"].toObject()["BackgroundNode"].toInt() - 1].toObject();
    QVERIFY(background["text"].toString() == "4 255 255 255 0" && background["bold"].toBool() &&
            background["colour"].toInteger() == kBlueRow);
    QCOMPARE(Looks(d, "L_RGBA").filter("|0015|"), QStringList({"-|255|255|255|0|0015|blue bold icon 0"}));  // its row follows
    QVERIFY(!ControlState(d, "chkWallPaper")["checked"].toBool() && d["canvas"].toObject()["wallpaper"].isNull() &&
            ControlState(d, "FileDesktop")["selected"].toInt() == -1);
    QCOMPARE(s.preview().pixel(2, 100), qRgb(255, 255, 255));

    // A cancelled hand picker in the digital style: "Analogico" all the
    // same, no colour changes.
    s.click("optTime", 0);
    const QStringList rows = Rows(s.dump());
    const qint64 swatch = SwatchColour(s.dump(), "PicOre");
    s.dialogs.colours.push_back(std::nullopt);
    s.click("PicOre");
    d = s.dump();
    QVERIFY(ControlState(d, "optTime", 1)["selected"].toBool() && Canvas(d, "LineOra")["visible"].toBool());
    QVERIFY(Rows(d) == rows && Canvas(d, "LineOra")["colour"].toInteger() == swatch);
    QCOMPARE(s.dialogs.unanswered, 0);
}

void Colours::swatchesFollowTheSkin()
{
    QVERIFY(ControlState(Session().dump(), "PicColor")["enabled"].toBool());  // the colour tab's, before any skin
    Opened s;
    // Another skin without any of their records: what the opening resets
    // is disabled; the text swatches stay enabled, and a colour picked there
    // colours the swatch and the text, writes no row and draws nothing more.
    WriteFile(s.skin, "SKI1\n0 1\n4 500 1 2 3 0\n");
    s.open(s.skin);
    const QJsonObject d = s.dump();
    for (const char* control : {"PicMin", "PicOre", "PicBGColor1", "txtMin", "txtOra"})
        QVERIFY2(!ControlState(d, control)["enabled"].toBool(), control);
    QVERIFY(!ControlState(d, "optTime", 0)["enabled"].toBool() && d["refs"].toObject()["OperatorColourRow"].isNull());
    QVERIFY(ControlState(d, "PicTxtColor1")["enabled"].toBool() && ControlState(d, "PicTxtColor2")["enabled"].toBool());
    const int renders = s.renders();
    s.dialogs.colours.push_back(Rgb(9, 8, 7));
    QCOMPARE(s.click("PicTxtColor1").outcome, ActionResult::Outcome::Done);
    QCOMPARE(SwatchColour(s.dump(), "PicTxtColor1"), Rgb(9, 8, 7));
    QCOMPARE(Canvas(s.dump(), "lblOperatore")["colour"].toInteger(), Rgb(9, 8, 7));
    QCOMPARE(Rows(s.dump()), Rows(d));
    QCOMPARE(s.renders(), renders);
}

void Colours::everyChangeSurvivesASave()
{
    Opened s;
    s.rowOf("L_RGBA", "0581");
    s.dialogs.colours.push_back(Rgb(18, 52, 86));
    s.click("PicColor");
    s.paste("txt", 4, "99");
    s.paste("txt", 5, "7");
    s.rowOf("L_RGBA", "0582");
    s.paste("txt", 50, "33");
    s.paste("txtMin", 0, "25");
    s.paste("txtOra", 0, "9");
    for (const auto& [picker, colour] : {std::pair{"PicBGColor1", Rgb(1, 2, 3)}, {"PicMin", Rgb(4, 5, 6)},
                                         {"PicTxtColor2", Rgb(7, 8, 9)}}) {
        s.dialogs.colours.push_back(quint32(colour));
        s.click(picker);
    }
    QCOMPARE(s.dialogs.unanswered, 0);
    QVERIFY(s.save().failure.ok());
    QCOMPARE(s.lastMessage()["title"].toString(), QStringLiteral("Informazione:"));
    const QStringList lines = Lines(ReadFile(s.skin));
    const std::pair<int, const char*> expected[] = {{12, "4 581 18 52 86 0"}, {13, "4 582 210 220 236 33"},
                                                    {15, "4 1 2 3 0"},        {17, "4 595 255 255 255 99"},
                                                    {22, "4 579 7 8 9 7"},    {36, "2 8 25"},
                                                    {38, "2 11 9"},           {41, "4 9 4 5 6 0"}};
    for (const auto& [slot, line] : expected)
        QCOMPARE(lines.value(slot), QLatin1String(line));
    // Opened again, a scheme over some of the rows: the rows it has, the
    // others kept.
    Session again;
    again.open(s.skin);
    QTemporaryDir dir;
    LoadScheme(again, "0595,1,2,3,4,0017\r\n-,5,6,7,8,0015\r\n0581,9,10,11,12,0012\r\n", dir);
    QVERIFY(again.save().failure.ok());
    QCOMPARE(Lines(ReadFile(s.skin)).mid(12, 6),
             QStringList({"4 581 9 10 11 12", "4 582 210 220 236 33", "0 41 98", "4 5 6 7 8", "1 570 4 4 171 24",
                          "4 595 1 2 3 4"}));
}

void Colours::cliSchemeLoadsBackToTheSameRows()
{
    Opened s;
    const Run r = Cli({"colours", s.skin});
    QVERIFY2(r.status == 0 && r.err.isEmpty(), qPrintable(r.err));
    QCOMPARE(r.out.count("\r\n"), Keys(s.dump(), "L_RGBA").size());
    QVERIFY(r.out.startsWith("0581,12,18,30,0,0012\r\n"));
    auto cells = [&] {
        QStringList all;
        for (const QString& look : Rows(s.dump()))
            all << look.section('|', 0, 5);
        return all;
    };
    const QStringList before = cells();
    QTemporaryDir dir;
    LoadScheme(s, r.out.toLatin1(), dir);
    QCOMPARE(cells(), before);

    // A cell the scheme cannot hold: printed all the same, said, status 1.
    WriteFile(s.path("odd.ski"), "SKI1\n0 1\n4 1 2 3 0\n4 595 1,5 2 3 0\n");
    const Run odd = Cli({"colours", s.path("odd.ski")});
    QCOMPARE(odd.out, QStringLiteral("-,1,2,3,0,0002\r\n0595,1,5,2,3,0,0003\r\n"));
    QVERIFY2(odd.status == 1 && odd.err.contains("row 2 (0595)"), qPrintable(odd.err));
}

QTEST_MAIN(Colours)
#include "test_colours.moc"
