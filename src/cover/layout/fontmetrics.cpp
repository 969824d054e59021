#include "cover/layout/fontmetrics.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <array>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace tapewright {

namespace {

// Latin text is read from a table filled when the face is loaded; anything else is asked of
// FreeType once and remembered.
constexpr char32_t TableSize = 0x250;
constexpr double MissingGlyphEm = 1.0;

struct Library
{
    std::mutex mutex;
    FT_Library freetype = nullptr;
    bool failed = false;
    std::vector<std::pair<FontFace, std::shared_ptr<const FontMetrics>>> faces;
};

Library &library()
{
    // Fonts stay loaded for the life of the process: covers are made again and again with the
    // same few faces, and fontconfig's start-up is the slow part.
    static Library lib;
    return lib;
}

// The file and face index fontconfig matches for face, as LibreOffice would ask for it.
bool matchFont(const FontFace &face, QByteArray *file, int *index)
{
    FcPattern *pattern = FcPatternCreate();
    const QByteArray family = face.family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, face.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, face.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr)
        return false;
    FcChar8 *path = nullptr;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found) {
        *file = QByteArray(reinterpret_cast<const char *>(path));
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch)
            *index = 0;
    }
    FcPatternDestroy(match);
    return found;
}

} // namespace

struct FontMetrics::Impl
{
    FT_Face face = nullptr;
    double unitsPerEm = 1000;
    QString family;
    QString fileName;
    std::array<float, TableSize> table{};
    mutable std::mutex mutex; // guards the face and the map for characters outside the table
    mutable std::unordered_map<char32_t, float> others;

    ~Impl()
    {
        if (face != nullptr)
            FT_Done_Face(face);
    }

    // Unhinted advance in font units, scaled to em; guarded by the caller.
    float lookUp(char32_t c) const
    {
        const FT_UInt glyph = FT_Get_Char_Index(face, c);
        FT_Fixed advance = 0;
        if (glyph == 0 || FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE, &advance) != 0)
            return float(MissingGlyphEm);
        return float(double(advance) / unitsPerEm);
    }
};

FontMetrics::FontMetrics(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

FontMetrics::~FontMetrics() = default;

std::shared_ptr<const FontMetrics> FontMetrics::load(const FontFace &face, QString *error)
{
    Library &lib = library();
    const std::lock_guard lock(lib.mutex);
    for (const auto &[known, metrics] : lib.faces) {
        if (known == face)
            return metrics;
    }
    if (lib.freetype == nullptr && !lib.failed)
        lib.failed = FT_Init_FreeType(&lib.freetype) != 0;
    if (lib.failed) {
        *error = QStringLiteral("the font library FreeType cannot be started");
        return nullptr;
    }

    QByteArray file;
    int index = 0;
    if (!matchFont(face, &file, &index)) {
        *error = QStringLiteral("no font is installed for “%1”").arg(face.family);
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->fileName = QString::fromUtf8(file);
    if (FT_New_Face(lib.freetype, file.constData(), index, &impl->face) != 0) {
        impl->face = nullptr;
        *error = QStringLiteral("the font file “%1” cannot be read").arg(impl->fileName);
        return nullptr;
    }
    impl->unitsPerEm = impl->face->units_per_EM > 0 ? impl->face->units_per_EM : 1000;
    impl->family = QString::fromUtf8(impl->face->family_name ? impl->face->family_name : "");
    for (char32_t c = 0; c < TableSize; ++c)
        impl->table[c] = impl->lookUp(c);

    auto metrics = std::shared_ptr<const FontMetrics>(new FontMetrics(std::move(impl)));
    lib.faces.emplace_back(face, metrics);
    return metrics;
}

QString FontMetrics::family() const
{
    return d->family;
}

QString FontMetrics::fileName() const
{
    return d->fileName;
}

double FontMetrics::advance(char32_t c) const
{
    if (c < TableSize)
        return d->table[c];
    const std::lock_guard lock(d->mutex);
    const auto it = d->others.find(c);
    if (it != d->others.end())
        return it->second;
    const float em = d->lookUp(c);
    d->others.emplace(c, em);
    return em;
}

double FontMetrics::width(QStringView text) const
{
    double em = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        em += advance(c);
    }
    return em;
}

} // namespace tapewright
