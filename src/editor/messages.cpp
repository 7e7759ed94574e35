#include "editor/messages.h"

#include "skin/colourscheme.h"
#include "skin/files.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <cerrno>

namespace velluno {

namespace {

QString Path(const QString& path) { return QDir::toNativeSeparators(path); }

// The system's reason in the window's language, for the error numbers that
// files meet; any other keeps the system's own words.
QString SystemReason(const SkinError& e)
{
    switch (e.errnum) {
    case 0: return e.system;
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
    default: return e.system;
    }
}

// " (reason)" when the system gave one.
QString Because(const SkinError& e)
{
    const QString reason = SystemReason(e);
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

}  // namespace

QString FailureText(const SkinError& e)
{
    switch (e.code) {
    case SkinError::None:
        return QString();
    case SkinError::CannotOpen:
        return QStringLiteral("il file %1 non può essere aperto%2").arg(Path(e.file), Because(e));
    case SkinError::CannotRead:
        return QStringLiteral("il file %1 non può essere letto%2").arg(Path(e.file), Because(e));
    case SkinError::TooLarge:
        return QStringLiteral("il file %1 è troppo grande").arg(Path(e.file));
    case SkinError::TooManyLines:
        return QStringLiteral("il file %1 ha più di 1501 righe (riga %2)").arg(Path(e.file)).arg(e.line);
    case SkinError::ShortRecord:
        return QStringLiteral("il file %1 ha un record con meno di cinque campi alla riga %2")
            .arg(Path(e.file))
            .arg(e.line);
    case SkinError::CannotCreateFolder:
        return QStringLiteral("la cartella delle immagini %1 non può essere creata%2").arg(Path(e.file), Because(e));
    case SkinError::IndexOutOfRange:
        return QStringLiteral("La riga %1 della tabella %2 ha \"Indice\" %3, fuori dall'intervallo 0..1500: "
                              "la riga non può essere scritta in %4.")
            .arg(e.key, TableName(e.detail), e.extra, Path(e.file));
    case SkinError::ImageMissing:
        return QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non esiste:\n%2").arg(e.key, Path(e.file));
    case SkinError::BlankImagePath:
        return QStringLiteral("L'oggetto %1 da sostituire non ha un file GIF (\"Path GIF\" vuoto): "
                              "non può essere inserito in varavave14.dat.")
            .arg(e.key);
    case SkinError::ContainerTooLarge:
        return QStringLiteral("Le immagini da sostituire superano la dimensione massima di varavave14.dat, "
                              "raggiunta con l'oggetto %1:\n%2")
            .arg(e.key, Path(e.file));
    case SkinError::ImageUnreadable:
        return QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non può essere letto:\n%2%3")
            .arg(e.key, Path(e.file), Because(e));
    case SkinError::ImageChanged:
        return QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non può essere letto per intero "
                              "(è cambiato durante il salvataggio?):\n%2")
            .arg(e.key, Path(e.file));
    case SkinError::ImageRefused:
        return QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non può essere inserito in "
                              "varavave14.dat: %2.\n%3")
            .arg(e.key, ImageFaultText(ImageFaultOf(e.verdict)), Path(e.file));
    case SkinError::BackupUnreadable:
        return QStringLiteral("Il file %1 non può essere letto per la copia di sicurezza varavave_old.ski%2.")
            .arg(Path(e.file), Because(e));
    case SkinError::ReadOnly:
        return QStringLiteral("Il file %1 è di sola lettura: Velluno non lo sostituisce.").arg(Path(e.file));
    case SkinError::NotAFile:
        return QStringLiteral("Errore durante la scrittura del file %1: esiste già e non è un file.").arg(Path(e.file));
    case SkinError::CannotCreateTemp:
        return QStringLiteral("Errore durante la scrittura del file %1: impossibile creare un file temporaneo "
                              "nella cartella%2.")
            .arg(Path(e.file), Because(e));
    case SkinError::CannotWrite:
        return QStringLiteral("Errore durante la scrittura del file %1%2.").arg(Path(e.file), Because(e));
    case SkinError::DiskFull:
        return QStringLiteral("Errore durante la scrittura del file %1: spazio su disco esaurito.").arg(Path(e.file));
    case SkinError::CannotKeepOld:
        return QStringLiteral("Errore durante la scrittura del file %1: impossibile conservare il contenuto "
                              "precedente%2.")
            .arg(Path(e.file), Because(e));
    case SkinError::CannotReplace:
        return QStringLiteral("Errore durante la scrittura del file %1: il file non può essere sostituito%2.")
            .arg(Path(e.file), Because(e));
    case SkinError::SchemeTooLarge:
        return QStringLiteral("il file %1 è più grande di %2 KB").arg(Path(e.file)).arg(kSchemeMaxBytes / 1024);
    case SkinError::SchemeNotText:
        return QStringLiteral("il file %1 non è un file di testo (carattere di controllo alla riga %2)")
            .arg(Path(e.file))
            .arg(e.line);
    case SkinError::SchemeLineTooLong:
        return QStringLiteral("la riga %1 del file %2 è più lunga di %3 caratteri")
            .arg(e.line)
            .arg(Path(e.file))
            .arg(kSchemeMaxLineLength);
    case SkinError::SchemeTooManyRows:
        return QStringLiteral("il file %1 ha più di %2 colori (riga %3)")
            .arg(Path(e.file))
            .arg(kSchemeMaxRows)
            .arg(e.line);
    case SkinError::SchemeShortLine:
        return QStringLiteral("la riga %1 del file %2 ha meno di sei campi separati da virgole")
            .arg(e.line)
            .arg(Path(e.file));
    case SkinError::SchemeBadField: {
        const QString rule =
            e.detail == QLatin1String("ID")
                ? QStringLiteral("un numero di oggetto o \"-\"")
                : e.detail == QLatin1String("Indice")
                      ? QStringLiteral("il numero di una riga della skin, da 1 a %1").arg(kSchemeMaxRows)
                      : QStringLiteral("un numero intero");
        return QStringLiteral("la riga %1 del file %2 ha nel campo \"%3\" il testo \"%4\", che non è %5")
            .arg(e.line)
            .arg(Path(e.file), e.detail, e.extra, rule);
    }
    case SkinError::SchemeEmpty:
        return QStringLiteral("il file %1 non contiene colori").arg(Path(e.file));
    }
    return QString();
}

