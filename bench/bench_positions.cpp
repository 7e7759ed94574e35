// Moving elements on the sample skin (images extracted, image cache warm):
// a move of all twelve elements ticked, and one digit typed into a position
// field, each beside as many plain renders as it performs, measured in the
// same run. Each action renders once, at its end; beyond that render it
// costs its own work (twelve rectangles moved and their fields written back)
// and the undo step it records. The undo and the redo of the move of the twelve,
// together, beside two renders: at most 1.2 times them. And the memory the
// undo history holds after 200 steps of typing, reported.
#include "editor/actions.h"
#include "editor/objects.h"
#include "editor/opensave.h"
#include "editor/positions.h"
#include "editor/preview.h"
#include "editor/shell.h"
#include "editor/undo.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace velluno;

namespace {

struct Sample {
    QTemporaryDir dir;
    UnansweredDialogs dialogs;
    Editor editor{dialogs};
    bool ready = false;
    int moveRenders = 0;   // renders of one move of the twelve
    int digitRenders = 0;  // renders of one digit typed

    Sample()
    {
        const QDir sample(QStringLiteral(VELLUNO_SOURCE_DIR "/examples/varavave"));
        for (const QString& name : sample.entryList(QDir::Files))
            QFile::copy(sample.filePath(name), QDir(dir.path()).filePath(name));
        StartUp(editor);
        if (!OpenSkinFile(editor, dir.filePath(QStringLiteral("varavave.ski"))).completed)
            return;
        bench::Click(editor, "cmdExportAll");
        for (int k = 0; k < kElementCount; ++k)
            bench::Click(editor, "optPos", k);
        // Once each, so that the timed runs start from rows already marked
        // and the counts are known.
        int before = editor.renders;
        move(0);
        moveRenders = editor.renders - before;
        move(1);
        before = editor.renders;
        typeDigit(0);
        digitRenders = editor.renders - before;
        typeDigit(1);
        historyMemory();
        std::fprintf(stderr, "sample: %d rows in L_Dim, %d images decoded; renders: %d per move of the twelve, "
                             "%d per typed digit\n",
                     editor.doc.rectangles.count(), editor.images.decodes(), moveRenders, digitRenders);
        ready = moveRenders > 0 && digitRenders > 0;
    }

    // 200 steps of typing, each into another field than the one before
    // (keys typed into one field one after the other are one step), on an
    // editor of its own; then the history's estimate of its memory.
    void historyMemory()
    {
        UnansweredDialogs quiet;
        Editor typing(quiet);
        StartUp(typing);
        OpenSkinFile(typing, dir.filePath(QStringLiteral("varavave.ski")));
        const int fields[2] = {1, 7};
        for (int i = 0; i < 200; ++i) {
            UserAction a = UserAction::of(UserAction::Kind::Type, QStringLiteral("txt"), fields[i % 2]);
            a.keys = {'1' + i % 9};
            a.from = 0;
            a.length = 3;
            Perform(typing, a);
        }
        std::fprintf(stderr, "undo history after 200 typed steps: %d steps, about %lld bytes\n",
                     typing.history().steps(), qlonglong(typing.history().bytes()));
    }

    // Right and left by turns, so that the rows stay where they are.
    void move(int i)
    {
        bench::Click(editor, i % 2 == 0 ? "cmdMoveRight" : "cmdMoveLeft");
    }
    // A digit typed over the whole of Y1 of the operator text: 6 and 4 by
    // turns (the sample has 4 there).
    void typeDigit(int i)
    {
        UserAction a = UserAction::of(UserAction::Kind::Type, QStringLiteral("txt"), 1);
        a.keys = {i % 2 == 0 ? '6' : '4'};
        a.from = 0;
        a.length = int(editor.preview.fields[1].text.size());
        Perform(editor, a);
    }
};

Sample& TheSample()
{
    static Sample sample;
    return sample;
}

void BM_MoveTwelve(benchmark::State& state)
{
    Sample& s = TheSample();
    if (!s.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    const int renders = s.editor.renders;
    int i = 0;
    for (auto _ : state)
        s.move(i++);
    state.counters["renders"] = double(s.editor.renders - renders) / double(state.iterations());
    if (i % 2 == 1)
        s.move(i);  // back where it was for the next repetition
}
BENCHMARK(BM_MoveTwelve)->Unit(benchmark::kMicrosecond);

void BM_TypeDigit(benchmark::State& state)
{
    Sample& s = TheSample();
    if (!s.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    const int renders = s.editor.renders;
    int i = 0;
    for (auto _ : state)
        s.typeDigit(i++);
    state.counters["renders"] = double(s.editor.renders - renders) / double(state.iterations());
    if (i % 2 == 1)
        s.typeDigit(i);
}
BENCHMARK(BM_TypeDigit)->Unit(benchmark::kMicrosecond);

// The last move undone and done again: the history's own two actions.
void BM_UndoRedoMove(benchmark::State& state)
{
    Sample& s = TheSample();
    if (!s.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    s.move(0);
    for (auto _ : state) {
        Perform(s.editor, UserAction::of(UserAction::Kind::Undo));
        Perform(s.editor, UserAction::of(UserAction::Kind::Redo));
    }
    s.move(1);
}
BENCHMARK(BM_UndoRedoMove)->Unit(benchmark::kMicrosecond);

// `count` plain renders of the same document, nothing changed between them.
void Renders(benchmark::State& state, const int* count)
{
    Sample& s = TheSample();
    if (!s.ready) {
        state.SkipWithError("no sample skin");
        return;
    }
    for (auto _ : state)
        for (int n = 0; n < *count; ++n)
            RenderPreview(s.editor);
}

// How many renders each cascade performs, known once the sample is open.
int moveRenders = 0;
int digitRenders = 0;
const int twoRenders = 2;

}  // namespace

// Short repetitions in random order, as the two figures of each pair are
// compared: on a shared machine the speed drifts. Flags given on the command
// line come after these and win.
int main(int argc, char** argv)
{
    velluno::bench::MedianRatios reporter;
    reporter.add("BM_MoveTwelve", "BM_RendersOfMove",
                 [] { return "BM_MoveTwelve / " + std::to_string(moveRenders) + " render(s)"; });
    reporter.add("BM_UndoRedoMove", "BM_TwoRenders", [] { return std::string("BM_UndoRedoMove / 2 render(s)"); });
    reporter.add("BM_TypeDigit", "BM_RendersOfDigit",
                 [] { return "BM_TypeDigit / " + std::to_string(digitRenders) + " render(s)"; });
    return velluno::bench::RunInterleaved(
        argc, argv, 30,
        [] {
            Sample& s = TheSample();
            moveRenders = s.moveRenders;
            digitRenders = s.digitRenders;
            benchmark::RegisterBenchmark("BM_RendersOfMove", Renders, &moveRenders)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark("BM_RendersOfDigit", Renders, &digitRenders)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark("BM_TwoRenders", Renders, &twoRenders)->Unit(benchmark::kMicrosecond);
        },
        &reporter);
}
