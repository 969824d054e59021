// The place of a show as the head of an info text writes it one field a line: a venue line, a
// city line, a line of both in either order, a date line whose remainder is the place.
#pragma once

#include "smart/infotext.h"

#include <QList>
#include <QStringView>

#include <optional>

namespace tapewright::smart {

// What one header line says of the place, read loosely: "Charlotte, North Carolina  Belk
// Theater", "Boston, Boston Music Hall", "Noblesville, IN, USA", "New Haven, Connecticut
// (Woolsey Hall)", "Maple Leaf Gardens" (a venue), "Nyon" (a city). Empty parts where the line
// says nothing of them.
PlaceParts ReadHeaderPlace(QStringView s);

// What the one-line header's place fields give: "Warfield, San Francisco, CA", "Oakland, CA",
// "Marseilles"; *withState says whether a state was among them.
std::optional<PlaceParts> PlaceOfFields(const QList<QStringView> &fields, bool *withState);

// Whether s names a venue: one of its words is a venue word ("Hall", "Theatre", "Gardens").
bool HasVenueWord(QStringView s);

} // namespace tapewright::smart
