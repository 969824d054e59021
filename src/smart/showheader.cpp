#include "smart/showheader.h"

#include "convert/textterms.h"
#include "smart/bandname.h"
#include "smart/candidates.h"
#include "smart/headerplace.h"
#include "smart/headersource.h"
#include "smart/headfields.h"
#include "smart/lexicon.h"
#include "smart/textscan.h"

#include <QList>
#include <QVarLengthArray>

#include <string_view>

namespace tapewright::smart {

namespace {

// How far below its first line the header block may reach.
constexpr qsizetype HeaderReach = 40;

// How strongly a place is read: from a keyword line, from a line that names the state, from one
// that does not.
constexpr int KeywordPlace = 3;
constexpr int PlaceWithState = 2;
constexpr int PlaceWithoutState = 1;

// The header is read in two steps: the readers propose candidates for each field, then the
// precedence table chooses among them. The readers write no field of the show.
class HeaderReader
{
public:
    HeaderReader(const InfoText &text, const DateLocale &locale, bool weighAll)
        : t(text), loc(locale), all(weighAll)
    {
    }

    ShowHeader read()
    {
        findZone();
        readKeywordFields();
        readFirstLine();
        readZoneLines();
        proposeKeywordPlaces();
        chooseBand();
        chooseDate();
        choosePlace();
        h.source = ReadSource(t);
        h.notes = ReadNotes(t);
        return h;
    }

    FieldCandidates candidates;

private:
    const InfoText &t;
    const DateLocale &loc;
    const bool all; // weigh every rule, even those below a field's winner
    ShowHeader h;
    FieldCandidates &c = candidates;
    qsizetype zoneStart = -1;
    qsizetype headLine = -1; // the header's first line: the block's first, but for a remark
    qsizetype zoneEnd = 0;

    // keyword fields, the first of each
    qsizetype artistLine = -1, bandLine = -1, titleLine = -1, dateLine = -1, venueLine = -1,
              locationLine = -1, cityLine = -1, stateLine = -1;
    // the first line
    QString firstBand;
    QStringList partners;
    qsizetype firstLineBand = -1;
    bool oneLineHeader = false; // the first line holds the header's fields, read above
    // lines of the header block
    qsizetype zoneDateLine = -1;
    std::optional<FoundDate> zoneDate;
    qsizetype zonePlaceLine = -1;

    void use(qsizetype line) { h.lastLine = qMax(h.lastLine, line); }

    void propose(ShowField field, FieldRule rule, qsizetype line, QString value)
    {
        c.propose({field, rule, std::move(value), line, 0, {}, {}});
    }

    void proposePlace(FieldRule rule, const PlaceParts &p, int strength, qsizetype line)
    {
        c.proposePlace(rule, {p.venue, p.city, p.state}, strength, line);
    }

    void findZone()
    {
        for (qsizetype i = 0; i < t.count(); ++i) {
            if (t.isContent(i)) {
                zoneStart = i;
                break;
            }
        }
        if (zoneStart < 0)
            return;
        int blanks = 0;
        zoneEnd = zoneStart + 1;
        for (qsizetype i = zoneStart + 1; i < t.count() && i < zoneStart + HeaderReach; ++i) {
            const LineKind k = t.kind(i);
            if (k == LineKind::Items || k == LineKind::FileHeader)
                break;
            blanks = k == LineKind::Blank ? blanks + 1 : 0;
            if (blanks >= 2)
                break;
            zoneEnd = i + 1;
        }
    }

