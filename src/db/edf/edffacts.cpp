#include "db/edf/edffacts.h"

QString EdfFacts::problemText() const
{
    switch (problem) {
    case Problem::None:
        return QString();
    case Problem::Missing:
        return tr("The file does not exist.");
    case Problem::Unreadable:
        return tr("The file cannot be opened: %1.").arg(systemError);
    case Problem::NotEdf:
        return tr("This is not an EDF or BDF file.");
    case Problem::Truncated:
        if (recordsAnnounced <= 0)
            return tr("The file ends inside its header.");
        return tr("The file is incomplete: it holds %1 of the %2 data records its header announces.")
            .arg(recordsPresent)
            .arg(recordsAnnounced);
    case Problem::Unfinished:
        return tr("The recording was not finished: its header does not say how long it is.");
    case Problem::Damaged:
        if (expectedSize > 0 && fileSize > expectedSize)
            return tr("The file is longer than its header says.");
        return tr("The file header is damaged.");
    case Problem::Discontinuous:
        return tr("Interrupted (EDF+D) recordings are not supported.");
    }
    return QString();
}

QString EdfFacts::formatName() const
{
    switch (format) {
    case Format::Unknown:
        break;
    case Format::Edf:
        return QStringLiteral("EDF");
    case Format::EdfPlus:
        return QStringLiteral("EDF+");
    case Format::Bdf:
        return QStringLiteral("BDF");
    case Format::BdfPlus:
        return QStringLiteral("BDF+");
    }
    return QString();
}
