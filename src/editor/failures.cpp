#include "editor/failures.h"

#include "skin/colourscheme.h"

#include <QDir>

#include <cerrno>

namespace velluno {

namespace {

QString Path(const QString& path) { return QDir::toNativeSeparators(path); }

// The system's reason in the window's language, for the error numbers that
// files meet; any other keeps the system's own words, which are English.
QString SystemReason(const QString& system, int errnum, Language language)
{
    if (language == Language::English)
        return system;
    switch (errnum) {
    case 0: return system;
    case ENOENT: return QStringLiteral("il file o la cartella non esiste");
    case EISDIR: return QStringLiteral("è una cartella, non un file");
    case EACCES: return QStringLiteral("permesso negato");
    case EPERM: return QStringLiteral("operazione non permessa");
    case ENOTDIR: return QStringLiteral("una parte del percorso non è una cartella");
    case ENOSPC: return QStringLiteral("spazio su disco esaurito");
    case EDQUOT: return QStringLiteral("quota del disco superata");
    case EROFS: return QStringLiteral("il disco è di sola lettura");
    case ENAMETOOLONG: return QStringLiteral("nome di file troppo lungo");
    case EIO: return QStringLiteral("errore di lettura o scrittura sul disco");
    case ELOOP: return QStringLiteral("troppi collegamenti simbolici");
    case EMFILE:
    case ENFILE: return QStringLiteral("troppi file aperti");
    case EFBIG: return QStringLiteral("file troppo grande");
    case EEXIST: return QStringLiteral("il file esiste già");
    case EBUSY: return QStringLiteral("il file è in uso");
    default: return system;
    }
}

// " (reason)" when the system gave one.
QString Because(const QString& system, int errnum, Language language)
{
    const QString reason = SystemReason(system, errnum, language);
    return reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason);
}

QString TableName(const QString& table)
{
    if (table == QLatin1String("colours"))
        return QStringLiteral("dei colori");
    if (table == QLatin1String("rectangles"))
        return QStringLiteral("delle dimensioni");
    return QStringLiteral("degli oggetti grafici");
}

// The text of one language: both are written side by side below.
QString In(Language language, const QString& italian, const QString& english)
{
    return language == Language::Italian ? italian : english;
}

}  // namespace