    void readKeywordFields()
    {
        for (qsizetype i = 0; i < t.count(); ++i) {
            if (t.kind(i) != LineKind::Field || t.value(i).isEmpty())
                continue;
            qsizetype *slot = nullptr;
            switch (t.at(i).key) {
            case FieldKey::Artist:
                slot = &artistLine;
                break;
            case FieldKey::Band:
                slot = &bandLine;
                break;
            case FieldKey::Title:
                slot = &titleLine;
                break;
            case FieldKey::Date:
                if (!FindDateIn(t.value(i), t.lowerValue(i), loc))
                    continue;
                slot = &dateLine;
                break;
            case FieldKey::Venue:
                slot = &venueLine;
                break;
            case FieldKey::Location:
                slot = &locationLine;
                break;
            case FieldKey::City:
                slot = &cityLine;
                break;
            case FieldKey::State:
                slot = &stateLine;
                break;
            default:
                continue;
            }
            if (*slot < 0)
                *slot = i;
        }
    }

    void readFirstLine()
    {
        if (zoneStart < 0)
            return;
        // A remark of several sentences above the header ("Here's both sets. Listen loud.") is
        // no header line: the next line of the block is.
        headLine = zoneStart;
        while (headLine + 1 < zoneEnd && t.kind(headLine) == LineKind::Prose &&
               HasSentenceEnd(t.line(headLine))) {
            ++headLine;
            while (headLine + 1 < zoneEnd && !t.isContent(headLine))
                ++headLine;
        }
        const qsizetype i = headLine;
        const LineKind k = t.kind(i);
        if (k != LineKind::Text && k != LineKind::Prose && k != LineKind::Place)
            return;
        const QStringView s = t.line(i);
        QList<HeadField> fields;
        const QStringView low = t.lower(i);
        const auto classified = [&](QStringView f) {
            return ClassifyHeadField(f, low.sliced(f.data() - s.data(), f.size()), loc);
        };
        for (const QStringView f : HeadFields(s, FindDateIn(s, low, loc)))
            fields.append(classified(f));
        // "Bob Dylan 1966-05-17 Free Trade Hall, ...": a date splits the first field. A place
        // line is a header line only so ("Mansfield, Massachusetts 1986-07-10" is a place).
        const bool splitByDate = !fields.isEmpty() && fields[0].date &&
                                 HasLetter(fields[0].text.first(fields[0].date->start)) &&
                                 HasLetter(fields[0].text.sliced(fields[0].date->end));
        if (k == LineKind::Place && !splitByDate)
            return;
        if (!fields.isEmpty() && fields[0].date && fields[0].date->start > 0) {
            const HeadField whole = fields.takeFirst();
            const FoundDate d = *whole.date;
            qsizetype at = 0;
            for (const QStringView part :
                 {whole.text.first(d.start), whole.text.sliced(d.start, d.end - d.start),
                  whole.text.sliced(d.end)}) {
                if (!part.trimmed().isEmpty())
                    fields.insert(at++, classified(part.trimmed()));
            }
        }
        bool typed = false;
        for (qsizetype k2 = 1; k2 < fields.size(); ++k2) {
            const HeadPart p = fields[k2].part;
            typed = typed || p == HeadPart::Date || p == HeadPart::PartialDate ||
                    p == HeadPart::Media || p == HeadPart::State;
        }
        const qsizetype dash = s.indexOf(u" - ");
        if (!typed || fields.size() < 2) {
            // A band line, perhaps with a title behind a dash: "Bob Dylan - A Bird's Nest ...".
            const QStringView band = dash > 0 ? s.first(dash) : s;
            // A line ending in a colon introduces what follows ("Information from:"), and one
            // ending in a full stop is a sentence ("Bob Dylan opened, Van Morrison closed."):
            // neither is a band's name.
            const bool sentence = band.size() == s.size() && (s.endsWith(u':') || s.endsWith(u'.'));
            if (k == LineKind::Text && CountWords(band).words <= MaxBandWords &&
                !EndsInVenueWord(band) && !sentence) {
                firstBand = TrimmedName(band);
                firstLineBand = i;
                use(i);
            }
            return;
        }
        use(i);
        firstLineBand = i;
        oneLineHeader = true;
        // The band: the first field that is a name ("1977-05-08 - Grateful Dead - ..." puts the
        // date first), with what shares its part of the line between spaced dashes, else with
        // the names that follow it up to the first typed field.
        qsizetype bandFirst = 0;
        while (bandFirst < fields.size() && fields[bandFirst].part != HeadPart::Other &&
               fields[bandFirst].part != HeadPart::Event)
            ++bandFirst;
        qsizetype bandEnd = bandFirst; // behind the band's last field
        if (bandFirst < fields.size() && dash > 0) {
            const qsizetype at = fields[bandFirst].text.data() - s.data();
            const qsizetype from = at >= 3 ? s.first(at).lastIndexOf(u" - ") + 3 : 0;
            qsizetype to = s.indexOf(u" - ", at);
            if (to < 0)
                to = s.size();
            firstBand = TrimmedName(s.sliced(from, to - from));
            while (bandEnd < fields.size() && fields[bandEnd].text.data() < s.data() + to)
                ++bandEnd;
        } else if (bandFirst < fields.size()) {
            QStringList band;
            while (bandEnd < fields.size() && fields[bandEnd].part == HeadPart::Other)
                ++bandEnd;
            // "Bob Dylan, Winston Farm, Saugerties, NY": names running into a state are the
            // band, then the venue and city.
            if (bandEnd < fields.size() && fields[bandEnd].part == HeadPart::State &&
                bandEnd - bandFirst >= 2)
                bandEnd = bandFirst + qMax<qsizetype>(1, bandEnd - bandFirst - 2);
            for (qsizetype f = bandFirst; f < bandEnd; ++f)
                band.append(TrimmedName(fields[f].text));
            if (band.isEmpty())
                band.append(TrimmedName(fields[bandEnd++].text)); // an event: "Dylan & Dead ..."
            firstBand = band.join(QStringLiteral(", "));
        }
        QList<QStringView> placeFields;
        std::optional<FoundDate> firstDate;
        QString firstDateText;
        bool tour = false;
        for (qsizetype f = 0; f < fields.size(); ++f) {
            if (f == bandFirst)
                f = bandEnd;
            if (f >= fields.size())
                break;
            const HeadField &hf = fields[f];
            switch (hf.part) {
            case HeadPart::Date:
                if (!firstDate) {
                    firstDate = hf.date;
                    firstDateText =
                        hf.text.sliced(hf.date->start, hf.date->end - hf.date->start).toString();
                }
                // "Providence July 10th 1986": the place before the date counts, and so does
                // the place after it ("2024 08 03 @ Shoreline Amphitheatre").
                if (const QStringView before = hf.text.first(hf.date->start).trimmed();
                    HasLetter(before))
                    placeFields.append(before);
                if (QStringView after = hf.text.sliced(hf.date->end).trimmed(); HasLetter(after)) {
                    while (!after.isEmpty() && !after[0].isLetterOrNumber())
                        after = after.sliced(1);
                    placeFields.append(after);
                }
                break;
            case HeadPart::Event:
                if (const QString partner = PartnerIn(hf.text, firstBand); !partner.isEmpty())
                    partners.append(partner);
                tour = tour || LowerCased(hf.text).contains(u"tour");
                break;
            case HeadPart::Other:
            case HeadPart::State:
                if (HasLetter(hf.text))
                    placeFields.append(hf.text);
                break;
            default:
                break;
            }
        }
        if (firstDate) {
            c.propose({ShowField::Date, FieldRule::FirstLine, firstDateText, i, 0, firstDate->date,
                       // A set from a tour ("US tour with Grateful Dead") spans several shows:
                       // the date on its title line is the tour's, no show's.
                       tour ? QStringLiteral("a tour's date, no show's") : QString()});
        }
        bool withState = false;
        if (const auto p = PlaceOfFields(placeFields, &withState))
            proposePlace(FieldRule::FirstLine, *p, withState ? PlaceWithState : PlaceWithoutState,
                         i);
    }

