#include "core/ListedRow.h"

#include "core/TCLTSession.h"

ListedRow RowOf(const TCLTSession &s)
{
    ListedRow row;
    row.StartedAt = s.StartedAt;
    row.DurationSeconds = s.DurationSeconds;
    row.TestKind = s.TestKind;
    row.FirstName = s.FirstName;
    row.Surname = s.Surname;
    row.Patronymic = s.Patronymic;
    row.Group = s.Group;
    row.Sex = s.Sex;
    row.BirthDate = s.BirthDate;
    row.Age = s.Age;
    row.Figures = s.DetailsRead ? (s.FiguresSuffice() ? std::optional(s.Figures()) : std::nullopt) : s.ListFigures;
    row.Path = s.SourceFile;
    row.Context = &s.Context;
    row.Held = &s;
    return row;
}

std::string DisplayNameOf(const ListedRow &row)
{
    static const std::string comma = ",";
    return DisplayNameOf({row.FirstName, row.Surname, row.Patronymic, row.Group, row.Sex, row.Age},
                         row.Context ? row.Context->DecimalSeparator : comma);
}
