#include "core/TCLTSession.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

TCLTSession::TCLTSession(OleDate now, OleDate today) : StartedAt(now), BirthDate(DatePart(today))
{
    Context.Today = DatePart(today);
    for (int i = 1; i <= 4; ++i)
        ShadeTendency[i] = i;
}

void TCLTSession::ComputeAge()
{
    Age = 0;
    if (BirthDate == 0)
        return;
    // The span is taken without sign, so a future birth date also ages.
    const double span = std::fabs(DatePart(Context.Today) - BirthDate);
    const double days = std::trunc(span);
    if (days <= 180 || days >= 40000)
        return;
    const double months = std::trunc(span / 30.4375);
    Age = months / 12.0;
}

std::string TCLTSession::FullName() const
{
    std::string name = Surname + " " + FirstName;
    if (!Patronymic.empty())
        name += " " + Patronymic;
    return name;
}

namespace {

std::string SexWord(uint8_t sex)
{
    switch (sex) {
    case 1:
        return "Мужчина";
    case 2:
        return "Женщина";
    default:
        return "";
    }
}

// Stored values kept as they are, only narrowed with saturation: a value
// outside the byte's range stays outside every valid range.
std::int8_t narrowed(int value)
{
    return static_cast<std::int8_t>(
        std::clamp<int>(value, std::numeric_limits<std::int8_t>::min(), std::numeric_limits<std::int8_t>::max()));
}

} // namespace

std::string TCLTSession::SexAgeText()
{
    ComputeAge();
    const std::string s = SexWord(Sex);
    if (Age <= 0)
        return s;
    const std::string a = FormatNumber(Age, "#.#", Context.DecimalSeparator) + " лет";
    return s.empty() ? a : s + ", " + a;
}

void TCLTSession::UpdateDisplayName()
{
    std::string name = FullName();
    const std::string sexAge = SexAgeText();
    if (!sexAge.empty())
        name += " (" + sexAge + ")";
    if (!Group.empty())
        name += ", " + Group;
    DisplayName = name;
}

int TCLTSession::CountAnxieties(int choice) const
{
    int count = 0;
    for (int p = 6; p <= 8; ++p)
        count += AcMark[choice][p] == 1;
    return count;
}

int TCLTSession::CountCompensations(int choice) const
{
    int count = 0;
    for (int p = 1; p <= 3; ++p)
        count += AcMark[choice][p] == 2;
    return count;
}

int TCLTSession::AmbivalentPosition(int position) const
{
    if (TestKind == 1)
        return -1;
    if (Choice[1][position] == Choice[2][7])
        return 7;
    if (Choice[1][position] == Choice[2][8])
        return 8;
    return -1;
}

bool TCLTSession::ChoicesIdentical() const { return TestKind != 1 && Choice[1] == Choice[2]; }

bool TCTOChoiceItem::IsEqualTo(const TOrvantaCollectionItem2 *other) const
{
    const auto *item = dynamic_cast<const TCTOChoiceItem *>(other);
    return item != nullptr && item->StimulusName == StimulusName && item->AssociatedColour == AssociatedColour
        && item->AssociationRank == AssociationRank;
}

bool TCLTFunctionGroup::IsEqualTo(const TOrvantaCollectionItem2 *other) const
{
    const auto *group = dynamic_cast<const TCLTFunctionGroup *>(other);
    return group != nullptr && group->FunctionCode == FunctionCode && group->FirstColour == FirstColour
        && group->SecondColour == SecondColour;
}

SessionFigures TCLTSession::Figures() const
{
    SessionFigures figures;
    for (int c = 1; c <= 2; ++c) {
        for (int p = 1; p <= 8; ++p)
            figures.Choice[c - 1][p - 1] = narrowed(Choice[c][p]);
        figures.Intensity[c - 1] = narrowed(AcIntensity[c]);
        figures.Anxieties[c - 1] = static_cast<std::uint8_t>(CountAnxieties(c));
        figures.Compensations[c - 1] = static_cast<std::uint8_t>(CountCompensations(c));
    }
    return figures;
}