    // The header block one field a line: date lines, place lines, the venue beside them.
    void readZoneLines()
    {
        for (qsizetype i = zoneStart; i >= 0 && i < zoneEnd; ++i) {
            const LineKind k = t.kind(i);
            if (k == LineKind::Date && zoneDateLine < 0) {
                zoneDateLine = i;
                zoneDate = FindDateIn(t.line(i), t.lower(i), loc);
            } else if (k == LineKind::Place && zonePlaceLine < 0) {
                zonePlaceLine = i;
            }
        }
        if (zoneDateLine < 0) {
            // A date inside a line of the block: "Marriott Inn, Mansfield, Massachusetts
            // 1986-07-10".
            for (qsizetype i = zoneStart; i >= 0 && i < zoneEnd; ++i) {
                const LineKind k = t.kind(i);
                if ((k != LineKind::Text && k != LineKind::Place) ||
                    (oneLineHeader && i == headLine))
                    continue;
                const QStringView low = t.lower(i);
                if (low.contains(u"transfer") || low.contains(u"download") ||
                    low.contains(u"generated") || low.contains(u"updated") ||
                    low.contains(u"posted") || low.contains(u"ripped") ||
                    low.contains(u"uploaded") || low.contains(u"seeded"))
                    continue;
                if ((zoneDate = FindDateIn(t.line(i), low, loc))) {
                    zoneDateLine = i;
                    break;
                }
            }
        }
        if (zonePlaceLine >= 0) {
            const auto p = ReadPlace(t.line(zonePlaceLine), t.lower(zonePlaceLine), loc);
            PlaceParts parts = *p;
            // "Ontario, Canada" under the city's line: a state and its country, no city.
            if (parts.venue.isEmpty() && IsStateName(LowerCased(parts.city)) &&
                IsCountryName(LowerCased(parts.state))) {
                parts.state = parts.city;
                parts.city.clear();
            }
            if (parts.venue.isEmpty())
                parts.venue = zoneVenue();
            proposePlace(FieldRule::BlockPlace, parts, PlaceWithState, zonePlaceLine);
        }
        if (zoneDate) {
            const QStringView s = t.line(zoneDateLine);
            c.propose({ShowField::Date,
                       FieldRule::BlockDate,
                       t.kind(zoneDateLine) == LineKind::Date
                           ? s.toString()
                           : s.sliced(zoneDate->start, zoneDate->end - zoneDate->start).toString(),
                       zoneDateLine,
                       0,
                       zoneDate->date,
                       {}});
        }
    }

