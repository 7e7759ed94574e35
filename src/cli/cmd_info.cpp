// velluno-cli info SKIN: what a skin author wants to know about a skin, read
// exactly as the editor reads it, with its problems and its notes. It
// changes nothing on the disk: the image folder is not created.
#include "cli/commands.h"
#include "cli/report.h"
#include "editor/failures.h"
#include "editor/presentation.h"
#include "skin/files.h"

#include <QDir>
#include <QTextStream>
#include <map>

namespace velluno::cli {

int RunInfo(const QStringList& args, const QCommandLineParser&)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    SkinReading reading = ReadSkin(args.first());
    // Nothing was read: there is nothing to describe.
    if (Unusable(reading) && !reading.badMagic) {
        err << "velluno-cli info: " << UnusableText(reading) << '\n';
        return kExitUnusable;
    }
    // What the opening in the window takes as edited by hand; only the
    // document read here changes.
    const EditedImages edited = TakeEditedImages(reading.doc);
    const Document& doc = reading.doc;
    const Checkup checkup = CheckSkin(doc, reading, edited);

    out << "Skin:           " << QDir::toNativeSeparators(reading.file) << '\n';
    out << "Image folder:   " << QDir::toNativeSeparators(doc.imageFolder)
        << (DirExist(doc.imageFolder) ? "" : " (not there yet)") << '\n';
    out << "Lines:          " << reading.linesRead;
    if (!reading.error.ok())
        out << " read, the reading stopped at line " << reading.error.line;
    out << '\n';

    std::map<QString, int> types;
    for (int i = 1; i < reading.linesRead; ++i) {
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
    for (const ObjectRow& row : doc.objects.rows())
        states[StateWord(row.state)]++;
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
    const SaveRefusal refusal = reading.saveRefusal();
    out << "Saving:         " << (refusal == SaveRefusal::None ? QStringLiteral("enabled")
                                                               : QStringLiteral("disabled: %1")
                                                                     .arg(RefusalText(refusal, Language::English)))
        << '\n';

    for (const bool problems : {true, false}) {
        QStringList lines;
        for (const Finding& f : checkup.findings)
            if (IsProblem(f.kind) == problems)
                lines << FindingText(f);
        out << (problems ? "Problems:       " : "Notes:          ")
            << (lines.isEmpty() ? QStringLiteral("none") : QString::number(lines.size())) << '\n';
        for (const QString& line : lines)
            out << "  - " << line << '\n';
    }
    if (reading.badMagic)
        return kExitUnusable;
    return StatusOf(checkup);
}

}  // namespace velluno::cli
