#include "interpretation/KnowledgeBaseKeys.h"

#include "interpretation/EightColour.h"
#include "interpretation/FullTestRules.h"
#include "testing/ColourTables.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {

constexpr int ColourNumbers = 8; // 0 grey .. 7 black
constexpr int Greys = 5;         // achromatic tiles 1..5, keyed 0..4

// The cube pairs of kind 14: for every two shade positions i < j whose
// tendencies a, b can both take part at once, the four keys looked up for
// them (a b, b a, -a -b, -b -a), the pair as the session holds it first.
std::vector<std::vector<EntryKeys>> cubePairs()
{
    const auto wins = PossibleWinVectors();
    const auto takesPart = [](int tendency) { return tendency != 0 && tendency != UndeterminedScore; };
    // (a, b) and (-a, -b) are looked up together: one of them stands for both.
    std::set<std::pair<int, int>> pairs;
    for (int i = 1; i <= 3; ++i) {
        for (int j = i + 1; j <= 4; ++j) {
            // What one table can give the two positions together.
            std::set<std::pair<int, int>> columns;
            for (const auto &v : wins)
                columns.insert({v[static_cast<std::size_t>(i - 1)], v[static_cast<std::size_t>(j - 1)]});
            const std::vector<std::pair<int, int>> options(columns.begin(), columns.end());
            const std::size_t n = options.size();
            // Every choice for the blue, green, yellow and red tables.
            for (std::size_t combo = 0; combo < n * n * n * n; ++combo) {
                int countsI[4];
                int countsJ[4];
                std::size_t rest = combo;
                for (int t = 0; t < 4; ++t, rest /= n) {
                    countsI[t] = options[rest % n].first;
                    countsJ[t] = options[rest % n].second;
                }
                const int a = ShadeTendencyFor(i, ShadeScoreFromCounts(countsI));
                const int b = ShadeTendencyFor(j, ShadeScoreFromCounts(countsJ));
                if (takesPart(a) && takesPart(b))
                    pairs.insert(a > 0 ? std::pair{a, b} : std::pair{-a, -b});
            }
        }
    }
    std::vector<std::vector<EntryKeys>> questions;
    for (const auto &[a, b] : pairs)
        questions.push_back({{a, b, 0, 0}, {b, a, 0, 0}, {-a, -b, 0, 0}, {-b, -a, 0, 0}});
    return questions;
}

} // namespace

int ComparedKeyCount(int kind)
{
    if (kind >= 1 && kind <= 7)
        return 2;
    if (kind == 8)
        return 3;
    if (kind >= 9 && kind <= 13)
        return 4;
    if (kind == 14)
        return 2;
    return 0;
}

std::vector<std::array<int, 4>> PossibleWinVectors()
{
    std::set<std::array<int, 4>> vectors;
    for (int outcome = 0; outcome < 1 << 6; ++outcome) {
        std::array<int, 4> wins{};
        for (int pair = 1; pair <= 6; ++pair) {
            const auto [left, right] = PairOrder(pair);
            const int winner = (outcome >> (pair - 1)) & 1 ? right : left;
            ++wins[static_cast<std::size_t>(winner - 1)];
        }
        vectors.insert(wins);
    }
    return {vectors.begin(), vectors.end()};
}

std::vector<std::vector<EntryKeys>> QuestionsFor(int kind)
{
    if (kind == 14)
        return cubePairs();
    std::set<EntryKeys> keys;
    if (kind >= 1 && kind <= 5) {
        for (int first = 0; first < ColourNumbers; ++first)
            for (int second = 0; second < ColourNumbers; ++second)
                keys.insert({first, second, 0, 0});
    } else if (kind == 6 || kind == 7) {
        // A recommendation is looked up only for a colour that carries a
        // weight: an achromatic colour first (compensation), a main colour
        // last (anxiety).
        for (int colour = 0; colour < ColourNumbers; ++colour)
            if (kind == 6 ? IsAchromaticColour(colour) : IsMainColour(colour))
                keys.insert({colour, 0, 0, 0});
    } else if (kind == 8) {
        for (int a = 0; a < Greys; ++a)
            for (int b = 0; b < Greys; ++b)
                for (int c = 0; c < Greys; ++c)
                    if (a != b && a != c && b != c)
                        keys.insert({a, b, c, 0});
    } else if (kind >= 9 && kind <= 13) {
        for (const auto &v : PossibleWinVectors())
            keys.insert({v[0], v[1], v[2], v[3]});
    }
    std::vector<std::vector<EntryKeys>> questions;
    for (const EntryKeys &key : keys)
        questions.push_back({key});
    return questions;
}

std::vector<EntryKeys> KeysAskedFor(int kind)
{
    std::set<EntryKeys> keys;
    for (const auto &question : QuestionsFor(kind))
        keys.insert(question.begin(), question.end());
    return {keys.begin(), keys.end()};
}
