#include "cover/fill/filecoverdocument.h"

#include "common/productinfo.h"
#include "common/regularfile.h"
#include "common/savefile.h"
#include "common/textfile.h"
#include "cover/document/coverpackage.h"
#include "cover/document/office.h"
#include "cover/document/templateformats.h"
#include "cover/layout/coverlayout.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace tapewright {

namespace {

const QString NotOpen = QStringLiteral("No cover template is open.");

// The template file's bytes, or why it cannot be used.
Result<QByteArray> readTemplate(const QString &file)
{
    QFile f(file);
    if (!f.exists())
        return Failure{QStringLiteral("the file does not exist")};
    if (const Result<void> opened = OpenRegularFile(f); !opened)
        return Failure{opened.error()};
    const QString tooLarge =
        QStringLiteral("it is larger than %1 MiB").arg(MaxTemplateFileSize / (1024 * 1024));
    if (f.size() > MaxTemplateFileSize)
        return Failure{tooLarge};
    QByteArray bytes = ReadAtMost(f, MaxTemplateFileSize);
    if (f.error() != QFileDevice::NoError)
        return Failure{QStringLiteral("it cannot be read (%1)").arg(f.errorString())};
    if (bytes.size() > MaxTemplateFileSize) // grew since its size was asked
        return Failure{tooLarge};
    return bytes;
}

} // namespace

FileCoverDocument::FileCoverDocument(FileCoverOptions options) : m_options(std::move(options)) {}

FileCoverDocument::~FileCoverDocument() = default;

Result<void> FileCoverDocument::start()
{
    return {};
}

Result<void> FileCoverDocument::open(const QString &path)
{
    m_package.reset();
    m_path = path;
    const auto failure = [&path](const QString &reason) {
        return Failure{
            QStringLiteral("Cannot use the template %1: %2.").arg(QuotedPath(path), reason)};
    };

    const TemplateFormat *format = TemplateFormatOf(path);
    if (!format)
        return failure(QStringLiteral("%1 fills OpenDocument (%2) and Word (%3) templates, and "
                                      "this file is neither")
                           .arg(QString::fromUtf16(ProductName),
                                FormatExtensions(FormatFamily::OpenDocument).join(u", "),
                                FormatExtensions(FormatFamily::OfficeOpenXml).join(u", ")));
    QString file = path;
    if (format->family == FormatFamily::LegacyWord) {
        const Result<QString> converted =
            ConvertedLegacyTemplate(path, m_options.cacheFolder, m_options.officeProgram);
        if (!converted)
            return failure(converted.error());
        file = *converted;
    }
    const Result<QByteArray> bytes = readTemplate(file);
    if (!bytes)
        return failure(bytes.error());
    std::unique_ptr<CoverPackage> package = CoverPackage::forFamily(format->family);
    if (const Result<void> loaded = package->load(*bytes); !loaded)
        return failure(loaded.error());
    if (package->bookmarkCount() > static_cast<std::size_t>(MaxCoverBookmarks))
        return failure(QStringLiteral("it holds %1 bookmarks, more than the %2 a cover template "
                                      "may have")
                           .arg(package->bookmarkCount())
                           .arg(MaxCoverBookmarks));
    // Whether a template that names a layout has its shape is asked of the template as it
    // stands: the filling may blur what is wrong (a bookmark stretched over others takes them
    // with it when it is filled).
    m_layoutProblem.clear();
    if (const QString layout = package->layoutName(); IsKnownLayout(layout)) {
        package->readMainPart([&](const pugi::xml_document &part, const XmlNames &names) {
            m_layoutProblem = LayoutShapeProblem(layout, part, names);
        });
    }
    m_package = std::move(package);
    return {};
}

Result<void> FileCoverDocument::setZoom(int percent)
{
    if (!m_package)
        return Failure{NotOpen};
    if (percent < 10 || percent > 500)
        return Failure{
            QStringLiteral("A zoom of %1 percent is outside 10 to 500 percent.").arg(percent)};
    if (const Result<void> zoomed = m_package->setZoom(percent); !zoomed)
        return Failure{QStringLiteral("Cannot set the zoom of %1: %2.")
                           .arg(QuotedPath(m_path), zoomed.error())};
    return {};
}

Result<void> FileCoverDocument::lookUpBookmark(const QString &name)
{
    if (!m_package)
        return Failure{NotOpen};
    if (!m_package->hasBookmark(name))
        return Failure{QStringLiteral("The template %1 has no bookmark named “%2”.")
                           .arg(QuotedPath(m_path), name)};
    return {};
}

