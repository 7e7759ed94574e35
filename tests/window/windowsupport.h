#pragma once
// What the window tests share: finding a widget by name, showing the window
// and waiting until it can take events, pictures for pixel comparisons, and
// a file dropped on a widget as a file manager drops it, the sample opened.
#include "testsupport.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWidget>

namespace velluno::test {

template <class T>
T* Child(QWidget& window, const QString& name)
{
    T* child = window.findChild<T*>(name);
    if (!child)
        qFatal("no widget %s", qPrintable(name));
    return child;
}

// Shows the window and waits until it is exposed and, when asked, active:
// keyboard shortcuts reach only the active window.
inline void ShowAndWait(QWidget& window, bool active = true)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("window not exposed");
    if (!active)
        return;
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        qFatal("window not active");
}

inline QImage Rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

// Whole-pixel magnification of a 1:1 picture, for comparing with a zoom.
inline QImage Magnified(const QImage& image, int zoom)
{
    QImage out(image.size() * zoom, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.setPixel(x, y, image.pixel(x / zoom, y / zoom));
    return out;
}

// Drags `file` over `target` at `at` and drops it there; false when the drag
// was not taken.
inline bool DropFile(QWidget* target, const QPoint& at, const QString& file)
{
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

// Copies the sample skin into `dir` and opens the copy with LOAD, the file
// dialog answered with it: by Ctrl+O, or by a click on the toolbar button.
enum class LoadBy { Shortcut, Button };
inline void OpenSampleCopy(QWidget& window, TestDialogs& dialogs, const QString& dir,
                           LoadBy how = LoadBy::Shortcut)
{
    CopySample(dir);
    dialogs.files.push_back(dir + QStringLiteral("/varavave.ski"));
    if (how == LoadBy::Button)
        QTest::mouseClick(Child<QWidget>(window, QStringLiteral("TB0_LOAD")), Qt::LeftButton);
    else
        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
}

}  // namespace velluno::test
