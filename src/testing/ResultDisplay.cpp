#include "testing/ResultDisplay.h"

#include "core/DurationText.h"
#include "core/SessionArchive.h"

namespace {

const std::string crlf = "\r\n";

const std::string agreement =
    "Продолжая ознакомление с результатом, Вы соглашаетесь отнестись к нему с должным пониманием.\r\n"
    "Мы надеемся, что тест поможет Вам лучше понять себя и стать лучше.";

} // namespace

const std::string ResultNotice =
    "\r\n***\r\n\r\nВнимание!!!\r\nПеред ознакомлением с результатом тестирования, внимательно прочитайте "
    "следующую информацию:\r\n\r\n"
    "Результат тестирования может выявить давно скрываемые тревоги, страхи и компенсирующее их поведение, "
    "поэтому он может показаться Вам неприятным.\r\n"
    "Рекомендуем знакомиться с результатом наедине.\r\n"
    + agreement
    + "\r\n\r\n"
      "О тесте Люшера:\r\n"
      "Тест Люшера - известная профессиональная методика, применяемая в том числе при подборе персонала. "
      "Проводящему обследование не следует считать результат абсолютным: его нужно сопоставлять с наблюдением "
      "и с данными других методик.\r\n"
      "Если Вы проходили тест самостоятельно и результат Вас потряс, обратитесь к психологу.\r\n"
      "Результат описывает Ваше состояние в настоящий момент; он может измениться, в том числе в ходе терапии, "
      "а также под влиянием преходящих телесных состояний (голод, вирусная инфекция, менструация).\r\n"
      "Тест ситуативен, и его рекомендуется проходить регулярно.\r\n\r\n"
    + agreement + "\r\n\r\n\r\n***\r\n\r\n\r\nРезультат тестирования:\r\n\r\n";

const std::string ResultReportNotice = ResultNotice + "\r\nСеанс тестирования: ";

ResultDisplay MakeResultDisplay(const TCLTSession &session, int showResultType, const std::string &startedAtText)
{
    ResultDisplay shown;
    switch (showResultType) {
    case 1:
        shown.Caption = "Краткое заключение";
        shown.Text = ResultNotice + session.BriefConclusion;
        break;
    case 2:
        shown.Caption = "Подробное заключение";
        shown.Text = ResultNotice + session.DetailedConclusion;
        break;
    case 3:
        shown.Caption = "Совокупный отчет";
        shown.Text = ResultReportNotice + startedAtText + ", " + DurationText(session.DurationSeconds) + crlf + crlf
            + "Тестируемый: " + session.DisplayName + crlf + crlf + "Результат тестирования: " + crlf + crlf
            + "Краткое заключение" + ":" + crlf + session.BriefConclusion + crlf + crlf + "Подробное заключение" + ":"
            + crlf + session.DetailedConclusion + crlf + crlf + "Дополнительные выводы" + ":" + crlf
            + session.AdditionalFindings + crlf + crlf;
        break;
    default:
        return shown; // nothing shown; the texts are still stored
    }
    shown.MemoVisible = true;
    shown.HideTestArea = true;
    return shown;
}
