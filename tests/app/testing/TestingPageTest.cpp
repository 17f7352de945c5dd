#include "app/testing/TestingPage.h"
#include "app/testing/ChooserPanel.h"
#include "app/testing/RegistrationPanel.h"
#include "app/testing/TileArea.h"
#include "qtkit/StationContext.h"
#include "support/ScriptedDialogs.h"
#include "testing/TestKinds.h"
#include "testing/TileLayout.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr OleDate Noon = 45000.5;

ColourSet NumberedColours()
{
    ColourSet set{};
    for (int i = 0; i < ColourCount; ++i)
        set[static_cast<size_t>(i)] = MakeColour(10 + i, 100 + i, 200 - i);
    return set;
}

// Types text key by key; QTest::keyClicks only knows Latin letters.
void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

QColor QColourOf(ColourValue c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

class PageFixture : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
    ArchiveList sessions;
    OleDate now = Noon;
    StationContext context{QLocale(QLocale::Russian, QLocale::Russia), [this] { return FromOleDate(now); }};
    TestingPage page;
    std::vector<TCLTSession *> finished;
    qint64 clockMs = 0; // the tile area's clock; Click moves it past any double-click

    void SetUp() override
    {
        page.Tiles()->SetClock([this] { return clockMs; });
        page.SetSessionList(&sessions);
        page.SetContext(context);
        page.SetRandom(SeededRandom(4242));
        page.SetColours(NumberedColours());
        QObject::connect(&page, &TestingPage::testFinished, &page,
                         [this](TCLTSession *s, double, double) { finished.push_back(s); });
        page.resize(861, 600);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }

    QPushButton *Button(const char *name) { return page.findChild<QPushButton *>(QLatin1String(name)); }
    QString Label(const char *name) { return page.findChild<QLabel *>(QLatin1String(name))->text(); }
    QList<ColourTile *> Tiles() { return page.Tiles()->Tiles(); }

    void Choose(int kind)
    {
        page.StartOrStop(); // actStartTesting while idle
        ASSERT_TRUE(page.Chooser()->isVisible());
        QTest::mouseClick(page.Chooser()->StartButton(kind), Qt::LeftButton);
        ASSERT_FALSE(page.Chooser()->isVisible());
        ASSERT_TRUE(page.Registration()->isVisible());
    }
    void TypeName()
    {
        page.Registration()->SurnameEdit()->clear();
        page.Registration()->FirstNameEdit()->clear();
        TypeText(page.Registration()->SurnameEdit(), QStringLiteral("Кузнецов"));
        TypeText(page.Registration()->FirstNameEdit(), QStringLiteral("Олег"));
    }
    void Submit() { QTest::mouseClick(page.Registration()->SubmitButton(), Qt::LeftButton); }
    void ConfirmList(const QString &text)
    {
        page.findChild<QPlainTextEdit *>(QStringLiteral("memoStimulItems"))->setPlainText(text);
        QTest::mouseClick(Button("btnStimulDone"), Qt::LeftButton);
    }
    int Click(qsizetype index)
    {
        const auto tiles = Tiles();
        if (index >= tiles.size()) {
            ADD_FAILURE() << "no tile " << index << " of " << tiles.size();
            return -1;
        }
        ColourTile *tile = tiles.at(index);
        const int tag = tile->Tag();
        clockMs += 10000;
        QTest::mouseClick(tile, Qt::LeftButton);
        return tag;
    }
    void ClickFirstUntilFinished()
    {
        const size_t before = finished.size();
        for (int guard = 0; finished.size() == before && guard < 200 && !Tiles().isEmpty(); ++guard)
            Click(0);
    }
};

// ---------------------------------------------------------------- whole tests

