#pragma once
// Session scripts: one run of the editor without a window, the user's actions
// read from a text. The grammar and the exit statuses are a published
// contract (docs/scripting.md).
#include "cli/commands.h"

#include <QByteArray>
#include <QString>

class QTextStream;

namespace velluno::cli {

// Exit statuses of a script run, those of every command.
constexpr int kScriptOk = kExitDone;
constexpr int kScriptFailed = kExitProblems;  // a file could not be read or written, a SAVE wrote nothing
constexpr int kScriptRejected = kExitUnusable;  // malformed line, unknown control, unanswered dialog

// A script read without running anything: how many commands it holds, or
// the 1-based line of its first malformed line and why.
struct ScriptCheck {
    int commands = 0;
    int line = 0;  // 0 when every line is well formed
    QString why;
    bool ok() const { return line == 0; }
};
ScriptCheck ParseScript(const QByteArray& text);

// Runs the script `text`; `name` is how messages name the script. A `dump`
// without a path writes to `out`; errors are written to `err`, naming the line.
int RunScript(const QString& name, const QByteArray& text, QTextStream& out, QTextStream& err);

}  // namespace velluno::cli
