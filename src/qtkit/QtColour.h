#pragma once

#include "testing/ColourTables.h"

#include <QColor>

// Stored colours (00BBGGRR) as Qt paints and picks them, and back.
inline QColor ToQColor(ColourValue value) { return QColor(RedOf(value), GreenOf(value), BlueOf(value)); }
inline ColourValue FromQColor(const QColor &colour) { return MakeColour(colour.red(), colour.green(), colour.blue()); }
