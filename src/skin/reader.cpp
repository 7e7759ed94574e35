#include "skin/reader.h"

#include "skin/files.h"

#include <QDir>
#include <QFile>
#include <QStringBuilder>
#include <QVarLengthArray>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace velluno {

namespace {

// How many bytes from a carriage return on tell whether anything follows a
// final CR LF.
constexpr qsizetype kCarriageReturnTail = 3;

// The bytes of the skin up to its first carriage return, and in `tail` up to
// three bytes from that carriage return on (empty when there is none).
// Reading stops early once more lines than the buffer holds have been seen:
// the opening fails there anyway, and a file of millions of line feeds must
// not be read whole. The bytes are read straight into the text, up to a
// megabyte at a time. The file's size is not asked for, which would be one
// more call into the system: 64 KiB hold a usual skin, and a larger one
// grows the buffer as it is read.
SkinError ReadSkinText(const QString& path, QByteArray* text, QByteArray* tail)
{
    QFile file;
    int errnum = 0;
    if (!OpenForReading(file, ResolveFile(path), &errnum))
        return SkinError::ofSystem(SkinError::CannotOpen, path, errnum);
    text->clear();
    tail->clear();
    text->reserve(qsizetype(64) << 10);
    qsizetype lineFeeds = 0;
    qsizetype counted = 0;  // the bytes whose line feeds are in lineFeeds
    while (true) {
        const qsizetype start = text->size();
        const qint64 room = qBound(qint64(4096), qint64(text->capacity() - start), qint64(1) << 20);
        text->resize(start + room);
        errno = 0;
        const qint64 got = file.read(text->data() + start, room);
        if (got < 0 || file.error() != QFileDevice::NoError)
            return SkinError::ofSystem(SkinError::CannotRead, path, errno ? errno : EIO);
        text->resize(start + got);
        if (got == 0)
            return SkinError();
        const QByteArrayView part(text->constData() + start, got);
        const qsizetype cr = part.indexOf('\r');
        if (cr >= 0) {
            *tail = part.sliced(cr, qMin(kCarriageReturnTail, got - cr)).toByteArray();
            // The carriage return ended this read: a byte or two more tell
            // whether the file goes on after it.
            if (tail->size() < kCarriageReturnTail && got == room) {
                char more[kCarriageReturnTail];
                const qint64 n = file.read(more, kCarriageReturnTail - tail->size());
                if (n > 0)
                    tail->append(more, n);
            }
            text->truncate(start + cr);
        }
        if (text->size() > kMaxSkinBytes)
            return SkinError::of(SkinError::TooLarge, path);
        // A read that filled less than its room met the end of the file.
        if (cr >= 0 || got < room)
            return SkinError();
        // Line feeds are counted only once the text is long: a megabyte is
        // read whole anyway, and most skins end well before.
        if (text->size() > (qsizetype(1) << 20)) {
            lineFeeds += QByteArrayView(text->constData() + counted, text->size() - counted).count('\n');
            counted = text->size();
            if (lineFeeds > kSlotCount)
                return SkinError();
        }
    }
}

// Whether the file goes on after its first carriage return, `tail` being
// the bytes from that carriage return on: anything but a final CR LF (or a
// final CR) is more of the file, which the reading leaves out.
bool MoreAfterCarriageReturn(const QByteArray& tail)
{
    if (tail.size() <= 1)
        return false;
    return tail.at(1) != '\n' || tail.size() > 2;
}

// The first characters of a text, as a message can quote them: control
// characters become blanks, a longer text ends in "...".
QString StartOfText(QByteArrayView text)
{
    constexpr qsizetype kQuoted = 40;
    QString start = QString::fromLatin1(text.first(qMin(text.size(), kQuoted)));
    for (QChar& c : start)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    start = start.trimmed();
    if (text.size() > kQuoted)
        start += QLatin1String("...");
    return start;
}

// A slot number as the "Indice" cells show it: four digits at least.
void AppendSlot(TextBuffer& out, int slot) { AppendInteger(out, slot, 4); }

// Image of a tree node by the first character of its line.
int ImageOfLine(QStringView line)
{
    switch (RecordType(line).unicode()) {
    case '1': return IconType1;
    case '2': return IconType2;
    case '3': return IconType3;
    case '4': return IconType4;
    case '5': return IconNumbered;
    case '6': return IconType6;
    default: return IconNone;
    }
}

// A row of the colour or rectangle table from a record of type "1" or "4".
void AddValueRow(RowBatch& batch, const ValueRecord& r, QStringView line, int slot,
                 bool dimensions)
{
    RowWriter w(batch);
    AppendDigits(w.text(), r.number, 4);
    w.end();
    w << line.trimmed();
    w.end();
    for (const QStringView value : r.values) {
        w << value;
        w.end();
    }
    if (dimensions) {
        // Width and height as the phone counts them: a side on the screen
        // edge (0) counts its edge pixel.
        const double x1 = LenientNumber(r.values[0]), y1 = LenientNumber(r.values[1]);
        const double x2 = LenientNumber(r.values[2]), y2 = LenientNumber(r.values[3]);
        AppendPlainNumber(w.text(), x2 - x1 + (x1 == 0 ? 1 : 0) - (x2 == 0 ? 1 : 0));
        w.end();
        AppendPlainNumber(w.text(), y2 - y1 + (y1 == 0 ? 1 : 0) - (y2 == 0 ? 1 : 0));
        w.end();
    }
    AppendSlot(w.text(), slot);
    w.end();
    w.row().colour = kBlack;
    w.row().icon = r.number == QLatin1String("-") ? IconNone : IconNumbered;
}

// What an object row needs besides its record: where its image would be.
struct ObjectContext {
    const QString& gifDir;
    const FolderSnapshot& images;
    bool operatorSkin;
    TextBuffer name;  // reused for every object's image name
};

void AddObjectRow(RowBatch& batch, ObjectContext& context, const ObjectRecord& r, int slot)
{
    // The image file's name first, to know which state the row gets.
    context.name.clear();
    // A number too large to name a file leaves the name empty: no file has it.
    const bool named = AppendObjectImageName(context.name, r.number);
    const bool found = named && context.images.hasFile(context.name.view());
    // The editor rewrites container 14 at every save, so what already lives
    // there must be packed again from its image file. Decided here, so that
    // the row is written once with its final state.
    const bool replace = context.operatorSkin && LenientNumber(r.container) == 14;

    RowWriter w(batch);
    AppendDigits(w.text(), r.number, 4);
    w.end();
    w << r.offset << QLatin1Char(' ') << r.length << QLatin1Char(' ') << r.container;
    w.end();
    // "OffSet" is "N° Dat", "_" and the offset: the container's digits are
    // written once and copied.
    const qsizetype datStart = w.text().size();
    AppendDigits(w.text(), r.container, 2);
    const qsizetype datLength = w.text().size() - datStart;
    w << QLatin1Char('_');
    AppendDigits(w.text(), r.offset, 6);
    w.end();
    w.text().appendOwn(datStart, datLength);
    w.end();
    w << r.offset;
    w.end();
    w << r.length;
    w.end();
    w << (replace ? kStateReplace : found ? kStateFound : kStateNotFound);
    w.end();
    if (found)
        w << context.gifDir << context.name.view();
    else
        w << QLatin1Char(' ');
    w.end();
    AppendSlot(w.text(), slot);
    w.end();

    Row& row = w.row();
    row.colour = found ? kBlack : kRed;
    row.icon = found ? IconImage : IconMissing;
    if (replace)
        ShowToReplace(row);
}

}  // namespace

