#pragma once
// The skin document: the lines of the skin text, the structure of its
// sections and records, and the three kinds of records that have rows of
// their own: the graphic objects, the colours and the rectangles of the
// screen elements, each with its typed state. Saving rebuilds the skin text
// from them. How any of it is shown (colours, icons, headers, the words of
// a state, sorting, selection) is the editor's business, not the
// document's.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <vector>

#include "skin/textform.h"

namespace velluno {

constexpr int kSlotCount = 1501;  // lines 0..1500

// A row's identity: it stays with the row whatever order the table is in.
using RowId = quint64;

// Where a graphic object's image stands.
enum class ImageState {
    Found,      // its image file was in the image folder when the skin was read
    NotFound,   // no image file for it
    ToReplace,  // the next save packs its image file into container 14
    Extracted,  // an export wrote its image file
};

// A graphic-object record ("5"): its fields as read, and where its image is.
struct ObjectRow {
    RowId id = 0;
    int slot = 0;  // the line of its record
    QString number, offset, length, container;  // the record's fields as read
    // The record's line as read: what a save writes for the row while it
    // keeps its place, even after an earlier save packed it and an undo put
    // it back since.
    QString record;
    // Its place in its container as read; false once its image was
    // replaced: the new place is only known at the next save.
    bool placed = true;
    QString bytes;  // the image's length: as read, or the replacement file's
    ImageState state = ImageState::NotFound;
    QString image;  // the image file it points at; empty for none
    bool faulty = false;  // the last export could not cut its image out
    bool packed = false;  // the last save packed it into container 14

    // The object number in four digits ("0562"), as rows are looked up.
    QString key() const { return FormatDigits(number, 4); }
    // The container number in two digits ("00"), and the offset as read;
    // "-" for both once the image was replaced.
    QString containerText() const { return placed ? FormatDigits(container, 2) : QStringLiteral("-"); }
    QString offsetText() const { return placed ? offset : QStringLiteral("-"); }
};

bool operator==(const ObjectRow& a, const ObjectRow& b);
inline bool operator!=(const ObjectRow& a, const ObjectRow& b) { return !(a == b); }

// A colour ("4") or rectangle ("1") record: its number, or none, and its
// four values (R, G, B and transparency; or X1, Y1, X2, Y2).
struct ValueRow {
    RowId id = 0;
    int slot = 0;       // the line its record is written to; -1 when its "Indice" names none
    QString indexText;  // a scheme row's "Indice" as written
    QString number;     // as read, "-" when the record has none; a scheme row's key as written
    bool keyAsWritten = false;  // a row of the default colour scheme keeps its key's form
    QString values[4];
    QString line;       // the record as read, trimmed; empty for a scheme row
    bool sized = true;  // a rectangle's width and height are still those its values give
    bool edited = false;
    bool fromScheme = false;

    // The number in four digits, "-" for none (a scheme row: as written).
    QString key() const;
    // The slot in four digits ("0123"; a scheme row: as written).
    QString index() const { return fromScheme ? indexText : QStringLiteral("%1").arg(slot, 4, 10, QLatin1Char('0')); }
    bool numbered() const { return number != QLatin1String("-"); }
};

bool operator==(const ValueRow& a, const ValueRow& b);
inline bool operator!=(const ValueRow& a, const ValueRow& b) { return !(a == b); }

// Whether a row's key is exactly `key`. Keys are nearly always object
// numbers of four digits, and a row's key is formed from its number only
// when the number is not a plain run of digits.
bool HasKey(const ObjectRow& row, QStringView key);
bool HasKey(const ValueRow& row, QStringView key);
// The number of a row's key when it is four digits ("0562" is 562), else -1.
int FourDigitKey(const ObjectRow& row);
int FourDigitKey(const ValueRow& row);

// The rows of one kind, in the table's order: the order in which a save
// packs the object images, and in which scripts and the window count them.
template <class Row>
class Table {
public:
    int count() const { return int(rows_.size()); }
    bool isEmpty() const { return rows_.isEmpty(); }
    // 1-based, in the table's order; the caller checks the range.
    Row& row(int n)
    {
        // A write never changes a key, so an index made for these rows
        // stays right; but the list it holds must not make the write copy
        // the whole table. It lets go for the write (the list is copied
        // only when a snapshot shares it too) and holds the list written.
        KeyIndex* held = nullptr;
        for (KeyIndex& i : indexes_)
            if (!i.rows.isEmpty() && i.rows.constData() == rows_.constData())
                held = &i;
        if (!held)
            return rows_[n - 1];
        held->rows = QList<Row>();
        Row& written = rows_[n - 1];
        held->rows = rows_;
        return written;
    }
    const Row& row(int n) const { return rows_[n - 1]; }
    const QList<Row>& rows() const { return rows_; }
    // The rows to change in place (never their keys), or to put in
    // another order as a new list.
    QList<Row>& rows() { return rows_; }

