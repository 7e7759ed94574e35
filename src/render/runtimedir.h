#pragma once
// Qt keeps a program's per-user runtime files in $XDG_RUNTIME_DIR, which a
// login session sets. Started without one (as root, in a container, over
// ssh, from a batch), Qt falls back to <temp>/runtime-<user> and warns about
// it on every start. Our programs make that choice themselves before Qt
// looks, with the folder Qt requires (ours, mode 0700), so that a normal
// start says nothing. Header-only: the bare comparison window uses it too.
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velluno {

// True when `dir` is a folder of this user that only this user may enter,
// as Qt requires of a runtime folder.
inline bool IsPrivateRuntimeDir(const QByteArray& dir)
{
    struct stat st;
    return ::lstat(dir.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 07777) == 0700;
}

// Sets XDG_RUNTIME_DIR when it is unset or empty; call it before the
// application object is made. Leaves a value the user set alone.
inline void EnsureRuntimeDir()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const uid_t uid = ::geteuid();
    const struct passwd* user = ::getpwuid(uid);
    const QByteArray name = user && user->pw_name ? QByteArray(user->pw_name) : QByteArray::number(uint(uid));
    const QByteArray temp = QFile::encodeName(QDir::tempPath());
    // The folder Qt itself would take, so that every Qt program of this
    // user without a session shares it.
    QByteArray dir = temp + "/runtime-" + name;
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST)
        dir.clear();
    if (!dir.isEmpty() && !IsPrivateRuntimeDir(dir)) {
        // Someone else's, or open to others: a fresh private one instead.
        QByteArray pattern = temp + "/runtime-" + name + "-XXXXXX";
        dir = ::mkdtemp(pattern.data()) ? pattern : QByteArray();
    }
    if (!dir.isEmpty())
        qputenv("XDG_RUNTIME_DIR", dir);
}

}  // namespace velluno
