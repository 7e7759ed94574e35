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
    const SkinReading reading = ReadSkinBytes(file, place.SkinDir + QStringLiteral("/varavave.ski"), place);
    const Document& doc = reading.doc;

    // The facts the save guards rest on.
    if (doc.LineCount < 0 || doc.LineCount > kSlotCount)
        std::abort();
    const qsizetype cr = file.indexOf('\r');
    const bool goesOn = cr >= 0 && cr + 1 < file.size() && (file.at(cr + 1) != '\n' || cr + 2 < file.size());
    if (reading.error.ok() && !reading.badMagic) {
        if (reading.stoppedAtCarriageReturn != goesOn)
            std::abort();
        if (reading.stoppedAtCarriageReturn && reading.stopLine != doc.LineCount + 1)
            std::abort();
        // Every slot read is one line of the text before the carriage return.
        const QByteArray text = cr >= 0 ? file.first(cr) : file;
        if (doc.LineCount != qMin<qsizetype>(text.count('\n'), kSlotCount))
            std::abort();
        if (reading.saveRefusal() == SaveRefusal::None && (goesOn || doc.LineCount == 0))
            std::abort();
    }
    if (reading.error.code == SkinError::ShortRecord && (reading.error.line < 2 || reading.error.line > doc.LineCount))
        std::abort();
    // Rows point at slots that were read; objects that name no file are
    // never found.
    const std::pair<const Table*, int> tables[] = {
        {&doc.L_Values, ColValuesIndex}, {&doc.L_RGBA, ColRgbaIndex}, {&doc.L_Dim, ColDimIndex}};
    for (const auto& [table, column] : tables) {
        for (const Row& row : table->rows()) {
            const int slot = row.cellView(column).toInt();
            if (slot < 1 || slot >= doc.LineCount)
                std::abort();
        }
    }
    for (const Row& row : doc.L_Values.rows())
        if (!ObjectNumberFits(row.keyView()) && (IsState(row, kStateFound) || row.cellView(ColPath).trimmed().size()))
            std::abort();
    return 0;
}
