// The settings reader on any file: no crash, values within their limit, and a write that
// changes the one key it names and nothing else a later read would see.
#include "common/settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

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

    // Writing Template changes Template and leaves the other keys as they read before.
    const QString value = QStringLiteral("Jewel Case é.odt");
    check(WriteINIString(section, keys[0], value, settingsFile()).ok());
    check(GetINIString(section, keys[0], fallback, settingsFile()) == value);
    for (std::size_t i = 1; i < keys.size(); ++i)
        check(GetINIString(section, keys[i], fallback, settingsFile()) == before[i]);
    return 0;
}