QString ImageFaultText(ImageFault fault)
{
    switch (fault) {
    case ImageFault::None: return QString();
    case ImageFault::Missing: return QStringLiteral("file non trovato");
    case ImageFault::Unreadable: return QStringLiteral("il file non può essere letto");
    case ImageFault::Empty: return QStringLiteral("il file è vuoto");
    case ImageFault::NotAnImage: return QStringLiteral("il file non è un'immagine");
    case ImageFault::NotGif: return QStringLiteral("il file non è un'immagine GIF");
    case ImageFault::Truncated: return QStringLiteral("il file GIF è incompleto");
    case ImageFault::Malformed: return QStringLiteral("il file GIF è danneggiato");
    case ImageFault::NoImage: return QStringLiteral("il file GIF non contiene alcuna immagine");
    case ImageFault::EmptyImage: return QStringLiteral("l'immagine è larga o alta 0 pixel");
    case ImageFault::TooLarge:
        return QStringLiteral("l'immagine è troppo grande (oltre %1 pixel per lato o %2 milioni di pixel)")
            .arg(kMaxImageSide)
            .arg(kMaxImagePixels >> 20);
    case ImageFault::Undecodable: return QStringLiteral("l'immagine non può essere decodificata");
    }
    return QString();
}

int ImageFaultNumber(ImageFault fault)
{
    switch (fault) {
    case ImageFault::None: return 0;
    case ImageFault::Missing: return int(QImageReader::FileNotFoundError);
    case ImageFault::Unreadable: return int(QImageReader::DeviceError);
    case ImageFault::NotAnImage:
    case ImageFault::NotGif: return int(QImageReader::UnsupportedFormatError);
    case ImageFault::Empty:
    case ImageFault::Truncated:
    case ImageFault::Malformed:
    case ImageFault::NoImage:
    case ImageFault::EmptyImage:
    case ImageFault::TooLarge:
    case ImageFault::Undecodable: return int(QImageReader::InvalidDataError);
    }
    return 0;
}

QString SaveFailureText(const SkinError& e)
{
    if (!e.kept.isEmpty()) {
        // Only when a rename back failed as well: say where the old bytes are.
        QStringList kept;
        for (const QString& k : e.kept)
            kept << Path(k);
        return FailureText(e) + QStringLiteral("\nIl contenuto precedente è conservato in: ") +
               kept.join(QStringLiteral(", "));
    }
    return FailureText(e) + QStringLiteral("\nSalvataggio annullato: nessun file è stato modificato.");
}

