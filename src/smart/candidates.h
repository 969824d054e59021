// What the header's readers propose for each field of the show, and the one table that ranks
// their proposals. Each reader says what it found, on which line and by which rule; the table
// says which rule a field trusts first. A new way of finding a field is a row here and a
// proposal where the lines are read.
#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <string_view>
#include <vector>

namespace tapewright::smart {

enum class ShowField : quint8
{
    Band,
    Date,
    Venue,
    City,
    State,
    // A venue, city and state read together from one line: taken whole, so a place that names
    // no venue never borrows one from a weaker place.
    Place,
};

enum class FieldRule : quint8
{
    ArtistKeyword,
    BandKeyword,
    FirstLine,
    KnownAct,
    TitleKeyword,
    FileHeader,
    Listing,
    Lineup,
    DateKeyword,
    BlockDate,
    VenueKeyword,
    CityKeyword,
    StateKeyword,
    VenuePlace,
    LocationKeyword,
    BlockPlace,
    StackedLines,
};

struct FieldCandidate
{
    ShowField field = ShowField::Band;
    FieldRule rule = FieldRule::FirstLine;
    QString value;       // empty: the rule looked and found nothing
    qsizetype line = -1; // -1: no one line
    // Between rows of one order, the stronger candidate wins: a place from a keyword line (3)
    // over one that names its state (2) over one that does not (1).
    int strength = 0;
    QDate date;      // a date candidate's day
    QString refused; // why it may not win whatever its rank, empty when it may
};

struct PrecedenceRow
{
    ShowField field;
    FieldRule rule;
    int order; // lower is weighed first; rows of one order are ranked by strength
    std::string_view why;
};

// Per field, the rules in the order they are weighed, the first row of a field first.
inline constexpr PrecedenceRow Precedence[] = {
    {ShowField::Band, FieldRule::ArtistKeyword, 1, "an Artist line names the act outright"},
    {ShowField::Band, FieldRule::BandKeyword, 2,
     "a Band line does too, though some write the lineup's group there"},
    {ShowField::Band, FieldRule::FirstLine, 3, "collectors begin a text with the act"},
    {ShowField::Band, FieldRule::KnownAct, 4,
     "a line of the header naming an act traders abbreviate"},
    {ShowField::Band, FieldRule::TitleKeyword, 5, "a release's title begins with its artist"},
    {ShowField::Band, FieldRule::FileHeader, 6, "a joined file's name begins with the act"},
    {ShowField::Band, FieldRule::Listing, 7, "every listed file names the same artist"},
    {ShowField::Band, FieldRule::Lineup, 8, "the lineup's first musician leads: a last guess"},
    {ShowField::Date, FieldRule::DateKeyword, 1, "a Date line says what it holds"},
    {ShowField::Date, FieldRule::FirstLine, 2, "the first line's date is the show's"},
    {ShowField::Date, FieldRule::BlockDate, 3, "a date in the header block, on its line or in one"},
    {ShowField::Place, FieldRule::VenuePlace, 1, "a Venue line that reads as a place"},
    {ShowField::Place, FieldRule::LocationKeyword, 1, "a Location line"},
    {ShowField::Place, FieldRule::FirstLine, 1, "the first line's place fields"},
    {ShowField::Place, FieldRule::BlockPlace, 1, "a place line of the header block"},
    {ShowField::Venue, FieldRule::VenueKeyword, 1, "a Venue line's words as they stand"},
    {ShowField::Venue, FieldRule::VenuePlace, 2, "the place taken"},
    {ShowField::Venue, FieldRule::LocationKeyword, 2, "the place taken"},
    {ShowField::Venue, FieldRule::FirstLine, 2, "the place taken"},
    {ShowField::Venue, FieldRule::BlockPlace, 2, "the place taken"},
    {ShowField::Venue, FieldRule::StackedLines, 3, "names stacked a line each under the band"},
    {ShowField::City, FieldRule::CityKeyword, 1, "a City line"},
    {ShowField::City, FieldRule::VenuePlace, 2, "the place taken"},
    {ShowField::City, FieldRule::LocationKeyword, 2, "the place taken"},
    {ShowField::City, FieldRule::FirstLine, 2, "the place taken"},
    {ShowField::City, FieldRule::BlockPlace, 2, "the place taken"},
    {ShowField::City, FieldRule::StackedLines, 3, "names stacked a line each under the band"},
    {ShowField::State, FieldRule::StateKeyword, 1, "a State line"},
    {ShowField::State, FieldRule::VenuePlace, 2, "the place taken"},
    {ShowField::State, FieldRule::LocationKeyword, 2, "the place taken"},
    {ShowField::State, FieldRule::FirstLine, 2, "the place taken"},
    {ShowField::State, FieldRule::BlockPlace, 2, "the place taken"},
    {ShowField::State, FieldRule::StackedLines, 3, "names stacked a line each under the band"},
};

QStringView FieldName(ShowField field);
QStringView RuleName(FieldRule rule);
// The row that ranks rule for field, or nullptr: a rule without a row never wins that field.
const PrecedenceRow *PrecedenceOf(ShowField field, FieldRule rule);

// The candidates of one text, weighed by the table.
class FieldCandidates
{
public:
    FieldCandidates()
    {
        // A header rarely proposes more: no text pays for growing the list.
        m_list.reserve(24);
        m_ranks.reserve(24);
    }

    // Returns the new candidate's index.
    qsizetype propose(FieldCandidate candidate);
    void refuse(qsizetype index, const QString &why) { m_list[size_t(index)].refused = why; }
    // A place read from one line: proposed whole, and by its venue, city and state.
    struct Place
    {
        QString venue, city, state;
    };
    void proposePlace(FieldRule rule, const Place &place, int strength, qsizetype line);
    // Chooses the place and refuses the parts of every other: a place is taken whole. Returns
    // the place taken, nullptr if none.
    const FieldCandidate *takePlaceWhole();

    // Whether a candidate that may win has a value for field.
    bool has(ShowField field) const { return chosen(field) != nullptr; }
    // The winner: the first in precedence order with a value and not refused; nullptr if none.
    const FieldCandidate *chosen(ShowField field) const;
    // The candidates for field in the order they are weighed.
    std::vector<const FieldCandidate *> ordered(ShowField field) const;
    // Why c did not win ("empty", "refused: ...", "lost to ... on line N"); empty for the winner.
    QString lostBecause(const FieldCandidate &c) const;

    const std::vector<FieldCandidate> &all() const { return m_list; }

private:
    // A candidate's place in the weighing: its row's order, then its strength, then its row.
    struct Rank
    {
        int order;
        int strength;
        qsizetype row;
        auto operator<=>(const Rank &) const = default;
    };
    static Rank rankOf(const FieldCandidate &c);

    std::vector<FieldCandidate> m_list;
    std::vector<Rank> m_ranks; // beside m_list: the table is searched once a candidate
};

} // namespace tapewright::smart
