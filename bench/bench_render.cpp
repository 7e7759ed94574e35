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

// Cuts the images out of their containers when the export cannot: the rows'
// offset and length name the bytes.
int ExtractByHand(Editor& editor)
{
    int written = 0;
    Table& table = editor.doc.L_Values;
    for (int r = 1; r <= table.count(); ++r) {
        Row& row = table.row(r);
        bool ok = false;
        const QByteArray container =
            ReadWholeFile(ContainerPath(editor.doc, LenientInt(row.cell(ColDat))), &ok);
        const qint64 offset = LenientInteger(row.cell(ColOffset), 0, container.size());
        const qint64 length = LenientInteger(row.cell(ColBytes), 0, container.size() - offset);
        if (!ok || length == 0)
            continue;
        const QString path = ObjectImagePath(editor.doc.GifDir, row.keyView());
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(container.mid(offset, length)) != length)
            continue;
        row.setCell(ColPath, path);
        ++written;
    }
    return written;
}

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
        Form_Load(editor);
        const OpenReport opened = OpenSkinFile(editor, dir.filePath(QStringLiteral("varavave.ski")));
        if (!opened.completed) {
            std::fprintf(stderr, "the sample skin could not be opened: %s\n", qPrintable(opened.error.file));
            return;
        }
        int written = cmdExportAll_Click(editor).written;
        if (written == 0)
            written = ExtractByHand(editor);
        UpdateDesktop(editor);  // warms the image cache
        std::fprintf(stderr, "sample: %d objects, %d images extracted, %d outlines, %d decodes\n",
                     editor.doc.L_Values.count(), written, int(editor.canvas.outlines.size()),
                     editor.images.decodes());
        ready = true;
    }
};

Sample& TheSample()
{
    static Sample sample;
    return sample;
}

void BM_UpdateDesktop(benchmark::State& state)
{
    Sample& s = TheSample();
    if (!s.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    const int decodes = s.editor.images.decodes();
    for (auto _ : state) {
        UpdateDesktop(s.editor);
        benchmark::ClobberMemory();
    }
    state.counters["decodes"] = s.editor.images.decodes() - decodes;  // 0: the cache is warm
}
BENCHMARK(BM_UpdateDesktop)->Unit(benchmark::kMicrosecond);

void BM_RenderScene(benchmark::State& state)
{
    Sample& s = TheSample();
    if (!s.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    for (auto _ : state) {
        QImage image = RenderScene(s.editor.canvas);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RenderScene)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return velluno::bench::RunBenchmarks(argc, argv); }
