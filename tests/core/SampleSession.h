#pragma once

// A completed session of each kind with a value in every stored field, for
// the record tests and the list tests.
#include "TCLTSession.h"

inline TCLTSession sampleSession(int kind)
{
    TCLTSession s(45000.25, 45000);
    s.TestKind = kind;
    s.DurationSeconds = 65;
    s.FirstName = "Иван";
    s.Surname = "Петров";
    s.Group = "A";
    s.Sex = 2;
    s.BirthDate = 30000;
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p) {
            s.Choice[c][p] = 9 - p;
            s.FunctionSign[c][p] = p % 5;
            s.AcMark[c][p] = p == 8 ? 1 : 0;
            s.AcWeight[c][p] = p == 8 ? 3 : 0;
        }
    s.AcIntensity[1] = 3;
    s.AcIntensity[2] = 3;
    s.BriefConclusion = "Кратко\r\nдва";
    s.DetailedConclusion = "D";
    auto &g = s.FunctionGroups.AddNew();
    g.FunctionCode = 5;
    g.FirstColour = 3;
    g.SecondColour = 4;
    if (kind == 3) {
        s.AchromaticChoice[1] = 2;
        s.AchromaticChoice[2] = 5;
        s.AchromaticChoice[3] = 1;
        for (int t = 1; t <= 5; ++t)
            for (int i = 1; i <= 4; ++i)
                s.PairWins[t][i] = (t + i) % 4;
        s.ShadeScore[1] = 1000;
    }
    if (kind == 4) {
        for (const char *name : {"Мать", "%s %d"}) {
            auto &item = s.CtoItems.AddNew();
            item.StimulusName = name;
            item.AssociatedColour[1] = 3;
            item.AssociatedColour[2] = 7;
            item.AssociationRank[1][1] = 1;
            item.AssociationRank[1][2] = 2;
            item.AssociationRank[2][1] = 7;
            item.AssociationRank[2][2] = 8;
        }
    }
    return s;
}
