#pragma once
// The words of every failure the skin library reports, in the window's
// language and in the command line's, side by side: one switch over each
// kind of failure, so that a new kind is worded for both faces or the
// build fails.
#include "render/imageguard.h"
#include "skin/containers.h"
#include "skin/errors.h"
#include "skin/reader.h"

namespace velluno {

enum class Language { Italian, English };

// Why a file could not be read or written, naming the file, the line and
// the system's reason where there is one: "il file … non può essere letto
// (…)", "…: cannot be read (…)".
QString FailureText(const SkinError& error, Language language);
// Why an image was not taken, as a phrase: "il file è vuoto".
QString ImageFaultText(ImageFault fault, Language language);
QString ImageFaultText(GifVerdict verdict, Language language);
// Why a row's image was not cut out of its container (or was, but is no
// GIF the phone can show).
QString ExtractFaultText(const ExtractReport::Fault& fault, Language language);
// Why a skin that was read may not be saved.
QString RefusalText(SaveRefusal refusal, Language language);

}  // namespace velluno
