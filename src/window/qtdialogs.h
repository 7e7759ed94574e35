#pragma once
// The editor's dialogs and message boxes as Qt shows them.
#include "editor/dialogs.h"

#include <QString>

class QWidget;

namespace velluno::window {

// "Skin file (*.ski)|*.ski" -> "Skin file (*.ski)"; several pairs become
// several Qt filters, a pattern list "*.JPG;*.GIF" becomes "*.JPG *.GIF".
QString QtFileFilter(const QString& filter);

// 0x00BBGGRR <-> red, green, blue.
quint32 ColourValue(int red, int green, int blue);

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}
    std::optional<QString> openFile(const QString& title, const QString& filter, const QString& initialName,
                                    const QString& folder) override;
    std::optional<quint32> chooseColour(quint32 initial) override;
    Answer message(const QString& text, const QString& title, MsgIcon icon,
                   MsgButtons buttons) override;

private:
    QWidget* parent_;
};

}  // namespace velluno::window