    Row& append()
    {
        Row& row = rows_.emplace_back();
        row.id = nextId_++;
        return row;
    }
    void reserve(int rows) { rows_.reserve(rows); }
    void clear() { rows_.clear(); }

    // The first row whose key is exactly `key`; 0 when there is none.
    int findKey(QStringView key) const
    {
        // Keys of four digits, nearly every key asked for, are found by
        // their number; the index is made again after the rows changed.
        if (const int n = FourDigits(key); n >= 0)
            return findNumber(n);
        for (int i = 0; i < count(); ++i)
            if (HasKey(rows_.at(i), key))
                return i + 1;
        return 0;
    }
    int findKey(const char* key) const
    {
        const QLatin1String latin(key);
        if (const int n = FourDigits(latin); n >= 0)
            return findNumber(n);
        return findKey(QString(latin));
    }
    // The first row whose key is `n` in four digits (0..9999).
    int findNumber(int n) const
    {
        const std::vector<std::pair<int, int>>& index = keyIndex();
        const auto it = std::lower_bound(index.begin(), index.end(), n,
                                         [](const std::pair<int, int>& e, int key) { return e.first < key; });
        return it != index.end() && it->first == n ? it->second : 0;
    }

    // Puts the rows in the order `before` gives, rows it holds equal keeping
    // their order. A table already in that order is left as it is, its list
    // and all.
    template <class Before>
    void sortWith(Before before)
    {
        sortPlaces([&](int a, int b) { return before(rows_.at(a), rows_.at(b)); });
    }
    // The same with `before` given the rows' places (0-based) in the table
    // as it is, for orders worked out once per row rather than at each
    // comparison.
    template <class Before>
    void sortPlaces(Before before)
    {
        QList<int> order(count());
        for (int i = 0; i < count(); ++i)
            order[i] = i;
        if (std::is_sorted(order.begin(), order.end(), before))
            return;
        std::stable_sort(order.begin(), order.end(), before);
        QList<Row> sorted;
        sorted.reserve(count());
        for (int i : order)
            sorted.append(rows_.at(i));
        rows_ = std::move(sorted);
    }
    // The same by the rows' texts, compared as text without regard to case
    // ("1000" lies between "100" and "999").
    template <class TextOf>
    void sortBy(TextOf textOf)
    {
        QList<QString> texts;
        texts.reserve(count());
        for (const Row& r : rows_)
            texts.append(textOf(r));
        sortPlaces([&](int a, int b) { return texts.at(a).compare(texts.at(b), Qt::CaseInsensitive) < 0; });
    }
    // The row of this identity, 0 when it is gone.
    int findId(RowId id) const
    {
        for (int i = 0; id && i < count(); ++i)
            if (rows_.at(i).id == id)
                return i + 1;
        return 0;
    }

private:
    // The number of a key of exactly four ASCII digits, else -1.
    template <class Text>
    static int FourDigits(const Text& key)
    {
        if (key.size() != 4)
            return -1;
        int n = 0;
        for (qsizetype i = 0; i < 4; ++i) {
            const char16_t c = QChar(key.at(i)).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            n = n * 10 + (c - u'0');
        }
        return n;
    }

    // The rows' four-digit keys, sorted, each with its row (of equal keys
    // the first row): made for a list of rows and kept with it, for the
    // last two lists the table had. Undoing a step puts back the list
    // before it, and doing it again the one after. The index holds its list
    // (shared, nothing copied), so that a list changed since, or another
    // list, never finds an index that is not its own.
    struct KeyIndex {
        QList<Row> rows;
        std::vector<std::pair<int, int>> keys;  // key, row
    };
    const std::vector<std::pair<int, int>>& keyIndex() const
    {
        for (KeyIndex& i : indexes_)
            if (!i.rows.isEmpty() && i.rows.constData() == rows_.constData() && i.rows.size() == rows_.size())
                return i.keys;
        KeyIndex& i = indexes_[lastIndex_ = 1 - lastIndex_];
        i.rows = rows_;
        i.keys.clear();
        for (int r = 0; r < count(); ++r)
            if (const int k = FourDigitKey(rows_.at(r)); k >= 0)
                i.keys.push_back({k, r + 1});
        // A table read from a skin stands in the order of its keys already;
        // of equal keys the first row comes first.
        if (!std::is_sorted(i.keys.begin(), i.keys.end()))
            std::sort(i.keys.begin(), i.keys.end());
        return i.keys;
    }

