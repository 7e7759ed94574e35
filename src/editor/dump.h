#pragma once
// The whole editor state as one JSON document: the document, the window's
// controls, the preview canvas and every message shown. Scripts and tests
// read it; the keys are a published format, so keys may be added, never
// renamed or dropped.
#include "editor/editor.h"

#include <QJsonDocument>

namespace velluno {

// Colours are integers in 0x00BBGGRR order, references are node numbers or
// row keys (null when unbound), paths use "/".
QJsonDocument DumpState(const Editor& editor);

// The name of a message icon in the dump: "stop", "exclamation",
// "information" or "question".
QString IconName(MsgIcon icon);

}  // namespace velluno
