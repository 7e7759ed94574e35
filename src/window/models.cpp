#include "window/models.h"

#include "window/icons.h"

#include <QFont>
#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace velluno::window {

namespace {

QVariant BoldFont(bool bold)
{
    if (!bold)
        return QVariant();
    QFont font;
    font.setBold(true);
    return font;
}

// A framed swatch, the same in every mode: a selected row shows its own
// colour, not one tinted by the selection, and white shows on white.
QIcon SwatchIcon(quint32 colour)
{
    QPixmap pixmap(kIconListSize, kIconListSize);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        const QRect r(0, 2, kIconListSize - 1, kIconListSize - 5);
        p.fillRect(r, ColourOf(colour));
        p.setPen(QColor(90, 90, 90));
        p.drawRect(r);
    }
    QIcon icon;
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Selected, QIcon::Active, QIcon::Disabled})
        icon.addPixmap(pixmap, mode);
    return icon;
}

}  // namespace

TableModel::TableModel(const Document& doc, TableKind kind, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc), kind_(kind)
{
    rows_ = count();
}

int TableModel::count() const
{
    switch (kind_) {
    case TableKind::Objects: return doc_.objects.count();
    case TableKind::Colours: return doc_.colours.count();
    case TableKind::Rectangles: break;
    }
    return doc_.rectangles.count();
}

QString TableModel::text(int n, int column) const
{
    if (kind_ == TableKind::Objects)
        return CellText(doc_.objects.row(n), column);
    return CellText((kind_ == TableKind::Colours ? doc_.colours : doc_.rectangles).row(n), kind_, column);
}

Look TableModel::look(int n) const
{
    if (kind_ == TableKind::Objects)
        return LookOf(doc_.objects.row(n));
    return LookOf((kind_ == TableKind::Colours ? doc_.colours : doc_.rectangles).row(n));
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(Headers(kind_).size()) + (colourOf_ ? 1 : 0);
}

void TableModel::setSwatchColumn(const QString& header, std::function<quint32(int row)> colourOf)
{
    beginResetModel();
    swatchHeader_ = header;
    colourOf_ = std::move(colourOf);
    endResetModel();
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    // The views may still ask about a row the last refresh announced while a
    // handler has already shortened the table: answer nothing for it.
    if (!index.isValid() || index.row() >= count() || index.column() >= columnCount())
        return QVariant();
    const int n = index.row() + 1;
    if (index.column() == Headers(kind_).size()) {
        // The swatch column: the colour, nothing to read or sort.
        const quint32 colour = colourOf_(n);
        if (role == Qt::DecorationRole) {
            // A table has a few hundred colours at most: each is drawn once.
            auto it = swatches_.constFind(colour);
            if (it == swatches_.constEnd())
                it = swatches_.insert(colour, SwatchIcon(colour));
            return *it;
        }
        if (role == Qt::ToolTipRole)
            return QStringLiteral("%1 %2 %3").arg(colour & 0xFF).arg((colour >> 8) & 0xFF).arg((colour >> 16) & 0xFF);
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        return text(n, index.column());
    case Qt::ToolTipRole:
        if (index.column() == wholeTextTips_ && !text(n, index.column()).trimmed().isEmpty())
            return text(n, index.column());
        return QVariant();
    case Qt::ForegroundRole:
        return ColourOf(look(n).colour);
    case Qt::FontRole:
        return BoldFont(look(n).bold);
    case Qt::DecorationRole:
        if (index.column() == 0) {
            const QIcon icon = IconList(look(n).icon);
            if (!icon.isNull())
                return icon;
        }
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Headers(kind_).size())
        return Headers(kind_).at(section);
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && colourOf_ && section == Headers(kind_).size())
        return swatchHeader_;
    return QAbstractTableModel::headerData(section, orientation, role);
}

void TableModel::refresh()
{
    if (count() != rows_) {
        beginResetModel();
        rows_ = count();
        endResetModel();
    } else if (rows_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    }
}

TreeModel::TreeModel(const Tree& tree, QObject* parent) : QAbstractItemModel(parent), tree_(tree)
{
    rebuildShape();
}

void TreeModel::rebuildShape()
{
    const int count = tree_.count();
    children_.assign(count + 1, {});
    row_.assign(count + 1, 0);
    parents_.assign(count + 1, 0);
    for (int k = 1; k <= count; ++k) {
        int parent = tree_.node(k).parent;
        // A parent that is not an earlier node would make a cycle: show the
        // node at the top instead.
        if (parent < 0 || parent >= k)
            parent = 0;
        parents_[k] = parent;
        row_[k] = int(children_[parent].size());
        children_[parent].push_back(k);
    }
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    const int p = parent.isValid() ? node(parent) : 0;
    if (p < 0 || p >= int(children_.size()) || row >= int(children_[p].size()))
        return QModelIndex();
    return createIndex(row, 0, quintptr(children_[p][row]));
}

QModelIndex TreeModel::parent(const QModelIndex& child) const
{
    const int k = node(child);
    if (k <= 0 || k >= int(parents_.size()))
        return QModelIndex();
    return indexOfNode(parents_[k]);
}

QModelIndex TreeModel::indexOfNode(int k) const
{
    if (k <= 0 || k >= int(row_.size()))
        return QModelIndex();
    return createIndex(row_[k], 0, quintptr(k));
}

int TreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    const int p = parent.isValid() ? node(parent) : 0;
    return p >= 0 && p < int(children_.size()) ? int(children_[p].size()) : 0;
}

int TreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

int TreeModel::node(const QModelIndex& index) const
{
    return index.isValid() ? int(index.internalId()) : 0;
}

QVariant TreeModel::data(const QModelIndex& index, int role) const
{
    const int k = node(index);
    if (k <= 0 || k > tree_.count())
        return QVariant();
    const Look look = LookOf(tree_, k);
    switch (role) {
    case Qt::DisplayRole:
        return tree_.text(k);
    case Qt::ToolTipRole: {
        const QString tag = tree_.tag(k);
        return tag.isEmpty() ? QVariant() : QVariant(tag);
    }
    case Qt::ForegroundRole:
        return ColourOf(look.colour);
    case Qt::FontRole:
        return BoldFont(look.bold);
    case Qt::DecorationRole: {
        const QIcon icon = IconList(look.icon);
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    default:
        return QVariant();
    }
}

void TreeModel::refresh()
{
    bool same = tree_.count() + 1 == int(parents_.size());
    for (int k = 1; same && k <= tree_.count(); ++k) {
        const int parent = tree_.node(k).parent;
        same = parents_[k] == ((parent < 0 || parent >= k) ? 0 : parent);
    }
    if (!same) {
        beginResetModel();
        rebuildShape();
        endResetModel();
        return;
    }
    // Same shape: repaint every node, level by level.
    for (int p = 0; p < int(children_.size()); ++p) {
        const auto& kids = children_[p];
        if (kids.empty())
            continue;
        emit dataChanged(indexOfNode(kids.front()), indexOfNode(kids.back()));
    }
}

}  // namespace velluno::window
