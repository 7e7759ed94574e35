#pragma once
// The skin document: the line buffer, the structure tree and the three
// tables. The tables and the tree are the document itself: every editor reads
// and writes their text cells, and saving rebuilds the skin text from them.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

#include "skin/textform.h"

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

// The most cells any table has.
constexpr int kMaxCells = 7;

// A row keeps its key, its tag and its cells back to back in one text, with
// the end of each part beside it. The rows an opening reads share a single
// text per table: a skin of a thousand records then costs three allocations
// for its rows, not ten thousand, and frees as quickly. A row that is
// written to gets a text of its own. The key is given when the row is added
// and never changes.
class Row {
public:
    quint64 id = 0;  // stable identity for element references
    quint32 colour = kBlack;
    bool bold = false;
    int icon = IconNone;

    Row() = default;
    Row(const Row& other) { assign(other); share(); }
    Row(Row&& other) noexcept
    {
        assign(other);
        other.text_ = nullptr;
    }
    Row& operator=(const Row& other)
    {
        if (this != &other) {
            release();
            assign(other);
            share();
        }
        return *this;
    }
    Row& operator=(Row&& other) noexcept
    {
        if (this != &other) {
            release();
            assign(other);
            other.text_ = nullptr;
        }
        return *this;
    }
    ~Row() { release(); }

    QString key() const { return part(0).toString(); }
    QStringView keyView() const { return part(0); }
    QString tag() const { return part(1).toString(); }
    void setTag(QStringView text) { setPart(1, text); }

    int cellCount() const { return parts_ > 2 ? parts_ - 2 : 0; }
    // Cells are addressed 1-based, as the columns count them after the key;
    // a cell out of range reads as empty and is never written. A view lasts
    // until the row or its table is next changed.
    QString cell(int n) const { return cellView(n).toString(); }
    QStringView cellView(int n) const
    {
        return n >= 1 && n <= cellCount() ? part(n + 1) : QStringView();
    }
    void setCell(int n, QStringView text)
    {
        if (n >= 1 && n <= cellCount())
            setPart(n + 1, text);
    }
    void setCell(int n, const QString& text) { setCell(n, QStringView(text)); }
    QStringList cells() const;

private:
    friend class Table;
    friend class RowBatch;
    friend class RowWriter;

    // A text and the number of rows holding it. The count is a plain one:
    // the document lives on the thread that opened it, and an atomic count
    // would cost a locked instruction for every row at every opening and
    // again when the rows go.
    struct Text {
        qsizetype rows;
        QString text;
    };

    // Everything but the text's count, which the caller settles.
    void assign(const Row& other)
    {
        id = other.id;
        colour = other.colour;
        bold = other.bold;
        icon = other.icon;
        text_ = other.text_;
        base_ = other.base_;
        parts_ = other.parts_;
        std::copy_n(other.ends_, 2 + kMaxCells, ends_);
    }
    void share()
    {
        if (text_)
            ++text_->rows;
    }
    void release()
    {
        if (text_ && --text_->rows == 0)
            delete text_;
        text_ = nullptr;
    }

    QStringView part(int k) const
    {
        // A row whose batch is still being written has no text yet.
        if (!text_)
            return QStringView();
        const int start = k == 0 ? 0 : ends_[k - 1];
        return QStringView(text_->text).mid(base_ + start, ends_[k] - start);
    }
    void setPart(int k, QStringView text);

    Text* text_ = nullptr;  // this row's parts from base_ on, perhaps among others
    int base_ = 0;
    int ends_[2 + kMaxCells] = {};  // end of each part, counted from base_
    int parts_ = 0;
};

class Table;

