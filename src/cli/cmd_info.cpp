// velluno-cli info SKIN: what a skin author wants to know about a skin, read
// exactly as the editor opens it.
#include "cli/commands.h"
#include "cli/oneshot.h"

#include <QTextStream>
#include <map>

namespace velluno::cli {

int CmdInfo(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        err << "usage: velluno-cli info SKIN\n";
        return 2;
    }
    const OneShot session(args.first());
    const Editor& editor = session.editor;
    const OpenReport& report = session.report;
    const Document& doc = editor.doc;

    out << "Skin:           " << editor.SkinDir << '/' << editor.SkinName << ".ski\n";
    out << "Image folder:   " << editor.GifDir << '\n';
    out << "Lines:          " << doc.LineCount << '\n';

    std::map<QString, int> types;
    for (int i = 1; i < doc.LineCount; ++i) {
        const QString& line = doc.SkinLines.at(i);
        types[line.isEmpty() ? QStringLiteral("(empty)") : QString(line.at(0))]++;
    }
    out << "Records by type:";
    if (types.empty())
        out << " none";
    for (const auto& [type, n] : types)
        out << "  " << type << ": " << n;
    out << '\n';

    std::map<QString, int> states;
    QStringList missing;
    for (const Row& row : doc.L_Values.rows()) {
        states[row.cell(ColState)]++;
        if (IsState(row, kStateNotFound))
            missing << row.key();
    }
    out << "Graphic objects: " << doc.L_Values.count();
    for (const auto& [state, n] : states)
        out << "  " << state << ": " << n;
    out << '\n';

    auto numbered = [](const Table& t) {
        int n = 0;
        for (const Row& r : t.rows())
            n += r.key() != QLatin1String("-");
        return n;
    };
    out << "Colour rows:    " << doc.L_RGBA.count() << " (" << numbered(doc.L_RGBA) << " numbered)\n";
    out << "Dimension rows: " << doc.L_Dim.count() << " (" << numbered(doc.L_Dim) << " numbered)\n";
    out << "Saving:         " << (editor.SaveEnabled ? "enabled" : "disabled") << '\n';

    QStringList problems;
    if (!missing.isEmpty())
        problems << QStringLiteral("%1 object(s) without image file in %2 (run \"velluno-cli export\"): %3")
                        .arg(missing.size())
                        .arg(editor.GifDir, missing.join(QLatin1Char(' ')));
    if (!report.completed)
        problems << QStringLiteral("the opening stopped at slot %1: %2").arg(report.errorSlot).arg(report.error);
    if (!editor.SaveEnabled)
        problems << QStringLiteral("saving is disabled: %1").arg(session.saveRefusal());
    for (const Message& m : editor.messages)
        problems << QStringLiteral("message \"%1\" %2").arg(m.title, m.text);
    out << "Problems:       " << (problems.isEmpty() ? "none" : QString::number(problems.size())) << '\n';
    for (const QString& p : problems)
        out << "  - " << p << '\n';

    return session.openProblem().isEmpty() ? 0 : 1;
}

}  // namespace velluno::cli
