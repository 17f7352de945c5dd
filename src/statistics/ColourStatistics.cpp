#include "statistics/ColourStatistics.h"

#include "statistics/Distributions.h"
#include "testing/TestKinds.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

StatisticsSession StatisticsSession::Of(const TCLTSession &session)
{
    return {session.TestKind, &session.Group, session.Figures(), &session};
}

std::vector<StatisticsSession> StatisticsSessionsOf(const std::vector<const TCLTSession *> &sessions)
{
    std::vector<StatisticsSession> viewed;
    viewed.reserve(sessions.size());
    for (const TCLTSession *session : sessions)
        viewed.push_back(StatisticsSession::Of(*session));
    return viewed;
}

std::optional<ColourPositions> PositionsOfChoice(const StatisticsSession &session, int choice)
{
    if (choice < 1 || choice > 2 || (choice == 2 && session.TestKind == KindEightOnce))
        return std::nullopt;
    ColourPositions positions{};
    const auto &tags = session.Figures.Choice[static_cast<std::size_t>(choice - 1)];
    for (int p = 1; p <= StatColours; ++p) {
        const int tag = tags[static_cast<std::size_t>(p - 1)];
        if (tag < 1 || tag > StatColours || positions[tag - 1] != 0)
            return std::nullopt;
        positions[tag - 1] = static_cast<std::uint8_t>(p);
    }
    return positions;
}

std::optional<ColourPositions> PositionsOfChoice(const TCLTSession &session, int choice)
{
    return PositionsOfChoice(StatisticsSession::Of(session), choice);
}

void PositionTable::Add(const ColourPositions &positions)
{
    ++N;
    for (int c = 0; c < StatColours; ++c)
        ++Counts[c][positions[c] - 1];
}

double PositionTable::Share(int colour, int position) const
{
    return N == 0 ? NaN : static_cast<double>(Counts[colour][position - 1]) / static_cast<double>(N);
}

PositionTable TabulatePositions(const std::vector<ColourPositions> &choices)
{
    PositionTable table;
    for (const ColourPositions &positions : choices)
        table.Add(positions);
    return table;
}

double QuantileOfCounts(const std::array<std::size_t, StatColours> &counts, double q)
{
    std::size_t n = 0;
    for (std::size_t count : counts)
        n += count;
    if (n == 0)
        return NaN;
    // The value at order statistic i (from 0).
    const auto valueAt = [&counts](std::size_t i) {
        for (int v = 0; v < StatColours; ++v) {
            if (i < counts[v])
                return v + 1.0;
            i -= counts[v];
        }
        return static_cast<double>(StatColours);
    };
    const double h = static_cast<double>(n - 1) * q;
    const auto below = static_cast<std::size_t>(std::floor(h));
    const double low = valueAt(below);
    if (below + 1 >= n)
        return low;
    return low + (h - static_cast<double>(below)) * (valueAt(below + 1) - low);
}

double QuantileOf(std::vector<double> &values, double q)
{
    if (values.empty())
        return NaN;
    std::sort(values.begin(), values.end());
    const double h = static_cast<double>(values.size() - 1) * q;
    const auto below = static_cast<std::size_t>(std::floor(h));
    if (below + 1 >= values.size())
        return values[below];
    return values[below] + (h - static_cast<double>(below)) * (values[below + 1] - values[below]);
}

std::array<ColourSummary, StatColours> SummariseColours(const PositionTable &table)
{
    std::array<ColourSummary, StatColours> summaries;
    for (int c = 0; c < StatColours; ++c) {
        ColourSummary &s = summaries[c];
        const auto &counts = table.Counts[c];
        s.Colour = c;
        s.N = table.N;
        double sum = 0;
        for (int p = 0; p < StatColours; ++p)
            sum += static_cast<double>(counts[p]) * (p + 1);
        const double n = static_cast<double>(table.N);
        s.MeanPosition = table.N == 0 ? NaN : sum / n;
        s.MedianPosition = QuantileOfCounts(counts, 0.5);
        s.LowerQuartile = QuantileOfCounts(counts, 0.25);
        s.UpperQuartile = QuantileOfCounts(counts, 0.75);
        s.InterquartileRange = s.UpperQuartile - s.LowerQuartile;
        s.PlusShare = table.N == 0 ? NaN : static_cast<double>(counts[0] + counts[1]) / n;
        s.MinusShare = table.N == 0 ? NaN : static_cast<double>(counts[6] + counts[7]) / n;
    }
    return summaries;
}

Agreement FriedmanAgreement(const PositionTable &table)
{
    Agreement result;
    result.N = table.N;
    if (table.N == 0) {
        result.Chi2 = result.P = result.KendallW = NaN;
        return result;
    }
    constexpr double k = StatColours;
    const double n = static_cast<double>(table.N);
    double squares = 0;
    for (int c = 0; c < StatColours; ++c) {
        double rankSum = 0;
        for (int p = 0; p < StatColours; ++p)
            rankSum += static_cast<double>(table.Counts[c][p]) * (p + 1);
        squares += rankSum * rankSum;
    }
    result.Chi2 = 12.0 / (n * k * (k + 1)) * squares - 3.0 * n * (k + 1);
    // Rounding can leave a tiny negative value for a group in perfect discord.
    result.Chi2 = std::max(result.Chi2, 0.0);
    result.P = ChiSquareSurvival(result.Chi2, k - 1);
    result.KendallW = result.Chi2 / (n * (k - 1));
    return result;
}
