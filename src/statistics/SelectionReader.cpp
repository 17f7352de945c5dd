#include "statistics/SelectionReader.h"

#include "core/SessionArchive.h"
#include "core/TSimpleFileStream.h"

#include <deque>

SelectedSession SelectedSession::Of(const TCLTSession &session)
{
    // Whole in memory: what the page sees may not be on disk yet.
    if (session.DetailsRead || session.SourceFile.empty()) {
        SelectedSession selected;
        selected.Context = session.Context;
        selected.Whole = std::make_shared<const TCLTSession>(session);
        selected.Origin = &session;
        return selected;
    }
    ListedRow row = RowOf(session);
    row.Held = nullptr; // read as a row: its file and the figures the list holds
    return Of(row);
}

SelectedSession SelectedSession::Of(const ListedRow &row)
{
    if (row.Held)
        return Of(*row.Held);
    SelectedSession selected;
    if (row.Context)
        selected.Context = *row.Context;
    selected.Path = row.Path;
    if (row.Figures) {
        selected.Figures = row.Figures;
        selected.TestKind = row.TestKind;
        selected.Group = row.Group;
    }
    return selected;
}

bool SelectedSession::operator==(const SelectedSession &other) const
{
    // The figures too: a file read again may hold other choices under its name.
    return Path == other.Path && Origin == other.Origin && Figures == other.Figures && Group == other.Group
        && TestKind == other.TestKind;
}

namespace {

// Keeps what the statistics read of a session: the choices, the marks and
// the associations; the long texts and the names go.
void keepFiguresOnly(TCLTSession &session)
{
    session.BriefConclusion.clear();
    session.BriefConclusion.shrink_to_fit();
    session.DetailedConclusion.clear();
    session.DetailedConclusion.shrink_to_fit();
    session.AdditionalFindings.clear();
    session.AdditionalFindings.shrink_to_fit();
    session.Surname.clear();
    session.FirstName.clear();
    session.Patronymic.clear();
    session.DisplayName.clear();
}

class Reader {
public:
    Reader(StatisticsProgress &progress, StatisticsResult &result) : progress(progress), result(result) {}

    // The sessions of the selection that could be read; nothing when stopped.
    // They view the selection, which must outlive them.
    std::optional<std::vector<StatisticsSession>> Read(const std::vector<SelectedSession> &selection)
    {
        std::vector<StatisticsSession> sessions;
        sessions.reserve(selection.size());
        // Progress is told before each file and every few thousand held
        // sessions: each tell is shared with the window's thread.
        std::size_t told = 0;
        for (std::size_t i = 0; i < selection.size(); ++i) {
            const SelectedSession &selected = selection[i];
            if ((!selected.Figures && !selected.Whole) || i % 4096 == 0) {
                progress.Done.fetch_add(i - told, std::memory_order_relaxed);
                told = i;
                if (progress.Cancel.load(std::memory_order_relaxed))
                    return std::nullopt;
            }
            if (selected.Figures)
                sessions.push_back({selected.TestKind, &selected.Group, *selected.Figures, nullptr});
            else if (selected.Whole)
                sessions.push_back(StatisticsSession::Of(*selected.Whole));
            else if (const TCLTSession *session = readFile(selected))
                sessions.push_back(StatisticsSession::Of(*session));
        }
        progress.Done.fetch_add(selection.size() - told, std::memory_order_relaxed);
        return sessions;
    }

private:
    const TCLTSession *readFile(const SelectedSession &selected)
    {
        TCLTSession &session = held.emplace_back();
        session.Context = selected.Context;
        bool read = false;
        try {
            read = ReadSessionFile(selected.Path, session, buffer);
        } catch (const StreamError &) {
            read = false;
        }
        if (!read) {
            held.pop_back();
            result.Unreadable.push_back(selected.Path);
            return nullptr;
        }
        keepFiguresOnly(session);
        return &session;
    }

    StatisticsProgress &progress;
    StatisticsResult &result;
    TSimpleFileStream buffer;
    std::deque<TCLTSession> held; // stable addresses as it grows
};

} // namespace

StatisticsResult ComputeStatistics(const StatisticsRequest &request, StatisticsProgress &progress)
{
    StatisticsResult result;
    progress.Total = request.First.size() + (request.Versus ? request.Versus->size() : 0);
    Reader reader(progress, result);
    const auto first = reader.Read(request.First);
    std::optional<std::vector<StatisticsSession>> versus;
    if (first && request.Versus)
        versus = reader.Read(*request.Versus);
    if (!first || (request.Versus && !versus)) {
        result.Cancelled = true;
        return result;
    }
    result.FirstRead = first->size();
    result.VersusRead = versus ? versus->size() : 0;
    result.Output = AnalyseSelection(*first, versus ? &*versus : nullptr, request.Choice);
    return result;
}
