#include "testsupport.h"

#include "editor/shell.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
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

QMap<QString, QByteArray> Snapshot(const QString& dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(dir).relativeFilePath(path), ReadFile(path));
    }
    return files;
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
    quint32 x = seed * 2654435761u + 7;
    auto next = [&x] {
        x = x * 1664525u + 1013904223u;
        return char(x >> 24);
    };
    // Header, a 1 x 1 screen with two colours, the image, the trailer.
    const QByteArray head = QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
    const QByteArray image = QByteArray("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00"
                                        "\x02\x02\x44\x01\x00\x3B", 16);
    const int fixed = head.size() + 6 + image.size();
    // A comment of L bytes in k sub-blocks costs 3 + k + L bytes (1 <= k,
    // each block 1..255 bytes).
    const int room = size - fixed;
    if (room < 5) {
        QByteArray b(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            b[i] = next();
        if (size >= 6)
            memcpy(b.data(), "GIF89a", 6);
        return b;
    }
    int blocks = 1;
    while ((room - 3 - blocks + 254) / 255 > blocks)
        ++blocks;
    int payload = room - 3 - blocks;
    QByteArray b = head;
    for (int i = 0; i < 6; ++i)
        b += next();
    b += "\x21\xFE";
    for (int k = blocks; k > 0; --k) {
        // As even as needed: the last blocks take what is left.
        const int n = qMin(255, payload - (k - 1));
        b += char(n);
        for (int i = 0; i < n; ++i)
            b += next();
        payload -= n;
    }
    b += '\0';
    b += image;
    return b;
}

}  // namespace velluno::test
