// Where the program finds the data it ships with.
#pragma once

#include <QString>

namespace tapewright {

// The cover templates: the folder "template" beside the program (a build tree, a portable copy)
// when it exists, else <prefix>/share/tapewright/template of an installed program in
// <prefix>/bin. The path is cleaned; the second one is returned even when it does not exist
// either, so that a message can name where the templates were looked for.
QString TemplateFolderFor(const QString &programDir);

} // namespace tapewright
