#include "cli/report.h"

#include "editor/failures.h"

#include <QDir>
#include <QTextStream>

namespace velluno::cli {

namespace {

QString Path(const QString& path) { return QDir::toNativeSeparators(path); }

// "file, line n: " before what a line of the skin holds.
QString At(const Finding& f) { return QStringLiteral("%1, line %2: ").arg(Path(f.file)).arg(f.line); }

QString Listed(const QStringList& keys) { return QStringLiteral("%1: %2").arg(keys.size()).arg(keys.join(QLatin1Char(' '))); }

}  // namespace

bool Unusable(const ReadingFacts& reading)
{
    const ErrorKind e = reading.error.code;
    return reading.badMagic || e == ErrorKind::CannotOpen || e == ErrorKind::CannotRead || e == ErrorKind::TooLarge;
}

QString UnusableText(const ReadingFacts& reading)
{
    if (!reading.error.ok())
        return FailureText(reading.error, Language::English);
    return QStringLiteral("%1: %2").arg(Path(reading.file), RefusalText(SaveRefusal::BadMagic, Language::English));
}

QString FindingText(const Finding& f)
{
    const QString repair = QStringLiteral(" (velluno-cli fix-line-ends repairs it)");
    switch (f.kind) {
    case FindingKind::NotASkin:
        return QStringLiteral("%1: %2").arg(Path(f.file), RefusalText(SaveRefusal::BadMagic, Language::English));
    case FindingKind::ReadingStopped:
        return QStringLiteral("the reading stopped: %1").arg(FailureText(f.error, Language::English));
    case FindingKind::TextDropped:
        if (f.refusal == SaveRefusal::TextAfterLastLine)
            return At(f) + QStringLiteral("%1: \"%2\"%3").arg(RefusalText(f.refusal, Language::English), f.value, repair);
        return At(f) + RefusalText(f.refusal, Language::English) +
               (f.refusal == SaveRefusal::StoppedAtCarriageReturn && f.line == 1 ? QStringLiteral(" (CR LF line ends?)")
                                                                                 : QString()) +
               repair;
    case FindingKind::DuplicateRecord: {
        const QString consequence =
            f.name == QLatin1String("object")
                ? QStringLiteral("both are exported to %1, the later over the earlier").arg(ObjectImageName(f.key))
                : QStringLiteral("the editor shows and changes only the first");
        return At(f) + QStringLiteral("%1 %2 again (first at line %3): %4").arg(f.name, f.key, f.value, consequence);
    }
    case FindingKind::OutOfRange:
        return QStringLiteral("%1, line %2, field %3 (%4): \"%5\" is no whole number from %6 to %7")
            .arg(Path(f.file))
            .arg(f.line)
            .arg(f.field)
            .arg(f.name, f.value)
            .arg(f.low)
            .arg(f.high);
    case FindingKind::ImageFault:
        return At(f) + QStringLiteral("object %1: %2").arg(f.key, ExtractFaultText(f.fault, Language::English));
    case FindingKind::EditedImageRefused:
        return QStringLiteral("object %1: %2 was edited by hand but is no GIF the phone can show (%3): left as it was")
            .arg(f.key, Path(f.file), ImageFaultText(f.verdict, Language::English));
    case FindingKind::SaveStops:
        return QStringLiteral("saving stops: %1").arg(FailureText(f.error, Language::English));
    case FindingKind::NotExported:
        return QStringLiteral("object(s) not exported yet, shown from their containers (velluno-cli export "
                              "writes their image files), ") +
               Listed(f.keys);
    case FindingKind::EditedImagesTaken:
        return QStringLiteral("image file(s) edited by hand since the export, taken as replacements, ") +
               Listed(f.keys);
    case FindingKind::NotOperatorSkin: return RefusalText(SaveRefusal::NotOperatorSkin, Language::English);
    }
    return QString();
}

void PrintFindings(QTextStream& err, const char* command, const Checkup& checkup)
{
    for (const Finding& f : checkup.findings)
        err << "velluno-cli " << command << ": " << (IsProblem(f.kind) ? "" : "note: ") << FindingText(f) << '\n';
    err.flush();
}

int StatusOf(const Checkup& checkup) { return checkup.hasProblems() ? kExitProblems : kExitDone; }

}  // namespace velluno::cli
