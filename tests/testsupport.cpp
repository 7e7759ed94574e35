#include "testsupport.h"

#include "editor/shell.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <cstring>

namespace velluno::test {

std::optional<QString> QueuedDialogs::openFile(const QString&, const QString&, const QString&)
{
    if (files.empty()) {
        ++unanswered;
        return std::nullopt;
    }
    const bool cancel = !files.front().has_value();
    const QString path = cancel ? QString() : *files.front();
    files.pop_front();
    if (cancel)
        return std::nullopt;
    return path;
}

std::optional<quint32> QueuedDialogs::chooseColour(quint32)
{
    if (colours.empty()) {
        ++unanswered;
        return std::nullopt;
    }
    auto a = colours.front();
    colours.pop_front();
    return a;
}

Answer QueuedDialogs::message(const QString&, const QString&, MsgIcon, MsgButtons buttons)
{
    if (buttons == MsgButtons::Ok)
        return Answer::Ok;
    if (answers.empty()) {
        ++unanswered;
        return Answer::No;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

Session::Session()
{
    editor.now = [] { return QDateTime(QDate(2026, 3, 7), QTime(9, 5)); };
    editor.defaultDir = QStringLiteral(VELLUNO_SOURCE_DIR "/assets/default");
    Form_Load(editor);
}

void Session::open(const QString& path)
{
    dialogs.files.push_back(path);
    TB0_ButtonClick(editor, QStringLiteral("LOAD"));
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QString SampleDir() { return QStringLiteral(VELLUNO_SOURCE_DIR "/examples/varavave"); }

void CopySample(const QString& dir)
{
    QDir().mkpath(dir);
    const QDir sample(SampleDir());
    for (const QString& name : sample.entryList(QDir::Files | QDir::Hidden))
        QFile::copy(sample.filePath(name), QDir(dir).filePath(name));
}

QString CorpusDir()
{
    const QString dir = qEnvironmentVariable("VELLUNO_CORPUS");
    if (dir.isEmpty() || !QFileInfo(dir + QStringLiteral("/gif-test-suite")).isDir())
        return QString();
    return dir;
}

QByteArray TestImage(int size, quint32 seed)
{
    QByteArray b(size, Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 7;
    for (int i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = char(x >> 24);
    }
    if (size >= 6)
        memcpy(b.data(), "GIF89a", 6);
    return b;
}

}  // namespace velluno::test
