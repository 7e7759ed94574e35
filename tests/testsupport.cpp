#include "testsupport.h"

#include "editor/dump.h"
#include "editor/shell.h"
#include "render/scene.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>
#include <cstring>

namespace velluno::test {

Session::Session()
{
    editor.now = [] { return QDateTime(QDate(2026, 3, 7), QTime(9, 5)); };
    editor.defaultDir = QStringLiteral(VELLUNO_SOURCE_DIR "/assets/default");
    StartUp(editor);
}

void Session::defaults(const QString& dir) { editor.defaultDir = dir; }

ActionResult Session::perform(const UserAction& action) { return Perform(editor, action); }

ActionResult Session::click(const QString& name, int index) { return perform(UserAction::click(name, index)); }

ActionResult Session::toolbar(const QString& key) { return perform(UserAction::of(UserAction::Kind::Toolbar, key)); }

ActionResult Session::tab(int n) { return perform(UserAction::of(UserAction::Kind::Tab, QString(), n)); }

ActionResult Session::open(const QString& path)
{
    // LOAD is on the first tab only.
    if (dump()[QStringLiteral("tab")].toInt() != 0)
        tab(0);
    dialogs.files.push_back(path);
    return toolbar(QStringLiteral("LOAD"));
}

ActionResult Session::row(const QString& table, int n) { return perform(UserAction::of(UserAction::Kind::Row, table, n)); }

ActionResult Session::rowOf(const QString& table, const QString& key)
{
    const int n = RowNumber(dump(), table, key);
    if (n == 0)
        qFatal("%s has no row %s", qPrintable(table), qPrintable(key));
    return row(table, n);
}

ActionResult Session::header(const QString& table, int column)
{
    return perform(UserAction::of(UserAction::Kind::Header, table, column));
}

ActionResult Session::import(const QString& key, const QString& file)
{
    rowOf(QStringLiteral("L_Values"), key);
    dialogs.files.push_back(file);
    return click(QStringLiteral("cmdImport"));
}

ActionResult Session::type(const QString& field, int index, const QString& keys, int from, int length)
{
    UserAction a = UserAction::of(UserAction::Kind::Type, field, index);
    for (const QChar c : keys)
        a.keys.append(c.unicode());
    a.from = from;
    a.length = length;
    return perform(a);
}

ActionResult Session::paste(const QString& field, int index, const QString& text, int from, int length)
{
    UserAction a = UserAction::of(UserAction::Kind::Paste, field, index);
    a.text = text;
    a.from = from;
    a.length = length;
    return perform(a);
}

ActionResult Session::drop(const QString& target, int index, const QString& file)
{
    UserAction a = UserAction::of(UserAction::Kind::Drop, target, index);
    a.text = file;
    return perform(a);
}

ActionResult Session::drag(int x1, int y1, int x2, int y2)
{
    UserAction a = UserAction::of(UserAction::Kind::Drag);
    a.x1 = x1;
    a.y1 = y1;
    a.x2 = x2;
    a.y2 = y2;
    return perform(a);
}

QJsonObject Dump(const Editor& editor) { return DumpState(editor).object(); }

QJsonObject Session::dump() const { return Dump(editor); }

QJsonObject Session::find(const QString& table, const QString& key) const
{
    const QJsonObject row = RowByKey(dump(), table, key);
    if (row.isEmpty())
        qFatal("%s has no row %s", qPrintable(table), qPrintable(key));
    return row;
}

QString Session::cell(const QString& table, const QString& key, int n) const { return Cell(find(table, key), n); }

QString Session::status() const { return dump()[QStringLiteral("status")].toString(); }

QJsonObject Session::lastMessage() const
{
    const QJsonArray messages = dump()[QStringLiteral("messages")].toArray();
    return messages.isEmpty() ? QJsonObject() : messages.last().toObject();
}

int Session::renders() const { return dump()[QStringLiteral("renders")].toInt(); }

QImage Session::preview() const { return RenderScene(editor.preview.scene); }

QImage Session::rectangles() const { return RenderRectangles(editor.rectangles); }

Opened::Opened(const QByteArray& text, bool open)
{
    skin = dir.filePath(QStringLiteral("varavave.ski"));
    if (text.isEmpty())
        CopySample(dir.path());
    else
        WriteFile(skin, text);
    if (open)
        Session::open(skin);
}

QJsonObject RowByKey(const QJsonObject& dump, const QString& table, const QString& key)
{
    const int n = RowNumber(dump, table, key);
    return n == 0 ? QJsonObject() : dump[table].toObject()[QStringLiteral("rows")].toArray()[n - 1].toObject();
}

int RowNumber(const QJsonObject& dump, const QString& table, const QString& key)
{
    const QStringList keys = Keys(dump, table);
    return int(keys.indexOf(key)) + 1;
}

QStringList Keys(const QJsonObject& dump, const QString& table)
{
    QStringList keys;
    for (const QJsonValue& row : dump[table].toObject()[QStringLiteral("rows")].toArray())
        keys << row.toObject()[QStringLiteral("key")].toString();
    return keys;
}

QString Cell(const QJsonObject& row, int n) { return row[QStringLiteral("cells")].toArray()[n - 1].toString(); }

QStringList Cells(const QJsonObject& row, int first, int last)
{
    QStringList cells;
    for (int n = first; n <= last; ++n)
        cells << Cell(row, n);
    return cells;
}

bool Marked(const QJsonObject& row)
{
    return row[QStringLiteral("bold")].toBool() && row[QStringLiteral("colour")].toInteger() == kBlueRow;
}

QString Look(const QJsonObject& row)
{
    QStringList parts{row[QStringLiteral("key")].toString()};
    for (const QJsonValue cell : row[QStringLiteral("cells")].toArray())
        parts << cell.toString();
    const qint64 colour = row[QStringLiteral("colour")].toInteger();
    const QString name = colour == kRedRow    ? QStringLiteral("red")
                         : colour == kBlueRow ? QStringLiteral("blue")
                         : colour == 0        ? QStringLiteral("black")
                                              : QString::number(colour);
    parts << name + (row[QStringLiteral("bold")].toBool() ? QStringLiteral(" bold") : QString()) +
                 QStringLiteral(" icon %1").arg(row[QStringLiteral("icon")].toInt());
    return parts.join(QLatin1Char('|'));
}

QStringList Looks(const QJsonObject& dump, const QString& table)
{
    QStringList looks;
    for (const QJsonValue row : dump[table].toObject()[QStringLiteral("rows")].toArray())
        looks << Look(row.toObject());
    return looks;
}

QJsonObject ControlState(const QJsonObject& dump, const QString& name, int index)
{
    const QJsonValue c = dump[QStringLiteral("controls")].toObject()[name];
    return index < 0 ? c.toObject() : c.toArray()[index].toObject();
}

QString FieldText(const QJsonObject& dump, const QString& name, int index)
{
    return ControlState(dump, name, index)[QStringLiteral("text")].toString();
}

QString Text(const QJsonObject& dump, const QString& name)
{
    return dump[QStringLiteral("controls")].toObject()[name].toString();
}

QJsonObject Canvas(const QJsonObject& dump, const QString& item)
{
    return dump[QStringLiteral("canvas")].toObject()[item].toObject();
}

QList<int> Numbers(const QJsonObject& object, const QStringList& keys)
{
    QList<int> numbers;
    for (const QString& key : keys)
        numbers << object[key].toInt();
    return numbers;
}

QList<QJsonObject> Run::dumps() const
{
    QList<QJsonObject> all;
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1Char('{')))
            all << QJsonDocument::fromJson(line.toUtf8()).object();
    return all;
}

