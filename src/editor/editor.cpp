#include "editor/editor.h"

#include "skin/files.h"
#include "editor/positions.h"
#include "version.h"

namespace velluno {

Editor::Editor(Dialogs& d) : dialogs(&d)
{
    for (int n : kPanelObjects)
        Pic[n] = ObjectPicture{};
    txtOffSet.maxLength = 1;
    txtOffSet.text = QStringLiteral("2");
    txtMin.text = QStringLiteral("18");
    txtOra.text = QStringLiteral("12");
    optTime[0].checked = true;
    chkWallPaper.checked = true;
    chkDim.checked = true;
    chkConferma.checked = true;
    // The colour tab's swatch takes clicks whenever its tab does; the
    // background swatch's caption waits for a background record.
    PicColor.enabled = true;
    lbl0.enabled = false;
    // The rectangle view's option is at hand from the start, skin or not.
    chkCls.enabled = true;
    // The operator's name and the date sit in fixed boxes of 158 x 17.
    canvas.lblOperatore.text = QStringLiteral("varavave IT");
    canvas.lblOperatore.width = 158;
    canvas.lblData.width = 158;
    defaultDir = ProgramDefaultFolder();
    now = [] { return QDateTime::currentDateTime(); };
}

Field& Editor::field(FieldRef ref)
{
    switch (ref.kind) {
    case FieldKind::TxtMin: return txtMin;
    case FieldKind::TxtOra: return txtOra;
    case FieldKind::TxtOffSet: return txtOffSet;
    case FieldKind::Txt: break;
    }
    return txt[qBound(0, ref.index, kFieldCount - 1)];
}

void Editor::setText(FieldRef ref, const QString& text)
{
    Field& f = field(ref);
    if (f.text == text)
        return;
    f.text = text;
    FieldChanged(*this, ref);
}

Answer Editor::message(const QString& text, MsgIcon icon, MsgButtons buttons)
{
    const QString title = MessageTitle(icon);
    messages.append(Message{title, text, icon});
    return dialogs->message(text, title, icon, buttons);
}

QString WindowTitle()
{
    return QStringLiteral("Velluno Ver. %1.%2 (buid: %3) by Ostrel")
        .arg(VELLUNO_VERSION_MAJOR)
        .arg(VELLUNO_VERSION_MINOR)
        .arg(VELLUNO_REVISION, 3, 10, QLatin1Char('0'));
}

}  // namespace velluno