TEST_F(PageFixture, EightColourOnceFromTheChooserToTheFinishSignal)
{
    QSignalSpy running(&page, &TestingPage::testRunningChanged);
    Choose(KindEightOnce);
    ASSERT_GE(running.count(), 1);
    EXPECT_EQ(running.last().at(1).toString(), QStringLiteral("Прекратить тестирование"));
    EXPECT_EQ(Label("labelStepNo"), QStringLiteral("Восьмицветный тест Люшера - Шаг 1 из 8"));
    EXPECT_EQ(Label("labelStepName"), QStringLiteral("Идентификация тестируемого"));
    TypeName();
    Submit();
    EXPECT_FALSE(page.Registration()->isVisible());
    EXPECT_TRUE(page.ClockTimer()->isActive());
    EXPECT_EQ(page.ClockTimer()->interval(), 600000);
    EXPECT_FALSE(page.StatusText(StatusPanel::StartTime).isEmpty());
    EXPECT_EQ(page.StatusText(StatusPanel::Step), QStringLiteral("8ЦТЛ1 - Шаг 2 из 8"));

    std::vector<int> clicked;
    for (int i = 0; i < 7; ++i) {
        ASSERT_EQ(Tiles().size(), 8 - i);
        for (ColourTile *tile : Tiles()) {
            EXPECT_EQ(
                tile->Colour(),
                QColourOf(NumberedColours()[static_cast<size_t>(ColourIndex(ColourTable::EightColour, tile->Tag()))]));
            EXPECT_EQ(tile->cursor().shape(), Qt::PointingHandCursor);
        }
        clicked.push_back(Click(Tiles().size() - 1));
    }
    ASSERT_EQ(finished.size(), 1u);
    TCLTSession &s = *finished[0];
    EXPECT_EQ(&s, &sessions[0]);
    for (int p = 1; p <= 7; ++p)
        EXPECT_EQ(s.Choice[1][p], clicked[static_cast<size_t>(p - 1)]);
    EXPECT_EQ(s.Choice[2], s.Choice[1]);
    EXPECT_EQ(s.Surname, "Кузнецов");
    EXPECT_FALSE(page.ClockTimer()->isActive());
    EXPECT_EQ(running.last().at(1).toString(), QStringLiteral("Начать тестирование"));
    EXPECT_TRUE(Tiles().isEmpty());
    EXPECT_EQ(page.ProgressPosition(), 0);
}

TEST_F(PageFixture, EightColourTwiceRecordsBothChoices)
{
    Choose(KindEightTwice);
    TypeName();
    Submit();
    std::vector<int> first, second;
    for (int i = 0; i < 7; ++i)
        first.push_back(Click(0));
    EXPECT_EQ(Label("labelStepName"), QStringLiteral("Выберите наиболее ПРИЯТНЫЙ цвет [повторный выбор]"));
    EXPECT_EQ(Tiles().size(), 8);
    for (int i = 0; i < 7; ++i)
        second.push_back(Click(i % 2 ? 0 : Tiles().size() - 1));
    ASSERT_EQ(finished.size(), 1u);
    for (int p = 1; p <= 7; ++p) {
        EXPECT_EQ(finished[0]->Choice[1][p], first[static_cast<size_t>(p - 1)]);
        EXPECT_EQ(finished[0]->Choice[2][p], second[static_cast<size_t>(p - 1)]);
    }
}

TEST_F(PageFixture, FullTestWithATiedTableRepeatedAndTheLabelGoingBack)
{
    Choose(KindFull);
    TypeName();
    Submit();
    ASSERT_EQ(Tiles().size(), 5);
    const int g1 = Click(4), g2 = Click(0);
    EXPECT_EQ(Label("labelStepName"),
              QStringLiteral("ВНИМАНИЕ!!! Сейчас Вы должны выбрать НАИБОЛЕЕ НЕПРИЯТНЫЙ (!!!) цвет"));
    const int g3 = Click(1);
    EXPECT_EQ(Label("labelStepName"), QStringLiteral("Выберите наиболее ПРИЯТНЫЙ цвет"));
    for (int i = 0; i < 14; ++i)
        Click(0);
    ASSERT_EQ(Tiles().size(), 2);
    EXPECT_EQ(Label("labelStepNo"), QStringLiteral("Полный цветовой тест Люшера - Шаг 19 из 48"));

    auto clickShade = [&](int shade) {
        const auto tiles = Tiles();
        ASSERT_EQ(tiles.size(), 2);
        clockMs += 10000;
        QTest::mouseClick(tiles[0]->Tag() == shade ? tiles[0] : tiles[1], Qt::LeftButton);
    };
    for (int shade : {1, 2, 2, 3, 1}) // the main table heads for 2, 2, 1, 1
        clickShade(shade);
    EXPECT_EQ(Label("labelStepNo"), QStringLiteral("Полный цветовой тест Люшера - Шаг 24 из 48"));
    clickShade(4);
    EXPECT_EQ(Label("labelStepNo"), QStringLiteral("Полный цветовой тест Люшера - Шаг 19 из 48"));
    EXPECT_EQ(page.ProgressPosition(), 19);
    EXPECT_EQ(Tiles()[0]->Tag(), 1);
    EXPECT_EQ(Tiles()[1]->Tag(), 4);
    for (int shade : {1, 2, 1, 3, 3, 2}) // 2, 2, 2, 0: the tie stands now
        clickShade(shade);
    EXPECT_EQ(Label("labelStepNo"), QStringLiteral("Полный цветовой тест Люшера - Шаг 25 из 48"));
    // The blue table is painted in the blue shades.
    EXPECT_EQ(Tiles()[0]->Colour(),
              QColourOf(NumberedColours()[static_cast<size_t>(ColourIndex(ColourTable::Blue, Tiles()[0]->Tag()))]));
    ClickFirstUntilFinished();
    ASSERT_EQ(finished.size(), 1u);
    const TCLTSession &s = *finished[0];
    EXPECT_EQ(s.AchromaticChoice[1], g1);
    EXPECT_EQ(s.AchromaticChoice[2], g2);
    EXPECT_EQ(s.AchromaticChoice[3], g3);
    EXPECT_EQ(s.PairWins[1][1], 2);
    EXPECT_EQ(s.PairWins[1][2], 2);
    EXPECT_EQ(s.PairWins[1][3], 2);
    EXPECT_EQ(s.PairWins[1][4], 0);
    for (int table = 2; table <= 5; ++table)
        EXPECT_EQ(s.PairWins[table][1], 3) << table;
}

