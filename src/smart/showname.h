// The band and date of a show as collectors name its folder and files: "gd1977-05-08.sbd.miller
// .flac16", "Bob Dylan - 1989-10-24 - Boston", "ph1997-12-31". Smart recognition takes them
// from the info text's name and then its folder's when the text itself names no band or date.
#pragma once

#include "convert/daterecogniser.h"
#include "smart/smartrecords.h"

#include <QDate>
#include <QString>
#include <QStringView>

namespace tapewright::smart {

struct NamedShow
{
    QString band;        // empty when the name gives none
    QString literalDate; // the date as the name writes it; empty when it gives none
    QDate date;
};

// A name gives a show only with a date: the band is what stands before the date, a trader's
// short name glued to it ("gd", "ph") written out, and nothing when the short name is unknown.
// Underscores count as blanks.
NamedShow ShowFromName(QStringView name, const DateLocale &locale);

// The file's name without its extension first, then its folder's name, field by field; nothing
// for an empty path (a text that comes from no file).
NamedShow ShowFromPath(const QString &path, const DateLocale &locale);

// Gives show the band and the date it lacks from the info text's path, as ShowFromPath reads
// them; returns what it took.
struct TakenFromName
{
    bool band = false;
    bool date = false;
};
TakenFromName TakeFromName(SmartShow &show, const QString &infoPath, const DateLocale &locale);

} // namespace tapewright::smart
