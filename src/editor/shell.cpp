#include "editor/shell.h"

#include "editor/controls.h"
#include "editor/objects.h"

namespace velluno {

void StartUp(Editor& editor)
{
    editor.title = WindowTitle();
    editor.tab = 0;
    editor.preview.scene.wallpaper = QStringLiteral("builtin");
    editor.preview.scene.wallpaperPicture = BuiltinWallpaper();
    ResetWindow(editor);
    editor.status = QStringLiteral("Aprire un file Skin (*.ski)...");
}

void ResetWindow(Editor& editor)
{
    for (bool& enabled : editor.tabsEnabled)
        enabled = false;
    const QDateTime now = editor.now();
    editor.preview.scene.lblData.text = now.toString(QStringLiteral("d/M/yyyy"));
    editor.preview.scene.lblOra.text = now.toString(QStringLiteral("HH:mm"));
    for (const Control& c : Controls()) {
        if (c.reset == Reset::Keep)
            continue;
        for (int i : Indexes(c)) {
            if (c.button)
                c.button(editor, i)->enabled = false;
            if (c.field)
                c.field(editor, i)->enabled = false;
            if (c.check) {
                Check* box = c.check(editor, i);
                box->enabled = false;
                if (c.reset == Reset::CheckAndDisable)
                    box->checked = true;
            }
        }
    }
    editor.preview.wallpapers.visible = false;
    editor.imageSize = QStringLiteral("...");
    ShowEmptyPage(editor);
}

void ShowTab(Editor& editor, int tab)
{
    if (tab < 0 || tab >= kTabCount)
        return;
    editor.tab = tab;
    switch (tab) {
    case 0:
        if (!editor.doc.name.isEmpty())
            editor.status = QStringLiteral("Skin: ") + editor.doc.folder + QLatin1Char('/') + editor.doc.name +
                            QStringLiteral(".ski");
        break;
    case 1: {
        const int n = editor.doc.objects.count();
        editor.status = n ? QStringLiteral("N° oggetti definiti in elenco: %1").arg(n)
                          : QStringLiteral("Nessun oggetto definito in elenco.");
        break;
    }
    case 2: {
        const int n = editor.doc.colours.count();
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

QString LoadTip(const Editor& editor)
{
    const QString tip = QStringLiteral("Apri un file *.ski...");
    if (IsEnabled(editor, *FindControl(u"LOAD"), 0))
        return tip;
    return tip + QStringLiteral(" (Apri e Ctrl+O funzionano nella scheda «Preview skin»)");
}

bool AskToQuit(Editor& editor)
{
    const Answer a = editor.message(QStringLiteral("Confermi l'uscita da Velluno ?"), MsgIcon::Question,
                                    MsgButtons::YesNo);
    if (a != Answer::Yes)
        return false;
    editor.closed = true;
    return true;
}

}  // namespace velluno
