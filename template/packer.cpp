// Packs one template folder (the XML parts kept as text in the repository) into an OpenDocument
// or Office Open XML package: tapewright-pack-template <output file> <source folder>.
//
// The packages are reproducible: entries are added in a fixed order with a fixed time stamp, so
// an unchanged source gives a byte-identical template.
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// An OpenDocument reader recognises the package by "mimetype" as the very first entry, stored
// uncompressed, so that its text sits at a fixed offset. [Content_Types].xml leads an Office
// package by convention.
int orderOf(const std::string &name)
{
    if (name == "mimetype")
        return 0;
    if (name == "[Content_Types].xml")
        return 1;
    return 2;
}

bool fail(const std::string &what)
{
    std::fprintf(stderr, "tapewright-pack-template: %s\n", what.c_str());
    return false;
}

bool pack(const fs::path &output, const fs::path &folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file())
            names.push_back(fs::relative(it->path(), folder).generic_string());
    }
    if (ec)
        return fail("cannot read " + folder.string() + ": " + ec.message());
    if (names.empty())
        return fail(folder.string() + " holds no files");
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        return orderOf(a) != orderOf(b) ? orderOf(a) < orderOf(b) : a < b;
    });

    // Written beside the target and renamed at the end, so a failed run leaves no half package.
    const fs::path partial = output.string() + ".part";
    int error = 0;
    zip_t *archive = zip_open(partial.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        return fail("cannot create " + partial.string());
    for (const std::string &name : names) {
        const fs::path source = folder / name;
        // A length of -1 reads the file to its end.
        zip_source_t *data = zip_source_file(archive, source.string().c_str(), 0, -1);
        zip_int64_t index = data == nullptr ? -1
                                            : zip_file_add(archive, name.c_str(), data,
                                                           ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            if (data != nullptr)
                zip_source_free(data);
            const std::string message = zip_strerror(archive);
            zip_discard(archive);
            return fail("cannot add " + source.string() + ": " + message);
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 name == "mimetype" ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
        // 2000-01-01 00:00 in DOS time: any fixed stamp keeps the output reproducible.
        zip_file_set_dostime(archive, static_cast<zip_uint64_t>(index), 0, (20 << 9) | (1 << 5) | 1,
                             0);
    }
    if (zip_close(archive) != 0) {
        const std::string message = zip_strerror(archive);
        zip_discard(archive);
        fs::remove(partial, ec);
        return fail("cannot write " + output.string() + ": " + message);
    }
    fs::rename(partial, output, ec);
    if (ec)
        return fail("cannot write " + output.string() + ": " + ec.message());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tapewright-pack-template <output file> <source folder>\n");
        return 2;
    }
    return pack(argv[1], argv[2]) ? 0 : 1;
}
