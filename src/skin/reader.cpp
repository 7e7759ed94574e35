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
    if (!OpenForReading(file, path, &errnum))
        return SkinError::ofSystem(ErrorKind::CannotOpen, path, errnum);
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
            return SkinError::ofSystem(ErrorKind::CannotRead, path, errno ? errno : EIO);
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
            return SkinError::of(ErrorKind::TooLarge, path);
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

}  // namespace

bool ObjectNumberFits(QStringView number)
{
    return !PlainDigitRun(number).isEmpty() || std::fabs(LenientNumber(number)) < kExactNumberLimit;
}

QString ObjectImageName(QStringView number)
{
    if (!ObjectNumberFits(number))
        return QString();
    // The plain number is digits, a sign, a point or a lower-case exponent:
    // already in lower case.
    return PlainNumberOf(number) + QLatin1String(".gif");
}

QString ObjectImagePath(const QString& imageFolder, QStringView number)
{
    const QString name = ObjectImageName(number);
    return name.isEmpty() ? QString() : imageFolder + name;
}

SkinPlace PlaceOfSkin(const QString& chosen)
{
    const QString path = QDir::fromNativeSeparators(chosen);
    SkinPlace place;
    // A bare file name lies in the current folder.
    place.folder = SplitPath(path, 2);
    if (place.folder.isEmpty())
        place.folder = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QStringLiteral(".");
    place.name = SplitPath(path, 3);
    const QString gifDir = JoinPath(place.folder, place.name + QStringLiteral("_Gifs"));
    const QString existing = ExistingDir(gifDir);
    place.imageFolderExists = !existing.isEmpty();
    place.imageFolder = (place.imageFolderExists ? existing : gifDir) + QLatin1Char('/');
    return place;
}

SkinError CreateImageFolder(const SkinPlace& place)
{
    if (place.imageFolderExists || DirExist(place.imageFolder))
        return SkinError();
    QDir dir;
    errno = 0;
    if (!dir.mkpath(place.imageFolder)) {
        const int why = errno;
        return why ? SkinError::ofSystem(ErrorKind::CannotCreateFolder, place.imageFolder, why)
                   : SkinError::of(ErrorKind::CannotCreateFolder, place.imageFolder);
    }
    return SkinError();
}

SaveRefusal ReadingFacts::saveRefusal(const QString& skinName) const
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
    if (!IsOperatorSkin(skinName))
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
    doc.folder = place.folder;
    doc.name = place.name;
    doc.imageFolder = place.imageFolder;
    return reading;
}

