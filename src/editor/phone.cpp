#include "editor/phone.h"

#include "render/clock.h"

namespace velluno {

namespace {

// The pressed pictures of the left, centre and right soft key, in the
// panel's "Premuti:" row.
constexpr int kPressedKeys[3] = {631, 633, 635};

QDateTime Minute(const QDateTime& t)
{
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute()));
}

}  // namespace

void ShowPhone(Editor& editor, bool on)
{
    PhoneView& phone = editor.phone;
    phone.on.checked = on;
    phone.pressed = -1;
    phone.time = on ? Minute(editor.now()) : QDateTime();
}

bool PhoneClockTick(Editor& editor)
{
    if (!editor.phone.on.checked)
        return false;
    editor.phone.time = Minute(editor.now());
    return true;
}

int MsecsToNextMinute(const Editor& editor)
{
    // A clock that has passed the next minute already (the computer slept)
    // is read again at once.
    const qint64 ms = editor.now().msecsTo(editor.phone.time.addSecs(60));
    return int(qBound(qint64(50), ms, qint64(60000)));
}

int SoftKeyAt(const Scene& scene, int x, int y)
{
    for (int i = 2; i >= 0; --i) {
        const ImageItem& key = scene.Img[i];
        if (key.visible && !key.picture.isNull() && QRect(QPoint(key.x, key.y), key.picture.size()).contains(x, y))
            return i;
    }
    return -1;
}

bool PressSoftKey(Editor& editor, int x, int y)
{
    if (!editor.phone.on.checked)
        return false;
    const int key = SoftKeyAt(editor.preview.scene, x, y);
    if (key < 0)
        return false;
    editor.phone.pressed = key;
    return true;
}

bool ReleaseSoftKey(Editor& editor)
{
    if (editor.phone.pressed < 0)
        return false;
    editor.phone.pressed = -1;
    return true;
}

Scene PhoneScene(const Editor& editor)
{
    const PreviewView& v = editor.preview;
    const QDateTime& t = editor.phone.time;
    Scene s = v.scene;
    s.outlines.clear();
    s.lblData.text = t.toString(QStringLiteral("d/M/yyyy"));
    // The time keeps its right edge, where the skin puts it.
    TextItem& clock = s.lblOra;
    const int right = clock.x + clock.width;
    clock.text = t.toString(QStringLiteral("HH:mm"));
    clock.width = PreviewTextWidth(clock.text);
    clock.x = right - clock.width;
    // The hands from the same box and lengths as the preview's; a box they
    // are not placed in leaves them as the preview shows them.
    const Field* box = v.fields + kFaceBoxField;
    if (const std::optional<Hands> hands = PlaceHandsAt(
            LenientNumber(box[0].text), LenientNumber(box[1].text), LenientNumber(box[2].text),
            LenientNumber(box[3].text), LenientNumber(v.minuteLength.text), LenientNumber(v.hourLength.text),
            t.time().hour(), t.time().minute())) {
        for (auto [line, placed] : {std::pair{&s.LineMin, hands->minute}, std::pair{&s.LineOra, hands->hour}}) {
            line->x1 = placed.x1;
            line->y1 = placed.y1;
            line->x2 = placed.x2;
            line->y2 = placed.y2;
        }
    }
    if (editor.phone.pressed >= 0) {
        const auto pressed = v.panel.find(kPressedKeys[editor.phone.pressed]);
        // A skin without the pressed picture keeps the released one.
        if (pressed != v.panel.end() && !pressed->second.picture.isNull()) {
            ImageItem& key = s.Img[editor.phone.pressed];
            key.image = pressed->second.image;
            key.picture = pressed->second.picture;
        }
    }
    return s;
}

}  // namespace velluno
