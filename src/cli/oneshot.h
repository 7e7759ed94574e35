#pragma once
// A one-shot command's session: the editor started as the program starts and
// the skin named on the command line opened through LOAD, as the user would.
#include "cli/clidialogs.h"
#include "document/open.h"

#include <QTextStream>

namespace velluno::cli {

struct OneShot {
    explicit OneShot(const QString& skin);
    CliDialogs dialogs;
    Editor editor;
    OpenReport report;

    // Why the skin cannot be worked on; empty when the opening went through.
    QString openProblem() const;
    // Why the editor would not let the user save it; empty when it would.
    QString saveRefusal() const;
    // The message boxes shown since message number `from`, one a line.
    void printMessages(QTextStream& out, int from = 0) const;
};

}  // namespace velluno::cli
