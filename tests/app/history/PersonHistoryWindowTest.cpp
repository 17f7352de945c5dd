// «История тестируемого» opened from the results page over session files.
#include "results/ResultsFixture.h"

#include "app/history/PersonHistoryWindow.h"
#include "core/SessionListFields.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "statistics/StatisticsText.h"
#include "support/PaintRecorder.h"
#include "support/Pixels.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTableWidget>
#include <QToolButton>

namespace {

class PersonHistoryTest : public ResultsPageFixture {
protected:
    // The person of the history, typed a little differently each time.
    static TCLTSession Visit(const char *surname, const char *firstName, OleDate start, const char *group,
                             const char *second)
    {
        TCLTSession s = MakeSession(surname, 2, 2, 14, group);
        s.FirstName = firstName;
        s.Patronymic = "Петровна";
        s.BirthDate = 38000;
        s.StartedAt = start;
        for (int p = 1; p <= 8; ++p)
            s.Choice[2][p] = second[p - 1] - '0' + 1;
        return s;
    }

    PersonHistoryWindow *OpenHistoryOf(const std::string &surname)
    {
        for (int row = 0; row < page->Model()->rowCount(); ++row)
            if (page->Model()->SessionAt(row)->Surname == surname) {
                SelectRow(page->Grid(), row);
                break;
            }
        // The button under the person in the detail view.
        for (QToolButton *button : Find<QWidget>("TeHeaderPanel2")->findChildren<QToolButton *>())
            if (button->defaultAction() == page->actResultsHistory) {
                button->click();
                break;
            }
        return page->findChild<PersonHistoryWindow *>();
    }
};

TEST_F(PersonHistoryTest, ListsEverySessionOfThePersonOldestFirstWithThePureFigures)
{
    // Saved out of order, among others of the same surname or name.
    Save(Visit("СЕМЕНОВА", "алёна", 45700, "9Б", "23456701"));
    Save(Visit("Семёнова", "Алена", 45500, "8Б", "01234567"));
    Save(Visit("Семенова", "Алёна", 45600, "8Б", "10325476"));
    TCLTSession otherBirth = Visit("Семенова", "Алена", 45650, "8Б", "01234567");
    otherBirth.BirthDate = 38001;
    Save(otherBirth);
    Save(Visit("Семенова", "Анна", 45550, "8Б", "01234567"));
    Save(MakeSession("Петров", 1));
    OpenPage();
    ConnectPersonHistory(*page, archive, context);
    // The list holds only what it shows; the history reads the rest itself.
    for (std::size_t i = 0; i < archive.Count(); ++i)
        KeepListFieldsOnly(archive[i]);

    ScriptedDialogs dialogs;
    PersonHistoryWindow *window = OpenHistoryOf("Семенова");
    ASSERT_NE(window, nullptr);
    // Closed before the station can turn to testing.
    EXPECT_TRUE(window->isModal());
    const auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableHistory"));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 3);
    const QString groups[] = {QStringLiteral("8Б"), QStringLiteral("8Б"), QStringLiteral("9Б")};
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(table->item(row, 2)->text(), groups[row]) << row;

    // The figures shown are the pure layer's over the same sessions.
    TCLTSession a = Visit("", "", 45500, "", "01234567");
    TCLTSession b = Visit("", "", 45600, "", "10325476");
    TCLTSession c = Visit("", "", 45700, "", "23456701");
    const PersonHistory expected = TracePerson({&c, &a, &b});
    for (int row = 0; row < 3; ++row) {
        const HistoryStep &step = expected.Steps[static_cast<std::size_t>(row)];
        EXPECT_EQ(table->item(row, 4)->text(),
                  step.RhoToPrevious ? QString::fromStdString(FigureText(*step.RhoToPrevious, 2, ","))
                                     : QStringLiteral("—"))
            << row;
        EXPECT_EQ(table->item(row, 5)->text(), QString::fromStdString(FigureText(*step.OwnRho, 2, ","))) << row;
    }
    EXPECT_EQ(table->item(1, 4)->text(), QStringLiteral("0,90")); // 19/21 by hand

    // Saved as a PDF through the save dialog.
    const QString pdf = folder.filePath(QStringLiteral("история.pdf"));
    dialogs.saveFileAnswers.push_back(pdf);
    ASSERT_TRUE(window->SavePdf());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(4).startsWith("%PDF"));

    // The charts as a PNG from their pop-up menu, in the colours shown.
    const QString png = folder.filePath(QStringLiteral("история.png"));
    dialogs.saveFileAnswers.push_back(png);
    auto *chart = window->findChild<QWidget *>(QStringLiteral("HistoryChartView"));
    ASSERT_NE(chart, nullptr);
    auto *save = chart->findChild<QAction *>(QStringLiteral("actChartSavePng"));
    ASSERT_NE(save, nullptr);
    save->trigger();
    const QImage picture(png);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), chart->size() * 2);
    EXPECT_TRUE(HasPixel(picture, DefaultSwatchColours()[3].rgb())); // red, drawn
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

TEST_F(PersonHistoryTest, DatesAndFiguresFollowTheStationNotTheMachinesLocale)
{
    const QLocale machine;
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const struct {
        QLocale machine;
        QLocale station;
        const char *visit;
        const char *birth;
        const char *rho;
    } cases[] = {{english, russian, "04.11.2024", "14.01.2004", "0,90"},
                 {russian, english, "11/4/24", "1/14/04", "0.90"}};
    for (const auto &c : cases) {
        QLocale::setDefault(c.machine);
        const StationContext station(c.station);
        std::vector<std::unique_ptr<TCLTSession>> sessions;
        sessions.push_back(std::make_unique<TCLTSession>(Visit("Семенова", "Алена", 45500.5, "8Б", "01234567")));
        sessions.push_back(std::make_unique<TCLTSession>(Visit("Семенова", "Алена", 45600.5, "8Б", "10325476")));
        PersonHistoryWindow window(std::move(sessions), 0, station, DefaultColours);
        QLocale::setDefault(machine);
        const QString visit = QString::fromUtf8(c.visit);
        const auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableHistory"));
        ASSERT_NE(table, nullptr);
        EXPECT_TRUE(table->item(1, 0)->text().startsWith(visit + QLatin1Char(' ')))
            << table->item(1, 0)->text().toStdString();
        EXPECT_EQ(table->item(1, 4)->text(), QString::fromUtf8(c.rho));
        EXPECT_TRUE(window.findChild<QLabel *>(QStringLiteral("labelHistoryPerson"))
                        ->text()
                        .endsWith(QString::fromUtf8(c.birth)));
        // The printed pages: the date under the charts, the figure in the table.
        const int pages = HistoryPageCount(window.History());
        PaintRecorder charts(QSize(1000, 1414));
        PaintRecorder table0(QSize(1000, 1414));
        QPainter painter(&charts);
        PaintHistoryPage(painter, QRectF(0, 0, 1000, 1414), pages - 1, window.History(), window.Text(),
                         SwatchColours{});
        painter.end();
        painter.begin(&table0);
        PaintHistoryPage(painter, QRectF(0, 0, 1000, 1414), 0, window.History(), window.Text(), SwatchColours{});
        painter.end();
        EXPECT_NE(charts.Find(visit), nullptr) << c.visit;
        EXPECT_NE(table0.Find(QString::fromUtf8(c.rho)), nullptr) << c.rho;
    }
}

} // namespace
