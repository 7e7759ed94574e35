#include "cli/script.h"

#include "editor/failures.h"
#include "editor/actions.h"
#include "editor/controls.h"
#include "editor/dump.h"
#include "editor/phone.h"
#include "editor/shell.h"
#include "render/scene.h"
#include "skin/atomic.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <deque>
#include <optional>

namespace velluno::cli {

namespace {

// ---------------------------------------------------------------- reading

struct Word {
    QString text;  // quotes removed, \" and \\ resolved
    QString raw;   // as written between the quotes, for the key escapes of `type`
    bool quoted = false;
};

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

bool SplitWords(const QString& line, QVector<Word>* words, QString* why)
{
    const int n = line.size();
    int i = 0;
    for (;;) {
        while (i < n && IsBlank(line.at(i)))
            ++i;
        if (i >= n)
            return true;
        Word w;
        if (line.at(i) == QLatin1Char('"')) {
            w.quoted = true;
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = line.at(i);
                if (c == QLatin1Char('\\') && i + 1 < n) {
                    const QChar d = line.at(i + 1);
                    w.raw += c;
                    w.raw += d;
                    if (d == QLatin1Char('"') || d == QLatin1Char('\\')) {
                        w.text += d;
                    } else {
                        w.text += c;
                        w.text += d;
                    }
                    i += 2;
                    continue;
                }
                ++i;
                if (c == QLatin1Char('"')) {
                    closed = true;
                    break;
                }
                w.raw += c;
                w.text += c;
            }
            if (!closed) {
                *why = QStringLiteral("a quoted word has no closing quote");
                return false;
            }
            if (i < n && !IsBlank(line.at(i))) {
                *why = QStringLiteral("a closing quote must be followed by a blank");
                return false;
            }
        } else {
            while (i < n && !IsBlank(line.at(i))) {
                if (line.at(i) == QLatin1Char('"')) {
                    *why = QStringLiteral("a quote inside a word (quote the whole word)");
                    return false;
                }
                w.text += line.at(i);
                ++i;
            }
            w.raw = w.text;
        }
        words->append(w);
    }
}

bool IsHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// The keys of the TEXT of `type`: \b is Backspace, \xNN the key of that code;
// inside quotes \" and \\ are a quote and a backslash. Any other backslash is
// a key of its own.
bool DecodeKeys(const Word& w, QVector<int>* keys, QString* why)
{
    const QString& s = w.raw;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\\') && i + 1 < s.size()) {
            const QChar d = s.at(i + 1);
            if (d == QLatin1Char('b')) {
                keys->append(8);
                ++i;
                continue;
            }
            if (d == QLatin1Char('x')) {
                if (i + 3 >= s.size() || !IsHexDigit(s.at(i + 2)) || !IsHexDigit(s.at(i + 3))) {
                    *why = QStringLiteral("\\x must be followed by two hexadecimal digits");
                    return false;
                }
                keys->append(s.mid(i + 2, 2).toInt(nullptr, 16));
                i += 3;
                continue;
            }
            if (d == QLatin1Char('\\') || (w.quoted && d == QLatin1Char('"'))) {
                keys->append(d.unicode());
                ++i;
                continue;
            }
        }
        keys->append(c.unicode());
    }
    return true;
}

enum class Op {
    // set-up and answers: they do not start the program
    Now, DefaultDir, Copy, Delete, AnswerFile, AnswerColour, AnswerYesNo,
    // a user's action, performed through the editor's action table
    Event,
    // output
    Dump, Png,
};

bool StartsProgram(Op op) { return op > Op::AnswerYesNo; }
bool IsOutput(Op op) { return op == Op::Dump || op == Op::Png; }

struct Command {
    int line = 0;
    Op op = Op::Dump;
    UserAction action;  // Event
    int index = 0;      // a number the line gave (tab, row, column, node, file, field)
    QString text;       // path, copy source
    QString text2;      // copy destination
    QDateTime when;
    std::optional<QString> file;
    std::optional<quint32> colour;
    Answer answer = Answer::No;
};

bool ToInt(const Word& w, int* value)
{
    bool ok = false;
    *value = w.text.toInt(&ok, 10);
    return ok && !w.text.isEmpty();
}

