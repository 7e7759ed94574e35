#pragma once
// The window's words for the failures the skin library reports.
#include "skin/errors.h"

namespace velluno {

// Why a file could not be read or written, naming the file, the line and
// the system's reason where there is one: "il file … non può essere letto
// (…)".
QString FailureText(const SkinError& error);

// The message of a save that stopped: the failure, then that no file was
// changed (or where the old contents are kept when putting them back failed).
QString SaveFailureText(const SkinError& error);

// The message of a default colour scheme that could not be loaded: the
// failure, then that the colour table was left as it was.
QString SchemeFailureText(const SkinError& error);

}  // namespace velluno