bool ObjectNumberFits(QStringView key)
{
    return !PlainDigitRun(key).isEmpty() || std::fabs(LenientNumber(key)) < kExactNumberLimit;
}

bool AppendObjectImageName(TextBuffer& out, QStringView key)
{
    if (!ObjectNumberFits(key))
        return false;
    // The plain number is digits, a sign, a point or a lower-case exponent:
    // already in lower case.
    AppendPlainNumberOf(out, key);
    out.append(QLatin1String(".gif"));
    return true;
}

QString ObjectImageName(QStringView key)
{
    TextBuffer name;
    AppendObjectImageName(name, key);
    return name.take();
}

QString ObjectImagePath(const QString& gifDir, QStringView key)
{
    TextBuffer path;
    path.append(gifDir);
    if (!AppendObjectImageName(path, key))
        return QString();
    return path.take();
}

SkinPlace PlaceOfSkin(const QString& chosen)
{
    const QString path = QDir::fromNativeSeparators(chosen);
    SkinPlace place;
    // A bare file name lies in the current folder.
    place.SkinDir = SplitPath(path, 2);
    if (place.SkinDir.isEmpty())
        place.SkinDir = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QStringLiteral(".");
    place.SkinName = SplitPath(path, 3);
    const QString gifDir = JoinPath(place.SkinDir, place.SkinName + QStringLiteral("_Gifs"));
    const QString existing = ExistingDir(gifDir);
    place.gifDirExists = !existing.isEmpty();
    place.GifDir = (place.gifDirExists ? existing : gifDir) + QLatin1Char('/');
    return place;
}

