#pragma once

#include "core/TCLTSession.h"

#include <string>
#include <string_view>

// Colour Relations Test: scoring of the colour associations of every stimulus
// against the person's two eight-colour choices, and the two texts that head
// the conclusions of such a session. Pure computation on the session record.
// Stimulus names are data: they are copied into the texts, never used as
// formats.

// +1 for ranks 1..3, 0 for ranks 4 and 5, -1 for ranks 6..8. A rank outside
// 1..8 (only damaged stored data holds one) scores 0, like "no preference".
int RankScore(int rank);

// Sum of the four rank scores of a stimulus, -4..+4.
int RelationSum(const TCTOChoiceItem &item);

// Fills AssociationRank[a][c] of every stimulus: the first position 1..8 of
// AssociatedColour[a] in Choice[c], 0 when the colour is not there. Does
// nothing when the session has no stimuli.
void FillAssociationRanks(TCLTSession &session);

struct RelationClass {
    std::string Label;       // "Положительное " and so on, with its trailing blank
    std::string Description; // "Однозначно ассоциирован с цветом ..." or "Ассоциируется с цветами: ..."
    bool Ambiguous = false;
};

// Relation label, association description and ambiguity of one stimulus.
RelationClass ClassifyRelation(const TCTOChoiceItem &item);

// The colour part of pass a (1 or 2): "\"2 - Зеленый\" (Ранг: 1 -> 2)".
std::string DescribeAssociation(const TCTOChoiceItem &item, int pass);

struct RelationList {
    int Count = 0;
    std::string Text; // names between double quotes, joined by ", "
};

// Stimuli, in list order, whose relation sum is exactly s.
RelationList ListRelationsWithSum(const TCLTSession &session, int s);

// "Идентифицируемые объекты: ..." line (with its CR LF) for the stimuli
// associated with the colour in both passes, or empty when fewer than two are.
std::string ListIdentifiedObjects(const TCLTSession &session, int colour, bool withColour);

// Associations with the colour over all stimuli (0..2 each); with
// bothPassesOnly only stimuli associated with it in both passes count (2 each).
int CountAssociations(const TCLTSession &session, int colour, bool bothPassesOnly);

// Number of colours 0..7 used in at least one association.
int CountUsedColours(const TCLTSession &session);

// The texts that head the brief and the detailed conclusion of a Colour
// Relations Test. The detailed one writes fractions with the decimal
// separator given, or with the session's Context.DecimalSeparator.
std::string BuildBriefRelationsText(const TCLTSession &session);
std::string BuildDetailedRelationsText(const TCLTSession &session, std::string_view decimalSeparator);
std::string BuildDetailedRelationsText(const TCLTSession &session);
