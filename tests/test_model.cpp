// The document model underneath the opening: rows that share one text until
// they are written, the tables' key search and sort, the tree's tags, and the
// text buffer the rows are composed in.
#include "skin/model.h"
#include "skin/textform.h"

#include <QTest>

using namespace velluno;

class ModelTest : public QObject {
    Q_OBJECT
private slots:
    void batchRowsReadAndWriteAsOwnRows();
    void textBufferKeepsWhatItGrows();
    void keySearchFindsFirstRowOfAnyKey();
    void sortIgnoresCaseAndKeepsEqualOrder();
    void treeTagsMatchOnlyTheirOwnPlace();
};

namespace {

// Three rows of the colour table written in one batch, as the opening does.
void WriteColours(Table& table, bool endEarly = false)
{
    RowBatch batch(table);
    const char* rows[][6] = {{"0001", "4 1 10 20 30 0", "10", "20", "30", "0"},
                             {"0002", "4 2 11 21 31 0", "11", "21", "31", "0"},
                             {"-", "4 12 22 32 0", "12", "22", "32", "0"}};
    for (const auto& texts : rows) {
        RowWriter w(batch);
        for (int part = 0; part < 6; ++part) {
            if (endEarly && part == 3)
                break;  // the rest stays empty
            w << QLatin1String(texts[part]);
            w.end();
        }
    }
}

}  // namespace

void ModelTest::batchRowsReadAndWriteAsOwnRows()
{
    Document doc;
    Table& t = doc.L_RGBA;
    WriteColours(t);
    QCOMPARE(t.count(), 3);
    QCOMPARE(t.row(2).key(), QStringLiteral("0002"));
    QCOMPARE(t.row(2).tag(), QStringLiteral("4 2 11 21 31 0"));
    QCOMPARE(t.row(2).cells(), QStringList({"11", "21", "31", "0", ""}));
    QCOMPARE(t.row(3).key(), QStringLiteral("-"));

    // A copy taken now keeps its texts whatever happens to the table.
    const Row copy = t.row(2);

    // Writing a cell changes that row alone, even with a text taken from
    // the row itself, and longer or shorter than before.
    Row& first = t.row(1);
    first.setCell(ColG, first.cellView(ColR));
    first.setCell(ColR, QStringLiteral("255"));
    first.setCell(ColB, QString());
    first.setTag(u"edited");
    QCOMPARE(first.cells(), QStringList({"255", "10", "", "0", ""}));
    QCOMPARE(first.key(), QStringLiteral("0001"));
    QCOMPARE(first.tag(), QStringLiteral("edited"));
    QCOMPARE(t.row(2).cells(), QStringList({"11", "21", "31", "0", ""}));
    QCOMPARE(t.row(3).cell(ColR), QStringLiteral("12"));

    // Cells out of range read empty and are never written.
    first.setCell(0, QStringLiteral("x"));
    first.setCell(6, QStringLiteral("x"));
    QCOMPARE(first.cell(0), QString());
    QCOMPARE(first.cell(6), QString());
    QCOMPARE(first.key(), QStringLiteral("0001"));

    t.clear();
    QCOMPARE(copy.key(), QStringLiteral("0002"));
    QCOMPARE(copy.cell(ColB), QStringLiteral("31"));

    // Parts a writer leaves out are empty, and the table goes on normally.
    WriteColours(t, true);
    QCOMPARE(t.row(1).cells(), QStringList({"10", "", "", "", ""}));
    const int added = t.addRow(u"0009");
    t.row(added).setCell(ColRgbaIndex, QStringLiteral("0100"));
    QCOMPARE(t.row(added).cells(), QStringList({"", "", "", "", "0100"}));
    QCOMPARE(t.row(2).key(), QStringLiteral("0002"));
}

