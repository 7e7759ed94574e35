#pragma once
// Dialogs for the one-shot commands (info, export, repack, render): the file
// dialog answers with the skin named on the command line, questions are
// answered No, colour dialogs are cancelled, and every message box is kept so
// the command can print it.
#include "shell/editor.h"

namespace velluno::cli {

class CliDialogs : public Dialogs {
public:
    explicit CliDialogs(QString skin) : skin_(std::move(skin)) {}
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override
    {
        return skin_;
    }
    std::optional<quint32> chooseColour(quint32) override { return std::nullopt; }
    Answer message(const QString&, const QString&, MsgIcon, MsgButtons buttons) override
    {
        return buttons == MsgButtons::Ok ? Answer::Ok : Answer::No;
    }

private:
    QString skin_;
};

}  // namespace velluno::cli
