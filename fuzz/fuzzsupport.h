#pragma once
// What the fuzz targets share: a Qt application object made once (file
// names are decoded through it) and a scratch folder in memory when the
// system has one.
#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>

namespace velluno::fuzz {

inline void StartQt()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    Q_UNUSED(app);
}

// A folder that lives as long as the process, on /dev/shm when it exists:
// the targets that need files write thousands of them a second.
inline const QString& ScratchDir()
{
    static std::unique_ptr<QTemporaryDir> dir = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        return std::make_unique<QTemporaryDir>(base + QStringLiteral("/velluno-fuzz-XXXXXX"));
    }();
    static const QString path = dir->path();
    return path;
}

}  // namespace velluno::fuzz
