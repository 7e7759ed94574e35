// Start-up to a shown window, timed from outside the process: the editor
// (`velluno --quit-when-shown`) beside an empty QMainWindow
// (`velluno-barewindow`). Both run on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise. Target: the editor's median at most 1.5
// times the bare window's (tools/startup-bench.sh prints the ratio).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// The programs are built into the same folder as this benchmark.
std::string ProgramDir()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string exe(path, size_t(n));
    return exe.substr(0, exe.rfind('/'));
}

bool RunToExit(const std::string& program, std::vector<std::string> args)
{
    std::vector<char*> argv;
    args.insert(args.begin(), program);
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", 0x1 /* O_WRONLY */, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", 0x1, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (rc != 0)
        return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Start(benchmark::State& state, const std::string& name, const std::vector<std::string>& args)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string program = ProgramDir() + "/" + name;
    if (access(program.c_str(), X_OK) != 0) {
        state.SkipWithError(("not built: " + program).c_str());
        return;
    }
    RunToExit(program, args);  // warm the page cache
    for (auto _ : state) {
        if (!RunToExit(program, args)) {
            state.SkipWithError("the program failed");
            return;
        }
    }
}

void BM_StartBareWindow(benchmark::State& state)
{
    Start(state, "velluno-barewindow", {});
}

void BM_StartEditorWindow(benchmark::State& state)
{
    Start(state, "velluno", {"--quit-when-shown"});
}

BENCHMARK(BM_StartBareWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_StartEditorWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