// Builds the document from the bytes before the first carriage return;
// `tail` holds the bytes from that carriage return on.
SkinReading ParseSkin(SkinReading reading, const QString& path, const QByteArray& bytes, const QByteArray& tail)
{
    Document& doc = reading.doc;
    // Latin-1 maps every byte to one character and back, so an untouched
    // line is written back byte for byte. The lines, nodes and rows below
    // are parts of this one text, not copies.
    doc.source = QString::fromLatin1(bytes);
    const QString& text = doc.source;
    auto part = [&](qsizetype start, qsizetype length) { return QString::fromRawData(text.constData() + start, length); };
    auto view = [&](QStringView piece) { return part(piece.data() - text.constData(), piece.size()); };
    doc.lines = QVector<QString>(kSlotCount);

    if (text.left(4).toUpper() != QLatin1String("SKI1")) {
        reading.badMagic = true;
        return reading;
    }
    doc.structure.add(QStringLiteral("SKI1"), 0, false, -1, 0);
    qsizetype start = 0;
    int slot = 0;
    // Line feeds are looked for in the bytes, where the C library finds them
    // many at a time; a byte and its character sit at the same place.
    const char* const data = bytes.constData();
    QString* const lines = doc.lines.data();
    qsizetype records[3] = {};
    while (true) {
        const char* const lf = static_cast<const char*>(std::memchr(data + start, '\n', size_t(bytes.size() - start)));
        if (!lf)
            break;
        const qsizetype length = (lf - data) - start;
        if (slot >= kSlotCount) {
            reading.error = SkinError::of(ErrorKind::TooManyLines, path);
            reading.error.line = slot + 1;
            return reading;
        }
        const char type = length > 0 ? data[start] : 0;
        records[type == '1' ? 0 : type == '4' ? 1 : 2] += type == '1' || type == '4' || type == '5';
        lines[slot++] = part(start, length);
        start += length + 1;
    }
    doc.lineCount = slot;
    reading.linesRead = slot;
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
    doc.structure.reserve(slot);
    doc.rectangles.reserve(int(records[0]));
    doc.colours.reserve(int(records[1]));
    doc.objects.reserve(int(records[2]));

    // The image folder is listed once for all objects, not once per object.
    const FolderSnapshot images(doc.imageFolder);
    const bool operatorSkin = IsOperatorSkin(doc.name);
    int section = 1;  // the node new records hang from
    // The trimmed section line, for the tags; none before the first.
    int prefix = doc.structure.addTagText(QString());
    int position = 0;  // the record's place in its section
    for (int i = 1; i < doc.lineCount; ++i) {
        const QString& line = lines[i];
        const QChar type = RecordType(line);
        if (type == QLatin1Char('0')) {
            section = doc.structure.add(line, 1, true, -1, 0);
            prefix = doc.structure.addTagText(line.trimmed());
            position = 0;
            continue;
        }
        doc.structure.add(line, section, false, prefix, ++position);
        if (type == QLatin1Char('1') || type == QLatin1Char('4')) {
            const std::optional<ValueRecord> r = ReadValueRecord(line);
            if (!r) {
                reading.error = SkinError::of(ErrorKind::ShortRecord, path);
                reading.error.line = i + 1;
                reading.linesRead = i;
                break;
            }
            ValueRow& row = (type == QLatin1Char('1') ? doc.rectangles : doc.colours).append();
            row.slot = i;
            row.number = view(r->number);
            for (int v = 0; v < 4; ++v)
                row.values[v] = view(r->values[v]);
            row.line = view(QStringView(line).trimmed());
        } else if (type == QLatin1Char('5')) {
            const std::optional<ObjectRecord> r = ReadObjectRecord(line);
            if (!r) {
                reading.error = SkinError::of(ErrorKind::ShortRecord, path);
                reading.error.line = i + 1;
                reading.linesRead = i;
                break;
            }
            ObjectRow& row = doc.objects.append();
            row.slot = i;
            row.number = view(r->number);
            row.offset = view(r->offset);
            row.length = view(r->length);
            row.container = view(r->container);
            row.record = line;
            row.bytes = row.length;
            // A number too large to name a file names none: no file has it.
            // The name of a plain number is looked for without a text of
            // its own; only a file found gets one.
            const QStringView run = PlainDigitRun(row.number);
            bool found;
            if (!run.isEmpty()) {
                QVarLengthArray<char16_t, 24> name;
                name.append(run.utf16(), run.size());
                for (const char c : {'.', 'g', 'i', 'f'})
                    name.append(char16_t(c));
                found = images.hasFile(QStringView(name.data(), name.size()));
                if (found)
                    row.image = doc.imageFolder + QStringView(name.data(), name.size()).toString();
            } else {
                const QString name = ObjectImageName(row.number);
                found = !name.isEmpty() && images.hasFile(name);
                if (found)
                    row.image = doc.imageFolder + name;
            }
            row.state = found ? ImageState::Found : ImageState::NotFound;
            // The editor rewrites container 14 at every save, so what
            // already lives there must be packed again from its image file.
            if (operatorSkin && LenientNumber(row.container) == 14)
                row.state = ImageState::ToReplace;
        }
    }
    // The object rows stand in the order of their keys, the order in which
    // a save packs their images.
    if (reading.error.ok())
        SortByKey(doc.objects);
    return reading;
}

}  // namespace

SkinReading ReadSkin(const QString& chosen, const SkinPlace& place, Document&& storage)
{
    const QString path = ResolveFile(QDir::fromNativeSeparators(chosen));
    SkinReading reading = StartReading(place, std::move(storage));
    reading.file = path;
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
    reading.file = path;
    const qsizetype cr = file.indexOf('\r');
    const QByteArray bytes = cr >= 0 ? file.first(cr) : file;
    if (bytes.size() > kMaxSkinBytes) {
        reading.error = SkinError::of(ErrorKind::TooLarge, path);
        return reading;
    }
    const QByteArray tail = cr >= 0 ? file.sliced(cr, qMin(kCarriageReturnTail, file.size() - cr)) : QByteArray();
    return ParseSkin(std::move(reading), path, bytes, tail);
}

}  // namespace velluno