// Reads one line into a command; false with the reason when the line is
// malformed or names an unknown control.
bool ParseCommand(const QVector<Word>& w, Command* c, QString* why)
{
    const QString verb = w.at(0).text;
    const int count = w.size();
    auto words = [&](int lo, int hi) {
        if (count >= lo && count <= hi)
            return true;
        *why = lo == hi ? QStringLiteral("%1 takes %2 word(s) after it").arg(verb).arg(lo - 1)
                        : QStringLiteral("%1 takes %2 to %3 words after it")
                              .arg(verb)
                              .arg(lo - 1)
                              .arg(hi - 1);
        return false;
    };
    auto number = [&](int at, int lo, int hi, const char* what) {
        if (ToInt(w.at(at), &c->index) && c->index >= lo && c->index <= hi)
            return true;
        *why = QStringLiteral("%1: %2 must be a whole number from %3%4")
                   .arg(verb, QLatin1String(what))
                   .arg(lo)
                   .arg(hi == INT_MAX ? QString() : QStringLiteral(" to %1").arg(hi));
        return false;
    };

    if (verb == QLatin1String("now")) {
        c->op = Op::Now;
        if (!words(3, 3))
            return false;
        const QDate date = QDate::fromString(w.at(1).text, QStringLiteral("yyyy-MM-dd"));
        QTime time = QTime::fromString(w.at(2).text, QStringLiteral("HH:mm"));
        if (!time.isValid())
            time = QTime::fromString(w.at(2).text, QStringLiteral("H:mm"));
        if (!date.isValid() || !time.isValid()) {
            *why = QStringLiteral("now takes a date and a time: YYYY-MM-DD HH:MM");
            return false;
        }
        c->when = QDateTime(date, time);
        return true;
    }
    if (verb == QLatin1String("default-dir") || verb == QLatin1String("delete")) {
        c->op = verb == QLatin1String("delete") ? Op::Delete : Op::DefaultDir;
        if (!words(2, 2))
            return false;
        c->text = w.at(1).text;
        return true;
    }
    if (verb == QLatin1String("copy")) {
        c->op = Op::Copy;
        if (!words(3, 3))
            return false;
        c->text = w.at(1).text;
        c->text2 = w.at(2).text;
        return true;
    }
    if (verb == QLatin1String("answer-file")) {
        c->op = Op::AnswerFile;
        if (!words(2, 2))
            return false;
        // A quoted "cancel" is a file of that name.
        if (!(w.at(1).text == QLatin1String("cancel") && !w.at(1).quoted))
            c->file = w.at(1).text;
        return true;
    }
    if (verb == QLatin1String("answer-colour")) {
        c->op = Op::AnswerColour;
        if (count == 2 && w.at(1).text == QLatin1String("cancel"))
            return true;
        if (count != 4) {
            *why = QStringLiteral("answer-colour takes R G B (0..255) or cancel");
            return false;
        }
        int rgb[3];
        for (int i = 0; i < 3; ++i) {
            if (!ToInt(w.at(i + 1), &rgb[i]) || rgb[i] < 0 || rgb[i] > 255) {
                *why = QStringLiteral("answer-colour takes R G B (0..255) or cancel");
                return false;
            }
        }
        c->colour = quint32(rgb[0]) | (quint32(rgb[1]) << 8) | (quint32(rgb[2]) << 16);
        return true;
    }
    if (verb == QLatin1String("answer")) {
        c->op = Op::AnswerYesNo;
        if (!words(2, 2))
            return false;
        if (w.at(1).text == QLatin1String("yes"))
            c->answer = Answer::Yes;
        else if (w.at(1).text == QLatin1String("no"))
            c->answer = Answer::No;
        else {
            *why = QStringLiteral("answer takes yes or no");
            return false;
        }
        return true;
    }
    using Kind = UserAction::Kind;
    UserAction& action = c->action;
    // The action is checked against the editor's action table before the
    // script runs, so a line naming an unknown control stops it here.
    auto event = [&](Kind kind, const QString& target, int index) {
        c->op = Op::Event;
        action.kind = kind;
        action.target = target;
        action.index = index;
        const ActionResult checked = CheckAction(action);
        if (checked.outcome == ActionResult::Outcome::Done)
            return true;
        *why = checked.why;
        return false;
    };
    int index = 0;
    if (verb == QLatin1String("toolbar"))
        return words(2, 2) && event(Kind::Toolbar, w.at(1).text, 0);
    if (verb == QLatin1String("undo"))
        return words(1, 1) && event(Kind::Undo, QString(), 0);
    if (verb == QLatin1String("redo"))
        return words(1, 1) && event(Kind::Redo, QString(), 0);
    if (verb == QLatin1String("release"))
        return words(1, 1) && event(Kind::Release, QString(), 0);
    if (verb == QLatin1String("tick"))
        return words(1, 1) && event(Kind::Tick, QString(), 0);
    if (verb == QLatin1String("press")) {
        if (!words(3, 3))
            return false;
        if (!ToInt(w.at(1), &action.x1) || !ToInt(w.at(2), &action.y1)) {
            *why = QStringLiteral("press takes X Y, whole numbers of pixels");
            return false;
        }
        return event(Kind::Press, QString(), 0);
    }
    if (verb == QLatin1String("window-close"))
        return words(1, 1) && event(Kind::WindowClose, QString(), 0);
    if (verb == QLatin1String("tab"))
        return words(2, 2) && number(1, 0, kTabCount - 1, "the tab") && event(Kind::Tab, QString(), c->index);
    if (verb == QLatin1String("click")) {
        if (!words(2, 3))
            return false;
        if (count == 3 && !ToInt(w.at(2), &index)) {
            *why = QStringLiteral("unknown control %1 %2").arg(w.at(1).text, w.at(2).text);
            return false;
        }
        const Control* control = FindControl(w.at(1).text);
        const bool indexed = control && control->index != IndexKind::None;
        if (control && indexed && count == 2) {
            *why = QStringLiteral("unknown control %1 (no index)").arg(w.at(1).text);
            return false;
        }
        if (control && !indexed && count == 3) {
            *why = QStringLiteral("%1 takes no index").arg(w.at(1).text);
            return false;
        }
        return event(Kind::Click, w.at(1).text, index);
    }
    if (verb == QLatin1String("row") || verb == QLatin1String("header")) {
        const Kind kind = verb == QLatin1String("row") ? Kind::Row : Kind::Header;
        if (!words(3, 3))
            return false;
        action.kind = kind;
        action.target = w.at(1).text;
        action.index = 1;
        if (const ActionResult table = CheckAction(action); !table.ok()) {
            *why = table.why;
            return false;
        }
        return number(2, 1, INT_MAX, kind == Kind::Row ? "the row" : "the column") &&
               event(kind, w.at(1).text, c->index);
    }
    if (verb == QLatin1String("drop")) {
        // A file dropped on a row of the object table, or a skin dropped on
        // the window, as from a file manager.
        if (count >= 2 && w.at(1).text == QLatin1String("frmDesktop")) {
            if (!words(3, 3))
                return false;
            action.text = w.at(2).text;
            return event(Kind::Drop, w.at(1).text, 0);
        }
        if (!words(4, 4))
            return false;
        if (w.at(1).text != QLatin1String("L_Values")) {
            *why = QStringLiteral("nothing takes a dropped file on %1 (L_Values, frmDesktop)").arg(w.at(1).text);
            return false;
        }
        action.text = w.at(3).text;
        return number(2, 1, INT_MAX, "the row") && event(Kind::Drop, w.at(1).text, c->index);
    }
    if (verb == QLatin1String("open")) {
        // The skin named on the command line of the window.
        if (!words(2, 2))
            return false;
        action.text = w.at(1).text;
        return event(Kind::Open, QString(), 0);
    }
    if (verb == QLatin1String("node"))
        return words(2, 2) && number(1, 1, INT_MAX, "the node") && event(Kind::Node, QString(), c->index);
    if (verb == QLatin1String("select")) {
        if (!words(3, 3))
            return false;
        if (w.at(1).text != QLatin1String("FileDesktop")) {
            *why = QStringLiteral("unknown list %1 (FileDesktop)").arg(w.at(1).text);
            return false;
        }
        return number(2, 0, INT_MAX, "the file") && event(Kind::Select, w.at(1).text, c->index);
    }
    if (verb == QLatin1String("type") || verb == QLatin1String("set")) {
        const Kind kind = verb == QLatin1String("type") ? Kind::Type : Kind::Paste;
        if (count < 2) {
            *why = QStringLiteral("%1 takes FIELD [INDEX] TEXT").arg(verb);
            return false;
        }
        const Control* field = FindField(w.at(1).text);
        const bool needsIndex = field && field->index != IndexKind::None;
        if (!field) {
            *why = QStringLiteral("unknown field %1 (txt, txtMin, txtOra or txtOffSet)").arg(w.at(1).text);
            return false;
        }
        if (!words(needsIndex ? 4 : 3, needsIndex ? 4 : 3))
            return false;
        if (needsIndex && !number(2, 0, kFieldCount - 1, "the index of txt"))
            return false;
        const Word& text = w.at(needsIndex ? 3 : 2);
        if (kind == Kind::Type && !DecodeKeys(text, &action.keys, why))
            return false;
        action.text = text.text;
        return event(kind, w.at(1).text, needsIndex ? c->index : 0);
    }
    if (verb == QLatin1String("drag")) {
        if (!words(5, 5))
            return false;
        int at[4];
        for (int i = 0; i < 4; ++i) {
            if (!ToInt(w.at(i + 1), &at[i])) {
                *why = QStringLiteral("drag takes X1 Y1 X2 Y2, whole numbers of pixels");
                return false;
            }
        }
        action.x1 = at[0];
        action.y1 = at[1];
        action.x2 = at[2];
        action.y2 = at[3];
        return event(Kind::Drag, QString(), 0);
    }
    if (verb == QLatin1String("dump")) {
        c->op = Op::Dump;
        if (!words(1, 2))
            return false;
        if (count == 2)
            c->text = w.at(1).text;
        return true;
    }
    if (verb == QLatin1String("png")) {
        c->op = Op::Png;
        if (!words(2, 2))
            return false;
        c->text = w.at(1).text;
        return true;
    }
    *why = QStringLiteral("unknown command %1").arg(verb);
    return false;
}

