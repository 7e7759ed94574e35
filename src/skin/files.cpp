#include "skin/files.h"

#include <algorithm>
#include <cstring>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QVector>
#include <qplatformdefs.h>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace velluno {

// The normal files of a listed folder, made once per listing and shared by
// every snapshot of it. Names are tested through a table of their hashes,
// with the lower-case names back to back in one text: an opening tests
// hundreds of image names, and each test must cost no more than hashing a
// few characters and comparing one name.
struct FolderSnapshot::Files {
    QHash<QString, QString> names;  // lower case -> the name on disk
    struct Slot {
        quint64 hash = 0;
        int start = 0;
        int length = -1;  // -1: free
    };
    QString lower;         // the keys of `names`, back to back
    QVector<Slot> table;   // a power of two long, at most half full

    // Four characters at a time; the length is mixed in, so that a name
    // and the same name with zeros after it differ.
    static quint64 Hash(QStringView s)
    {
        const char16_t* p = s.utf16();
        qsizetype n = s.size();
        quint64 h = 0x9E3779B97F4A7C15ull ^ quint64(n);
        for (; n >= 4; n -= 4, p += 4) {
            quint64 word;
            std::memcpy(&word, p, sizeof word);
            h = (h ^ word) * 0xFF51AFD7ED558CCDull;
        }
        quint64 tail = 0;
        std::memcpy(&tail, p, size_t(n) * sizeof(char16_t));
        h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
        return h ^ (h >> 29);
    }

    explicit Files(QHash<QString, QString> byName) : names(std::move(byName))
    {
        qsizetype size = 16;
        while (size < 2 * names.size())
            size *= 2;
        table.resize(size);
        for (auto it = names.cbegin(); it != names.cend(); ++it) {
            const quint64 h = Hash(it.key());
            quint64 at = h & quint64(size - 1);
            while (table.at(at).length >= 0)
                at = (at + 1) & quint64(size - 1);
            table[at] = Slot{h, int(lower.size()), int(it.key().size())};
            lower += it.key();
        }
    }

    bool contains(QStringView name) const
    {
        const quint64 h = Hash(name);
        const quint64 mask = quint64(table.size() - 1);
        for (quint64 at = h & mask;; at = (at + 1) & mask) {
            const Slot& slot = table.at(at);
            if (slot.length < 0)
                return false;
            if (slot.hash == h && QStringView(lower).mid(slot.start, slot.length) == name)
                return true;
        }
    }
};

namespace {

bool IsSeparator(QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); }

enum class Kind { Any, File, Dir };

// The entries of a folder by their lower-case names, read once and kept while
// the folder's modification time stays the same (adding, removing or renaming
// an entry changes it): linking hundreds of object images must cost neither a
// listing nor a stat per image.
class FolderIndex {
public:
    struct Entry {
        QString name;
        bool file = false;
        bool dir = false;
    };

    // Every normal file of `dir`: lower-case name -> name on disk, an exact
    // lower-case spelling preferred. None for what is no folder.
    std::shared_ptr<const FolderSnapshot::Files> files(const QString& dir)
    {
        QMutexLocker lock(&mutex_);
        Listing* listing = fresh(dir);
        if (!listing)
            return std::make_shared<const FolderSnapshot::Files>(QHash<QString, QString>());
        if (!listing->files) {
            QHash<QString, QString> names;
            for (auto it = listing->entries.cbegin(); it != listing->entries.cend(); ++it)
                for (const Entry& e : it.value())
                    if (e.file && (!names.contains(it.key()) || e.name == it.key()))
                        names.insert(it.key(), e.name);
            listing->files = std::make_shared<const FolderSnapshot::Files>(std::move(names));
        }
        return listing->files;
    }

    QStringList fileNames(const QString& dir)
    {
        QMutexLocker lock(&mutex_);
        QStringList names;
        if (const Listing* listing = fresh(dir))
            for (const QVector<Entry>& entries : listing->entries)
                for (const Entry& e : entries)
                    if (e.file && !e.name.startsWith(QLatin1Char('.')))
                        names.append(e.name);
        return names;
    }