TEST_F(PageFixture, RelationsTestWithAPredefinedSetAndBothPasses)
{
    StimulusSets sets;
    sets.Names = {"Семья", "Работа"};
    sets.Values = {";Мать;;Отец;", "Начальник;Коллега;Работа"};
    page.SetStimulusSets(sets);
    auto *combo = page.findChild<QComboBox *>(QStringLiteral("cbStimulSet"));
    auto *memo = page.findChild<QPlainTextEdit *>(QStringLiteral("memoStimulItems"));
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Мать\nОтец"));
    combo->setCurrentIndex(1);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Начальник\nКоллега\nРабота"));

    Choose(KindRelations);
    EXPECT_EQ(Label("labelStepNo"), QStringLiteral("Цветовой тест отношений - Шаг 1 из 16"));
    TypeName();
    Submit();
    EXPECT_TRUE(page.findChild<QWidget *>(QStringLiteral("TePanel7"))->isVisible());
    EXPECT_EQ(Label("labelStepName"), QStringLiteral("Определение стимульного материала"));
    EXPECT_TRUE(page.StatusText(StatusPanel::StartTime).isEmpty()) << "the clock waits for the list";

    QApplication::setActiveWindow(&page);
    combo->setFocus();
    ConfirmList(QStringLiteral("Мать"));
    EXPECT_EQ(dialogs.warnings,
              QStringList{QStringLiteral("Вам необходимо указать не менее 2 значимых лиц или понятий")});
    EXPECT_EQ(QApplication::focusWidget(), page.findChild<QPlainTextEdit *>(QStringLiteral("memoStimulItems")));
    EXPECT_TRUE(Tiles().isEmpty());

    combo->setCurrentIndex(0);
    QTest::mouseClick(Button("btnStimulDone"), Qt::LeftButton);
    EXPECT_FALSE(page.findChild<QWidget *>(QStringLiteral("TePanel7"))->isVisible());
    EXPECT_EQ(Label("labelStepNo"), QStringLiteral("Цветовой тест отношений - Шаг 3 из 20"));
    EXPECT_EQ(Label("labelStepName"),
              QStringLiteral("С каким цветом у Вас ассоциируется значимое лицо или понятие \"Мать\""));
    EXPECT_FALSE(page.StatusText(StatusPanel::StartTime).isEmpty());

    std::vector<int> pass1, pass2;
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(Tiles().size(), 8);
        pass1.push_back(Click(i));
    }
    EXPECT_EQ(Label("labelStepNo"), QStringLiteral("Цветовой тест отношений - Шаг 5 из 20"));
    for (int i = 0; i < 14; ++i)
        Click(0);
    EXPECT_EQ(Label("labelStepNo"), QStringLiteral("Цветовой тест отношений - Шаг 19 из 20"));
    EXPECT_EQ(Label("labelStepName"),
              QStringLiteral("С каким цветом у Вас ассоциируется значимое лицо или понятие \"Мать\""));
    for (int i = 0; i < 2; ++i)
        pass2.push_back(Click(7 - i));
    ASSERT_EQ(finished.size(), 1u);
    const TCLTSession &s = *finished[0];
    ASSERT_EQ(s.CtoItems.Count(), 2u);
    EXPECT_EQ(s.CtoItems[0].StimulusName, "Мать");
    EXPECT_EQ(s.CtoItems[1].StimulusName, "Отец");
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(s.CtoItems[i].AssociatedColour[1], pass1[i]);
        EXPECT_EQ(s.CtoItems[i].AssociatedColour[2], pass2[i]);
    }
}

