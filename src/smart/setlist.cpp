#include "smart/setlist.h"

#include "smart/lexicon.h"
#include "smart/textscan.h"
#include "smart/trackitems.h"

#include <QSet>

#include <memory>
#include <optional>

namespace tapewright::smart {

namespace {

// A title typed in small letters is short; a longer line in small letters is a remark.
constexpr int MaxSmallTitleWords = 10;

// How many tracks in a row may stand out of their numbers' order ("25", "24", then "15").
constexpr qsizetype MaxMovedTracks = 3;

struct TrackRef
{
    qsizetype line;
    qsizetype item;
};

// "when i paint my masterpiece": a set list typed in small letters reads like a phrase, but a
// short line without a capital, a colon or a sentence's end is a title.
bool isSmallTitle(QStringView s)
{
    for (QChar c : s) {
        if (c.isUpper() || c == u'.' || c == u'!' || c == u'?' || c == u':')
            return false;
    }
    return CountWords(s).words <= MaxSmallTitleWords;
}

bool isHeadingOfNotes(QStringView lower)
{
    return IsNoteHeading(lower) || IsLineupHeading(lower);
}

// "Set II" / "Electric": a line right under a set heading made only of the words a heading is
// made of describes the set.
bool describesSet(const InfoText &t, qsizetype i)
{
    if (i == 0 || t.kind(i - 1) != LineKind::Items ||
        t.item(i - 1, t.at(i - 1).itemCount - 1).kind != TrackItem::Kind::Set)
        return false;
    const QStringView low = t.lower(i);
    qsizetype a = 0;
    while (a < low.size()) {
        if (!low[a].isLetter()) {
            ++a;
            continue;
        }
        qsizetype e = a;
        while (e < low.size() && low[e].isLetter())
            ++e;
        if (SetHeadingWord(low.sliced(a, e - a)) == SetWord::None)
            return false;
        a = e;
    }
    return true;
}

// A line of an unnumbered set list: a title, not a heading ("McCrary / Dennis / King:") and not
// a musician of the lineup ("Bob Dylan - Guitar and Vocals").
bool isUnnumberedTitle(const InfoText &t, qsizetype i)
{
    const LineKind k = t.kind(i);
    if ((k != LineKind::Text && k != LineKind::Place &&
         !(k == LineKind::Prose && isSmallTitle(t.line(i)))) ||
        t.at(i).decorated)
        return false;
    const QStringView s = t.line(i);
    if (s.endsWith(u':'))
        return false;
    const QStringView low = t.lower(i);
    if (isHeadingOfNotes(low) || describesSet(t, i))
        return false;
    for (const QStringView sep : {QStringView(u" - "), QStringView(u": ")}) {
        const qsizetype at = FindText(low, sep);
        if (at <= 0)
            continue;
        const QStringView after = low.sliced(at + sep.size());
        qsizetype e = 0;
        while (e < after.size() && after[e].isLetter())
            ++e;
        if (IsInstrumentWord(after.first(e)))
            return false;
    }
    for (QChar c : s) {
        if (c.isLetter())
            return true;
    }
    return false;
}

} // namespace

class SetListReader::Impl
{
public:
    explicit Impl(DiscSink &out) : m_out(out) {}

    // One piece of the text; what a piece leaves open, the next continues.
    void read(const InfoText &text, qsizetype afterLine)
    {
        t = &text;
        m_afterLine = afterLine;
        m_tracks.clear();
        markNoteBlocks();
        bool afterHeading = false;
        for (qsizetype i = 0; i < t->count(); ++i) {
            if (t->kind(i) != LineKind::Items)
                continue;
            for (qsizetype k = 0; k < t->at(i).itemCount; ++k) {
                const TrackItem &item = t->item(i, k);
                if (item.kind == TrackItem::Kind::Track) {
                    m_headed =
                        m_headed || (afterHeading && startsList(item.number)) || item.disc > 0;
                    m_tracks.append({i, k});
                }
                afterHeading = item.kind != TrackItem::Kind::Track;
            }
        }
        // A text read in pieces numbers its tracks once a piece did.
        m_numbered = m_numbered || isNumbered();
        if (m_numbered)
            readNumbered();
        else
            readUnnumbered();
        flush(); // a title is not joined across two pieces
    }

    bool m_sawHeading = false;

private:
    struct HeldTrack
    {
        QString title;
        QString time;
        qsizetype line;
    };

