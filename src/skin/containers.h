#pragma once
// The containers beside a skin, and the extraction of every graphic object
// from its container into its own image file.
#include "skin/errors.h"
#include "skin/gif.h"
#include "skin/document.h"

#include <memory>

namespace velluno {

// Container n of a skin: folder / name & n & ".dat" (no number for 0),
// matched without regard to case when it exists.
QString ContainerPath(const Document& doc, qint64 n);

// What an extraction met: one entry per faulty row.
struct ExtractReport {
    int written = 0;
    int skipped = 0;  // replaced rows that have no place in a container yet
    // The image folder could not be created: nothing was extracted.
    SkinError folder;
    struct Fault {
        enum class Reason {
            BadValues,         // detail: "N° Dat", "Offset" and "Byte" as they stand
            EmptyImage,        // the row's length is 0
            NoContainer,       // file: the container that does not exist
            ContainerTooLarge, // file
            ContainerUnreadable, // file, system
            EmptyContainer,    // file
            PastTheEnd,        // file; detail: offset, length and the container's size
            NotAGif,           // file: the container; verdict: its bytes are no GIF the phone can show
                               // (the image file is written all the same and the row is not marked
                               // faulty: it is what the container holds, for the user to see)
            CannotWrite,       // file: the image file; error: why
            CannotKeepEdited,  // file: the image file whose other bytes could not be kept; error: why
            NumberTooLarge,    // the object number names no image file (ObjectNumberFits)
        };
        QString key;
        Reason reason = Reason::BadValues;
        QString file;
        QString detail;
        QString system;
        GifVerdict verdict = GifVerdict::Ok;
        SkinError error;
        int line = 0;  // the 1-based line of the row's record
    };
    QVector<Fault> faults;
    // An image file that held other bytes than its container's (edited by
    // hand since the last export): its content is kept under a numbered
    // name beside it before the extracted image takes its place.
    struct Kept {
        QString key;
        QString image;   // the image file
        QString backup;  // where its old content is kept (image & "." & n)
    };
    QVector<Kept> kept;
};

// Cuts every row's image out of its container into its object image file,
// in the table's order; rows become extracted (or to be replaced, for
// container 14 of the operator skin), faulty rows are marked faulty.
// Creates the image folder when it is missing.
// Each image file is either its old self or wholly the new image; an image
// file that held other bytes is kept as a numbered copy first (report.kept).
ExtractReport ExtractImages(Document& doc);
// What an extraction would meet, without writing anything: the faults of
// every row (those of writing aside) and, in `written`, how many images
// it would write.
ExtractReport CheckContainerImages(const Document& doc);

// The images of a document's rows as their containers hold them. Every row
// of one container uses the same bytes, so a skin of hundreds of objects in
// two containers reads two files, not hundreds.
class ContainerImages {
public:
    explicit ContainerImages(const Document& doc);
    ~ContainerImages();
    enum class Place { Found, Replaced, Faulty };
    // The bytes of the row's image in its container (not checked), valid
    // while this object lives; Replaced for a row whose image has no place
    // in a container until the next save; Faulty with the fault filled.
    Place locate(const ObjectRow& row, QByteArrayView* image, qint64* container, ExtractReport::Fault* fault);

private:
    struct Cache;
    const Document& doc_;
    std::unique_ptr<Cache> cache_;
};

// An image file that no longer holds the bytes its container holds for its
// object: edited outside the editor since it was extracted.
struct EditedImage {
    QString key;
    QString path;     // the image file
    qint64 length = 0;
    GifVerdict verdict = GifVerdict::Ok;  // the image check of the file
};
struct EditedImages {
    QVector<EditedImage> taken;    // now replacements by their own files
    QVector<EditedImage> refused;  // no GIF the phone can show: left as they were
};

// Looks at every object row that shows its extracted image (found or
// extracted; container 14 of the operator skin is packed from its image
// file anyway) and compares the file with the bytes its container holds for
// it, reading only those bytes. A file that differs and passes the image
// check becomes a replacement by that file, as "Importa..." makes one, so
// that the next save packs it. A container that is missing or too short
// tells nothing: such rows are left alone.
EditedImages TakeEditedImages(Document& doc);

}  // namespace velluno