    // The paragraph (lines without a blank between) around line i.
    std::pair<qsizetype, qsizetype> paragraph(qsizetype i) const
    {
        qsizetype a = i;
        qsizetype b = i + 1;
        while (a > zoneStart && t.kind(a - 1) != LineKind::Blank)
            --a;
        while (b < zoneEnd && t.kind(b) != LineKind::Blank)
            ++b;
        return {a, b};
    }

    bool venueCandidate(qsizetype i) const
    {
        if (i == firstLineBand || t.kind(i) != LineKind::Text)
            return false;
        const QStringView s = t.line(i);
        return IsTitleLike(s) && s.compare(firstBand, Qt::CaseInsensitive) != 0;
    }

    // The venue lines of a header block written one field a line: the names in the paragraph of
    // the date or place line, or a name standing alone right after them. Names with a venue
    // word ("Hall", "Theatre") win over others; two lines are joined.
    QString zoneVenue()
    {
        QList<qsizetype> lines;
        qsizetype lastAnchor = -1;
        for (const qsizetype anchor : {zonePlaceLine, zoneDateLine}) {
            if (anchor < 0)
                continue;
            const auto [a, b] = paragraph(anchor);
            lastAnchor = qMax(lastAnchor, b);
            for (qsizetype i = a; i < b; ++i) {
                if (venueCandidate(i) && !lines.contains(i))
                    lines.append(i);
            }
        }
        if (lines.isEmpty() && lastAnchor >= 0) {
            qsizetype i = lastAnchor;
            while (i < zoneEnd && t.kind(i) == LineKind::Blank)
                ++i;
            if (i < zoneEnd && venueCandidate(i) &&
                (i + 1 >= t.count() || t.kind(i + 1) == LineKind::Blank))
                lines.append(i);
        }
        std::sort(lines.begin(), lines.end());
        QList<qsizetype> named;
        for (const qsizetype i : std::as_const(lines)) {
            if (HasVenueWord(t.line(i)))
                named.append(i);
        }
        if (!named.isEmpty())
            lines = named;
        QStringList venue;
        for (qsizetype k = 0; k < lines.size() && k < 2; ++k) {
            venue.append(CollapsedBlanks(t.line(lines[k])));
            use(lines[k]);
        }
        return venue.join(QStringLiteral(", "));
    }

