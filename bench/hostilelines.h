// The worst first lines the benchmarks know: six lines of 32,000 characters that hold no date
// but keep every start of the date search busy.
#pragma once

#include <QString>
#include <QStringList>

namespace benchfixtures {

inline constexpr qsizetype HostileLineLength = 32'000;

inline QString repeatedTo(const QString &unit, qsizetype length)
{
    QString line;
    line.reserve(length + unit.size());
    while (line.size() < length)
        line += unit;
    line.truncate(length);
    return line;
}

// Long runs of blanks between month words and numbers, digit runs, separators of every kind and
// month-name prefixes. Days and months of zero make every near date invalid, so nothing prunes
// the search early.
inline QStringList hostileLines()
{
    const QString blanks(40, u' ');
    const qsizetype n = HostileLineLength;
    return {
        repeatedTo(u"Augu"_qs + blanks + u"00"_qs + blanks + u" , "_qs + blanks + u"00 "_qs, n),
        repeatedTo(u"00/00/1000/00-00-1000-00.00.1000.0/0/10/"_qs, n),
        repeatedTo(u"Sept/00/1990/augu-00-00-May/00/00 Mar 0,"_qs, n),
        repeatedTo(u"0"_qs + blanks + u"may"_qs + blanks + u",1000"_qs + blanks + u"0 jun, "_qs, n),
        repeatedTo(u"01234567890000000000000000000000/-.,"_qs, n),
        repeatedTo(u"augaugaugseptembe decembe 0 octob "_qs, n),
    };
}

// The six lines, then a venue and one disc with one track.
inline QString hostileText()
{
    QString text = hostileLines().join(u"\r\n");
    text += u"\r\nVenue Town Hall\r\n\r\nDisc 1\r\n1. Opener 4:56\r\n"_qs;
    return text;
}

} // namespace benchfixtures