// ---------------------------------------------------------------- registration

TEST_F(PageFixture, RegistrationMessagesComeOneAtATimeInTheirOrder)
{
    RequiredFields all;
    all.Flags.fill(true);
    page.SetRequiredFields(all);
    page.Registration()->SurnameEdit()->clear();
    page.Registration()->FirstNameEdit()->clear();
    page.Registration()->PatronymicEdit()->clear();
    page.Registration()->GroupBox()->setCurrentIndex(-1);
    page.Registration()->SexBox()->setCurrentIndex(-1);
    page.Registration()->BirthDateEdit()->setDate(QDate(2023, 3, 1)); // 45000 is 2023-03-15
    QApplication::setActiveWindow(&page);                             // focus moves only in the active window
    Choose(KindEightOnce);
    for (int f = 0; f < RegistrationFieldCount; ++f)
        EXPECT_TRUE(page.Registration()->MarkVisible(static_cast<RegistrationField>(f))) << f;

    // Each refusal moves the focus to the field its message names.
    RegistrationPanel &form = *page.Registration();
    QList<QWidget *> focused;
    const auto submitFrom = [&](QWidget *elsewhere) {
        elsewhere->setFocus();
        Submit();
        focused << QApplication::focusWidget();
    };
    submitFrom(form.SexBox());
    submitFrom(form.FirstNameEdit()); // nothing changed: the same message again
    TypeText(form.SurnameEdit(), QStringLiteral(" "));
    submitFrom(form.SurnameEdit());
    TypeText(form.FirstNameEdit(), QStringLiteral("Ян"));
    submitFrom(form.FirstNameEdit());
    TypeText(form.PatronymicEdit(), QStringLiteral("Ильич"));
    submitFrom(form.SurnameEdit());
    form.GroupBox()->setCurrentIndex(0);
    submitFrom(form.SurnameEdit());
    form.SexBox()->setCurrentIndex(0);
    submitFrom(form.SurnameEdit());
    EXPECT_EQ(dialogs.warnings,
              (QStringList{QStringLiteral("Не заполнено поле Фамилия"), QStringLiteral("Не заполнено поле Фамилия"),
                           QStringLiteral("Не заполнено поле Имя"), QStringLiteral("Не заполнено поле Отчество"),
                           QStringLiteral("Не заполнено поле Группа"), QStringLiteral("Не заполнено поле Пол"),
                           QStringLiteral("Не заполнено поле Дата рождения")}));
    EXPECT_EQ(focused,
              (QList<QWidget *>{form.SurnameEdit(), form.SurnameEdit(), form.FirstNameEdit(), form.PatronymicEdit(),
                                form.GroupBox(), form.SexBox(), form.BirthDateEdit()}));
    EXPECT_EQ(page.Procedure().CurrentStep(), 1);
    EXPECT_TRUE(page.Registration()->isVisible());
    page.Registration()->BirthDateEdit()->setDate(QDate(1990, 5, 17));
    Submit();
    EXPECT_EQ(dialogs.warnings.size(), 7);
    EXPECT_EQ(page.Procedure().CurrentStep(), 2);
    const TCLTSession &s = *page.Procedure().CurrentSession();
    EXPECT_EQ(s.Surname, " ");
    EXPECT_EQ(s.Group, "Администрация");
    EXPECT_EQ(s.Sex, 1);
    EXPECT_DOUBLE_EQ(s.BirthDate, ToOleDate({1990, 5, 17}));
}

TEST_F(PageFixture, DefaultMarksAreSurnameAndGivenNameOnly)
{
    page.SetRequiredFields(RequiredFields{});
    Choose(KindEightOnce);
    const std::vector<bool> expected = {true, true, false, false, false, false};
    for (int f = 0; f < RegistrationFieldCount; ++f)
        EXPECT_EQ(page.Registration()->MarkVisible(static_cast<RegistrationField>(f)),
                  expected[static_cast<size_t>(f)]);
}

