#pragma once
// What every benchmark program shares: dialogs that answer nothing, and a
// main that starts a GUI application (text needs fonts; no display needed).
#include "document/dialogs.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <functional>

namespace velluno::bench {

class SilentDialogs : public Dialogs {
public:
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<quint32> chooseColour(quint32) override { return std::nullopt; }
    Answer message(const QString&, const QString&, MsgIcon, MsgButtons buttons) override
    {
        return buttons == MsgButtons::Ok ? Answer::Ok : Answer::No;
    }
};

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
