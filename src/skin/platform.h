#pragma once
// The few things the program does its own way on Linux because a figure
// showed it faster there; on other systems each answers "not here" and the
// caller takes the portable road.
#include <QString>

namespace velluno {

// Flushes everything written on the file system that holds `dir` with one
// call, which beats one call per file by far when an export writes hundreds
// of small images. False where the system has no such call: the caller then
// flushes file by file.
bool SyncFileSystemOf(const QString& dir);

// Starts `work` on a thread of its own, placed on another processor than
// the caller's, but only when one is free now (fewer threads running in the
// whole system than the program has processors). Left to the scheduler, a
// new thread often waits on the busy processor of the thread that made it
// until the next balancing tick, by which time its result is needed. False
// when nothing was started (one processor, the others busy, a second work
// under way, or a system that cannot place threads): the caller does the
// work itself where it is needed.
bool StartOnFreeProcessor(void (*work)());
// Waits for the work StartOnFreeProcessor started, if any, letting it run
// on any processor meanwhile (the caller's is free while it waits).
void JoinStartedWork();

}  // namespace velluno
