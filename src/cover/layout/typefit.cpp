#include "cover/layout/typefit.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tapewright {

namespace {

// Widths are compared with this much slack, so that sums of floating-point advances that
// match a width exactly count as fitting.
constexpr double Slack = 1e-9;

// A paragraph measured once, in em, for every size and width it is tried at.
struct Measured
{
    enum class Kind
    {
        Word,
        Space,
        Tab,
        Break,
    };
    struct Token
    {
        Kind kind;
        double em = 0;
        std::size_t first = 0; // words: their characters in chars
        std::size_t count = 0;
    };
    std::vector<Token> tokens;
    std::vector<double> chars;
    int breaks = 0;
    double naturalEm = 0; // the widest line when nothing but the hard breaks breaks it
};

Measured measure(const std::vector<TextRun> &runs, const MeasureText &measureText)
{
    Measured m;
    Measured::Token word{Measured::Kind::Word};
    auto endWord = [&] {
        if (word.count > 0)
            m.tokens.push_back(word);
        word = {Measured::Kind::Word, 0, m.chars.size(), 0};
    };
    bool lastWasCr = false;
    for (const TextRun &run : runs) {
        const QString &t = run.text;
        for (qsizetype i = 0; i < t.size(); ++i) {
            const QChar c = t.at(i);
            if (c == u'\n' && lastWasCr) {
                lastWasCr = false;
                continue;
            }
            lastWasCr = c == u'\r';
            if (c == u'\r' || c == u'\n') {
                endWord();
                m.tokens.push_back({Measured::Kind::Break});
                ++m.breaks;
            } else if (c == u' ') {
                endWord();
                m.tokens.push_back({Measured::Kind::Space, measureText(u" ", run.bold)});
            } else if (c == u'\t') {
                endWord();
                m.tokens.push_back({Measured::Kind::Tab});
            } else {
                const qsizetype n =
                    c.isHighSurrogate() && i + 1 < t.size() && t.at(i + 1).isLowSurrogate() ? 2 : 1;
                const double em = measureText(QStringView(t).sliced(i, n), run.bold);
                m.chars.push_back(em);
                word.em += em;
                ++word.count;
                i += n - 1;
            }
        }
    }
    endWord();

    double line = 0;
    double pending = 0;
    for (const Measured::Token &token : m.tokens) {
        switch (token.kind) {
        case Measured::Kind::Word:
            line += pending + token.em;
            pending = 0;
            m.naturalEm = std::max(m.naturalEm, line);
            break;
        case Measured::Kind::Space:
            pending += token.em;
            break;
        case Measured::Kind::Tab:
            // Only a bound: its true width depends on where the stops fall.
            pending += 1;
            break;
        case Measured::Kind::Break:
            line = 0;
            pending = 0;
            break;
        }
    }
    return m;
}

struct Lines
{
    int count = 1;
    double end = 0;   // em: where the last line's text ends
    double avail = 0; // em: the width of the last line
};

// The greedy line breaking of a word processor: as many words on a line as fit, blanks at a
// break swallowed, a word wider than a whole line broken between characters.
Lines breakLines(const Measured &m, double size, double width, double indent, double tabStop)
{
    const double firstAvail = width / size;
    const double restAvail = std::max(0.0, (width - indent) / size);
    const double tabEm = tabStop > 0 ? tabStop / size : 0;
    double avail = firstAvail;
    int lines = 1;
    double x = 0;
    double pending = 0;
    bool empty = true; // nothing on the line yet but blanks
    auto newLine = [&] {
        ++lines;
        avail = restAvail;
        x = 0;
        pending = 0;
        empty = true;
    };
    auto place = [&](const Measured::Token &word) {
        if (word.em <= avail - x + Slack) {
            x += word.em;
            empty = false;
            return;
        }
        for (std::size_t i = word.first; i < word.first + word.count; ++i) {
            if (!empty && x + m.chars[i] > avail + Slack)
                newLine();
            x += m.chars[i];
            empty = false;
        }
    };
    for (const Measured::Token &token : m.tokens) {
        switch (token.kind) {
        case Measured::Kind::Space:
            pending += token.em;
            break;
        case Measured::Kind::Tab: {
            x += pending;
            pending = 0;
            const double stop = tabEm > 0 ? (std::floor(x / tabEm + Slack) + 1) * tabEm : x;
            if (stop > avail + Slack && !empty)
                newLine();
            else
                x = stop;
            empty = false;
            break;
        }
        case Measured::Kind::Break:
            newLine();
            break;
        case Measured::Kind::Word:
            if (!empty && x + pending + token.em > avail + Slack) {
                newLine();
            } else {
                x += pending;
                pending = 0;
            }
            place(token);
            break;
        }
    }
    return {lines, x, avail};
}

int lineCount(const Measured &m, double size, double width, double indent, double tabStop)
{
    return breakLines(m, size, width, indent, tabStop).count;
}

std::vector<double> sizesOf(const TypeRange &range)
{
    std::vector<double> sizes;
    const double step = range.step > 0 ? range.step : 0.5;
    for (int i = 0;; ++i) {
        const double size = range.largest - i * step;
        if (size < range.smallest - Slack)
            break;
        sizes.push_back(size);
    }
    if (sizes.empty())
        sizes.push_back(range.smallest);
    return sizes;
}

double twentieths(double points)
{
    return std::ceil(points * 20 - 1e-6) / 20;
}

// One paragraph of the track area, measured once: the text before its time, and the time.
struct AreaItem
{
    int disc;
    int track; // -1: the heading
    Measured text;
    double timeEm = 0;  // 0: no time
    bool blank = false; // prints nothing: not missed when it does not fit
};

// "1. Opener\t4:56": the title and the time after the last tab (none without a tab).
std::pair<QString, QString> splitTime(const QString &text)
{
    const qsizetype tab = text.lastIndexOf(u'\t');
    if (tab < 0)
        return {text, QString()};
    return {text.first(tab), text.sliced(tab + 1).trimmed()};
}

AreaItem areaItem(int disc, int track, const QString &text, bool bold,
                  const MeasureText &measureText)
{
    const auto [title, time] = splitTime(text);
    AreaItem item{disc, track, measure({{title, bold}}, measureText)};
    if (!time.isEmpty())
        item.timeEm = measure({{time, bold}}, measureText).naturalEm;
    item.blank = text.trimmed().isEmpty();
    return item;
}

// Lines a paragraph takes: its text's, and one more when its time finds no room at the end of
// the last.
int itemLines(const AreaItem &item, double size, double width, double indent, double tabStop,
              double timeGap)
{
    const Lines lines = breakLines(item.text, size, width, indent, tabStop);
    if (item.timeEm <= 0)
        return lines.count;
    const bool after = lines.end <= 0 || lines.end + timeGap + item.timeEm <= lines.avail + Slack;
    return lines.count + (after ? 0 : 1);
}

struct Flow
{
    std::vector<std::vector<TrackPlace>> columns;
    int tracksNotFitting = 0;
    bool fits = true;
};

// Line counts of the items at one size and column width, and of each disc's continued heading.
struct ItemLines
{
    std::vector<int> items;
    std::vector<int> continued; // by disc; 0: the disc has no heading
};

// Fills n columns of height with the items. Each disc opens a column of its own when
// ownColumns is set; a heading stays with its first track, and a disc that runs on into a new
// column is headed there again. Without overflow the flow stops at the first item that finds no
// room; with it, such items go on after the last column.
Flow flow(const std::vector<AreaItem> &items, const ItemLines &lines, int n, bool ownColumns,
          bool overflow, const TrackAreaFit &t, double height)
{
    Flow f;
    f.columns.resize(std::size_t(n));
    int col = 0;
    double y = 0;
    bool full = false; // past the last column: nothing more fits
    auto heightOf = [&](std::size_t i, bool top) {
        if (items[i].track < 0)
            return (top ? 0 : t.headingSpace) + lines.items[i] * t.headingPitch;
        return lines.items[i] * t.pitch;
    };
    for (std::size_t i = 0; i < items.size(); ++i) {
        const AreaItem &item = items[i];
        const bool opensDisc = i == 0 || items[i - 1].disc != item.disc;
        if (ownColumns && opensDisc && y > 0 && !full) {
            ++col;
            y = 0;
        }
        const bool keepsNext =
            item.track < 0 && i + 1 < items.size() && items[i + 1].disc == item.disc;
        auto need = [&](bool top) {
            return heightOf(i, top) + (keepsNext ? lines.items[i + 1] * t.pitch : 0);
        };
        if (!full && y > 0 && y + need(false) > height + Slack) {
            ++col;
            y = 0;
        }
        if (col >= n)
            full = true;
        // A track atop a column, its disc begun in an earlier one: the disc's heading again.
        const int continued = item.track >= 0 && !opensDisc && y == 0 && !full
                                  ? lines.continued[std::size_t(item.disc)]
                                  : 0;
        const double above = continued * t.headingPitch;
        const bool top = y == 0;
        const bool fitsHere = !full && y + above + need(top) <= height + Slack;
        if (!fitsHere && !overflow) {
            f.fits = false;
            return f;
        }
        std::vector<TrackPlace> &column = f.columns[std::size_t(std::min(col, n - 1))];
        if (continued > 0 && fitsHere) {
            column.push_back({item.disc, -1, continued, false, true, true});
            y += above;
        }
        TrackPlace place{item.disc, item.track, lines.items[i], item.track < 0 && !top, fitsHere};
        if (!fitsHere) {
            f.fits = false;
            if (item.track >= 0 && !item.blank)
                ++f.tracksNotFitting;
        }
        column.push_back(place);
        if (!full)
            y += heightOf(i, top);
    }
    return f;
}

} // namespace

