#include "document/model.h"

#include <algorithm>

namespace velluno {

Table::Table(QStringList headers) : headers_(std::move(headers)) {}

int Table::addRow(const QString& key)
{
    Row row;
    row.id = nextId_++;
    row.key = key;
    row.cells.resize(cellCount());
    if (rows_.size() == rows_.capacity())
        rows_.reserve(qMax<qsizetype>(64, rows_.size() * 2));
    rows_.append(std::move(row));
    keyIndexValid_ = false;
    return rows_.size();
}

void Table::clear()
{
    rows_.clear();
    keyIndexValid_ = false;
    selected_ = 0;
}

int Table::findKey(const QString& key) const
{
    if (!keyIndexValid_) {
        keyIndex_.clear();
        keyIndex_.reserve(rows_.size());
        // Backwards, so that of equal keys the first row is the one kept.
        for (int i = rows_.size() - 1; i >= 0; --i)
            keyIndex_[rows_.at(i).key] = i + 1;
        keyIndexValid_ = true;
    }
    const int hit = keyIndex_.value(key, 0);
    if (hit && rows_.at(hit - 1).key == key)
        return hit;
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_.at(i).key == key)
            return i + 1;
    return 0;
}

int Table::findId(quint64 id) const
{
    if (id == 0)
        return 0;
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_.at(i).id == id)
            return i + 1;
    return 0;
}

void Table::sortOn(int column)
{
    sortColumn_ = (column >= 0 && column <= cellCount()) ? column : -1;
    resort();
}

void Table::resort()
{
    if (sortColumn_ < 0 || rows_.size() < 2)
        return;
    const quint64 selectedId = selected_ ? rows_.at(selected_ - 1).id : 0;
    const int column = sortColumn_;
    // Compared as text without regard to case, the way a list view sorts its
    // items: "1000" lies between "100" and "999". The texts are folded once,
    // not at every comparison; the sort is stable, so equal texts keep their
    // order.
    QVector<QPair<QString, int>> order;
    order.reserve(rows_.size());
    for (int i = 0; i < rows_.size(); ++i) {
        const Row& r = rows_.at(i);
        order.append({(column == 0 ? r.key : r.cell(column)).toCaseFolded(), i});
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const QPair<QString, int>& a, const QPair<QString, int>& b) {
                         return a.first < b.first;
                     });
    QVector<Row> sorted;
    sorted.reserve(rows_.size());
    for (const auto& entry : order)
        sorted.append(std::move(rows_[entry.second]));
    rows_ = std::move(sorted);
    keyIndexValid_ = false;
    selected_ = findId(selectedId);
}

int Tree::add(const QString& text, int parent, int image, bool bold, const QString& tag)
{
    Node n;
    n.text = text;
    n.parent = parent;
    n.image = image;
    n.bold = bold;
    n.tag = tag;
    nodes_.append(n);
    return nodes_.size();
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

void MarkToReplace(Row& row)
{
    row.colour = kBlue;
    row.bold = true;
    row.icon = IconReplace;
    row.setCell(ColState, kStateReplace);
}

}  // namespace velluno
