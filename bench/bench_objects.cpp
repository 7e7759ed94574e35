// Replacing images. "Skin di default" on a skin of 600 graphic objects,
// beside reading the lengths of the same 600 default images (the least any
// replacement must do): at most 3 times it. "Importa..." of one image, with
// the row display and the redraw, beside one UpdateDesktop plus one plain
// decoding of the same image: at most 3 times it. The undo and the redo of
// "Skin di default" on the 600 objects, together, beside two renders of the
// skin: at most 1.2 times them.
#include "benchsupport.h"
#include "editor/objects.h"
#include "editor/presentation.h"
#include "editor/opensave.h"
#include "editor/preview.h"
#include "editor/shell.h"
#include "editor/undo.h"
#include "skin/files.h"
#include "skin/reader.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velluno;

namespace {

constexpr int kObjects = 600;
constexpr int kFirstObject = 1000;

// Dialogs of a user who says yes and picks the file set in `file`.
class Yes : public Dialogs {
public:
    QString file;
    std::optional<QString> openFile(const QString&, const QString&, const QString&, const QString&) override { return file; }
    std::optional<quint32> chooseColour(quint32) override { return std::nullopt; }
    Answer message(const QString&, const QString&, MsgIcon, MsgButtons buttons) override
    {
        return buttons == MsgButtons::Ok ? Answer::Ok : Answer::Yes;
    }
};

struct Fixture {
    QTemporaryDir dir;
    QString skin;
    QString defaults;
    QStringList defaultFiles;
    QString clockFace;  // the sample's 72 x 72 clock face, the image imported

    Fixture()
    {
        quint32 x = 4242;
        auto next = [&x] {
            x = x * 1664525u + 1013904223u;
            return char(x >> 24);
        };
        defaults = dir.filePath(QStringLiteral("default"));
        QDir().mkpath(defaults);
        QByteArray container;
        QByteArray text = "SKI1\n0 oggetti\n";
        for (int i = 0; i < kObjects; ++i) {
            const int n = kFirstObject + i;
            const QByteArray image = bench::GifOfSize(2048 + int(quint8(next())) * 16, next);
            text += QStringLiteral("5 %1 %2 %3 0\n").arg(n).arg(container.size()).arg(image.size()).toLatin1();
            container += image;
            const QString file = QDir(defaults).filePath(QStringLiteral("%1.gif").arg(n));
            bench::WriteFixtureFile(file, bench::GifOfSize(2048 + int(quint8(next())) * 16, next));
            defaultFiles << file;
        }
        skin = dir.filePath(QStringLiteral("varavave.ski"));
        bench::WriteFixtureFile(skin, text);
        bench::WriteFixtureFile(dir.filePath(QStringLiteral("varavave.dat")), container);
        clockFace = QStringLiteral(VELLUNO_SOURCE_DIR "/assets/default/7.gif");
    }
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

// The file written again in place, with a modification time of its own: a
// file the image cache has not seen.
void Rewrite(const QString& path, const QByteArray& bytes, int n)
{
    bench::WriteFixtureFile(path, bytes);
    QFile f(path);
    f.open(QIODevice::ReadWrite);
    f.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000 + n), QFileDevice::FileModificationTime);
}

void Open(Editor& editor)
{
    editor.defaultDir = Data().defaults;
    StartUp(editor);
    if (!OpenSkinFile(editor, Data().skin).completed)
        qFatal("the benchmark skin does not open");
    bench::Click(editor, "cmdExportAll");
}

// Each run on the rows as an opening leaves them (opened again outside the
// timed part).
void BM_DefaultSkin(benchmark::State& state)
{
    Yes dialogs;
    Editor editor(dialogs);
    Open(editor);
    for (auto _ : state) {
        state.PauseTiming();
        OpenSkinFile(editor, Data().skin);
        editor.messages.clear();
        state.ResumeTiming();
        bench::Click(editor, "cmdDefaultAll");
    }
    if (editor.doc.objects.row(kObjects).state != ImageState::ToReplace)
        state.SkipWithError("the rows were not replaced");
}
BENCHMARK(BM_DefaultSkin)->Unit(benchmark::kMicrosecond);

