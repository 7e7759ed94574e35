#pragma once
// The sub-commands of velluno-cli. Each takes the arguments after its name
// and returns the exit status; they print to standard output / error.
#include <QStringList>

namespace velluno::cli {

int CmdInfo(const QStringList& args);    // cmd_info.cpp
int CmdExport(const QStringList& args);  // cmd_export.cpp
int CmdRepack(const QStringList& args);  // cmd_export.cpp
int CmdRender(const QStringList& args);  // cmd_render.cpp
int CmdScript(const QStringList& args);  // cmd_script.cpp
int CmdColours(const QStringList& args); // cmd_colours.cpp

}  // namespace velluno::cli
