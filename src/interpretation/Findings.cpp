#include "interpretation/Findings.h"

#include "core/NumberFormat.h"
#include "interpretation/EightColour.h"
#include "testing/ColourTables.h"

#include <initializer_list>

const std::array<std::array<int, 13>, 3> IntensityStatistics{{
    {259, 122, 143, 117, 86, 91, 55, 48, 34, 24, 14, 6, 1},
    {0, 2590, 3810, 5240, 6410, 7270, 8180, 8730, 9210, 9550, 9790, 9930, 9990},
    {7410, 6190, 4760, 3590, 2730, 1820, 1270, 790, 450, 210, 70, 21, 0},
}};

namespace {

constexpr int Grey = 0, Blue = 1, Green = 2, Red = 3, Yellow = 4, Black = 7;

bool IsWorkingColour(int colour) { return colour == Green || colour == Red || colour == Yellow; }

// True when every colour stands among positions first..last of the choice.
bool AllWithin(const TCLTSession &session, int choice, int first, int last, std::initializer_list<int> colours)
{
    for (int colour : colours) {
        bool found = false;
        for (int p = first; p <= last && !found; ++p)
            found = ColourAt(session, choice, p) == colour;
        if (!found)
            return false;
    }
    return true;
}

bool WithinFirstFour(const TCLTSession &session, int choice)
{
    return AllWithin(session, choice, 1, 4, {Green, Red, Yellow});
}

// Green, red and yellow together at positions 1-3 or 2-4.
bool WholeWorkingGroup(const TCLTSession &session, int choice)
{
    return WithinFirstFour(session, choice)
        && (!IsWorkingColour(ColourAt(session, choice, 1)) || !IsWorkingColour(ColourAt(session, choice, 4)));
}

std::string Statistics(int intensity, std::string_view separator)
{
    const auto shares = IntensityShares(intensity, separator);
    return " (Статистика: " + shares[0] + " %, \"лучше\" - у " + shares[1] + " %, \"хуже\" - у " + shares[2] + " %).";
}

void AppendCounts(std::string &text, const TCLTSession &session)
{
    if (session.TestKind == 1) {
        text += "\r\nЧисло тревог \"A\": " + std::to_string(session.CountAnxieties(1));
        text += "\r\nЧисло компенсаций \"C\": " + std::to_string(session.CountCompensations(1));
        return;
    }
    text += "\r\nЧисло тревог \"A\" (по 1 выбору): " + std::to_string(session.CountAnxieties(1));
    text += "\r\nЧисло компенсаций \"C\" (по 1 выбору): " + std::to_string(session.CountCompensations(1));
    text += "\r\nЧисло тревог \"A\" (по 2 выбору): " + std::to_string(session.CountAnxieties(2));
    text += "\r\nЧисло компенсаций \"C\" (по 2 выбору): " + std::to_string(session.CountCompensations(2));
}

void AppendIntensity(std::string &text, const TCLTSession &session, std::string_view separator)
{
    auto line = [&](std::string_view label, int intensity) {
        text += std::string(label) + std::to_string(intensity) + Statistics(intensity, separator) + "\r\n";
    };
    text += "\r\n";
    if (session.TestKind == 1) {
        line("Интенсивность тревоги и компенсации: ", session.AcIntensity[1]);
        return;
    }
    line("Интенсивность тревоги и компенсации (по 1 выбору): ", session.AcIntensity[1]);
    line("Интенсивность тревоги и компенсации (по 2 выбору): ", session.AcIntensity[2]);
}

void AppendSelfRegulation(std::string &text, const TCLTSession &session)
{
    const bool coldFirst = AllWithin(session, 2, 1, 3, {Blue, Black});
    const bool warmLast = AllWithin(session, 2, 6, 8, {Red, Yellow});
    text += "\r\n";
    if (coldFirst && warmLast)
        text += "Значительная неустойчивость саморегуляции ВНС, которая существует уже давно и, возможно, "
                "успела привести к серьезным изменениям патофизиологического характера.";
    else if (coldFirst || warmLast)
        text += "Незначительная неустойчивость саморегуляции ВНС, которая, скорее всего, еще не достигла "
                "опасных пределов.";
    else
        text += "Нарушений саморегуляции вегетативной нервной системы (ВНС) не обнаружено.";
    text += "\r\n";
}

const char *WorkGoal(int colour)
{
    switch (colour) {
    case Green:
        return "Повышение самоуважения и своего статуса в глазах других.";
    case Red:
        return "Желание почувствовать достижение победы в борьбе с чем-то, что решено было преодолеть.";
    case Yellow:
        return "Удовольствие от планирования и мысленного переноса к будущей интересной деятельности.";
    default:
        return "";
    }
}

void AppendCapacityForWork(std::string &text, const TCLTSession &session)
{
    const bool whole1 = WholeWorkingGroup(session, 1);
    const bool whole2 = WholeWorkingGroup(session, 2);
    auto at2 = [&](int position) { return ColourAt(session, 2, position); };

    if (whole2) {
        if (whole1)
            text += "\r\nСтабильно высокая работоспособность - способность сохранять "
                    "максимальную продуктивность деятельности, несмотря на ее длительность и предполагаемые "
                    "трудности (цельность \"рабочей группы\" в начале ряда в обоих выборах).";
        else
            text += "\r\nВысокая работоспособность.\r\nЭнергия направлена на выполнение работы, вероятно работа "
                    "является защитой (цвета \"рабочей группы\" соединяются вместе даже при небольшом усилии "
                    "необходимости концентрировать внимание).";
        if (at2(1) == Grey)
            text += "\r\nРабота выполняется по привычке, машинально, без творческого включения (\"рабочей "
                    "группе\" предшествует \"отключающий\" серый).";
        else if (at2(4) == Grey || (IsWorkingColour(at2(4)) && at2(5) == Grey))
            text += "\r\nМожет непосредственно воспринимать только то, что связано с работой или деятельностью "
                    "(\"отключающий\" серый после полной \"рабочей группы\").";
        const int goalColour = IsWorkingColour(at2(1)) ? at2(1) : at2(2);
        text += "\r\nПрогноз относительно текущей работы благоприятен - работа будет завершена и "
                "сделана хорошо при условии, что это та работа, которая нравится.\r\nЦель: ";
        text += WorkGoal(goalColour);
        text += "\r\n";
    } else if (WithinFirstFour(session, 2)) {
        text += "\r\nНевысокая работоспособность (цвета \"рабочей группы\" расположены в первой половине ряда, "
                "но не образуют единой цельной группы).\r\nПри текущей работоспособности могут возникнуть "
                "проблемы при выполнении текущей работы.\r\n";
    } else if (whole1) {
        text += "\r\nНизкая работоспособность вследствие истощения. \r\nПри текущей работоспособности, прогноз "
                "относительно работы, выполняемой в данное время, нельзя назвать благоприятным.\r\n";
        const bool green = AllWithin(session, 2, 5, 8, {Green});
        const bool red = AllWithin(session, 2, 5, 8, {Red});
        const bool yellow = AllWithin(session, 2, 5, 8, {Yellow});
        if (green || red || yellow) {
            text += "Причины снижения работоспособности:\r\n";
            if (green)
                text += "- волевые расстройства, потеря целеустремленности и общая астенизация нервной "
                        "системы;\r\n";
            if (red)
                text += "- истощение физической энергии;\r\n";
            if (yellow)
                text += "- снижение удовлетворенности от работы и возрастание сомнений в целесообразности и "
                        "эффективности действий;\r\n";
        }
    } else {
        text += "\r\nУстойчиво низкая работоспособность. \r\nПри текущей работоспособности, прогноз относительно "
                "работы, выполняемой в данное время, нельзя назвать благоприятным.\r\n";
    }
}

std::string AmbivalenceLine(int firstChoicePosition, int colour, int secondChoicePosition)
{
    const std::string c = std::to_string(colour);
    return ColourName(colour) + " цвет (" + c + ") стоит на " + std::to_string(firstChoicePosition)
        + "-й позиции в первом выборе и на " + std::to_string(secondChoicePosition)
        + "-й позиции во втором выборе (интерпретируется как +" + c + "-" + c + " группа).\r\n";
}

void AppendAmbivalence(std::string &text, const TCLTSession &session)
{
    const int a1 = session.AmbivalentPosition(1);
    const int a2 = session.AmbivalentPosition(2);
    if (a1 < 0 && a2 < 0)
        return;
    text += "\r\nАмбивалентное отношение к цвету (нравится и отталкивает, предпочитается и отвергается):\r\n";
    if (a1 >= 0)
        text += AmbivalenceLine(1, ColourAt(session, 1, 1), a1);
    if (a2 >= 0)
        text += AmbivalenceLine(2, ColourAt(session, 1, 2), a2);
}

} // namespace

std::array<std::string, 3> IntensityShares(int intensity, std::string_view decimalSeparator)
{
    if (intensity < 0 || intensity > 12)
        return {};
    const auto i = static_cast<std::size_t>(intensity);
    return {FormatNumber(IntensityStatistics[0][i] / 10.0, "0.##", decimalSeparator),
            FormatNumber(IntensityStatistics[1][i] / 100.0, "0.##", decimalSeparator),
            FormatNumber(IntensityStatistics[2][i] / 100.0, "0.##", decimalSeparator)};
}

std::string BuildAdditionalFindings(const TCLTSession &session, std::string_view decimalSeparator)
{
    std::string text;
    AppendCounts(text, session);
    AppendIntensity(text, session, decimalSeparator);
    AppendSelfRegulation(text, session);
    AppendCapacityForWork(text, session);
    AppendAmbivalence(text, session);
    if (session.ChoicesIdentical())
        text += "\r\nНепреклонность убеждений и эмоциональная ригидность (согласно абсолютной идентичности обоих "
                "выборов цветов).\r\n";
    return text;
}
