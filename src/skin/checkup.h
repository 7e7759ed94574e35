#pragma once
// What a skin holds that the phone or the editor cannot take as it is (a
// problem), and what is only worth knowing (a note), decided in one place
// for every command that reads a skin, so that they never disagree. A skin
// copied from the phone and not exported yet is in its normal state: its
// images are in its containers, where the phone finds them.
#include "skin/containers.h"
#include "skin/reader.h"

namespace velluno {

enum class FindingKind {
    // Problems.
    NotASkin,            // the first line does not start with SKI1
    ReadingStopped,      // error: where and why the reading stopped (too many lines, a short record)
    TextDropped,         // refusal: the reading left text out; line: where
    DuplicateRecord,     // name: "object", "colour" or "rectangle"; key; line; value: the line of the first
    OutOfRange,          // line; field: its place in the line; name: X1..Y2 or R, G, B; value; low..high
    ImageFault,          // fault: an image that its container cannot give, or no GIF the phone can show
    EditedImageRefused,  // key; file; verdict: an image file edited by hand that is no GIF the phone can show
    SaveStops,           // error: where a save of the skin stops
    // Notes.
    NotExported,         // keys: objects whose image file is not in the image folder yet
    EditedImagesTaken,   // keys: image files edited by hand, taken as replacements
    NotOperatorSkin,     // only varavave.ski is saved
};

// Whether a finding of this kind is a problem; a note otherwise.
bool IsProblem(FindingKind kind);

struct Finding {
    FindingKind kind = FindingKind::NotASkin;
    QString file;  // the skin file, as it is spelt on the disk
    int line = 0;  // 1-based line of the skin
    QString key;
    QString name;
    QString value;
    int field = 0;
    int low = 0, high = 0;
    QStringList keys;
    SkinError error;
    SaveRefusal refusal = SaveRefusal::None;
    ExtractReport::Fault fault;
    GifVerdict verdict = GifVerdict::Ok;
};

struct Checkup {
    QVector<Finding> findings;  // problems first, each kind in the order of the skin's lines
    bool hasProblems() const;
};

// The phone's display: what a rectangle's corners may be.
constexpr int kDisplayWidth = 176;
constexpr int kDisplayHeight = 220;

// The findings of a skin: its document, how it was read and the image
// files edited by hand that the reading took; what its containers hold (an
// export's report, or else they are checked here) and where a save stops or
// stopped (else a save is tried here in memory, for a skin that may be
// saved; one refused saving says why once, as a finding of its own).
Checkup CheckSkin(const Document& doc, const ReadingFacts& reading, const EditedImages& edited,
                  const ExtractReport* images = nullptr, const SkinError* save = nullptr);

}  // namespace velluno