Result<void> FileCoverDocument::scrollIntoView(const QString &name)
{
    return lookUpBookmark(name);
}

Result<void> FileCoverDocument::setBookmarkText(const QString &name, const QString &text)
{
    if (Result<void> found = lookUpBookmark(name); !found)
        return found;
    if (const Result<void> set = m_package->setBookmarkText(name, text); !set)
        return Failure{QStringLiteral("Cannot fill the bookmark “%1” of %2: %3.")
                           .arg(name, QuotedPath(m_path), set.error())};
    return {};
}

QString FileCoverDocument::fitLayout()
{
    if (!m_package)
        return {};
    const QString layout = m_package->layoutName();
    if (!IsKnownLayout(layout))
        return {};
    LayoutFit fit;
    fit.misshapen = m_layoutProblem;
    if (fit.misshapen.isEmpty()) {
        m_package->editMainPart([&](pugi::xml_document &part, const XmlNames &names) {
            fit = FitLayoutType(layout, part, names);
        });
    }
    return LayoutFitNotice(fit, layout, QFileInfo(m_path).fileName());
}

Result<void> FileCoverDocument::saveAs(const QString &path)
{
    if (!m_package)
        return Failure{NotOpen};
    if (QFileInfo(path).suffix().compare(u"pdf", Qt::CaseInsensitive) == 0)
        return writePdf(path);
    const TemplateFormat &document = m_package->format(PackageKind::Document);
    const TemplateFormat &templ = m_package->format(PackageKind::Template);
    const TemplateFormat *format = TemplateFormatOf(path);
    if (format != &document && format != &templ)
        return Failure{QStringLiteral("Cannot write the cover %1: a cover made from %2 is saved "
                                      "as .%3 or .%4.")
                           .arg(QuotedPath(path), QuotedPath(QFileInfo(m_path).fileName()),
                                QString::fromUtf16(document.extension),
                                QString::fromUtf16(templ.extension))};
    const QFileInfo source(m_path);
    const QFileInfo target(path);
    if (target.exists() && source.exists() &&
        target.canonicalFilePath() == source.canonicalFilePath())
        return Failure{QStringLiteral("Cannot write the cover over its own template %1.")
                           .arg(QuotedPath(path))};
    return writeFile(path, format->kind);
}

QStringList FileCoverDocument::bookmarkNames() const
{
    return m_package ? m_package->bookmarkNames() : QStringList();
}

std::optional<QString> FileCoverDocument::bookmarkText(const QString &name) const
{
    return m_package ? m_package->bookmarkText(name) : std::nullopt;
}

Result<void> FileCoverDocument::writeFile(const QString &target, PackageKind kind)
{
    const Result<QByteArray> bytes = m_package->save(kind);
    if (!bytes)
        return Failure{QStringLiteral("Cannot write the cover %1: %2.")
                           .arg(QuotedPath(target), bytes.error())};
    return SaveFile(target, *bytes);
}

Result<void> FileCoverDocument::writePdf(const QString &target)
{
    const QString office = m_options.officeProgram ? *m_options.officeProgram : FindOfficeProgram();
    if (office.isEmpty())
        return Failure{QStringLiteral("Cannot write %1: writing a PDF needs LibreOffice (soffice), "
                                      "which is not installed.")
                           .arg(QuotedPath(target))};
    QTemporaryDir work;
    if (!work.isValid())
        return Failure{QStringLiteral("Cannot write %1: no temporary folder could be made.")
                           .arg(QuotedPath(target))};
    const QString filled =
        work.filePath(QStringLiteral("cover.") +
                      QString::fromUtf16(m_package->format(PackageKind::Document).extension));
    if (Result<void> written = writeFile(filled, PackageKind::Document); !written)
        return written;
    const Result<QString> pdf = ConvertWithOffice(office, filled, QStringLiteral("pdf"),
                                                  work.path(), OfficeConversionTimeoutMs);
    if (!pdf)
        return Failure{QStringLiteral("Cannot write %1: %2.").arg(QuotedPath(target), pdf.error())};
    QFile printed(*pdf);
    const QByteArray bytes = printed.open(QIODevice::ReadOnly) ? printed.readAll() : QByteArray();
    if (bytes.isEmpty())
        return Failure{
            QStringLiteral("Cannot write %1: the PDF LibreOffice printed cannot be read.")
                .arg(QuotedPath(target))};
    return SaveFile(target, bytes);
}

} // namespace tapewright
