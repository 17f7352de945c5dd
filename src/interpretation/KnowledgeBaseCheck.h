#pragma once

#include "core/KnowledgeBaseFile.h"
#include "interpretation/KnowledgeBaseKeys.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What a knowledge base covers of the keys the rules ask for, and what in it
// can never be shown as written.

struct KindCoverage {
    int Kind = 0;
    std::string Name;               // "функциональная группа «+»", "синяя таблица"...
    std::size_t Asked = 0;          // questions the rules can ask (QuestionsFor)
    std::vector<EntryKeys> Missing; // the first key of each question no entry answers
};

enum class FindingKind {
    Text,          // a text the file cannot hold as given
    UnknownKind,   // a kind no lookup asks for
    Shadowed,      // same kind and compared keys as an earlier entry
    Unreachable,   // keys no session can ask for
    ShownTogether, // a cube pair answered by a second entry
    EmptyShown,    // a text a conclusion shows is empty
};

struct CheckFinding {
    std::size_t Entry = 0; // 0-based index of the record
    bool Error = true;     // false: a warning
    std::string Field;     // empty for the entry as a whole; "A, B" for several
    std::string Message;
    FindingKind What = FindingKind::Text;
    std::optional<std::size_t> Earlier; // the earlier entry the finding is about
};

struct KnowledgeBaseCheckReport {
    std::vector<KindCoverage> Kinds;    // 1 to 14
    std::vector<CheckFinding> Findings; // in entry order

    std::size_t Errors() const;
    std::size_t Warnings() const;
    std::size_t Gaps(int firstKind = 1, int lastKind = 14) const;
};

// Errors: kinds no rule looks up, entries shadowed by an earlier one with the
// same kind and compared keys, texts the file cannot hold (over 255 bytes in
// a short text, characters with no Windows-1251 byte), and empty texts that a
// conclusion shows of an entry it can find: for kinds 1 to 5 BriefText,
// PhysiologicalText, PsychologicalText (eight-colour tests) and HeadingText,
// PrimaryActionText, PsychologicallyText, SummaryText (full test); for kinds
// 6 and 7 PsychologicallyText; for kinds 8 to 14 the four full-test texts.
// Warnings: keys of a known kind that no rule ever asks for, and a cube-pair
// entry shown together with an earlier one for the same sessions (say a b
// beside -a -b).
KnowledgeBaseCheckReport CheckKnowledgeBase(const std::vector<KnowledgeBaseRecord> &records);

// The compared keys, "3 4" or "1 2 0 3".
std::string KeysText(int kind, const EntryKeys &keys);
