#include "cli/reasons.h"

#include "skin/colourscheme.h"

#include <QDir>

namespace velluno::cli {

namespace {

QString Path(const QString& path) { return QDir::toNativeSeparators(path); }

QString Because(const QString& system) { return system.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(system); }

}  // namespace

QString EnglishText(const SkinError& e)
{
    const QString why = Because(e.system);
    QString text;
    switch (e.code) {
    case SkinError::None: return QString();
    case SkinError::CannotOpen: text = QStringLiteral("%1: cannot be opened%2").arg(Path(e.file), why); break;
    case SkinError::CannotRead: text = QStringLiteral("%1: cannot be read%2").arg(Path(e.file), why); break;
    case SkinError::TooLarge:
        text = QStringLiteral("%1: too large (more than 64 MiB before the first carriage return)").arg(Path(e.file));
        break;
    case SkinError::TooManyLines:
        text = QStringLiteral("%1, line %2: more than 1501 lines").arg(Path(e.file)).arg(e.line);
        break;
    case SkinError::ShortRecord:
        text = QStringLiteral("%1, line %2: a record with fewer than five fields").arg(Path(e.file)).arg(e.line);
        break;
    case SkinError::CannotCreateFolder:
        text = QStringLiteral("%1: the image folder cannot be created%2").arg(Path(e.file), why);
        break;
    case SkinError::IndexOutOfRange:
        text = QStringLiteral("row %1 of %2 has \"Indice\" %3, outside 0..1500").arg(e.key, e.detail, e.extra);
        break;
    case SkinError::ImageMissing:
        text = QStringLiteral("the image of object %1 to be packed does not exist: %2").arg(e.key, Path(e.file));
        break;
    case SkinError::BlankImagePath:
        text = QStringLiteral("object %1 is to be packed but has no image file").arg(e.key);
        break;
    case SkinError::ContainerTooLarge:
        text = QStringLiteral("the images to pack pass the size limit of varavave14.dat at object %1: %2")
                   .arg(e.key, Path(e.file));
        break;
    case SkinError::ImageUnreadable:
        text = QStringLiteral("the image of object %1 cannot be read: %2%3").arg(e.key, Path(e.file), why);
        break;
    case SkinError::ImageChanged:
        text = QStringLiteral("the image of object %1 changed while it was read: %2").arg(e.key, Path(e.file));
        break;
    case SkinError::ImageRefused:
        text = QStringLiteral("the image of object %1 is no GIF the phone can show (%2): %3")
                   .arg(e.key, EnglishText(e.verdict), Path(e.file));
        break;
    case SkinError::BackupUnreadable:
        text = QStringLiteral("%1 cannot be read for the backup varavave_old.ski%2").arg(Path(e.file), why);
        break;
    case SkinError::ReadOnly:
        text = QStringLiteral("%1: read-only (no write bit in its mode): it is not replaced").arg(Path(e.file));
        break;
    case SkinError::NotAFile: text = QStringLiteral("%1: exists and is not a file").arg(Path(e.file)); break;
    case SkinError::CannotCreateTemp:
        text = QStringLiteral("%1: no temporary file can be created beside it%2").arg(Path(e.file), why);
        break;
    case SkinError::CannotWrite: text = QStringLiteral("%1: cannot be written%2").arg(Path(e.file), why); break;
    case SkinError::DiskFull: text = QStringLiteral("%1: the disk is full").arg(Path(e.file)); break;
    case SkinError::CannotKeepOld:
        text = QStringLiteral("%1: its old content cannot be kept aside%2").arg(Path(e.file), why);
        break;
    case SkinError::CannotReplace: text = QStringLiteral("%1: cannot be replaced%2").arg(Path(e.file), why); break;
    case SkinError::SchemeTooLarge:
        text = QStringLiteral("%1: larger than %2 KiB, not a colour scheme").arg(Path(e.file)).arg(kSchemeMaxBytes / 1024);
        break;
    case SkinError::SchemeNotText:
        text = QStringLiteral("%1, line %2: a control character, not a text file").arg(Path(e.file)).arg(e.line);
        break;
    case SkinError::SchemeLineTooLong:
        text = QStringLiteral("%1, line %2: longer than %3 characters").arg(Path(e.file)).arg(e.line).arg(kSchemeMaxLineLength);
        break;
    case SkinError::SchemeTooManyRows:
        text = QStringLiteral("%1, line %2: more than %3 colours").arg(Path(e.file)).arg(e.line).arg(kSchemeMaxRows);
        break;
    case SkinError::SchemeShortLine:
        text = QStringLiteral("%1, line %2: fewer than six comma-separated fields").arg(Path(e.file)).arg(e.line);
        break;
    case SkinError::SchemeBadField:
        text = QStringLiteral("%1, line %2: field %3 holds \"%4\"").arg(Path(e.file)).arg(e.line).arg(e.detail, e.extra);
        break;
    case SkinError::SchemeEmpty: text = QStringLiteral("%1: no colour line").arg(Path(e.file)); break;
    }
    if (!e.kept.isEmpty()) {
        QStringList kept;
        for (const QString& k : e.kept)
            kept << Path(k);
        text += QStringLiteral("; the old contents are kept in ") + kept.join(QStringLiteral(", "));
    }
    return text;
}

QString EnglishText(const ExtractReport::Fault& f)
{
    using Fault = ExtractReport::Fault;
    switch (f.reason) {
    case Fault::BadValues:
        return QStringLiteral("not a place in a container (N° Dat, Offset, Byte: %1)").arg(f.detail);
    case Fault::EmptyImage: return QStringLiteral("an image of length 0");
    case Fault::NoContainer: return QStringLiteral("the container %1 does not exist").arg(Path(f.file));
    case Fault::ContainerTooLarge: return QStringLiteral("the container %1 is too large to read").arg(Path(f.file));
    case Fault::ContainerUnreadable:
        return QStringLiteral("the container %1 cannot be read%2").arg(Path(f.file), Because(f.system));
    case Fault::EmptyContainer: return QStringLiteral("the container %1 is empty").arg(Path(f.file));
    case Fault::PastTheEnd: {
        const QStringList n = f.detail.split(QLatin1Char(' '));
        return QStringLiteral("the image (offset %1, %2 bytes) runs past the end of %3 (%4 bytes)")
            .arg(n.value(0), n.value(1), Path(f.file), n.value(2));
    }
    case Fault::CannotWrite:
        return QStringLiteral("the image file %1 cannot be written%2").arg(Path(f.file), Because(f.system));
    case Fault::CannotKeepEdited:
        return QStringLiteral("the image file %1 holds other bytes (edited by hand?) that cannot be kept "
                              "beside it%2: it was left as it is")
            .arg(Path(f.file), Because(f.system));
    case Fault::NumberTooLarge:
        return QStringLiteral("the object number has 16 digits or more: it names no image file");
    }
    return QString();
}

QString EnglishText(ImageFault fault)
{
    switch (fault) {
    case ImageFault::None: return QString();
    case ImageFault::Missing: return QStringLiteral("no such file");
    case ImageFault::Unreadable: return QStringLiteral("the file cannot be read");
    case ImageFault::Empty: return QStringLiteral("the file is empty");
    case ImageFault::NotAnImage: return QStringLiteral("not an image");
    case ImageFault::NotGif: return QStringLiteral("not a GIF");
    case ImageFault::Truncated: return QStringLiteral("the GIF is cut short");
    case ImageFault::Malformed: return QStringLiteral("the GIF is damaged");
    case ImageFault::NoImage: return QStringLiteral("the GIF holds no image");
    case ImageFault::EmptyImage: return QStringLiteral("the image is 0 pixels wide or high");
    case ImageFault::TooLarge:
        return QStringLiteral("the image is too large (beyond %1 pixels a side or %2 million pixels)")
            .arg(kMaxImageSide)
            .arg(kMaxImagePixels >> 20);
    case ImageFault::Undecodable: return QStringLiteral("the first frame cannot be decoded");
    }
    return QString();
}

QString EnglishText(SaveRefusal refusal)
{
    switch (refusal) {
    case SaveRefusal::None: return QString();
    case SaveRefusal::NotOperatorSkin: return QStringLiteral("only a skin named varavave.ski can be saved");
    case SaveRefusal::Unreadable: return QStringLiteral("the skin could not be read to its end");
    case SaveRefusal::BadMagic: return QStringLiteral("the file does not start with SKI1 (not a skin)");
    case SaveRefusal::StoppedAtCarriageReturn:
        return QStringLiteral("the reading stopped at a carriage return (CR) and the file goes on after it: "
                              "the lines from there on are not read, and a save would lose them");
    case SaveRefusal::TextAfterLastLine:
        return QStringLiteral("text after the last line feed is no line, and a save would lose it");
    case SaveRefusal::NoLines:
        return QStringLiteral("no line ends with a line feed: saving would empty the skin");
    }
    return QString();
}

QString RefusalText(const SkinReading& reading, const QString& path)
{
    const SaveRefusal refusal = reading.saveRefusal();
    const QString repair = QStringLiteral(" (velluno-cli fix-line-ends repairs it)");
    if (refusal == SaveRefusal::StoppedAtCarriageReturn)
        return QStringLiteral("%1, line %2: %3%4%5")
            .arg(Path(path))
            .arg(reading.stopLine)
            .arg(EnglishText(refusal),
                 reading.doc.lineCount == 0 ? QStringLiteral(" (CR LF line ends?)") : QString(), repair);
    if (refusal == SaveRefusal::TextAfterLastLine)
        return QStringLiteral("%1, line %2: %3: \"%4\"%5")
            .arg(Path(path))
            .arg(reading.doc.lineCount + 1)
            .arg(EnglishText(refusal), reading.textAfterLastLine, repair);
    return EnglishText(refusal);
}

QString EnglishText(GifVerdict verdict) { return EnglishText(ImageFaultOf(verdict)); }

QString EditedImagesNote(const EditedImages& edited)
{
    QStringList keys;
    for (const EditedImage& e : edited.taken)
        keys << e.key;
    if (keys.isEmpty())
        return QString();
    return QStringLiteral("%1 image file(s) edited by hand since the export, taken as replacements: %2")
        .arg(keys.size())
        .arg(keys.join(QLatin1Char(' ')));
}

}  // namespace velluno::cli
