#pragma once
// Qt model adapters over the document's tables and tree. They hold no copy of
// the cells: every call reads the document through the editor's
// presentation, so what the lists show is whatever the handlers last wrote.
#include "editor/presentation.h"

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QIcon>
#include <functional>
#include <vector>

namespace velluno::window {

// 0x00BBGGRR as a Qt colour.
inline QColor ColourOf(quint32 bbggrr)
{
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TableModel(const Document& doc, TableKind kind, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // After a handler: a new row count resets the model (views drop their
    // state); the same count only repaints, so scrolling stays where it was.
    void refresh();

    // One more column after the table's own, for the eye only: a swatch of
    // the colour `colourOf` gives each row (0x00BBGGRR), its components as
    // the tooltip. No cell of the table lies behind it.
    void setSwatchColumn(const QString& header, std::function<quint32(int row)> colourOf);

    // A column shown shortened (a path elided in the middle): each of its
    // cells has its whole text as the tooltip.
    void setWholeTextTips(int column) { wholeTextTips_ = column; }

private:
    int count() const;
    QString text(int n, int column) const;
    Look look(int n) const;

    const Document& doc_;
    TableKind kind_;
    int rows_ = 0;  // the count the views were last told about
    int wholeTextTips_ = -1;
    QString swatchHeader_;
    std::function<quint32(int row)> colourOf_;
    mutable QHash<quint32, QIcon> swatches_;
};

class TreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit TreeModel(const Tree& tree, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Node number (from 1) of an index, 0 for none.
    int node(const QModelIndex& index) const;
    QModelIndex indexOfNode(int k) const;

    // Same rule as the tables: a changed shape resets the model, the same
    // shape repaints, so the user's expanded sections stay open while editing.
    void refresh();

private:
    void rebuildShape();

    const Tree& tree_;
    // The shape only: children and position of every node, by node number.
    // Texts, tags and marks are always read from the tree itself.
    std::vector<std::vector<int>> children_;  // [0] holds the top-level nodes
    std::vector<int> row_;
    std::vector<int> parents_;
};

}  // namespace velluno::window
