#pragma once
// File-system helpers. Skins come from a system whose file names ignore letter
// case; on Linux every name the editor looks for is matched case-insensitively,
// and so are the folders of a path that does not exist as spelt.
#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

namespace velluno {

// "/" joined, without doubling a separator already there.
QString JoinPath(const QString& dir, const QString& name);

// The existing path for `path`: the last name replaced by the entry of its
// folder whose name matches it without regard to case (an exact match
// wins). The folder is kept as given when it exists; otherwise its folders
// are matched the same way, so that a path lower-cased as a whole still
// finds its file. Returns `path` unchanged when nothing matches.
// The same, but only for entries that are normal files / folders.
QString ResolveFile(const QString& path);
QString ResolveDir(const QString& path);
// The existing spelling of a folder's path, empty when there is no such
// folder: ResolveDir and DirExist in one look.
QString ExistingDir(const QString& path);

// True when the path names a normal file (name matched without regard to case).
bool FileExist(const QString& path);
bool DirExist(const QString& path);

// The names of the normal files of a folder (hidden ones left out), from the
// same cached listing as the lookups.
QStringList FolderFiles(const QString& dir);

// The normal files of one folder as they were when it was listed: for an
// operation that looks up hundreds of names in the same folder, perhaps
// while it writes there itself.
class FolderSnapshot {
public:
    explicit FolderSnapshot(const QString& dir);
    // Whether the folder held a file of this name, matched without regard to case.
    bool hasFile(QStringView name) const;
    // The existing spelling of `path` when it names a file of this folder
    // (an exact match wins), else `path` unchanged.
    QString resolve(const QString& path) const;
    // The size of the folder's file of this name (matched without regard to
    // case), -1 when the folder held none or it is gone: one look at the
    // file, for an operation that measures hundreds of them.
    qint64 fileLength(QStringView name) const;

    struct Files;

private:
    QString dir_;   // as given
    QString disk_;  // as spelt on the disk
    QByteArray diskPrefix_;  // disk_ and a separator, as the system spells it
    std::shared_ptr<const Files> files_;
};

// Pieces of a full path: 0 server of a network path, 1 drive, 2 folder,
// 3 name without extension, 4 extension (after the first dot of the name).
// Both "/" and "\" separate folders.
QString SplitPath(const QString& sPath, int Part);

// Opens a file for reading, unbuffered. A folder is refused as the system
// refuses to read one (EISDIR). On failure `errnum` holds the system's error
// number, which tells a missing file from a folder and from one that may not
// be read.
bool OpenForReading(QFile& file, const QString& path, int* errnum);
// The system's text for an error number.
QString SystemErrorText(int errnum);

// Reads a whole file; fails (ok = false, the system's reason in `why`, its
// error number in `errnum`) when it cannot be opened or read, or when it is
// larger than `limit` bytes (then `why` is empty and `errnum` 0).
QByteArray ReadWholeFile(const QString& path, bool* ok, qint64 limit = qint64(1) << 31,
                         QString* why = nullptr, int* errnum = nullptr);
// The size of a normal file, -1 when it does not exist.
qint64 FileLength(const QString& path);


}  // namespace velluno
