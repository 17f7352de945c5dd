#pragma once

#include "core/OleDate.h"
#include "core/OneBased.h"
#include "core/SessionContext.h"
#include "core/SessionFigures.h"
#include "core/TOrvantaCollectionItem2.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One function group of an eight-colour result: a sign and one or two colours.
// Age in years (whole months / 12) on that day of someone born then; 0 when
// the birth date is not given or lies under half a year or over about 109
// years away.
double AgeOn(OleDate birthDate, OleDate today);

// What the list's name of a session is made of.
struct DisplayNameParts {
    std::string_view FirstName;
    std::string_view Surname;
    std::string_view Patronymic;
    std::string_view Group;
    uint8_t Sex = 0;
    double Age = 0;
};
// "Surname First Patronymic (sex, age), group", as the list shows a session.
std::string DisplayNameOf(const DisplayNameParts &parts, const std::string &decimalSeparator);

class TCLTFunctionGroup : public TOrvantaCollectionItem2 {
public:
    int FunctionCode = 0; // 1 "+", 2 "x", 3 "=", 4 "-", 5 "+-"
    int FirstColour = 0;  // colour number 0..7
    int SecondColour = 0; // equal to FirstColour for a single colour

    bool IsEqualTo(const TOrvantaCollectionItem2 *other) const override;
    void SaveToStream(TSimpleFileStream *stream) override;
    void LoadFromStream(TSimpleFileStream *stream) override;
};

// One stimulus of the Colour Relations Test with its associations.
class TCTOChoiceItem : public TOrvantaCollectionItem2 {
public:
    std::string StimulusName;
    OneBased<int, 2> AssociatedColour;             // [pass], colour number 0..7
    OneBased<OneBased<int, 2>, 2> AssociationRank; // [pass][choice], position 1..8

    void Assign(const TCTOChoiceItem &source) { *this = source; }
    bool IsEqualTo(const TOrvantaCollectionItem2 *other) const override;
    void SaveToStream(TSimpleFileStream *stream) override;
    void LoadFromStream(TSimpleFileStream *stream) override;
};

// Everything known about one test session.
class TCLTSession : public TOrvantaCollectionItem2 {
public:
    // Defaults of a new session: StartedAt = now, BirthDate = today.
    explicit TCLTSession(OleDate now = 0, OleDate today = 0);

    OleDate StartedAt = 0;
    int32_t DurationSeconds = 0;
    int32_t TestKind = 2;
    std::string FirstName;
    std::string Surname;
    std::string Patronymic;
    std::string Group;
    uint8_t Sex = 0; // 0 not given, 1 male, 2 female
    OleDate BirthDate = 0;
    double Age = 0;          // derived, never stored
    std::string DisplayName; // derived, never stored

    OneBased<int, 3> AchromaticChoice;
    OneBased<OneBased<int, 8>, 2> Choice;       // colour tags 1..8
    OneBased<OneBased<int, 8>, 2> FunctionSign; // 0 none, 1 "+", 2 "x", 3 "=", 4 "-"
    TOrvantaInlineCollection<TCLTFunctionGroup> FunctionGroups;
    TOrvantaInlineCollection<TCTOChoiceItem> CtoItems;
    OneBased<OneBased<int, 8>, 2> AcMark;   // 0 none, 1 anxiety, 2 compensation
    OneBased<OneBased<int, 8>, 2> AcWeight; // number of "!", 0..3
    OneBased<int, 2> AcIntensity;
    OneBased<OneBased<int, 4>, 5> PairWins; // main, blue, green, yellow, red
    OneBased<int, 4> ShadeScore;
    OneBased<int, 4> ShadeTendency;
    OneBased<int, 4> ShadeReserved;
    int32_t ReservedValue = 0;
    std::string BriefConclusion;
    std::string AdditionalFindings;
    std::string DetailedConclusion;
    std::string SourceFile; // path last written or read, never stored
    // False while only the list fields were read from SourceFile (the rest
    // is read when needed); never stored.
    bool DetailsRead = true;
    // What the statistics need of a session the list holds by its list
    // fields, when the list had it (from the station's index or a file read
    // whole); never stored.
    std::optional<SessionFigures> ListFigures;

    // Locale and clock used by the derived fields; set by whoever owns the
    // session (the archive, the test procedure).
    SessionContext Context;

    void SaveToStream(TSimpleFileStream *stream) override;
    void LoadFromStream(TSimpleFileStream *stream) override;

    void ComputeAge();
    void UpdateDisplayName();
    std::string FullName() const;
    std::string SexAgeText();

    int CountAnxieties(int choice) const;
    int CountCompensations(int choice) const;
    // What the statistics read of this session, for the list to hold; and
    // whether that is all they read (a Colour Relations Test with
    // associations also needs its stimuli, which stay in its file).
    SessionFigures Figures() const;
    bool FiguresSuffice() const { return CtoItems.Count() == 0; }
    int AmbivalentPosition(int position) const;
    bool ChoicesIdentical() const;
};
