#include "window/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace velluno::window {

bool SpeakItalian(QCoreApplication& app)
{
    // The editor speaks Italian whatever the desktop's language: its own
    // texts are Italian, and Qt's standard texts must not answer in another
    // language beside them. One catalogue, read in place.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    // Dates and sizes in the file dialog as an Italian reads them.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    return true;
}

}  // namespace velluno::window
