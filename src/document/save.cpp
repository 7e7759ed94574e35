#include "document/save.h"

#include "document/atomic.h"
#include "document/files.h"

#include <QFile>
#include <QFileInfo>

#include <cstdint>

// How a save protects the skin folder.
//
// Everything is checked and built in memory first: the regenerated lines,
// container 14 (every packed image read whole into one buffer of the exact
// total), the backup (the bytes of the current varavave.ski) and the new skin
// text. A blank "Path GIF" that matters, an image that cannot be read or an
// "Indice" that names no slot stops the save here, before any file is
// touched and before the document is changed.
//
// Then ReplaceFiles writes the three contents into hidden temporary files
// beside their targets and flushes them; a full disk or a refused folder
// fails at this point and leaves every file as it was. Only then are the
// targets replaced, in the order container, backup, skin text, each by an
// atomic rename, while a second name keeps every old content until all
// three are in place: if a later replacement fails, the earlier ones are
// renamed back, so the folder never holds the old skin pointing into a new
// container. A file is never half written: a reader sees either its old or
// its new bytes.

namespace velluno {

namespace {

// Images are addressed by 32-bit offsets on the phone.
constexpr qint64 kMaxContainerBytes = INT32_MAX;
constexpr qint64 kMaxBackupBytes = qint64(1) << 31;

const QString kContainerName = QStringLiteral("varavave14.dat");
const QString kBackupName = QStringLiteral("varavave_old.ski");
const QString kSkinName = QStringLiteral("varavave.ski");

QString Cancelled() { return QStringLiteral("Salvataggio annullato: nessun file è stato modificato."); }

// The slot of an "Indice" cell, or -1 when it names none.
int SlotOf(const QString& index)
{
    const qint64 slot = LenientInteger(index, -1, kSlotCount);
    return slot >= 0 && slot < kSlotCount ? int(slot) : -1;
}

// The fixed names are looked up without regard to case, so that a folder
// holding VARAVAVE.SKI is saved into that file rather than beside it.
QString FixedFile(const Editor& editor, const QString& name)
{
    return ResolveFile(JoinPath(editor.SkinDir, name));
}

struct Packed {
    int row = 0;
    QString path;
    qint64 length = 0;
};

}  // namespace

SaveReport SaveSkin(Editor& editor)
{
    SaveReport report;
    // SAVE is disabled while such a skin is open; a click that gets here
    // anyway (a script) must not write a varavave.ski made from another skin.
    if (!editor.SaveEnabled || editor.SkinDir.isEmpty())
        return report;
    report.attempted = true;

    Document& doc = editor.doc;
    auto stop = [&](const QString& text) {
        report.error = text + QLatin1Char('\n') + Cancelled();
        editor.message(report.error, MsgIcon::Stop);
        return report;
    };

    QVector<QString> lines = doc.SkinLines;
    if (lines.size() < kSlotCount)
        lines.resize(kSlotCount);
    const int lineCount = qBound(0, doc.LineCount, kSlotCount);

    // 1 and 2: every colour and rectangle row, edited or not.
    auto regenerate = [&](const Table& table, QChar type, int indexColumn, const QString& what) {
        for (const Row& row : table.rows()) {
            const int slot = SlotOf(row.cell(indexColumn));
            if (slot < 0) {
                return QStringLiteral("La riga %1 della tabella %2 ha \"Indice\" %3, fuori dall'intervallo "
                                      "0..1500: la riga non può essere scritta in %4.")
                    .arg(row.key(), what, row.cell(indexColumn).trimmed(), kSkinName);
            }
            lines[slot] = ComposeValueRecord(type, row.key(), row.cell(1), row.cell(2), row.cell(3), row.cell(4));
        }
        return QString();
    };
    QString problem = regenerate(doc.L_RGBA, QLatin1Char('4'), ColRgbaIndex, QStringLiteral("dei colori"));
    if (problem.isEmpty())
        problem = regenerate(doc.L_Dim, QLatin1Char('1'), ColDimIndex, QStringLiteral("delle dimensioni"));
    if (!problem.isEmpty())
        return stop(problem);

    // 3: tree nodes an editor changed.
    for (int k = 1; k <= doc.T_Strutt.count() && k <= kSlotCount; ++k) {
        if (doc.T_Strutt.node(k).colour == kBlue)
            lines[k - 1] = doc.T_Strutt.text(k);
    }

    // 4: the packed rows, in the table's current row order.
    const Table& values = doc.L_Values;
    QVector<Packed> packed;
    int firstBlank = 0;
    qint64 total = 0;
    for (int r = 1; r <= values.count(); ++r) {
        const Row& row = values.row(r);
        if (!IsState(row, kStateReplace))
            continue;
        const QString path = row.cell(ColPath);
        if (path.trimmed().isEmpty()) {
            if (!firstBlank)
                firstBlank = r;
            continue;
        }
        const QFileInfo info(ResolveFile(path));
        if (!info.isFile()) {
            return stop(QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non esiste:\n%2")
                            .arg(row.key(), path));
        }
        packed.append(Packed{r, info.filePath(), info.size()});
        total += info.size();
        if (total > kMaxContainerBytes) {
            return stop(QStringLiteral("Le immagini da sostituire superano la dimensione massima di %1 "
                                       "(%2 byte), raggiunta con l'oggetto %3:\n%4")
                            .arg(kContainerName)
                            .arg(kMaxContainerBytes)
                            .arg(row.key(), path));
        }
    }

    QByteArray container;
    if (total > 0) {
        if (firstBlank) {
            return stop(QStringLiteral("L'oggetto %1 da sostituire non ha un file GIF (\"Path GIF\" vuoto): "
                                       "non può essere inserito in %2.")
                            .arg(values.row(firstBlank).key(), kContainerName));
        }
        container = QByteArray(total, Qt::Uninitialized);
        qint64 position = 0;
        for (const Packed& p : packed) {
            const Row& row = values.row(p.row);
            const int slot = SlotOf(row.cell(ColValuesIndex));
            if (slot < 0) {
                return stop(QStringLiteral("L'oggetto %1 ha \"Indice\" %2, fuori dall'intervallo 0..1500: "
                                           "il suo record non può essere scritto in %3.")
                                .arg(row.key(), row.cell(ColValuesIndex).trimmed(), kSkinName));
            }
            QFile file(p.path);
            char extra = 0;
            if (!file.open(QIODevice::ReadOnly)) {
                return stop(QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non può essere letto:\n%2\n(%3)")
                                .arg(row.key(), p.path, file.errorString()));
            }
            // The file must still have the length the total was made of.
            if (file.read(container.data() + position, p.length) != p.length ||
                file.read(&extra, 1) != 0) {
                return stop(QStringLiteral("Il file GIF dell'oggetto %1 da sostituire non può essere letto "
                                           "per intero (è cambiato durante il salvataggio?):\n%2")
                                .arg(row.key(), p.path));
            }
            lines[slot] = ComposeObjectRecord(row.key(), position, p.length);
            position += p.length;
        }
    }

    // 5: the backup is the current skin file, byte for byte. A skin file that
    // is gone (deleted while it was open) has nothing to copy: the backup
    // step is left out and an existing varavave_old.ski, the only copy of
    // an earlier state, is kept.
    const QString skinPath = FixedFile(editor, kSkinName);
    QByteArray backup;
    const bool haveSkin = FileExist(skinPath);
    if (haveSkin) {
        bool ok = false;
        backup = ReadWholeFile(skinPath, &ok, kMaxBackupBytes);
        if (!ok) {
            return stop(QStringLiteral("Il file %1 non può essere letto per la copia di sicurezza %2.")
                            .arg(skinPath, kBackupName));
        }
    }

    // 6: the new skin text, every byte of every slot as it was read.
    QByteArray text;
    text.reserve(lineCount * 48);
    for (int i = 0; i < lineCount; ++i) {
        text += lines.at(i).toLatin1();
        text += '\n';
    }

    QVector<PendingFile> outputs;
    if (total > 0)
        outputs.append(PendingFile{FixedFile(editor, kContainerName), container});
    if (haveSkin)
        outputs.append(PendingFile{FixedFile(editor, kBackupName), backup});
    outputs.append(PendingFile{skinPath, text});
    container.clear();
    backup.clear();

    const ReplaceOutcome outcome = ReplaceFiles(outputs);
    if (!outcome.ok) {
        QString text2 = QStringLiteral("Errore durante la scrittura del file %1: %2.").arg(outcome.file, outcome.reason);
        if (!outcome.kept.isEmpty()) {
            // Only when a rename back failed as well: say where the old bytes are.
            report.error = text2 + QStringLiteral("\nIl contenuto precedente è conservato in: ") +
                           outcome.kept.join(QStringLiteral(", "));
            editor.message(report.error, MsgIcon::Stop);
            return report;
        }
        return stop(text2);
    }

    // The document follows the files only now that they are written.
    doc.SkinLines = lines;
    for (int r = 1; r <= values.count(); ++r) {
        Row& row = doc.L_Values.row(r);
        if (IsState(row, kStateReplace) && !row.cell(ColPath).trimmed().isEmpty())
            row.colour = kRed;
    }
    report.saved = true;
    report.containerWritten = total > 0;
    report.packed = total > 0 ? packed.size() : 0;
    report.backupWritten = haveSkin;
    editor.message(total > 0 ? QStringLiteral("File: varavave14.dat creato con successo, file: varavave.ski "
                                              "aggiornato con successo.")
                             : QStringLiteral("File: varavave.ski aggiornato con successo, nessun oggetto "
                                              "grafico sostituito."),
                   MsgIcon::Information);
    return report;
}

bool SalvaSkin(Editor& editor) { return SaveSkin(editor).containerWritten; }

}  // namespace velluno
