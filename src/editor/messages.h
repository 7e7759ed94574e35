#pragma once
// The window's messages about what the skin library reports; the failures
// themselves are worded in editor/failures.
#include "editor/failures.h"
#include "render/imageguard.h"
#include "skin/errors.h"
#include "skin/containers.h"
#include "skin/lineends.h"
#include "skin/reader.h"
#include "skin/writer.h"

namespace velluno {

// The message of a save that stopped: the failure, then that no file was
// changed (or where the old contents are kept when putting them back failed).
QString SaveFailureText(const SkinError& error);

// What the status bar says after the skin's path when an opening stops.
QString OpeningStoppedText(const SkinError& error);

// The warning of an opening whose skin may not be saved because its reading
// left lines out: it stopped at a carriage return with more of the file
// after it (naming that line), or found no line at all. Empty otherwise.
QString TruncatedReadingText(const SkinReading& reading);
// The warning of an opening whose file ends with text after its last line
// feed, quoting its start; empty when there is none or when the reading is
// refused saving anyway.
QString TextAfterLastLineText(const SkinReading& reading);

// The question of an opening whose reading dropped text: what was dropped,
// then "Correggere il file?" naming what the repair changes and where the
// original is kept.
QString LineEndRepairQuestion(const SkinReading& reading, const LineEndRepair& planned);
// The message of a repair that could not be written.
QString LineEndRepairFailureText(const SkinError& error);
// What the status bar says of image files edited by hand that an opening
// or the file watcher took as replacements (and of those it could not
// take); empty when there were none.
QString EditedImagesText(const EditedImages& edited);
// What the status bar says after "Esporta tutto" kept image files edited by
// hand as numbered copies.
QString KeptImagesText(const QVector<ExtractReport::Kept>& kept);
// The message after "Esporta tutto" left rows without image: how many, and
// the first ones with why (a container missing, shorter than the record, an
// image file that cannot be written and the system's reason). Empty when
// every row was extracted.
QString ExtractFaultsText(const ExtractReport& report);
// What the status bar says after a save that brought image files in line
// with container 14; empty when none was written.
QString SavedImagesText(const SaveReport& report);

// The message of a default colour scheme that could not be loaded: the
// failure, then that the colour table was left as it was.
QString SchemeFailureText(const SkinError& error);
// The number the row display shows with it ("Errore n° 4, ..."): the error
// code of Qt's image reader (QImageReader::ImageReaderError) that stands for
// the fault: 1 file not found, 2 device error, 3 unsupported format, 4
// invalid data. Stable: the codes are part of Qt's interface.
int ImageFaultNumber(ImageFault fault);

}  // namespace velluno
