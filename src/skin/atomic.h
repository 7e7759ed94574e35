#pragma once
// Replacing a group of files so that each of them is, at every moment, either
// wholly its old self or wholly its new self, and so that the group is either
// replaced as a whole or left as it was.
#include "skin/errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace velluno {

class FolderSnapshot;

// One file of the group: its path and its whole new content.
struct PendingFile {
    QString target;
    QByteArray bytes;
};

// Writes every new content into a hidden temporary file beside its target
// and flushes it to disk; only when all of them are written are the targets
// replaced, in the given order, each by an atomic rename. The old content of
// every replaced target stays reachable through a hard link (a copy where
// links are not supported) until the whole group is in place, so that a
// replacement that fails puts back the files replaced before it.
// A failure names the file, the step and the system's reason; `kept` lists
// old contents that could not be put back.
SkinError ReplaceFiles(const QVector<PendingFile>& files);

// One file written so that it is, at every moment, either wholly its old
// self or wholly its new self: the bytes go into a hidden temporary file
// beside the target, which replaces the target by an atomic rename. Every
// single file the program writes goes through this (object images, dumps,
// pictures). Writing many files, stage them all, make them durable with
// one SyncFolderFiles, then commit each.
class AtomicFile {
public:
    explicit AtomicFile(QString target);
    ~AtomicFile();  // a staged file that was not committed is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    AtomicFile(AtomicFile&& other) noexcept;

    // Writes the whole new content into the temporary file, flushed to the
    // system but not synchronised to the disk.
    SkinError stage(const char* data, qint64 length);
    SkinError stage(const QByteArray& bytes) { return stage(bytes.constData(), bytes.size()); }
    // Renames the staged file over the target.
    SkinError commit();
    const QString& target() const { return target_; }
    const QString& staged() const { return temp_; }

private:
    QString target_;
    QString temp_;
};

// Stages, synchronises and commits one file.
SkinError WriteFileAtomically(const QString& target, const QByteArray& bytes);

// Keeps the present content of `target` beside it under the first numbered
// name that is free in any letter case: target.1, target.2, ... A hard
// link where the file system has them (nothing is copied, and the name
// appears whole), else a copy written as every file is. Returns the name;
// an empty text and `error` when the content could not be kept.
// `listed`: the folder as listed before, for an operation that keeps many
// copies in one folder (each look at the disk would list it again);
// names taken since are found when the link is made.
QString KeepNumberedCopy(const QString& target, SkinError* error, const FolderSnapshot* listed = nullptr);

// Makes the staged files of one folder durable at once (one call into the
// system for the whole file system where it can, else one per file).
void SyncFolderFiles(const QString& dir, const QStringList& files);

// Makes the renames in a folder durable; a folder that cannot be opened for
// this is not an error (some file systems refuse it).
void SyncFolder(const QString& dir);

// Failure injection for the tests. The hook is asked before each temporary
// file is written (step Write) and before each target is replaced (step
// Replace), with the file's index in the group; returning false makes that
// step fail as a full disk or a refused rename would.
enum class ReplaceStep { Write, Replace };
// Single files (AtomicFile) ask with step Write and index -1.
using ReplaceFaultHook = std::function<bool(ReplaceStep step, int index, const QString& target)>;
void SetReplaceFaultHook(ReplaceFaultHook hook);

}  // namespace velluno
