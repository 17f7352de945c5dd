// Record layouts of the session and its two item classes. Writer and reader
// must agree field by field: nothing in the file describes itself.
#include "core/SessionStream.h"

#include "core/TSimpleFileStream.h"

void TCLTFunctionGroup::SaveToStream(TSimpleFileStream *stream)
{
    if (!stream)
        return;
    WriteInt32(*stream, FunctionCode);
    WriteInt32(*stream, FirstColour);
    WriteInt32(*stream, SecondColour);
    WriteByte(*stream, 0);
}

void TCLTFunctionGroup::LoadFromStream(TSimpleFileStream *stream)
{
    if (!stream)
        return;
    FunctionCode = ReadInt32(*stream);
    FirstColour = ReadInt32(*stream);
    SecondColour = ReadInt32(*stream);
    ReadByte(*stream);
}

void TCTOChoiceItem::SaveToStream(TSimpleFileStream *stream)
{
    if (!stream)
        return;
    WriteText(*stream, StimulusName, ShortTextMode);
    WriteInt32(*stream, AssociatedColour[1]);
    WriteInt32(*stream, AssociatedColour[2]);
    for (int pass = 1; pass <= 2; ++pass)
        for (int choice = 1; choice <= 2; ++choice)
            WriteInt32(*stream, AssociationRank[pass][choice]);
    WriteByte(*stream, 0);
}

void TCTOChoiceItem::LoadFromStream(TSimpleFileStream *stream)
{
    if (!stream)
        return;
    StimulusName = ReadShortText(*stream);
    AssociatedColour[1] = ReadInt32(*stream);
    AssociatedColour[2] = ReadInt32(*stream);
    for (int pass = 1; pass <= 2; ++pass)
        for (int choice = 1; choice <= 2; ++choice)
            AssociationRank[pass][choice] = ReadInt32(*stream);
    ReadByte(*stream);
}

void TCLTSession::SaveToStream(TSimpleFileStream *stream)
{
    if (!stream)
        return;
    TSimpleFileStream &s = *stream;
    WriteDateTime(s, StartedAt);
    WriteInt32(s, DurationSeconds);
    WriteInt32(s, TestKind);
    WriteText(s, FirstName, ShortTextMode);
    WriteText(s, Surname, ShortTextMode);
    WriteText(s, Patronymic, ShortTextMode);
    WriteText(s, Group, ShortTextMode);
    WriteInt32(s, Sex);
    WriteDateTime(s, BirthDate);
    UpdateDisplayName();
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p) {
            WriteInt32(s, Choice[c][p]);
            WriteInt32(s, FunctionSign[c][p]);
            WriteInt32(s, AcMark[c][p]);
            WriteInt32(s, AcWeight[c][p]);
        }
    if (TestKind == 3) {
        for (int i = 1; i <= 3; ++i)
            WriteInt32(s, AchromaticChoice[i]);
        for (int t = 1; t <= 5; ++t)
            for (int i = 1; i <= 4; ++i)
                WriteInt32(s, PairWins[t][i]);
        for (auto *values : {&ShadeScore, &ShadeTendency, &ShadeReserved})
            for (int i = 1; i <= 4; ++i)
                WriteInt32(s, (*values)[i]);
    }
    WriteInt32(s, ReservedValue);
    WriteText(s, BriefConclusion, LongTextMode);
    WriteText(s, AdditionalFindings, LongTextMode);
    WriteText(s, DetailedConclusion, LongTextMode);
    WriteInt32(s, AcIntensity[1]);
    WriteInt32(s, AcIntensity[2]);
    WriteItems(s, &FunctionGroups);
    WriteItems(s, &CtoItems);
    WriteByte(s, 0);
}

void TCLTSession::LoadFromStream(TSimpleFileStream *stream)
{
    if (!stream)
        return;
    TSimpleFileStream &s = *stream;
    StartedAt = ReadDateTime(s);
    DurationSeconds = ReadInt32(s);
    TestKind = ReadInt32(s);
    FirstName = ReadShortText(s);
    Surname = ReadShortText(s);
    Patronymic = ReadShortText(s);
    Group = ReadShortText(s);
    Sex = static_cast<uint8_t>(ReadInt32(s) & 0xFF);
    BirthDate = ReadDateTime(s);
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p) {
            Choice[c][p] = ReadInt32(s);
            FunctionSign[c][p] = ReadInt32(s);
            AcMark[c][p] = ReadInt32(s);
            AcWeight[c][p] = ReadInt32(s);
        }
    if (TestKind == 3) {
        for (int i = 1; i <= 3; ++i)
            AchromaticChoice[i] = ReadInt32(s);
        for (int t = 1; t <= 5; ++t)
            for (int i = 1; i <= 4; ++i)
                PairWins[t][i] = ReadInt32(s);
        for (auto *values : {&ShadeScore, &ShadeTendency, &ShadeReserved})
            for (int i = 1; i <= 4; ++i)
                (*values)[i] = ReadInt32(s);
    }
    ReservedValue = ReadInt32(s);
    BriefConclusion = ReadLongText(s);
    AdditionalFindings = ReadLongText(s);
    DetailedConclusion = ReadLongText(s);
    AcIntensity[1] = ReadInt32(s);
    AcIntensity[2] = ReadInt32(s);
    ReadItems(s, &FunctionGroups, FunctionGroupRecordBytes);
    ReadItems(s, &CtoItems, ChoiceItemRecordBytes);
    UpdateDisplayName();
    ReadByte(s);
}
