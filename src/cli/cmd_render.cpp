// velluno-cli render SKIN -o PICTURE: the preview of a skin, opened as the
// editor opens it; with --phone without the outlines that only the editor
// draws, as the phone shows it.
#include "cli/commands.h"
#include "cli/reasons.h"
#include "editor/actions.h"
#include "editor/opensave.h"
#include "editor/preview.h"
#include "editor/settings.h"
#include "editor/shell.h"
#include "skin/atomic.h"

#include <QImage>
#include <QTextStream>

namespace velluno::cli {

namespace {

// A larger factor gives no better view and only costs memory.
constexpr int kMaxScale = 16;

int Usage(QTextStream& err, const QString& why)
{
    err << "velluno-cli render: " << why << "\n"
        << "usage: velluno-cli render SKIN -o PICTURE.png|.jpg|.bmp [--phone] [--analogue] [--no-wallpaper] "
           "[--scale N]"
        << Qt::endl;
    return kExitUnusable;
}

}  // namespace

int CmdRender(const QStringList& args)
{
    QTextStream err(stderr);
    QString skin;
    QString output;
    bool analogue = false;
    bool noWallpaper = false;
    bool phone = false;
    int scale = 1;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (++i >= args.size())
                return Usage(err, QStringLiteral("-o needs a file name"));
            output = args.at(i);
        } else if (a == QLatin1String("--analogue")) {
            analogue = true;
        } else if (a == QLatin1String("--no-wallpaper")) {
            noWallpaper = true;
        } else if (a == QLatin1String("--phone")) {
            phone = true;
        } else if (a == QLatin1String("--scale")) {
            bool ok = false;
            if (++i < args.size())
                scale = args.at(i).toInt(&ok);
            if (!ok || scale < 1 || scale > kMaxScale)
                return Usage(err, QStringLiteral("--scale needs a whole number from 1 to %1").arg(kMaxScale));
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            return Usage(err, QStringLiteral("unknown option %1").arg(a));
        } else if (skin.isEmpty()) {
            skin = a;
        } else {
            return Usage(err, QStringLiteral("only one skin can be rendered"));
        }
    }
    if (skin.isEmpty())
        return Usage(err, QStringLiteral("no skin given"));
    if (output.isEmpty())
        return Usage(err, QStringLiteral("no output file given (-o)"));
    const char* const format = PictureFormatOf(output);
    if (!format)
        return Usage(err, QStringLiteral("%1: the picture's format follows its suffix: .png, .jpg (.jpeg) or .bmp")
                              .arg(output));

    UnansweredDialogs dialogs;
    Editor editor(dialogs);
    StartUp(editor);
    // The opening's message boxes are the window's, in Italian; what they
    // say that matters to the picture is said below in this tool's words.
    const OpenReport report = OpenSkinFile(editor, skin);
    if (!report.completed || report.badMagic) {
        err << "velluno-cli render: cannot open " << skin << ": "
            << (report.badMagic ? EnglishText(SaveRefusal::BadMagic) : EnglishText(report.error)) << Qt::endl;
        return kExitUnusable;
    }
    // The picture is drawn all the same; what it may lack is said.
    bool problems = false;
    if (editor.doc.lineCount == 0) {
        err << "velluno-cli render: " << skin << ": the skin yielded no lines: the picture shows no element"
            << Qt::endl;
        problems = true;
    } else if (report.stoppedAtCarriageReturn) {
        err << "velluno-cli render: " << skin << ", line " << report.stopLine
            << ": the reading stopped at a carriage return: the lines after it are not drawn" << Qt::endl;
        problems = true;
    }
    int missing = 0;
    for (const ObjectRow& row : editor.doc.objects.rows())
        missing += row.state == ImageState::NotFound;
    if (missing > 0) {
        err << "velluno-cli render: " << missing << " of " << editor.doc.objects.count()
            << " graphic objects have no image file (run \"velluno-cli export\" first): the picture may lack them"
            << Qt::endl;
        problems = true;
    }

    // The options act as the user's clicks would, so a skin without an
    // analogue clock, or a folder without pictures, renders as in the window.
    if (analogue) {
        if (editor.preview.clockStyle[1].enabled)
            Perform(editor, UserAction::click(QStringLiteral("optTime"), 1));
        else {
            err << "velluno-cli render: the skin has no analogue clock (element 0006)" << Qt::endl;
            problems = true;
        }
    }
    if (noWallpaper)
        Perform(editor, UserAction::click(QStringLiteral("chkWallPaper")));

    QImage image = RenderScene(editor.preview.scene, phone ? SceneOutlines::Hidden : SceneOutlines::Shown);
    if (scale > 1)
        image = image.scaled(image.width() * scale, image.height() * scale, Qt::IgnoreAspectRatio,
                             Qt::FastTransformation);
    const QByteArray bytes = EncodePicture(image, format);
    if (bytes.isEmpty()) {
        err << "velluno-cli render: " << output << ": the picture cannot be encoded as " << format << Qt::endl;
        return kExitProblems;
    }
    if (const SkinError e = WriteFileAtomically(output, bytes); !e.ok()) {
        err << "velluno-cli render: " << EnglishText(e) << Qt::endl;
        return kExitProblems;
    }
    return problems ? kExitProblems : kExitDone;
}

}  // namespace velluno::cli