    void proposeKeywordPlaces()
    {
        if (venueLine >= 0) {
            const QStringView v = t.value(venueLine);
            if (const auto p = ReadPlace(v, t.lowerValue(venueLine), loc); p && !p->venue.isEmpty())
                proposePlace(FieldRule::VenuePlace, *p, KeywordPlace, venueLine);
            else
                propose(ShowField::Venue, FieldRule::VenueKeyword, venueLine, TrimmedName(v));
        }
        if (locationLine >= 0) {
            const QStringView v = t.value(locationLine);
            if (const auto p = ReadPlace(v, t.lowerValue(locationLine), loc))
                proposePlace(FieldRule::LocationKeyword, *p, KeywordPlace, locationLine);
        }
        if (cityLine >= 0)
            propose(ShowField::City, FieldRule::CityKeyword, cityLine,
                    TrimmedName(t.value(cityLine)));
        if (stateLine >= 0)
            propose(ShowField::State, FieldRule::StateKeyword, stateLine,
                    TrimmedName(t.value(stateLine)));
    }

    void chooseBand()
    {
        if (artistLine >= 0)
            propose(ShowField::Band, FieldRule::ArtistKeyword, artistLine,
                    TrimmedName(t.value(artistLine)));
        if (bandLine >= 0)
            propose(ShowField::Band, FieldRule::BandKeyword, bandLine,
                    TrimmedName(t.value(bandLine)));
        propose(ShowField::Band, FieldRule::FirstLine, firstLineBand, firstBand);
        // The rules below read far into the text: they are proposed in the table's order and
        // only while no band is found, unless every candidate is wanted.
        const auto wanted = [&] { return all || !c.has(ShowField::Band); };
        if (wanted())
            propose(ShowField::Band, FieldRule::KnownAct, -1,
                    KnownActLine(t, qMin(t.count(), qMax<qsizetype>(zoneStart, 0) + HeaderReach)));
        if (wanted() && titleLine >= 0) {
            const QStringView v = t.value(titleLine);
            const qsizetype dash = v.indexOf(u" - ");
            propose(ShowField::Band, FieldRule::TitleKeyword, titleLine,
                    TrimmedName(dash > 0 ? v.first(dash) : v));
        }
        if (wanted())
            propose(ShowField::Band, FieldRule::FileHeader, -1, BandFromFileHeaders(t, loc));
        if (wanted())
            propose(ShowField::Band, FieldRule::Listing, -1, BandFromListing(t));
        if (wanted())
            propose(ShowField::Band, FieldRule::Lineup, -1, LineupLeader(t));
        const FieldCandidate *chosen = c.chosen(ShowField::Band);
        QString band = WrittenOutBand(chosen ? chosen->value : QString());
        for (const QString &partner : std::as_const(partners)) {
            if (!LowerCased(band).contains(LowerCased(partner)))
                band += QStringLiteral(" & ") + partner;
        }
        h.band = band;
    }