    QList<Row> rows_;
    RowId nextId_ = 1;
    mutable KeyIndex indexes_[2];
    mutable int lastIndex_ = 0;
};

// Puts object rows in the order of their keys, compared as text: keys of
// four digits by their numbers, which is the same order, without a text.
// Each key is worked out once: every action ends by keeping the table in
// its order, and most find it so already.
inline void SortByKey(Table<ObjectRow>& objects)
{
    // Read through a const view: a table still shared with an undo snapshot
    // is not copied by looking at it.
    const Table<ObjectRow>& rows = objects;
    QList<int> keys(rows.count());
    for (int i = 0; i < rows.count(); ++i)
        keys[i] = FourDigitKey(rows.row(i + 1));
    objects.sortPlaces([&](int a, int b) {
        const int x = keys.at(a), y = keys.at(b);
        if (x >= 0 && y >= 0)
            return x < y;
        return rows.row(a + 1).key().compare(rows.row(b + 1).key(), Qt::CaseInsensitive) < 0;
    });
}

// One node per line; node k (from 1) stands for line k - 1.
struct Node {
    int parent = 0;        // node number of the parent, 0 for the root
    bool section = false;  // a section line ("0")
    // An editor rewrote the record: a save writes the node's text over its
    // line. `strong`: the editor marks it bold as well.
    bool edited = false;
    bool strong = false;
    QString text;
    int tagText = -1;   // index into the tree's tag texts, -1 for none
    int position = 0;   // the record's place in its section
};

bool operator==(const Node& a, const Node& b);
inline bool operator!=(const Node& a, const Node& b) { return !(a == b); }

class Tree {
public:
    int count() const { return int(nodes_.size()); }
    const Node& node(int k) const { return nodes_.at(k - 1); }
    const QString& text(int k) const { return nodes_.at(k - 1).text; }

    int add(const QString& text, int parent, bool section, int tagText, int position);
    int addTagText(const QString& text);
    void reserve(int nodes) { nodes_.reserve(nodes); }
    void clear()
    {
        nodes_.clear();
        tagTexts_.clear();
    }

    // An editor rewrote node k's record.
    void rewrite(int k, const QString& text, bool strong);
    // Every node, and one put back as it was (undoing an edit).
    const QList<Node>& nodes() const { return nodes_; }
    void restore(int k, const Node& node) { nodes_[k - 1] = node; }

    // The trimmed text of the record's section line, "_" and its place in
    // the section ("0 41 98_1"); empty for the root and the sections.
    QString tag(int k) const;
    bool hasTag(int k, QStringView tag) const;

private:
    QList<Node> nodes_;
    QStringList tagTexts_;
};

struct Document {
    // Where the skin lies: its folder (without a trailing separator), its
    // file name without extension, and the folder of its object images
    // (folder / name "_Gifs", with a trailing "/").
    QString folder;
    QString name;
    QString imageFolder;

    // The text read, Latin-1: the lines, nodes and rows hold parts of it
    // without copies of their own (until an editor changes one).
    QString source;
    QVector<QString> lines;  // kSlotCount slots once a file is read
    int lineCount = 0;
    Tree structure;
    Table<ObjectRow> objects;
    Table<ValueRow> colours;
    Table<ValueRow> rectangles;

    void clear();
};

// The slot an "Indice" value names, -1 when it names none.
int SlotOf(QStringView index);

// Points an object row at a new image file: it is packed at the next save,
// has no place in a container until then, and takes the file's length.
// Every replacement ends here.
void PointAtImage(ObjectRow& row, const QString& path, qint64 length);

// A record shown twice, as a colour row and as its own node in the tree, is
// written by whichever of the two an editor changed last: the other follows
// at once, so that what the editor shows is what a save writes. (The
// background colour's record is a colour row, and the node that its swatch
// rewrites.) After a colour row changed, an edited node of its record takes
// the row's text; after an editor rewrote a node, the rows of its record
// take its values.
void FollowColourRowInTree(Document& doc, const ValueRow& row);
void FollowNodeInTables(Document& doc, int node);

// The skin is "varavave" in any case: the one skin that may be saved, whose
// container 14 the editor rewrites.
bool IsOperatorSkin(const QString& skinName);


}  // namespace velluno
