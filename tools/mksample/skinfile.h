// The text of the sample skin varavave.ski, its picture containers and the
// default colour scheme colors.txt.
#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <vector>

namespace mksample {

struct StoredObject {
    int number = 0;
    int container = 0;
    qsizetype offset = 0;
    qsizetype length = 0;
};

struct SampleSkin {
    QByteArray ski;                        // varavave.ski
    QByteArray colours;                    // colors.txt for the default set
    std::map<QString, QByteArray> containers; // file name -> contents
    std::vector<StoredObject> objects;     // in the order of the skin's records
};

// The file a container number is stored in: 0 is varavave.dat, n is varavaveN.dat.
QString containerFileName(int container);

// `gifs` holds the finished GIF file of every object number of the skin.
SampleSkin buildSampleSkin(const std::map<int, QByteArray> &gifs);

} // namespace mksample
