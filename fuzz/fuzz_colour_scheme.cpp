// The colour scheme reader on any bytes: a scheme is taken whole or not at
// all, and every row it keeps would load into the colour table.
#include "fuzzsupport.h"
#include "skin/colourscheme.h"

#include <cstdlib>

using namespace velluno;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartQt();
    const ColourScheme scheme =
        ParseColourScheme(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), QStringLiteral("colors.txt"));
    if (!scheme.ok()) {
        if (scheme.count() != 0)
            std::abort();
        // Every failure but the file's size and emptiness names its line.
        if (scheme.error.code != ErrorKind::SchemeTooLarge && scheme.error.code != ErrorKind::SchemeEmpty &&
            scheme.error.line < 1)
            std::abort();
        return 0;
    }
    if (scheme.count() < 1 || scheme.count() > kSchemeMaxRows)
        std::abort();
    int previous = 0;
    for (int n = 0; n < scheme.count(); ++n) {
        QStringView fields[kSchemeFields];
        for (int f = 0; f < kSchemeFields; ++f)
            fields[f] = scheme.field(n, SchemeField(f));
        if (BadSchemeField(fields) >= 0 || scheme.line(n) <= previous)
            std::abort();
        previous = scheme.line(n);
    }
    return 0;
}
