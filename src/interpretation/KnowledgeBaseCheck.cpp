#include "KnowledgeBaseCheck.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

const char *kindName(int kind)
{
    static const char *const names[] = {
        "\"+\" function group",
        "\"x\" function group",
        "\"=\" function group",
        "\"-\" function group",
        "\"+-\" function group",
        "compensation recommendation",
        "anxiety recommendation",
        "achromatic table",
        "main colours table",
        "blue table",
        "green table",
        "yellow table",
        "red table",
        "pair of cube tendencies",
    };
    return kind >= 1 && kind <= 14 ? names[kind - 1] : "";
}

EntryKeys comparedKeys(const TCLTOutcome &entry)
{
    const int compared = ComparedKeyCount(entry.Kind);
    EntryKeys keys{entry.Key1, entry.Key2, entry.Key3, entry.Key4};
    for (int k = compared; k < 4; ++k)
        keys[static_cast<std::size_t>(k)] = 0;
    return keys;
}

} // namespace

std::size_t KnowledgeBaseCheckReport::Errors() const
{
    return static_cast<std::size_t>(
        std::count_if(Findings.begin(), Findings.end(), [](const auto &f) { return f.Error; }));
}

std::size_t KnowledgeBaseCheckReport::Warnings() const { return Findings.size() - Errors(); }

std::size_t KnowledgeBaseCheckReport::Gaps(int firstKind, int lastKind) const
{
    std::size_t gaps = 0;
    for (const KindCoverage &kind : Kinds)
        if (kind.Kind >= firstKind && kind.Kind <= lastKind)
            gaps += kind.Missing.size();
    return gaps;
}

std::string KeysText(int kind, const EntryKeys &keys)
{
    std::string text;
    for (int k = 0; k < std::max(ComparedKeyCount(kind), 2); ++k)
        text += (k ? " " : "") + std::to_string(keys[static_cast<std::size_t>(k)]);
    return text;
}

KnowledgeBaseCheckReport CheckKnowledgeBase(const std::vector<KnowledgeBaseRecord> &records)
{
    KnowledgeBaseCheckReport report;
    // For every key the rules ask for, its question (kind, index).
    std::map<std::pair<int, EntryKeys>, std::size_t> questionOf;
    std::map<int, std::vector<std::vector<EntryKeys>>> questions;
    for (int kind = 1; kind <= 14; ++kind) {
        questions[kind] = QuestionsFor(kind);
        for (std::size_t q = 0; q < questions[kind].size(); ++q)
            for (const EntryKeys &keys : questions[kind][q])
                questionOf[{kind, keys}] = q;
    }
    // The entry every lookup of a kind and keys finds; the first entry
    // answering each question.
    std::map<std::pair<int, EntryKeys>, std::size_t> first;
    std::map<std::pair<int, std::size_t>, std::size_t> answer;

    for (std::size_t i = 0; i < records.size(); ++i) {
        const TCLTOutcome &entry = records[i].Entry;
        for (const FieldProblem &problem : EntryTextProblems(entry))
            report.Findings.push_back({i, true, problem.Field, problem.Message, true, {}});
        if (ComparedKeyCount(entry.Kind) == 0) {
            std::string message = "kind " + std::to_string(entry.Kind) + " is not looked up by any rule";
            if (entry.Kind == 15 || entry.Kind == -4)
                message += " (it has a designation but no lookup asks for it)";
            report.Findings.push_back({i, true, "Kind", message, false, {}});
            continue;
        }
        const EntryKeys keys = comparedKeys(entry);
        const auto [found, isFirst] = first.try_emplace({entry.Kind, keys}, i);
        if (!isFirst) {
            report.Findings.push_back({i, true, "",
                                       "same kind and keys as an earlier entry, which every lookup finds first", false,
                                       found->second});
            continue;
        }
        const auto question = questionOf.find({entry.Kind, keys});
        if (question == questionOf.end()) {
            report.Findings.push_back(
                {i,
                 false,
                 "",
                 "no rule asks for kind " + std::to_string(entry.Kind) + " with the keys " + KeysText(entry.Kind, keys),
                 false,
                 {}});
            continue;
        }
        const auto [answered, isAnswer] = answer.try_emplace({entry.Kind, question->second}, i);
        if (!isAnswer)
            report.Findings.push_back({i, false, "",
                                       "shown together with an earlier entry for the same sessions (cube pair "
                                           + KeysText(entry.Kind, questions[entry.Kind][question->second].front())
                                           + ")",
                                       false, answered->second});
    }

    for (int kind = 1; kind <= 14; ++kind) {
        KindCoverage coverage{kind, kindName(kind), questions[kind].size(), {}};
        for (std::size_t q = 0; q < questions[kind].size(); ++q)
            if (!answer.contains({kind, q}))
                coverage.Missing.push_back(questions[kind][q].front());
        report.Kinds.push_back(std::move(coverage));
    }
    return report;
}