    const InfoText *t = nullptr;
    DiscSink &m_out;
    std::optional<HeldTrack> m_held;
    qsizetype m_afterLine = -1;
    QList<TrackRef> m_tracks;
    QList<bool> m_inNotes; // a line of a notes or lineup paragraph
    bool m_headed = false; // a track numbered 1 right under a heading, or a "d1t01" track
    bool m_numbered = false;
    bool m_anyDisc = false;
    bool m_discHasTracks = false;
    bool m_pendingDisc = false;
    bool m_open = false;
    bool m_endedByText = false; // the last list ended at notes, fields or listings
    bool m_endedHard = false;   // ... at fields, another file or listings
    int m_last = 0;
    int m_discPrefix = 0;

    static bool startsList(int n) { return n == 1 || (n > 100 && n % 100 == 1); }

    // The paragraph a "Notes:" or "The Band:" line introduces holds notes and musicians, however
    // they are numbered ("1) from the FM broadcast", "1. Jerry Garcia - guitar"); a disc or set
    // heading ends it.
    void markNoteBlocks()
    {
        m_inNotes.fill(false, t->count());
        for (qsizetype i = 0; i < t->count(); ++i) {
            const FieldKey key = t->at(i).key;
            const bool field = t->kind(i) == LineKind::Field &&
                               (key == FieldKey::Notes || key == FieldKey::Lineup);
            if (!field && !(t->kind(i) == LineKind::Text && isHeadingOfNotes(t->lower(i))))
                continue;
            qsizetype k = i + 1;
            while (field && t->value(i).isEmpty() && k < t->count() &&
                   t->kind(k) == LineKind::Blank)
                ++k; // "Notes:", then a blank line, then the notes
            for (; k < t->count() && t->kind(k) != LineKind::Blank; ++k) {
                if (t->kind(k) == LineKind::Items && t->item(k, 0).kind != TrackItem::Kind::Track)
                    break;
                m_inNotes[k] = true;
            }
            i = k - 1;
        }
    }

    // Whether the show numbers its tracks: somewhere a 1 (or a 101) is followed by the next, or
    // stands right under a heading, or a track carries its disc ("d1t01").
    bool isNumbered() const
    {
        if (m_headed)
            return true;
        for (qsizetype k = 0; k + 1 < m_tracks.size(); ++k) {
            if (startsList(number(k)) && number(k + 1) == number(k) + 1)
                return true;
        }
        return false;
    }

    int number(qsizetype k) const { return t->item(m_tracks[k].line, m_tracks[k].item).number; }

    void newDiscUnlessEmpty()
    {
        if (!m_anyDisc || m_discHasTracks) {
            flush();
            m_out.disc();
            m_anyDisc = true;
            m_discHasTracks = false;
        }
    }

    // The last track is held back until the next one, a new disc or the end of the piece, so
    // that a title wrapped onto the next line can still be joined to it.
    void append(const QString &title, const QString &time, qsizetype line)
    {
        flush();
        m_held = HeldTrack{title, time, line};
        m_discHasTracks = true;
    }

    void flush()
    {
        if (m_held) {
            m_out.track(m_held->title, m_held->time, m_held->line);
            m_held.reset();
        }
    }

    // hard: a keyword field, another file of a concatenation or a listing ended the list.
    void close(bool hard = false)
    {
        if (m_anyDisc) {
            m_open = false;
            m_endedByText = true;
            m_endedHard = m_endedHard || hard;
        }
    }

    void take(const TrackItem &item, qsizetype index)
    {
        const int n = item.number;
        if (item.disc > 0 && item.disc != m_discPrefix) {
            m_discPrefix = item.disc;
            m_pendingDisc = true;
        }
        bool accept = false;
        bool newDisc = false;
        const int next = index + 1 < m_tracks.size() ? number(index + 1) : 0;
        if (m_pendingDisc) {
            // Behind a disc heading the numbering restarts or runs on ("Disc two", "17 ...").
            accept = true;
            newDisc = true;
        } else if (startsList(n)) {
            // A 1 (or 101, 201: disc and track in one number) starts a list only when the next
            // number follows it; after a list it starts the next disc. Once notes or fields have
            // ended a list, numbered sentences ("1 more thing, 2 more ...") start none.
            const QStringView line = t->line(m_tracks[index].line);
            accept = next == n + 1 && !(m_endedByText && IsProse(line));
            newDisc = true;
        } else {
            // A list runs on; one number left out ("4, 6") does not end it, nor does a remark
            // between two tracks. After keyword fields, files or listings it has ended.
            const QStringView line = t->line(m_tracks[index].line);
            accept = (m_open || (m_endedByText && !m_endedHard && !IsProse(line))) &&
                     (n == m_last + 1 || n == m_last + 2);
            // Only a list under way can have a track moved out of place: before its first
            // track there is no disc to keep it on.
            if (!accept && m_open && m_anyDisc && movedOutOfPlace(index)) {
                if (!item.missing)
                    append(item.title, item.time, m_tracks[index].line);
                return; // the numbering runs on from the last number in place
            }
        }
        if (!accept) {
            close();
            return;
        }
        if (newDisc || !m_anyDisc)
            newDiscUnlessEmpty();
        m_pendingDisc = false;
        m_open = true;
        m_endedByText = m_endedHard = false;
        m_last = n;
        if (!item.missing)
            append(item.title, item.time, m_tracks[index].line);
    }

