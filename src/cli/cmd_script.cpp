// velluno-cli script FILE: one session of the editor driven by a script.
#include "cli/commands.h"
#include "cli/script.h"

#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace velluno::cli {

int RunScript(const QStringList& args, const QCommandLineParser&)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString path = args.first();
    QFile file;
    bool opened = false;
    if (path == QLatin1String("-"))
        opened = file.open(stdin, QIODevice::ReadOnly);
    else {
        file.setFileName(path);
        opened = file.open(QIODevice::ReadOnly);
    }
    // An input that cannot be opened, as for every command.
    if (!opened) {
        err << "velluno-cli script: cannot read the script " << path << " (" << file.errorString() << ")" << Qt::endl;
        return kExitUnusable;
    }
    const QByteArray text = file.readAll();
    const QString name = path == QLatin1String("-") ? QStringLiteral("<stdin>") : path;
    return RunScript(name, text, out, err);
}

}  // namespace velluno::cli
