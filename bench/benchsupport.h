#pragma once
// What every benchmark program shares: a main that starts a GUI application
// (text needs fonts; no display needed).
#include "editor/dialogs.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <functional>

namespace velluno::bench {

// A GIF of exactly `size` bytes (40 or more) that decodes: a 1 x 1 picture
// whose comment block holds bytes from `next()`. A save packs only real
// GIFs, and checks each one; the benchmarks give it what a skin holds.
template <class Next>
QByteArray GifOfSize(int size, Next next)
{
    QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF\x21\xFE", 21);
    const QByteArray image("\x00\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B", 17);
    int room = size - gif.size() - image.size();  // sub-blocks of at most 255 bytes, each with its length
    while (room > 0) {
        const int n = room - 1 > 255 ? (room - 1 > 256 ? 255 : 254) : room - 1;
        gif += char(n);
        for (int i = 0; i < n; ++i)
            gif += next();
        room -= n + 1;
    }
    gif += image;
    return gif;
}

// `prepare` runs once the application exists and before any benchmark, for
// fixtures that should not be timed.
inline int RunBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {},
                         benchmark::BenchmarkReporter* reporter = nullptr)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (prepare)
        prepare();
    if (reporter)
        benchmark::RunSpecifiedBenchmarks(reporter);
    else
        benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace velluno::bench