QString OpeningStoppedText(const SkinError& e)
{
    return QStringLiteral("apertura interrotta: ") + FailureText(e);
}

QString TruncatedReadingText(const SkinReading& reading)
{
    const QString until = QStringLiteral("la skin può essere visualizzata ed esportata, ma non può essere "
                                         "salvata finché il file non viene corretto!");
    if (reading.stoppedAtCarriageReturn)
        return QStringLiteral("La lettura del file skin si è fermata alla riga %1, al primo carattere CR "
                              "(ritorno carrello)%2: le righe seguenti non sono state lette e andrebbero perse. "
                              "Per questo %3")
            .arg(reading.stopLine)
            .arg(reading.doc.lineCount == 0 ? QStringLiteral(" (forse il file è stato salvato con fine riga CR LF)")
                                            : QString(),
                 until);
    if (reading.noLines && !reading.badMagic)
        return QStringLiteral("Il file skin non contiene righe terminate da LF: salvarlo lo lascerebbe vuoto. "
                              "Per questo ") + until;
    return QString();
}

QString TextAfterLastLineText(const SkinReading& reading)
{
    if (reading.textAfterLastLine.isEmpty() || !TruncatedReadingText(reading).isEmpty())
        return QString();
    return QStringLiteral("Il testo dopo l'ultimo LF del file skin (riga %1) non termina con LF: non è una riga "
                          "e andrebbe perso:\n\"%2\"\nPer questo la skin può essere visualizzata ed esportata, ma "
                          "non può essere salvata finché il file non viene corretto!")
        .arg(reading.doc.lineCount + 1)
        .arg(reading.textAfterLastLine);
}

QString LineEndRepairQuestion(const SkinReading& reading, const LineEndRepair& planned)
{
    QString why = TruncatedReadingText(reading);
    if (why.isEmpty())
        why = TextAfterLastLineText(reading);
    const LineEndChanges& c = planned.changes;
    QStringList changes;
    if (c.crLf == 1)
        changes << QStringLiteral("1 fine riga CR LF diventerà LF");
    else if (c.crLf > 1)
        changes << QStringLiteral("%1 fini riga CR LF diventeranno LF").arg(c.crLf);
    if (c.loneCr == 1)
        changes << QStringLiteral("1 carattere CR isolato diventerà LF");
    else if (c.loneCr > 1)
        changes << QStringLiteral("%1 caratteri CR isolati diventeranno LF").arg(c.loneCr);
    if (c.finalLineFeed)
        changes << QStringLiteral("sarà aggiunto un LF dopo l'ultima riga");
    QStringList kept;
    for (const QString& b : planned.backups)
        kept << QFileInfo(b).fileName();
    return why + QStringLiteral("\n\nCorreggere il file? ") + changes.join(QStringLiteral(", ")) +
           QStringLiteral("; il testo originale sarà conservato in ") + kept.join(QStringLiteral(" e in ")) +
           QStringLiteral(" e la skin sarà riaperta per intero.");
}

QString LineEndRepairFailureText(const SkinError& e)
{
    return QStringLiteral("Impossibile correggere il file skin: ") + FailureText(e) +
           QStringLiteral("\nIl file non è stato modificato.");
}

QString EditedImagesText(const EditedImages& edited)
{
    QStringList parts;
    auto keys = [](const QVector<EditedImage>& images) {
        QStringList list;
        for (const EditedImage& i : images)
            list << i.key;
        return list.join(QStringLiteral(", "));
    };
    if (edited.taken.size() == 1)
        parts << QStringLiteral("1 immagine modificata a mano sarà salvata come sostituzione (%1)").arg(keys(edited.taken));
    else if (edited.taken.size() > 1)
        parts << QStringLiteral("%1 immagini modificate a mano saranno salvate come sostituzioni (%2)")
                     .arg(edited.taken.size())
                     .arg(keys(edited.taken));
    for (const EditedImage& r : edited.refused)
        parts << QStringLiteral("l'immagine modificata a mano dell'oggetto %1 non è valida: %2")
                     .arg(r.key, ImageFaultText(ImageFaultOf(r.verdict)));
    return parts.join(QStringLiteral("; "));
}

