#pragma once
// How the commands tell what they found: the checkup's problems and notes
// in the command line's words, and the exit status they make.
#include "cli/commands.h"
#include "skin/checkup.h"

class QTextStream;

namespace velluno::cli {

// The reading gave nothing to work on: the file could not be opened or
// read, is too large, or is no skin. Every command exits with 2 then.
bool Unusable(const ReadingFacts& reading);
// Why, as one line.
QString UnusableText(const ReadingFacts& reading);

// One finding, in English.
QString FindingText(const Finding& finding);

// Every finding on standard error, one a line, notes marked as such:
// "velluno-cli COMMAND: ...", "velluno-cli COMMAND: note: ...".
void PrintFindings(QTextStream& err, const char* command, const Checkup& checkup);

// 1 when the checkup holds a problem, else 0.
int StatusOf(const Checkup& checkup);

}  // namespace velluno::cli