    // "14 ...", "25 It Ain't Me, Babe", "24 Maggie's Farm", "15 ...": a track the file numbers
    // out of order (a release keeps its tracks' old numbers) is still in the list when the
    // numbering resumes on the lines right below it.
    bool movedOutOfPlace(qsizetype index) const
    {
        const qsizetype line = m_tracks[index].line;
        for (qsizetype k = index + 1; k < m_tracks.size() && k <= index + MaxMovedTracks; ++k) {
            if (m_tracks[k].line != line + (k - index))
                return false; // another line between: the list has ended
            if (number(k) == m_last + 1)
                return true;
        }
        return false;
    }

    void readNumbered()
    {
        qsizetype index = 0;
        for (qsizetype i = 0; i < t->count(); ++i) {
            if (m_inNotes[i]) {
                index += tracksOn(i);
                close(true);
                continue;
            }
            switch (t->kind(i)) {
            case LineKind::Items:
                for (qsizetype k = 0; k < t->at(i).itemCount; ++k) {
                    const TrackItem &item = t->item(i, k);
                    switch (item.kind) {
                    case TrackItem::Kind::Disc:
                        m_pendingDisc = m_open = m_sawHeading = true;
                        break;
                    case TrackItem::Kind::Set:
                        m_open = true;
                        break;
                    case TrackItem::Kind::Track:
                        take(item, index++);
                        break;
                    }
                }
                if (joinWrappedTitle(i))
                    ++i;
                break;
            case LineKind::FileHeader:
            case LineKind::Listing:
            case LineKind::Field:
                close(true);
                break;
            case LineKind::Prose:
            case LineKind::Source:
            case LineKind::Place:
            case LineKind::Date:
                close();
                break;
            default:
                break; // blanks, decoration, names and headings leave a list running
            }
        }
    }

    // "4. Don't Think Twice (Bob on piano and" / "harp, Larry on cittern)": a title whose
    // bracket is still open at the end of its line goes on in the next line. Returns whether
    // the next line was taken in.
    bool joinWrappedTitle(qsizetype i)
    {
        if (!m_held || i + 1 >= t->count() ||
            t->item(i, t->at(i).itemCount - 1).kind != TrackItem::Kind::Track)
            return false;
        const LineKind next = t->kind(i + 1);
        if (next != LineKind::Text && next != LineKind::Prose && next != LineKind::Place)
            return false;
        HeldTrack &track = *m_held;
        if (!track.time.isEmpty() || openBrackets(track.title) <= 0 ||
            openBrackets(t->line(i + 1)) >= 0)
            return false;
        const CleanTitle c =
            CleanTrackTitle(QString(track.title + u' ' + t->line(i + 1).toString()));
        track.title = c.title;
        track.time = c.time;
        return true;
    }

    // Brackets opened and not closed in s (negative when more close than open).
    static int openBrackets(QStringView s)
    {
        int open = 0;
        for (QChar c : s) {
            if (c == u'(' || c == u'[')
                ++open;
            else if (c == u')' || c == u']' || c == u'}')
                --open;
        }
        return open;
    }

    qsizetype tracksOn(qsizetype i) const
    {
        qsizetype n = 0;
        if (t->kind(i) == LineKind::Items) {
            for (qsizetype k = 0; k < t->at(i).itemCount; ++k)
                n += t->item(i, k).kind == TrackItem::Kind::Track;
        }
        return n;
    }

    qsizetype runOfTitles(qsizetype i) const
    {
        qsizetype e = i;
        while (e < t->count() && !m_inNotes[e] && isUnnumberedTitle(*t, e))
            ++e;
        return e - i;
    }

