#include "app/statistics/StatisticsLines.h"

#include "statistics/StatisticsText.h"
#include "testing/TestKinds.h"

#include <QStringList>

namespace {

QString qs(const std::string &utf8) { return QString::fromStdString(utf8); }

QString ageText(double age, const QString &separator)
{
    return QString::number(age, 'f', age == static_cast<int>(age) ? 0 : 1).replace(QLatin1Char('.'), separator);
}

} // namespace

QString SelectionText(const std::optional<ResultsFilter> &filter, const std::string *group,
                      const QString &decimalSeparator)
{
    QStringList parts;
    if (group)
        parts << QStringLiteral("группа «%1»").arg(qs(*group));
    else if (filter && filter->GroupIndex > 0)
        parts << QStringLiteral("группа «%1»").arg(qs(filter->GroupText));
    else
        parts << QStringLiteral("все группы");
    if (filter) {
        if (filter->TestIndex > 0)
            parts << QStringLiteral("тест «%1»").arg(qs(TestKindListName(filter->TestIndex)));
        if (filter->SexIndex == 1)
            parts << QStringLiteral("мужчины");
        else if (filter->SexIndex == 2)
            parts << QStringLiteral("женщины");
        if (filter->AgeLimited)
            parts << QStringLiteral("возраст от %1 до %2")
                         .arg(ageText(filter->AgeMin, decimalSeparator), ageText(filter->AgeMax, decimalSeparator));
    }
    QString text = parts.join(QStringLiteral(", "));
    text[0] = text[0].toUpper();
    return text;
}

QString StatisticsTestsText(const StatisticsResult &shown, const QString &decimalSeparator)
{
    const StatisticsOutput &output = shown.Output;
    const GroupStatistics &g = output.Group;
    const std::string separator = decimalSeparator.toStdString();
    QStringList lines;
    lines << QStringLiteral("Список (%1-й выбор, сеансов с этим выбором: %2): %3")
                 .arg(g.Choice)
                 .arg(g.Table.N)
                 .arg(qs(AgreementSentence(g.Friedman, separator)));
    if (g.Stability.N > 0)
        lines << QStringLiteral("Устойчивость выбора (ρ Спирмена между 1-м и 2-м выбором, человек: %1): медиана %2, "
                                "квартили %3–%4")
                     .arg(g.Stability.N)
                     .arg(qs(FigureText(g.Stability.Median, 2, separator)),
                          qs(FigureText(g.Stability.LowerQuartile, 2, separator)),
                          qs(FigureText(g.Stability.UpperQuartile, 2, separator)));
    if (g.Intensity.N > 0)
        lines << QStringLiteral("Интенсивность тревоги и компенсации: в среднем %1 (тревог %2, компенсаций %3)")
                     .arg(qs(FigureText(g.Intensity.MeanIntensity, 2, separator)),
                          qs(FigureText(g.Intensity.MeanAnxieties, 2, separator)),
                          qs(FigureText(g.Intensity.MeanCompensations, 2, separator)));
    if (output.Versus) {
        lines << QString()
              << QStringLiteral("Группа сравнения (сеансов с этим выбором: %1): %2")
                     .arg(output.Versus->Table.N)
                     .arg(qs(AgreementSentence(output.Versus->Friedman, separator)));
        lines << QString()
              << QStringLiteral("Сравнение списка (первая группа) с группой сравнения по каждому цвету "
                                "(критерий Манна — Уитни):");
        for (const ColourComparison &c : *output.Comparison)
            lines << qs(ComparisonSentence(c, separator));
    }
    if (output.UserGroups) {
        lines << QString()
              << QStringLiteral("Сравнение групп пользователей (%1) по каждому цвету (критерий Краскела — Уоллиса):")
                     .arg(output.UserGroups->Names.size());
        for (const ColourKruskalWallis &k : output.UserGroups->Colours)
            lines << qs(KruskalWallisSentence(k, separator));
    }
    if (!shown.Unreadable.empty())
        lines << QString()
              << QStringLiteral("Не удалось прочитать файлов сеансов: %1 (удалены или повреждены после составления "
                                "списка); они не вошли в расчет.")
                     .arg(shown.Unreadable.size());
    lines << QString()
          << QStringLiteral("Статистические различия говорят о группе в целом, а не о конкретном человеке, и не "
                            "объясняют причин.");
    return lines.join(QLatin1Char('\n'));
}
