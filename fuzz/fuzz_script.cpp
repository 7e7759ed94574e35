// The session-script reader on any bytes, without running anything: a
// script is either read whole or refused at one line that exists.
#include "cli/script.h"
#include "fuzzsupport.h"

#include <cstdlib>

using namespace velluno;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartQt();
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const cli::ScriptCheck check = cli::ParseScript(text);
    const qsizetype lines = QString::fromUtf8(text).count(QLatin1Char('\n')) + 1;
    if (check.ok() ? check.commands > lines : (check.line < 1 || check.line > lines || check.why.isEmpty()))
        std::abort();
    return 0;
}
