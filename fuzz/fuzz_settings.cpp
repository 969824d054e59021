// The settings reader on any file: no crash, values within their limit, and a write that
// changes the one key it names and nothing else a later read would see: it removes no line end
// of the file (it changes one line, or adds lines), and done again it changes nothing.
#include "common/settings.h"
#include "common/textfile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tapewright;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// One folder for the whole run: a fresh one per input would cost more than the read itself.
const QString &settingsFile()
{
    // In memory where the system has it: every input is written and saved (with an fsync),
    // and a disk would set the pace.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/tapewright-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/tapewright-fuzz-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("tapewright.ini"));
    return path;
}

void writeFile(const QByteArray &bytes)
{
    QFile f(settingsFile());
    check(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
}

QByteArray readFile()
{
    QFile f(settingsFile());
    check(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// What a write took out of the file (between the part both begin with and the part both end
// with) held no line end. In UTF-16 a line end is a unit, not a byte.
void checkOneLine(const QByteArray &before, const QByteArray &after)
{
    const qsizetype most = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < most && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < most - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const QByteArray removed = before.mid(head, before.size() - head - tail);
    switch (DecodeTextFile(before).encoding) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
    case TextEncoding::Utf16LENoBom:
    case TextEncoding::Utf16BENoBom:
        return;
    default:
        check(!removed.contains('\r') && !removed.contains('\n'));
    }
}

// Writes value and checks what every write promises.
void write(const QString &section, const QString &key, const QString &value)
{
    const QByteArray before = readFile();
    check(WriteINIString(section, key, value, settingsFile()).ok());
    check(GetINIString(section, key, QString(), settingsFile()) == value);
    const QByteArray after = readFile();
    checkOneLine(before, after);
    check(WriteINIString(section, key, value, settingsFile()).ok());
    check(readFile() == after);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    writeFile(bytes);
    const QString section = QString::fromUtf16(SettingsSection);
    const QString fallback = QStringLiteral("(default)");
    static const std::array<QString, 4> keys = {
        QStringLiteral("Template"), QStringLiteral("PrintCollectionName"),
        QStringLiteral("UserName"), QStringLiteral("username")};

    std::array<QString, keys.size()> before;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        before[i] = GetINIString(section, keys[i], fallback, settingsFile());
        check(before[i].size() <= 99);
        check(before[i].isEmpty() || !before[i].back().isHighSurrogate());
    }
    // Reading is pure: the same file gives the same value.
    check(GetINIString(section, keys[0], fallback, settingsFile()) == before[0]);
    // A key of another section, from the input itself, reads without harm.
    (void)GetINIString(QString::fromLatin1(bytes.left(8)), QString::fromLatin1(bytes.mid(8, 8)),
                       fallback, settingsFile());

    // Writing Template changes Template and leaves the other keys as they read before; so does
    // a key of another section, which may be new. A value a read would trim is kept whole.
    const QString value = QStringLiteral(" Jewel Case é.odt");
    write(section, keys[0], value);
    for (std::size_t i = 1; i < keys.size(); ++i)
        check(GetINIString(section, keys[i], fallback, settingsFile()) == before[i]);
    write(QStringLiteral("Window"), QStringLiteral("Width"), QStringLiteral("640"));
    check(GetINIString(section, keys[0], fallback, settingsFile()) == value);
    return 0;
}
