#include "core/ResultsFilter.h"

bool MatchesFilter(const ListedRow &session, const ResultsFilter &filter)
{
    if (filter.TestIndex > 0 && filter.TestIndex != session.TestKind)
        return false;
    if (filter.GroupIndex > 0 && session.Group != filter.GroupText)
        return false;
    if (filter.SexIndex > 0 && filter.SexIndex != session.Sex)
        return false;
    if (filter.AgeLimited && (filter.AgeMin > session.Age || session.Age > filter.AgeMax))
        return false;
    return true;
}

bool MatchesFilter(const TCLTSession &session, const ResultsFilter &filter)
{
    return MatchesFilter(RowOf(session), filter);
}
