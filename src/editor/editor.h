#pragma once
// The editor: the open skin document plus the state that the window keeps in
// its controls (fields, check boxes, swatches, the canvas, the status text),
// as plain objects. Every handler is a function on this state; the Qt window
// and the script runner perform the very same actions and only show the
// result.
#include "editor/dialogs.h"
#include "render/imagecache.h"
#include "render/scene.h"
#include "skin/document.h"
#include "skin/errors.h"
#include "skin/textform.h"

#include <QDateTime>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <functional>
#include <map>
#include <memory>

namespace velluno {

class History;

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

// The wallpaper files of the skin's folder.
struct FileList {
    QString folder;
    QStringList files;
    int selected = -1;
    bool visible = false;
    bool enabled = true;
};

// One of the ten button pictures of the preview tab, by object number.
struct PanelPicture {
    QString image;  // path of the picture shown
    QImage picture;
    bool enabled = false;  // also: framed while disabled
};

struct Message {
    QString title;
    QString text;
    MsgIcon icon = MsgIcon::Information;
};

constexpr int kTabCount = 6;
constexpr int kFieldCount = 51;
constexpr int kElementCount = 12;

// The numeric fields of the preview and colour tabs, numbered as the window
// numbers them: four for each layout element's rectangle (listed with the
// elements) and three transparencies.
enum FieldIndex : int {
    kOperatorAlphaField = 4,  // "Trasparenza:" of the operator text colour
    kDateAlphaField = 5,      // "Trasparenza:" of the date text colour
    kFaceBoxField = 14,       // the analogue clock face's box, four fields: the hands read it
    kRowAlphaField = 50,      // "Trasparenza:" of the colour tab
};

// Which field: one of the numeric fields (`index`), or one of the three
// fields of their own.
enum class FieldKind { Numbered, MinuteLength, HourLength, MoveStep };
struct FieldRef {
    FieldKind kind = FieldKind::Numbered;
    int index = 0;
};
inline FieldRef NumberedField(int index) { return {FieldKind::Numbered, index}; }

// The ten object pictures of the button-graphics panel.
inline const int kPanelObjects[10] = {652, 674, 664, 630, 632, 634, 675, 631, 633, 635};

// What the preview tab shows: everything a render brings up to date from
// the document (the canvas, the panel's pictures, the element fields,
// switches and swatches, the wallpaper list), and what the user set there.
struct PreviewView {
    Scene scene;
    std::map<int, PanelPicture> panel;
    Field fields[kFieldCount];
    Field minuteLength;
    Field hourLength;
    Check elementTicks[kElementCount];  // the move tools move the ticked elements
    Check clockStyle[2];                // digital, analogue; `checked` is "selected"
    Check showWallpaper;
    FileList wallpapers;
    Swatch minuteHand, hourHand, operatorText, dateText, background;
    bool backgroundCaption = false;     // the "Colore:" beside the background swatch
    bool drawn = false;                 // rendered since the skin was opened
    // The phone's own view: an object whose image file is not in the image
    // folder (not exported yet) shows the image its container holds, as
    // the phone shows it. The editor shows the image folder only.
    bool imagesFromContainers = false;
};

// The live phone mode ("Telefono"): the preview as the phone shows it, at
// the time of day, with the soft key the user holds down pressed. The
// preview itself stays as it is drawn; the phone's screen is made from it
// (editor/phone.h).
struct PhoneView {
    Check on{false, true};
    QDateTime time;    // the minute its clock shows
    int pressed = -1;  // the soft key held down: 0 left, 1 centre, 2 right; -1 none
};

// Where the user's eye goes at the end of an action: the control that
// takes the keyboard focus, and a table row scrolled into view. Set by the
// handlers that ask for them; every action starts without.
struct ViewRequest {
    QString focus;        // a control's name, empty for none
    RowId objectRow = 0;  // a row of the object table, 0 for none
};

// The table rows a user works on are remembered by identity, so that a
// re-sorted table keeps them.
struct Selection {
    RowId object = 0;
    RowId colour = 0;
    RowId rectangle = 0;
};

class Editor {
public:
    explicit Editor(Dialogs& dialogs);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // ---- the document and what decides about it
    Document doc;
    bool saveAllowed = false;  // the open skin may be saved: SAVE is enabled exactly then
    int objectSort = -1;       // the column the object table is kept sorted on, -1 none
    Selection selected;

    // ---- the window
    QString title;
    bool closed = false;
    int tab = 0;
    bool tabsEnabled[kTabCount] = {};
    QString status;
    bool exported = false;  // "Esporta tutto" ran on the skin open
    ViewRequest view;

    // The preview tab.
    PreviewView preview;
    Field moveStep;
    Button moveUp, moveDown, moveLeft, moveRight, redraw;
    PhoneView phone;

    // The graphic-objects tab.
    Button exportAll, importImage, useDefault, useDefaultSet;
    Check checkSize;  // an imported image must be as large as the one it replaces
    Check askFirst;   // "Default" asks before it replaces
    QString imageSize = QStringLiteral("...");  // the size line under the pane
    QString objectPage;       // the pane's page
    QString objectPageImage;  // the image file the page shows, as the row names it; empty for none
    QSize measuredImage;      // the image the pane last measured

    // The colour tab.
    Swatch rowColour;
    Button loadColours;

    // The rectangle tab.
    Check clearRectangles;
    QVector<QRect> rectangles;  // drawn on the rectangle view, oldest first

    QVector<Message> messages;
    int openings = 0;  // skins opened (or tried): each ends the undo history of the one before
    // The files the action being performed was to write were not written,
    // or the skin it was to open could not be read; the user was told in a
    // message box.
    SkinError failure;
    int renders = 0;
    bool renderPending = false;  // the action being performed asks for a render at its end

    // ---- the surroundings
    Dialogs* dialogs;
    QString defaultDir;                // the default image set and colors.txt
    std::function<QDateTime()> now;    // the clock the reset reads
    ImageCache images;
    // Runs before message boxes that close an action are shown: the window
    // shows the action's result first.
    std::function<void()> beforeMessages;

    // ---- helpers every handler uses
    Field& field(FieldRef ref);
    const Field& field(FieldRef ref) const;
    // Shows a message box and returns the answer; every box is recorded for
    // the session dump. A box with only OK closes what the action did: it is
    // shown once the action has ended and the window shows its result.
    Answer message(const QString& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);
    void showPendingMessages();
    // Asks for the render that ends the action.
    void requestRender() { renderPending = true; }
    History& history() { return *history_; }
    const History& history() const { return *history_; }

private:
    QVector<Message> pending_;
    std::unique_ptr<History> history_;
};

// The window title, from the build's version.
QString WindowTitle();

}  // namespace velluno
