// velluno-cli colours SKIN: the skin's colour table in the form of a colour
// scheme (the editor's colors.txt), so that a skin's colours can be kept as
// a scheme and two skins' colours compared with diff. Reads the skin as the
// editor does and writes nothing to the disk.
#include "cli/commands.h"
#include "cli/report.h"
#include "editor/failures.h"
#include "skin/colourscheme.h"
#include "skin/reader.h"

#include <QFile>
#include <QTextStream>

namespace velluno::cli {

int RunColours(const QStringList& args, const QCommandLineParser&)
{
    QTextStream err(stderr);
    const SkinReading reading = ReadSkin(args.first());
    if (Unusable(reading)) {
        err << "velluno-cli colours: " << UnusableText(reading) << Qt::endl;
        return kExitUnusable;
    }
    // Half a table is no scheme of the skin: say why instead.
    if (!reading.error.ok()) {
        err << "velluno-cli colours: the reading stopped: " << FailureText(reading.error, Language::English)
            << Qt::endl;
        return kExitProblems;
    }
    // The colours of the lines read are printed; the rest of the file is not.
    bool problems = reading.stoppedAtCarriageReturn;
    if (problems) {
        Finding dropped;
        dropped.kind = FindingKind::TextDropped;
        dropped.file = reading.file;
        dropped.refusal = SaveRefusal::StoppedAtCarriageReturn;
        dropped.line = reading.stopLine;
        err << "velluno-cli colours: " << FindingText(dropped) << Qt::endl;
    }
    const Table<ValueRow>& colours = reading.doc.colours;
    if (colours.isEmpty()) {
        err << "velluno-cli colours: the skin has no colour record (an empty scheme does not load)" << Qt::endl;
        problems = true;
    }

    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(ColourSchemeText(colours)) < 0 || !out.flush()) {
        err << "velluno-cli colours: the standard output cannot be written" << Qt::endl;
        return kExitProblems;
    }

    // Rows that the editor would refuse to load: the scheme is printed whole,
    // for a comparison, but said not to load.
    int refused = 0;
    for (int r = 1; r <= colours.count(); ++r) {
        const ValueRow& row = colours.row(r);
        const QString key = row.key(), index = row.index();
        const QStringView fields[kSchemeFields] = {key, row.values[0], row.values[1], row.values[2], row.values[3],
                                                   index};
        const int bad = BadSchemeField(fields);
        if (bad < 0)
            continue;
        ++refused;
        err << "velluno-cli colours: row " << r << " (" << row.key() << "): field " << SchemeFieldName(bad)
            << " holds \"" << fields[bad].toString() << "\", which a colour scheme cannot load" << Qt::endl;
    }
    if (refused > 0) {
        err << "velluno-cli colours: " << refused << " row(s) would stop the scheme from loading" << Qt::endl;
        return kExitProblems;
    }
    return problems ? kExitProblems : kExitDone;
}

}  // namespace velluno::cli
