#include "skin/atomic.h"

#include "skin/files.h"
#include "skin/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryFile>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velluno {

namespace fs = std::filesystem;

namespace {

ReplaceFaultHook& FaultHook()
{
    static ReplaceFaultHook hook;
    return hook;
}

bool Allowed(ReplaceStep step, int index, const QString& target)
{
    const ReplaceFaultHook& hook = FaultHook();
    return !hook || hook(step, index, target);
}

fs::path FsPath(const QString& path)
{
#ifdef Q_OS_WIN
    return fs::path(path.toStdWString());
#else
    const QByteArray name = QFile::encodeName(path);
    return fs::path(std::string(name.constData(), size_t(name.size())));
#endif
}

QString SystemText(const std::error_code& ec) { return QString::fromLocal8Bit(ec.message().c_str()); }

// A failure with the reason of a file-system call.
SkinError Failure(ErrorKind code, const QString& target, const std::error_code& ec)
{
    SkinError e = SkinError::of(code, target, SystemText(ec));
    if (ec.category() == std::system_category() || ec.category() == std::generic_category())
        e.errnum = ec.value();
    return e;
}

// A target that exists as something else than a file: a folder is named as
// the system names one it is asked to write into.
SkinError NotAFile(const QString& target, const QFileInfo& info)
{
    return info.isDir() ? SkinError::ofSystem(ErrorKind::NotAFile, target, EISDIR)
                        : SkinError::of(ErrorKind::NotAFile, target);
}

// A failure of a Qt file call: errno, set to 0 before the call, names the
// system's reason when the call left one; else Qt's own text.
SkinError QtFailure(ErrorKind code, const QString& target, int errnum, const QString& qtText)
{
    return errnum ? SkinError::ofSystem(code, target, errnum) : SkinError::of(code, target, qtText);
}

// Flushes the file's data to the disk, so that a rename that follows never
// publishes a file whose blocks were not written yet.
bool SyncFile(QFile& file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}


struct Slot {
    QString target;    // the file replaced (a symbolic link is followed)
    QString temp;      // the new content, written and flushed
    QString aside;     // a second name of the old content; empty when there was none
    bool existed = false;
    bool placed = false;
};

QString HiddenSibling(const QString& target, const char* what)
{
    const QFileInfo info(target);
    return JoinPath(info.absolutePath(),
                       QStringLiteral(".%1.velluno-%2-%3")
                           .arg(info.fileName(), QLatin1String(what))
                           .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')));
}

QFileDevice::Permissions NewFileMode()
{
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
           QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
}

// Writes `length` bytes into a new hidden file beside `target`, with the
// target's permissions (or the usual ones for a new file); flushed to the
// disk as well when `sync`. On success `temp` names the file; on failure
// nothing is left behind.
SkinError WriteTemp(const QString& target, bool existed, const char* data, qint64 length, bool sync,
                    int index, QString* temp)
{
    QTemporaryFile file(HiddenSibling(target, "new") + QStringLiteral("-XXXXXX"));
    file.setAutoRemove(false);
    errno = 0;
    if (!file.open())
        return QtFailure(ErrorKind::CannotCreateTemp, target, errno, file.errorString());
    *temp = file.fileName();
    auto fail = [&](ErrorKind code, int errnum, const QString& why) {
        file.close();
        if (!temp->isEmpty())
            QFile::remove(*temp);
        temp->clear();
        if (errnum == ENOSPC || errnum == EDQUOT)
            code = ErrorKind::DiskFull;
        return QtFailure(code, target, errnum, why);
    };
    // A name the folder cannot hold makes Qt fall back to a file without a
    // name, which no rename can put in place.
    if (temp->isEmpty())
        return fail(ErrorKind::CannotCreateTemp, ENAMETOOLONG, QString());
    if (!Allowed(ReplaceStep::Write, index, target))
        return fail(ErrorKind::DiskFull, ENOSPC, QString());
    errno = 0;
    if (file.write(data, length) != length || !(sync ? SyncFile(file) : file.flush()))
        return fail(ErrorKind::CannotWrite, errno, file.errorString());
    errno = 0;
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(ErrorKind::CannotWrite, errno, file.errorString());
    QFile::setPermissions(*temp, existed ? QFile::permissions(target) : NewFileMode());
    return SkinError();
}

}  // namespace

void SetReplaceFaultHook(ReplaceFaultHook hook) { FaultHook() = std::move(hook); }

SkinError ReplaceFiles(const QVector<PendingFile>& files)
{
    SkinError out;
    QVector<Slot> parts(files.size());

    // Puts the folder back as it was: targets replaced so far get their old
    // content back (or disappear when they did not exist), temporary files
    // and second names go.
    auto undo = [&]() {
        for (int i = parts.size() - 1; i >= 0; --i) {
            Slot& s = parts[i];
            std::error_code ec;
            if (s.placed) {
                if (s.existed)
                    fs::rename(FsPath(s.aside), FsPath(s.target), ec);
                else
                    fs::remove(FsPath(s.target), ec);
                if (ec && s.existed)
                    out.kept << s.aside;
                else
                    s.aside.clear();
                s.placed = false;
            }
            if (!s.temp.isEmpty())
                QFile::remove(s.temp);
            if (!s.aside.isEmpty() && !out.kept.contains(s.aside))
                QFile::remove(s.aside);
        }
    };
    auto fail = [&](SkinError error) {
        out = std::move(error);
        undo();
        return out;
    };

    // 1. Every new content into its temporary file; no target is touched.
    for (int i = 0; i < files.size(); ++i) {
        Slot& s = parts[i];
        QFileInfo info(files[i].target);
        if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
            info = QFileInfo(info.canonicalFilePath());
        s.target = info.absoluteFilePath();
        s.existed = info.exists();
        if (s.existed && !info.isFile())
            return fail(NotAFile(s.target, info));
        const QByteArray& bytes = files[i].bytes;
        SkinError written = WriteTemp(s.target, s.existed, bytes.constData(), bytes.size(), false, i, &s.temp);
        if (!written.ok())
            return fail(written);
    }
    // Durable before any rename publishes them: one call per folder, so
    // that a save that also writes a few dozen images is not a few dozen
    // waits for the disk.
    {
        QMap<QString, QStringList> byFolder;
        for (const Slot& s : parts)
            byFolder[QFileInfo(s.target).absolutePath()] << s.temp;
        for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it)
            SyncFolderFiles(it.key(), it.value());
    }

