#pragma once
// The editor: the open skin document plus the state that the window keeps in
// its controls (fields, check boxes, swatches, canvas items, status text), as
// plain objects. Every handler is a function on this state; the Qt window and
// the script runner call the very same functions and only show the result.
#include "editor/dialogs.h"
#include "render/imagecache.h"
#include "render/scene.h"
#include "skin/model.h"
#include "skin/textform.h"

#include <QDateTime>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <functional>
#include <map>

namespace velluno {

class Editor;

// Which text field: the array `txt` (index 0..50) or one of the single fields.
enum class FieldKind { Txt, TxtMin, TxtOra, TxtOffSet };
struct FieldRef {
    FieldKind kind = FieldKind::Txt;
    int index = 0;
};

struct Field {
    QString text;
    bool enabled = false;
    int maxLength = 3;  // of what the user types or pastes
};

struct Check {
    bool checked = false;
    bool enabled = false;
};

struct Swatch {
    quint32 colour = 0xFFFFFF;
    bool enabled = false;
};

struct Button {
    bool enabled = true;
};

struct FileList {
    QString folder;
    QStringList files;
    int selected = -1;
    bool visible = false;
    bool enabled = true;
};

// One of the ten button-graphic pictures of the preview tab, by object number.
struct ObjectPicture {
    QString image;   // path of the picture shown
    QImage picture;
    bool enabled = false;  // also: framed while disabled
};

struct Message {
    QString title;
    QString text;
    MsgIcon icon = MsgIcon::Information;
};

// The records the renderer drew, through which the element editors write
// back: tree node numbers and row identities (0 = unbound).
struct ElementRefs {
    int MinuteLengthNode = 0;
    int HourLengthNode = 0;
    int BackgroundNode = 0;
    quint64 OperatorColourRow = 0;
    quint64 DateColourRow = 0;
    quint64 MinuteColourRow = 0;
    quint64 HourColourRow = 0;
    quint64 ElementRow[12] = {};
};

constexpr int kTabCount = 6;
constexpr int kFieldCount = 51;
constexpr int kElementCount = 12;

// Fields of the array txt by what they hold. The field groups of the layout
// elements (X1, Y1, X2, Y2 each) are listed with the elements; these are the
// three transparency fields and the clock face's box, which the hands read.
enum TxtIndex : int {
    TxtOperatorAlpha = 4,  // "Trasparenza:" of the operator text colour
    TxtDateAlpha = 5,      // "Trasparenza:" of the date text colour
    TxtFaceX1 = 14,        // the analogue clock face's box
    TxtFaceY1 = 15,
    TxtFaceX2 = 16,
    TxtFaceY2 = 17,
    TxtColourAlpha = 50,   // "Trasparenza:" of the colour tab
};

// The ten object pictures of the button-graphics panel.
inline const int kPanelObjects[10] = {652, 674, 664, 630, 632, 634, 675, 631, 633, 635};

class Editor {
public:
    explicit Editor(Dialogs& dialogs);
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // ---- the document (with SkinDir, SkinName, GifDir) and the window
    // state that goes with it
    Document doc;
    bool Filling = false;
    bool SaveEnabled = false;
    ColourParts colour;  // ColorR, ColorG, ColorB of the last conversion
    ElementRefs refs;

    // ---- the window
    QString title;
    bool closed = false;
    int tab = 0;
    bool tabsEnabled[kTabCount] = {};
    QString status;
    bool loadEnabled = true;   // toolbar LOAD
    bool saveButtonEnabled = false;  // toolbar SAVE

    Field txt[kFieldCount];
    Field txtMin;
    Field txtOra;
    Field txtOffSet;
    Check optPos[kElementCount];
    Check optTime[2];  // `checked` is "selected"
    Check chkWallPaper;
    Check chkDim;
    Check chkConferma;
    Check chkCls;
    Swatch PicColor;
    Swatch PicMin;
    Swatch PicOre;
    Swatch PicTxtColor1;
    Swatch PicTxtColor2;
    Swatch PicBGColor1;
    Button cmdImport, cmdDefault, cmdExportAll, cmdDefaultAll, cmdLoadColors;
    Button cmdMoveUp, cmdMoveDown, cmdMoveLeft, cmdMoveRight, cmdUpdate;
    Button lbl0;
    FileList FileDesktop;
    QString lInfo = QStringLiteral("...");
    QString WB;
    QString WBImage;  // the image file the pane's page shows, as the row gives it; empty for the empty page
    QSize PicPreview;
    std::map<int, ObjectPicture> Pic;
    Scene canvas;
    QVector<QRect> PicOBJ;  // rectangles drawn on the rectangle view, oldest first

    QVector<Message> messages;
    int renders = 0;

    // ---- the surroundings
    Dialogs* dialogs;
    QString defaultDir;                    // the default image set and colors.txt
    std::function<QDateTime()> now;        // the clock the reset reads
    ImageCache images;

    // ---- helpers every handler uses
    Field& field(FieldRef ref);
    // Sets a field's text; runs the field's change handler only when the text
    // really changes. This one rule carries the re-entrance between the
    // renderer and the field handlers. The maximum length bounds what the
    // user types or pastes (TypeKeyAt, PasteText), not the program's own
    // texts: a coordinate of -120 written by the renderer must come back
    // whole through the field's write-back.
    void setText(FieldRef ref, const QString& text);
    // Shows a message box (recorded for the session dump) and returns the answer.
    Answer message(const QString& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);
};

inline FieldRef Txt(int index) { return {FieldKind::Txt, index}; }

// The window title, from the build's version.
QString WindowTitle();

}  // namespace velluno
