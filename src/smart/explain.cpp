#include "smart/explain.h"

#include "smart/candidates.h"
#include "smart/infotext.h"
#include "smart/recogniseinfotext.h"
#include "smart/setlist.h"
#include "smart/showheader.h"
#include "smart/showname.h"

#include <QSet>

#include <vector>

namespace tapewright::smart {

namespace {

// Lines are shown cut to this many characters: enough to know them again.
constexpr qsizetype ShownLine = 60;

QString shown(QStringView s)
{
    return s.size() <= ShownLine ? s.toString()
                                 : s.first(ShownLine - 3).toString() + QStringLiteral("...");
}

QString quoted(const QString &s)
{
    return u'"' + s + u'"';
}

QStringView keyName(FieldKey key)
{
    switch (key) {
    case FieldKey::Artist:
        return u"artist";
    case FieldKey::Band:
        return u"band";
    case FieldKey::Title:
        return u"title";
    case FieldKey::Date:
        return u"date";
    case FieldKey::Venue:
        return u"venue";
    case FieldKey::Location:
        return u"location";
    case FieldKey::City:
        return u"city";
    case FieldKey::State:
        return u"state";
    case FieldKey::Source:
        return u"source";
    case FieldKey::Notes:
        return u"notes";
    case FieldKey::Lineup:
        return u"lineup";
    case FieldKey::None:
    case FieldKey::Other:
        break;
    }
    return u"other";
}

QString itemsRule(const InfoText &t, qsizetype i)
{
    QStringList parts;
    for (qsizetype k = 0; k < t.at(i).itemCount; ++k) {
        const TrackItem &item = t.item(i, k);
        switch (item.kind) {
        case TrackItem::Kind::Disc:
            parts << (item.number > 0 ? QStringLiteral("disc heading %1").arg(item.number)
                                      : QStringLiteral("disc heading"));
            break;
        case TrackItem::Kind::Set:
            parts << QStringLiteral("set heading");
            break;
        case TrackItem::Kind::Track:
            parts << QStringLiteral("track %1%2")
                         .arg(item.number)
                         .arg(item.missing ? QStringLiteral(" (missing)") : QString());
            break;
        }
    }
    return parts.join(u", ");
}

// The rule that gave a line its kind: the classifier's row, with what it found for tracks,
// keyword lines and places.
QString lineRule(const InfoText &t, qsizetype i, const DateLocale &locale)
{
    switch (t.kind(i)) {
    case LineKind::Items:
        return itemsRule(t, i);
    case LineKind::Field:
        return QStringLiteral("keyword line: %1").arg(keyName(t.at(i).key));
    case LineKind::Place:
        if (const std::optional<PlaceParts> p = ReadPlace(t.line(i), t.lower(i), locale)) {
            QStringList parts;
            if (!p->venue.isEmpty())
                parts << QStringLiteral("venue ") + quoted(p->venue);
            parts << QStringLiteral("city ") + quoted(p->city)
                  << QStringLiteral("state ") + quoted(p->state);
            return u"a place: "_qs + parts.join(u", ");
        }
        break;
    default:
        break;
    }
    const LineRule &rule = LineRules()[t.at(i).rule];
    // A line of a file that is mostly checksums is taken with them, whatever its own rule.
    if (rule.kind != t.kind(i))
        return QStringLiteral("in a file of checksums or file names");
    return QString::fromUtf16(rule.rule);
}

struct TakenTrack
{
    QString title;
    QString time;
    qsizetype line; // in the whole text
};

// The discs with the lines their tracks came from.
class TracedDiscs final : public DiscSink
{
public:
    void disc() override { discs.emplace_back(); }
    void track(const QString &title, const QString &time, qsizetype line) override
    {
        discs.back().push_back({title, time, lineBase + line});
        taken.insert(lineBase + line);
    }

