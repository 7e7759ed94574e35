// The colour tab's two costly actions, each beside its yardstick in the same
// run:
// - loading a default scheme of 40 lines ("Carica i colori di default",
//   question answered) beside reading the same file and splitting it into
//   lines and fields: at most 3 times;
// - a colour picked for a row (dialog answered, the row written, the
//   preview redrawn) beside one render of the same skin: at most 1.5
//   times.
#include "benchsupport.h"
#include "editor/colours.h"
#include "editor/objects.h"
#include "editor/opensave.h"
#include "editor/preview.h"
#include "editor/shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace velluno;

namespace {

// The answers a user gives at once: Yes to every question, the next colour
// of a small cycle to every colour dialog.
class AnsweringDialogs : public Dialogs {
public:
    std::optional<QString> openFile(const QString&, const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<quint32> chooseColour(quint32) override
    {
        next_ = (next_ * 3 + 0x102030) & 0xFFFFFF;
        return next_;
    }
    Answer message(const QString&, const QString&, MsgIcon, MsgButtons) override { return Answer::Yes; }

private:
    quint32 next_ = 1;
};

struct Fixture {
    QTemporaryDir defaults;
    QString scheme;
    QTemporaryDir skinDir;
    AnsweringDialogs dialogs;
    Editor editor{dialogs};         // the sample skin, for the pick and the redraw
    Editor schemeEditor{dialogs};   // where the scheme is loaded, again and again
    bool ready = false;

    Fixture()
    {
        // Forty lines as the default set writes them, CR LF.
        QByteArray text;
        for (int i = 0; i < 40; ++i)
            text += QStringLiteral("%1,%2,%3,%4,0,%5\r\n")
                        .arg(i % 5 == 0 ? QStringLiteral("-") : QStringLiteral("%1").arg(570 + i, 4, 10, QLatin1Char('0')))
                        .arg((i * 37) % 256)
                        .arg((i * 91) % 256)
                        .arg((i * 13) % 256)
                        .arg(10 + i * 2, 4, 10, QLatin1Char('0'))
                        .toLatin1();
        scheme = defaults.filePath(QStringLiteral("colors.txt"));
        QFile f(scheme);
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
            return;
        f.close();

        const QDir sample(QStringLiteral(VELLUNO_SOURCE_DIR "/examples/varavave"));
        for (const QString& name : sample.entryList(QDir::Files))
            QFile::copy(sample.filePath(name), QDir(skinDir.path()).filePath(name));
        StartUp(schemeEditor);
        schemeEditor.defaultDir = defaults.path();
        StartUp(editor);
        if (!OpenSkinFile(editor, skinDir.filePath(QStringLiteral("varavave.ski"))).completed)
            return;
        bench::Click(editor, "cmdExportAll");  // the preview then draws the real images, its cache warm
        std::fprintf(stderr, "sample: %d colour rows, %d decodes\n", editor.doc.colours.count(),
                     editor.images.decodes());
        ready = true;
    }
};

Fixture& TheFixture()
{
    static Fixture fixture;
    return fixture;
}

void BM_ReadAndSplitScheme(benchmark::State& state)
{
    Fixture& f = TheFixture();
    qsizetype fields = 0;
    for (auto _ : state) {
        QFile file(f.scheme);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("the scheme cannot be read");
            return;
        }
        const QString text = QString::fromLatin1(file.readAll());
        for (const QStringView line : QStringView(text).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            for (const QStringView field : line.split(QLatin1Char(',')))
                fields += field.trimmed().size() > 0;
        benchmark::DoNotOptimize(fields);
    }
}
BENCHMARK(BM_ReadAndSplitScheme)->Unit(benchmark::kMicrosecond);

void BM_LoadDefaultScheme(benchmark::State& state)
{
    Fixture& f = TheFixture();
    if (!f.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    for (auto _ : state) {
        bench::Click(f.schemeEditor, "cmdLoadColors");
        f.schemeEditor.messages.clear();  // the session would keep every message box
    }
    if (f.schemeEditor.doc.colours.count() != 40)
        state.SkipWithError("the scheme did not load");
}
BENCHMARK(BM_LoadDefaultScheme)->Unit(benchmark::kMicrosecond);

void BM_Render(benchmark::State& state)
{
    Fixture& f = TheFixture();
    if (!f.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    for (auto _ : state)
        RenderPreview(f.editor);
}
BENCHMARK(BM_Render)->Unit(benchmark::kMicrosecond);

void BM_PickColourForRow(benchmark::State& state)
{
    Fixture& f = TheFixture();
    if (!f.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    // The operator text's row: the redraw shows the new colour.
    const int row = f.editor.doc.colours.findKey("0595");
    bench::ClickRow(f.editor, "L_RGBA", row > 0 ? row : 1);
    for (auto _ : state)
        bench::Click(f.editor, "PicColor");
}
BENCHMARK(BM_PickColourForRow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return velluno::bench::RunBenchmarks(argc, argv); }