void ModelTest::textBufferKeepsWhatItGrows()
{
    TextBuffer b;
    QString expected;
    for (int i = 0; i < 200; ++i) {
        const QString piece = QString::number(i * 7919);
        b.append(piece);
        b.append(u',');
        expected += piece + QLatin1Char(',');
    }
    // Pieces of every length up to past the longest block moved at once.
    for (int n = 0; n <= 40; ++n) {
        QString piece;
        for (int i = 0; i < n; ++i)
            piece += QChar(u'a' + (n + i) % 26);
        b.append(QStringView(piece));
        expected += piece;
    }
    // A copy of its own beginning, across the growth that the copy needs.
    b.appendOwn(0, 100);
    expected += expected.left(100);
    b.append(QLatin1String("\xe9"));
    expected += QChar(0xE9);
    QCOMPARE(b.view(), QStringView(expected));
    b.reserve(b.size() * 4);
    QCOMPARE(b.toString(), expected);
    QCOMPARE(b.take(), expected);
    QCOMPARE(b.size(), 0);
    b.append(u'x');
    QCOMPARE(b.take(), QStringLiteral("x"));

    // Whole numbers, with and without padding, down to the most negative.
    for (const qint64 v : {qint64(0), qint64(7), qint64(-42), qint64(12345), std::numeric_limits<qint64>::min()}) {
        TextBuffer n;
        AppendInteger(n, v, 4);
        const QString plain = QString::number(v);
        const QString digits = v < 0 ? plain.mid(1) : plain;
        QCOMPARE(n.take(), (v < 0 ? QStringLiteral("-") : QString()) + digits.rightJustified(4, QLatin1Char('0')));
    }
}

void ModelTest::keySearchFindsFirstRowOfAnyKey()
{
    Document doc;
    Table& t = doc.L_Dim;
    for (const char* key : {"0570", "0006", "-", "0570", "12345", "abcd", "0006"})
        t.addRow(QString::fromLatin1(key));
    // Keys of four digits go through the index, any other row by row;
    // of equal keys the first row is found.
    QCOMPARE(t.findKey(u"0570"), 1);
    QCOMPARE(t.findKey(QLatin1String("0006")), 2);
    QCOMPARE(t.findKey(QStringLiteral("-")), 3);
    QCOMPARE(t.findKey(u"12345"), 5);
    QCOMPARE(t.findKey(u"abcd"), 6);
    QCOMPARE(t.findKey(u"570"), 0);
    QCOMPARE(t.findKey(u"0571"), 0);
    QCOMPARE(t.findKey(u""), 0);

    // The index follows rows that moved or were added.
    t.sortOn(0);
    QCOMPARE(t.row(t.findKey(u"0570")).key(), QStringLiteral("0570"));
    QCOMPARE(t.findKey(u"0006"), 2);  // "-" sorts first
    const int added = t.addRow(u"0571");
    QCOMPARE(t.findKey(u"0571"), added);
    t.clear();
    QCOMPARE(t.findKey(u"0570"), 0);
}

void ModelTest::sortIgnoresCaseAndKeepsEqualOrder()
{
    Document doc;
    Table& t = doc.L_RGBA;
    // Equal without regard to case: "b"/"B" and "é"/"É" keep the order
    // they were added in; ASCII and other letters compare alike.
    const QStringList keys = {QStringLiteral("b"), QStringLiteral("É"), QStringLiteral("A"),
                              QStringLiteral("B"), QStringLiteral("é"), QStringLiteral("a1"),
                              QStringLiteral("a")};
    for (int i = 0; i < keys.size(); ++i)
        t.row(t.addRow(keys.at(i))).setCell(ColRgbaIndex, QString::number(i));
    t.select(t.findKey(QStringLiteral("B")));
    t.sortOn(0);
    QStringList order;
    for (const Row& r : t.rows())
        order << r.key();
    QCOMPARE(order, QStringList({"A", "a", "a1", "b", "B", "É", "é"}));
    QCOMPARE(t.row(t.selected()).key(), QStringLiteral("B"));

    // A table already in order stays as it is, selection included.
    t.sortOn(0);
    QCOMPARE(t.row(5).key(), QStringLiteral("B"));
    QCOMPARE(t.selected(), 5);
}

