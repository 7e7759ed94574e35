#pragma once
#include <QMap>
// Shared pieces of the tests: dialogs answered from a queue, and skins
// written into temporary folders.
#include "editor/editor.h"

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <optional>

namespace velluno::test {

// Dialogs whose answers are queued by the test; a dialog with nothing queued
// cancels (file, colour) or answers No (questions), and counts as unanswered.
class QueuedDialogs : public Dialogs {
public:
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<quint32>> colours;
    std::deque<Answer> answers;
    int unanswered = 0;

    std::optional<QString> openFile(const QString&, const QString&, const QString&) override;
    std::optional<quint32> chooseColour(quint32) override;
    Answer message(const QString&, const QString&, MsgIcon, MsgButtons buttons) override;
};

// An editor with its own dialogs, started as the program starts.
struct Session {
    QueuedDialogs dialogs;
    Editor editor{dialogs};
    Session();
    // Opens `path` through LOAD, as the user would.
    void open(const QString& path);
};

// Writes `bytes` to dir/name, creating folders; fails the test on error.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);
// Every file under `dir`, subfolders and hidden files included, by its
// name relative to `dir`, with its bytes: a folder compared before and after.
QMap<QString, QByteArray> Snapshot(const QString& dir);
// Copies the sample skin folder (without extracted images) into `dir`.
void CopySample(const QString& dir);
QString SampleDir();
QString CorpusDir();
// A GIF of exactly `size` bytes, different for each seed: one pixel of a
// seeded colour and a comment of seeded bytes that fills it up. From 40
// bytes on it decodes; below that it is seeded bytes behind a GIF
// signature, no picture.
QByteArray TestImage(int size, quint32 seed);  // empty when the folder of third-party images is absent

}  // namespace velluno::test