// ---------------------------------------------------------------- stop, resize, result

TEST_F(PageFixture, StoppingHalfWayLeavesNothingBehind)
{
    sessions.Add(std::make_unique<TCLTSession>()).Surname = "Прежний";
    QSignalSpy stopped(&page, &TestingPage::testStopped);
    Choose(KindRelations);
    TypeName();
    Submit();
    ConfirmList(QStringLiteral("Мать\nОтец\nДруг"));
    for (int i = 0; i < 3 + 9; ++i) // pass 1 and part of the first choice
        Click(0);
    ASSERT_EQ(sessions.Count(), 1u);
    ASSERT_NE(page.Procedure().CurrentSession(), nullptr);
    page.StartOrStop(); // actStartTesting during a test
    EXPECT_EQ(stopped.count(), 1);
    ASSERT_EQ(sessions.Count(), 1u);
    EXPECT_EQ(sessions[0].Surname, "Прежний");
    EXPECT_TRUE(finished.empty());
    EXPECT_TRUE(Tiles().isEmpty());
    EXPECT_FALSE(page.ClockTimer()->isActive());
    EXPECT_EQ(Label("labelStepNo"), QString());
    EXPECT_FALSE(page.findChild<QWidget *>(QStringLiteral("Panel100"))->isVisible());
    EXPECT_EQ(page.StatusText(StatusPanel::StartTime), QString());
    EXPECT_EQ(page.StartStopCaption(), QStringLiteral("Начать тестирование"));
    // The next press opens the chooser again.
    page.StartOrStop();
    EXPECT_TRUE(page.Chooser()->isVisible());
}

// The second click of a double-click lands on the tile that slid into place
// after the first pick: within the double-click interval it is no pick.
TEST_F(PageFixture, ASecondClickWithinTheDoubleClickIntervalIsNoPick)
{
    page.Tiles()->SetDoubleClickInterval(400);
    struct Case {
        int kind;
        TestPhase phase;
    };
    const Case cases[] = {{KindEightOnce, TestPhase::EightColour},
                          {KindFull, TestPhase::Achromatic},
                          {KindFull, TestPhase::Pairs},
                          {KindRelations, TestPhase::Stimulus}};
    for (const Case &c : cases) {
        for (const qint64 gap : {qint64(50), qint64(401)}) {
            SCOPED_TRACE(testing::Message() << "kind " << c.kind << ", gap " << gap);
            Choose(c.kind);
            TypeName();
            Submit();
            if (c.kind == KindRelations)
                ConfirmList(QStringLiteral("Мать\nОтец\nДруг"));
            for (int guard = 0; page.Procedure().Phase() != c.phase && guard < 40; ++guard)
                Click(0);
            ASSERT_EQ(page.Procedure().Phase(), c.phase);
            const int step = page.Procedure().CurrentStep();
            clockMs += 10000;
            QTest::mouseClick(Tiles().at(0), Qt::LeftButton);
            clockMs += gap;
            QTest::mouseClick(Tiles().at(0), Qt::LeftButton);
            EXPECT_EQ(page.Procedure().CurrentStep() - step, gap < 400 ? 1 : 2);
            page.StopTest();
        }
    }
}

// Nothing of one tested person is offered to the next: every new test
// starts with an empty form, whether the last one finished or was stopped.
TEST_F(PageFixture, EveryNewTestStartsWithAnEmptyRegistrationForm)
{
    page.SetUserGroups({QStringLiteral("А"), QStringLiteral("Б")});
    RegistrationPanel *form = page.Registration();
    const QDate today(2023, 3, 15); // the day of the fixture's clock (45000.5)
    auto fill = [&] {
        TypeName();
        form->PatronymicEdit()->setText(QStringLiteral("Петрович"));
        form->GroupBox()->setCurrentIndex(1);
        form->SexBox()->setCurrentIndex(0);
        form->BirthDateEdit()->setDate(QDate(1980, 1, 2));
    };
    for (const bool finishIt : {true, false}) {
        SCOPED_TRACE(finishIt ? "after a finished test" : "after a stopped test");
        Choose(KindEightOnce);
        fill();
        Submit();
        if (finishIt)
            ClickFirstUntilFinished();
        else
            page.StopTest();
        Choose(KindEightOnce);
        EXPECT_TRUE(form->SurnameEdit()->text().isEmpty());
        EXPECT_TRUE(form->FirstNameEdit()->text().isEmpty());
        EXPECT_TRUE(form->PatronymicEdit()->text().isEmpty());
        EXPECT_EQ(form->GroupBox()->currentIndex(), -1);
        EXPECT_EQ(form->GroupBox()->count(), 2);
        EXPECT_EQ(form->SexBox()->currentIndex(), -1);
        EXPECT_EQ(form->BirthDateEdit()->date(), today);
        page.StopTest();
    }
}