double LinePitch(double size, double factor)
{
    return twentieths(size * factor);
}

int LineCount(const std::vector<TextRun> &runs, double size, double width, double indent,
              double tabStop, const MeasureText &measureText)
{
    return lineCount(measure(runs, measureText), size, width, indent, tabStop);
}

LineFit FitOneLine(const std::vector<TextRun> &runs, double width, const TypeRange &sizes,
                   double floor, const MeasureText &measureText)
{
    const Measured m = measure(runs, measureText);
    const int wanted = m.breaks + 1;
    for (const double size : sizesOf(sizes)) {
        if (lineCount(m, size, width, 0, 0) <= wanted)
            return {size, true};
    }
    // Below the range, in its steps (a Word document states sizes in half points): the largest
    // size at which the widest line fits.
    const double step = sizes.step > 0 ? sizes.step : 0.5;
    double size =
        m.naturalEm > 0 ? std::floor(width / m.naturalEm / step + Slack) * step : sizes.smallest;
    size = std::clamp(size, std::min(floor, sizes.smallest), sizes.smallest);
    while (size > floor + Slack && lineCount(m, size, width, 0, 0) > wanted)
        size = std::max(floor, size - step);
    return {size, false};
}

LineFit FitBlock(const std::vector<std::vector<TextRun>> &paragraphs, double width, double height,
                 const TypeRange &sizes, double pitch, const MeasureText &measureText)
{
    std::vector<Measured> measured;
    measured.reserve(paragraphs.size());
    for (const std::vector<TextRun> &runs : paragraphs)
        measured.push_back(measure(runs, measureText));
    for (const double size : sizesOf(sizes)) {
        int lines = 0;
        for (const Measured &m : measured)
            lines += lineCount(m, size, width, 0, 0);
        if (lines * LinePitch(size, pitch) <= height + Slack)
            return {size, true};
    }
    return {sizes.smallest, false};
}