    // The entries of `dir` whose names match `name` without regard to case;
    // `listed` tells whether `dir` is a folder at all.
    QVector<Entry> matches(const QString& dir, const QString& name, bool* listed)
    {
        QMutexLocker lock(&mutex_);
        const Listing* listing = fresh(dir);
        *listed = listing != nullptr;
        return listing ? listing->entries.value(name.toLower()) : QVector<Entry>();
    }

private:
    struct Listing;

    // The listing of `dir`, read again when the folder changed; null when it
    // is no folder. Called with the mutex held.
    Listing* fresh(const QString& dir)
    {
        QT_STATBUF st;
        const QByteArray native = QFile::encodeName(dir);
        if (QT_STAT(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return nullptr;
        const qint64 stamp = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        Listing& listing = listings_[dir];
        if (!listing.valid || listing.stamp != stamp || listing.inode != st.st_ino) {
            listing.entries.clear();
            listing.files.reset();
            listing.stamp = stamp;
            listing.inode = st.st_ino;
            listing.valid = Read(native, &listing.entries);
        }
        return listing.valid ? &listing : nullptr;
    }

    struct Listing {
        bool valid = false;
        qint64 stamp = 0;
        quint64 inode = 0;
        QHash<QString, QVector<Entry>> entries;
        std::shared_ptr<const FolderSnapshot::Files> files;  // made when first asked for
    };

    static bool Read(const QByteArray& dir, QHash<QString, QVector<Entry>>* entries)
    {
        DIR* d = opendir(dir.constData());
        if (!d)
            return false;
        while (dirent* e = readdir(d)) {
            if (qstrcmp(e->d_name, ".") == 0 || qstrcmp(e->d_name, "..") == 0)
                continue;
            Entry entry;
            entry.name = QFile::decodeName(e->d_name);
            if (e->d_type == DT_REG || e->d_type == DT_DIR) {
                entry.file = e->d_type == DT_REG;
                entry.dir = e->d_type == DT_DIR;
            } else {
                // Links and file systems without types: follow them, as open would.
                QT_STATBUF st;
                const QByteArray full = dir + '/' + e->d_name;
                if (QT_STAT(full.constData(), &st) == 0) {
                    entry.file = S_ISREG(st.st_mode);
                    entry.dir = S_ISDIR(st.st_mode);
                }
            }
            (*entries)[entry.name.toLower()].append(entry);
        }
        closedir(d);
        return true;
    }

    QMutex mutex_;
    QHash<QString, Listing> listings_;
};

FolderIndex& Index()
{
    static FolderIndex index;
    return index;
}

bool HasKind(const FolderIndex::Entry& e, Kind kind)
{
    return kind == Kind::Any || (kind == Kind::File ? e.file : e.dir);
}

// The existing path for `path`, or an empty text when nothing matches.
QString Find(const QString& path, Kind kind)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && IsSeparator(trimmed.back()))
        trimmed.chop(1);
    int cut = trimmed.size() - 1;
    while (cut >= 0 && !IsSeparator(trimmed.at(cut)))
        --cut;
    const QString name = trimmed.mid(cut + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        const QFileInfo info(trimmed);
        const bool ok = kind == Kind::Any ? info.exists() : kind == Kind::File ? info.isFile() : info.isDir();
        return ok ? path : QString();
    }
    const QString dir = cut < 0 ? QStringLiteral(".") : (cut == 0 ? QStringLiteral("/") : trimmed.left(cut));
    QString folder = cut < 0 ? QString() : trimmed.left(cut + 1);
    bool listed = false;
    QVector<FolderIndex::Entry> candidates = Index().matches(dir, name, &listed);
    if (!listed && cut > 0) {
        // The folder is not there as spelt (a path lower-cased as a whole,
        // or typed in another case): each folder of the path is looked for
        // the same way, up to the first one that exists as spelt. The
        // common case, a folder that exists, costs nothing more.
        const QString found = Find(dir, Kind::Dir);
        if (!found.isEmpty() && found != dir) {
            candidates = Index().matches(found, name, &listed);
            folder = found + trimmed.at(cut);
        }
    }
    const FolderIndex::Entry* chosen = nullptr;
    for (const FolderIndex::Entry& e : candidates) {
        if (!HasKind(e, kind))
            continue;
        if (e.name == name) {  // an exact match wins
            chosen = &e;
            break;
        }
        if (!chosen)
            chosen = &e;
    }
    if (!chosen)
        return QString();
    QString resolved = folder + chosen->name;
    if (trimmed.size() != path.size())
        resolved += path.mid(trimmed.size());
    return resolved;
}

