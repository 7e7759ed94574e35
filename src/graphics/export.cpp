#include "graphics/export.h"

#include "document/atomic.h"
#include "document/files.h"
#include "document/open.h"
#include "preview/renderer.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velluno {

namespace {

// Containers larger than this are not read (a QByteArray of the size must fit).
constexpr qint64 kMaxContainerRead = qint64(1) << 31;

// A container as one export read it. Every row of the same container uses
// the same bytes, so a skin of hundreds of objects in two containers reads
// two files, not hundreds.
struct Container {
    QString path;
    bool ok = false;
    QString problem;
    QByteArray bytes;
};

const Container& ReadContainer(const Editor& editor, std::map<qint64, Container>& cache, qint64 n)
{
    auto found = cache.find(n);
    if (found != cache.end())
        return found->second;
    Container c;
    c.path = ContainerPath(editor, n);
    const QFileInfo info(c.path);
    if (!info.isFile()) {
        c.problem = QStringLiteral("il contenitore %1 non esiste").arg(c.path);
    } else if (info.size() > kMaxContainerRead) {
        c.problem = QStringLiteral("il contenitore %1 è troppo grande per essere letto").arg(c.path);
    } else {
        bool ok = false;
        c.bytes = ReadWholeFile(c.path, &ok, kMaxContainerRead);
        if (!ok)
            c.problem = QStringLiteral("il contenitore %1 non può essere letto").arg(c.path);
        else if (c.bytes.isEmpty())
            c.problem = QStringLiteral("il contenitore %1 è vuoto").arg(c.path);
        else
            c.ok = true;
    }
    return cache.emplace(n, std::move(c)).first->second;
}

// A whole, non-negative number below 2^53 (exact in a double), or -1.
qint64 WholeNumber(const QString& text)
{
    const double v = LenientNumber(text);
    if (!std::isfinite(v) || v < 0 || v != std::floor(v) || v >= 9007199254740992.0)
        return -1;
    return qint64(v);
}

bool IsDash(const QString& text) { return text.trimmed() == QLatin1String("-"); }

// Object image files are written in three steps: every image into a hidden
// temporary file beside its target, then one flush of the whole folder to
// the disk, then each temporary file renamed over its target. A file is
// thus never half written, even when the program or the machine stops in
// the middle, and the images that the next save packs into container 14 are
// on the disk before they replace the old ones. One flush for all images
// rather than one per image keeps the export of hundreds of objects fast.
struct Staged {
    int row = 0;
    qint64 container = 0;
    QString image;   // the object image file as the row shows it
    QString target;  // the file replaced (an existing name in any case)
    QString temp;
};

bool StageImage(Staged& s, const char* data, qint64 length, QString* error)
{
    const QFileInfo info(s.target);
    QTemporaryFile file(JoinPath(info.absolutePath(),
                                 QStringLiteral(".%1.velluno-XXXXXX").arg(info.fileName())));
    file.setAutoRemove(false);
    if (!file.open()) {
        *error = file.errorString();
        return false;
    }
    s.temp = file.fileName();
    const bool ok = file.write(data, length) == length && file.flush();
    *error = file.errorString();
    file.close();
    if (!ok || file.error() != QFileDevice::NoError) {
        QFile::remove(s.temp);
        return false;
    }
    QFile::setPermissions(s.temp, info.isFile() ? QFile::permissions(s.target)
                                                : (QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                   QFileDevice::ReadGroup | QFileDevice::ReadOther));
    return true;
}

void SyncToDisk(const QString& dir, const QVector<Staged>& staged)
{
#if defined(Q_OS_LINUX)
    Q_UNUSED(staged);
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
#elif defined(Q_OS_UNIX)
    Q_UNUSED(dir);
    for (const Staged& s : staged) {
        if (s.temp.isEmpty())
            continue;
        const int fd = ::open(QFile::encodeName(s.temp).constData(), O_RDONLY);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
#else
    Q_UNUSED(dir);
    Q_UNUSED(staged);
#endif
}

// True when the file holds exactly these bytes already: a second export of
// an unchanged skin then leaves the image folder as it is instead of
// replacing every file with an equal one.
bool HoldsAlready(const QString& path, const char* data, qint64 length)
{
    QFile file(path);
    if (file.size() != length || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(length);
    return bytes.size() == length && memcmp(bytes.constData(), data, size_t(length)) == 0;
}

// Replaces the target at once (an existing file included).
bool PlaceImage(const Staged& s, QString* error)
{
    std::error_code ec;
#ifdef Q_OS_WIN
    std::filesystem::rename(std::filesystem::path(s.temp.toStdWString()),
                            std::filesystem::path(s.target.toStdWString()), ec);
#else
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(s.temp).toStdString()),
                            std::filesystem::path(QFile::encodeName(s.target).toStdString()), ec);
#endif
    if (ec) {
        *error = QString::fromLocal8Bit(ec.message().c_str());
        QFile::remove(s.temp);
        return false;
    }
    return true;
}

}  // namespace