SkinError CreateImageFolder(const SkinPlace& place)
{
    if (place.gifDirExists || DirExist(place.GifDir))
        return SkinError();
    QDir dir;
    errno = 0;
    if (!dir.mkpath(place.GifDir)) {
        const int why = errno;
        return why ? SkinError::ofSystem(SkinError::CannotCreateFolder, place.GifDir, why)
                   : SkinError::of(SkinError::CannotCreateFolder, place.GifDir);
    }
    return SkinError();
}

SaveRefusal SkinReading::saveRefusal() const
{
    if (!error.ok())
        return SaveRefusal::Unreadable;
    if (badMagic)
        return SaveRefusal::BadMagic;
    // A save writes back only the lines that were read: the rest of the file
    // would be lost.
    if (stoppedAtCarriageReturn)
        return SaveRefusal::StoppedAtCarriageReturn;
    if (!textAfterLastLine.isEmpty())
        return SaveRefusal::TextAfterLastLine;
    if (noLines)
        return SaveRefusal::NoLines;
    if (!IsOperatorSkin(doc.SkinName))
        return SaveRefusal::NotOperatorSkin;
    return SaveRefusal::None;
}

namespace {

SkinReading StartReading(const SkinPlace& place, Document&& storage)
{
    SkinReading reading;
    reading.doc = std::move(storage);
    Document& doc = reading.doc;
    doc.clear();
    doc.SkinDir = place.SkinDir;
    doc.SkinName = place.SkinName;
    doc.GifDir = place.GifDir;
    return reading;
}

// Builds the document from the bytes before the first carriage return;
// `tail` holds the bytes from that carriage return on.
SkinReading ParseSkin(SkinReading reading, const QString& path, const QByteArray& bytes, const QByteArray& tail)
{
    Document& doc = reading.doc;
    auto stop = [&](SkinError::Code code, int slot) {
        reading.error = SkinError::of(code, path);
        reading.error.line = slot + 1;
        return std::move(reading);
    };
    // Latin-1 maps every byte to one character and back, so an untouched
    // line is written back byte for byte.
    const QString text = QString::fromLatin1(bytes);
    doc.SkinLines = QVector<QString>(kSlotCount);

    if (text.left(4).toUpper() != QLatin1String("SKI1")) {
        reading.badMagic = true;
        return reading;
    }
    doc.T_Strutt.add(QStringLiteral("SKI1"), 0, IconRoot, false, QString());
    int start = 0;
    int slot = 0;
    // Where each line starts in the text: the records are read from there,
    // one after the other, rather than from the lines' own copies scattered
    // over the heap.
    QVarLengthArray<int, kSlotCount + 1> starts;
    // The characters of the records of types 1, 4 and 5 and their numbers,
    // to size each table's text before it is written.
    qsizetype recordChars[3] = {}, records[3] = {};
    // Line feeds are looked for in the bytes, where the C library finds them
    // many at a time; a byte and its character sit at the same place.
    const char* const data = bytes.constData();
    QString* const lines = doc.SkinLines.data();
    while (true) {
        const char* const lf = static_cast<const char*>(std::memchr(data + start, '\n', bytes.size() - start));
        if (!lf)
            break;
        const int length = int(lf - data) - start;
        if (slot >= kSlotCount)
            return stop(SkinError::TooManyLines, slot);
        const char type = length > 0 ? data[start] : 0;
        const int table = type == '1' ? 0 : type == '4' ? 1 : type == '5' ? 2 : -1;
        if (table >= 0) {
            recordChars[table] += length;
            ++records[table];
        }
        starts.append(start);
        lines[slot++] = QString(text.constData() + start, length);
        start += length + 1;
    }
    starts.append(start);
    doc.LineCount = slot;
    reading.noLines = slot == 0;
    if (MoreAfterCarriageReturn(tail)) {
        reading.stoppedAtCarriageReturn = true;
        reading.stopLine = slot + 1;
    }
    // What follows the last line feed is no line and is not written back.
    const QByteArrayView rest = QByteArrayView(bytes).sliced(start);
    for (const char c : rest) {
        if (c != ' ' && c != '\t') {
            reading.textAfterLastLine = StartOfText(rest);
            break;
        }
    }
    doc.T_Strutt.reserve(slot);
    // The nodes read their texts from the lines, now that all are in.
    doc.T_Strutt.setLines(doc.SkinLines);

    // The image folder is listed once for all objects, not once per object.
    const FolderSnapshot images(doc.GifDir);
    ObjectContext objects{doc.GifDir, images, IsOperatorSkin(doc.SkinName), {}};
    // Each table's rows share one text; they get it when their batch goes,
    // the stops below included. A row holds its line about twice over, plus
    // the few texts it adds.
    {
        RowBatch dimensions(doc.L_Dim, 2 * recordChars[0] + 32 * records[0], records[0]);
        RowBatch colours(doc.L_RGBA, 2 * recordChars[1] + 24 * records[1], records[1]);
        RowBatch values(doc.L_Values, 2 * recordChars[2] + (doc.GifDir.size() + 48) * records[2], records[2]);
        int section = 1;  // the node new records hang from
        // The trimmed section line, for the tags; none before the first.
        int prefix = doc.T_Strutt.addTagText(QString());
        int position = 0;  // the record's place in its section
        for (int i = 1; i < doc.LineCount; ++i) {
            const QStringView line(text.constData() + starts[i], starts[i + 1] - 1 - starts[i]);
            const QChar type = RecordType(line);
            if (type == QLatin1Char('0')) {
                section = doc.T_Strutt.addLine(i, 1, IconSection, true, -1, 0);
                prefix = doc.T_Strutt.addTagText(line.trimmed().toString());
                position = 0;
                continue;
            }
            ++position;
            doc.T_Strutt.addLine(i, section, ImageOfLine(line), false, prefix, position);
            if (type == QLatin1Char('1') || type == QLatin1Char('4')) {
                const std::optional<ValueRecord> r = ReadValueRecord(line);
                if (!r) {
                    reading.error = SkinError::of(SkinError::ShortRecord, path);
                    reading.error.line = i + 1;
                    break;
                }
                AddValueRow(type == QLatin1Char('1') ? dimensions : colours, *r, line, i,
                            type == QLatin1Char('1'));
            } else if (type == QLatin1Char('5')) {
                const std::optional<ObjectRecord> r = ReadObjectRecord(line);
                if (!r) {
                    reading.error = SkinError::of(SkinError::ShortRecord, path);
                    reading.error.line = i + 1;
                    break;
                }
                AddObjectRow(values, objects, *r, i);
            }
        }
    }
    if (reading.error.ok() && !doc.L_Values.isEmpty())
        doc.L_Values.sortOn(0);
    return reading;
}

}  // namespace

SkinReading ReadSkin(const QString& chosen, const SkinPlace& place, Document&& storage)
{
    const QString path = QDir::fromNativeSeparators(chosen);
    SkinReading reading = StartReading(place, std::move(storage));
    QByteArray bytes, tail;
    reading.error = ReadSkinText(path, &bytes, &tail);
    if (!reading.error.ok())
        return reading;
    return ParseSkin(std::move(reading), path, bytes, tail);
}

SkinReading ReadSkinBytes(const QByteArray& file, const QString& chosen, const SkinPlace& place, Document&& storage)
{
    const QString path = QDir::fromNativeSeparators(chosen);
    SkinReading reading = StartReading(place, std::move(storage));
    const qsizetype cr = file.indexOf('\r');
    const QByteArray bytes = cr >= 0 ? file.first(cr) : file;
    if (bytes.size() > kMaxSkinBytes) {
        reading.error = SkinError::of(SkinError::TooLarge, path);
        return reading;
    }
    const QByteArray tail = cr >= 0 ? file.sliced(cr, qMin(kCarriageReturnTail, file.size() - cr)) : QByteArray();
    return ParseSkin(std::move(reading), path, bytes, tail);
}

}  // namespace velluno
