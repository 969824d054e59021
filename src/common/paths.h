// Where the program finds the data it ships with, and the names of the files it derives.
#pragma once

#include <QString>

namespace tapewright {

// The cover templates: the folder "template" beside the program (a build tree, a portable copy)
// when it exists, else <prefix>/share/tapewright/template of an installed program in
// <prefix>/bin. The path is cleaned; the second one is returned even when it does not exist
// either, so that a message can name where the templates were looked for.
QString TemplateFolderFor(const QString &programDir);

// The track list XML's name for an info file: its path with the extension of its name replaced
// by "xml", or ".xml" appended when the name has none ("show.txt" gives "show.xml", "readme"
// gives "readme.xml"). The main window proposes it; tapewright-cli --out-dir writes it.
QString ProposedXmlFileName(const QString &infoFileName);

} // namespace tapewright
