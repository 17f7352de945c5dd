#include "statistics/PersonHistory.h"

#include "statistics/PersonIdentity.h"
#include "statistics/StatisticsText.h"

#include <algorithm>
#include <cmath>

std::vector<const TCLTSession *> SessionsOfPerson(const std::vector<const TCLTSession *> &sessions,
                                                  const TCLTSession &person)
{
    const std::string key = PersonIdentityKey(person);
    std::vector<const TCLTSession *> same;
    for (const TCLTSession *session : sessions)
        if (PersonIdentityKey(*session) == key)
            same.push_back(session);
    return same;
}

PersonHistory TracePerson(std::vector<const TCLTSession *> sessions, int choice)
{
    std::stable_sort(sessions.begin(), sessions.end(),
                     [](const TCLTSession *a, const TCLTSession *b) { return a->StartedAt < b->StartedAt; });
    PersonHistory history;
    std::vector<double> own;
    const ColourPositions *previous = nullptr;
    history.Steps.reserve(sessions.size());
    for (const TCLTSession *session : sessions) {
        HistoryStep step;
        step.Session = session;
        const auto first = PositionsOfChoice(*session, 1);
        const auto second = PositionsOfChoice(*session, 2);
        if (first && second) {
            step.OwnRho = SpearmanRho(*first, *second);
            own.push_back(*step.OwnRho);
        }
        const int followedChoice = choice != 0 ? choice : second ? 2 : 1;
        const auto &followed = followedChoice == 2 ? second : first;
        step.Choice = followed ? followedChoice : 0;
        step.Positions = followed;
        if (step.Choice != 0) {
            const int intensity = session->AcIntensity[step.Choice];
            if (intensity >= 0 && intensity <= IntensitySummary::MaxIntensity)
                step.Intensity = intensity;
        }
        history.Steps.push_back(step);
    }
    for (HistoryStep &step : history.Steps) {
        if (!step.Positions)
            continue;
        if (previous)
            step.RhoToPrevious = SpearmanRho(*previous, *step.Positions);
        previous = &*step.Positions;
    }
    history.YardstickN = own.size();
    if (!own.empty())
        history.Yardstick = SummariseStability(std::move(own)).Median;
    return history;
}

std::string ChangeSentence(const PersonHistory &history, std::size_t index, const std::string &decimalSeparator)
{
    if (index >= history.Steps.size() || !history.Steps[index].RhoToPrevious)
        return {};
    std::size_t before = index;
    while (before-- > 0 && !history.Steps[before].Positions) {
    }
    const double rho = *history.Steps[index].RhoToPrevious;
    std::string text = "Сеанс " + std::to_string(index + 1) + " против сеанса " + std::to_string(before + 1)
        + ": ρ = " + FigureText(rho, 2, decimalSeparator);
    if (!history.Yardstick)
        return text + "; сравнить не с чем: нет сеанса с двумя выборами";
    const std::string yardstick = FigureText(*history.Yardstick, 2, decimalSeparator);
    // The same rounding as shown, so the words never contradict the figures.
    if (std::lround(rho * 100) < std::lround(*history.Yardstick * 100))
        return text
            + " — порядок цветов изменился больше, чем он обычно меняется у этого человека "
              "между двумя выборами одного сеанса (ρ = "
            + yardstick + ")";
    return text + " — изменение не больше, чем между двумя выборами одного сеанса (ρ = " + yardstick + ")";
}

std::string YardstickSentence(const PersonHistory &history, const std::string &decimalSeparator)
{
    if (!history.Yardstick)
        return "Ни в одном сеансе нет двух выборов, поэтому мерки для изменений нет: "
               "различия между сеансами можно описать, но не оценить.";
    return "Мерка изменений — сходство первого и второго выбора внутри одного сеанса у этого же человека: ρ = "
        + FigureText(*history.Yardstick, 2, decimalSeparator)
        + (history.YardstickN > 1 ? " (медиана; сеансов с двумя выборами: " + std::to_string(history.YardstickN) + ")"
                                  : "")
        + ". Изменение больше мерки может отражать перемену состояния, но о ее причинах ничего не говорит.";
}
