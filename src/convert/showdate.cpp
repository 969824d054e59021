// The show's date, looked for in lines 1 to 6 in three passes: a line that begins with "date",
// a line that is a date once ordinal suffixes are gone, and a date inside a line. A pass runs
// only when the passes before it found nothing.
#include "showdate.h"

#include "daterecogniser.h"
#include "textterms.h"

namespace tapewright {

namespace {

constexpr qsizetype DateLines = 6;
constexpr qsizetype ShortestDateInside = 7;

HeaderField dateField(QStringView literal, QDate date, const DateLocale &locale, int lineNo)
{
    HeaderField field;
    field.Element =
        QStringLiteral("<LITERALDATE>") + literal.toString() + QStringLiteral("</LITERALDATE>");
    field.SecondElement =
        QStringLiteral("<DATE>") + ShortDateText(date, locale) + QStringLiteral("</DATE>");
    field.LineNo = lineNo;
    field.Found = true;
    return field;
}

// Pass 3's cleaning. "st" goes before "rd" here (pass 2 removes "rd" first); the two orders
// differ on texts such as "srdt".
QString cleanedForSearch(QStringView lower)
{
    QString w = ReplaceAll(lower, u"th", u"");
    w = ReplaceAll(w, u"st", u"");
    w = ReplaceAll(w, u"rd", u"");
    w = ReplaceAll(w, u".", u"/");
    return ReplaceAll(w, u"-", u"/");
}

// Every form of date holds a year, so a line without a digit holds no date; the cleaning cannot
// make one. Most lines of an info text are like that, and are passed over at once.
bool hasDigit(QStringView s)
{
    for (QChar c : s) {
        if (c.unicode() >= u'0' && c.unicode() <= u'9')
            return true;
    }
    return false;
}

HeaderField keywordLines(const InfoLines &lines, const DateLocale &locale)
{
    HeaderField found;
    // Every line is examined: a later "date" line replaces what an earlier one gave.
    for (qsizetype n = 1; n <= DateLines; ++n) {
        const QStringView w = lines.lower(n);
        if (!BeginsWith(w, u"date"))
            continue;
        const QStringView rest = RestAfter(w, 4);
        if (const std::optional<QDate> date = RecogniseDate(rest, locale)) {
            found = dateField(Trimmed(rest), *date, locale, int(n));
            continue;
        }
        // "Date: Sunday, May 8th 1977": the rest as a whole is no date, but one stands in it.
        const QString cleaned = cleanedForSearch(rest);
        if (const std::optional<DateInside> inside =
                FindDateInside(cleaned, locale, ShortestDateInside))
            found = dateField(Trimmed(rest), inside->date, locale, int(n));
    }
    return found;
}

HeaderField wholeLines(const InfoLines &lines, const DateLocale &locale)
{
    for (qsizetype n = 1; n <= DateLines; ++n) {
        if (!hasDigit(lines.lower(n)))
            continue;
        // "th", "rd", "st" in this order: "August 8th" is tested as "augu 8", which the month
        // prefixes still read as August.
        QString w = ReplaceAll(lines.lower(n), u"th", u"");
        w = ReplaceAll(w, u"rd", u"");
        w = ReplaceAll(w, u"st", u"");
        w = ReplaceAll(w, u".", u"/");
        if (const std::optional<QDate> date = RecogniseDate(w, locale))
            return dateField(lines.line(n), *date, locale, int(n));
    }
    return {};
}

HeaderField datesInsideLines(const InfoLines &lines, const DateLocale &locale)
{
    for (qsizetype n = 1; n <= DateLines; ++n) {
        if (!hasDigit(lines.lower(n)))
            continue;
        const QString w = cleanedForSearch(lines.lower(n));
        if (!w.isEmpty() && w[0] >= u'1' && w[0] <= u'9') {
            // A line that begins with a date: "5/8/77 town hall" is cut to "5/8/77 ".
            QStringView cut = w;
            const qsizetype blank = cut.indexOf(u' ');
            if (blank >= 0)
                cut = cut.first(blank + 1);
            const qsizetype comma = cut.indexOf(u',');
            if (comma >= 0)
                cut = cut.first(comma);
            if (const std::optional<QDate> date = RecogniseDate(cut, locale))
                return dateField(cut, *date, locale, int(n));
        }
        // The whole line is searched, not only the cut: "5 may 1977 town hall" cuts to "5 ",
        // and searching that alone would miss the show's date.
        if (const std::optional<DateInside> inside = FindDateInside(w, locale, ShortestDateInside))
            return dateField(inside->trimmed, inside->date, locale, int(n));
    }
    return {};
}

} // namespace

HeaderField FindShowDate(const InfoLines &lines, const QLocale &locale)
{
    if (lines.count() < DateLines)
        return {};
    const DateLocale &dates = DateLocale::of(locale);
    HeaderField field = keywordLines(lines, dates);
    if (!field.Found)
        field = wholeLines(lines, dates);
    if (!field.Found)
        field = datesInsideLines(lines, dates);
    return field;
}

} // namespace tapewright
