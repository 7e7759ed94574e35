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

}  // namespace velluno::cli
