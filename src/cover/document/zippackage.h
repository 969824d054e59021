// A zip package (an .odt or .docx) held in memory, read with limits that keep a hostile file
// from exhausting memory or time, and written back entry by entry.
#pragma once

#include "common/result.h"

#include <QByteArray>
#include <QString>

#include <ctime>
#include <string>
#include <vector>

namespace tapewright {

// One entry inflating beyond this is refused; no cover template part comes near it.
inline constexpr qint64 MaxZipEntrySize = 64 * 1024 * 1024;
// All entries together.
inline constexpr qint64 MaxZipPackageSize = 256 * 1024 * 1024;
inline constexpr qint64 MaxZipEntries = 10000;

struct ZipEntry
{
    std::string name;    // as stored, UTF-8
    QByteArray data;     // inflated
    bool stored = false; // kept without compression (ODF's mimetype must be)
    std::time_t mtime = 0;
};

struct ZipPackage
{
    std::vector<ZipEntry> entries;

    ZipEntry *find(const std::string &name);
    const ZipEntry *find(const std::string &name) const;
    // Adds the entry when absent; returns it either way. An entry whose name differs only in
    // case is taken for it, and renamed: a package read holds no two such names (they are
    // refused), and one written must not either.
    ZipEntry &findOrAdd(const std::string &name);
};

// Reads every entry of the zip held in bytes. A failure gives a reason (lower case, no file name,
// no final full stop), such as "it is not a zip package". Entries whose names differ only in
// case, and names that are absolute, hold a backslash or step up with "..", are refused as
// two entries of one name are.
Result<ZipPackage> ReadZipPackage(const QByteArray &bytes);

// Writes the entries in their order. A failure gives a reason as above.
Result<QByteArray> WriteZipPackage(const ZipPackage &package);

} // namespace tapewright
