// The settings file, read and written as the Windows profile functions do: names match in any
// letter case, values come back trimmed and unquoted and cut to 99 characters. A write changes
// the one value it writes, or adds its key (and section), and keeps every other byte of the file
// as it was: the encoding, the line ends, the comments and other programs' sections.
#include "common/settings.h"

#include "common/regularfile.h"
#include "common/savefile.h"
#include "common/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <tuple>
#include <utility>

namespace tapewright {

namespace {

constexpr qsizetype MaxValueLength = 99;

// A settings file holds a few dozen lines. Anything larger is something else under its name, or a
// file grown without end, and is left as it is: reads give the defaults, writes are refused.
constexpr qint64 MaxSettingsFileSize = 1024 * 1024;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// The file as units the editing works on. An 8-bit file has one unit a byte (widened as Latin-1,
// so that every byte goes back as it came, whatever its encoding); a UTF-16 file has its own
// units. What gives a file its shape ("[", "]", "=", ";", blanks and line ends) is ASCII and the
// same unit in both; names and values are decoded only where they are compared or read.
class ProfileText
{
public:
    explicit ProfileText(const QByteArray &bytes)
    {
        // UTF-16 only with its byte-order mark, as Windows writes it: guessed from the bytes, a
        // file could change its encoding with a write.
        if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
            m_utf16 = true;
            m_bigEndian = bytes.startsWith("\xFE\xFF");
            const qsizetype pairs = bytes.size() / 2;
            units = QString(pairs, Qt::Uninitialized);
            for (qsizetype i = 0; i < pairs; ++i) {
                const auto hi = uchar(bytes[2 * i + (m_bigEndian ? 0 : 1)]);
                const auto lo = uchar(bytes[2 * i + (m_bigEndian ? 1 : 0)]);
                units[i] = QChar(char16_t(hi << 8 | lo));
            }
            m_oddByte = bytes.sliced(2 * pairs);
            start = 1;
            return;
        }
        DecodeUtf8OrWindows1252(bytes, &m_encoding);
        units = QString::fromLatin1(bytes);
        start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    }

    QString units;
    qsizetype start = 0; // after the byte-order mark

    QString decode(QStringView span) const
    {
        return m_utf16 ? span.toString() : DecodeUtf8OrWindows1252(span.toLatin1());
    }

    // Text as units of this file. Windows-1252 in a file that has only Windows-1252, as long as
    // it reads back the same; else UTF-8, which a file of both reads right too.
    QString encode(const QString &text) const
    {
        if (m_utf16)
            return text;
        if (m_encoding == TextEncoding::Windows1252) {
            if (Result<QByteArray> bytes = EncodeText(text, TextEncoding::Windows1252);
                bytes && DecodeUtf8OrWindows1252(*bytes) == text)
                return QString::fromLatin1(*bytes);
        }
        return QString::fromLatin1(Utf8Bytes(text));
    }

    QByteArray bytes() const
    {
        if (!m_utf16)
            return units.toLatin1();
        QByteArray out(2 * units.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < units.size(); ++i) {
            const char16_t u = units[i].unicode();
            out[2 * i + (m_bigEndian ? 0 : 1)] = char(u >> 8);
            out[2 * i + (m_bigEndian ? 1 : 0)] = char(u & 0xFF);
        }
        return out + m_oddByte;
    }