// The yardstick: the length of each of the 600 default images.
void BM_DefaultLengths(benchmark::State& state)
{
    for (auto _ : state) {
        qint64 total = 0;
        for (const QString& file : Data().defaultFiles)
            total += QFileInfo(file).size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_DefaultLengths)->Unit(benchmark::kMicrosecond);

// Importa of the clock face onto object 1000, shown and drawn. Each run
// imports a file the editor has not decoded yet, as a user's import does:
// one of two files (the same file twice is refused as the same path),
// written again outside the timed part so that it is new to the editor.
void BM_Import(benchmark::State& state)
{
    Yes dialogs;
    Editor editor(dialogs);
    Open(editor);
    bench::ClickRow(editor, "L_Values", editor.doc.objects.findKey(QStringLiteral("%1").arg(kFirstObject)));
    bench::Click(editor, "chkDim");
    const QByteArray face = ReadAll(Data().clockFace);
    const QString files[2] = {Data().dir.filePath(QStringLiteral("importa/a.gif")),
                              Data().dir.filePath(QStringLiteral("importa/b.gif"))};
    QDir().mkpath(Data().dir.filePath(QStringLiteral("importa")));
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dialogs.file = files[n++ % 2];
        Rewrite(dialogs.file, face, n);
        state.ResumeTiming();
        bench::Click(editor, "cmdImport");
    }
    const int selected = editor.doc.objects.findId(editor.selected.object);
    if (selected == 0 || ImageOf(editor.doc.objects.row(selected)) != dialogs.file.toLower() ||
        editor.measuredImage != QSize(72, 72))
        state.SkipWithError("the image was not imported");
}
BENCHMARK(BM_Import)->Unit(benchmark::kMicrosecond);

// "Skin di default" undone and done again.
void BM_UndoRedoDefaultSkin(benchmark::State& state)
{
    Yes dialogs;
    Editor editor(dialogs);
    Open(editor);
    bench::Click(editor, "cmdDefaultAll");
    for (auto _ : state) {
        Perform(editor, UserAction::of(UserAction::Kind::Undo));
        Perform(editor, UserAction::of(UserAction::Kind::Redo));
    }
    if (editor.doc.objects.row(kObjects).state != ImageState::ToReplace || !editor.history().canUndo())
        state.SkipWithError("the step was not done again");
}
BENCHMARK(BM_UndoRedoDefaultSkin)->Unit(benchmark::kMicrosecond);

// The yardstick of the undo: two renders of the skin after "Skin di default".
void BM_TwoRendersOfDefaultSkin(benchmark::State& state)
{
    Yes dialogs;
    Editor editor(dialogs);
    Open(editor);
    bench::Click(editor, "cmdDefaultAll");
    for (auto _ : state) {
        RenderPreview(editor);
        RenderPreview(editor);
    }
}
BENCHMARK(BM_TwoRendersOfDefaultSkin)->Unit(benchmark::kMicrosecond);

// The yardstick: one render of the same preview and one decoding of the
// same image with Qt's reader, the file written again as above.
void BM_RenderAndDecode(benchmark::State& state)
{
    UnansweredDialogs dialogs;
    Editor editor(dialogs);
    Open(editor);
    const QByteArray face = ReadAll(Data().clockFace);
    const QString file = Data().dir.filePath(QStringLiteral("importa/c.gif"));
    QDir().mkpath(Data().dir.filePath(QStringLiteral("importa")));
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Rewrite(file, face, ++n);
        state.ResumeTiming();
        RenderPreview(editor);
        QImage image(file);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_RenderAndDecode)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    velluno::bench::MedianRatios reporter;
    reporter.add("BM_DefaultSkin", "BM_DefaultLengths", [] { return std::string("BM_DefaultSkin / lengths"); });
    reporter.add("BM_Import", "BM_RenderAndDecode", [] { return std::string("BM_Import / render and decode"); });
    reporter.add("BM_UndoRedoDefaultSkin", "BM_TwoRendersOfDefaultSkin",
                 [] { return std::string("BM_UndoRedoDefaultSkin / 2 renders"); });
    return velluno::bench::RunInterleaved(argc, argv, 10, [] { Data(); }, &reporter);
}
