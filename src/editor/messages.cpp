#include "editor/messages.h"

#include "skin/files.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace velluno {

namespace {

QString Path(const QString& path) { return QDir::toNativeSeparators(path); }

QString FailureText(const SkinError& e) { return FailureText(e, Language::Italian); }

}  // namespace

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
                     .arg(r.key, ImageFaultText(r.verdict, Language::Italian));
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

QString ExtractFaultsText(const ExtractReport& report)
{
    // A container whose bytes are no GIF still gives its image file (for
    // the user to see what it holds): those rows were extracted, and are
    // told apart from the rows left without an image.
    QVector<const ExtractReport::Fault*> missing, notGif;
    for (const ExtractReport::Fault& f : report.faults)
        (f.reason == ExtractReport::Fault::Reason::NotAGif ? notGif : missing).append(&f);
    // The first few say why; the rest are alike more often than not.
    const int shown = 5;
    auto list = [&](const QVector<const ExtractReport::Fault*>& faults) {
        QString text;
        for (int i = 0; i < faults.size() && i < shown; ++i)
            text += QStringLiteral("\n%1: %2").arg(faults.at(i)->key, ExtractFaultText(*faults.at(i), Language::Italian));
        if (faults.size() > shown)
            text += QStringLiteral("\n(e altri %1)").arg(faults.size() - shown);
        return text;
    };
    QStringList parts;
    if (!missing.isEmpty())
        parts << (missing.size() == 1 ? QStringLiteral("Esporta tutto: 1 oggetto non è stato estratto:")
                                      : QStringLiteral("Esporta tutto: %1 oggetti non sono stati estratti:")
                                            .arg(missing.size())) +
                     list(missing);
    if (!notGif.isEmpty())
        parts << (notGif.size() == 1
                      ? QStringLiteral("Esporta tutto: 1 immagine estratta non è un GIF che il telefono possa mostrare:")
                      : QStringLiteral("Esporta tutto: %1 immagini estratte non sono GIF che il telefono possa mostrare:")
                            .arg(notGif.size())) +
                     list(notGif);
    return parts.join(QStringLiteral("\n\n"));
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
