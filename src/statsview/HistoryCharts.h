#pragma once

#include "statistics/PersonHistory.h"
#include "statsview/StatisticsCharts.h"

#include <QStringList>

// The charts of one person's history, painted by one routine whatever the
// device (the window, a PNG, the printer, the PDF). Sessions run left to
// right in the history's order; `labels` names them under the axis (one per
// step, fewer leaves the rest unnamed).

// Each colour's position (1 at the top .. 8) across the sessions: a line in
// the colour's own swatch colour, broken where a session has no choice.
void PaintColourTrack(QPainter &painter, const QRectF &area, const PersonHistory &history,
                      const SwatchColours &swatches, const QStringList &labels);

// Intensity of anxiety and compensation (0..12) across the sessions, a bar a
// session; none where it is not known.
void PaintIntensityTrack(QPainter &painter, const QRectF &area, const PersonHistory &history,
                         const QStringList &labels);
