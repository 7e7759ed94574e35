#pragma once
// The sub-commands of velluno-cli, as one table: each with its arguments,
// its options and its usage, parsed by QCommandLineParser in main.cpp.
// Results go to standard output, problems to standard error.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QStringList>

namespace velluno::cli {

// The exit status of every command, session scripts included.
enum ExitStatus : int {
    kExitDone = 0,      // everything was done
    kExitProblems = 1,  // done, with problems: the skin has one, or a save or write stopped or was refused
    kExitUnusable = 2,  // bad usage, or an input that could not be opened (or is no skin)
};

struct Subcommand {
    const char* name;
    const char* arguments;  // what follows the name in the usage: "SKIN"
    const char* summary;    // one line of the list of commands
    bool drawing;           // draws the preview's text: needs a GUI platform (offscreen will do)
    QList<QCommandLineOption> (*options)();  // the command's own options; nullptr for none
    // Runs with the positional arguments (one per word of `arguments`)
    // and the parsed options; returns the exit status.
    int (*run)(const QStringList& arguments, const QCommandLineParser& options);
};

// The table, in the order of the help.
const QList<Subcommand>& Commands();

int RunInfo(const QStringList& args, const QCommandLineParser& options);         // cmd_info.cpp
int RunExport(const QStringList& args, const QCommandLineParser& options);       // cmd_export.cpp
int RunRepack(const QStringList& args, const QCommandLineParser& options);       // cmd_export.cpp
int RunFixLineEnds(const QStringList& args, const QCommandLineParser& options);  // cmd_export.cpp
int RunColours(const QStringList& args, const QCommandLineParser& options);      // cmd_colours.cpp
int RunRender(const QStringList& args, const QCommandLineParser& options);       // cmd_render.cpp
QList<QCommandLineOption> RenderOptions();                                       // cmd_render.cpp
int RunScript(const QStringList& args, const QCommandLineParser& options);       // cmd_script.cpp

// The usage error of a command: why, then its usage line, on standard error.
int UsageError(const char* command, const QString& why);

}  // namespace velluno::cli