QString ContainerPath(const Editor& editor, qint64 n)
{
    const QString name = editor.SkinName + (n == 0 ? QString() : QString::number(n)) + QStringLiteral(".dat");
    return ResolveFile(JoinPath(editor.SkinDir, name));
}

ExportReport cmdExportAll_Click(Editor& editor)
{
    ExportReport report;
    // Before any skin is open there is nothing to export and nowhere to write.
    if (editor.GifDir.isEmpty() || editor.SkinDir.isEmpty())
        return report;
    if (!DirExist(editor.GifDir))
        QDir().mkpath(editor.GifDir);

    const bool ownContainer = editor.SkinName.toUpper() == QLatin1String("VARAVAVE");
    std::map<qint64, Container> cache;
    QVector<Staged> staged;
    // Listed once: the export writes its own temporary files into the folder.
    const FolderSnapshot existing(editor.GifDir);
    Table& table = editor.doc.L_Values;
    for (int r = 1; r <= table.count(); ++r) {
        table.select(r);
        Row& row = table.row(r);
        auto faulty = [&](const QString& reason) {
            row.colour = kRed;
            row.icon = IconMissing;
            report.faults.append(ExportReport::Fault{row.key(), reason});
        };

        // A replaced row has no place in any container until the next save;
        // read as numbers its cells would point at the start of container 0
        // and the replacement image would be overwritten with foreign bytes.
        if (IsDash(row.cell(ColDat)) || IsDash(row.cell(ColOffset))) {
            ++report.skipped;
            continue;
        }
        const qint64 n = WholeNumber(row.cell(ColDat));
        const qint64 offset = WholeNumber(row.cell(ColOffset));
        const qint64 length = WholeNumber(row.cell(ColBytes));
        if (n < 0 || offset < 0 || length < 0) {
            faulty(QStringLiteral("valori non validi (N° Dat \"%1\", Offset \"%2\", Byte \"%3\")")
                       .arg(row.cell(ColDat), row.cell(ColOffset), row.cell(ColBytes)));
            continue;
        }
        if (length == 0) {
            faulty(QStringLiteral("immagine di lunghezza 0"));
            continue;
        }
        const Container& c = ReadContainer(editor, cache, n);
        if (!c.ok) {
            faulty(c.problem);
            continue;
        }
        const qint64 size = c.bytes.size();
        if (offset > size || length > size - offset) {
            faulty(QStringLiteral("l'immagine (offset %1, %2 byte) supera la fine del contenitore %3 (%4 byte)")
                       .arg(offset)
                       .arg(length)
                       .arg(QFileInfo(c.path).fileName())
                       .arg(size));
            continue;
        }

        Staged s;
        s.row = r;
        s.container = n;
        s.image = ObjectImagePath(editor, row.key());
        s.target = existing.resolve(s.image);
        QString error;
        if (HoldsAlready(s.target, c.bytes.constData() + offset, length)) {
            s.temp.clear();  // nothing to replace
        } else if (!StageImage(s, c.bytes.constData() + offset, length, &error)) {
            faulty(QStringLiteral("il file %1 non può essere scritto (%2)").arg(s.image, error));
            continue;
        }
        staged.append(s);
    }
    cache.clear();

    const bool replacing =
        std::any_of(staged.cbegin(), staged.cend(), [](const Staged& s) { return !s.temp.isEmpty(); });
    if (replacing)
        SyncToDisk(editor.GifDir, staged);
    for (const Staged& s : staged) {
        Row& row = table.row(s.row);
        QString error;
        if (!s.temp.isEmpty() && !PlaceImage(s, &error)) {
            row.colour = kRed;
            row.icon = IconMissing;
            report.faults.append(ExportReport::Fault{
                row.key(), QStringLiteral("il file %1 non può essere scritto (%2)").arg(s.image, error)});
            continue;
        }
        ++report.written;
        if (ownContainer && s.container == 14) {
            MarkToReplace(row);
        } else {
            row.colour = kBlack;
            row.icon = IconImage;
            row.setCell(ColState, kStateExtracted);
        }
        row.setCell(ColPath, s.image);
    }
    if (replacing)
        SyncFolder(editor.GifDir);
    UpdateDesktop(editor);
    return report;
}

}  // namespace velluno
