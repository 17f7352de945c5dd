#pragma once

// Sessions of every kind for every test and bench: the eight-colour test once
// or twice, the full clinical test, the Colour Relations Test. A builder
// starts from a new record and sets only what a case names, so a test shows
// the fields it depends on; EveryField fills every stored field for the
// record and storage tests.
#include "core/TCLTSession.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

class SessionBuilder {
public:
    // The stored numbers of the four kinds.
    static constexpr int EightOnce = 1;
    static constexpr int EightTwice = 2;
    static constexpr int Clinical = 3;
    static constexpr int Relations = 4;

    // A new record of that kind, started at startedAt; its birth date is
    // today, as for a new session.
    explicit SessionBuilder(int kind = EightOnce, OleDate startedAt = 0, OleDate today = 0) : s(startedAt, today)
    {
        s.TestKind = kind;
    }

    SessionBuilder &Name(std::string surname, std::string firstName = {}, std::string patronymic = {})
    {
        s.Surname = std::move(surname);
        s.FirstName = std::move(firstName);
        s.Patronymic = std::move(patronymic);
        return *this;
    }
    SessionBuilder &Group(std::string group)
    {
        s.Group = std::move(group);
        return *this;
    }
    // 0 not given, 1 man, 2 woman.
    SessionBuilder &Sex(uint8_t sex)
    {
        s.Sex = sex;
        return *this;
    }
    // 0: not given.
    SessionBuilder &Born(OleDate birthDate)
    {
        s.BirthDate = birthDate;
        return *this;
    }
    SessionBuilder &Duration(int32_t seconds)
    {
        s.DurationSeconds = seconds;
        return *this;
    }
    // The locale and clock of the derived fields (age, display name).
    SessionBuilder &Context(OleDate today, std::string decimalSeparator = ",")
    {
        s.Context = SessionContext{today, std::move(decimalSeparator)};
        return *this;
    }

    // One choice (1 or 2) as colour tags 1..8 in the order picked.
    SessionBuilder &Choice(int choice, const std::array<int, 8> &tags)
    {
        for (int p = 1; p <= 8; ++p)
            s.Choice[choice][p] = tags[static_cast<std::size_t>(p - 1)];
        return *this;
    }
    // What one position of a choice holds; sign, mark and weight stay 0
    // unless given.
    struct Position {
        int Colour = 0; // tag 1..8
        int Sign = 0;
        int Mark = 0;
        int Weight = 0;
    };
    // Every position of both choices from a rule of (choice, position).
    SessionBuilder &Positions(const std::function<Position(int choice, int position)> &at)
    {
        for (int c = 1; c <= 2; ++c)
            for (int p = 1; p <= 8; ++p) {
                const Position here = at(c, p);
                s.Choice[c][p] = here.Colour;
                s.FunctionSign[c][p] = here.Sign;
                s.AcMark[c][p] = here.Mark;
                s.AcWeight[c][p] = here.Weight;
            }
        return *this;
    }
    SessionBuilder &Intensities(int first, int second)
    {
        s.AcIntensity[1] = first;
        s.AcIntensity[2] = second;
        return *this;
    }
    SessionBuilder &FunctionGroup(int code, int firstColour, int secondColour)
    {
        auto &group = s.FunctionGroups.AddNew();
        group.FunctionCode = code;
        group.FirstColour = firstColour;
        group.SecondColour = secondColour;
        return *this;
    }
    // A stimulus of the Colour Relations Test: its colour in each pass and
    // ranks[pass - 1][choice - 1].
    SessionBuilder &Stimulus(std::string name, std::array<int, 2> colours, std::array<std::array<int, 2>, 2> ranks = {})
    {
        auto &item = s.CtoItems.AddNew();
        item.StimulusName = std::move(name);
        for (int pass = 1; pass <= 2; ++pass) {
            item.AssociatedColour[pass] = colours[static_cast<std::size_t>(pass - 1)];
            for (int choice = 1; choice <= 2; ++choice)
                item.AssociationRank[pass][choice] =
                    ranks[static_cast<std::size_t>(pass - 1)][static_cast<std::size_t>(choice - 1)];
        }
        return *this;
    }
    SessionBuilder &Conclusions(std::string brief, std::string detailed = {}, std::string additional = {})
    {
        s.BriefConclusion = std::move(brief);
        s.DetailedConclusion = std::move(detailed);
        s.AdditionalFindings = std::move(additional);
        return *this;
    }
    // Anything else, on the record itself (the full test's blocks, damage).
    SessionBuilder &With(const std::function<void(TCLTSession &)> &change)
    {
        change(s);
        return *this;
    }
    // Age and display name derived as the archive derives them on loading.
    SessionBuilder &Derived()
    {
        s.ComputeAge();
        s.UpdateDisplayName();
        return *this;
    }

    TCLTSession Build() const { return s; }
    // Implicit, so a builder reads as the session it builds.
    operator TCLTSession() const { return s; }

    // A completed session of the kind with every stored field set, texts in
    // Cyrillic, function groups and (Colour Relations) stimuli; variant makes
    // sessions of one kind differ.
    static TCLTSession EveryField(int kind, int variant = 0)
    {
        SessionBuilder b(kind, 45000.25 + variant, 45000);
        b.Duration(300 + variant)
            .Name("Иванова-" + std::to_string(variant), "Анна", "Сергеевна")
            .Group("Группа №" + std::to_string(kind))
            .Sex(2)
            .Born(32000)
            .Positions([variant](int c, int p) {
                return Position{(p + c + variant) % 8 + 1, p % 5, p % 3, p % 4};
            })
            .Intensities(3, 5)
            .Conclusions("Краткое заключение.\r\nВторая строка " + std::to_string(variant),
                         "Подробное заключение: «тревога» — нет.", std::string(300, 'x') + " Дополнительно");
        if (kind == Clinical)
            b.With([](TCLTSession &s) {
                for (int i = 1; i <= 3; ++i)
                    s.AchromaticChoice[i] = i;
                for (int t = 1; t <= 5; ++t)
                    for (int i = 1; i <= 4; ++i)
                        s.PairWins[t][i] = (t + i) % 4;
                for (int i = 1; i <= 4; ++i) {
                    s.ShadeScore[i] = i * 2;
                    s.ShadeTendency[i] = 5 - i;
                    s.ShadeReserved[i] = -i;
                }
            });
        b.With([](TCLTSession &s) { s.ReservedValue = 7; });
        for (int g = 1; g <= 3; ++g)
            b.FunctionGroup(g, g, g + 1);
        if (kind == Relations)
            for (const char *name : {"Мать", "Отец", "Работа"})
                b.Stimulus(name, {2, 5}, {{{1, 0}, {0, 8}}});
        return b;
    }

    // The i-th of many listed sessions, as the benches fill an archive:
    // every kind in turn, two groups, a day of starts, differing choices.
    static SessionBuilder Numbered(int i, OleDate today)
    {
        SessionBuilder b(1 + i % 4, today - 1 - i / 1000.0, today);
        b.Name("Испытуемый" + std::to_string(i), "Иван")
            .Group(i % 5 == 0 ? "Администрация" : "Бухгалтерия")
            .Duration(300 + i % 3000)
            .Positions([i](int c, int p) { return Position{1 + (p + i + c) % 8}; });
        return b;
    }

private:
    TCLTSession s;
};
