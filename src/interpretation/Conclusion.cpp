#include "interpretation/Conclusion.h"

#include "interpretation/EightColour.h"
#include "interpretation/Findings.h"
#include "interpretation/FullTestRules.h"
#include "interpretation/Relations.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

int DurationSecondsBetween(OleDate testStart, OleDate testEnd)
{
    const long long seconds = std::llabs(MillisecondsBetween(testStart, testEnd)) / 1000;
    // A clock set wildly wrong must not wrap into a negative duration.
    return seconds > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                         : static_cast<int>(seconds);
}

void FinishTestSession(TCLTSession &session, const TCLTKnowledgeBase &base, OleDate testStart, OleDate testEnd,
                       std::string_view decimalSeparator)
{
    // One separator for every text of the session, whichever part writes it.
    session.Context.DecimalSeparator = std::string(decimalSeparator);
    session.StartedAt = testStart;
    session.DurationSeconds = DurationSecondsBetween(testStart, testEnd);

    // Findings and groups both read the marks; the ranks need the complete choices.
    MarkAnxietyCompensation(session);
    session.AdditionalFindings = BuildAdditionalFindings(session, decimalSeparator);
    BuildFunctionGroups(session);
    FillAssociationRanks(session);

    switch (session.TestKind) {
    case 1:
    case 2:
        session.BriefConclusion = BuildBriefFunctionText(session, base, "");
        session.DetailedConclusion = BuildDetailedFunctionText(session, base, "", decimalSeparator);
        break;
    case 4:
        session.BriefConclusion = BuildBriefFunctionText(session, base, BuildBriefRelationsText(session));
        session.DetailedConclusion =
            BuildDetailedFunctionText(session, base, BuildDetailedRelationsText(session), decimalSeparator);
        break;
    case 3:
        // Both full-test texts read the cube results.
        ComputeCube(session);
        session.BriefConclusion = BuildFullTestBrief(session, base);
        session.DetailedConclusion = BuildFullTestDetailed(session, base, decimalSeparator);
        break;
    default:
        break;
    }
}

bool IsConclusionHeading(std::string_view line)
{
    const auto trimmed = [](std::string_view text) {
        while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
            text.remove_suffix(1);
        while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
            text.remove_prefix(1);
        return text;
    };
    const std::vector<std::string> headings = [&] {
        std::vector<std::string> all = FullTestSectionHeadings();
        for (int code = 1; code <= 5; ++code)
            all.emplace_back(trimmed(FunctionHeading(code)));
        return all;
    }();
    const std::string_view wanted = trimmed(line);
    return !wanted.empty() && std::find(headings.begin(), headings.end(), wanted) != headings.end();
}
