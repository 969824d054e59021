// Small scanners the smart recogniser reads lines with: words and their letter case, times,
// dates, file names and checksums. Each looks at a line once, from left to right.
#pragma once

#include "convert/daterecogniser.h"
#include "convert/textterms.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

namespace tapewright::smart {

inline bool IsAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Inline on purpose, like the converter's BeginsWith: every line is asked several of these,
// and on lines this short a plain loop costs less than a call into the library.
inline bool EndsWith(QStringView s, QStringView w)
{
    return s.size() >= w.size() && BeginsWith(s.sliced(s.size() - w.size()), w);
}

// The last position of c in s, or -1.
inline qsizetype LastChar(QStringView s, char16_t c)
{
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        if (s[i].unicode() == c)
            return i;
    }
    return -1;
}

// The first position of w in s at or after from, or -1.
inline qsizetype FindText(QStringView s, QStringView w, qsizetype from = 0)
{
    const char16_t first = w[0].unicode();
    for (qsizetype i = from; i + w.size() <= s.size(); ++i) {
        if (s[i].unicode() == first && BeginsWith(s.sliced(i), w))
            return i;
    }
    return -1;
}

// Runs of blanks made one blank, blanks at both ends removed.
QString CollapsedBlanks(QStringView s);

// A name as a field takes it: blanks at both ends and the list punctuation after it removed,
// runs of blanks made one.
inline QString TrimmedName(QStringView s)
{
    s = s.trimmed();
    while (!s.isEmpty() && (s.back() == u',' || s.back() == u'-' || s.back() == u':' ||
                            s.back() == u';' || s.back() == u'_'))
        s.chop(1);
    return CollapsedBlanks(s);
}

inline bool HasDigit(QStringView s)
{
    for (QChar c : s) {
        if (IsAsciiDigit(c))
            return true;
    }
    return false;
}

// Whether a word of s (a run of letters) is one that isWord accepts.
template <typename Predicate> bool AnyLetterWord(QStringView s, Predicate isWord)
{
    qsizetype i = 0;
    while (i < s.size()) {
        if (!s[i].isLetter()) {
            ++i;
            continue;
        }
        qsizetype e = i;
        while (e < s.size() && s[e].isLetter())
            ++e;
        if (isWord(s.sliced(i, e - i)))
            return true;
        i = e;
    }
    return false;
}

// The words of a line (blank-separated, parenthesised and bracketed notes left out): how many,
// and how many of them begin with a small letter without being words that titles write small
// ("of", "the", "and" ...).
struct WordCounts
{
    int words = 0;
    int lower = 0; // words that begin with a small letter
    int small = 0; // of those, the ones titles do not write small
};
WordCounts CountWords(QStringView s);

// Running text: a sentence, a remark, a paragraph. Titles, names and headings are not.
bool IsProse(QStringView s);
// Written as a name or title is: short, every word capitalised but the small ones.
bool IsTitleLike(QStringView s);

// A playing time at pos: "5:32", "05:32", "1:02:33", "5:32.45" (CD frames). Returns the end.
qsizetype TimeEndAt(QStringView s, qsizetype pos);

// A playing time that ends the text, bare or in brackets, with what stands before it.
struct TrailingTime
{
    qsizetype start = 0; // where the time (with its brackets) begins
    QStringView time;    // without brackets
};
std::optional<TrailingTime> FindTrailingTime(QStringView s);

// A checksum or file listing line: md5 or sha sums, flac fingerprints ("01.flac:9f0c..."),
// shntool tables, checksum-tool comments, audio file names.
bool IsListingLine(QStringView s, QStringView lower);
// A web address alone on its line.
bool IsUrlLine(QStringView lower);
// The first file name with an audio extension in the line ("Disc 1\D1 Track01.flac"), or empty.
QStringView AudioFileName(QStringView s, QStringView lower);

// A show date written in the text, with the piece of the text that writes it. Ordinal
// suffixes ("10th") and weekday names are read past.
struct FoundDate
{
    QDate date;
    qsizetype start = 0;
    qsizetype end = 0;
};
std::optional<FoundDate> FindDateIn(QStringView s, QStringView lower, const DateLocale &locale);
// Whether the text is a date and nothing else but weekday names and punctuation.
std::optional<FoundDate> WholeDate(QStringView s, QStringView lower, const DateLocale &locale);
// "5/xx/87", "7/87", "1987": a date that names no single day, which no field may take as a
// place or title.
bool IsPartialDate(QStringView lower);
// "1986-06-25" somewhere in s: a date as trading lists and file names write it.
bool HasIsoDate(QStringView s);

} // namespace tapewright::smart