QString FailureText(const SkinError& e, Language l)
{
    const QString file = Path(e.file);
    const QString why = Because(e.system, e.errnum, l);
    QString text;
    switch (e.code) {
    case ErrorKind::None: return QString();
    case ErrorKind::CannotOpen:
        text = In(l, QStringLiteral("il file %1 non può essere aperto%2").arg(file, why),
                  QStringLiteral("%1: cannot be opened%2").arg(file, why));
        break;
    case ErrorKind::CannotRead:
        text = In(l, QStringLiteral("il file %1 non può essere letto%2").arg(file, why),
                  QStringLiteral("%1: cannot be read%2").arg(file, why));
        break;
    case ErrorKind::TooLarge:
        text = In(l, QStringLiteral("il file %1 è troppo grande").arg(file),
                  QStringLiteral("%1: too large (more than 64 MiB before the first carriage return)").arg(file));
        break;
    case ErrorKind::TooManyLines:
        text = In(l, QStringLiteral("il file %1 ha più di 1501 righe (riga %2)").arg(file).arg(e.line),
                  QStringLiteral("%1, line %2: more than 1501 lines").arg(file).arg(e.line));
        break;
    case ErrorKind::ShortRecord:
        text = In(l, QStringLiteral("il file %1 ha un record con meno di cinque campi alla riga %2").arg(file).arg(e.line),
                  QStringLiteral("%1, line %2: a record with fewer than five fields").arg(file).arg(e.line));
        break;
    case ErrorKind::CannotCreateFolder:
        text = In(l, QStringLiteral("la cartella delle immagini %1 non può essere creata%2").arg(file, why),
                  QStringLiteral("%1: the image folder cannot be created%2").arg(file, why));
        break;
    case ErrorKind::IndexOutOfRange:
        text = In(l,
                  QStringLiteral("La riga %1 della tabella %2 ha \"Indice\" %3, fuori dall'intervallo 0..1500: "
                                 "la riga non può essere scritta in %4.")
                      .arg(e.key, TableName(e.detail), e.extra, file),
                  QStringLiteral("row %1 of %2 has \"Indice\" %3, outside 0..1500").arg(e.key, e.detail, e.extra));
        break;
    case ErrorKind::ImageMissing:
        text = In(l, QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non esiste:\n%2").arg(e.key, file),
                  QStringLiteral("the image of object %1 to be packed does not exist: %2").arg(e.key, file));
        break;
    case ErrorKind::ImageNotAFile:
        text = In(l, QStringLiteral("Il file GIF dell'oggetto %1 da sostituire è una cartella, non un file:\n%2").arg(e.key, file),
                  QStringLiteral("the image of object %1 to be packed is a folder, not a file: %2").arg(e.key, file));
        break;
    case ErrorKind::BlankImagePath:
        text = In(l,
                  QStringLiteral("L'oggetto %1 da sostituire non ha un file GIF (\"Path GIF\" vuoto): "
                                 "non può essere inserito in varavave14.dat.")
                      .arg(e.key),
                  QStringLiteral("object %1 is to be packed but has no image file").arg(e.key));
        break;
    case ErrorKind::ContainerTooLarge:
        text = In(l,
                  QStringLiteral("Le immagini da sostituire superano la dimensione massima di varavave14.dat, "
                                 "raggiunta con l'oggetto %1:\n%2")
                      .arg(e.key, file),
                  QStringLiteral("the images to pack pass the size limit of varavave14.dat at object %1: %2")
                      .arg(e.key, file));
        break;
    case ErrorKind::ImageUnreadable:
        text = In(l,
                  QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non può essere letto:\n%2%3")
                      .arg(e.key, file, why),
                  QStringLiteral("the image of object %1 cannot be read: %2%3").arg(e.key, file, why));
        break;
    case ErrorKind::ImageChanged:
        text = In(l,
                  QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non può essere letto per intero "
                                 "(è cambiato durante il salvataggio?):\n%2")
                      .arg(e.key, file),
                  QStringLiteral("the image of object %1 changed while it was read: %2").arg(e.key, file));
        break;
    case ErrorKind::ImageRefused:
        text = In(l,
                  QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non può essere inserito in "
                                 "varavave14.dat: %2.\n%3")
                      .arg(e.key, ImageFaultText(e.verdict, l), file),
                  QStringLiteral("the image of object %1 is no GIF the phone can show (%2): %3")
                      .arg(e.key, ImageFaultText(e.verdict, l), file));
        break;
    case ErrorKind::BackupUnreadable:
        text = In(l,
                  QStringLiteral("Il file %1 non può essere letto per la copia di sicurezza varavave_old.ski%2.")
                      .arg(file, why),
                  QStringLiteral("%1 cannot be read for the backup varavave_old.ski%2").arg(file, why));
        break;
    case ErrorKind::ReadOnly:
        text = In(l, QStringLiteral("Il file %1 è di sola lettura: Velluno non lo sostituisce.").arg(file),
                  QStringLiteral("%1: read-only (no write bit in its mode): it is not replaced").arg(file));
        break;
    case ErrorKind::NotAFile:
        text = In(l, QStringLiteral("Errore durante la scrittura del file %1: esiste già e non è un file.").arg(file),
                  QStringLiteral("%1: exists and is not a file%2").arg(file, why));
        break;
    case ErrorKind::CannotCreateTemp:
        text = In(l,
                  QStringLiteral("Errore durante la scrittura del file %1: impossibile creare un file temporaneo "
                                 "nella cartella%2.")
                      .arg(file, why),
                  QStringLiteral("%1: no temporary file can be created beside it%2").arg(file, why));
        break;
    case ErrorKind::CannotWrite:
        text = In(l, QStringLiteral("Errore durante la scrittura del file %1%2.").arg(file, why),
                  QStringLiteral("%1: cannot be written%2").arg(file, why));
        break;
    case ErrorKind::DiskFull:
        text = In(l, QStringLiteral("Errore durante la scrittura del file %1: spazio su disco esaurito.").arg(file),
                  QStringLiteral("%1: the disk is full").arg(file));
        break;
    case ErrorKind::CannotKeepOld:
        text = In(l,
                  QStringLiteral("Errore durante la scrittura del file %1: impossibile conservare il contenuto "
                                 "precedente%2.")
                      .arg(file, why),
                  QStringLiteral("%1: its old content cannot be kept aside%2").arg(file, why));
        break;
    case ErrorKind::CannotReplace:
        text = In(l, QStringLiteral("Errore durante la scrittura del file %1: il file non può essere sostituito%2.").arg(file, why),
                  QStringLiteral("%1: cannot be replaced%2").arg(file, why));
        break;
    case ErrorKind::SchemeTooLarge:
        text = In(l, QStringLiteral("il file %1 è più grande di %2 KB").arg(file).arg(kSchemeMaxBytes / 1024),
                  QStringLiteral("%1: larger than %2 KiB, not a colour scheme").arg(file).arg(kSchemeMaxBytes / 1024));
        break;
    case ErrorKind::SchemeNotText:
        text = In(l,
                  QStringLiteral("il file %1 non è un file di testo (carattere di controllo alla riga %2)")
                      .arg(file)
                      .arg(e.line),
                  QStringLiteral("%1, line %2: a control character, not a text file").arg(file).arg(e.line));
        break;
    case ErrorKind::SchemeLineTooLong:
        text = In(l,
                  QStringLiteral("la riga %1 del file %2 è più lunga di %3 caratteri")
                      .arg(e.line)
                      .arg(file)
                      .arg(kSchemeMaxLineLength),
                  QStringLiteral("%1, line %2: longer than %3 characters").arg(file).arg(e.line).arg(kSchemeMaxLineLength));
        break;
    case ErrorKind::SchemeTooManyRows:
        text = In(l, QStringLiteral("il file %1 ha più di %2 colori (riga %3)").arg(file).arg(kSchemeMaxRows).arg(e.line),
                  QStringLiteral("%1, line %2: more than %3 colours").arg(file).arg(e.line).arg(kSchemeMaxRows));
        break;
    case ErrorKind::SchemeShortLine:
        text = In(l, QStringLiteral("la riga %1 del file %2 ha meno di sei campi separati da virgole").arg(e.line).arg(file),
                  QStringLiteral("%1, line %2: fewer than six comma-separated fields").arg(file).arg(e.line));
        break;
    case ErrorKind::SchemeBadField: {
        const QString rule =
            e.detail == QLatin1String("ID")
                ? QStringLiteral("un numero di oggetto o \"-\"")
                : e.detail == QLatin1String("Indice")
                      ? QStringLiteral("il numero di una riga della skin, da 1 a %1").arg(kSchemeMaxRows)
                      : QStringLiteral("un numero intero");
        text = In(l,
                  QStringLiteral("la riga %1 del file %2 ha nel campo \"%3\" il testo \"%4\", che non è %5")
                      .arg(e.line)
                      .arg(file, e.detail, e.extra, rule),
                  QStringLiteral("%1, line %2: field %3 holds \"%4\"").arg(file).arg(e.line).arg(e.detail, e.extra));
        break;
    }
    case ErrorKind::SchemeEmpty:
        text = In(l, QStringLiteral("il file %1 non contiene colori").arg(file),
                  QStringLiteral("%1: no colour line").arg(file));
        break;
    }
    // The window says where old contents are kept in the message of the
    // save that failed; the command line says it with the failure.
    if (l == Language::English && !e.kept.isEmpty()) {
        QStringList kept;
        for (const QString& k : e.kept)
            kept << Path(k);
        text += QStringLiteral("; the old contents are kept in ") + kept.join(QStringLiteral(", "));
    }
    return text;
}