    // 2. The targets in order. The old content gets a second name first, so
    // that it can be put back when a later replacement fails; the rename then
    // swaps the new content in at once.
    for (int i = 0; i < parts.size(); ++i) {
        Slot& s = parts[i];
        if (s.existed) {
            std::error_code ec;
            for (int attempt = 0; attempt < 8; ++attempt) {
                s.aside = HiddenSibling(s.target, "old");
                ec.clear();
                fs::create_hard_link(FsPath(s.target), FsPath(s.aside), ec);
                if (!ec || ec != std::errc::file_exists)
                    break;
            }
            if (ec) {
                // No hard links here (some shared or FAT file systems): a copy.
                ec.clear();
                fs::copy_file(FsPath(s.target), FsPath(s.aside), fs::copy_options::none, ec);
                if (ec) {
                    s.aside.clear();
                    return fail(Failure(ErrorKind::CannotKeepOld, s.target, ec));
                }
            }
        }
        if (!Allowed(ReplaceStep::Replace, i, s.target))
            return fail(SkinError::of(ErrorKind::CannotReplace, s.target));
        std::error_code ec;
        fs::rename(FsPath(s.temp), FsPath(s.target), ec);
        if (ec)
            return fail(Failure(ErrorKind::CannotReplace, s.target, ec));
        s.temp.clear();
        s.placed = true;
    }