// Writes rows that share one text until it goes; the rows have their texts
// from then on. The opening writes each table's rows in one batch.
class RowBatch {
public:
    // `expected`: about how many characters the rows will hold, so that
    // their text is allocated once; `rows`: how many rows the batch will
    // add, so that the table's rows are allocated once too.
    explicit RowBatch(Table& table, qsizetype expected = 0, qsizetype rows = 0);
    ~RowBatch();
    RowBatch(const RowBatch&) = delete;
    RowBatch& operator=(const RowBatch&) = delete;

private:
    friend class RowWriter;
    Table& table_;
    int first_;  // index of the batch's first row
    TextBuffer text_;
};

// Appends a row to a batch and fills it: key, tag, then every cell in
// order, each closed by end(). Parts not written stay empty.
class RowWriter {
public:
    explicit RowWriter(RowBatch& batch);
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    Row& row() { return row_; }
    TextBuffer& text() { return text_; }
    template <typename T>
    RowWriter& operator<<(const T& piece)
    {
        text_.append(piece);
        return *this;
    }
    void end()
    {
        if (written_ < row_.parts_)
            row_.ends_[written_++] = int(text_.size()) - row_.base_;
    }

private:
    Row& row_;
    TextBuffer& text_;
    int written_ = 0;
};

class Table {
public:
    // `headers` holds the key column's header first.
    explicit Table(QStringList headers);

    const QStringList& headers() const { return headers_; }
    int cellCount() const { return headers_.size() - 1; }

    int count() const { return int(rows_.size()); }
    bool isEmpty() const { return rows_.empty(); }
    // 1-based display row; the caller checks the range.
    Row& row(int n) { return rows_[size_t(n - 1)]; }
    const Row& row(int n) const { return rows_[size_t(n - 1)]; }
    const std::vector<Row>& rows() const { return rows_; }

    // Appends a row with empty cells and returns its display row number.
    // Rows are appended as they come; sortOn puts them in order. A RowBatch
    // appends many rows at once.
    int addRow(QStringView key);
    void clear();

    // First row whose key equals `key` exactly; 0 when there is none.
    int findKey(QStringView key) const;
    int findKey(QLatin1String key) const;
    int findKey(const QString& key) const { return findKey(QStringView(key)); }
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
        return column == 0 ? row(n).key() : row(n).cell(column);
    }

private:
    friend class RowBatch;
    friend class RowWriter;
    Row& appendRow();
    void resort();

    QStringList headers_;
    // A standard vector: appending a row is the most frequent thing an
    // opening does, and here it costs a comparison and the row's fields.
    std::vector<Row> rows_;
    // Keys are object numbers in four digits nearly always: the first
    // display row of each such key, by its number, rebuilt after rows were
    // added, removed or moved (keys never change once added). Any other key
    // is searched row by row. An entry counts only when it carries the
    // current stamp, so a rebuild writes the table's rows, not all 10000
    // entries.
    struct KeyEntry {
        quint32 stamp;
        int row;
    };
    mutable QVector<KeyEntry> keyIndex_;
    mutable quint32 keyStamp_ = 0;
    mutable bool keyIndexValid_ = false;
    int sortColumn_ = -1;
    int selected_ = 0;
    quint64 nextId_ = 1;
};

struct Node {
    int image = IconNone;
    bool bold = false;
    quint32 colour = kBlack;
    int parent = 0;  // node number of the parent, 0 for the root
    // An editor rewrote the record: saving takes the node's text over its
    // line. Shown blue (Tree::markEdited sets both).
    bool edited = false;

private:
    friend class Tree;
    // The node's text is its own, or, when line_ is not -1, that line of the
    // lines the tree was given: an opening's nodes hold no text of their
    // own, and cost no reference count per line.
    QString text_;
    int line_ = -1;
    // The tag, kept in pieces (see Tree::tag): an index into the tree's
    // tag texts, -1 for none, and the record's place in its section.
    int tagText_ = -1;
    int tagPosition_ = 0;
};

// Node k (from 1) stands for slot k - 1 of the line buffer.
class Tree {
public:
    // The lines that nodes added by addLine read their texts from. The tree
    // keeps its own copy of the list, which shares the lines with the one
    // given as long as neither is changed.
    void setLines(const QVector<QString>& lines) { lines_ = lines; }

