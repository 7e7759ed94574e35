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
    void pasteIsNotFiltered();
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

void FieldsTest::pasteIsNotFiltered()
{
    Session s;
    Editor& e = s.editor;
    e.txtOffSet.enabled = true;
    PasteText(e, {FieldKind::TxtOffSet, 0}, QStringLiteral("ab"), -1, 0);
    QCOMPARE(e.txtOffSet.text, QStringLiteral("a"));
    e.txtOffSet.enabled = false;
    PasteText(e, {FieldKind::TxtOffSet, 0}, QStringLiteral("7"), -1, 0);
    QCOMPARE(e.txtOffSet.text, QStringLiteral("a"));
}

QTEST_MAIN(FieldsTest)
#include "test_fields.moc"
