#include "testing/TestKinds.h"
#include "testing/ColourTables.h"

#include <gtest/gtest.h>

#include <set>

TEST(TestKinds, StepCountsFollowTheCompositionOfEachKind)
{
    EXPECT_EQ(TestKindStepCount(KindEightOnce), 8);
    EXPECT_EQ(TestKindStepCount(KindEightTwice), 15);
    EXPECT_EQ(TestKindStepCount(KindFull), 48);
    // Until the stimulus list is confirmed the relations test counts 16 steps.
    EXPECT_EQ(TestKindStepCount(KindRelations), 16);
    EXPECT_EQ(TestKindStepCount(KindRelations, 2), 20);
    EXPECT_EQ(TestKindStepCount(KindRelations, 10), 36);
    EXPECT_EQ(TestKindStepCount(0), 0);
    EXPECT_EQ(TestKindStepCount(5), 0);
}

TEST(TestKinds, NamesOfEveryKindAndUnknownCodes)
{
    EXPECT_EQ(TestKindShortName(1), "8ЦТЛ1");
    EXPECT_EQ(TestKindListName(2), "8-цветный ТЛ [2]");
    EXPECT_EQ(TestKindListName(3), "Полный ЦТЛ");
    EXPECT_EQ(TestKindTitle(4), "Цветовой тест отношений");
    EXPECT_EQ(TestKindChooserTitle(4), "Цветовой тест отношений (ЦТО)");
    EXPECT_TRUE(TestKindListName(0).empty());
    EXPECT_TRUE(TestKindDescription(7).empty());
    EXPECT_EQ(AnyTestListName, "Любой тест");
}

TEST(TestKinds, LongDescriptionsBeginAsWrittenAndKeepTheirLength)
{
    auto characters = [](const std::string &utf8) {
        size_t n = 0;
        for (unsigned char c : utf8)
            n += (c & 0xC0) != 0x80;
        return n;
    };
    EXPECT_EQ(TestKindDescription(3).rfind("Данный клинический тест является наиболее полной формой цветового теста "
                                           "Люшера, состоящей из 7 цветовых панелей (73 цветовых пятна).",
                                           0),
              0u);
    EXPECT_EQ(TestKindDescription(4).rfind("Данный тест является известным психодиагностическим методом "
                                           "цветоассоциативного исследования отношений личности.",
                                           0),
              0u);
    EXPECT_NEAR(static_cast<double>(characters(TestKindDescription(3))), 463, 15);
    EXPECT_NEAR(static_cast<double>(characters(TestKindDescription(4))), 562, 15);
}

TEST(ColourTables, RedIsStoredWithRedInTheLowestByte)
{
    const ColourValue red = DefaultColours[ColourIndex(ColourTable::EightColour, 4)];
    EXPECT_EQ(red, 0x000061FFu);
    EXPECT_EQ(RedOf(red), 255);
    EXPECT_EQ(GreenOf(red), 97);
    EXPECT_EQ(BlueOf(red), 0);
    EXPECT_EQ(ColourName(3), "Красный");
    EXPECT_EQ(ColourKey(ColourTable::EightColour, 4), "Color4");
}

TEST(ColourTables, IndexesCoverAllThirtyThreeColoursOnce)
{
    std::set<int> seen;
    for (int t = 0; t < ColourTableCount; ++t) {
        const auto table = static_cast<ColourTable>(t);
        for (int e = 1; e <= TableSize(table); ++e)
            EXPECT_TRUE(seen.insert(ColourIndex(table, e)).second);
        EXPECT_THROW(ColourIndex(table, TableSize(table) + 1), std::out_of_range);
        EXPECT_THROW(ColourIndex(table, 0), std::out_of_range);
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(ColourCount));
    EXPECT_EQ(*seen.rbegin(), ColourCount - 1);
}

TEST(ColourTables, MainTableRepeatsBlueGreenRedYellow)
{
    for (auto [main, eight] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 5}})
        EXPECT_EQ(DefaultColours[ColourIndex(ColourTable::Main, main)],
                  DefaultColours[ColourIndex(ColourTable::EightColour, eight)]);
    EXPECT_EQ(FourColourTable(4), ColourTable::Yellow);
    EXPECT_EQ(FourColourTable(5), ColourTable::Red);
}

TEST(ColourTables, SwatchLabelsAndPairOrder)
{
    EXPECT_EQ(SwatchLabel(ColourTable::Achromatic, 1), "0");
    EXPECT_EQ(SwatchLabel(ColourTable::Achromatic, 5), "4");
    EXPECT_EQ(SwatchLabel(ColourTable::EightColour, 8), "7");
    EXPECT_EQ(SwatchLabel(ColourTable::Green, 2), "D");
    EXPECT_EQ(SwatchLabel(ColourTable::Red, 4), "P");
    const std::pair<int, int> expected[] = {{1, 4}, {2, 3}, {1, 2}, {3, 4}, {1, 3}, {2, 4}};
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(PairOrder(i), expected[i - 1]);
    EXPECT_THROW(PairOrder(7), std::out_of_range);
    // Every pair of four shades is compared exactly once.
    std::set<std::pair<int, int>> pairs(std::begin(expected), std::end(expected));
    EXPECT_EQ(pairs.size(), 6u);
}
