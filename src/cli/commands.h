#pragma once
// The sub-commands of velluno-cli. Each takes the arguments after its name
// and returns the exit status; results go to standard output, problems to
// standard error.
#include <QStringList>

namespace velluno::cli {

// The exit status of every command, session scripts included.
enum ExitStatus : int {
    kExitDone = 0,      // everything was done
    kExitProblems = 1,  // done, with problems: faulty rows, images missing, a save that stopped
    kExitUnusable = 2,  // bad usage, or an input that could not be opened
};

int CmdInfo(const QStringList& args);    // cmd_info.cpp
int CmdExport(const QStringList& args);  // cmd_export.cpp
int CmdRepack(const QStringList& args);  // cmd_export.cpp
int CmdFixLineEnds(const QStringList& args);  // cmd_export.cpp
int CmdRender(const QStringList& args);  // cmd_render.cpp
int CmdScript(const QStringList& args);  // cmd_script.cpp
int CmdColours(const QStringList& args); // cmd_colours.cpp

}  // namespace velluno::cli