QString ImageFaultText(ImageFault fault, Language l)
{
    switch (fault) {
    case ImageFault::None: return QString();
    case ImageFault::Missing: return In(l, QStringLiteral("file non trovato"), QStringLiteral("no such file"));
    case ImageFault::Unreadable:
        return In(l, QStringLiteral("il file non può essere letto"), QStringLiteral("the file cannot be read"));
    case ImageFault::Empty: return In(l, QStringLiteral("il file è vuoto"), QStringLiteral("the file is empty"));
    case ImageFault::NotAnImage:
        return In(l, QStringLiteral("il file non è un'immagine"), QStringLiteral("not an image"));
    case ImageFault::NotGif: return In(l, QStringLiteral("il file non è un'immagine GIF"), QStringLiteral("not a GIF"));
    case ImageFault::Truncated:
        return In(l, QStringLiteral("il file GIF è incompleto"), QStringLiteral("the GIF is cut short"));
    case ImageFault::Malformed:
        return In(l, QStringLiteral("il file GIF è danneggiato"), QStringLiteral("the GIF is damaged"));
    case ImageFault::NoImage:
        return In(l, QStringLiteral("il file GIF non contiene alcuna immagine"), QStringLiteral("the GIF holds no image"));
    case ImageFault::EmptyImage:
        return In(l, QStringLiteral("l'immagine è larga o alta 0 pixel"),
                  QStringLiteral("the image is 0 pixels wide or high"));
    case ImageFault::TooLarge:
        return In(l, QStringLiteral("l'immagine è troppo grande (oltre %1 pixel per lato o %2 milioni di pixel)"),
                  QStringLiteral("the image is too large (beyond %1 pixels a side or %2 million pixels)"))
            .arg(kMaxImageSide)
            .arg(kMaxImagePixels >> 20);
    case ImageFault::Undecodable:
        return In(l, QStringLiteral("l'immagine non può essere decodificata"),
                  QStringLiteral("the first frame cannot be decoded"));
    }
    return QString();
}

QString ImageFaultText(GifVerdict verdict, Language l) { return ImageFaultText(ImageFaultOf(verdict), l); }

