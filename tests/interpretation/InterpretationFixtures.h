#pragma once

#include "core/TCLTOutcome.h"
#include "core/TCLTSession.h"
#include "support/SessionBuilder.h"

#include <array>
#include <string>
#include <tuple>
#include <vector>

// Sessions and knowledge bases written by colour numbers, as the rules read them.
using Colours = std::array<int, 8>;

inline std::array<int, 8> Tags(const Colours &colours)
{
    std::array<int, 8> tags{};
    for (std::size_t p = 0; p < 8; ++p)
        tags[p] = colours[p] + 1;
    return tags;
}

using Group = std::tuple<int, int, int>; // code, first colour, second colour

inline std::vector<Group> GroupsOf(const TCLTSession &session)
{
    std::vector<Group> groups;
    for (const auto &g : session.FunctionGroups)
        groups.emplace_back(g.FunctionCode, g.FirstColour, g.SecondColour);
    return groups;
}

inline std::array<int, 8> Row(const OneBased<int, 8> &row)
{
    std::array<int, 8> values{};
    for (int p = 1; p <= 8; ++p)
        values[static_cast<std::size_t>(p - 1)] = row[p];
    return values;
}

inline TCLTOutcome &AddEntry(TCLTKnowledgeBase &base, int kind, int key1, int key2, const std::string &brief)
{
    auto &entry = base.AddNew();
    entry.Kind = kind;
    entry.Key1 = key1;
    entry.Key2 = key2;
    entry.BriefText = brief;
    return entry;
}

// Test names from the cases' own names ("main at 6 only" -> main_at_6_only).
struct CaseName {
    template <typename Info>
    std::string operator()(const Info &info) const
    {
        std::string name = info.param.name;
        for (char &c : name)
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
                c = '_';
        return name;
    }
};

// The headings of the five function sections, as the detailed text shows them.
inline const std::string HeadingPlus =
    "\r\nЖелаемые цели, или Поведение, руководимое желаемыми целями (\"+\"-функция):\r\n";
inline const std::string HeadingX =
    "\r\nСуществующая ситуация, или Поведение, уместное в существующей ситуации (\"x\"-функция):\r\n";
inline const std::string HeadingEq =
    "\r\nСдерживаемые свойства, или Поведение, неуместное в существующей ситуации (\"=\"-функция):\r\n";
inline const std::string HeadingMinus =
    "\r\nОтвергаемые или подавляемые свойства или Свойства, имеющие тревожную нагрузку "
    "(\"-\"-функция):\r\n";
inline const std::string HeadingTension =
    "\r\n\"Актуальная проблема\" или Поведение, являющееся следствием стресса (\"+-\"-функция):\r\n";
