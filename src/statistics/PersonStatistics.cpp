#include "statistics/PersonStatistics.h"

#include "testing/TestKinds.h"

#include <cmath>
#include <limits>
#include <unordered_map>

double SpearmanRho(const ColourPositions &first, const ColourPositions &second)
{
    double squares = 0;
    for (int c = 0; c < StatColours; ++c) {
        const double d = static_cast<double>(first[c]) - static_cast<double>(second[c]);
        squares += d * d;
    }
    constexpr double n = StatColours;
    return 1.0 - 6.0 * squares / (n * (n * n - 1.0));
}

StabilitySummary SummariseStability(std::vector<double> rhos)
{
    StabilitySummary summary;
    summary.N = rhos.size();
    summary.Median = QuantileOf(rhos, 0.5);
    summary.LowerQuartile = QuantileOf(rhos, 0.25);
    summary.UpperQuartile = QuantileOf(rhos, 0.75);
    return summary;
}

IntensitySummary SummariseIntensity(const std::vector<StatisticsSession> &sessions, int choice)
{
    IntensitySummary summary;
    double intensity = 0;
    double anxieties = 0;
    double compensations = 0;
    const auto at = static_cast<std::size_t>(choice - 1);
    for (const StatisticsSession &session : sessions) {
        if (!PositionsOfChoice(session, choice))
            continue;
        const int value = session.Figures.Intensity[at];
        if (value < 0 || value > IntensitySummary::MaxIntensity)
            continue;
        ++summary.N;
        ++summary.Distribution[static_cast<std::size_t>(value)];
        intensity += value;
        anxieties += session.Figures.Anxieties[at];
        compensations += session.Figures.Compensations[at];
    }
    const double n = static_cast<double>(summary.N);
    const double none = std::numeric_limits<double>::quiet_NaN();
    summary.MeanIntensity = summary.N == 0 ? none : intensity / n;
    summary.MeanAnxieties = summary.N == 0 ? none : anxieties / n;
    summary.MeanCompensations = summary.N == 0 ? none : compensations / n;
    return summary;
}

IntensitySummary SummariseIntensity(const std::vector<const TCLTSession *> &sessions, int choice)
{
    return SummariseIntensity(StatisticsSessionsOf(sessions), choice);
}

std::vector<StimulusColours> CountStimulusColours(const std::vector<StatisticsSession> &sessions)
{
    std::vector<StimulusColours> stimuli;
    std::unordered_map<std::string, std::size_t> index;
    for (const StatisticsSession &session : sessions) {
        if (session.TestKind != KindRelations || !session.Whole)
            continue;
        for (const TCTOChoiceItem &item : session.Whole->CtoItems) {
            auto [at, added] = index.try_emplace(item.StimulusName, stimuli.size());
            if (added)
                stimuli.push_back(StimulusColours{item.StimulusName, 0, {}});
            StimulusColours &counts = stimuli[at->second];
            ++counts.N;
            for (int pass = 1; pass <= 2; ++pass) {
                const int colour = item.AssociatedColour[pass];
                if (colour >= 0 && colour < StatColours)
                    ++counts.Counts[pass - 1][colour];
            }
        }
    }
    return stimuli;
}

std::vector<StimulusColours> CountStimulusColours(const std::vector<const TCLTSession *> &sessions)
{
    return CountStimulusColours(StatisticsSessionsOf(sessions));
}
