#include "document/atomic.h"

#include "document/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryFile>

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

}  // namespace

void SetReplaceFaultHook(ReplaceFaultHook hook) { FaultHook() = std::move(hook); }

ReplaceOutcome ReplaceFiles(const QVector<PendingFile>& files)
{
    ReplaceOutcome out;
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
    auto fail = [&](const QString& file, const QString& reason) {
        out.ok = false;
        out.file = file;
        out.reason = reason;
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
            return fail(s.target, QStringLiteral("esiste già e non è un file"));

        QTemporaryFile temp(HiddenSibling(s.target, "new") + QStringLiteral("-XXXXXX"));
        temp.setAutoRemove(false);
        if (!temp.open())
            return fail(s.target, QStringLiteral("impossibile creare un file temporaneo nella cartella (%1)")
                                      .arg(temp.errorString()));
        s.temp = temp.fileName();
        const QByteArray& bytes = files[i].bytes;
        if (!Allowed(ReplaceStep::Write, i, s.target))
            return fail(s.target, QStringLiteral("spazio su disco esaurito"));
        if (temp.write(bytes) != bytes.size() || !SyncFile(temp))
            return fail(s.target, temp.errorString());
        temp.close();
        if (temp.error() != QFileDevice::NoError)
            return fail(s.target, temp.errorString());
        const QFileDevice::Permissions mode =
            s.existed ? QFile::permissions(s.target)
                      : (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                         QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        QFile::setPermissions(s.temp, mode);
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
                    return fail(s.target, QStringLiteral("impossibile conservare il contenuto precedente (%1)")
                                              .arg(SystemText(ec)));
                }
            }
        }
        if (!Allowed(ReplaceStep::Replace, i, s.target))
            return fail(s.target, QStringLiteral("il file non può essere sostituito"));
        std::error_code ec;
        fs::rename(FsPath(s.temp), FsPath(s.target), ec);
        if (ec)
            return fail(s.target, QStringLiteral("il file non può essere sostituito (%1)").arg(SystemText(ec)));
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
    out.ok = true;
    return out;
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
