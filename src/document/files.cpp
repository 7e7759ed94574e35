#include "document/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velluno {

namespace {

bool IsSeparator(QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); }

enum class Kind { Any, File, Dir };

bool HasKind(const QFileInfo& info, Kind kind)
{
    switch (kind) {
    case Kind::Any: return info.exists();
    case Kind::File: return info.isFile();
    case Kind::Dir: return info.isDir();
    }
    return false;
}

QString Resolve(const QString& path, Kind kind)
{
    if (path.isEmpty())
        return path;
    QString trimmed = path;
    while (trimmed.size() > 1 && IsSeparator(trimmed.back()))
        trimmed.chop(1);
    // The common case costs one stat: the name is already spelt as on disk.
    if (HasKind(QFileInfo(trimmed), kind))
        return path;
    int cut = trimmed.size() - 1;
    while (cut >= 0 && !IsSeparator(trimmed.at(cut)))
        --cut;
    const QString dir = cut < 0 ? QStringLiteral(".") : (cut == 0 ? QStringLiteral("/") : trimmed.left(cut));
    const QString name = trimmed.mid(cut + 1);
    if (name.isEmpty())
        return path;
    QDir::Filters filters = QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    filters |= kind == Kind::File ? QDir::Files : kind == Kind::Dir ? QDir::Dirs : (QDir::Files | QDir::Dirs);
    const QStringList entries = QDir(dir).entryList(filters, QDir::NoSort);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            QString resolved = (cut < 0 ? QString() : trimmed.left(cut + 1)) + entry;
            if (trimmed.size() != path.size())
                resolved += path.mid(trimmed.size());
            return resolved;
        }
    }
    return path;
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

QString ResolvePath(const QString& path) { return Resolve(path, Kind::Any); }
QString ResolveFile(const QString& path) { return Resolve(path, Kind::File); }
QString ResolveDir(const QString& path) { return Resolve(path, Kind::Dir); }

bool FileExist(const QString& path)
{
    if (path.trimmed().isEmpty())
        return false;
    return QFileInfo(ResolveFile(path)).isFile();
}

bool DirExist(const QString& path)
{
    if (path.trimmed().isEmpty())
        return false;
    return QFileInfo(ResolveDir(path)).isDir();
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

QByteArray ReadWholeFile(const QString& path, bool* ok, qint64 limit)
{
    *ok = false;
    QFile file(ResolveFile(path));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const qint64 size = file.size();
    if (size > limit)
        return QByteArray();
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QByteArray();
    *ok = true;
    return data;
}

qint64 FileLength(const QString& path)
{
    const QFileInfo info(ResolveFile(path));
    return info.isFile() ? info.size() : -1;
}

QString ProgramDefaultFolder()
{
    const QString appDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                          : QDir::currentPath();
    const QString beside = ResolveDir(JoinPath(appDir, QStringLiteral("default")));
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed =
        QDir::cleanPath(JoinPath(appDir, QStringLiteral("../share/velluno/default")));
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

}  // namespace velluno
