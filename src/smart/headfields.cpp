#include "smart/headfields.h"

#include "convert/textterms.h"
#include "smart/headerplace.h"
#include "smart/lexicon.h"
#include "smart/textscan.h"

namespace tapewright::smart {

namespace {

bool isMediaField(QStringView lower)
{
    qsizetype i = 0;
    while (i < lower.size() && IsAsciiDigit(lower[i]))
        ++i;
    const QStringView rest = lower.sliced(i);
    if (i > 0 && (rest.startsWith(u"cd") || rest.startsWith(u"dvd") || rest.startsWith(u"disc") ||
                  rest.startsWith(u" cd") || rest.startsWith(u" disc")))
        return true;
    if (lower.contains(u"min+") || (lower.startsWith(u'(') && lower.contains(u"min")))
        return true;
    return IsGearWord(lower);
}

bool isTimeOfDay(QStringView lower)
{
    return lower == u"afternoon" || lower == u"evening" || lower == u"matinee" ||
           lower == u"early show" || lower == u"late show" || lower == u"night" ||
           lower == u"morning" || lower == u"afternoon show" || lower == u"evening show";
}

bool hasEventWord(QStringView lower)
{
    return AnyLetterWord(lower, [](QStringView w) { return IsEventWord(w) || w == u"with"; });
}

} // namespace

// The first line cut into its fields: at commas, at spaced dashes and at runs of blanks, but
// never inside the date, which writes commas of its own ("July 1, 1981").
QList<QStringView> HeadFields(QStringView s, const std::optional<FoundDate> &date)
{
    const auto inDate = [&date](qsizetype i) { return date && i >= date->start && i < date->end; };
    QList<QStringView> out;
    qsizetype from = 0;
    const qsizetype n = s.size();
    const auto cut = [&](qsizetype end, qsizetype next) {
        const QStringView f = s.sliced(from, end - from).trimmed();
        if (!f.isEmpty())
            out.append(f);
        from = next;
    };
    for (qsizetype i = 0; i < n; ++i) {
        if (inDate(i)) {
            continue;
        } else if (s[i] == u',') {
            cut(i, i + 1);
        } else if (s[i] == u' ' && i + 2 < n && s[i + 1] == u'-' && s[i + 2] == u' ') {
            cut(i, i + 3);
            i += 2;
        } else if (s[i] == u' ' && i + 1 < n && s[i + 1] == u' ') {
            qsizetype e = i;
            while (e < n && s[e] == u' ')
                ++e;
            cut(i, e);
            i = e - 1;
        }
    }
    cut(n, n);
    return out;
}

// A sentence ends inside the line: a full stop, question or exclamation mark, a blank and a
// capital ("Listen loud. Improved ...").
bool HasSentenceEnd(QStringView s)
{
    for (qsizetype i = 1; i + 2 < s.size(); ++i) {
        if ((s[i] == u'.' || s[i] == u'!' || s[i] == u'?') && s[i - 1].isLower() &&
            s[i + 1] == u' ' && s[i + 2].isUpper())
            return true;
    }
    return false;
}

bool HasLetter(QStringView s)
{
    for (QChar c : s) {
        if (c.isLetter())
            return true;
    }
    return false;
}

bool EndsInVenueWord(QStringView s)
{
    qsizetype e = s.size();
    while (e > 0 && !s[e - 1].isLetter())
        --e;
    qsizetype b = e;
    while (b > 0 && s[b - 1].isLetter())
        --b;
    return IsVenueEndWord(LowerCased(s.sliced(b, e - b)));
}

HeadField ClassifyHeadField(QStringView f, QStringView lower, const DateLocale &locale)
{
    HeadField h;
    h.text = f;
    if ((h.date = FindDateIn(f, lower, locale)))
        h.part = HeadPart::Date;
    else if (IsPartialDate(lower))
        h.part = HeadPart::PartialDate;
    else if (isMediaField(lower))
        h.part = HeadPart::Media;
    else if (isTimeOfDay(lower))
        h.part = HeadPart::TimeOfDay;
    else if (hasEventWord(lower))
        h.part = HeadPart::Event;
    else if (IsStateCode(f) || IsStateName(lower))
        h.part = HeadPart::State;
    return h;
}

} // namespace tapewright::smart