    void chooseDate()
    {
        if (dateLine >= 0) {
            const QStringView v = t.value(dateLine);
            const std::optional<FoundDate> d = FindDateIn(v, t.lowerValue(dateLine), loc);
            c.propose({ShowField::Date,
                       FieldRule::DateKeyword,
                       v.sliced(d->start, d->end - d->start).toString(),
                       dateLine,
                       0,
                       d->date,
                       {}});
        }
        if (const FieldCandidate *d = c.chosen(ShowField::Date)) {
            h.date = d->date;
            h.literalDate = d->value;
            if (d->rule == FieldRule::BlockDate)
                use(d->line);
        }
    }

    void choosePlace()
    {
        if (const FieldCandidate *place = c.takePlaceWhole()) {
            if (place->line >= zoneStart && place->line < zoneEnd)
                use(place->line);
        }
        const auto value = [&](ShowField f) {
            const FieldCandidate *w = c.chosen(f);
            return w ? w->value : QString();
        };
        h.venue = value(ShowField::Venue);
        h.city = value(ShowField::City);
        h.state = value(ShowField::State);
        if (h.venue.isEmpty() || h.city.isEmpty()) {
            const PlaceParts stack = stackPlace();
            propose(ShowField::Venue, FieldRule::StackedLines, -1, stack.venue);
            propose(ShowField::City, FieldRule::StackedLines, -1, stack.city);
            propose(ShowField::State, FieldRule::StackedLines, -1, stack.state);
            h.venue = value(ShowField::Venue);
            h.city = value(ShowField::City);
            h.state = value(ShowField::State);
        }
    }

    // A header written one field a line ("Bob Dylan" / "Maple Leaf Gardens" / "Toronto" / "12
    // October 1978"): the names in the paragraphs of the band and date lines, and what a date
    // line holds beside its date ("1991-11-16 New Haven, Connecticut (Woolsey Hall)"), give the
    // place; each line fills only what the ones above it left empty.
    PlaceParts stackPlace()
    {
        PlaceParts merged;
        QList<qsizetype> lines;
        for (const qsizetype anchor : {headLine, zoneDateLine}) {
            if (anchor < 0)
                continue;
            const auto [a, b] = paragraph(anchor);
            for (qsizetype i = a; i < b; ++i) {
                if (!lines.contains(i))
                    lines.append(i);
            }
        }
        std::sort(lines.begin(), lines.end());
        for (const qsizetype i : std::as_const(lines)) {
            if (i == firstLineBand || i == zonePlaceLine || t.kind(i) != LineKind::Text ||
                t.at(i).decorated || t.line(i).endsWith(u'.') || t.line(i).endsWith(u':') ||
                t.line(i).compare(h.band, Qt::CaseInsensitive) == 0)
                continue; // sentences, headings and the band's own line name no place
            QString s = t.line(i).toString();
            if (i == zoneDateLine && zoneDate)
                s = s.first(zoneDate->start) + QStringLiteral("  ") + s.sliced(zoneDate->end);
            else if (HasDigit(s))
                continue;
            // A line the first line's reader takes for media, an event or a time of day ("New
            // Year's Eve Run", "Early Show") names no place.
            const QString lower = LowerCased(s);
            const HeadPart part = ClassifyHeadField(s, lower, loc).part;
            if (part != HeadPart::Other && part != HeadPart::State && part != HeadPart::Date)
                continue;
            const PlaceParts p = ReadHeaderPlace(s);
            bool used = false;
            for (auto [field, value] :
                 {std::pair{&merged.venue, &p.venue}, std::pair{&merged.city, &p.city},
                  std::pair{&merged.state, &p.state}}) {
                if (field->isEmpty() && !value->isEmpty()) {
                    *field = *value;
                    used = true;
                }
            }
            if (used)
                use(i);
        }
        return merged;
    }
};

} // namespace

ShowHeader ReadShowHeader(const InfoText &text, const DateLocale &locale,
                          FieldCandidates *candidates)
{
    HeaderReader reader(text, locale, candidates != nullptr);
    ShowHeader header = reader.read();
    if (candidates)
        *candidates = std::move(reader.candidates);
    return header;
}

} // namespace tapewright::smart