QJsonObject Run::lastDump() const
{
    const QList<QJsonObject> all = dumps();
    return all.isEmpty() ? QJsonObject() : all.last();
}

Run Cli(const QStringList& args, const QString& dir, const QByteArray& input)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    if (!dir.isEmpty())
        p.setWorkingDirectory(dir);
    p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli"), args);
    if (!p.waitForStarted(30000))
        qFatal("velluno-cli did not start");
    if (!input.isNull())
        p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        qFatal("velluno-cli did not finish");
    Run r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

Run Script(const QString& dir, const QByteArray& script)
{
    WriteFile(dir + QStringLiteral("/session.txt"), script);
    return Cli({QStringLiteral("script"), QStringLiteral("session.txt")}, dir);
}

SmallDisk::SmallDisk(const char* size)
    : mounted_(QProcess::execute("mount", {"-t", "tmpfs", "-o", QStringLiteral("size=") + size, "tmpfs", dir_.path()}) == 0)
{
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        QProcess::execute("umount", {dir_.path()});
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QMap<QString, QByteArray> Snapshot(const QString& dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(dir).relativeFilePath(path), ReadFile(path));
    }
    return files;
}

QString SampleDir() { return QStringLiteral(VELLUNO_SOURCE_DIR "/examples/varavave"); }

void CopySample(const QString& dir)
{
    QDir().mkpath(dir);
    const QDir sample(SampleDir());
    for (const QString& name : sample.entryList(QDir::Files | QDir::Hidden))
        QFile::copy(sample.filePath(name), QDir(dir).filePath(name));
}

QString CorpusDir()
{
    const QString dir = qEnvironmentVariable("VELLUNO_CORPUS");
    if (dir.isEmpty() || !QFileInfo(dir + QStringLiteral("/gif-test-suite")).isDir())
        return QString();
    return dir;
}

QStringList Lines(const QByteArray& text)
{
    QStringList lines = QString::fromLatin1(text).split(QLatin1Char('\n'));
    lines.removeLast();
    return lines;
}

QByteArray TestImage(int size, quint32 seed)
{
    quint32 x = seed * 2654435761u + 7;
    auto next = [&x] {
        x = x * 1664525u + 1013904223u;
        return char(x >> 24);
    };
    // Header, a 1 x 1 screen with two colours, the image, the trailer.
    const QByteArray head = QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
    const QByteArray image = QByteArray("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00"
                                        "\x02\x02\x44\x01\x00\x3B", 16);
    const int fixed = head.size() + 6 + image.size();
    // A comment of L bytes in k sub-blocks costs 3 + k + L bytes (1 <= k,
    // each block 1..255 bytes).
    const int room = size - fixed;
    if (room < 5) {
        QByteArray b(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            b[i] = next();
        if (size >= 6)
            memcpy(b.data(), "GIF89a", 6);
        return b;
    }
    int blocks = 1;
    while ((room - 3 - blocks + 254) / 255 > blocks)
        ++blocks;
    int payload = room - 3 - blocks;
    QByteArray b = head;
    for (int i = 0; i < 6; ++i)
        b += next();
    b += "\x21\xFE";
    for (int k = blocks; k > 0; --k) {
        // As even as needed: the last blocks take what is left.
        const int n = qMin(255, payload - (k - 1));
        b += char(n);
        for (int i = 0; i < n; ++i)
            b += next();
        payload -= n;
    }
    b += '\0';
    b += image;
    return b;
}

}  // namespace velluno::test
