#include "document/model.h"

#include <algorithm>

namespace velluno {

Table::Table(QStringList headers) : headers_(std::move(headers)) {}

int Table::addRow(const QString& key)
{
    Row row;
    row.id = nextId_++;
    row.key = key;
    for (int i = 0; i < cellCount(); ++i)
        row.cells.append(QString());
    rows_.append(row);
    return rows_.size();
}

void Table::clear()
{
    rows_.clear();
    selected_ = 0;
}

int Table::findKey(const QString& key) const
{
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
    auto text = [column](const Row& r) { return column == 0 ? r.key : r.cell(column); };
    // Compared as text, the way a list view sorts its items: "1000" lies
    // between "100" and "999". Stable, so equal texts keep their order.
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
        return QString::compare(text(a), text(b), Qt::CaseInsensitive) < 0;
    });
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