void ModelTest::treeTagsMatchOnlyTheirOwnPlace()
{
    Tree tree;
    QVector<QString> lines{QStringLiteral("SKI1 x"), QStringLiteral("2 8 18"), QStringLiteral("0 41 98 "),
                           QStringLiteral("4 20 30 40 0"), QStringLiteral("4 1 1 1 0")};
    tree.setLines(lines);
    tree.add(QStringLiteral("SKI1"), 0, IconRoot, false, QString());
    const int none = tree.addTagText(QString());
    const int early = tree.addLine(1, 1, IconType2, false, none, 1);
    const int section = tree.addLine(2, 1, IconSection, true, -1, 0);
    const int prefix = tree.addTagText(QStringLiteral("0 41 98"));
    const int first = tree.addLine(3, section, IconType4, false, prefix, 1);
    const int eleventh = tree.addLine(4, section, IconType4, false, prefix, 11);
    const int tagged = tree.add(QStringLiteral("x"), 1, IconNone, false, QStringLiteral("free text"));

    // Nodes read their lines; the tree's copy of the list stays as given.
    lines[3] = QStringLiteral("changed");
    QCOMPARE(tree.text(1), QStringLiteral("SKI1"));
    QCOMPARE(tree.text(first), QStringLiteral("4 20 30 40 0"));
    QCOMPARE(tree.text(tagged), QStringLiteral("x"));

    QCOMPARE(tree.tag(1), QString());
    QCOMPARE(tree.tag(early), QStringLiteral("_1"));
    QCOMPARE(tree.tag(section), QString());
    QCOMPARE(tree.tag(first), QStringLiteral("0 41 98_1"));
    QCOMPARE(tree.tag(eleventh), QStringLiteral("0 41 98_11"));
    QCOMPARE(tree.tag(tagged), QStringLiteral("free text"));
    QVERIFY(tree.node(section).bold);
    QCOMPARE(tree.node(first).parent, section);

    QVERIFY(tree.hasTag(first, u"0 41 98_1"));
    QVERIFY(tree.hasTag(eleventh, u"0 41 98_11"));
    QVERIFY(tree.hasTag(early, u"_1"));
    QVERIFY(tree.hasTag(section, u""));
    QVERIFY(tree.hasTag(tagged, u"free text"));
    for (const char16_t* other : {u"0 41 98_11", u"0 41 98_01", u"0 41 98_", u"0 41 9_1",
                                  u"0 41 981", u"0 41 98_1 ", u"_1", u""})
        QVERIFY2(!tree.hasTag(first, other), qPrintable(QString::fromUtf16(other)));
    QVERIFY(!tree.hasTag(eleventh, u"0 41 98_1"));
    QVERIFY(!tree.hasTag(early, u"0 41 98_1"));

    // Changing a node's text later leaves its tag as it was given.
    tree.setText(section, QStringLiteral("0 1 1"));
    QCOMPARE(tree.text(section), QStringLiteral("0 1 1"));
    QCOMPARE(tree.text(first), QStringLiteral("4 20 30 40 0"));
    QCOMPARE(tree.tag(first), QStringLiteral("0 41 98_1"));
    // Clearing lets go of the lines: a line past the end reads as empty.
    tree.clear();
    QCOMPARE(tree.count(), 0);
    QCOMPARE(tree.addLine(3, 0, IconNone, false, tree.addTagText(u"s"_qs), 2), 1);
    QCOMPARE(tree.tag(1), QStringLiteral("s_2"));
    QCOMPARE(tree.text(1), QString());
}

QTEST_GUILESS_MAIN(ModelTest)
#include "test_model.moc"
