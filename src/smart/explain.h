// Why smart recognition reads a text as it does: each line's kind and the rule that gave it,
// each field's candidates in the order they are weighed and which won, and each disc's tracks
// with the lines they came from. What tapewright-cli convert --smart --explain prints: how a
// misread text is put right, and what a user sends with it.
#pragma once

#include "convert/convertinfotext.h"
#include "smart/infotext.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <initializer_list>

namespace tapewright::smart {

enum class ShowField : quint8
{
    Band,
    Date,
    Venue,
    City,
    State,
};

// Told by the header reader, when it is given one, of every candidate for a field in the order
// they are weighed: the first with a value wins. Without one the reader weighs only up to the
// winner and tells nothing.
class FieldTrace
{
public:
    // value: what the rule found, empty when it found nothing; line: where (-1: no one line).
    virtual void candidate(ShowField field, QStringView rule, qsizetype line,
                           const QString &value) = 0;

protected:
    ~FieldTrace() = default;
};

// A candidate: the rule, its line (-1: no one line) and how it finds its value.
struct WeighedSource
{
    QStringView rule;
    qsizetype line;
    std::function<QString()> value;
};

// The value of the first source that gives one; with a trace every source is weighed and told.
QString Weigh(FieldTrace *trace, ShowField field, std::initializer_list<WeighedSource> sources);

// With a trace, a place's venue, city and state as candidates of one rule.
void TellPlace(FieldTrace *trace, QStringView rule, qsizetype line, const PlaceParts &place);

// The explanation of the show RecogniseInfoText reads from infoText, as text, a line a finding.
QString ExplainInfoText(const QString &infoText, const ConvertOptions &options = {});

} // namespace tapewright::smart
