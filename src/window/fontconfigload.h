#pragma once
// Fontconfig reads its whole configuration (some sixty files of XML) the
// first time a font is asked for: a sixth of the time to the first window,
// spent on the one thread before the first caption can be measured. Read on
// a second thread from the start of the program, it overlaps the making of
// the application and of the window's first controls.

namespace velluno::window {

class FontConfigurationLoad {
public:
    // Starts reading the configuration on a thread of its own.
    FontConfigurationLoad();
    // Waits for the reading to end.
    ~FontConfigurationLoad();
    FontConfigurationLoad(const FontConfigurationLoad&) = delete;
    FontConfigurationLoad& operator=(const FontConfigurationLoad&) = delete;

    // Waits for the reading under way, if any, to end: called before the
    // first font is asked for, or fontconfig would read the whole
    // configuration a second time beside it.
    static void wait();
};

}  // namespace velluno::window
