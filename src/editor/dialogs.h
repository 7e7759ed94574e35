#pragma once
// Every dialog and message box of the editor goes through this interface: the
// window answers with Qt's dialogs, the script runner from the script.
#include <QString>
#include <deque>
#include <optional>

namespace velluno {

enum class MsgIcon { Stop, Exclamation, Information, Question };
enum class MsgButtons { Ok, YesNo };  // Yes/No boxes preselect No
enum class Answer { Ok, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // `filter` is "description|pattern"; the dialog starts in `folder` (the
    // open skin's; empty: wherever the system starts). Nothing when the
    // user cancels.
    virtual std::optional<QString> openFile(const QString& title, const QString& filter,
                                            const QString& initialName, const QString& folder) = 0;
    // Full form with `initial` preselected; colours are 0x00BBGGRR.
    virtual std::optional<quint32> chooseColour(quint32 initial) = 0;
    virtual Answer message(const QString& text, const QString& title, MsgIcon icon,
                           MsgButtons buttons) = 0;
};

// Dialogs nobody answers: files and colours are cancelled, questions
// answered No. For a session without a user (a one-shot rendering, a
// benchmark); the editor still records every message box.
class UnansweredDialogs : public Dialogs {
public:
    std::optional<QString> openFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<quint32> chooseColour(quint32) override { return std::nullopt; }
    Answer message(const QString&, const QString&, MsgIcon, MsgButtons buttons) override
    {
        return buttons == MsgButtons::Ok ? Answer::Ok : Answer::No;
    }
};

// Dialogs answered from queues, oldest answer first: a session script's
// answers, or a test's. A dialog that finds nothing queued cancels (files,
// colours) or answers No, as the user's cancel would, and is counted; the
// first such dialog is described for the message that says so.
class QueuedDialogs : public Dialogs {
public:
    std::deque<std::optional<QString>> files;  // nothing: cancel
    std::deque<std::optional<quint32>> colours;
    std::deque<Answer> answers;
    int unanswered = 0;
    QString firstUnanswered;

    std::optional<QString> openFile(const QString& title, const QString& filter, const QString& initialName,
                                    const QString& folder) override;
    std::optional<quint32> chooseColour(quint32 initial) override;
    Answer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;

private:
    void miss(const QString& what);
};

// The title that goes with each icon.
inline QString MessageTitle(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Stop: return QStringLiteral("Errore:");
    case MsgIcon::Exclamation: return QStringLiteral("Attenzione:");
    case MsgIcon::Information: return QStringLiteral("Informazione:");
    case MsgIcon::Question: return QStringLiteral("Domanda:");
    }
    return QString();
}

}  // namespace velluno
