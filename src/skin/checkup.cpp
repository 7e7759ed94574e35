#include "skin/checkup.h"

#include "skin/writer.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace velluno {

namespace {

// The values of a record that the phone reads as numbers of a fixed range:
// a rectangle's corners lie on the display, a colour's channels are bytes.
struct Range {
    const char* name;
    int low;
    int high;
};
constexpr Range kCorners[4] = {{"X1", 0, kDisplayWidth - 1},
                               {"Y1", 0, kDisplayHeight - 1},
                               {"X2", 0, kDisplayWidth - 1},
                               {"Y2", 0, kDisplayHeight - 1}};
constexpr Range kChannels[3] = {{"R", 0, 255}, {"G", 0, 255}, {"B", 0, 255}};

// Whether a field holds a whole decimal number within [low, high], as the
// phone reads it: digits after an optional minus, nothing else.
bool WholeWithin(QStringView text, int low, int high)
{
    text = text.trimmed();
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text = text.mid(1);
    if (text.isEmpty())
        return false;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
        if (value > high && value > -qint64(low))
            return false;
    }
    if (negative)
        value = -value;
    return value >= low && value <= high;
}

void OutOfRange(const QString& file, const Table<ValueRow>& table, const Range* ranges, int count,
                QVector<Finding>& out)
{
    for (const ValueRow& row : table.rows()) {
        for (int v = 0; v < count; ++v) {
            if (WholeWithin(row.values[v], ranges[v].low, ranges[v].high))
                continue;
            Finding f;
            f.kind = FindingKind::OutOfRange;
            f.file = file;
            f.line = row.slot + 1;
            // Type, the number when there is one, then the values.
            f.field = (row.numbered() ? 3 : 2) + v;
            f.name = QLatin1String(ranges[v].name);
            f.value = row.values[v];
            f.low = ranges[v].low;
            f.high = ranges[v].high;
            out.append(f);
        }
    }
}

// Records of one kind with the same number: the editor finds only the
// first, and two objects of one number share one image file.
template <class Row>
void Duplicates(const QString& file, const Table<Row>& table, const char* name, QVector<Finding>& out)
{
    QVector<const Row*> rows;
    for (const Row& row : table.rows())
        rows.append(&row);
    std::stable_sort(rows.begin(), rows.end(), [](const Row* a, const Row* b) { return a->slot < b->slot; });
    QHash<QString, int> first;
    for (const Row* row : rows) {
        const QString key = row->key();
        if (key == QLatin1String("-"))
            continue;
        const auto seen = first.constFind(key);
        if (seen == first.constEnd()) {
            first.insert(key, row->slot + 1);
            continue;
        }
        Finding f;
        f.kind = FindingKind::DuplicateRecord;
        f.file = file;
        f.name = QLatin1String(name);
        f.key = key;
        f.line = row->slot + 1;
        f.value = QString::number(*seen);
        out.append(f);
    }
}

}  // namespace

bool IsProblem(FindingKind kind)
{
    switch (kind) {
    case FindingKind::NotASkin:
    case FindingKind::ReadingStopped:
    case FindingKind::TextDropped:
    case FindingKind::DuplicateRecord:
    case FindingKind::OutOfRange:
    case FindingKind::ImageFault:
    case FindingKind::EditedImageRefused:
    case FindingKind::SaveStops: return true;
    case FindingKind::NotExported:
    case FindingKind::EditedImagesTaken:
    case FindingKind::NotOperatorSkin: return false;
    }
    return true;
}

bool Checkup::hasProblems() const
{
    return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return IsProblem(f.kind); });
}

Checkup CheckSkin(const Document& doc, const ReadingFacts& reading, const EditedImages& edited,
                  const ExtractReport* extracted, const SkinError* saved)
{
    const ExtractReport images = extracted ? *extracted : CheckContainerImages(doc);
    const SaveRefusal refusal = reading.saveRefusal(doc.name);
    const SkinError save = saved ? *saved : refusal == SaveRefusal::None ? CheckSave(doc) : SkinError();
    Checkup checkup;
    QVector<Finding>& out = checkup.findings;
    const QString& file = reading.file;
    auto add = [&](FindingKind kind) -> Finding& {
        Finding& f = out.emplace_back();
        f.kind = kind;
        f.file = file;
        return f;
    };

    if (reading.badMagic)
        add(FindingKind::NotASkin);
    if (!reading.error.ok())
        add(FindingKind::ReadingStopped).error = reading.error;
    if (refusal == SaveRefusal::StoppedAtCarriageReturn || refusal == SaveRefusal::TextAfterLastLine ||
        refusal == SaveRefusal::NoLines) {
        Finding& f = add(FindingKind::TextDropped);
        f.refusal = refusal;
        f.line = refusal == SaveRefusal::StoppedAtCarriageReturn ? reading.stopLine : doc.lineCount + 1;
        f.value = reading.textAfterLastLine;
    }

    Duplicates(file, doc.objects, "object", out);
    Duplicates(file, doc.colours, "colour", out);
    Duplicates(file, doc.rectangles, "rectangle", out);
    OutOfRange(file, doc.rectangles, kCorners, 4, out);
    OutOfRange(file, doc.colours, kChannels, 3, out);

    QSet<QString> faulty;
    for (const ExtractReport::Fault& fault : images.faults) {
        Finding& f = add(FindingKind::ImageFault);
        f.key = fault.key;
        f.line = fault.line;
        f.fault = fault;
        faulty.insert(fault.key);
    }
    for (const EditedImage& e : edited.refused) {
        Finding& f = add(FindingKind::EditedImageRefused);
        f.key = e.key;
        f.file = e.path;
        f.verdict = e.verdict;
    }
    if (!save.ok())
        add(FindingKind::SaveStops).error = save;

    // Notes.
    QStringList notExported;
    for (const ObjectRow& row : doc.objects.rows()) {
        const bool noFile = row.state == ImageState::NotFound ||
                            (row.state == ImageState::ToReplace && row.image.trimmed().isEmpty());
        if (noFile && !faulty.contains(row.key()))
            notExported << row.key();
    }
    if (!notExported.isEmpty())
        add(FindingKind::NotExported).keys = notExported;
    QStringList taken;
    for (const EditedImage& e : edited.taken)
        taken << e.key;
    if (!taken.isEmpty())
        add(FindingKind::EditedImagesTaken).keys = taken;
    if (refusal == SaveRefusal::NotOperatorSkin)
        add(FindingKind::NotOperatorSkin);

    // Each kind in the order of the lines; the order of the kinds is kept.
    std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) {
        return a.kind != b.kind ? int(a.kind) < int(b.kind) : a.line < b.line;
    });
    return checkup;
}

}  // namespace velluno
