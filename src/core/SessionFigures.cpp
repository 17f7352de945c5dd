#include "core/SessionFigures.h"

#include "core/TCLTSession.h"

#include <algorithm>
#include <limits>

namespace {

std::int8_t narrowed(int value)
{
    return static_cast<std::int8_t>(
        std::clamp<int>(value, std::numeric_limits<std::int8_t>::min(), std::numeric_limits<std::int8_t>::max()));
}

} // namespace

SessionFigures SessionFigures::Of(const TCLTSession &session)
{
    SessionFigures figures;
    for (int c = 1; c <= 2; ++c) {
        for (int p = 1; p <= 8; ++p)
            figures.Choice[c - 1][p - 1] = narrowed(session.Choice[c][p]);
        figures.Intensity[c - 1] = narrowed(session.AcIntensity[c]);
        figures.Anxieties[c - 1] = static_cast<std::uint8_t>(session.CountAnxieties(c));
        figures.Compensations[c - 1] = static_cast<std::uint8_t>(session.CountCompensations(c));
    }
    return figures;
}

bool SessionFigures::Suffice(const TCLTSession &session) { return session.CtoItems.Count() == 0; }