TEST_F(PageFixture, TilesCloseUpAndFollowTheSizeOfTheTestArea)
{
    Choose(KindEightTwice);
    TypeName();
    Submit();
    auto check = [&] {
        const auto tiles = Tiles();
        const auto rects =
            LayOutTileRects(static_cast<int>(tiles.size()), page.Tiles()->width(), page.Tiles()->height());
        for (qsizetype i = 0; i < tiles.size(); ++i) {
            const auto &r = rects[static_cast<size_t>(i)];
            EXPECT_EQ(tiles[i]->geometry(), QRect(r.Left, r.Top, r.Width, r.Height)) << i;
        }
    };
    check();
    Click(3);
    Click(0);
    ASSERT_EQ(Tiles().size(), 6);
    check();
    page.resize(1100, 700);
    QCoreApplication::processEvents();
    check();
    EXPECT_EQ(Tiles()[0]->width(), (page.Tiles()->width() - 20 - 50) / 6);

    // On a narrow window the header grows so the details are not cut off.
    page.resize(420, 600);
    QCoreApplication::processEvents();
    auto *details = page.findChild<QLabel *>(QStringLiteral("labelStepDetails"));
    EXPECT_GT(page.findChild<QWidget *>(QStringLiteral("TePanel2"))->height(), 80);
    EXPECT_GE(details->height(), details->heightForWidth(details->width()));
    check();
}

TEST_F(PageFixture, TheTilesStayInPlaceWhenTheRepeatStepsLongerTextComes)
{
    // The repeat details are a third longer than the first choice's and wrap
    // to more lines, the more so on a narrow window.
    for (const int width : {861, 640, 480}) {
        page.resize(width, 600);
        Choose(KindEightTwice);
        TypeName();
        Submit();
        QCoreApplication::processEvents();
        const int top = page.Tiles()->mapTo(&page, QPoint(0, 0)).y();
        const QRect tile = Tiles()[0]->geometry();
        for (int i = 0; i < 7; ++i)
            Click(0);
        QCoreApplication::processEvents();
        ASSERT_EQ(Label("labelStepName"), QStringLiteral("Выберите наиболее ПРИЯТНЫЙ цвет [повторный выбор]"));
        EXPECT_EQ(page.Tiles()->mapTo(&page, QPoint(0, 0)).y(), top) << width;
        EXPECT_EQ(Tiles()[0]->geometry(), tile) << width;
        page.StopTest();
    }
}

TEST_F(PageFixture, TheResultIsShownAsThePreferenceAllows)
{
    page.SetShowResultType(2);
    Choose(KindEightOnce);
    TypeName();
    Submit();
    ClickFirstUntilFinished();
    ASSERT_EQ(finished.size(), 1u);
    finished[0]->DetailedConclusion = "Подробный текст";
    page.ShowResult(*finished[0]);
    QPlainTextEdit *memo = page.ResultMemo();
    EXPECT_EQ(memo->objectName(), QStringLiteral("memoTestResult")); // others still know it by this name
    EXPECT_TRUE(memo->isVisible());
    EXPECT_FALSE(page.Tiles()->isVisible());
    EXPECT_TRUE(memo->toPlainText().endsWith(QStringLiteral("Результат тестирования:\n\nПодробный текст")));
    EXPECT_EQ(page.findChild<QLabel *>(QStringLiteral("TePanel2Caption"))->text(),
              QStringLiteral("Подробное заключение"));

    page.StartOrStop(); // a new test brings the test area back
    EXPECT_TRUE(page.Tiles()->isVisible());
    EXPECT_FALSE(memo->isVisible());

    page.SetShowResultType(0);
    QTest::mouseClick(page.Chooser()->StartButton(KindEightOnce), Qt::LeftButton);
    TypeName();
    Submit();
    ClickFirstUntilFinished();
    ASSERT_EQ(finished.size(), 2u);
    page.ShowResult(*finished[1]);
    EXPECT_FALSE(memo->isVisible());
    EXPECT_TRUE(page.Tiles()->isVisible());
}

} // namespace
