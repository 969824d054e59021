#include "cover/document/zippackage.h"

#include <zip.h>

#include <QHash>

#include <memory>

namespace tapewright {

ZipEntry *ZipPackage::find(const std::string &name)
{
    for (ZipEntry &e : entries) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

const ZipEntry *ZipPackage::find(const std::string &name) const
{
    for (const ZipEntry &e : entries) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

ZipEntry &ZipPackage::findOrAdd(const std::string &name)
{
    const QString folded = QString::fromStdString(name).toCaseFolded();
    for (ZipEntry &e : entries) {
        if (e.name == name || QString::fromStdString(e.name).toCaseFolded() == folded) {
            e.name = name;
            return e;
        }
    }
    entries.push_back(ZipEntry{name, {}, false, std::time(nullptr)});
    return entries.back();
}

namespace {

struct ZipCloser
{
    void operator()(zip_t *z) const { zip_discard(z); }
};
struct ZipFileCloser
{
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};
struct ZipErrorHolder
{
    zip_error_t error;
    ZipErrorHolder() { zip_error_init(&error); }
    ~ZipErrorHolder() { zip_error_fini(&error); }
    ZipErrorHolder(const ZipErrorHolder &) = delete;
    ZipErrorHolder &operator=(const ZipErrorHolder &) = delete;
};

QString libzipReason(zip_error_t *error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

QString openReason(zip_error_t *error)
{
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("it is not a zip package");
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
        return QStringLiteral("it is a damaged zip package (%1)").arg(libzipReason(error));
    case ZIP_ER_MEMORY:
        return QStringLiteral("there is not enough memory to read it");
    default:
        return QStringLiteral("it cannot be read as a zip package (%1)").arg(libzipReason(error));
    }
}

QString entryName(const char *name)
{
    return QStringLiteral("“%1”").arg(QString::fromUtf8(name));
}

// Why a name cannot be a package's entry, or an empty text. Zip tools that unpack a package
// would write a name with a backslash, an absolute name or a ".." outside the folder they unpack
// into, and a package's parts are named with forward slashes from its root and never step up.
QString entryNameProblem(const std::string &name)
{
    if (name.find('\\') != std::string::npos)
        return QStringLiteral("the entry %1 names its folders with a backslash instead of “/”")
            .arg(entryName(name.c_str()));
    if (!name.empty() && name.front() == '/')
        return QStringLiteral("the entry %1 has an absolute name").arg(entryName(name.c_str()));
    if (('/' + name + '/').find("/../") != std::string::npos)
        return QStringLiteral("the name of the entry %1 leads out of the package with “..”")
            .arg(entryName(name.c_str()));
    return {};
}

} // namespace

Result<ZipPackage> ReadZipPackage(const QByteArray &bytes)
{
    ZipPackage package;
    ZipErrorHolder err;
    zip_source_t *source = zip_source_buffer_create(
        bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &err.error);
    if (!source)
        return Failure{openReason(&err.error)};
    std::unique_ptr<zip_t, ZipCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &err.error));
    if (!archive) {
        zip_source_free(source);
        return Failure{openReason(&err.error)};
    }

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0)
        return Failure{QStringLiteral("it is a damaged zip package")};
    if (count > MaxZipEntries)
        return Failure{
            QStringLiteral("it holds %1 zip entries, more than the %2 a document may have")
                .arg(count)
                .arg(MaxZipEntries)};

    qint64 total = 0;
    QHash<QString, std::string> names; // case-folded name -> the entry's name
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive.get(), index, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            return Failure{
                QStringLiteral("it is a damaged zip package (entry %1 cannot be read)").arg(i)};
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            return Failure{QStringLiteral("it is encrypted (password-protected); save it without a "
                                          "password")};
        // The declared size is checked first so that an honest bomb is refused before any
        // inflating; the reading loop below catches sizes that lie.
        if ((st.valid & ZIP_STAT_SIZE) && st.size > static_cast<zip_uint64_t>(MaxZipEntrySize))
            return Failure{QStringLiteral("its entry %1 inflates to more than %2 MiB")
                               .arg(entryName(st.name))
                               .arg(MaxZipEntrySize / (1024 * 1024))};