// ---------------------------------------------------------------- running

class Runner {
public:
    Runner(const QString& name, QTextStream& out, QTextStream& err)
        : name_(name), out_(out), err_(err)
    {
    }

    int run(const QVector<Command>& commands)
    {
        for (const Command& c : commands) {
            if (StartsProgram(c.op))
                start();
            const int status = execute(c);
            if (status != kScriptOk)
                return status;
        }
        start();
        if (const int unused = unusedAnswer(); unused > 0)
            return fail(kScriptRejected, unused, QStringLiteral("the answer queued here was never used"));
        return failed_ ? kScriptFailed : kScriptOk;
    }

    int fail(int status, int line, const QString& why)
    {
        report(line, why);
        return status;
    }

    void report(int line, const QString& why)
    {
        out_.flush();
        err_ << "velluno-cli: " << name_ << ", line " << line << ": " << why << Qt::endl;
    }

private:
    void start()
    {
        if (started_)
            return;
        started_ = true;
        StartUp(editor_);
    }

    int execute(const Command& c)
    {
        if (editor_.closed && StartsProgram(c.op) && !IsOutput(c.op))
            return fail(kScriptRejected, c.line,
                        QStringLiteral("the window has closed: only dump and png may follow"));
        const int status = perform(c);
        if (status != kScriptOk)
            return status;
        if (dialogs_.unanswered > 0)
            return fail(kScriptRejected, c.line, dialogs_.firstUnanswered);
        return kScriptOk;
    }

