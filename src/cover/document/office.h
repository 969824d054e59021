// LibreOffice, run headless for what the cover documents cannot do themselves: turning a legacy
// Word .doc template into OpenDocument, and a filled cover into a PDF.
#pragma once

#include "common/result.h"

#include <QString>

#include <optional>

namespace tapewright {

// How long one conversion may take.
inline constexpr int OfficeConversionTimeoutMs = 180 * 1000;

// The LibreOffice program on the PATH ("soffice"), or an empty text.
QString FindOfficeProgram();

// Converts inputPath with officeProgram to format ("pdf", "odt", "doc:MS Word 97") into outDir,
// where the result takes the input's base name: the converted file's path. Runs with a private,
// throw-away profile and waits at most timeoutMs. A failure gives the reason, to follow a colon
// ("LibreOffice did not finish within 180 seconds").
Result<QString> ConvertWithOffice(const QString &officeProgram, const QString &inputPath,
                                  const QString &format, const QString &outDir, int timeoutMs);

// Converts every one of inputPaths in one run of officeProgram, as ConvertWithOffice converts
// one: starting LibreOffice takes far longer than a cover's conversion. The inputs' base names
// must differ, or their results meet in outDir. A failure of the run as a whole (LibreOffice not
// started, not finished within timeoutMs) gives the reason, to follow a colon; a run that ends
// may still have left some inputs unconverted: OfficeConvertedPath tells where each one's result
// is, when it is there.
Result<void> ConvertAllWithOffice(const QString &officeProgram, const QStringList &inputPaths,
                                  const QString &format, const QString &outDir, int timeoutMs);
QString OfficeConvertedPath(const QString &inputPath, const QString &format, const QString &outDir);

// The .odt that LibreOffice makes of a legacy .doc template, converted once and kept in
// <cacheFolder>/converted under the template's path, size and time. officeProgram: LibreOffice,
// looked up on the PATH when unset, and only when the template is not converted yet; an empty
// one means it is not installed. A failure gives the reason, to follow a colon.
Result<QString> ConvertedLegacyTemplate(const QString &docPath, const QString &cacheFolder,
                                        const std::optional<QString> &officeProgram);

} // namespace tapewright
