#pragma once
// What every test shares: a session of the editor driven by the user's
// actions and read back through its dump, dialogs answered from a queue,
// velluno-cli run as a batch runs it, and skins in temporary folders. Only
// this file and its source reach into the editor; the tests speak in user
// actions, dumps and files.
#include "editor/actions.h"
#include "editor/dialogs.h"

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <optional>

namespace velluno::test {

// The editor's queued dialogs, remembering every file dialog shown as
// "title|filter|initial name" and the folder it started in.
class TestDialogs : public velluno::QueuedDialogs {
public:
    QStringList asked;
    QStringList folders;
    std::optional<QString> openFile(const QString& title, const QString& filter, const QString& initial,
                                    const QString& folder) override
    {
        asked << title + '|' + filter + '|' + initial;
        folders << folder;
        return velluno::QueuedDialogs::openFile(title, filter, initial, folder);
    }
};

// Colours as the dump gives them (0x00BBGGRR), and the marks of a row.
constexpr qint64 kBlackRow = 0x000000, kRedRow = 0x0000FF, kBlueRow = 0xFF0000;
enum RowIcon { kNoIcon = 0, kReplaceIcon = 2, kMissingIcon = 3, kImageIcon = 6, kNumberedIcon = 7 };
// The cells of a row as the dump numbers them (1 the first after the key).
enum ObjectCell { kLink = 1, kDat, kOffset, kBytes, kState, kPath, kObjectIndex };
enum ColourCell { kR = 1, kG, kB, kAlpha, kColourIndex };
enum RectCell { kX1 = 1, kY1, kX2, kY2, kWidth, kHeight, kRectIndex };

// An editor with its own dialogs, started as the program starts, at
// 7/3/2026 09:05 with the default set of the source tree.
struct Session {
    TestDialogs dialogs;
    Editor editor{dialogs};
    Session();
    // The folder of the default images and colours.
    void defaults(const QString& dir);

    ActionResult perform(const UserAction& action);
    ActionResult click(const QString& name, int index = 0);
    ActionResult toolbar(const QString& key);
    ActionResult tab(int n);
    // LOAD with the file dialog answered with `path`.
    ActionResult open(const QString& path);
    ActionResult save() { return toolbar(QStringLiteral("SAVE")); }
    ActionResult row(const QString& table, int n);
    // A click on the row whose key is `key`.
    ActionResult rowOf(const QString& table, const QString& key);
    ActionResult header(const QString& table, int column);
    // "Importa..." on the row of `key`, the file dialog answered with `file`.
    ActionResult import(const QString& key, const QString& file);
    // Keys typed at the caret (the end unless `from` is given, replacing
    // `length` characters); "\b" is Backspace.
    ActionResult type(const QString& field, int index, const QString& keys, int from = -1, int length = 0);
    ActionResult paste(const QString& field, int index, const QString& text, int from = -1, int length = 0);
    ActionResult drop(const QString& target, int index, const QString& file);
    ActionResult drag(int x1, int y1, int x2, int y2);

    QJsonObject dump() const;
    // The row of `table` whose key is `key`, as the dump shows it; fails the
    // test when there is none.
    QJsonObject find(const QString& table, const QString& key) const;
    QString cell(const QString& table, const QString& key, int n) const;
    QString status() const;
    QJsonObject lastMessage() const;
    int renders() const;
    // The preview canvas as the window paints it, outlines included.
    QImage preview() const;
    // The rectangle view of the positions tab.
    QImage rectangles() const;
};

// A session on a skin in a folder of its own: a copy of the sample, or a
// varavave.ski of the given text; opened with LOAD unless `open` is false.
struct Opened : Session {
    QTemporaryDir dir;
    QString skin;
    explicit Opened(const QByteArray& text = QByteArray(), bool open = true);
    QString path(const QString& name) const { return dir.filePath(name); }
};

// The dump of an editor, as a script's `dump` prints it.
QJsonObject Dump(const Editor& editor);

// Reading a dump.
QJsonObject RowByKey(const QJsonObject& dump, const QString& table, const QString& key);  // {} when none
int RowNumber(const QJsonObject& dump, const QString& table, const QString& key);         // 0 when none
QStringList Keys(const QJsonObject& dump, const QString& table);
QString Cell(const QJsonObject& row, int n);
QStringList Cells(const QJsonObject& row, int first, int last);
// Edited by the user: bold and blue.
bool Marked(const QJsonObject& row);
// A whole row in one line, to see that nothing of it changed or to compare
// it at once: "key|cell 1|...|cell n|colour[ bold] icon", the colour as
// black, red or blue.
QString Look(const QJsonObject& row);
// Every row of a table so, in display order.
QStringList Looks(const QJsonObject& dump, const QString& table);
// A control of the dump: controls[name], or controls[name][index].
QJsonObject ControlState(const QJsonObject& dump, const QString& name, int index = -1);
QString FieldText(const QJsonObject& dump, const QString& name, int index = -1);
// A control that is a text of its own: lInfo, WB, WBImage.
QString Text(const QJsonObject& dump, const QString& name);
// An item of the preview canvas: lblOperatore, LineMin, PicTime...
QJsonObject Canvas(const QJsonObject& dump, const QString& item);
// Some of its numbers, in the order asked.
QList<int> Numbers(const QJsonObject& object, const QStringList& keys);

// velluno-cli run as a batch runs it: without DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM (no command may need a display), in `dir` when given.
struct Run {
    int status = -1;  // -1 when it crashed
    QString out;
    QString err;
    // Every line of standard output that is a JSON object (a `dump` without path).
    QList<QJsonObject> dumps() const;
    QJsonObject lastDump() const;
};
Run Cli(const QStringList& args, const QString& dir = QString(), const QByteArray& input = QByteArray());
// `script` written as session.txt into `dir` and run there.
Run Script(const QString& dir, const QByteArray& script);

// A folder on a small disk of its own (a tmpfs of `size`, such as "64k"),
// for writes that run out of room; its path is empty when no disk could be
// mounted (that needs root).
class SmallDisk {
public:
    explicit SmallDisk(const char* size);
    ~SmallDisk();
    QString path() const { return mounted_ ? dir_.path() : QString(); }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// Writes `bytes` to `path`, creating folders; stops the test on error.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);
// Every file under `dir`, subfolders and hidden files included, by its
// name relative to `dir`, with its bytes: a folder compared before and after.
QMap<QString, QByteArray> Snapshot(const QString& dir);
// Copies the sample skin folder (without extracted images) into `dir`.
void CopySample(const QString& dir);
QString SampleDir();
QString CorpusDir();  // empty when the folder of third-party images is absent
// The lines of a text, without what follows the last line feed.
QStringList Lines(const QByteArray& text);
// A GIF of exactly `size` bytes, different for each seed: one pixel of a
// seeded colour and a comment of seeded bytes that fills it up. From 40
// bytes on it decodes; below that it is seeded bytes behind a GIF
// signature, no picture.
QByteArray TestImage(int size, quint32 seed);

}  // namespace velluno::test
