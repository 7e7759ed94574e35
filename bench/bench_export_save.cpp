// "Esporta tutto" and SAVE on a skin of 600 objects of 2 to 20 KB, beside a
// plain copy of the same bytes (read each source file, write each
// destination file) as the yardstick: each should stay within 3 times it.
#include "benchsupport.h"
#include "editor/opensave.h"
#include "editor/objects.h"
#include "editor/preview.h"
#include "editor/shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velluno;

namespace {

constexpr int kObjects = 600;

struct Fixture {
    QTemporaryDir dir;
    QString skin;
    QTemporaryDir copies;  // the plain copy's sources and destinations
    QStringList sources;
    qint64 bytes = 0;

    Fixture()
    {
        quint32 x = 12345;
        auto next = [&x] { return x = x * 1664525u + 1013904223u; };
        QByteArray containers[3];
        const char* numbers[3] = {"0", "1", "14"};
        QByteArray text = "SKI1\n0 oggetti\n";
        QDir().mkpath(copies.filePath("src"));
        QDir().mkpath(copies.filePath("dst"));
        for (int i = 0; i < kObjects; ++i) {
            const int size = 2048 + int(next() % (20480 - 2048 + 1));
            const QByteArray image = bench::GifOfSize(size, [&next] { return char(next() >> 24); });
            QByteArray& c = containers[i % 3];
            text += QStringLiteral("5 %1 %2 %3 %4\n").arg(1000 + i).arg(c.size()).arg(size).arg(numbers[i % 3]).toLatin1();
            c += image;
            bytes += size;
            const QString source = copies.filePath(QStringLiteral("src/%1.gif").arg(i));
            bench::WriteFixtureFile(source, image);
            sources << source;
        }
        skin = dir.filePath(QStringLiteral("varavave.ski"));
        bench::WriteFixtureFile(skin, text);
        bench::WriteFixtureFile(dir.filePath(QStringLiteral("varavave.dat")), containers[0]);
        bench::WriteFixtureFile(dir.filePath(QStringLiteral("varavave1.dat")), containers[1]);
        bench::WriteFixtureFile(dir.filePath(QStringLiteral("varavave14.dat")), containers[2]);
    }
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

void Open(Editor& editor)
{
    StartUp(editor);
    if (!OpenSkinFile(editor, Data().skin).completed)
        qFatal("the benchmark skin does not open");
}

// Removes the files of a folder (outside the timed part).
void EmptyFolder(benchmark::State& state, const QString& dir)
{
    state.PauseTiming();
    QDir d(dir);
    for (const QString& name : d.entryList(QDir::Files | QDir::Hidden))
        d.remove(name);
    state.ResumeTiming();
}

// Gives every image file other bytes of the same length (outside the timed
// part), so that the export must replace all of them, keeping each edited
// file as a numbered copy; the copies of the last run are removed first.
void SpoilImages(benchmark::State& state, const QString& dir)
{
    state.PauseTiming();
    QDir d(dir);
    for (const QString& name : d.entryList({QStringLiteral("*.gif.*")}, QDir::Files))
        d.remove(name);
    for (const QString& name : d.entryList({QStringLiteral("*.gif")}, QDir::Files)) {
        QFile f(d.filePath(name));
        if (f.open(QIODevice::ReadWrite)) {
            QByteArray bytes = f.readAll();
            bytes[bytes.size() / 2] = char(~bytes[bytes.size() / 2]);
            f.seek(0);
            f.write(bytes);
        }
    }
    state.ResumeTiming();
}

// Argument 0: into an empty image folder; 1: over the same images (a second
// export of an unchanged skin); 2: over other images of the same lengths.
void BM_Export(benchmark::State& state)
{
    UnansweredDialogs dialogs;
    Editor editor(dialogs);
    Open(editor);
    bench::Click(editor, "cmdExportAll");
    for (auto _ : state) {
        if (state.range(0) == 0)
            EmptyFolder(state, editor.doc.imageFolder);
        else if (state.range(0) == 2)
            SpoilImages(state, editor.doc.imageFolder);
        // "Esporta tutto" with the render that ends it.
        const ExtractReport r = ExportAll(editor);
        RenderPreview(editor);
        if (r.written != kObjects)
            state.SkipWithError("not every image was written");
    }
    state.SetBytesProcessed(state.iterations() * Data().bytes);
}
BENCHMARK(BM_Export)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state)
{
    UnansweredDialogs dialogs;
    Editor editor(dialogs);
    Open(editor);
    bench::Click(editor, "cmdExportAll");
    for (ObjectRow& row : editor.doc.objects.rows())
        PointAtImage(row, ObjectImagePath(editor.doc.imageFolder, row.number), row.length.toLongLong());
    for (auto _ : state) {
        const SaveReport r = SaveSkin(editor);
        if (!r.saved || r.packed != kObjects)
            state.SkipWithError("the save did not pack every image");
        editor.messages.clear();
    }
    state.SetBytesProcessed(state.iterations() * Data().bytes);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

// The yardstick: the same 600 images read from their files and written to
// 600 other files with plain reads and writes; argument 0: new files, 1: over
// the files of the last run.
void BM_PlainCopy(benchmark::State& state)
{
    const QStringList& sources = Data().sources;
    for (auto _ : state) {
        if (state.range(0) == 0)
            EmptyFolder(state, Data().copies.filePath(QStringLiteral("dst")));
        for (int i = 0; i < sources.size(); ++i) {
            QFile in(sources[i]);
            if (!in.open(QIODevice::ReadOnly))
                state.SkipWithError("cannot read");
            const QByteArray data = in.readAll();
            QFile out(Data().copies.filePath(QStringLiteral("dst/%1.gif").arg(i)));
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(data) != data.size())
                state.SkipWithError("cannot write");
        }
    }
    state.SetBytesProcessed(state.iterations() * Data().bytes);
}
BENCHMARK(BM_PlainCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return velluno::bench::RunBenchmarks(argc, argv, [] { Data(); });
}
