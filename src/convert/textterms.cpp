#include "textterms.h"

namespace tapewright {

QString LowerCased(QStringView s)
{
    QString out(s.size(), Qt::Uninitialized);
    const char16_t *src = s.utf16();
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    const qsizetype n = s.size();
    // The converter lower-cases its whole text on every call, so blocks of plain ASCII take a
    // branch-free path the compiler can vectorise.
    constexpr qsizetype Block = 16;
    qsizetype i = 0;
    while (i < n) {
        if (i + Block <= n) {
            char16_t any = 0;
            for (qsizetype k = 0; k < Block; ++k)
                any |= src[i + k];
            if (any < 0x80) {
                for (qsizetype k = 0; k < Block; ++k) {
                    const char16_t u = src[i + k];
                    dst[i + k] = char16_t(u + (char16_t(u - u'A') < 26 ? 32 : 0));
                }
                i += Block;
                continue;
            }
        }
        const qsizetype end = qMin(n, i + Block);
        for (; i < end; ++i) {
            const char16_t u = src[i];
            dst[i] =
                u < 0x80 ? char16_t(u + (char16_t(u - u'A') < 26 ? 32 : 0)) : QChar::toLower(u);
        }
    }
    return out;
}

QString UpperCased(QStringView s)
{
    QString out(s.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            *dst++ = QChar(u >= u'a' && u <= u'z' ? char16_t(u - 32) : u);
        else
            *dst++ = c.toUpper();
    }
    return out;
}

QStringView Trimmed(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.sliced(b, e - b);
}

QString ReplaceAll(QStringView s, QStringView a, QStringView b)
{
    if (a.isEmpty())
        return s.toString();
    qsizetype at = s.indexOf(a);
    if (at < 0)
        return s.toString();
    QString out;
    out.reserve(s.size());
    qsizetype from = 0;
    while (at >= 0) {
        out.append(s.sliced(from, at - from));
        out.append(b);
        from = at + a.size();
        at = s.indexOf(a, from);
    }
    out.append(s.sliced(from));
    return out;
}

} // namespace tapewright
