#pragma once
// The command-line tool's words for what the skin library reports: one
// language for this face, as the window has its own.
#include "render/imageguard.h"
#include "skin/containers.h"
#include "skin/errors.h"
#include "skin/reader.h"

namespace velluno::cli {

QString EnglishText(const SkinError& error);
QString EnglishText(const ExtractReport::Fault& fault);
QString EnglishText(SaveRefusal refusal);
QString EnglishText(ImageFault fault);
// Why the skin read may not be saved, naming the file and, for a reading
// that stopped at a carriage return, its line; empty when it may be.
QString RefusalText(const SkinReading& reading, const QString& path);
// That text after the last line feed is dropped, quoting its start; empty
// when there is none (or when the reading is refused anyway).
QString TrailingTextWarning(const SkinReading& reading, const QString& path);

}  // namespace velluno::cli
