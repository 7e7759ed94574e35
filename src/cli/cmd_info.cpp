// velluno-cli info SKIN: what a skin author wants to know about a skin, read
// exactly as the editor reads it. It changes nothing on the disk: the image
// folder is not created.
#include "cli/commands.h"
#include "cli/reasons.h"
#include "editor/presentation.h"
#include "skin/containers.h"
#include "skin/files.h"
#include "skin/reader.h"

#include <QDir>
#include <QTextStream>
#include <map>

namespace velluno::cli {

int CmdInfo(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        err << "usage: velluno-cli info SKIN\n";
        return kExitUnusable;
    }
    SkinReading reading = ReadSkin(args.first());
    // What the opening in the window takes as edited by hand; only the
    // document read here changes.
    const EditedImages edited = TakeEditedImages(reading.doc);
    const Document& doc = reading.doc;
    // Nothing was read: there is nothing to describe.
    if (reading.error.code == SkinError::CannotOpen || reading.error.code == SkinError::CannotRead ||
        reading.error.code == SkinError::TooLarge) {
        err << "velluno-cli info: " << EnglishText(reading.error) << '\n';
        return kExitUnusable;
    }

    out << "Skin:           " << doc.folder << '/' << doc.name << ".ski\n";
    out << "Image folder:   " << doc.imageFolder << (DirExist(doc.imageFolder) ? "" : " (not there yet)") << '\n';
    out << "Lines:          " << doc.lineCount << '\n';

    std::map<QString, int> types;
    for (int i = 1; i < doc.lineCount; ++i) {
        const QString& line = doc.lines.at(i);
        types[line.isEmpty() ? QStringLiteral("(empty)") : QString(line.at(0))]++;
    }
    out << "Records by type:";
    if (types.empty())
        out << " none";
    for (const auto& [type, n] : types)
        out << "  " << type << ": " << n;
    out << '\n';

    std::map<QString, int> states;
    QStringList missing, unnamed;
    for (const ObjectRow& row : doc.objects.rows()) {
        states[StateWord(row.state)]++;
        if (!ObjectNumberFits(row.number))
            unnamed << row.key();
        else if (row.state == ImageState::NotFound)
            missing << row.key();
    }
    out << "Graphic objects: " << doc.objects.count();
    for (const auto& [state, n] : states)
        out << "  " << state << ": " << n;
    out << '\n';

    auto numbered = [](const Table<ValueRow>& t) {
        int n = 0;
        for (const ValueRow& r : t.rows())
            n += r.numbered();
        return n;
    };
    out << "Colour rows:    " << doc.colours.count() << " (" << numbered(doc.colours) << " numbered)\n";
    out << "Dimension rows: " << doc.rectangles.count() << " (" << numbered(doc.rectangles) << " numbered)\n";
    if (const QString note = EditedImagesNote(edited); !note.isEmpty())
        out << "Edited by hand: " << note << '\n';
    const SaveRefusal refusal = reading.saveRefusal();
    out << "Saving:         " << (refusal == SaveRefusal::None ? "enabled" : "disabled");
    // The name is a fact of the skin, not a problem of its file.
    if (refusal == SaveRefusal::NotOperatorSkin)
        out << " (" << EnglishText(refusal) << ')';
    out << '\n';

    QStringList problems;
    if (!reading.error.ok())
        problems << QStringLiteral("the reading stopped: %1").arg(EnglishText(reading.error));
    if (!unnamed.isEmpty())
        problems << QStringLiteral("%1 object(s) whose number has 16 digits or more name no image file: %2")
                        .arg(unnamed.size())
                        .arg(unnamed.join(QLatin1Char(' ')));
    if (!missing.isEmpty())
        problems << QStringLiteral("%1 object(s) without image file in %2 (run \"velluno-cli export\"): %3")
                        .arg(missing.size())
                        .arg(doc.imageFolder, missing.join(QLatin1Char(' ')));
    if (refusal != SaveRefusal::None && refusal != SaveRefusal::NotOperatorSkin)
        problems << QStringLiteral("saving is disabled: %1").arg(RefusalText(reading, args.first()));
    for (const EditedImage& r : edited.refused)
        problems << QStringLiteral("object %1: %2 was edited by hand but is no GIF the phone can show (%3)")
                        .arg(r.key, QDir::toNativeSeparators(r.path), EnglishText(r.verdict));
    out << "Problems:       " << (problems.isEmpty() ? "none" : QString::number(problems.size())) << '\n';
    for (const QString& p : problems)
        out << "  - " << p << '\n';

    if (reading.badMagic)
        return kExitUnusable;
    return problems.isEmpty() ? kExitDone : kExitProblems;
}

}  // namespace velluno::cli
