// The start-up wallpaper is used in place from the program by a reader of
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
        // Used in place, the file's unused byte is what an RGB32 image holds
        // there: 255, or drawing the picture elsewhere would carry it along.
        for (int y = 0; y < ours.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(ours.constScanLine(y));
            for (int x = 0; x < ours.width(); ++x)
                QVERIFY2(qAlpha(row[x]) == 255, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    }
};

QTEST_MAIN(TestStartupPicture)
#include "test_startup_picture.moc"
