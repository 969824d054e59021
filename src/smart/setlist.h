// The discs of a show and their tracks, read from the classified lines: numbered tracks kept in
// sequence (a restart at 1 after a break starts the next disc), disc headings in any spelling,
// set headings that start no disc, and unnumbered titles inside a set list.
#pragma once

#include "smart/infotext.h"
#include "smart/smartrecords.h"

#include <QList>

#include <memory>

namespace tapewright::smart {

// Where a set list goes as it is read, disc by disc and track by track.
class DiscSink
{
public:
    virtual void disc() = 0;
    // line: the line of the text (of the piece) the track is read from.
    virtual void track(const QString &title, const QString &time, qsizetype line) = 0;

protected:
    ~DiscSink() = default;
};

// The discs, kept.
class KeptDiscs final : public DiscSink
{
public:
    void disc() override;
    void track(const QString &title, const QString &time, qsizetype line) override;

    QList<SmartDisc> discs;
};

// Reads the set list of a text given whole or in pieces one after the other: a list a piece
// leaves open, the next continues. afterLine: the last line of the header block in this piece
// (-1 for none); a set list without numbers and without headings is looked for only below it.
class SetListReader
{
public:
    explicit SetListReader(DiscSink &out);
    ~SetListReader();
    void read(const InfoText &text, qsizetype afterLine);
    bool sawDiscHeading() const;

private:
    class Impl;
    std::unique_ptr<Impl> m;
};

// The set list of a text read whole, and split as its file listing is when it has one disc
// and no disc heading. afterLine: the last line of the header block; a set list without numbers and
// without headings is looked for only below it.
QList<SmartDisc> ReadSetList(const InfoText &text, qsizetype afterLine);

} // namespace tapewright::smart
