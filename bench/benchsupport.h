#pragma once
// What every benchmark program shares: a main that starts a GUI application
// (text needs fonts; no display needed).
#include "editor/dialogs.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <functional>

namespace velluno::bench {

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