QString Resolve(const QString& path, Kind kind)
{
    if (path.isEmpty())
        return path;
    const QString found = Find(path, kind);
    return found.isEmpty() ? path : found;
}

}  // namespace

QString JoinPath(const QString& dir, const QString& name)
{
    if (dir.isEmpty())
        return name;
    if (IsSeparator(dir.back()))
        return dir + name;
    return dir + QLatin1Char('/') + name;
}


namespace {
QString WithoutTrailingSeparators(QString dir)
{
    while (dir.size() > 1 && IsSeparator(dir.back()))
        dir.chop(1);
    return dir.isEmpty() ? QStringLiteral(".") : dir;
}
}  // namespace

QStringList FolderFiles(const QString& dir)
{
    return Index().fileNames(WithoutTrailingSeparators(dir));
}

FolderSnapshot::FolderSnapshot(const QString& dir) : dir_(WithoutTrailingSeparators(dir))
{
    // A folder named in another letter case than on the disk is listed
    // under its spelling on the disk.
    const QString onDisk = ExistingDir(dir_);
    disk_ = onDisk.isEmpty() ? dir_ : WithoutTrailingSeparators(onDisk);
    diskPrefix_ = QFile::encodeName(JoinPath(disk_, QString()));
    if (!diskPrefix_.endsWith('/'))
        diskPrefix_ += '/';
    files_ = Index().files(disk_);
}

