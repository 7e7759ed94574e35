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
