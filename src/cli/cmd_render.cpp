// velluno-cli render SKIN -o PICTURE: the preview of a skin, opened as the
// editor opens it but without creating anything beside it. With --phone the
// picture is what the phone shows: no outlines, and the images not exported
// yet taken from their containers.
#include "cli/commands.h"
#include "cli/report.h"
#include "editor/actions.h"
#include "editor/failures.h"
#include "editor/opensave.h"
#include "editor/preview.h"
#include "editor/shell.h"
#include "skin/atomic.h"

#include <QDateTime>
#include <QImage>
#include <QTextStream>

namespace velluno::cli {

namespace {

// A larger factor gives no better view and only costs memory.
constexpr int kMaxScale = 16;

const QCommandLineOption kOutput({QStringLiteral("o"), QStringLiteral("output")},
                                 QStringLiteral("the picture to write (.png, .jpg, .jpeg or .bmp)"),
                                 QStringLiteral("PICTURE"));
const QCommandLineOption kPhone(QStringLiteral("phone"),
                                QStringLiteral("as the phone shows it: no outlines, images not exported yet "
                                               "from their containers"));
const QCommandLineOption kAnalogue(QStringLiteral("analogue"), QStringLiteral("the analogue clock"));
const QCommandLineOption kNoWallpaper(QStringLiteral("no-wallpaper"), QStringLiteral("no wallpaper"));
const QCommandLineOption kScale(QStringLiteral("scale"),
                                QStringLiteral("enlarge by a whole factor, 1 to %1").arg(kMaxScale),
                                QStringLiteral("N"), QStringLiteral("1"));
const QCommandLineOption kTime(QStringLiteral("time"), QStringLiteral("the clock's time (else the real clock)"),
                               QStringLiteral("HH:MM"));

}  // namespace

QList<QCommandLineOption> RenderOptions() { return {kOutput, kPhone, kAnalogue, kNoWallpaper, kScale, kTime}; }

int RunRender(const QStringList& args, const QCommandLineParser& options)
{
    QTextStream err(stderr);
    const QString skin = args.first();
    const QString output = options.value(kOutput);
    if (output.isEmpty())
        return UsageError("render", QStringLiteral("no output file given (-o)"));
    const char* const format = PictureFormatOf(output);
    if (!format)
        return UsageError("render", QStringLiteral("%1: the picture's format follows its suffix: .png, .jpg (.jpeg) "
                                                   "or .bmp")
                                        .arg(output));
    bool ok = false;
    const int scale = options.value(kScale).toInt(&ok);
    if (!ok || scale < 1 || scale > kMaxScale)
        return UsageError("render", QStringLiteral("--scale needs a whole number from 1 to %1").arg(kMaxScale));
    const QTime time = QTime::fromString(options.value(kTime), QStringLiteral("H:mm"));
    if (options.isSet(kTime) && !time.isValid())
        return UsageError("render", QStringLiteral("--time needs a time of day, HH:MM"));
    const bool phone = options.isSet(kPhone);

    UnansweredDialogs dialogs;
    Editor editor(dialogs);
    if (time.isValid())
        editor.now = [time] { return QDateTime(QDate::currentDate(), time); };
    StartUp(editor);
    editor.preview.imagesFromContainers = phone;
    // The opening's message boxes are the window's, in Italian; what they
    // say that matters to the picture is said below in this tool's words.
    const OpenReport report = OpenSkinFile(editor, skin, ImageFolder::Leave);
    if (Unusable(report)) {
        err << "velluno-cli render: " << UnusableText(report) << Qt::endl;
        return kExitUnusable;
    }
    // An opening that stopped draws nothing in the window; the picture
    // shows what was read.
    if (!report.completed)
        RenderPreview(editor, RenderKind::Opening);

    // The options act as the user's clicks would, so a skin without an
    // analogue clock, or a folder without pictures, renders as in the window.
    bool problems = false;
    if (options.isSet(kAnalogue)) {
        if (editor.preview.clockStyle[1].enabled) {
            Perform(editor, UserAction::click(QStringLiteral("optTime"), 1));
        } else {
            err << "velluno-cli render: the skin has no analogue clock (element 0006)" << Qt::endl;
            problems = true;
        }
    }
    if (options.isSet(kNoWallpaper))
        Perform(editor, UserAction::click(QStringLiteral("chkWallPaper")));
    const Checkup checkup = CheckSkin(editor.doc, report, report.edited);
    PrintFindings(err, "render", checkup);

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
        err << "velluno-cli render: " << FailureText(e, Language::English) << Qt::endl;
        return kExitProblems;
    }
    return problems ? kExitProblems : StatusOf(checkup);
}

}  // namespace velluno::cli