    // The line end the file uses (of its first line), for lines a write adds.
    QString lineEnd() const
    {
        for (qsizetype i = start; i < units.size(); ++i) {
            if (units[i] == u'\n')
                return QStringLiteral("\n");
            if (units[i] == u'\r')
                return i + 1 < units.size() && units[i + 1] == u'\n' ? QStringLiteral("\r\n")
                                                                     : QStringLiteral("\r");
        }
        return QStringLiteral("\n");
    }

private:
    TextEncoding m_encoding = TextEncoding::Utf8;
    bool m_utf16 = false;
    bool m_bigEndian = false;
    QByteArray m_oddByte; // a UTF-16 file's last byte without its pair, kept as it was
};

// Where a key stands in a file, and where one would go: found in one pass over the lines. A
// section may occur twice: its keys are all of its occurrences', the first occurrence of a key
// counts (as Windows reads such files).
struct KeyPlace
{
    qsizetype valueBegin = -1; // the value, blanks around it excluded; -1 when the key is absent
    qsizetype valueEnd = -1;
    qsizetype lineBegin = -1; // the key's whole line, its line end included
    qsizetype lineNext = -1;
    // Where a new key goes: after the last key line of the section's first occurrence (after its
    // heading when it has none), so that comments and empty lines before the next section stay
    // with it. -1 when the section is absent.
    qsizetype insertAt = -1;
    bool insertAfterLineEnd = true; // false when that line is the last one and has no line end
};

bool sameName(const ProfileText &text, QStringView span, const QString &name)
{
    for (const QChar c : span) {
        if (c.unicode() >= 0x80) // ASCII reads the same in every encoding: no decoding for it
            return text.decode(span).compare(name, Qt::CaseInsensitive) == 0;
    }
    return span.compare(name, Qt::CaseInsensitive) == 0;
}

KeyPlace findKey(const ProfileText &text, const QString &section, const QString &key)
{
    const QStringView t(text.units);
    const auto trimmed = [&t](qsizetype b, qsizetype e) {
        while (b < e && isBlank(t[b]))
            ++b;
        while (e > b && isBlank(t[e - 1]))
            --e;
        return std::pair(b, e);
    };
    KeyPlace place;
    bool inSection = false;
    bool inFirstOccurrence = false;
    for (qsizetype at = text.start; at < t.size();) {
        qsizetype end = at;
        while (end < t.size() && !isLineEnd(t[end]))
            ++end;
        qsizetype next = end;
        if (next < t.size())
            next += t[next] == u'\r' && next + 1 < t.size() && t[next + 1] == u'\n' ? 2 : 1;
        const auto [b, e] = trimmed(at, end);
        const qsizetype lineBegin = at;
        at = next;
        if (b == e)
            continue;
        if (t[b] == u'[') {
            const qsizetype close = t.sliced(b, e - b).indexOf(u']');
            if (close < 0) // no heading: what follows stays where it was
                continue;
            const auto [nb, ne] = trimmed(b + 1, b + close);
            const bool first = place.insertAt < 0;
            inSection = sameName(text, t.sliced(nb, ne - nb), section);
            inFirstOccurrence = inSection && first;
            if (inFirstOccurrence) {
                place.insertAt = next;
                place.insertAfterLineEnd = next > end;
            }
            continue;
        }
        if (!inSection || t[b] == u';' || t[b] == u'#')
            continue;
        const qsizetype equals = t.sliced(b, e - b).indexOf(u'=');
        if (equals < 0)
            continue;
        if (inFirstOccurrence) {
            place.insertAt = next;
            place.insertAfterLineEnd = next > end;
        }
        const auto [kb, ke] = trimmed(b, b + equals);
        if (sameName(text, t.sliced(kb, ke - kb), key)) {
            std::tie(place.valueBegin, place.valueEnd) = trimmed(b + equals + 1, e);
            place.lineBegin = lineBegin;
            place.lineNext = next;
            return place;
        }
    }
    return place;
}

// A name or value must stay on its one line: a line break in it would start new keys or
// sections of the file's own.
QString oneLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line) {
        if (isLineEnd(c) || c == QChar(0))
            c = u' ';
    }
    return line;
}

