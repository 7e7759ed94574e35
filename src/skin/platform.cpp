#include "skin/platform.h"

#include <QFile>

#if defined(Q_OS_LINUX)
#include <pthread.h>
#include <sched.h>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velluno {

#if defined(Q_OS_LINUX)

bool SyncFileSystemOf(const QString& dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::syncfs(fd) == 0;
    ::close(fd);
    return synced;
}

namespace {

// The work under way; only the thread that started it joins it.
bool started = false;
pthread_t worker;
cpu_set_t allowed;  // the processors the program may run on
void (*startedWork)() = nullptr;

bool ProcessorFree(int processors)
{
    char text[128] = {};
    const int file = ::open("/proc/loadavg", O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    const ssize_t n = ::read(file, text, sizeof text - 1);
    ::close(file);
    // "0.20 0.18 0.12 1/80 11206": the fourth field is running/existing.
    const char* field = text;
    for (int spaces = 0; n > 0 && *field && spaces < 3; ++field)
        spaces += *field == ' ';
    const int running = std::atoi(field);
    return running > 0 && running < processors;
}

void* Run(void*)
{
    startedWork();
    return nullptr;
}

}  // namespace

bool StartOnFreeProcessor(void (*work)())
{
    if (started || sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return false;
    cpu_set_t others = allowed;
    const int here = sched_getcpu();
    if (here >= 0 && here < CPU_SETSIZE)
        CPU_CLR(here, &others);
    if (CPU_COUNT(&others) == 0 || !ProcessorFree(CPU_COUNT(&allowed)))
        return false;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    pthread_attr_setaffinity_np(&attributes, sizeof others, &others);
    startedWork = work;
    started = pthread_create(&worker, &attributes, Run, nullptr) == 0;
    pthread_attr_destroy(&attributes);
    return started;
}

void JoinStartedWork()
{
    if (!started)
        return;
    pthread_setaffinity_np(worker, sizeof allowed, &allowed);
    pthread_join(worker, nullptr);
    started = false;
}

#else

bool SyncFileSystemOf(const QString&) { return false; }
bool StartOnFreeProcessor(void (*)()) { return false; }
void JoinStartedWork() {}

#endif

}  // namespace velluno