        if (const QString problem = entryNameProblem(st.name); !problem.isEmpty())
            return Failure{QStringLiteral("it is a damaged zip package (%1)").arg(problem)};
        // Which of two entries of one name a reader takes is anybody's guess, and no package can
        // be written with both. Names that differ only in case are one name to Word (package
        // part names are compared without case) and to the file systems of Windows and macOS.
        const QString folded = QString::fromUtf8(st.name).toCaseFolded();
        if (const auto seen = names.constFind(folded); seen == names.constEnd())
            names.insert(folded, st.name);
        else if (*seen == st.name)
            return Failure{QStringLiteral("it is a damaged zip package (it holds two entries "
                                          "named %1)")
                               .arg(entryName(st.name))};
        else
            return Failure{QStringLiteral("it is a damaged zip package (its entries %1 and %2 "
                                          "differ only in case)")
                               .arg(entryName(seen->c_str()), entryName(st.name))};
        ZipEntry entry;
        entry.name = st.name;
        entry.stored = (st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method == ZIP_CM_STORE;
        entry.mtime = (st.valid & ZIP_STAT_MTIME) ? st.mtime : 0;

        std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive.get(), index, 0));
        if (!file) {
            zip_error_t *e = zip_get_error(archive.get());
            if (zip_error_code_zip(e) == ZIP_ER_NOPASSWD ||
                zip_error_code_zip(e) == ZIP_ER_WRONGPASSWD)
                return Failure{
                    QStringLiteral("it is encrypted (password-protected); save it without a "
                                   "password")};
            return Failure{QStringLiteral("its entry %1 cannot be read (%2)")
                               .arg(entryName(st.name), libzipReason(e))};
        }
        constexpr qint64 chunk = 64 * 1024;
        for (;;) {
            const qint64 at = entry.data.size();
            entry.data.resize(at + chunk);
            const zip_int64_t got = zip_fread(file.get(), entry.data.data() + at, chunk);
            if (got < 0) {
                return Failure{
                    QStringLiteral("its entry %1 is damaged (%2)")
                        .arg(entryName(st.name), libzipReason(zip_file_get_error(file.get())))};
            }
            entry.data.resize(at + got);
            if (entry.data.size() > MaxZipEntrySize)
                return Failure{QStringLiteral("its entry %1 inflates to more than %2 MiB")
                                   .arg(entryName(st.name))
                                   .arg(MaxZipEntrySize / (1024 * 1024))};
            if (got == 0)
                break;
        }
        total += entry.data.size();
        if (total > MaxZipPackageSize)
            return Failure{QStringLiteral("its entries inflate to more than %1 MiB together")
                               .arg(MaxZipPackageSize / (1024 * 1024))};
        package.entries.push_back(std::move(entry));
    }
    return package;
}

Result<QByteArray> WriteZipPackage(const ZipPackage &package)
{
    QByteArray bytes;
    ZipErrorHolder err;
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &err.error);
    if (!buffer)
        return Failure{
            QStringLiteral("the package cannot be built (%1)").arg(libzipReason(&err.error))};
    // The buffer must outlive zip_close, which would otherwise free it with the archive.
    zip_source_keep(buffer);
    std::unique_ptr<zip_source_t, decltype(&zip_source_free)> bufferOwner(buffer, &zip_source_free);

    std::unique_ptr<zip_t, ZipCloser> archive(
        zip_open_from_source(buffer, ZIP_TRUNCATE, &err.error));
    if (!archive)
        return Failure{
            QStringLiteral("the package cannot be built (%1)").arg(libzipReason(&err.error))};

    for (const ZipEntry &e : package.entries) {
        zip_int64_t index;
        if (!e.name.empty() && e.name.back() == '/') {
            index = zip_dir_add(archive.get(), e.name.c_str(), ZIP_FL_ENC_GUESS);
        } else {
            zip_source_t *data = zip_source_buffer(archive.get(), e.data.constData(),
                                                   static_cast<zip_uint64_t>(e.data.size()), 0);
            if (!data)
                return Failure{QStringLiteral("the package cannot be built (%1)")
                                   .arg(libzipReason(zip_get_error(archive.get())))};
            index = zip_file_add(archive.get(), e.name.c_str(), data, ZIP_FL_ENC_GUESS);
            if (index < 0) {
                zip_source_free(data);
            } else {
                zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index),
                                         e.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
            }
        }
        if (index < 0)
            return Failure{
                QStringLiteral("the entry %1 cannot be written (%2)")
                    .arg(entryName(e.name.c_str()), libzipReason(zip_get_error(archive.get())))};
        if (e.mtime > 0)
            zip_file_set_mtime(archive.get(), static_cast<zip_uint64_t>(index), e.mtime, 0);
    }

    if (zip_close(archive.get()) != 0)
        return Failure{QStringLiteral("the package cannot be written (%1)")
                           .arg(libzipReason(zip_get_error(archive.get())))};
    (void)archive.release(); // zip_close freed it

    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(buffer, &st) != 0 || zip_source_open(buffer) != 0)
        return Failure{QStringLiteral("the written package cannot be read back")};
    bytes.resize(static_cast<qsizetype>(st.size));
    const zip_int64_t got = zip_source_read(buffer, bytes.data(), st.size);
    zip_source_close(buffer);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size)
        return Failure{QStringLiteral("the written package cannot be read back")};
    return bytes;
}

} // namespace tapewright
