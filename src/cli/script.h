#pragma once
// Session scripts: one run of the editor without a window, the user's actions
// read from a text. The grammar and the exit statuses are a published
// contract (docs/scripting.md).
#include <QByteArray>
#include <QString>

class QTextStream;

namespace velluno::cli {

// Exit statuses of a script run.
constexpr int kScriptOk = 0;
constexpr int kScriptFailed = 1;     // a file could not be read or written
constexpr int kScriptRejected = 2;   // malformed line, unknown control, unanswered dialog

// Runs the script `text`; `name` is how messages name the script. A `dump`
// without a path writes to `out`; errors are written to `err`, naming the line.
int RunScript(const QString& name, const QByteArray& text, QTextStream& out, QTextStream& err);

}  // namespace velluno::cli
