// The skin reader on any bytes: the whole file as the opening reads it, up to
// its first carriage return, split into lines, records and rows. What the
// reading reports must agree with the document it built.
#include "fuzzsupport.h"
#include "skin/reader.h"

#include <cstdlib>

using namespace velluno;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartQt();
    static const SkinPlace place = PlaceOfSkin(fuzz::ScratchDir() + QStringLiteral("/varavave.ski"));
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const SkinReading reading = ReadSkinBytes(file, place.folder + QStringLiteral("/varavave.ski"), place);
    const Document& doc = reading.doc;

    // The facts the save guards rest on.
    if (doc.lineCount < 0 || doc.lineCount > kSlotCount)
        std::abort();
    const qsizetype cr = file.indexOf('\r');
    const bool goesOn = cr >= 0 && cr + 1 < file.size() && (file.at(cr + 1) != '\n' || cr + 2 < file.size());
    if (reading.error.ok() && !reading.badMagic) {
        if (reading.stoppedAtCarriageReturn != goesOn)
            std::abort();
        if (reading.stoppedAtCarriageReturn && reading.stopLine != doc.lineCount + 1)
            std::abort();
        // Every slot read is one line of the text before the carriage return.
        const QByteArray text = cr >= 0 ? file.first(cr) : file;
        if (doc.lineCount != qMin<qsizetype>(text.count('\n'), kSlotCount))
            std::abort();
        if (reading.saveRefusal() == SaveRefusal::None && (goesOn || doc.lineCount == 0))
            std::abort();
    }
    if (reading.error.code == ErrorKind::ShortRecord && (reading.error.line < 2 || reading.error.line > doc.lineCount))
        std::abort();
    // Rows point at slots that were read; objects that name no file are
    // never found.
    auto readSlot = [&](int slot) { return slot >= 1 && slot < doc.lineCount; };
    for (const ObjectRow& row : doc.objects.rows())
        if (!readSlot(row.slot) || (!ObjectNumberFits(row.number) && (row.state == ImageState::Found || !row.image.isEmpty())))
            std::abort();
    for (const Table<ValueRow>* table : {&doc.colours, &doc.rectangles})
        for (const ValueRow& row : table->rows())
            if (!readSlot(row.slot))
                std::abort();
    return 0;
}