    // 3. All in place: the old contents are no longer needed.
    QStringList folders;
    for (Slot& s : parts) {
        if (!s.aside.isEmpty())
            QFile::remove(s.aside);
        const QString dir = QFileInfo(s.target).absolutePath();
        if (!folders.contains(dir))
            folders << dir;
    }
    for (const QString& dir : folders)
        SyncFolder(dir);
    return SkinError();
}

AtomicFile::AtomicFile(QString target) : target_(std::move(target)) {}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)), temp_(std::move(other.temp_))
{
    other.temp_.clear();
}

AtomicFile::~AtomicFile()
{
    if (!temp_.isEmpty())
        QFile::remove(temp_);
}

SkinError AtomicFile::stage(const char* data, qint64 length)
{
    QFileInfo info(target_);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        info = QFileInfo(info.canonicalFilePath());
    const bool existed = info.exists();
    if (existed && !info.isFile())
        return NotAFile(target_, info);
    if (!temp_.isEmpty())
        QFile::remove(temp_);
    temp_.clear();
    const QString target = info.absoluteFilePath();
    SkinError e = WriteTemp(target, existed, data, length, false, -1, &temp_);
    if (e.ok())
        target_ = target;
    return e;
}

SkinError AtomicFile::commit()
{
    if (temp_.isEmpty())
        return SkinError::of(ErrorKind::CannotWrite, target_);
    std::error_code ec;
    fs::rename(FsPath(temp_), FsPath(target_), ec);
    if (ec) {
        QFile::remove(temp_);
        temp_.clear();
        return Failure(ErrorKind::CannotReplace, target_, ec);
    }
    temp_.clear();
    return SkinError();
}

SkinError WriteFileAtomically(const QString& target, const QByteArray& bytes)
{
    AtomicFile file(target);
    SkinError e = file.stage(bytes);
    if (!e.ok())
        return e;
    const QString dir = QFileInfo(file.target()).absolutePath();
    SyncFolderFiles(dir, {file.staged()});
    e = file.commit();
    if (e.ok())
        SyncFolder(dir);
    return e;
}

QString KeepNumberedCopy(const QString& target, SkinError* error, const FolderSnapshot* listed)
{
    *error = SkinError();
    // Far more than anyone edits one image between exports; the bound only
    // keeps a folder full of numbered names from turning into a long loop.
    constexpr int kMaxCopies = 9999;
    for (int n = 1; n <= kMaxCopies; ++n) {
        const QString copy = target + QLatin1Char('.') + QString::number(n);
        if (listed ? listed->hasFile(QStringView(copy).mid(copy.lastIndexOf(QLatin1Char('/')) + 1))
                   : FileExist(copy) || DirExist(copy))
            continue;
        std::error_code ec;
        fs::create_hard_link(FsPath(target), FsPath(copy), ec);
        if (!ec)
            return copy;
        if (ec == std::errc::file_exists)
            continue;
        // No hard links here: the bytes, written as every file is.
        bool ok = false;
        QString why;
        const QByteArray bytes = ReadWholeFile(target, &ok, qint64(1) << 31, &why);
        if (!ok) {
            *error = SkinError::of(ErrorKind::CannotKeepOld, target, why);
            return QString();
        }
        *error = WriteFileAtomically(copy, bytes);
        return error->ok() ? copy : QString();
    }
    *error = SkinError::of(ErrorKind::CannotKeepOld, target);
    return QString();
}

void SyncFolderFiles(const QString& dir, const QStringList& files)
{
    if (files.size() > 1 && SyncFileSystemOf(dir))
        return;
#ifdef Q_OS_UNIX
    for (const QString& f : files) {
        const int fd = ::open(QFile::encodeName(f).constData(), O_RDONLY);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
#else
    Q_UNUSED(files);
#endif
}

void SyncFolder(const QString& dir)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(dir);
#endif
}

}  // namespace velluno
