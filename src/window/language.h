#pragma once
// Qt's own texts in the editor's language: the buttons of the message
// boxes, the file and colour dialogs, the fields' context menus.
class QCoreApplication;

namespace velluno::window {

// Installs Qt's Italian translations (Debian's qt6-translations-l10n) and
// the Italian locale; false, changing nothing, when they are not installed.
bool SpeakItalian(QCoreApplication& app);

}  // namespace velluno::window
