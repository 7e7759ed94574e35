// Opening a 1501-line skin with 600 graphic objects, beside merely reading
// the same file and splitting it at line feeds, in the same run.
#include "editor/opensave.h"
#include "editor/shell.h"

#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "benchsupport.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace velluno;

namespace {

struct Fixture {
    QTemporaryDir dir;
    QString path;
    Fixture()
    {
        QByteArray text = "SKI1 benchmark skin\n";
        int lines = 1;
        auto add = [&](const QByteArray& line) {
            text += line + '\n';
            ++lines;
        };
        add("0 41 98");
        add("4 20 30 40 0");
        for (int i = 0; i < 600; ++i)
            add("5 " + QByteArray::number(1000 + i) + ' ' + QByteArray::number(i * 4000) + " 3000 " +
                QByteArray::number(i % 3 == 0 ? 14 : i % 2));
        add("0 2 1");
        for (int i = 0; i < 400; ++i)
            add("4 " + QByteArray::number(500 + i) + " 10 20 30 0");
        add("0 3 1");
        while (lines < kSlotCount)
            add("1 " + QByteArray::number(lines) + " 1 2 3 4");
        QDir(dir.path()).mkpath(QStringLiteral("varavave_Gifs"));
        // Half of the objects have their image file, as after a partial export.
        for (int i = 0; i < 600; i += 2) {
            QFile f(dir.filePath(QStringLiteral("varavave_Gifs/%1.gif").arg(1000 + i)));
            f.open(QIODevice::WriteOnly);
            f.write("GIF89a");
        }
        path = dir.filePath(QStringLiteral("varavave.ski"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
};

Fixture& TheFixture()
{
    static Fixture fixture;
    return fixture;
}

void BM_ReadAndSplit(benchmark::State& state)
{
    const QString path = TheFixture().path;
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QString text = QString::fromLatin1(f.readAll());
        QVector<QString> lines;
        lines.reserve(kSlotCount);
        int start = 0;
        for (int lf; (lf = text.indexOf(QLatin1Char('\n'), start)) >= 0; start = lf + 1)
            lines.append(text.mid(start, lf - start));
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_ReadAndSplit)->Unit(benchmark::kMicrosecond);

void BM_OpenSkin(benchmark::State& state)
{
    const QString path = TheFixture().path;
    UnansweredDialogs dialogs;
    Editor editor(dialogs);
    StartUp(editor);
    for (auto _ : state) {
        OpenSkinFile(editor, path);
        benchmark::DoNotOptimize(editor.doc.lineCount);
    }
    if (editor.doc.objects.count() != 600 || editor.doc.lineCount != kSlotCount)
        state.SkipWithError("the skin did not open completely");
}
BENCHMARK(BM_OpenSkin)->Unit(benchmark::kMicrosecond);

}  // namespace

// Forty short interleaved repetitions of both: the ratio of their medians
// is the figure.
int main(int argc, char** argv)
{
    velluno::bench::MedianRatios reporter;
    reporter.add("BM_OpenSkin", "BM_ReadAndSplit", [] { return std::string("OpenSkin / ReadAndSplit"); });
    return velluno::bench::RunInterleaved(argc, argv, 40, {}, &reporter);
}
