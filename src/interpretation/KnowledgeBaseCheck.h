#pragma once

#include "KnowledgeBaseFile.h"
#include "KnowledgeBaseKeys.h"

#include <cstddef>
#include <string>
#include <vector>

// What a knowledge base covers of the keys the rules ask for, and what in it
// can never be shown as written.

struct KindCoverage {
    int Kind = 0;
    std::string Name;              // "\"+\" function group", "blue table"...
    std::size_t Asked = 0;         // keys the rules can ask for
    std::vector<EntryKeys> Missing; // asked for, no entry
};

struct CheckFinding {
    std::size_t Entry = 0; // 0-based index of the record
    bool Error = true;     // false: a warning
    std::string Field;     // empty for the entry as a whole
    std::string Message;
    bool TextProblem = false; // a text the file cannot hold as given
    bool Shadowed = false;
    std::size_t ShadowedBy = 0; // for a shadowed entry: the index of the entry found instead
};

struct KnowledgeBaseCheckReport {
    std::vector<KindCoverage> Kinds; // 1 to 14
    std::vector<CheckFinding> Findings; // in entry order

    std::size_t Errors() const;
    std::size_t Warnings() const;
    std::size_t Gaps(int firstKind = 1, int lastKind = 14) const;
};

// Errors: kinds no rule looks up, entries shadowed by an earlier one with the
// same kind and compared keys, texts the file cannot hold (over 255 bytes in
// a short text, characters with no Windows-1251 byte). Warnings: keys of a
// known kind that no rule ever asks for.
KnowledgeBaseCheckReport CheckKnowledgeBase(const std::vector<KnowledgeBaseRecord> &records);

// The compared keys, "3 4" or "1 2 0 3".
std::string KeysText(int kind, const EntryKeys &keys);
