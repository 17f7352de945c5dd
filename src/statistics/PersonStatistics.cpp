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

IntensitySummary SummariseIntensity(const std::vector<const TCLTSession *> &sessions, int choice)
{
    IntensitySummary summary;
    double intensity = 0;
    double anxieties = 0;
    double compensations = 0;
    for (const TCLTSession *session : sessions) {
        if (!PositionsOfChoice(*session, choice))
            continue;
        const int value = session->AcIntensity[choice];
        if (value < 0 || value > IntensitySummary::MaxIntensity)
            continue;
        ++summary.N;
        ++summary.Distribution[value];
        intensity += value;
        anxieties += session->CountAnxieties(choice);
        compensations += session->CountCompensations(choice);
    }
    const double n = static_cast<double>(summary.N);
    const double none = std::numeric_limits<double>::quiet_NaN();
    summary.MeanIntensity = summary.N == 0 ? none : intensity / n;
    summary.MeanAnxieties = summary.N == 0 ? none : anxieties / n;
    summary.MeanCompensations = summary.N == 0 ? none : compensations / n;
    return summary;
}

std::vector<StimulusColours> CountStimulusColours(const std::vector<const TCLTSession *> &sessions)
{
    std::vector<StimulusColours> stimuli;
    std::unordered_map<std::string, std::size_t> index;
    for (const TCLTSession *session : sessions) {
        if (session->TestKind != KindRelations)
            continue;
        for (const TCTOChoiceItem &item : session->CtoItems) {
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
