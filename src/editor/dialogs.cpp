#include "editor/dialogs.h"

namespace velluno {

void QueuedDialogs::miss(const QString& what)
{
    if (unanswered++ == 0)
        firstUnanswered = what;
}

std::optional<QString> QueuedDialogs::openFile(const QString& title, const QString&, const QString&, const QString&)
{
    if (files.empty()) {
        miss(QStringLiteral("the file dialog \"%1\" opened with no answer-file queued").arg(title));
        return std::nullopt;
    }
    // Taken apart by hand: copying the optional trips GCC's
    // maybe-uninitialized warning at -O2.
    const bool cancel = !files.front().has_value();
    const QString path = cancel ? QString() : *files.front();
    files.pop_front();
    if (cancel)
        return std::nullopt;
    return path;
}

std::optional<quint32> QueuedDialogs::chooseColour(quint32)
{
    if (colours.empty()) {
        miss(QStringLiteral("the colour dialog opened with no answer-colour queued"));
        return std::nullopt;
    }
    const std::optional<quint32> answer = colours.front();
    colours.pop_front();
    return answer;
}

Answer QueuedDialogs::message(const QString& text, const QString&, MsgIcon, MsgButtons buttons)
{
    if (buttons == MsgButtons::Ok)
        return Answer::Ok;
    if (answers.empty()) {
        miss(QStringLiteral("the question \"%1\" was asked with no answer queued").arg(text));
        return Answer::No;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

}  // namespace velluno