bool FolderSnapshot::hasFile(QStringView name) const
{
    // Looked up in place, without a copy of its own, when the name is in
    // lower case already, as the object images' names are.
    for (QChar c : name)
        if (c.unicode() >= 0x80 || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')))
            return files_->contains(name.toString().toLower());
    return files_->contains(name);
}

QString FolderSnapshot::resolve(const QString& path) const
{
    const int cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QString folder = cut < 0 ? QStringLiteral(".") : WithoutTrailingSeparators(path.left(cut + 1));
    if (folder != dir_)
        return ResolveFile(path);
    const auto found = files_->names.constFind(path.mid(cut + 1).toLower());
    if (found == files_->names.constEnd())
        return path;
    return disk_ == dir_ ? path.left(cut + 1) + *found : JoinPath(disk_, *found);
}

namespace {
// The size of a normal file, -1 when there is none.
qint64 StatLength(const QByteArray& native)
{
    QT_STATBUF st;
    if (QT_STAT(native.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return qint64(st.st_size);
}
}  // namespace

qint64 FolderSnapshot::fileLength(QStringView name) const
{
    // Names the program forms are plain lower-case ASCII ("562.gif"), and
    // are spelt so on the disk nearly always: then the file is looked at
    // under that name directly, without a copy of the name.
    bool plain = true;
    for (QChar c : name)
        plain = plain && c.unicode() < 0x80 && !(c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    if (plain && files_->contains(name)) {
        QByteArray native = diskPrefix_;
        native.reserve(native.size() + name.size());
        for (QChar c : name)
            native += char(c.unicode());
        const qint64 length = StatLength(native);
        if (length >= 0)
            return length;
    }
    const auto found = files_->names.constFind(name.toString().toLower());
    if (found == files_->names.constEnd())
        return -1;
    return StatLength(QFile::encodeName(JoinPath(disk_, *found)));
}
QString ResolveFile(const QString& path) { return Resolve(path, Kind::File); }
QString ResolveDir(const QString& path) { return Resolve(path, Kind::Dir); }

bool FileExist(const QString& path)
{
    if (path.trimmed().isEmpty())
        return false;
    return !Find(path, Kind::File).isEmpty();
}

bool DirExist(const QString& path) { return !ExistingDir(path).isEmpty(); }

QString ExistingDir(const QString& path)
{
    if (path.trimmed().isEmpty())
        return QString();
    return Find(path, Kind::Dir);
}

QString SplitPath(const QString& sPath, int Part)
{
    switch (Part) {
    case 0: {
        if (!sPath.startsWith(QLatin1String("\\\\")) && !sPath.startsWith(QLatin1String("//")))
            return QString();
        int end = 2;
        while (end < sPath.size() && !IsSeparator(sPath.at(end)))
            ++end;
        return sPath.mid(2, end - 2);
    }
    case 1:
        if (sPath.startsWith(QLatin1String("\\\\")))
            return QString();
        return sPath.left(2);
    case 2:
    case 3:
    case 4: {
        // Scan backwards: every dot met before the last separator moves the
        // extension's start; the last separator ends the scan.
        int dot = -1;
        int sep = -1;
        for (int i = sPath.size() - 1; i >= 0; --i) {
            const QChar c = sPath.at(i);
            if (IsSeparator(c)) {
                sep = i;
                break;
            }
            if (c == QLatin1Char('.'))
                dot = i;
        }
        if (Part == 2)
            return sep < 0 ? QString() : sPath.left(sep);
        const int nameStart = sep + 1;
        if (Part == 3)
            return dot < 0 ? sPath.mid(nameStart) : sPath.mid(nameStart, dot - nameStart);
        return dot < 0 ? QString() : sPath.mid(dot + 1);
    }
    default:
        return QString();
    }
}

bool OpenForReading(QFile& file, const QString& path, int* errnum)
{
    *errnum = 0;
    const int fd = QT_OPEN(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *errnum = errno;
        return false;
    }
    // A folder opens on Linux; only its reading fails, later and vaguely.
    QT_STATBUF st;
    if (QT_FSTAT(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        QT_CLOSE(fd);
        *errnum = EISDIR;
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        QT_CLOSE(fd);
        *errnum = EIO;
        return false;
    }
    return true;
}

QString SystemErrorText(int errnum) { return QString::fromLocal8Bit(std::strerror(errnum)); }

QByteArray ReadWholeFile(const QString& path, bool* ok, qint64 limit, QString* why, int* errnum)
{
    *ok = false;
    QString ignoredWhy;
    int ignoredNumber = 0;
    if (!why)
        why = &ignoredWhy;
    if (!errnum)
        errnum = &ignoredNumber;
    why->clear();
    QFile file;
    if (!OpenForReading(file, ResolveFile(path), errnum)) {
        *why = SystemErrorText(*errnum);
        return QByteArray();
    }
    const qint64 size = file.size();
    if (size > limit)
        return QByteArray();  // not a failure of the system: the caller knows its limit
    QByteArray data(qMax<qint64>(size, 0), Qt::Uninitialized);
    qint64 got = 0;
    char more[4096];
    // The size first, then whatever else the file holds by now (a file that
    // grows, a device that tells no size), up to the limit.
    while (true) {
        char* const to = got < data.size() ? data.data() + got : more;
        const qint64 room = got < data.size() ? data.size() - got : qint64(sizeof more);
        errno = 0;
        const qint64 n = file.read(to, room);
        if (n < 0) {
            *errnum = errno ? errno : EIO;
            *why = SystemErrorText(*errnum);
            return QByteArray();
        }
        if (n == 0)
            break;
        if (to == more) {
            if (data.size() + n > limit)
                return QByteArray();
            data.append(more, n);
        }
        got += n;
    }
    data.truncate(got);
    *ok = true;
    return data;
}

qint64 FileLength(const QString& path)
{
    const QFileInfo info(ResolveFile(path));
    return info.isFile() ? info.size() : -1;
}

}  // namespace velluno
