#pragma once
// Why a reading or a writing of a skin's files failed. The library only
// names the failure and what it concerns; each face of the program words it
// in its own language.
#include <QString>
#include <QStringList>

#include "skin/gif.h"

#include <cstring>

namespace velluno {

// Every failure the library reports, by kind. A scoped enumeration, so
// that each face's wording of it is a switch the compiler checks for a
// kind it forgot.
enum class ErrorKind {
    None,
    // Reading a skin.
    CannotOpen,          // file: the skin; system: the reason
    CannotRead,          // file, system
    TooLarge,            // file: the text before the first carriage return is too long
    TooManyLines,        // file, line: the first line past the last slot
    ShortRecord,         // file, line: a record of type 1, 4 or 5 with fewer than five fields
    CannotCreateFolder,  // file: the image folder; system
    // Saving a skin.
    IndexOutOfRange,     // key, detail: the table's name; extra: the "Indice" text
    ImageMissing,        // key, file: an image to pack that is not there
    ImageNotAFile,       // key, file: an image to pack whose name is taken by a folder or another non-file
    BlankImagePath,      // key: an image to pack without a file, while others have one
    ContainerTooLarge,   // key, file: the image with which the packed images pass the limit
    ImageUnreadable,     // key, file, system
    ImageChanged,        // key, file: the image changed length while it was read
    ImageRefused,        // key, file, verdict: an image to pack that is no GIF the phone can show
    BackupUnreadable,    // file: the skin file that the backup copies; system
    ReadOnly,            // file: a file the save would replace has no write bit in its mode
    // Writing a file (every write of the program).
    NotAFile,            // file: the target exists and is a folder or another non-file
    CannotCreateTemp,    // file: the target; system
    CannotWrite,         // file, system
    DiskFull,            // file
    CannotKeepOld,       // file, system: the old content could not be set aside
    CannotReplace,       // file, system
    // Reading a colour scheme (file and 1-based line).
    SchemeTooLarge,      // file
    SchemeNotText,       // file, line: a control character
    SchemeLineTooLong,   // file, line
    SchemeTooManyRows,   // file, line: the first colour line past the last
    SchemeShortLine,     // file, line: fewer than six fields
    SchemeBadField,      // file, line, detail: the field's column, extra: its text
    SchemeEmpty,         // file: no colour line
};

struct SkinError {
    ErrorKind code = ErrorKind::None;
    QString file;    // the file the failure concerns
    int line = 0;    // 1-based line of the skin, 0 when none
    QString key;     // the row's key, when a row is concerned
    QString detail;  // what else the failure names (a table, a value)
    QString extra;
    QString system;  // the operating system's reason, when there is one
    GifVerdict verdict = GifVerdict::Ok;  // ImageRefused: why the image check refused the image
    int errnum = 0;  // the system's error number behind `system`, 0 when unknown
    QStringList kept;  // old contents that could not be put back, kept under these names

    bool ok() const { return code == ErrorKind::None; }
    static SkinError of(ErrorKind code, QString file = QString(), QString system = QString())
    {
    SkinError e;
    e.code = code;
    e.file = std::move(file);
    e.system = std::move(system);
    return e;
    }
    // The failure with the system's reason for the error number `errnum`.
    static SkinError ofSystem(ErrorKind code, QString file, int errnum)
    {
    SkinError e = of(code, std::move(file), QString::fromLocal8Bit(std::strerror(errnum)));
    e.errnum = errnum;
    return e;
    }
};

}  // namespace velluno