QString KeptImagesText(const QVector<ExtractReport::Kept>& kept)
{
    QStringList names;
    for (const ExtractReport::Kept& k : kept)
        names << QFileInfo(k.backup).fileName();
    if (kept.size() == 1)
        return QStringLiteral("Esporta tutto: 1 immagine modificata a mano è stata conservata come %1.")
            .arg(names.first());
    const int shown = 5;
    QString list = QStringList(names.mid(0, shown)).join(QStringLiteral(", "));
    if (names.size() > shown)
        list += QStringLiteral(", ...");
    return QStringLiteral("Esporta tutto: %1 immagini modificate a mano sono state conservate con un "
                          "numero (%2).")
        .arg(kept.size())
        .arg(list);
}

namespace {

// Why one row was not extracted, as a phrase.
QString ExtractFaultText(const ExtractReport::Fault& f)
{
    using Fault = ExtractReport::Fault;
    SkinError system;
    system.errnum = f.errnum;
    system.system = f.system;
    switch (f.reason) {
    case Fault::BadValues:
        return QStringLiteral("non indica un posto in un contenitore (N° Dat, Offset, Byte: %1)").arg(f.detail);
    case Fault::EmptyImage: return QStringLiteral("l'immagine ha lunghezza 0");
    case Fault::NoContainer: return QStringLiteral("il contenitore %1 non esiste").arg(Path(f.file));
    case Fault::ContainerTooLarge: return QStringLiteral("il contenitore %1 è troppo grande").arg(Path(f.file));
    case Fault::ContainerUnreadable:
        return QStringLiteral("il contenitore %1 non può essere letto%2").arg(Path(f.file), Because(system));
    case Fault::EmptyContainer: return QStringLiteral("il contenitore %1 è vuoto").arg(Path(f.file));
    case Fault::PastTheEnd: {
        const QStringList n = f.detail.split(QLatin1Char(' '));
        return QStringLiteral("il contenitore %1 (%2 byte) è più corto del record (offset %3, %4 byte)")
            .arg(Path(f.file), n.value(2), n.value(0), n.value(1));
    }
    case Fault::CannotWrite:
        return QStringLiteral("il file %1 non può essere scritto%2").arg(Path(f.file), Because(system));
    case Fault::CannotKeepEdited:
        return QStringLiteral("il file %1, modificato a mano, non può essere conservato%2: è rimasto com'è")
            .arg(Path(f.file), Because(system));
    case Fault::NumberTooLarge:
        return QStringLiteral("il numero dell'oggetto ha 16 cifre o più e non indica alcun file");
    }
    return QString();
}

}  // namespace

QString ExtractFaultsText(const ExtractReport& report)
{
    const int count = int(report.faults.size());
    if (count == 0)
        return QString();
    QString text = count == 1 ? QStringLiteral("Esporta tutto: 1 oggetto non è stato estratto:")
                              : QStringLiteral("Esporta tutto: %1 oggetti non sono stati estratti:").arg(count);
    // The first few say why; the rest are alike more often than not.
    const int shown = 5;
    for (int i = 0; i < count && i < shown; ++i)
        text += QStringLiteral("\n%1: %2").arg(report.faults.at(i).key, ExtractFaultText(report.faults.at(i)));
    if (count > shown)
        text += QStringLiteral("\n(e altri %1)").arg(count - shown);
    return text;
}

QString SavedImagesText(const SaveReport& report)
{
    if (report.imagesWritten == 0)
        return QString();
    QString text = report.imagesWritten == 1
                       ? QStringLiteral("Salvataggio: 1 immagine della cartella delle immagini è stata aggiornata")
                       : QStringLiteral("Salvataggio: %1 immagini della cartella delle immagini sono state aggiornate")
                             .arg(report.imagesWritten);
    if (!report.keptImages.isEmpty()) {
        QStringList names;
        for (const SaveReport::Kept& k : report.keptImages)
            names << QFileInfo(k.copy).fileName();
        text += QStringLiteral(" (le precedenti conservate come %1)").arg(names.join(QStringLiteral(", ")));
    }
    return text + QLatin1Char('.');
}

QString SchemeFailureText(const SkinError& e)
{
    return QStringLiteral("Impossibile caricare lo schema colori di default: ") + FailureText(e) +
           QStringLiteral(".\nI colori non sono stati modificati.");
}

}  // namespace velluno
