#include "interpretation/KnowledgeBaseCheck.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

const char *kindName(int kind)
{
    static const char *const names[] = {
        "функциональная группа «+»",
        "функциональная группа «x»",
        "функциональная группа «=»",
        "функциональная группа «-»",
        "функциональная группа «+-»",
        "рекомендация при компенсации",
        "рекомендация при тревоге",
        "ахроматическая таблица",
        "таблица основных цветов",
        "синяя таблица",
        "зелёная таблица",
        "жёлтая таблица",
        "красная таблица",
        "пара тенденций куба",
    };
    return kind >= 1 && kind <= 14 ? names[kind - 1] : "";
}

// The texts a conclusion shows of an entry it finds, by the formatter that
// writes it (BriefEntryText and DetailedEntryText, BriefTableEntryText and
// DetailedTableEntryText, MarkEntryText).
struct ShownFields {
    const char *Where;
    std::vector<std::string TCLTOutcome::*> Fields;
};

std::vector<ShownFields> shownFields(int kind)
{
    const ShownFields eightColour{
        "в заключениях восьмицветового теста и теста цветовых отношений",
        {&TCLTOutcome::BriefText, &TCLTOutcome::PhysiologicalText, &TCLTOutcome::PsychologicalText}};
    const ShownFields table{"в заключениях полного теста",
                            {&TCLTOutcome::HeadingText, &TCLTOutcome::PrimaryActionText,
                             &TCLTOutcome::PsychologicallyText, &TCLTOutcome::SummaryText}};
    if (kind >= 1 && kind <= 5)
        return {eightColour, table};
    if (kind == 6 || kind == 7)
        return {{"в рекомендациях полного теста", {&TCLTOutcome::PsychologicallyText}}};
    if (kind >= 8 && kind <= 14)
        return {table};
    return {};
}

const char *fieldName(std::string TCLTOutcome::*member)
{
    for (const OutcomeTextField &field : OutcomeTextFields)
        if (field.Member == member)
            return field.Name;
    return "";
}

// One error per conclusion that shows empty texts of the entry, naming them.
void reportEmptyShownFields(std::size_t index, const TCLTOutcome &entry, std::vector<CheckFinding> &findings)
{
    for (const ShownFields &shown : shownFields(entry.Kind)) {
        std::string empty;
        std::size_t count = 0;
        for (const auto member : shown.Fields)
            if (IsBlank(entry.*member)) {
                empty += (empty.empty() ? "" : ", ") + std::string(fieldName(member));
                ++count;
            }
        if (count > 0)
            findings.push_back(
                {index,
                 true,
                 empty,
                 std::string(count == 1 ? "пустой текст, а его показывают " : "пустые тексты, а их показывают ")
                     + shown.Where,
                 FindingKind::EmptyShown,
                 {}});
    }
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
            report.Findings.push_back({i, true, problem.Field, problem.Message, FindingKind::Text, {}});
        if (ComparedKeyCount(entry.Kind) == 0) {
            std::string message = "вид " + std::to_string(entry.Kind) + " не запрашивает ни одно правило";
            if (entry.Kind == 15 || entry.Kind == -4)
                message += " (у него есть обозначение, но ни один поиск его не ищет)";
            report.Findings.push_back({i, true, "Kind", message, FindingKind::UnknownKind, {}});
            continue;
        }
        const EntryKeys keys = comparedKeys(entry);
        const auto [found, isFirst] = first.try_emplace({entry.Kind, keys}, i);
        if (!isFirst) {
            report.Findings.push_back({i, true, "",
                                       "те же вид и ключи, что у записи выше, а поиск всегда находит её первой",
                                       FindingKind::Shadowed, found->second});
            continue;
        }
        const auto question = questionOf.find({entry.Kind, keys});
        if (question == questionOf.end()) {
            report.Findings.push_back({i,
                                       false,
                                       "",
                                       "ни одно правило не запрашивает вид " + std::to_string(entry.Kind)
                                           + " с ключами " + KeysText(entry.Kind, keys)
                                           + ": запись никогда не будет показана",
                                       FindingKind::Unreachable,
                                       {}});
            continue;
        }
        reportEmptyShownFields(i, entry, report.Findings);
        const auto [answered, isAnswer] = answer.try_emplace({entry.Kind, question->second}, i);
        if (!isAnswer)
            report.Findings.push_back({i, false, "",
                                       "показывается вместе с записью выше для тех же сеансов (пара куба "
                                           + KeysText(entry.Kind, questions[entry.Kind][question->second].front())
                                           + ")",
                                       FindingKind::ShownTogether, answered->second});
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