    qsizetype lineBase = 0; // the first line of the piece being read
    std::vector<std::vector<TakenTrack>> discs;
    QSet<qsizetype> taken;
};

class Report
{
public:
    void add(const QString &line) { m_text += line + u'\n'; }
    QString text() const { return m_text; }

private:
    QString m_text;
};

} // namespace

QString ExplainInfoText(const QString &infoText, const ConvertOptions &options)
{
    const DateLocale &locale = DateLocale::of(options.locale);
    Report out;
    if (infoText.trimmed().isEmpty()) {
        out.add(QStringLiteral("The text holds nothing but blanks: no document."));
        return out.text();
    }
    FieldCandidates candidates;
    TracedDiscs discs;
    SetListReader reader(discs);
    ShowHeader header;
    QList<qsizetype> untaken; // lines with tracks that no disc took
    out.add(QStringLiteral("Lines: number, kind, the rule that gave it, the line"));
    for (qsizetype from = 0, k = 0; from < infoText.size(); ++k) {
        const qsizetype end = PieceEnd(infoText, from);
        const InfoText piece(QStringView(infoText).sliced(from, end - from), locale);
        if (k > 0)
            out.add(QStringLiteral("(a new piece of the text: the header is read from the first)"));
        for (qsizetype i = 0; i < piece.count(); ++i) {
            if (piece.kind(i) == LineKind::Blank)
                continue;
            out.add(QStringLiteral("%1  %2  %3 | %4")
                        .arg(discs.lineBase + i + 1, 5)
                        .arg(KindName(piece.kind(i)), -7)
                        .arg(lineRule(piece, i, locale), -44)
                        .arg(shown(piece.line(i))));
        }
        if (k == 0)
            header = ReadShowHeader(piece, locale, &candidates);
        reader.read(piece, k == 0 ? header.lastLine : -1);
        for (qsizetype i = 0; i < piece.count(); ++i) {
            if (piece.kind(i) == LineKind::Items && !discs.taken.contains(discs.lineBase + i) &&
                itemsRule(piece, i).contains(u"track"))
                untaken.append(discs.lineBase + i);
        }
        discs.lineBase += piece.count();
        from = end;
    }

    SmartShow show;
    show.band = header.band;
    show.literalDate = header.literalDate;
    show.date = header.date;
    const TakenFromName named = TakeFromName(show, options.infoPath, locale);

    out.add(QString());
    out.add(QStringLiteral("Fields: each field's candidates in the order the precedence table "
                           "weighs them, the winner and why each other lost"));
    for (const ShowField field : {ShowField::Band, ShowField::Date, ShowField::Place,
                                  ShowField::Venue, ShowField::City, ShowField::State}) {
        QString value;
        switch (field) {
        case ShowField::Band:
            value = show.band;
            break;
        case ShowField::Date:
            value = show.literalDate;
            if (show.date.isValid())
                value += QStringLiteral(" (") + show.date.toString(Qt::ISODate) + u')';
            break;
        case ShowField::Place:
            if (const FieldCandidate *place = candidates.chosen(field))
                value = place->value;
            break;
        case ShowField::Venue:
            value = header.venue;
            break;
        case ShowField::City:
            value = header.city;
            break;
        case ShowField::State:
            value = header.state;
            break;
        }
        out.add(QStringLiteral("%1: %2").arg(FieldName(field),
                                             value.isEmpty() ? u"(none)"_qs : quoted(value)));
        for (const FieldCandidate *c : candidates.ordered(field)) {
            const QString where =
                c->line >= 0 ? QStringLiteral("line %1").arg(c->line + 1) : QStringLiteral("-");
            const QString lost = candidates.lostBecause(*c);
            const QString found = c->value.isEmpty() ? QString() : u": "_qs + quoted(c->value);
            if (lost.isEmpty())
                out.add(QStringLiteral("  won   %1, %2%3").arg(where, RuleName(c->rule), found));
            else
                out.add(QStringLiteral("  lost  %1, %2%3 (%4)")
                            .arg(where, RuleName(c->rule), found, lost));
        }
        if ((field == ShowField::Band && named.band) || (field == ShowField::Date && named.date))
            out.add(QStringLiteral("  won   the text names none: from the name of %1")
                        .arg(quoted(options.infoPath)));
    }
    out.add(QStringLiteral("source: %1")
                .arg(header.source.isEmpty() ? u"(none)"_qs : quoted(header.source)));
    out.add(QStringLiteral("notes: %1")
                .arg(header.notes.isEmpty() ? u"(none)"_qs : quoted(shown(header.notes))));

    out.add(QString());
    out.add(QStringLiteral("Discs: %1").arg(discs.discs.size()));
    for (size_t d = 0; d < discs.discs.size(); ++d) {
        out.add(QStringLiteral("disc %1, tracks: %2").arg(d + 1).arg(discs.discs[d].size()));
        for (size_t n = 0; n < discs.discs[d].size(); ++n) {
            const TakenTrack &track = discs.discs[d][n];
            out.add(QStringLiteral("  %1  line %2: %3%4")
                        .arg(n + 1, 3)
                        .arg(track.line + 1)
                        .arg(quoted(track.title))
                        .arg(track.time.isEmpty() ? QString() : QStringLiteral("  ") + track.time));
        }
    }
    for (const qsizetype line : std::as_const(untaken))
        out.add(QStringLiteral("line %1: its tracks are in no disc (a note, a lineup, or a number "
                               "out of the list's order)")
                    .arg(line + 1));
    return out.text();
}

} // namespace tapewright::smart
