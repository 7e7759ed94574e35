#pragma once
// The skin document: the line buffer, the structure tree and the three
// tables. The tables and the tree are the document itself: every editor reads
// and writes their text cells, and saving rebuilds the skin text from them.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace velluno {

// Text colours in 0x00BBGGRR order.
constexpr quint32 kBlack = 0x000000;
constexpr quint32 kRed = 0x0000FF;
constexpr quint32 kBlue = 0xFF0000;  // the edited mark

// Picture numbers of the image list, shared by the rows and the tree.
enum Icon : int {
    IconNone = 0,
    IconReplace = 2,    // object to be replaced
    IconMissing = 3,    // missing or faulty object
    IconImage = 6,      // object with an image file
    IconNumbered = 7,   // record with an object number; also type "5" lines
    IconType4 = 8,
    IconSection = 9,
    IconType1 = 10,
    IconType3 = 11,
    IconType2 = 12,
    IconRoot = 13,
    IconType6 = 14,
};

struct Row {
    quint64 id = 0;      // stable identity for element references
    QString key;         // the ID column
    QStringList cells;   // cells 1..n, stored from index 0
    QString tag;
    quint32 colour = kBlack;
    bool bold = false;
    int icon = IconNone;

    // Cells are addressed 1-based, as the columns count them after the key.
    QString cell(int n) const { return n >= 1 && n <= cells.size() ? cells.at(n - 1) : QString(); }
    void setCell(int n, const QString& text)
    {
        if (n >= 1 && n <= cells.size())
            cells[n - 1] = text;
    }
};

class Table {
public:
    // `headers` holds the key column's header first.
    explicit Table(QStringList headers);

    const QStringList& headers() const { return headers_; }
    int cellCount() const { return headers_.size() - 1; }

    int count() const { return rows_.size(); }
    bool isEmpty() const { return rows_.isEmpty(); }
    // 1-based display row; the caller checks the range.
    Row& row(int n) { return rows_[n - 1]; }
    const Row& row(int n) const { return rows_.at(n - 1); }
    const QVector<Row>& rows() const { return rows_; }

    // Appends a row with empty cells and returns its display row number. A
    // table kept sorted places the row at its sorted place.
    int addRow(const QString& key);
    void clear();

    // First row whose key equals `key` exactly; 0 when there is none.
    int findKey(const QString& key) const;
    // The display row of the row with this identity; 0 when it is gone.
    int findId(quint64 id) const;

    // Sort as text on `column` (0 = key) and keep the table sorted on it.
    // The selection follows its row. -1 leaves the table unsorted.
    void sortOn(int column);
    int sortColumn() const { return sortColumn_; }

    int selected() const { return selected_; }  // 1-based, 0 none
    void select(int n) { selected_ = (n >= 1 && n <= count()) ? n : 0; }
    void deselect() { selected_ = 0; }

    QString text(int n, int column) const
    {
        return column == 0 ? row(n).key : row(n).cell(column);
    }

private:
    void resort();

    QStringList headers_;
    QVector<Row> rows_;
    // First display row of each key, rebuilt after rows were added, removed
    // or moved (keys are given when a row is added). findKey checks the row
    // it finds and falls back to the plain search when the key is not there.
    mutable QHash<QString, int> keyIndex_;
    mutable bool keyIndexValid_ = false;
    int sortColumn_ = -1;
    int selected_ = 0;
    quint64 nextId_ = 1;
};

struct Node {
    QString text;
    QString tag;
    int image = IconNone;
    bool bold = false;
    quint32 colour = kBlack;
    int parent = 0;  // node number of the parent, 0 for the root
};

// Node k (from 1) stands for slot k - 1 of the line buffer.
class Tree {
public:
    int add(const QString& text, int parent, int image, bool bold, const QString& tag);
    int count() const { return nodes_.size(); }
    Node& node(int k) { return nodes_[k - 1]; }
    const Node& node(int k) const { return nodes_.at(k - 1); }
    const QVector<Node>& nodes() const { return nodes_; }
    void clear() { nodes_.clear(); }

private:
    QVector<Node> nodes_;
};

constexpr int kSlotCount = 1501;  // slots 0..1500

struct Document {
    Document();

    QVector<QString> SkinLines;  // kSlotCount slots once a file is read
    int LineCount = 0;
    Tree T_Strutt;
    Table L_Values;
    Table L_RGBA;
    Table L_Dim;
};

// Columns of L_Values (cell numbers).
enum ValuesColumn : int {
    ColLink = 1,       // "OffSet"
    ColDat = 2,        // "N° Dat"
    ColOffset = 3,     // "Offset"
    ColBytes = 4,      // "Byte"
    ColState = 5,      // "Stato"
    ColPath = 6,       // "Path GIF"
    ColValuesIndex = 7 // "Indice"
};
// Columns of L_RGBA.
enum RgbaColumn : int { ColR = 1, ColG = 2, ColB = 3, ColAlpha = 4, ColRgbaIndex = 5 };
// Columns of L_Dim.
enum DimColumn : int { ColX1 = 1, ColY1 = 2, ColX2 = 3, ColY2 = 4, ColWidth = 5, ColHeight = 6, ColDimIndex = 7 };

// Row states of L_Values.
inline const QString kStateFound = QStringLiteral("Trovata");
inline const QString kStateNotFound = QStringLiteral("Non trovata");
inline const QString kStateReplace = QStringLiteral("Da sostituire");
inline const QString kStateExtracted = QStringLiteral("Estratta");

// States compare without regard to case.
inline bool IsState(const Row& row, const QString& state)
{
    return row.cell(ColState).compare(state, Qt::CaseInsensitive) == 0;
}

// Marks the row as one to be packed at the next save.
void MarkToReplace(Row& row);

}  // namespace velluno
