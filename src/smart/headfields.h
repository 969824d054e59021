// The first line of an info text cut into its fields ("Bob Dylan, 11/4/75 afternoon, Civic
// Center, Providence, Rhode Island, 3CDR"), each field told apart: a date, a partial date, the
// media, a time of day, an event, a state, or a name.
#pragma once

#include "smart/textscan.h"

#include <QList>
#include <QStringView>

#include <optional>

namespace tapewright::smart {

enum class HeadPart : quint8
{
    Other,
    Date,
    PartialDate,
    Media,
    TimeOfDay,
    Event,
    State,
};

struct HeadField
{
    QStringView text;
    HeadPart part = HeadPart::Other;
    std::optional<FoundDate> date;
};

// The first line cut into its fields: at commas, at spaced dashes and at runs of blanks, but
// never inside the date, which writes commas of its own ("July 1, 1981").
QList<QStringView> HeadFields(QStringView s, const std::optional<FoundDate> &date);
HeadField ClassifyHeadField(QStringView f, QStringView lower, const DateLocale &locale);
// A sentence ends inside the line: a full stop, question or exclamation mark, a blank and a
// capital ("Listen loud. Improved ...").
bool HasSentenceEnd(QStringView s);
bool HasLetter(QStringView s);
// The last word is one that ends a venue's name and hardly a band's ("Autzen Stadium").
bool EndsInVenueWord(QStringView s);

} // namespace tapewright::smart
