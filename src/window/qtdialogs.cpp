#include "window/qtdialogs.h"

#include "window/models.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace velluno::window {

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString given = parts.at(i + 1).trimmed();
        QString pattern = given;
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString description = parts.at(i).trimmed();
        // The description often repeats the pattern already: "Skin file (*.ski)".
        if (description.endsWith(QLatin1Char('(') + given + QLatin1Char(')')))
            filters << description.left(description.size() - given.size() - 1) + pattern +
                           QLatin1Char(')');
        else if (description.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    if (filters.isEmpty() && !filter.trimmed().isEmpty())
        filters << filter.trimmed();
    return filters.join(QStringLiteral(";;"));
}

quint32 ColourValue(int red, int green, int blue)
{
    return quint32(red & 0xFF) | (quint32(green & 0xFF) << 8) | (quint32(blue & 0xFF) << 16);
}

std::optional<QString> QtDialogs::openFile(const QString& title, const QString& filter,
                                           const QString& initialName, const QString& folder)
{
    // Qt's own dialog, not the desktop's: its texts come from the Italian
    // translations the program loads, whatever language the desktop speaks.
    // A name given in a folder starts there with the name filled in.
    const QString start = folder.isEmpty() ? initialName
                          : initialName.isEmpty() ? folder
                                                  : folder + QLatin1Char('/') + initialName;
    const QString chosen = QFileDialog::getOpenFileName(parent_, title, start, QtFileFilter(filter), nullptr,
                                                        QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<quint32> QtDialogs::chooseColour(quint32 initial)
{
    // Qt's colour dialog always shows its custom-colour part: the full form.
    const QColor chosen = QColorDialog::getColor(ColourOf(initial), parent_, QString(),
                                                 QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid())
        return std::nullopt;
    return ColourValue(chosen.red(), chosen.green(), chosen.blue());
}

Answer QtDialogs::message(const QString& text, const QString& title, MsgIcon icon,
                          MsgButtons buttons)
{
    QMessageBox::Icon qicon = QMessageBox::Information;
    switch (icon) {
    case MsgIcon::Stop: qicon = QMessageBox::Critical; break;
    case MsgIcon::Exclamation: qicon = QMessageBox::Warning; break;
    case MsgIcon::Information: qicon = QMessageBox::Information; break;
    case MsgIcon::Question: qicon = QMessageBox::Question; break;
    }
    QMessageBox box(qicon, title, text, QMessageBox::NoButton, parent_);
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

}  // namespace velluno::window
