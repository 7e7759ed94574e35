#pragma once
// The containers beside a skin and "Esporta tutto", which cuts every graphic
// object out of its container into its own image file.
#include "shell/editor.h"

namespace velluno {

// Container n of the open skin: SkinDir / SkinName & n & ".dat" (no number
// for 0), matched without regard to case when it exists.
QString ContainerPath(const Editor& editor, qint64 n);

// What an export met, for the command-line tool: one entry per faulty row.
struct ExportReport {
    int written = 0;
    int skipped = 0;  // replaced rows that have no place in a container yet
    struct Fault {
        QString key;
        QString reason;
    };
    QVector<Fault> faults;
};

ExportReport cmdExportAll_Click(Editor& editor);

}  // namespace velluno
