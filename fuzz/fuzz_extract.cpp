// "Esporta tutto" on any skin text and containers. The input is the skin
// text, then the containers 0, 1 and 14 in turn, each after the separator
// kPart. Each run writes them into a fresh folder, reads the skin as the
// opening does and extracts every object: every image file written must be
// exactly its bytes of its container, and no temporary file may be left.
#include "fuzzsupport.h"
#include "skin/containers.h"
#include "skin/files.h"
#include "skin/reader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <cstdlib>

using namespace velluno;

namespace {

const QByteArray kPart("\0VDAT\0", 6);
const int kContainers[] = {0, 1, 14};

void Put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartQt();
    // A folder made anew for each run: a new folder is a new listing for the
    // case-insensitive lookups, whatever the clock's resolution.
    const QString dir = fuzz::ScratchDir() + QStringLiteral("/run");
    QDir(dir).removeRecursively();
    if (!QDir().mkpath(dir))
        std::abort();

    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<QByteArray> parts;
    qsizetype from = 0;
    while (parts.size() < 4) {
        const qsizetype at = input.indexOf(kPart, from);
        parts.append(input.mid(from, at < 0 ? -1 : at - from));
        if (at < 0)
            break;
        from = at + kPart.size();
    }
    const QString skin = dir + QStringLiteral("/varavave.ski");
    Put(skin, parts.value(0));
    QByteArray containers[3];
    for (int k = 0; k < 3 && k + 1 < parts.size(); ++k) {
        containers[k] = parts.at(k + 1);
        Put(dir + QStringLiteral("/varavave%1.dat").arg(kContainers[k] == 0 ? QString() : QString::number(kContainers[k])),
            containers[k]);
    }

    SkinReading reading = ReadSkin(skin);
    if (!reading.error.ok() || reading.badMagic)
        return 0;
    Document& doc = reading.doc;
    const ExtractReport report = ExtractImages(doc);

    // What the rows now claim is on the disk, byte for byte. Two rows of the
    // same number share one file, where the later row's bytes win: only
    // files of one row are compared.
    QHash<QString, int> rowsOfFile;
    for (const ObjectRow& row : doc.objects.rows())
        rowsOfFile[row.image]++;
    int claimed = 0;
    for (const ObjectRow& row : doc.objects.rows()) {
        const QString path = row.image;
        if (path.trimmed().isEmpty())
            continue;
        ++claimed;
        if (path != ObjectImagePath(doc.imageFolder, row.number) || !ObjectNumberFits(row.number))
            std::abort();
        const qint64 n = qint64(LenientNumber(row.containerText()));
        const int k = n == 0 ? 0 : n == 1 ? 1 : n == 14 ? 2 : -1;
        if (k < 0 || (k == 2) != (row.state == ImageState::ToReplace) || (k != 2 && row.state != ImageState::Extracted))
            std::abort();
        bool ok = false;
        const QByteArray image = ReadWholeFile(path, &ok);
        if (!ok)
            std::abort();
        const qint64 offset = qint64(LenientNumber(row.offset));
        const qint64 length = qint64(LenientNumber(row.bytes));
        if (rowsOfFile.value(path) == 1 && image != containers[k].mid(offset, length))
            std::abort();
    }
    if (claimed != report.written)
        std::abort();
    // No temporary file is left behind.
    QDirIterator it(doc.imageFolder, QDir::Files | QDir::Hidden);
    while (it.hasNext())
        if (it.next().contains(QLatin1String(".velluno-")))
            std::abort();
    return 0;
}
