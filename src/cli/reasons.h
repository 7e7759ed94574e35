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
// that dropped text, its line and the command that repairs it; empty when
// it may be.
QString RefusalText(const SkinReading& reading, const QString& path);
QString EnglishText(GifVerdict verdict);
// Which image files an opening took as edited by hand; empty when none.
QString EditedImagesNote(const EditedImages& edited);

}  // namespace velluno::cli