// Drops one pair of matching quotes around a value, as the profile read does.
QString unquoted(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

// The value as it is stored: quoted when a read would otherwise take something off it (blanks
// at its ends, or quotes of its own around it).
QString stored(const QString &value)
{
    if (value.isEmpty())
        return value;
    if (isBlank(value.front()) || isBlank(value.back()) || unquoted(value) != value)
        return u'"' + value + u'"';
    return value;
}

QString limited(QString value)
{
    if (value.size() > MaxValueLength) {
        value.truncate(MaxValueLength);
        // Never leave half of a character that needs two UTF-16 units.
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

// The file's bytes: a null array when there is no file, else the reason it cannot be used.
Result<QByteArray> readProfile(const QString &file)
{
    QFile in(file);
    if (!in.exists())
        return QByteArray();
    if (const Result<void> opened = OpenRegularFile(in); !opened)
        return Failure{opened.error()};
    QByteArray bytes = ReadAtMost(in, MaxSettingsFileSize);
    if (in.error() != QFile::NoError)
        return Failure{QStringLiteral("it cannot be read (%1)").arg(in.errorString())};
    if (bytes.size() > MaxSettingsFileSize)
        return Failure{QStringLiteral("it is larger than 1 MiB, too large for a settings file, "
                                      "and is left as it is")};
    if (bytes.isNull())
        bytes = QByteArray(""); // an empty file is a file
    return bytes;
}

} // namespace

QString GetINIString(const QString &section, const QString &key, const QString &defaultValue,
                     const QString &file)
{
    const Result<QByteArray> bytes = readProfile(file);
    if (!bytes || bytes->isNull())
        return limited(defaultValue);
    const ProfileText text(*bytes);
    const KeyPlace place = findKey(text, oneLine(section), oneLine(key));
    if (place.valueBegin < 0)
        return limited(defaultValue);
    return limited(unquoted(text.decode(
        QStringView(text.units).sliced(place.valueBegin, place.valueEnd - place.valueBegin))));
}

namespace {

// Sets (or, with nullopt, removes) one key in the text; false when nothing changed.
bool setKey(ProfileText &text, const QString &sectionName, const QString &keyName,
            const std::optional<QString> &value)
{
    const KeyPlace place = findKey(text, sectionName, keyName);
    if (!value) {
        if (place.valueBegin < 0)
            return false;
        text.units.remove(place.lineBegin, place.lineNext - place.lineBegin);
        return true;
    }
    const QString storedValue = text.encode(stored(oneLine(*value)));
    if (place.valueBegin >= 0) {
        const qsizetype length = place.valueEnd - place.valueBegin;
        if (QStringView(text.units).sliced(place.valueBegin, length) == storedValue)
            return false;
        text.units.replace(place.valueBegin, length, storedValue);
        return true;
    }
    const QString eol = text.lineEnd();
    const QString line = text.encode(keyName) + u'=' + storedValue;
    if (place.insertAt >= 0) {
        text.units.insert(place.insertAt, place.insertAfterLineEnd ? line + eol : eol + line);
        return true;
    }
    // A new section at the end, after an empty line, unless the file is empty.
    QStringView body = QStringView(text.units).sliced(text.start);
    QString added;
    if (!body.isEmpty()) {
        if (!isLineEnd(body.back()))
            added += eol;
        else
            body.chop(body.endsWith(u"\r\n") ? 2 : 1);
        qsizetype lastLine = body.size();
        while (lastLine > 0 && !isLineEnd(body[lastLine - 1]))
            --lastLine;
        if (!std::all_of(body.begin() + lastLine, body.end(), isBlank))
            added += eol;
    }
    text.units += added + u'[' + text.encode(sectionName) + u']' + eol + line + eol;
    return true;
}

} // namespace

QStringList GetINIStrings(const QString &section, const QStringList &keys, const QString &file)
{
    const Result<QByteArray> bytes = readProfile(file);
    const bool loaded = bytes && !bytes->isNull();
    const ProfileText text(loaded ? *bytes : QByteArray());
    const QString sectionName = oneLine(section);
    QStringList values;
    for (const QString &key : keys) {
        const KeyPlace place = loaded ? findKey(text, sectionName, oneLine(key)) : KeyPlace{};
        values << (place.valueBegin < 0
                       ? QString()
                       : unquoted(text.decode(
                             QStringView(text.units)
                                 .sliced(place.valueBegin, place.valueEnd - place.valueBegin))));
    }
    return values;
}

Result<void> WriteINIString(const QString &section, const QString &key, const QString &value,
                            const QString &file)
{
    return WriteINIStrings(section, {{key, value}}, file);
}

Result<void> WriteINIStrings(const QString &section, const INIValues &values, const QString &file)
{
    const auto failure = [&file](const QString &reason) {
        return Failure{QStringLiteral("Cannot save %1: %2.").arg(QuotedPath(file), reason)};
    };
    // A file that exists but cannot be read is left alone: writing it anew would lose
    // everything else it holds.
    const Result<QByteArray> bytes = readProfile(file);
    if (!bytes)
        return failure(bytes.error());
    ProfileText text(*bytes);
    const QString sectionName = oneLine(section);
    bool changed = false;
    for (const auto &[key, value] : values)
        changed = setKey(text, sectionName, oneLine(key), value) || changed;
    if (!changed)
        return {}; // nothing changes

    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath()))
        return failure(
            QStringLiteral("the folder %1 cannot be made").arg(QuotedPath(info.absolutePath())));
    return SaveFile(file, text.bytes());
}

QString LocateSettingsFile(const QString &programDir, const QString &userConfigDir)
{
    const QString fileName = QStringLiteral("tapewright.ini");
    const QDir program(programDir);
    // A file beside the program is read where it is, whoever put it there: moving the settings
    // would lose the choices of a user who had them there.
    if (QFileInfo::exists(program.filePath(fileName)) ||
        QFileInfo(program.filePath(QStringLiteral("template"))).isDir())
        return program.filePath(fileName);
    return QDir(userConfigDir).filePath(fileName);
}

QString DefaultSettingsFilePath()
{
    return LocateSettingsFile(QCoreApplication::applicationDirPath(),
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

} // namespace tapewright
