#include "cli/oneshot.h"

#include "shell/startup.h"

namespace velluno::cli {

OneShot::OneShot(const QString& skin) : dialogs(skin), editor(dialogs)
{
    Form_Load(editor);
    report = OpenSkin(editor);
}

QString OneShot::openProblem() const
{
    if (!report.chosen)
        return QStringLiteral("no skin file was given");
    if (!report.completed)
        return QStringLiteral("the opening stopped: %1").arg(report.error);
    if (report.badMagic)
        return QStringLiteral("the file does not start with SKI1 (\"Formato del file skin non valido!\")");
    return QString();
}

QString OneShot::saveRefusal() const
{
    const QString problem = openProblem();
    if (!problem.isEmpty())
        return problem;
    if (report.noLines)
        return QStringLiteral("no line ends with a line feed (CR LF line ends?): saving would empty the skin");
    if (!editor.SaveEnabled)
        return QStringLiteral("only a skin named varavave.ski can be saved");
    return QString();
}

void OneShot::printMessages(QTextStream& out, int from) const
{
    for (int i = from; i < editor.messages.size(); ++i) {
        const Message& m = editor.messages.at(i);
        out << m.title << ' ' << m.text << '\n';
    }
}

}  // namespace velluno::cli
