#include "results/ResultsFixture.h"

#include "results/CollapsiblePanel.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "results/SwatchPanel.h"

#include <QApplication>
#include <QLabel>
#include <QTableView>

namespace {

QColor colourOf(ColourTable table, int entry)
{
    const ColourValue v = DefaultColours[static_cast<std::size_t>(ColourIndex(table, entry))];
    return QColor(RedOf(v), GreenOf(v), BlueOf(v));
}

// The caption's text at that place; "<no caption>" keeps a miss a plain
// failure rather than a crash of the whole run.
QString captionAt(const SwatchPanel *panel, int left, int top)
{
    const SwatchPanel::Caption *caption = panel->CaptionAt(left, top);
    return caption ? caption->Text : QStringLiteral("<no caption>");
}

QStringList captionTexts(const SwatchPanel *panel)
{
    QStringList texts;
    for (const auto &c : panel->Captions())
        texts << c.Text;
    return texts;
}

class ResultDetailTest : public ResultsPageFixture {
protected:
    // The session of that kind with marks and full-test values filled in.
    static TCLTSession Rich(int kind)
    {
        TCLTSession s = MakeSession("Смирнов", kind, 0, 0, "");
        s.AcMark[1][7] = 1;
        s.AcWeight[1][7] = 3;
        s.AcMark[1][1] = 2;
        s.AcWeight[1][1] = 1;
        s.AchromaticChoice[1] = 5;
        s.AchromaticChoice[2] = 1;
        s.AchromaticChoice[3] = 3;
        for (int t = 1; t <= 5; ++t)
            for (int c = 1; c <= 4; ++c)
                s.PairWins[t][c] = (t + c) % 4;
        s.ShadeScore[1] = 6;
        s.ShadeScore[2] = 1000;
        s.ShadeScore[3] = 12;
        s.ShadeScore[4] = 4;
        s.ShadeTendency[1] = 2;
        s.ShadeTendency[2] = 1000;
        s.ShadeTendency[3] = 1;
        s.ShadeTendency[4] = 1000;
        return s;
    }
};

TEST_F(ResultDetailTest, EightColourOnceDrawsTheFirstRowWithMarksOnly)
{
    Save(Rich(1));
    OpenPage();
    SwatchPanel *first = page->EightColourPanel(1);
    const int w = (first->width() - 45) / 8;
    const int h = first->height() - 55;
    ASSERT_GT(w, 0);

    ASSERT_EQ(first->Swatches().size(), 8u);
    for (int k = 1; k <= 8; ++k) {
        const auto &swatch = first->Swatches()[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(swatch.Rect, QRect((w + 5) * (k - 1) + 5, 5, w, h)) << k;
        EXPECT_EQ(swatch.Colour, colourOf(ColourTable::EightColour, k)) << k;
        const int centre = (w + 5) * (k - 1) + 5 + w / 2;
        const auto *number = first->CaptionAt(centre - 2, 5 + h + 3);
        ASSERT_NE(number, nullptr) << k;
        EXPECT_EQ(number->Text, QString::number(k - 1));
    }
    const int centre7 = (w + 5) * 6 + 5 + w / 2;
    EXPECT_EQ(captionAt(first, centre7 - 2, 5 + h + 18), QStringLiteral("A"));
    EXPECT_EQ(captionAt(first, centre7 - 3, 5 + h + 33), QStringLiteral("!!!"));
    const int centre1 = 5 + w / 2;
    EXPECT_EQ(captionAt(first, centre1 - 2, 5 + h + 18), QStringLiteral("C"));
    EXPECT_EQ(captionAt(first, centre1 - 1, 5 + h + 33), QStringLiteral("!"));
    // 8 numbers, 2 marks, 2 weights.
    EXPECT_EQ(first->Captions().size(), 12u);

    EXPECT_TRUE(page->EightColourPanel(2)->IsEmpty());
    EXPECT_TRUE(page->FullChoicesPanel()->IsEmpty());
    EXPECT_FALSE(Find<QLabel>("TeLabel28")->isHidden());

    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Смирнов Иван"));
    EXPECT_TRUE(LabelText("labelResultsUserSexAge").isEmpty());
    EXPECT_TRUE(LabelText("labelResultsUserGroup").isEmpty());
    EXPECT_EQ(LabelText("labelResultsSessionStarted"), QStringLiteral("30.06.2025 12:00:00"));
    EXPECT_EQ(LabelText("labelResultsSessionDuration"), QStringLiteral("1 ч 2 мин 5 сек"));
    EXPECT_EQ(MemoText("memoResultsBriefSummary"), QStringLiteral("Кратко о Смирнов"));
    EXPECT_EQ(MemoText("memoResultsTotalSummary"), QStringLiteral("Подробно о Смирнов"));
    EXPECT_EQ(MemoText("memoResultsFactorSummary"), QStringLiteral("Выводы о Смирнов"));
}

TEST_F(ResultDetailTest, FullTestDrawsBothChoicesAndTheWholeGrid)
{
    Save(Rich(4));
    Save(Rich(3));
    OpenPage();
    // A non-full session first shows the notice; the full one then hides it.
    EXPECT_FALSE(Find<QLabel>("TeLabel28")->isHidden());
    SelectRow(page->Grid(), 1);
    EXPECT_TRUE(Find<QLabel>("TeLabel28")->isHidden());

    SwatchPanel *second = page->EightColourPanel(2);
    ASSERT_EQ(second->Swatches().size(), 8u);
    EXPECT_EQ(second->Swatches()[0].Colour, colourOf(ColourTable::EightColour, 8));

    SwatchPanel *full = page->FullChoicesPanel();
    const int w = (full->width() - 117) / 4;
    auto left = [w](int c) { return (w + 5) * (c - 1) + 97; };
    auto centred = [&](int c) { return left(c) + w / 2 - 2; };
    // 3 greys and 5 tables of 4.
    ASSERT_EQ(full->Swatches().size(), 23u);
    EXPECT_EQ(full->Swatches()[0].Rect, QRect(left(1), 7, w, 15));
    EXPECT_EQ(full->Swatches()[0].Colour, colourOf(ColourTable::Achromatic, 5));
    EXPECT_EQ(full->Swatches()[1].Rect, QRect(left(2), 7, w, 15));
    EXPECT_EQ(full->Swatches()[2].Rect, QRect(left(4), 7, w, 15));
    EXPECT_EQ(full->Swatches()[2].Colour, colourOf(ColourTable::Achromatic, 3));
    EXPECT_EQ(captionAt(full, left(1) + w / 3, 25), QStringLiteral("+4"));
    EXPECT_EQ(captionAt(full, left(2) + w / 3, 25), QStringLiteral("+0"));
    EXPECT_EQ(captionAt(full, left(4) + w / 3, 25), QStringLiteral("-2"));
    EXPECT_EQ(captionAt(full, 4, 7), QStringLiteral("Серые цвета"));

    const QString letters[4] = {QStringLiteral("I"), QStringLiteral("D"), QStringLiteral("O"), QStringLiteral("P")};
    for (int c = 1; c <= 4; ++c)
        EXPECT_EQ(captionAt(full, centred(c), 43), letters[c - 1]) << c;

    const ColourTable tables[5] = {ColourTable::Main, ColourTable::Blue, ColourTable::Green, ColourTable::Yellow,
                                   ColourTable::Red};
    const QString rowCaptions[5] = {QStringLiteral("Основные цвета"), QStringLiteral("Синие цвета"),
                                    QStringLiteral("Зеленые цвета"), QStringLiteral("Желтые цвета"),
                                    QStringLiteral("Красные цвета")};
    for (int t = 1; t <= 5; ++t) {
        const int top = 62 + 35 * (t - 1);
        EXPECT_EQ(captionAt(full, 4, top), rowCaptions[t - 1]);
        for (int c = 1; c <= 4; ++c) {
            const auto &swatch = full->Swatches()[static_cast<std::size_t>(3 + (t - 1) * 4 + (c - 1))];
            EXPECT_EQ(swatch.Rect, QRect(left(c), top, w, 15)) << t << c;
            EXPECT_EQ(swatch.Colour, colourOf(tables[t - 1], c)) << t << c;
            EXPECT_EQ(captionAt(full, centred(c), top + 18), QString::number((t + c) % 4)) << t << c;
        }
    }

    EXPECT_EQ(captionAt(full, 4, 245), QStringLiteral("Сумма С+З+Ж+К"));
    EXPECT_EQ(captionAt(full, 4, 268), QStringLiteral("Норма"));
    EXPECT_EQ(captionAt(full, 4, 291), QStringLiteral("Позиции куба"));
    const QString scores[4] = {QStringLiteral("6"), QStringLiteral("±"), QStringLiteral("12"), QStringLiteral("4")};
    const QString norms[4] = {QStringLiteral("3-7"), QStringLiteral("3-8"), QStringLiteral("5-10"),
                              QStringLiteral("3-9")};
    const QString cube[4] = {QStringLiteral("2"), QStringLiteral("±2"), QStringLiteral("1"), QStringLiteral("±4")};
    for (int c = 1; c <= 4; ++c) {
        EXPECT_EQ(captionAt(full, centred(c), 245), scores[c - 1]) << c;
        EXPECT_EQ(captionAt(full, (w + 4) * (c - 1) + 97 + w / 2 - 4, 268), norms[c - 1]) << c;
        EXPECT_EQ(captionAt(full, centred(c), 291), cube[c - 1]) << c;
    }

    // Back to the other kind: the grid goes, the notice comes back.
    SelectRow(page->Grid(), 0);
    EXPECT_TRUE(full->IsEmpty());
    EXPECT_FALSE(Find<QLabel>("TeLabel28")->isHidden());
}

TEST_F(ResultDetailTest, RelationsTestDrawsTwoChoicesAndTheNotice)
{
    TCLTSession s = MakeSession("Кузнецова", 4, 2, 41.5, "Бухгалтерия");
    Save(s);
    OpenPage();
    EXPECT_EQ(page->EightColourPanel(1)->Swatches().size(), 8u);
    ASSERT_EQ(page->EightColourPanel(2)->Swatches().size(), 8u);
    EXPECT_EQ(page->EightColourPanel(2)->Swatches()[7].Colour, colourOf(ColourTable::EightColour, 1));
    EXPECT_EQ(captionTexts(page->EightColourPanel(2)),
              (QStringList{QStringLiteral("7"), QStringLiteral("6"), QStringLiteral("5"), QStringLiteral("4"),
                           QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("0")}));
    EXPECT_TRUE(page->FullChoicesPanel()->IsEmpty());
    EXPECT_FALSE(Find<QLabel>("TeLabel28")->isHidden());
    EXPECT_EQ(LabelText("labelResultsUserSexAge"), QStringLiteral("Женщина, 41,5 лет"));
    EXPECT_EQ(LabelText("labelResultsUserGroup"), QStringLiteral("Бухгалтерия"));
}

TEST_F(ResultDetailTest, NamesAndGroupsFromTheFileAreNeverReadAsMarkup)
{
    Save(MakeSession("<b>Ли</b>", 1, 1, 30, "<i>Отдел</i>"));
    OpenPage();
    EXPECT_EQ(LabelText("labelResultsUserGroup"), QStringLiteral("<i>Отдел</i>"));
    for (const char *name : {"labelResultsUserName", "labelResultsUserSexAge", "labelResultsUserGroup",
                             "labelResultsSessionStarted", "labelResultsSessionDuration"})
        EXPECT_EQ(Find<QLabel>(name)->textFormat(), Qt::PlainText) << name;
}

TEST_F(ResultDetailTest, RolledUpPanelsAreSkippedAndDrawnWhenOpened)
{
    Save(Rich(3));
    OpenPage(false);
    auto *eight = Find<CollapsiblePanel>("TeHeaderPanel4");
    auto *extra = Find<CollapsiblePanel>("TeHeaderPanel5");
    eight->SetRolled(true);
    extra->SetRolled(true);
    page->RefillResults(false);
    EXPECT_TRUE(page->EightColourPanel(1)->IsEmpty());
    EXPECT_TRUE(page->FullChoicesPanel()->IsEmpty());
    EXPECT_FALSE(LabelText("labelResultsUserName").isEmpty());

    eight->SetRolled(false);
    EXPECT_EQ(page->EightColourPanel(1)->Swatches().size(), 8u);
    extra->SetRolled(false);
    EXPECT_EQ(page->FullChoicesPanel()->Swatches().size(), 23u);

    // Without a selected row, rolling a panel clears the whole view.
    page->Grid()->clearSelection();
    eight->SetRolled(true);
    EXPECT_TRUE(LabelText("labelResultsUserName").isEmpty());
    EXPECT_TRUE(page->FullChoicesPanel()->IsEmpty());
    EXPECT_TRUE(MemoText("memoResultsBriefSummary").isEmpty());
}

TEST_F(ResultDetailTest, SelectionIsIgnoredUntilTheListIsReady)
{
    Save(Rich(2));
    OpenPage(false);
    EXPECT_FALSE(page->ResultsListReady());
    page->AddResultRow(0, true);
    EXPECT_TRUE(LabelText("labelResultsUserName").isEmpty());
    page->SetResultsListReady(true);
    page->gridResultsSelectItem(0);
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Смирнов Иван"));
}

TEST_F(ResultDetailTest, ColoursComeFromTheSetInEffect)
{
    Save(Rich(2));
    OpenPage();
    ColourSet colours = DefaultColours;
    colours[static_cast<std::size_t>(ColourIndex(ColourTable::EightColour, 1))] = MakeColour(1, 2, 3);
    page->SetColours(colours);
    ASSERT_FALSE(page->EightColourPanel(1)->Swatches().empty());
    EXPECT_EQ(page->EightColourPanel(1)->Swatches()[0].Colour, QColor(1, 2, 3));
}

} // namespace

// At the window's first size the whole page fits: the filter bar wraps
// beside the side bar, and the swatches follow the width the panel really
// gets once laid out rather than the one it had when first drawn.
TEST_F(ResultDetailTest, PageFitsTheWindowAndSwatchesFollowThePanelWidth)
{
    Save(Rich(3));
    // As in the window: filled while its tab is hidden, laid out when shown.
    TCLTArchive read;
    ASSERT_TRUE(LoadArchive(dataFolder.toStdString(), read, SessionContext{TestToday, ","}).Skipped.empty());
    archive.AddAll(read);
    page = std::make_unique<ResultsPage>(archive, *store);
    page->SetResultsListReady(true);
    page->RefillResults(false);
    ASSERT_FALSE(page->EightColourPanel(1)->Swatches().empty());
    page->resize(835, 650);
    page->show();
    QApplication::processEvents();
    EXPECT_LE(page->minimumSizeHint().width(), 835);
    auto *bar = Find<QWidget>("filterBar");
    for (const char *name : {"cbFilterTest", "cbFilterGroup", "cbFilterSex", "checkFilterAge", "seFilterAgeMax"}) {
        auto *control = Find<QWidget>(name);
        const QRect inBar(control->mapTo(bar, QPoint(0, 0)), control->size());
        EXPECT_TRUE(bar->rect().contains(inBar)) << name;
    }
    auto *side = Find<QWidget>("sideBar");
    EXPECT_LE(side->geometry().right(), page->width());
    EXPECT_GE(side->geometry().left(), bar->mapTo(page.get(), QPoint(bar->width(), 0)).x());

    for (SwatchPanel *panel : {page->EightColourPanel(1), page->FullChoicesPanel()}) {
        ASSERT_FALSE(panel->Swatches().empty());
        EXPECT_GT(panel->width(), 200);
    }
    SwatchPanel *first = page->EightColourPanel(1);
    EXPECT_EQ(first->Swatches()[0].Rect.width(), (first->width() - 45) / 8);
    SwatchPanel *full = page->FullChoicesPanel();
    EXPECT_EQ(full->Swatches().back().Rect.right() + 1,
              (((full->width() - 117) / 4) + 5) * 3 + 97 + (full->width() - 117) / 4);
}
