#pragma once
// Decoded pictures by path, kept while the file's size and modification time
// stay the same, so that a render decodes nothing that has not changed.
#include "render/imageguard.h"

#include <QHash>
#include <QImage>
#include <QString>

namespace velluno {

class ImageCache {
public:
    // The first frame of a GIF or a JPEG (recognised by content); a null
    // image when the file is missing or cannot be decoded. Decoding is
    // bounded in memory, so a hostile file cannot exhaust it. The path is
    // used as given.
    QImage load(const QString& path, ImageFault* fault = nullptr);
    // The same for a name the editor formed: when nothing is decoded under
    // the name as spelt, the file is looked for without regard to letter
    // case. The common case costs one look at the file.
    // `fault` receives why no picture came (Missing for no file).
    QImage loadAnyCase(const QString& path, ImageFault* fault = nullptr);
    // A file's size and modification time; size -1 when it is no normal file.
    struct Stamp {
        qint64 size = -1;
        qint64 modified = 0;  // nanoseconds since the epoch
    };
    static Stamp stampOf(const QString& path);
    // A picture decoded elsewhere from the bytes of the file at `path` as
    // stamped before they were read, kept as if load() had decoded it: an
    // import checks its file by decoding it, and the pane and the preview
    // then show it without decoding it again. A file changed since its stamp
    // is decoded again by the next load().
    void keep(const QString& path, const QImage& image, const Stamp& stamp);
    void clear()
    {
        entries_.clear();
        bytes_ = 0;
    }
    int decodes() const { return decodes_; }  // how many files were decoded

private:
    struct Entry {
        qint64 size = -1;
        qint64 modified = 0;  // nanoseconds since the epoch
        QImage image;
        ImageFault fault = ImageFault::None;
    };
    void store(const QString& path, const Entry& entry);
    QHash<QString, Entry> entries_;
    int decodes_ = 0;
    qint64 bytes_ = 0;  // decoded bytes held
};

}  // namespace velluno
