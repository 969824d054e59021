// Why smart recognition reads a text as it does: each line's kind and the rule that gave it,
// each field's candidates in the order they are weighed and which won, and each disc's tracks
// with the lines they came from. What tapewright-cli convert --smart --explain prints: how a
// misread text is put right, and what a user sends with it.
#pragma once

#include "convert/convertinfotext.h"

#include <QString>
#include <QStringView>

namespace tapewright::smart {

// The explanation of the show RecogniseInfoText reads from infoText, as text, a line a finding.
QString ExplainInfoText(const QString &infoText, const ConvertOptions &options = {});

} // namespace tapewright::smart
