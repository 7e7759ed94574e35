#include "window/fontconfigload.h"

#include <fontconfig/fontconfig.h>
#include <pthread.h>
#include <sched.h>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace velluno::window {

namespace {

// The reading under way; only the program's main thread starts and joins it.
bool reading = false;
pthread_t reader;
cpu_set_t allowed;  // the processors the program may run on

// Whether a processor is free now: fewer threads running in the whole
// system than the program has processors (the count includes this one).
bool ProcessorFree(int processors)
{
    char text[128] = {};
    const int file = open("/proc/loadavg", O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    const ssize_t n = read(file, text, sizeof text - 1);
    close(file);
    // "0.20 0.18 0.12 1/80 11206": the fourth field is running/existing.
    const char* field = text;
    for (int spaces = 0; n > 0 && *field && spaces < 3; ++field)
        spaces += *field == ' ';
    const int running = std::atoi(field);
    return running > 0 && running < processors;
}

void* ReadConfiguration(void*)
{
    FcInit();
    return nullptr;
}

}  // namespace

FontConfigurationLoad::FontConfigurationLoad()
{
    // On another processor than the one making the window. Left to the
    // scheduler, a new thread often waits on the busy processor of the
    // thread that made it for the next balancing tick, milliseconds later,
    // by which time the window needs its first font. Only when a processor
    // is free: on a single one, or with the others busy, the reading would
    // only take turns with the window's making, and the configuration is
    // read where it is first needed.
    if (reading || sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return;
    cpu_set_t others = allowed;
    const int here = sched_getcpu();
    if (here >= 0 && here < CPU_SETSIZE)
        CPU_CLR(here, &others);
    if (CPU_COUNT(&others) == 0 || !ProcessorFree(CPU_COUNT(&allowed)))
        return;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return;
    pthread_attr_setaffinity_np(&attributes, sizeof others, &others);
    reading = pthread_create(&reader, &attributes, ReadConfiguration, nullptr) == 0;
    pthread_attr_destroy(&attributes);
    // A program that ends through exit() (the usage printed for --help)
    // never reaches the destructor: the reading ends before what exit()
    // tears down.
    [[maybe_unused]] static const bool waitAtExit = std::atexit(wait) == 0;
}

FontConfigurationLoad::~FontConfigurationLoad()
{
    wait();
}

void FontConfigurationLoad::wait()
{
    if (!reading)
        return;
    // The window's processor is free while it waits: the reading may go
    // there if its own is busy with another program.
    pthread_setaffinity_np(reader, sizeof allowed, &allowed);
    pthread_join(reader, nullptr);
    reading = false;
}

}  // namespace velluno::window