QString ExtractFaultText(const ExtractReport::Fault& f, Language l)
{
    using Reason = ExtractReport::Fault::Reason;
    const QString file = Path(f.file);
    const QString why = Because(f.system, 0, l);
    switch (f.reason) {
    case Reason::BadValues:
        return In(l, QStringLiteral("non indica un posto in un contenitore (N° Dat, Offset, Byte: %1)"),
                  QStringLiteral("not a place in a container (N° Dat, Offset, Byte: %1)"))
            .arg(f.detail);
    case Reason::EmptyImage: return In(l, QStringLiteral("un'immagine lunga 0 byte"), QStringLiteral("an image of length 0"));
    case Reason::NoContainer:
        return In(l, QStringLiteral("il contenitore %1 non esiste"), QStringLiteral("the container %1 does not exist"))
            .arg(file);
    case Reason::ContainerTooLarge:
        return In(l, QStringLiteral("il contenitore %1 è troppo grande per essere letto"),
                  QStringLiteral("the container %1 is too large to read"))
            .arg(file);
    case Reason::ContainerUnreadable:
        return In(l, QStringLiteral("il contenitore %1 non può essere letto%2"),
                  QStringLiteral("the container %1 cannot be read%2"))
            .arg(file, why);
    case Reason::EmptyContainer:
        return In(l, QStringLiteral("il contenitore %1 è vuoto"), QStringLiteral("the container %1 is empty")).arg(file);
    case Reason::PastTheEnd: {
        const QStringList n = f.detail.split(QLatin1Char(' '));
        return In(l, QStringLiteral("l'immagine (offset %1, %2 byte) va oltre la fine di %3 (%4 byte)"),
                  QStringLiteral("the image (offset %1, %2 bytes) runs past the end of %3 (%4 bytes)"))
            .arg(n.value(0), n.value(1), file, n.value(2));
    }
    case Reason::NotAGif:
        return In(l, QStringLiteral("l'immagine in %1 non è un GIF che il telefono possa mostrare (%2)"),
                  QStringLiteral("the image in %1 is no GIF the phone can show (%2)"))
            .arg(file, ImageFaultText(f.verdict, l));
    case Reason::CannotWrite:
        return In(l, QStringLiteral("il file dell'immagine non può essere scritto: %1"),
                  QStringLiteral("the image file cannot be written: %1"))
            .arg(FailureText(f.error, l));
    case Reason::CannotKeepEdited:
        return In(l,
                  QStringLiteral("il file %1 contiene altri byte (modificato a mano?) che non possono essere "
                                 "conservati accanto (%2): è stato lasciato com'era"),
                  QStringLiteral("the image file %1 holds other bytes (edited by hand?) that cannot be kept "
                                 "beside it (%2): it was left as it is"))
            .arg(file, FailureText(f.error, l));
    case Reason::NumberTooLarge:
        return In(l, QStringLiteral("il numero dell'oggetto ha 16 cifre o più: non dà il nome a un file"),
                  QStringLiteral("the object number has 16 digits or more: it names no image file"));
    }
    return QString();
}

QString RefusalText(SaveRefusal refusal, Language l)
{
    switch (refusal) {
    case SaveRefusal::None: return QString();
    case SaveRefusal::NotOperatorSkin:
        return In(l, QStringLiteral("Velluno permette di modificare solo la skin originale del v980!"),
                  QStringLiteral("only a skin named varavave.ski can be saved"));
    case SaveRefusal::Unreadable:
        return In(l, QStringLiteral("la skin non è stata letta fino alla fine"),
                  QStringLiteral("the skin could not be read to its end"));
    case SaveRefusal::BadMagic:
        return In(l, QStringLiteral("Formato del file skin non valido!"),
                  QStringLiteral("the file does not start with SKI1 (not a skin)"));
    case SaveRefusal::StoppedAtCarriageReturn:
        return In(l,
                  QStringLiteral("la lettura si è fermata a un carattere CR e il file continua dopo di esso: "
                                 "le righe seguenti non sono state lette e un salvataggio le perderebbe"),
                  QStringLiteral("the reading stopped at a carriage return (CR) and the file goes on after it: "
                                 "the lines from there on are not read, and a save would lose them"));
    case SaveRefusal::TextAfterLastLine:
        return In(l, QStringLiteral("il testo dopo l'ultimo LF non è una riga e un salvataggio lo perderebbe"),
                  QStringLiteral("text after the last line feed is no line, and a save would lose it"));
    case SaveRefusal::NoLines:
        return In(l, QStringLiteral("nessuna riga termina con LF: salvare svuoterebbe la skin"),
                  QStringLiteral("no line ends with a line feed: saving would empty the skin"));
    }
    return QString();
}

}  // namespace velluno
