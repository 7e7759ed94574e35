#include "editor/shell.h"

#include "editor/objects.h"
#include "editor/opensave.h"
#include "editor/preview.h"

namespace velluno {

void Form_Load(Editor& editor)
{
    editor.title = WindowTitle();
    editor.tab = 0;
    editor.canvas.wallpaper = QStringLiteral("builtin");
    editor.canvas.wallpaperPicture = BuiltinWallpaper();
    InitSystem(editor);
    editor.status = QStringLiteral("Aprire un file Skin (*.ski)...");
}

void InitSystem(Editor& editor)
{
    for (bool& enabled : editor.tabsEnabled)
        enabled = false;
    const QDateTime now = editor.now();
    editor.canvas.lblData.text = now.toString(QStringLiteral("d/M/yyyy"));
    editor.canvas.lblOra.text = now.toString(QStringLiteral("HH:mm"));
    for (Field& f : editor.txt)
        f.enabled = false;
    editor.txtMin.enabled = false;
    editor.txtOra.enabled = false;
    for (Check& c : editor.optPos)
        c.enabled = false;
    editor.optTime[0].enabled = false;
    editor.optTime[1].enabled = false;
    editor.txtOffSet.enabled = false;
    for (Button* b : {&editor.cmdMoveUp, &editor.cmdMoveDown, &editor.cmdMoveLeft,
                      &editor.cmdMoveRight, &editor.cmdUpdate, &editor.cmdImport,
                      &editor.cmdDefault})
        b->enabled = false;
    editor.FileDesktop.visible = false;
    editor.chkDim = Check{true, false};
    editor.chkConferma = Check{true, false};
    editor.lInfo = QStringLiteral("...");
    NoGIF(editor);
}

SkinError TB0_ButtonClick(Editor& editor, const QString& key)
{
    if (key == QLatin1String("LOAD"))
        OpenSkin(editor);
    else if (key == QLatin1String("SAVE"))
        return SalvaSkin(editor).error;
    else if (key == QLatin1String("CLOSE"))
        Form_QueryUnload(editor);
    return SkinError();
}

void SSTab1_Click(Editor& editor, int tab)
{
    if (tab < 0 || tab >= kTabCount)
        return;
    editor.tab = tab;
    editor.loadEnabled = tab == 0;
    switch (tab) {
    case 0:
        if (!editor.doc.SkinName.isEmpty())
            editor.status = QStringLiteral("Skin: ") + editor.doc.SkinDir + QLatin1Char('/') +
                            editor.doc.SkinName + QStringLiteral(".ski");
        break;
    case 1: {
        const int n = editor.doc.L_Values.count();
        editor.status = n ? QStringLiteral("N° oggetti definiti in elenco: %1").arg(n)
                          : QStringLiteral("Nessun oggetto definito in elenco.");
        break;
    }
    case 2: {
        const int n = editor.doc.L_RGBA.count();
        editor.status = n ? QStringLiteral("N° colori definiti in elenco: %1").arg(n)
                          : QStringLiteral("Nessun colore definito in elenco.");
        break;
    }
    case 4:
        editor.status.clear();
        break;
    default:
        break;
    }
}

bool Form_QueryUnload(Editor& editor)
{
    const Answer a = editor.message(QStringLiteral("Confermi l'uscita da Velluno ?"),
                                    MsgIcon::Question, MsgButtons::YesNo);
    if (a != Answer::Yes)
        return false;
    editor.closed = true;
    return true;
}

}  // namespace velluno
