#include "editor/editor.h"

#include "editor/undo.h"
#include "skin/files.h"
#include "version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace velluno {

namespace {

// The default set: "default" beside the program or, for an installed
// program, share/velluno/default beside its bin folder.
QString ProgramDefaultFolder()
{
    const QString appDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                          : QDir::currentPath();
    const QString beside = ResolveDir(JoinPath(appDir, QStringLiteral("default")));
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed = QDir::cleanPath(JoinPath(appDir, QStringLiteral("../share/velluno/default")));
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

}  // namespace

Editor::Editor(Dialogs& d) : dialogs(&d), history_(std::make_unique<History>())
{
    for (int n : kPanelObjects)
        preview.panel[n] = PanelPicture{};
    moveStep.maxLength = 1;
    moveStep.text = QStringLiteral("2");
    preview.minuteLength.text = QStringLiteral("18");
    preview.hourLength.text = QStringLiteral("12");
    preview.clockStyle[0].checked = true;
    preview.showWallpaper.checked = true;
    checkSize.checked = true;
    askFirst.checked = true;
    // The colour tab's swatch takes clicks whenever its tab does.
    rowColour.enabled = true;
    // The rectangle view's option is at hand from the start, skin or not.
    clearRectangles.enabled = true;
    // The operator's name and the date sit in fixed boxes of 158 x 17.
    preview.scene.lblOperatore.text = QStringLiteral("varavave IT");
    preview.scene.lblOperatore.width = 158;
    preview.scene.lblData.width = 158;
    defaultDir = ProgramDefaultFolder();
    now = [] { return QDateTime::currentDateTime(); };
}

Editor::~Editor() = default;

Field& Editor::field(FieldRef ref)
{
    switch (ref.kind) {
    case FieldKind::MinuteLength: return preview.minuteLength;
    case FieldKind::HourLength: return preview.hourLength;
    case FieldKind::MoveStep: return moveStep;
    case FieldKind::Numbered: break;
    }
    return preview.fields[qBound(0, ref.index, kFieldCount - 1)];
}

const Field& Editor::field(FieldRef ref) const { return const_cast<Editor*>(this)->field(ref); }

Answer Editor::message(const QString& text, MsgIcon icon, MsgButtons buttons)
{
    const Message m{MessageTitle(icon), text, icon};
    messages.append(m);
    if (buttons == MsgButtons::Ok) {
        pending_.append(m);
        return Answer::Ok;
    }
    // A question is asked at once: the action goes on by its answer.
    showPendingMessages();
    return dialogs->message(text, m.title, icon, buttons);
}

void Editor::showPendingMessages()
{
    if (pending_.isEmpty())
        return;
    if (beforeMessages)
        beforeMessages();
    const QVector<Message> shown = std::move(pending_);
    pending_.clear();
    for (const Message& m : shown)
        dialogs->message(m.text, m.title, m.icon, MsgButtons::Ok);
}

QString WindowTitle()
{
    return QStringLiteral("Velluno Ver. %1.%2 (buid: %3) by Ostrel")
        .arg(VELLUNO_VERSION_MAJOR)
        .arg(VELLUNO_VERSION_MINOR)
        .arg(VELLUNO_REVISION, 3, 10, QLatin1Char('0'));
}

}  // namespace velluno
