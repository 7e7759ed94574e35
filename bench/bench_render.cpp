// One render of the sample skin (images extracted, image cache warm) beside
// one painting of the finished scene, in the same run: the render should cost
// at most about twice the painting and stay well under a millisecond.
#include "skin/files.h"
#include "editor/opensave.h"
#include "editor/objects.h"
#include "editor/preview.h"
#include "render/scene.h"
#include "editor/shell.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

using namespace velluno;

namespace {

struct Sample {
    QTemporaryDir dir;
    UnansweredDialogs dialogs;
    Editor editor{dialogs};
    bool ready = false;

    Sample()
    {
        const QDir sample(QStringLiteral(VELLUNO_SOURCE_DIR "/examples/varavave"));
        for (const QString& name : sample.entryList(QDir::Files))
            QFile::copy(sample.filePath(name), QDir(dir.path()).filePath(name));
        StartUp(editor);
        const OpenReport opened = OpenSkinFile(editor, dir.filePath(QStringLiteral("varavave.ski")));
        if (!opened.completed) {
            std::fprintf(stderr, "the sample skin could not be opened: %s\n", qPrintable(opened.error.file));
            return;
        }
        const int written = ExportAll(editor).written;
        RenderPreview(editor);  // warms the image cache
        std::fprintf(stderr, "sample: %d objects, %d images extracted, %d outlines, %d decodes\n",
                     editor.doc.objects.count(), written, int(editor.preview.scene.outlines.size()),
                     editor.images.decodes());
        ready = true;
    }
};

Sample& TheSample()
{
    static Sample sample;
    return sample;
}

void BM_Render(benchmark::State& state)
{
    Sample& s = TheSample();
    if (!s.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    const int decodes = s.editor.images.decodes();
    for (auto _ : state) {
        RenderPreview(s.editor);
        benchmark::ClobberMemory();
    }
    state.counters["decodes"] = s.editor.images.decodes() - decodes;  // 0: the cache is warm
}
BENCHMARK(BM_Render)->Unit(benchmark::kMicrosecond);

void BM_RenderScene(benchmark::State& state)
{
    Sample& s = TheSample();
    if (!s.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    for (auto _ : state) {
        QImage image = RenderScene(s.editor.preview.scene);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RenderScene)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return velluno::bench::RunBenchmarks(argc, argv); }
