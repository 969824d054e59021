// Packs one template folder (the XML parts kept as text in the repository) into an OpenDocument
// or Office Open XML package: tapewright-pack-template <output file> <source folder>
// [NAME=VALUE]... Each NAME=VALUE replaces @NAME@ in the parts, so that one folder gives the A4 and
// the Letter variant of a template; a part that still holds an @NAME@ afterwards is an error.
//
// The packages are reproducible: entries are added in a fixed order with a fixed time stamp, so
// an unchanged source gives a byte-identical template.
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
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

using Substitutions = std::map<std::string, std::string>;

// The first @NAME@ (upper-case letters, digits and _) left in text, or "".
std::string placeholderIn(const std::string &text)
{
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1)) {
        std::size_t end = at + 1;
        while (end < text.size() &&
               (std::isupper(static_cast<unsigned char>(text[end])) ||
                std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '_'))
            ++end;
        if (end > at + 1 && end < text.size() && text[end] == '@')
            return text.substr(at, end - at + 1);
    }
    return {};
}

bool readSubstituted(const fs::path &source, const Substitutions &substitutions, std::string *text)
{
    std::ifstream in(source, std::ios::binary);
    if (!in)
        return fail("cannot read " + source.string());
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    for (const auto &[name, value] : substitutions) {
        const std::string token = '@' + name + '@';
        for (std::size_t at = text->find(token); at != std::string::npos;
             at = text->find(token, at + value.size()))
            text->replace(at, token.size(), value);
    }
    if (const std::string left = placeholderIn(*text); !left.empty())
        return fail(source.string() + " holds " + left + ", which no NAME=VALUE replaces");
    return true;
}

bool pack(const fs::path &output, const fs::path &folder, const Substitutions &substitutions)
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
    std::deque<std::string> texts; // zip_close reads them, so they live until then
    zip_t *archive = zip_open(partial.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        return fail("cannot create " + partial.string());
    for (const std::string &name : names) {
        const fs::path source = folder / name;
        std::string &text = texts.emplace_back();
        if (!readSubstituted(source, substitutions, &text)) {
            zip_discard(archive);
            return false;
        }
        zip_source_t *data = zip_source_buffer(archive, text.data(), text.size(), 0);
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
    if (argc < 3) {
        std::fprintf(stderr, "usage: tapewright-pack-template <output file> <source folder> "
                             "[NAME=VALUE]...\n");
        return 2;
    }
    Substitutions substitutions;
    for (int i = 3; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos || equals == 0) {
            std::fprintf(stderr, "tapewright-pack-template: %s is not NAME=VALUE\n", argv[i]);
            return 2;
        }
        substitutions[argument.substr(0, equals)] = argument.substr(equals + 1);
    }
    return pack(argv[1], argv[2], substitutions) ? 0 : 1;
}
