// Keys and pastes in the element fields: the key filter, the maximum length
// and the caret, the same for the window and the script runner.
#include "editor/positions.h"
#include "testsupport.h"

#include <QTest>

using namespace velluno;
using namespace velluno::test;

class FieldsTest : public QObject {
    Q_OBJECT
private slots:
    void keysAnywhereInTheText();
    void pasteMeetsTheKeyFilter();
};

void FieldsTest::keysAnywhereInTheText()
{
    Session s;
    Editor& e = s.editor;
    const FieldRef f = Txt(7);
    e.txt[7].enabled = true;
    e.setText(f, QStringLiteral("15"));

    // Inserted at the caret, refused by the filter, refused past the length.
    QCOMPARE(TypeKeyAt(e, f, '3', 1, 0), 2);
    QCOMPARE(e.txt[7].text, QStringLiteral("135"));
    QCOMPARE(TypeKeyAt(e, f, 'x', 0, 0), 0);
    QCOMPARE(TypeKeyAt(e, f, '9', 0, 0), 0);
    QCOMPARE(e.txt[7].text, QStringLiteral("135"));
    // A selection is replaced, even when the field is full.
    QCOMPARE(TypeKeyAt(e, f, '8', 1, 2), 2);
    QCOMPARE(e.txt[7].text, QStringLiteral("18"));
    // Backspace: the character before the caret, or the selection.
    QCOMPARE(TypeKeyAt(e, f, 8, 1, 0), 0);
    QCOMPARE(e.txt[7].text, QStringLiteral("8"));
    QCOMPARE(TypeKeyAt(e, f, 8, 0, 0), 0);
    QCOMPARE(e.txt[7].text, QStringLiteral("8"));
    QCOMPARE(TypeKeyAt(e, f, 8, 0, 1), 0);
    QCOMPARE(e.txt[7].text, QString());
    // Positions outside the text are taken as its ends.
    TypeKeyAt(e, f, '4', 0, 0);
    QCOMPARE(TypeKeyAt(e, f, '2', 99, 5), 2);
    QCOMPARE(e.txt[7].text, QStringLiteral("42"));

    // A disabled field takes no key.
    e.txt[7].enabled = false;
    TypeKeyAt(e, f, '1', 0, 0);
    QCOMPARE(e.txt[7].text, QStringLiteral("42"));
}

void FieldsTest::pasteMeetsTheKeyFilter()
{
    Session s;
    Editor& e = s.editor;
    const FieldRef step{FieldKind::TxtOffSet, 0};
    e.txtOffSet.enabled = true;
    // Only digits go in, and only as many as the maximum length leaves room for.
    QCOMPARE(PasteText(e, step, QStringLiteral("a-7 9"), -1, 0), 1);
    QCOMPARE(e.txtOffSet.text, QStringLiteral("7"));
    // Nothing of it is a digit: the paste is refused, the text stays.
    PasteText(e, step, QStringLiteral("-x\b"), -1, 0);
    QCOMPARE(e.txtOffSet.text, QStringLiteral("7"));
    // The empty text (a cut, a Delete) still empties the field.
    PasteText(e, step, QString(), -1, 0);
    QCOMPARE(e.txtOffSet.text, QString());

    // Into the middle of a text: what fits beside the text that stays.
    const FieldRef x1 = Txt(7);
    e.txt[7].enabled = true;
    e.setText(x1, QStringLiteral("12"));
    QCOMPARE(PasteText(e, x1, QStringLiteral("3 4 5"), 1, 0), 2);
    QCOMPARE(e.txt[7].text, QStringLiteral("132"));
    QCOMPARE(PasteText(e, x1, QStringLiteral("98"), 0, 2), 2);
    QCOMPARE(e.txt[7].text, QStringLiteral("982"));

    e.txtOffSet.enabled = false;
    PasteText(e, step, QStringLiteral("7"), -1, 0);
    QCOMPARE(e.txtOffSet.text, QString());
}

QTEST_MAIN(FieldsTest)
#include "test_fields.moc"
