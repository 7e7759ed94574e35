// velluno-mksample OUTDIR
//
// Writes the sample skin to OUTDIR/examples/varavave and the default picture
// set to OUTDIR/assets/default. Everything is drawn here and encoded by our
// own GIF writer, so running it again gives the same bytes.
#include "artwork.h"
#include "gifencoder.h"
#include "skinfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageWriter>

#include <cstdio>
#include <exception>
#include <map>

using namespace mksample;

namespace {

class Failure : public std::exception {
public:
    explicit Failure(QString message) : m_message(message.toLocal8Bit()) {}
    const char *what() const noexcept override { return m_message.constData(); }

private:
    QByteArray m_message;
};

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        throw Failure(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    std::printf("%8lld  %s\n", static_cast<long long>(data.size()), qPrintable(path));
}

void makeDir(const QString &path)
{
    if (!QDir().mkpath(path))
        throw Failure(QStringLiteral("cannot create %1").arg(path));
}

// Encodes one object and reads it back with Qt before anything is written.
QByteArray encodeChecked(int number, const Theme &theme, const char *set)
{
    const Picture pic = drawObject(number, theme);
    if (quantise(pic.frames).reduced)
        throw Failure(QStringLiteral("%1 picture %2 uses more than 256 colours").arg(set).arg(number));
    const QByteArray gif = encodeGif(pic.frames, pic.options);
    const QString why = verifyGif(gif, pic.frames, pic.options);
    if (!why.isEmpty())
        throw Failure(QStringLiteral("%1 picture %2 does not read back: %3").arg(set).arg(number).arg(why));
    return gif;
}

QByteArray wallpaperJpeg()
{
    QImage image = drawWallpaper();
    // fixed resolution so the JFIF header never depends on the machine
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(88);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
    if (!writer.write(image))
        throw Failure(QStringLiteral("cannot encode the wallpaper: %1").arg(writer.errorString()));
    return data;
}

void run(const QString &outDir)
{
    std::map<int, QByteArray> skinGifs;
    std::map<int, QByteArray> defaultGifs;
    for (int n : objectNumbers()) {
        skinGifs[n] = encodeChecked(n, sampleTheme(), "sample");
        defaultGifs[n] = encodeChecked(n, defaultTheme(), "default");
    }
    const SampleSkin skin = buildSampleSkin(skinGifs);

    const QString skinDir = outDir + QStringLiteral("/examples/varavave");
    const QString defaultDir = outDir + QStringLiteral("/assets/default");
    makeDir(skinDir);
    makeDir(defaultDir);

    writeFile(skinDir + QStringLiteral("/varavave.ski"), skin.ski);
    for (const auto &[name, data] : skin.containers)
        writeFile(skinDir + QLatin1Char('/') + name, data);
    writeFile(skinDir + QStringLiteral("/wallpaper.jpg"), wallpaperJpeg());
    // the editor keeps its extracted pictures and the previous skin next to it
    writeFile(skinDir + QStringLiteral("/.gitignore"), "varavave_Gifs/\nvaravave_old.ski\n");
    // The skin must keep its LF line ends on every checkout.
    writeFile(skinDir + QStringLiteral("/.gitattributes"),
              "*.ski -text\n*.dat binary\n*.jpg binary\n");

    for (const auto &[n, gif] : defaultGifs)
        writeFile(defaultDir + QStringLiteral("/%1.gif").arg(n), gif);
    writeFile(defaultDir + QStringLiteral("/colors.txt"), skin.colours);
    // colors.txt must keep its CR LF line ends on every checkout.
    writeFile(defaultDir + QStringLiteral("/.gitattributes"), "colors.txt -text\n*.gif binary\n");

    std::printf("\nobject  container  file            offset  length  size\n");
    for (const StoredObject &o : skin.objects) {
        const QSize size = objectSize(o.number);
        std::printf("%6d  %9d  %-14s  %6lld  %6lld  %dx%d\n", o.number, o.container,
                    qPrintable(containerFileName(o.container)), static_cast<long long>(o.offset),
                    static_cast<long long>(o.length), size.width(), size.height());
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velluno-mksample OUTDIR\n");
        return 2;
    }
    try {
        run(QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "velluno-mksample: %s\n", e.what());
        return 1;
    }
    return 0;
}
