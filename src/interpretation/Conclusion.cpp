#include "Conclusion.h"

#include "EightColour.h"
#include "Findings.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#if __has_include("Relations.h")
#include "Relations.h"
#define PALETTOR_HAVE_RELATIONS 1
#endif
#if __has_include("FullTest.h")
#include "FullTest.h"
#define PALETTOR_HAVE_FULL_TEST 1
#endif

namespace {

// The relations and full-test rules live in their own files; these adapters
// keep the assembly independent of their exact parameter lists.
void FillRanks(TCLTSession &session)
{
#ifdef PALETTOR_HAVE_RELATIONS
    FillAssociationRanks(session);
#else
    (void)session;
#endif
}

std::string RelationsBrief(const TCLTSession &session, std::string_view decimalSeparator)
{
#ifdef PALETTOR_HAVE_RELATIONS
    (void)decimalSeparator;
    return BuildBriefRelationsText(session);
#else
    (void)session;
    (void)decimalSeparator;
    return {};
#endif
}

std::string RelationsDetailed(const TCLTSession &session, std::string_view decimalSeparator)
{
#ifdef PALETTOR_HAVE_RELATIONS
    return BuildDetailedRelationsText(session, decimalSeparator);
#else
    (void)session;
    (void)decimalSeparator;
    return {};
#endif
}

void WriteFullTestConclusions(TCLTSession &session, const TCLTKnowledgeBase &base, std::string_view decimalSeparator)
{
#ifdef PALETTOR_HAVE_FULL_TEST
    ComputeCube(session);
    session.BriefConclusion = BuildFullTestBrief(session, base);
    session.DetailedConclusion = BuildFullTestDetailed(session, base, decimalSeparator);
#else
    (void)session;
    (void)base;
    (void)decimalSeparator;
#endif
}

} // namespace

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
    session.StartedAt = testStart;
    session.DurationSeconds = DurationSecondsBetween(testStart, testEnd);

    // Findings and groups both read the marks; the ranks need the complete choices.
    MarkAnxietyCompensation(session);
    session.AdditionalFindings = BuildAdditionalFindings(session, decimalSeparator);
    BuildFunctionGroups(session);
    FillRanks(session);

    switch (session.TestKind) {
    case 1:
    case 2:
        session.BriefConclusion = BuildBriefFunctionText(session, base, "");
        session.DetailedConclusion = BuildDetailedFunctionText(session, base, "", decimalSeparator);
        break;
    case 4:
        session.BriefConclusion = BuildBriefFunctionText(session, base, RelationsBrief(session, decimalSeparator));
        session.DetailedConclusion =
            BuildDetailedFunctionText(session, base, RelationsDetailed(session, decimalSeparator), decimalSeparator);
        break;
    case 3:
        WriteFullTestConclusions(session, base, decimalSeparator);
        break;
    default:
        break;
    }
}