    void readUnnumbered()
    {
        int blanks = 0;
        for (qsizetype i = 0; i < t->count(); ++i) {
            const LineKind k = t->kind(i);
            if (k == LineKind::Blank) {
                if (++blanks >= 2)
                    m_open = false;
                continue;
            }
            blanks = 0;
            if (m_inNotes[i]) {
                m_open = false;
                continue;
            }
            if (k == LineKind::Items) {
                for (qsizetype n = 0; n < t->at(i).itemCount; ++n) {
                    const TrackItem::Kind kind = t->item(i, n).kind;
                    if (kind == TrackItem::Kind::Disc)
                        m_pendingDisc = m_open = m_sawHeading = true;
                    else if (kind == TrackItem::Kind::Set)
                        m_open = true;
                }
                continue;
            }
            if (!isUnnumberedTitle(*t, i)) {
                // A heading framed by decoration ("--February 5, 1990--") leaves a list open.
                if (k != LineKind::Text && !t->at(i).decorated)
                    m_open = false;
                continue;
            }
            if (!m_open) {
                // A set list with neither numbers nor headings: three titles in a row below the
                // header block.
                if (i <= m_afterLine || runOfTitles(i) < 3)
                    continue;
                m_open = true;
            }
            if (m_pendingDisc || !m_anyDisc)
                newDiscUnlessEmpty();
            m_pendingDisc = false;
            const CleanTitle c = CleanTrackTitle(t->line(i));
            if (!c.missing)
                append(c.title, c.time, i);
        }
    }
};

void KeptDiscs::disc()
{
    discs.append(SmartDisc());
}

void KeptDiscs::track(const QString &title, const QString &time, qsizetype)
{
    discs.back().tracks.append({title, time});
}

SetListReader::SetListReader(DiscSink &out) : m(std::make_unique<Impl>(out)) {}

SetListReader::~SetListReader() = default;

void SetListReader::read(const InfoText &text, qsizetype afterLine)
{
    m->read(text, afterLine);
}

bool SetListReader::sawDiscHeading() const
{
    return m->m_sawHeading;
}

namespace {

// A flat list whose checksum listing names its discs ("Disc 1\D1 Track01.flac",
// "dylan-2\Track03.flac", "...d2t03.flac"): split as the files are, when they add up.
void splitByListing(const InfoText &t, QList<SmartDisc> &discs)
{
    QList<QString> keys;
    QList<QSet<QString>> files;
    for (qsizetype i = 0; i < t.count(); ++i) {
        if (t.kind(i) != LineKind::Listing)
            continue;
        const QStringView name = AudioFileName(t.line(i), t.lower(i));
        if (name.isEmpty())
            continue;
        QString key;
        const qsizetype slash = qMax(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
        if (slash > 0) {
            key = name.first(slash).toString().toLower();
        } else {
            const QString low = name.toString().toLower();
            for (qsizetype p = 0; p + 3 < low.size(); ++p) {
                if (low[p] != u'd' || (p > 0 && low[p - 1].isLetter()) || !IsAsciiDigit(low[p + 1]))
                    continue;
                qsizetype e = p + 1;
                while (e < low.size() && IsAsciiDigit(low[e]))
                    ++e;
                if (e + 1 < low.size() && low[e] == u't' && IsAsciiDigit(low[e + 1])) {
                    key = low.sliced(p, e - p);
                    break;
                }
            }
        }
        if (key.isEmpty())
            continue;
        qsizetype g = keys.indexOf(key);
        if (g < 0) {
            keys.append(key);
            files.append(QSet<QString>());
            g = keys.size() - 1;
        }
        files[g].insert(name.toString().toLower());
    }
    if (keys.size() < 2)
        return;
    qsizetype total = 0;
    for (const auto &f : std::as_const(files))
        total += f.size();
    const QList<SmartTrack> all = discs.first().tracks;
    if (total != all.size())
        return;
    discs.clear();
    qsizetype from = 0;
    for (const auto &f : std::as_const(files)) {
        discs.append(SmartDisc{all.mid(from, f.size())});
        from += f.size();
    }
}

} // namespace

QList<SmartDisc> ReadSetList(const InfoText &text, qsizetype afterLine)
{
    KeptDiscs kept;
    SetListReader reader(kept);
    reader.read(text, afterLine);
    if (kept.discs.size() == 1 && !reader.sawDiscHeading())
        splitByListing(text, kept.discs);
    return kept.discs;
}

} // namespace tapewright::smart
