#pragma once
// What every benchmark program shares: a main that starts a GUI application
// (text needs fonts; no display needed).
#include "editor/actions.h"
#include "editor/dialogs.h"

#include <QFile>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace velluno::bench {

// A user's click, through the action table as the window performs it.
inline void Click(Editor& editor, const char* name, int index = 0)
{
    Perform(editor, UserAction::click(QLatin1String(name), index));
}
inline void ClickRow(Editor& editor, const char* table, int row)
{
    Perform(editor, UserAction::of(UserAction::Kind::Row, QLatin1String(table), row));
}

// Writes a fixture's file whole, or stops the benchmark: a half-made
// fixture would measure something else.
inline void WriteFixtureFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
}

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

// Prints, after the usual table, the ratio of the medians of pairs of
// benchmarks: the figure a target is stated in.
class MedianRatios : public benchmark::ConsoleReporter {
public:
    // `label` is printed before the ratio numerator / denominator; it is
    // asked for at the end, when counts known only then are filled in.
    void add(std::string numerator, std::string denominator, std::function<std::string()> label)
    {
        pairs_.push_back({std::move(numerator), std::move(denominator), std::move(label)});
    }
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const Pair& p : pairs_) {
            const double a = medians_[p.numerator], b = medians_[p.denominator];
            if (a > 0 && b > 0)
                std::printf("%s (medians): %.3f\n", p.label().c_str(), a / b);
        }
    }

private:
    struct Pair {
        std::string numerator;
        std::string denominator;
        std::function<std::string()> label;
    };
    std::vector<Pair> pairs_;
    std::map<std::string, double> medians_;
};

// Runs the benchmarks in many short repetitions in random order: on a
// shared machine the speed drifts, and the order in which each runs
// changes what the allocator holds, so that both sides of a ratio come
// from the same stretches of time. Flags given on the command line come
// after these and win.
inline int RunInterleaved(int argc, char** argv, int repetitions, const std::function<void()>& prepare,
                          benchmark::BenchmarkReporter* reporter)
{
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::string repeat = "--benchmark_repetitions=" + std::to_string(repetitions);
    char minTime[] = "--benchmark_min_time=0.1";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {interleave, repeat.data(), minTime, aggregates});
    int count = int(args.size());
    args.push_back(nullptr);
    return RunBenchmarks(count, args.data(), prepare, reporter);
}

}  // namespace velluno::bench
