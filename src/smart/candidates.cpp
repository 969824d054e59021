#include "smart/candidates.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace tapewright::smart {

namespace {

struct RuleNameRow
{
    FieldRule rule;
    const char16_t *name;
};

constexpr RuleNameRow RuleNames[] = {
    {FieldRule::ArtistKeyword, u"artist keyword"},
    {FieldRule::BandKeyword, u"band keyword"},
    {FieldRule::FirstLine, u"first line"},
    {FieldRule::KnownAct, u"known act"},
    {FieldRule::TitleKeyword, u"title keyword"},
    {FieldRule::FileHeader, u"joined file's name"},
    {FieldRule::Listing, u"file listing"},
    {FieldRule::Lineup, u"lineup's leader"},
    {FieldRule::DateKeyword, u"date keyword"},
    {FieldRule::BlockDate, u"header block date"},
    {FieldRule::VenueKeyword, u"venue keyword"},
    {FieldRule::CityKeyword, u"city keyword"},
    {FieldRule::StateKeyword, u"state keyword"},
    {FieldRule::VenuePlace, u"venue keyword as a place"},
    {FieldRule::LocationKeyword, u"location keyword"},
    {FieldRule::BlockPlace, u"header block place"},
    {FieldRule::StackedLines, u"stacked lines"},
};

} // namespace

QStringView FieldName(ShowField field)
{
    switch (field) {
    case ShowField::Band:
        return u"band";
    case ShowField::Date:
        return u"date";
    case ShowField::Venue:
        return u"venue";
    case ShowField::City:
        return u"city";
    case ShowField::State:
        return u"state";
    case ShowField::Place:
        break;
    }
    return u"place";
}

QStringView RuleName(FieldRule rule)
{
    for (const RuleNameRow &row : RuleNames) {
        if (row.rule == rule)
            return row.name;
    }
    return u"?";
}

const PrecedenceRow *PrecedenceOf(ShowField field, FieldRule rule)
{
    for (const PrecedenceRow &row : Precedence) {
        if (row.field == field && row.rule == rule)
            return &row;
    }
    return nullptr;
}

FieldCandidates::Rank FieldCandidates::rankOf(const FieldCandidate &c)
{
    const PrecedenceRow *row = PrecedenceOf(c.field, c.rule);
    if (!row) // weighed last: no row ranks it
        return {std::numeric_limits<int>::max(), 0, 0};
    return {row->order, -c.strength, row - std::begin(Precedence)};
}

qsizetype FieldCandidates::propose(FieldCandidate candidate)
{
    // A proposal no row ranks is a reader's mistake: it could never win, so it is kept refused.
    if (!PrecedenceOf(candidate.field, candidate.rule))
        candidate.refused = QStringLiteral("no precedence row for this rule");
    m_ranks.push_back(rankOf(candidate));
    m_list.push_back(std::move(candidate));
    return qsizetype(m_list.size()) - 1;
}

void FieldCandidates::proposePlace(FieldRule rule, const Place &place, int strength, qsizetype line)
{
    QStringList named;
    for (const QString *part : {&place.venue, &place.city, &place.state}) {
        if (!part->isEmpty())
            named.append(*part);
    }
    propose({ShowField::Place,
             rule,
             named.isEmpty() ? QStringLiteral("(a place naming nothing)") : named.join(u", "),
             line,
             strength,
             {},
             {}});
    for (auto [field, value] :
         {std::pair{ShowField::Venue, &place.venue}, std::pair{ShowField::City, &place.city},
          std::pair{ShowField::State, &place.state}})
        propose({field, rule, *value, line, strength, {}, {}});
}

const FieldCandidate *FieldCandidates::takePlaceWhole()
{
    const FieldCandidate *taken = chosen(ShowField::Place);
    if (!taken)
        return nullptr;
    const FieldRule rule = taken->rule;
    const QString why = QStringLiteral("the place of %1 is taken whole").arg(RuleName(rule));
    for (FieldCandidate &other : m_list) {
        const bool part = other.field == ShowField::Venue || other.field == ShowField::City ||
                          other.field == ShowField::State;
        if (part && other.rule != rule && PrecedenceOf(ShowField::Place, other.rule))
            other.refused = why;
    }
    return taken;
}

const FieldCandidate *FieldCandidates::chosen(ShowField field) const
{
    const FieldCandidate *best = nullptr;
    Rank bestRank{};
    for (size_t i = 0; i < m_list.size(); ++i) {
        const FieldCandidate &c = m_list[i];
        if (c.field != field || c.value.isEmpty() || !c.refused.isEmpty())
            continue;
        if (!best || m_ranks[i] < bestRank) {
            best = &c;
            bestRank = m_ranks[i];
        }
    }
    return best;
}

std::vector<const FieldCandidate *> FieldCandidates::ordered(ShowField field) const
{
    std::vector<const FieldCandidate *> list;
    for (const FieldCandidate &c : m_list) {
        if (c.field == field)
            list.push_back(&c);
    }
    std::stable_sort(
        list.begin(), list.end(),
        [](const FieldCandidate *a, const FieldCandidate *b) { return rankOf(*a) < rankOf(*b); });
    return list;
}

QString FieldCandidates::lostBecause(const FieldCandidate &c) const
{
    const FieldCandidate *winner = chosen(c.field);
    if (winner == &c)
        return {};
    if (!c.refused.isEmpty())
        return QStringLiteral("refused: ") + c.refused;
    if (c.value.isEmpty())
        return QStringLiteral("empty");
    QString why = QStringLiteral("lost to ") + RuleName(winner->rule).toString();
    if (winner->line >= 0)
        why += QStringLiteral(" on line %1").arg(winner->line + 1);
    return why;
}

} // namespace tapewright::smart