QString ContinuedHeading(const QString &heading)
{
    return splitTime(heading).first + QStringLiteral(" (cont.)");
}

TrackAreaFit FitTrackArea(const std::vector<TrackDisc> &discs, const TrackArea &area,
                          const MeasureText &measureText)
{
    std::vector<AreaItem> items;
    std::vector<AreaItem> continued; // by disc
    for (std::size_t d = 0; d < discs.size(); ++d) {
        const TrackDisc &disc = discs[d];
        continued.push_back(
            areaItem(int(d), -1, ContinuedHeading(disc.heading), true, measureText));
        continued.back().blank = disc.heading.isEmpty();
        if (disc.heading.isEmpty() && disc.tracks.isEmpty())
            continue;
        if (!disc.heading.isEmpty())
            items.push_back(areaItem(int(d), -1, disc.heading, true, measureText));
        for (qsizetype t = 0; t < disc.tracks.size(); ++t)
            items.push_back(areaItem(int(d), int(t), disc.tracks.at(t), false, measureText));
    }

    const int most = std::max(1, int(std::floor((area.width + area.columnGap + Slack) /
                                                (area.minColumnWidth + area.columnGap))));
    auto atSize = [&](double size) {
        TrackAreaFit t;
        t.size = size;
        t.pitch = LinePitch(size, area.pitch);
        t.headingSize = size + area.headingLarger;
        t.headingPitch = LinePitch(t.headingSize, area.pitch);
        t.headingSpace = twentieths(area.headingSpace * t.pitch);
        t.indent = area.indent * size;
        return t;
    };
    auto linesAt = [&](const TrackAreaFit &t, double columnWidth) {
        ItemLines lines;
        lines.items.reserve(items.size());
        for (const AreaItem &item : items) {
            lines.items.push_back(
                item.track < 0
                    ? itemLines(item, t.headingSize, columnWidth, 0, area.tabStop, area.timeGap)
                    : itemLines(item, t.size, columnWidth, t.indent, area.tabStop, area.timeGap));
        }
        for (const AreaItem &item : continued) {
            lines.continued.push_back(item.blank ? 0
                                                 : itemLines(item, t.headingSize, columnWidth, 0,
                                                             area.tabStop, area.timeGap));
        }
        return lines;
    };
    auto columnWidth = [&](int n) { return (area.width - (n - 1) * area.columnGap) / n; };

    if (items.empty()) {
        TrackAreaFit t = atSize(sizesOf(area.sizes).front());
        t.columnWidth = area.width;
        t.columns.resize(1);
        return t;
    }

    // Of the sizes and column counts that take every track, the one whose type is largest once
    // its wrapped titles are counted against it: a size at which a third of the titles wrap
    // reads as if a third smaller. Many narrow columns of broken titles lose to fewer, wider
    // ones of whole titles in a smaller type.
    int titles = 0;
    for (const AreaItem &item : items)
        titles += item.track >= 0 && !item.blank ? 1 : 0;
    const auto wraps = [](const std::vector<int> &l) {
        return std::any_of(l.cbegin(), l.cend(), [](int n) { return n > 1; });
    };
    double bestScore = -1;
    TrackAreaFit best;
    ItemLines bestLines;
    bool bestOwn = true;
    int bestN = 0;
    for (const double size : sizesOf(area.sizes)) {
        if (bestScore >= size - Slack)
            break; // no smaller size can read larger
        const TrackAreaFit t = atSize(size);
        for (const bool ownColumns : {true, false}) {
            for (int n = 1; n <= most; ++n) {
                ItemLines lines = linesAt(t, columnWidth(n));
                if (area.wrapsUpTo > 0 && size > area.wrapsUpTo + Slack &&
                    (wraps(lines.items) || wraps(lines.continued)))
                    continue;
                int wrapped = 0;
                for (std::size_t i = 0; i < items.size(); ++i)
                    wrapped += items[i].track >= 0 && !items[i].blank && lines.items[i] > 1;
                const double score = size * (1 - double(wrapped) / std::max(1, titles));
                if (score <= bestScore + Slack)
                    continue;
                if (!flow(items, lines, n, ownColumns, false, t, area.height).fits)
                    continue;
                bestScore = score;
                best = t;
                bestLines = std::move(lines);
                bestOwn = ownColumns;
                bestN = n;
            }
        }
    }
    if (bestN > 0) {
        // The least height that still takes everything, to a twentieth of a point: the columns
        // end about level instead of the last one short.
        Flow f = flow(items, bestLines, bestN, bestOwn, false, best, area.height);
        double low = 0;
        double high = area.height;
        while (high - low > 0.05) {
            const double mid = (low + high) / 2;
            Flow g = flow(items, bestLines, bestN, bestOwn, false, best, mid);
            if (g.fits) {
                high = mid;
                f = std::move(g);
            } else {
                low = mid;
            }
        }
        best.columnWidth = columnWidth(bestN);
        best.columns = std::move(f.columns);
        return best;
    }

    // Even the smallest size does not take every track: the column count that takes the most.
    best = atSize(std::max(area.sizes.smallest, 0.1));
    best.fits = false;
    int fewestLeft = -1;
    for (int n = 1; n <= most; ++n) {
        const ItemLines lines = linesAt(best, columnWidth(n));
        Flow f = flow(items, lines, n, false, true, best, area.height);
        if (fewestLeft < 0 || f.tracksNotFitting < fewestLeft) {
            fewestLeft = f.tracksNotFitting;
            best.columnWidth = columnWidth(n);
            best.columns = std::move(f.columns);
            best.tracksNotFitting = f.tracksNotFitting;
        }
    }
    return best;
}

} // namespace tapewright
