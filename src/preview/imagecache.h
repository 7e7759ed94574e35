#pragma once
// Decoded pictures by path, kept while the file's size and modification time
// stay the same, so that a render decodes nothing that has not changed.
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QString>

namespace velluno {

class ImageCache {
public:
    // The first frame of a GIF or a JPEG; a null image when the file is
    // missing or cannot be decoded. Decoding is bounded in memory, so a
    // hostile file cannot exhaust it.
    QImage load(const QString& path);
    void clear() { entries_.clear(); }
    int decodes() const { return decodes_; }  // how many files were decoded

private:
    struct Entry {
        qint64 size = -1;
        QDateTime modified;
        QImage image;
    };
    QHash<QString, Entry> entries_;
    int decodes_ = 0;
};

}  // namespace velluno