    int perform(const Command& c)
    {
        Editor& e = editor_;
        switch (c.op) {
        case Op::Now: {
            const QDateTime when = c.when;
            e.now = [when] { return when; };
            return kScriptOk;
        }
        case Op::DefaultDir:
            e.defaultDir = c.text;
            return kScriptOk;
        case Op::Copy: return copyFile(c);
        case Op::Delete:
            if (!QFileInfo(c.text).isFile() || !QFile::remove(c.text))
                return fail(kScriptFailed, c.line, QStringLiteral("cannot delete %1").arg(c.text));
            return kScriptOk;
        case Op::AnswerFile:
            dialogs_.files.push_back(c.file);
            fileLines_.push_back(c.line);
            return kScriptOk;
        case Op::AnswerColour:
            dialogs_.colours.push_back(c.colour);
            colourLines_.push_back(c.line);
            return kScriptOk;
        case Op::AnswerYesNo:
            dialogs_.answers.push_back(c.answer);
            answerLines_.push_back(c.line);
            return kScriptOk;

        case Op::Event: {
            const ActionResult r = Perform(e, c.action);
            if (r.outcome == ActionResult::Outcome::Missing || r.outcome == ActionResult::Outcome::Unknown)
                return fail(kScriptRejected, c.line, r.why);
            if (!r.failure.ok()) {
                // The session goes on, as the user's would after the
                // message box; the run ends with status 1.
                const QString failure = FailureText(r.failure, Language::English);
                report(c.line, c.action.kind == UserAction::Kind::Toolbar
                                   ? QStringLiteral("the save wrote nothing: %1").arg(failure)
                                   : QStringLiteral("the skin was not opened: %1").arg(failure));
                failed_ = true;
            }
            return kScriptOk;
        }
        case Op::Dump: return dump(c);
        case Op::Png: {
            // What the window shows: the phone's screen while "Telefono" is ticked.
            const QByteArray png = EncodePicture(RenderScene(e.phone.on.checked ? PhoneScene(e) : e.preview.scene));
            if (png.isEmpty())
                return fail(kScriptFailed, c.line, QStringLiteral("cannot encode the picture"));
            return write(c, png);
        }
        }
        return kScriptOk;
    }

