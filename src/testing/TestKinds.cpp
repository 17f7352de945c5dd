#include "testing/TestKinds.h"

#include <array>

namespace {

struct KindTexts {
    std::string chooserTitle;
    std::string description;
    std::string shortName;
    std::string listName;
    std::string title;
};

const std::array<KindTexts, TestKindCount> kinds = {{
    {"Восьмицветный тест Люшера [Однократное проведение]",
     "Данный ускоренный тест является сокращенной формой цветового теста Люшера с панелью из 8 "
     "цветовых пятен. Однократное проведение тестирования подразумевает 7 выборов наиболее приятного "
     "цвета из предложенных.",
     "8ЦТЛ1", "8-цветный ТЛ [1]", "Восьмицветный тест Люшера"},
    {"Восьмицветный тест Люшера [Двукратное проведение]",
     "Данный ускоренный тест является сокращенной формой цветового теста Люшера с панелью из 8 "
     "цветовых пятен. Двукратное проведение тестирования подразумевает 14 выборов наиболее приятного "
     "цвета из предложенных. Повторный выбор позволяет увеличить достоверность результата.",
     "8ЦТЛ2", "8-цветный ТЛ [2]", "Восьмицветный тест Люшера"},
    {"Полный цветовой тест Люшера",
     "Данный клинический тест является наиболее полной формой цветового теста Люшера, состоящей из 7 "
     "цветовых панелей (73 цветовых пятна). Вам будет предложено сделать большое количество "
     "одиночных выборов наиболее приятного цвета из предложенных. Тест позволяет получить обширную "
     "информацию о структуре личности и ее актуальном состоянии. Он включает в себя восьмицветный субтест, а также "
     "дополнительные субтесты "
     "серых, основных, синих, зеленых, желтых и красных цветов.",
     "ПЦТЛ", "Полный ЦТЛ", "Полный цветовой тест Люшера"},
    {"Цветовой тест отношений (ЦТО)",
     "Данный тест является известным психодиагностическим методом цветоассоциативного исследования "
     "отношений личности. Вам будет предложено последовательно выбрать наиболее приятные цвета, а "
     "также подобрать цветовые ассоциации к значимым для вас людям и понятиям. Результат тестирования "
     "содержит также стандартную интерпретацию цветовой раскладки по восьмицветному тесту Люшера. "
     "Выбор цветов и цветовых ассоциаций проводится дважды, что позволяет судить об однозначности "
     "выявленных отношений. Сначала вам будет предложено составить список "
     "значимых людей и понятий.",
     "ЦТО", "ЦТО", "Цветовой тест отношений"},
}};

const std::string empty;

const KindTexts *find(int kind) { return IsValidTestKind(kind) ? &kinds[static_cast<size_t>(kind - 1)] : nullptr; }

} // namespace

const std::string AnyTestListName = "Любой тест";

bool IsValidTestKind(int kind) { return kind >= 1 && kind <= TestKindCount; }

const std::string &TestKindChooserTitle(int kind) { return find(kind) ? find(kind)->chooserTitle : empty; }
const std::string &TestKindDescription(int kind) { return find(kind) ? find(kind)->description : empty; }
const std::string &TestKindShortName(int kind) { return find(kind) ? find(kind)->shortName : empty; }
const std::string &TestKindListName(int kind) { return find(kind) ? find(kind)->listName : empty; }
const std::string &TestKindTitle(int kind) { return find(kind) ? find(kind)->title : empty; }

int TestKindStepCount(int kind, int stimulusCount)
{
    switch (kind) {
    case KindEightOnce:
        return 1 + 7;
    case KindEightTwice:
        return 1 + 7 + 7;
    case KindFull:
        return 1 + 3 + 7 + 7 + 5 * 6;
    case KindRelations:
        return 16 + 2 * (stimulusCount > 0 ? stimulusCount : 0);
    default:
        return 0;
    }
}
