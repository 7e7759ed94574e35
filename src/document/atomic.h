#pragma once
// Replacing a group of files so that each of them is, at every moment, either
// wholly its old self or wholly its new self, and so that the group is either
// replaced as a whole or left as it was.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace velluno {

// One file of the group: its path and its whole new content.
struct PendingFile {
    QString target;
    QByteArray bytes;
};

struct ReplaceOutcome {
    bool ok = false;
    QString file;           // the file the failure concerns
    QString reason;         // why, in Italian
    QStringList kept;       // old contents that could not be put back, kept under these names
};

// Writes every new content into a hidden temporary file beside its target
// and flushes it to disk; only when all of them are written are the targets
// replaced, in the given order, each by an atomic rename. The old content of
// every replaced target stays reachable through a hard link (a copy where
// links are not supported) until the whole group is in place, so that a
// replacement that fails puts back the files replaced before it.
ReplaceOutcome ReplaceFiles(const QVector<PendingFile>& files);

// Makes the renames in a folder durable; a folder that cannot be opened for
// this is not an error (some file systems refuse it).
void SyncFolder(const QString& dir);

// Failure injection for the tests. The hook is asked before each temporary
// file is written (step Write) and before each target is replaced (step
// Replace), with the file's index in the group; returning false makes that
// step fail as a full disk or a refused rename would.
enum class ReplaceStep { Write, Replace };
using ReplaceFaultHook = std::function<bool(ReplaceStep step, int index, const QString& target)>;
void SetReplaceFaultHook(ReplaceFaultHook hook);

}  // namespace velluno
