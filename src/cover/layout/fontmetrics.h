// The widths of text in a font face as a word processor sets it: the face is found through
// fontconfig by family and style, the same way LibreOffice finds it, and its advance widths are
// read with FreeType unhinted, in font units, so that a width scales exactly with the type size.
#pragma once

#include <QString>
#include <QStringView>

#include <memory>

namespace tapewright {

struct FontFace
{
    QString family; // "Liberation Sans"
    bool bold = false;
    bool italic = false;

    friend bool operator==(const FontFace &, const FontFace &) = default;
};

class FontMetrics
{
public:
    // The face fontconfig chooses for face (its substitute when the family is not installed).
    // Faces are loaded once per process and kept; nullptr with *error set when no font can be
    // read at all.
    static std::shared_ptr<const FontMetrics> load(const FontFace &face, QString *error);

    ~FontMetrics();
    FontMetrics(const FontMetrics &) = delete;
    FontMetrics &operator=(const FontMetrics &) = delete;

    // The family of the font file actually used, and the file.
    QString family() const;
    QString fileName() const;

    // Advance widths in em (multiply by the type size for points). A character the face lacks
    // is set by the word processor from another font; it counts as one em, wider than most.
    double advance(char32_t c) const;
    double width(QStringView text) const;

private:
    struct Impl;
    explicit FontMetrics(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

} // namespace tapewright
