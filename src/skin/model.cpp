#include "skin/model.h"

#include <QVarLengthArray>

#include <algorithm>

namespace velluno {

QStringList Row::cells() const
{
    QStringList list;
    list.reserve(cellCount());
    for (int n = 1; n <= cellCount(); ++n)
        list.append(cell(n));
    return list;
}

void Row::setPart(int k, QStringView text)
{
    if (text_ && text_->rows == 1) {
        // The text is this row's alone (written to before): the part is
        // replaced where it stands, and an editor that sets five cells of a
        // row makes one copy of it, not five.
        const int start = k == 0 ? 0 : ends_[k - 1];
        const int length = ends_[k] - start;
        QString& own = text_->text;
        const QChar* first = own.constData();
        if (text.data() >= first && text.data() < first + own.size()) {
            const QString copy = text.toString();  // a part of this very text
            own.replace(base_ + start, length, copy);
        } else {
            own.replace(base_ + start, length, text.data(), text.size());
        }
        const int delta = int(text.size()) - length;
        for (int i = k; i < parts_; ++i)
            ends_[i] += delta;
        return;
    }
    // A text of this row's own, so that rows sharing the old one keep it.
    // `text` may be a part of this very row: it is read before the old text
    // goes.
    TextBuffer own;
    int ends[2 + kMaxCells];
    for (int i = 0; i < parts_; ++i) {
        own.append(i == k ? text : part(i));
        ends[i] = int(own.size());
    }
    release();
    text_ = new Text{1, own.take()};
    base_ = 0;
    std::copy_n(ends, parts_, ends_);
}

RowBatch::RowBatch(Table& table, qsizetype expected, qsizetype rows)
    : table_(table), first_(int(table.rows_.size()))
{
    text_.reserve(expected);
    table.rows_.reserve(table.rows_.size() + size_t(rows));
}

RowBatch::~RowBatch()
{
    // Rows written to while the batch was open have a text of their own.
    qsizetype rows = 0;
    for (size_t i = size_t(first_); i < table_.rows_.size(); ++i)
        rows += table_.rows_[i].text_ ? 0 : 1;
    if (rows == 0)
        return;
    Row::Text* const text = new Row::Text{rows, text_.take()};
    for (size_t i = size_t(first_); i < table_.rows_.size(); ++i) {
        Row& row = table_.rows_[i];
        if (!row.text_)
            row.text_ = text;
    }
}

RowWriter::RowWriter(RowBatch& batch) : row_(batch.table_.appendRow()), text_(batch.text_)
{
    row_.base_ = int(text_.size());
}

RowWriter::~RowWriter()
{
    while (written_ < row_.parts_)
        end();
}

Table::Table(QStringList headers) : headers_(std::move(headers)) {}

Row& Table::appendRow()
{
    Row& row = rows_.emplace_back();
    row.id = nextId_++;
    row.parts_ = 2 + qMin(cellCount(), kMaxCells);
    keyIndexValid_ = false;
    return row;
}

int Table::addRow(QStringView key)
{
    RowBatch batch(*this);
    RowWriter(batch) << key;
    return count();
}

void Table::clear()
{
    rows_.clear();
    keyIndexValid_ = false;
    selected_ = 0;
}

namespace {

// The number of a key of exactly four ASCII digits, else -1.
int FourDigitNumber(QStringView key)
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

}  // namespace

int Table::findKey(QStringView key) const
{
    const int number = FourDigitNumber(key);
    if (number < 0) {
        for (int i = 0; i < count(); ++i)
            if (row(i + 1).keyView() == key)
                return i + 1;
        return 0;
    }
    if (!keyIndexValid_) {
        if (++keyStamp_ == 1)  // the first time, or the stamps went round
            keyIndex_.fill(KeyEntry{0, 0}, 10000);
        // Backwards, so that of equal keys the first row is the one kept.
        for (int i = count() - 1; i >= 0; --i) {
            const int n = FourDigitNumber(row(i + 1).keyView());
            if (n >= 0)
                keyIndex_[n] = KeyEntry{keyStamp_, i + 1};
        }
        keyIndexValid_ = true;
    }
    const KeyEntry& entry = keyIndex_.at(number);
    return entry.stamp == keyStamp_ ? entry.row : 0;
}

int Table::findKey(QLatin1String key) const
{
    // The preview looks its rows up by constant keys at every redraw.
    QVarLengthArray<char16_t, 16> wide(key.size());
    for (qsizetype i = 0; i < key.size(); ++i)
        wide[i] = char16_t(uchar(key.at(i).toLatin1()));
    return findKey(QStringView(wide.data(), wide.size()));
}

int Table::findId(quint64 id) const
{
    if (id == 0)
        return 0;
    for (int i = 0; i < count(); ++i)
        if (row(i + 1).id == id)
            return i + 1;
    return 0;
}

void Table::sortOn(int column)
{
    sortColumn_ = (column >= 0 && column <= cellCount()) ? column : -1;
    resort();
}

namespace {

// Texts compared without regard to case. Keys and cells are nearly always
// digits, compared here without a call into the general comparison, which
// takes over at the first character outside ASCII.
int CompareNoCase(QStringView a, QStringView b)
{
    const qsizetype n = qMin(a.size(), b.size());
    const char16_t* p = a.utf16();
    const char16_t* q = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = p[i], y = q[i];
        if (x == y)
            continue;
        if (x >= 0x80 || y >= 0x80)
            return a.mid(i).compare(b.mid(i), Qt::CaseInsensitive);
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace

void Table::resort()
{
    if (sortColumn_ < 0 || rows_.size() < 2)
        return;
    const int column = sortColumn_;
    // Compared as text without regard to case, the way a list view sorts its
    // items: "1000" lies between "100" and "999". The sort is stable, so
    // equal texts keep their order.
    auto textOf = [column](const Row& r) { return column == 0 ? r.keyView() : r.cellView(column); };
    auto before = [&](const Row& a, const Row& b) { return CompareNoCase(textOf(a), textOf(b)) < 0; };
    // A skin lists its records in order more often than not.
    if (std::is_sorted(rows_.cbegin(), rows_.cend(), before))
        return;
    const quint64 selectedId = selected_ ? row(selected_).id : 0;
    std::stable_sort(rows_.begin(), rows_.end(), before);
    keyIndexValid_ = false;
    selected_ = findId(selectedId);
}

QString Tree::tag(int k) const
{
    const Node& n = node(k);
    if (n.tagText_ < 0)
        return QString();
    const QString& text = tagTexts_.at(n.tagText_);
    if (n.tagPosition_ == 0)
        return text;
    return text + QLatin1Char('_') + QString::number(n.tagPosition_);
}

bool Tree::hasTag(int k, QStringView tag) const
{
    const Node& n = node(k);
    if (n.tagText_ < 0)
        return tag.isEmpty();
    const QString& text = tagTexts_.at(n.tagText_);
    if (n.tagPosition_ == 0)
        return tag == text;
    // The place in the section differs far more often than the section:
    // its last digit is compared first.
    if (tag.isEmpty() || tag.back() != QLatin1Char(char('0' + n.tagPosition_ % 10)))
        return false;
    const qsizetype length = text.size();
    if (tag.size() <= length + 1 || !tag.startsWith(text) || tag.at(length) != QLatin1Char('_'))
        return false;
    const QStringView digits = tag.mid(length + 1);
    if (digits.at(0) == QLatin1Char('0'))
        return false;
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || value > n.tagPosition_)
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    return value == n.tagPosition_;
}

int Tree::addTagText(const QString& text)
{
    tagTexts_.append(text);
    return tagTexts_.size() - 1;
}

int Tree::add(const QString& text, int parent, int image, bool bold, const QString& tag)
{
    const int k = addLine(-1, parent, image, bold, tag.isEmpty() ? -1 : addTagText(tag), 0);
    nodes_.back().text_ = text;
    return k;
}

int Tree::addLine(int line, int parent, int image, bool bold, int tagText, int position)
{
    Node& n = nodes_.emplace_back();
    n.line_ = line >= 0 && line < lines_.size() ? line : -1;
    n.parent = parent;
    n.image = image;
    n.bold = bold;
    n.tagText_ = tagText;
    n.tagPosition_ = position;
    return count();
}

Document::Document()
    : L_Values({QStringLiteral("ID"), QStringLiteral("OffSet"), QStringLiteral("N° Dat"),
                QStringLiteral("Offset"), QStringLiteral("Byte"), QStringLiteral("Stato"),
                QStringLiteral("Path GIF"), QStringLiteral("Indice")}),
      L_RGBA({QStringLiteral("ID"), QStringLiteral("R"), QStringLiteral("G"), QStringLiteral("B"),
              QStringLiteral("Trasparenza"), QStringLiteral("Indice")}),
      L_Dim({QStringLiteral("ID"), QStringLiteral("X1"), QStringLiteral("Y1"), QStringLiteral("X2"),
             QStringLiteral("Y2"), QStringLiteral("Larghezza"), QStringLiteral("Altezza"),
             QStringLiteral("Indice")})
{
}

void Document::clear()
{
    SkinLines.clear();
    LineCount = 0;
    T_Strutt.clear();
    L_Values.clear();
    L_RGBA.clear();
    L_Dim.clear();
}

QString ImagePathOf(const Row& row)
{
    QStringView path = row.cellView(ColPath);
    while (!path.isEmpty() && path.front() == QLatin1Char(' '))
        path = path.mid(1);
    while (!path.isEmpty() && path.back() == QLatin1Char(' '))
        path.chop(1);
    return path.toString();
}

void ShowToReplace(Row& row)
{
    row.colour = kBlue;
    row.bold = true;
    row.icon = IconReplace;
}

void MarkToReplace(Row& row)
{
    ShowToReplace(row);
    row.setCell(ColState, kStateReplace);
}

void PointAtImage(Row& row, const QString& path, qint64 length)
{
    MarkToReplace(row);
    row.setCell(ColDat, QStringLiteral("-"));
    row.setCell(ColOffset, QStringLiteral("-"));
    row.setCell(ColBytes, QString::number(length));
    row.setCell(ColPath, path);
}

namespace {

int SlotOfRow(const Row& row, int indexColumn)
{
    const qint64 slot = LenientInteger(row.cellView(indexColumn), -1, kSlotCount);
    return slot >= 0 && slot < kSlotCount ? int(slot) : -1;
}

}  // namespace

void FollowColourRowInTree(Document& doc, const Row& row)
{
    const int node = SlotOfRow(row, ColRgbaIndex) + 1;
    if (node < 1 || node > doc.T_Strutt.count() || !doc.T_Strutt.node(node).edited)
        return;
    doc.T_Strutt.setText(node, ComposeValueRecord(QLatin1Char('4'), row.keyView(), row.cellView(ColR),
                                                  row.cellView(ColG), row.cellView(ColB), row.cellView(ColAlpha)));
}

void FollowNodeInTables(Document& doc, int node)
{
    if (node < 1 || node > doc.T_Strutt.count())
        return;
    const QString text = doc.T_Strutt.text(node);
    const QChar type = RecordType(text);
    if (type != QLatin1Char('1') && type != QLatin1Char('4'))
        return;
    const std::optional<ValueRecord> record = ReadValueRecord(text);
    if (!record)
        return;
    Table& table = type == QLatin1Char('4') ? doc.L_RGBA : doc.L_Dim;
    const int indexColumn = type == QLatin1Char('4') ? int(ColRgbaIndex) : int(ColDimIndex);
    for (int r = 1; r <= table.count(); ++r) {
        Row& row = table.row(r);
        if (SlotOfRow(row, indexColumn) != node - 1)
            continue;
        for (int i = 0; i < 4; ++i)
            row.setCell(1 + i, record->values[i]);
        MarkEdited(row);
    }
}

void MarkEdited(Row& row)
{
    row.colour = kBlue;
    row.bold = true;
}

void MarkFaulty(Row& row)
{
    row.colour = kRed;
    row.icon = IconMissing;
}

bool IsOperatorSkin(const QString& skinName)
{
    return skinName.compare(QLatin1String("varavave"), Qt::CaseInsensitive) == 0;
}

}  // namespace velluno