    int add(const QString& text, int parent, int image, bool bold, const QString& tag);
    // A node whose text is line `line` of the lines given, tagged with tag
    // text `tagText` (from addTagText, -1 for none) and, for a record,
    // "_" and its `position`: a section's records share the one text.
    int addLine(int line, int parent, int image, bool bold, int tagText, int position);
    int addTagText(const QString& text);

    int count() const { return int(nodes_.size()); }
    void reserve(int nodes) { nodes_.reserve(size_t(nodes)); }
    Node& node(int k) { return nodes_[size_t(k - 1)]; }
    const Node& node(int k) const { return nodes_[size_t(k - 1)]; }
    const QString& text(int k) const
    {
        const Node& n = node(k);
        return n.line_ < 0 ? n.text_ : lines_.at(n.line_);
    }
    void setText(int k, const QString& text)
    {
        Node& n = node(k);
        n.text_ = text;
        n.line_ = -1;
    }
    // Marks node k as rewritten by an editor: blue, and bold when asked.
    void markEdited(int k, bool bold)
    {
        Node& n = node(k);
        n.edited = true;
        n.colour = kBlue;
        if (bold)
            n.bold = true;
    }
    void clear()
    {
        nodes_.clear();
        tagTexts_.clear();
        lines_.clear();
    }

    // Tags are fixed when a node is added. A record's tag is joined from its
    // pieces when asked for: most tags are never read.
    QString tag(int k) const;
    bool hasTag(int k, QStringView tag) const;

private:
    std::vector<Node> nodes_;  // as the rows: appended by the thousand
    QStringList tagTexts_;
    QVector<QString> lines_;
};

constexpr int kSlotCount = 1501;  // slots 0..1500

struct Document {
    Document();
    // Empties the line buffer, the tree and the tables. Their storage is
    // kept for the next skin read into this document, and so is the column
    // the object table is sorted on.
    void clear();

    // Where the skin lies: its folder (without a trailing separator), its
    // file name without extension, and the folder of its object images
    // (SkinDir / SkinName "_Gifs", with a trailing "/").
    QString SkinDir;
    QString SkinName;
    QString GifDir;

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
    return row.cellView(ColState).compare(state, Qt::CaseInsensitive) == 0;
}

// The image file a graphic-object row points at: its "Path GIF" without the
// blanks around it; empty when it has none (" " after opening).
QString ImagePathOf(const Row& row);

// The look of a row to be packed at the next save: blue, bold, icon 2.
void ShowToReplace(Row& row);
// Marks the row as one to be packed at the next save: that look and the
// state "Da sostituire".
void MarkToReplace(Row& row);
// Points an object row at a new image file: marked to be packed at the next
// save, no place in a container until then ("N° Dat" and "Offset" "-"),
// the file's length and path. Every replacement ends here.
void PointAtImage(Row& row, const QString& path, qint64 length);
// A record shown twice, as a row of the colour or rectangle table and as
// its own node in the tree, is written by whichever of the two an editor
// changed last: the other follows at once, so that the tables show what a
// save writes. (The background colour's record is a colour row, and the
// node that its swatch rewrites.) After a colour row changed, an edited
// node of its record takes the row's text; after an editor rewrote a node,
// the rows of its record take its values.
void FollowColourRowInTree(Document& doc, const Row& row);
void FollowNodeInTables(Document& doc, int node);
// A row whose cells an editor changed: blue and bold, for the user only
// (saving rebuilds every colour and rectangle row).
void MarkEdited(Row& row);
// An object row whose image could not be extracted: red, icon 3; its state
// stays as it was.
void MarkFaulty(Row& row);
// The skin is "varavave" in any case: the one skin that may be saved, whose
// container 14 the editor rewrites.
bool IsOperatorSkin(const QString& skinName);

}  // namespace velluno
