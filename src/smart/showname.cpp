#include "smart/showname.h"

#include "convert/textterms.h"
#include "smart/lexicon.h"
#include "smart/textscan.h"

#include <QDir>
#include <QFileInfo>

#include <optional>
#include <utility>

namespace tapewright::smart {

namespace {

// A band written before a date is at most a few words long.
constexpr qsizetype MaxNamedBand = 60;

bool isSeparator(QChar c)
{
    return c == u' ' || c == u'-' || c == u'.' || c == u',' || c == u'(' || c == u'[';
}

bool hasLetter(QStringView s)
{
    for (QChar c : s) {
        if (c.isLetter())
            return true;
    }
    return false;
}

// What stands before the date, as a band.
QString bandBefore(QStringView before, bool glued)
{
    while (!before.isEmpty() && isSeparator(before.back()))
        before.chop(1);
    while (!before.isEmpty() && isSeparator(before.front()))
        before = before.sliced(1);
    if (before.isEmpty() || before.size() > MaxNamedBand || !hasLetter(before))
        return {};
    const QString lower = LowerCased(before);
    if (const QString act = ActForShortName(lower); !act.isEmpty())
        return act;
    // Letters glued to the date are a trader's short name: an unknown one says nothing.
    if (glued)
        return {};
    if (const QString act = ActNamed(lower); !act.isEmpty())
        return act;
    // "Barton Hall 1977-05-08": a name that ends in a venue's word is the place.
    if (IsVenueWord(QStringView(lower).sliced(lower.lastIndexOf(u' ') + 1)))
        return {};
    return before.toString();
}

// Digits at i: their value and where they end, when there are from to at most digits.
std::optional<std::pair<int, qsizetype>> digitsAt(QStringView s, qsizetype i, int most)
{
    int v = 0;
    qsizetype e = i;
    while (e < s.size() && e - i < most && IsAsciiDigit(s[e]))
        v = v * 10 + (s[e++].unicode() - u'0');
    if (e == i || (e < s.size() && IsAsciiDigit(s[e])))
        return std::nullopt;
    return std::make_pair(v, e);
}

// "gd77-05-08", "ph1997-12-31", "gd1977.05.08": the folder names traders give, a short name
// glued to the date written year first. A text never writes a date so (is 77-05-08 the 77th
// day?), so the text's date reader does not read it.
std::optional<NamedShow> traderName(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i].unicode() < 128 && s[i].isLetter())
        ++i;
    if (i == 0)
        return std::nullopt;
    const auto year = digitsAt(s, i, 4);
    if (!year || (year->second - i != 2 && year->second - i != 4))
        return std::nullopt;
    qsizetype at = year->second;
    const QChar separator = at < s.size() ? s[at] : QChar();
    if (separator != u'-' && separator != u'.')
        return std::nullopt;
    const auto month = digitsAt(s, at + 1, 2);
    if (!month || month->second >= s.size() || s[month->second] != separator)
        return std::nullopt;
    const auto day = digitsAt(s, month->second + 1, 2);
    if (!day)
        return std::nullopt;
    // Two-digit years as the text's dates read them: 0-29 is 2000-2029, 30-99 is 1930-1999.
    const int y =
        year->second - i == 4 ? year->first : (year->first < 30 ? 2000 : 1900) + year->first;
    const QDate date(y, month->first, day->first);
    if (!date.isValid())
        return std::nullopt;
    NamedShow show;
    show.band = ActForShortName(LowerCased(s.first(i)));
    show.date = date;
    show.literalDate = s.sliced(i, day->second - i).toString();
    return show;
}

} // namespace

NamedShow ShowFromName(QStringView name, const DateLocale &locale)
{
    if (const std::optional<NamedShow> traders = traderName(name))
        return *traders;
    QString s = name.toString();
    s.replace(u'_', u' ');
    const QString lower = LowerCased(s);
    const std::optional<FoundDate> found = FindDateIn(s, lower, locale);
    // "121977-05-08", "1977-02-30": a date is no piece of a longer number.
    if (!found || (found->start > 0 && IsAsciiDigit(s[found->start - 1])) ||
        (found->end < s.size() && IsAsciiDigit(s[found->end])))
        return {};
    NamedShow show;
    show.date = found->date;
    show.literalDate = QStringView(s).sliced(found->start, found->end - found->start).toString();
    const bool glued = found->start > 0 && s[found->start - 1].isLetter();
    show.band = bandBefore(QStringView(s).first(found->start), glued);
    return show;
}

NamedShow ShowFromPath(const QString &path, const DateLocale &locale)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    NamedShow show = ShowFromName(info.completeBaseName(), locale);
    const NamedShow folder = ShowFromName(info.absoluteDir().dirName(), locale);
    if (show.band.isEmpty())
        show.band = folder.band;
    if (!show.date.isValid()) {
        show.date = folder.date;
        show.literalDate = folder.literalDate;
    }
    return show;
}

TakenFromName TakeFromName(SmartShow &show, const QString &infoPath, const DateLocale &locale)
{
    TakenFromName taken;
    if (!show.band.isEmpty() && show.date.isValid())
        return taken;
    const NamedShow named = ShowFromPath(infoPath, locale);
    if (show.band.isEmpty() && !named.band.isEmpty()) {
        show.band = named.band;
        taken.band = true;
    }
    if (!show.date.isValid() && named.date.isValid()) {
        show.date = named.date;
        show.literalDate = named.literalDate;
        taken.date = true;
    }
    return taken;
}

} // namespace tapewright::smart
