// The band as an info text names it, wherever it does: written out from traders' short names
// ("Dylan & Dead"), from the files a listing or concatenation names, from a line that names a
// known act, from the first musician of a lineup.
#pragma once

#include "convert/daterecogniser.h"
#include "smart/infotext.h"

#include <QString>
#include <QStringView>

namespace tapewright::smart {

// A band's name is a few words; a longer line is a title or a sentence.
constexpr int MaxBandWords = 8;

// The band as a cover names it: a describing note in brackets left off ("(former Rolling Stones
// guitarist)"), traders' short names written out ("Dylan & Dead" is "Bob Dylan & Grateful
// Dead"), a name written surname first turned ("Dylan-Bob").
QString WrittenOutBand(const QString &band);
// A second act named in an event field of the first line: "US tour with Grateful Dead", "Dead
// Dylan Rehearsals" (the band being Bob Dylan); empty when none.
QString PartnerIn(QStringView field, const QString &band);
// "=== Bob Dylan 2000-06-18.txt": the band a concatenated file's name gives.
QString BandFromFileHeaders(const InfoText &t, const DateLocale &loc);
// "01 Grateful Dead - Maggie's Farm.flac" in every listed file name: the artist.
QString BandFromListing(const InfoText &t);
// A known act named on a line of its own among the lines before end, or a short line that
// begins with one.
QString KnownActLine(const InfoText &t, qsizetype end);
// The first musician of a lineup: "Band Members" / "Bob Dylan - piano, harp".
QString LineupLeader(const InfoText &t);

} // namespace tapewright::smart
