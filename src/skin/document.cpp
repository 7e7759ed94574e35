#include "skin/document.h"

namespace velluno {

namespace {

// A number of plain digits is the key of its four-digit form: "562",
// "0562" and "00562" are all the row "0562".
bool PlainKeyIs(QStringView number, QStringView key)
{
    const QStringView run = PlainDigitRun(number);
    if (run.isEmpty())
        return false;
    return key.size() == qMax<qsizetype>(4, run.size()) && PlainDigitRun(key) == run;
}

}  // namespace

bool operator==(const ObjectRow& a, const ObjectRow& b)
{
    return a.id == b.id && a.slot == b.slot && a.record == b.record && a.number == b.number && a.offset == b.offset &&
           a.length == b.length && a.container == b.container && a.placed == b.placed && a.bytes == b.bytes &&
           a.state == b.state && a.image == b.image && a.faulty == b.faulty && a.packed == b.packed;
}

bool operator==(const ValueRow& a, const ValueRow& b)
{
    return a.id == b.id && a.slot == b.slot && a.indexText == b.indexText && a.number == b.number &&
           a.keyAsWritten == b.keyAsWritten && std::equal(a.values, a.values + 4, b.values) && a.line == b.line &&
           a.sized == b.sized && a.edited == b.edited && a.fromScheme == b.fromScheme;
}

bool operator==(const Node& a, const Node& b)
{
    return a.parent == b.parent && a.section == b.section && a.edited == b.edited && a.strong == b.strong &&
           a.text == b.text && a.tagText == b.tagText && a.position == b.position;
}

bool HasKey(const ObjectRow& row, QStringView key)
{
    if (!PlainDigitRun(row.number).isEmpty())
        return PlainKeyIs(row.number, key);
    return row.key() == key;
}

bool HasKey(const ValueRow& row, QStringView key)
{
    if (!row.keyAsWritten && !PlainDigitRun(row.number).isEmpty())
        return PlainKeyIs(row.number, key);
    return row.key() == key;
}

namespace {

int FourDigitsOf(QStringView key)
{
    if (key.size() != 4)
        return -1;
    int n = 0;
    for (const QChar c : key) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}

// A plain run of digits needs no key of its own: "562" and "0562" are 562.
int FourDigitNumber(QStringView number)
{
    const QStringView run = PlainDigitRun(number);
    if (run.isEmpty() || run.size() > 4)
        return -2;  // formed from the key
    int n = 0;
    for (const QChar c : run)
        n = n * 10 + (c.unicode() - '0');
    return n;
}

}  // namespace

int FourDigitKey(const ObjectRow& row)
{
    const int n = FourDigitNumber(row.number);
    return n >= -1 ? n : FourDigitsOf(row.key());
}

int FourDigitKey(const ValueRow& row)
{
    if (row.keyAsWritten)
        return FourDigitsOf(row.number);
    const int n = FourDigitNumber(row.number);
    return n >= -1 ? n : FourDigitsOf(row.key());
}

QString ValueRow::key() const
{
    if (keyAsWritten || !numbered())
        return number;
    return FormatDigits(number, 4);
}

int Tree::addTagText(const QString& text)
{
    tagTexts_.append(text);
    return int(tagTexts_.size()) - 1;
}

int Tree::add(const QString& text, int parent, bool section, int tagText, int position)
{
    Node& n = nodes_.emplace_back();
    n.text = text;
    n.parent = parent;
    n.section = section;
    n.tagText = tagText;
    n.position = position;
    return count();
}

void Tree::rewrite(int k, const QString& text, bool strong)
{
    Node& n = nodes_[k - 1];
    n.text = text;
    n.edited = true;
    n.strong = n.strong || strong;
}

QString Tree::tag(int k) const
{
    const Node& n = node(k);
    if (n.tagText < 0)
        return QString();
    const QString& text = tagTexts_.at(n.tagText);
    if (n.position == 0)
        return text;
    return text + QLatin1Char('_') + QString::number(n.position);
}

bool Tree::hasTag(int k, QStringView tag) const
{
    const Node& n = node(k);
    if (n.tagText < 0)
        return tag.isEmpty();
    const QString& text = tagTexts_.at(n.tagText);
    if (n.position == 0)
        return tag == text;
    const qsizetype length = text.size();
    if (tag.size() <= length + 1 || !tag.startsWith(text) || tag.at(length) != QLatin1Char('_'))
        return false;
    const QStringView digits = tag.mid(length + 1);
    return PlainDigitRun(digits) == digits && digits.toInt() == n.position;
}

void Document::clear()
{
    // The views go before the text they show.
    objects.clear();
    colours.clear();
    rectangles.clear();
    structure.clear();
    lines.clear();
    lineCount = 0;
    source.clear();
}

int SlotOf(QStringView index)
{
    const qint64 slot = LenientInteger(index, -1, kSlotCount);
    return slot >= 0 && slot < kSlotCount ? int(slot) : -1;
}

void PointAtImage(ObjectRow& row, const QString& path, qint64 length)
{
    row.state = ImageState::ToReplace;
    row.placed = false;
    row.bytes = QString::number(length);
    row.image = path;
    row.faulty = false;
    row.packed = false;
}

void FollowColourRowInTree(Document& doc, const ValueRow& row)
{
    const int node = row.slot + 1;
    if (node < 1 || node > doc.structure.count() || !doc.structure.node(node).edited)
        return;
    doc.structure.rewrite(node,
                          ComposeValueRecord(QLatin1Char('4'), row.key(), row.values[0], row.values[1],
                                             row.values[2], row.values[3]),
                          false);
}

void FollowNodeInTables(Document& doc, int node)
{
    if (node < 1 || node > doc.structure.count())
        return;
    const QString text = doc.structure.text(node);
    const QChar type = RecordType(text);
    if (type != QLatin1Char('1') && type != QLatin1Char('4'))
        return;
    const std::optional<ValueRecord> record = ReadValueRecord(text);
    if (!record)
        return;
    Table<ValueRow>& table = type == QLatin1Char('4') ? doc.colours : doc.rectangles;
    for (ValueRow& row : table.rows()) {
        if (row.slot != node - 1)
            continue;
        for (int i = 0; i < 4; ++i)
            row.values[i] = record->values[i].toString();
        row.edited = true;
        row.sized = false;
    }
}

bool IsOperatorSkin(const QString& skinName)
{
    return skinName.compare(QLatin1String("varavave"), Qt::CaseInsensitive) == 0;
}

}  // namespace velluno
