#include "window/fontconfigload.h"

#include "skin/platform.h"

#include <fontconfig/fontconfig.h>
#include <cstdlib>

namespace velluno::window {

namespace {

void ReadConfiguration() { FcInit(); }

}  // namespace

FontConfigurationLoad::FontConfigurationLoad()
{
    // Only beside the window's making: on a single processor, or with the
    // others busy, the reading would only take turns with it, and the
    // configuration is read where it is first needed.
    if (!StartOnFreeProcessor(ReadConfiguration))
        return;
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
    JoinStartedWork();
}

}  // namespace velluno::window
