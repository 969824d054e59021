#include "infolines.h"

#include "textterms.h"

namespace tapewright {

namespace {

// Searching for the CR alone is a vectorised character scan; a two-character indexOf sets up a
// hashed search on every call, which costs more than the line it finds.
qsizetype nextCrLf(QStringView all, qsizetype from)
{
    for (qsizetype cr = FindChar(all, from, u'\r'); cr >= 0; cr = FindChar(all, cr + 1, u'\r')) {
        if (cr + 1 < all.size() && all[cr + 1] == u'\n')
            return cr;
    }
    return -1;
}

} // namespace

InfoLines InfoLines::cut(QStringView infoText)
{
    InfoLines result;
    result.m_text = infoText.toString();
    result.m_text.replace(u'\t', u' ');
    const QStringView all(result.m_text);
    qsizetype pos = 0;
    for (qsizetype crlf = nextCrLf(all, pos); crlf >= 0; crlf = nextCrLf(all, pos)) {
        qsizetype b = pos;
        qsizetype e = crlf;
        while (b < e && all[b] == u' ')
            ++b;
        while (e > b && all[e - 1] == u' ')
            --e;
        result.m_spans.append({b, e - b});
        pos = crlf + 2;
    }
    // Only what lies in lines is ever looked at; text after the last CR LF is not lower-cased.
    const QStringView inLines = all.first(pos);
    result.m_lower = LowerCased(inLines);
    // Every cut took one CR and one LF; any other is a lone one inside a line.
    result.m_loneLineBreaks =
        CountChar(inLines, u'\r') + CountChar(inLines, u'\n') != 2 * result.m_spans.size();
    return result;
}

} // namespace tapewright
