// velluno-cli script FILE: one session of the editor driven by a script.
#include "cli/commands.h"
#include "cli/script.h"

#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace velluno::cli {

int CmdScript(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() != 1) {
        err << "usage: velluno-cli script FILE   (FILE - reads standard input)" << Qt::endl;
        return 2;
    }
    const QString path = args.at(0);
    QFile file;
    bool opened = false;
    if (path == QLatin1String("-"))
        opened = file.open(stdin, QIODevice::ReadOnly);
    else {
        file.setFileName(path);
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        err << "velluno-cli: cannot read the script " << path << Qt::endl;
        return kScriptFailed;
    }
    const QByteArray text = file.readAll();
    const QString name = path == QLatin1String("-") ? QStringLiteral("<stdin>") : path;
    return RunScript(name, text, out, err);
}

}  // namespace velluno::cli