    // The line of the first answer that no dialog took, 0 when every one
    // was taken. Each kind is taken oldest first, so the answers left are
    // the last ones queued.
    int unusedAnswer() const
    {
        int first = 0;
        auto left = [&](const std::deque<int>& lines, size_t unused) {
            if (unused > 0) {
                const int line = lines.at(lines.size() - unused);
                first = first == 0 ? line : qMin(first, line);
            }
        };
        left(fileLines_, dialogs_.files.size());
        left(colourLines_, dialogs_.colours.size());
        left(answerLines_, dialogs_.answers.size());
        return first;
    }

    int copyFile(const Command& c)
    {
        QString target = c.text2;
        if (QFileInfo(target).isDir())
            target = QDir(target).filePath(QFileInfo(c.text).fileName());
        // As a file manager does, the copy replaces a file of the same name.
        if (!QFileInfo(c.text).isFile() || (QFileInfo::exists(target) && !QFile::remove(target)) ||
            !QFile::copy(c.text, target))
            return fail(kScriptFailed, c.line,
                        QStringLiteral("cannot copy %1 to %2").arg(c.text, c.text2));
        return kScriptOk;
    }

    int dump(const Command& c)
    {
        const QJsonDocument json = DumpState(editor_);
        if (c.text.isEmpty()) {
            out_ << QString::fromUtf8(json.toJson(QJsonDocument::Compact)) << '\n';
            out_.flush();
            return kScriptOk;
        }
        return write(c, json.toJson(QJsonDocument::Indented));
    }

    int write(const Command& c, const QByteArray& bytes)
    {
        const SkinError e = WriteFileAtomically(c.text, bytes);
        if (!e.ok())
            return fail(kScriptFailed, c.line,
                        QStringLiteral("cannot write %1%2")
                            .arg(c.text, e.system.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(e.system)));
        return kScriptOk;
    }

    QString name_;
    QTextStream& out_;
    QTextStream& err_;
    QueuedDialogs dialogs_;
    Editor editor_{dialogs_};
    bool started_ = false;
    bool failed_ = false;  // a SAVE wrote nothing, a skin named could not be read
    std::deque<int> fileLines_, colourLines_, answerLines_;  // the lines of the answers queued
};

}  // namespace

namespace {

// Every command of a script, or the first malformed line and why.
ScriptCheck ParseLines(const QByteArray& text, QVector<Command>* commands)
{
    ScriptCheck check;
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        QVector<Word> words;
        QString why;
        Command c;
        c.line = i + 1;
        if (!SplitWords(line, &words, &why) || words.isEmpty() || !ParseCommand(words, &c, &why)) {
            check.line = c.line;
            check.why = why.isEmpty() ? QStringLiteral("malformed line") : why;
            return check;
        }
        commands->append(c);
    }
    check.commands = commands->size();
    return check;
}

}  // namespace

ScriptCheck ParseScript(const QByteArray& text)
{
    QVector<Command> commands;
    return ParseLines(text, &commands);
}

int RunScript(const QString& name, const QByteArray& text, QTextStream& out, QTextStream& err)
{
    Runner runner(name, out, err);

    // The whole script is read before anything runs, so that a malformed line
    // stops it before it has changed any file.
    QVector<Command> commands;
    const ScriptCheck check = ParseLines(text, &commands);
    if (!check.ok())
        return runner.fail(kScriptRejected, check.line, check.why);
    return runner.run(commands);
}

}  // namespace velluno::cli
