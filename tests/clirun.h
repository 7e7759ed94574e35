#pragma once
// velluno-cli run as a batch runs it: without DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM (no command may need a display), its exit status and both
// of its output streams kept.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace velluno::test {

struct Run {
    int status = -1;  // -1 when it crashed
    QString out;
    QString err;
};

inline Run Cli(const QStringList& args, const QString& dir = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    if (!dir.isEmpty())
        p.setWorkingDirectory(dir);
    p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli"), args);
    if (!p.waitForFinished(60000))
        qFatal("velluno-cli did not finish");
    Run r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace velluno::test
