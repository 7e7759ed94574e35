// The start-up wallpaper is read in place from the program by a reader of
// our own for plain BMP files: it must give exactly what Qt's reader gives.
#include "render/scene.h"

#include <QImageReader>
#include <QTest>

class TestStartupPicture : public QObject {
    Q_OBJECT
private slots:
    void sameAsQtReadsIt()
    {
        const QImage ours = velluno::BuiltinWallpaper();
        QImageReader reader(QStringLiteral(":/velluno/startup.bmp"), "bmp");
        const QImage qt = reader.read();
        QVERIFY2(!qt.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(ours.format(), QImage::Format_RGB32);
        QCOMPARE(ours, qt.convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(TestStartupPicture)
#include "test_startup_picture.moc"
