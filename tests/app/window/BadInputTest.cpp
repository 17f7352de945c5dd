#include "app/WindowFixture.h"
#include "app/preferences/PreferencesPage.h"
#include "app/testing/ChooserPanel.h"
#include "app/testing/RegistrationPanel.h"
#include "app/testing/TestingPage.h"
#include "app/testing/TileArea.h"
#include "app/window/TformPalettorMain.h"
#include "core/Cp1251.h"
#include "core/TSimpleFileStream.h"
#include "testing/TestKinds.h"
#include "testing/TestProcedure.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <random>

// The tables below are aligned by hand, one case a line.
// clang-format off

// Bad input reaching the window from the person, the installation folder and
// the settings store: every case must start, run and store soundly.
namespace {

QByteArray RandomBytes(int count, unsigned seed)
{
    std::mt19937 generator(seed);
    QByteArray bytes(count, '\0');
    for (char &c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

using BadInput = WindowFixture;

// ---------------------------------------------------------------- names

struct NameCase {
    const char *label;
    QString typed;  // into surname, given name and patronymic
    QString shown;  // what the field holds afterwards
    QString stored; // in the session and in its file
    QString group;  // the only user group
    QString storedGroup;
};
void PrintTo(const NameCase &c, std::ostream *os) { *os << c.label; }


class RegistrationNames : public BadInput, public ::testing::WithParamInterface<NameCase> {};

TEST_P(RegistrationNames, TestRunsAndTheFileHoldsWhatTheSessionShows)
{
    const NameCase &c = GetParam();
    install.Store(QStringLiteral("UserGroups"), c.group + QStringLiteral("\r\n"));
    StartWindow();
    Choose(KindEightOnce);
    RegistrationPanel *panel = Page()->Registration();
    for (QLineEdit *edit : {panel->SurnameEdit(), panel->FirstNameEdit(), panel->PatronymicEdit()}) {
        edit->setText(c.typed);
        EXPECT_EQ(edit->text(), c.shown) << c.label;
    }
    panel->GroupBox()->setCurrentIndex(0);
    QTest::mouseClick(panel->SubmitButton(), Qt::LeftButton);
    Pick(7);
    ASSERT_TRUE(dialogs.warnings.isEmpty()) << dialogs.warnings.join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(w->Sessions().Count(), 1u);

    const TCLTSession &shown = w->Sessions()[0];
    const auto storedSession = StoredSession();
    const TCLTSession &stored = *storedSession;
    for (const std::string *field : {&shown.Surname, &shown.FirstName, &shown.Patronymic})
        EXPECT_EQ(QString::fromStdString(*field), c.stored) << c.label;
    EXPECT_EQ(QString::fromStdString(shown.Group), c.storedGroup) << c.label;
    EXPECT_EQ(stored.Surname, shown.Surname) << c.label;
    EXPECT_EQ(stored.FirstName, shown.FirstName) << c.label;
    EXPECT_EQ(stored.Patronymic, shown.Patronymic) << c.label;
    EXPECT_EQ(stored.Group, shown.Group) << c.label;
    EXPECT_EQ(stored.DisplayName, shown.DisplayName) << c.label;
    EXPECT_EQ(stored.BriefConclusion, shown.BriefConclusion) << c.label;
}

const QString thousandYa = QString(1000, QChar(0x042F));
const QString longGroup = QStringLiteral("Отдел ") + QString(400, QLatin1Char('g'));

INSTANTIATE_TEST_SUITE_P(
    Table, RegistrationNames,
    ::testing::Values(
        // The field keeps 255 characters, the most a session file holds: the
        // cut is seen while typing, not discovered in the file.
        NameCase{"overlong", thousandYa, thousandYa.left(255), thousandYa.left(255), longGroup,
                 longGroup.left(255)},
        NameCase{"controls", QStringLiteral("Иван\tПетр\nА") + QChar(0) + QStringLiteral("Б\x1b\x7f"),
                 QStringLiteral("Иван\tПетр\nА") + QChar(0) + QStringLiteral("Б\x1b\x7f"),
                 QStringLiteral("Иван Петр А Б  "), QStringLiteral("Группа\tА"), QStringLiteral("Группа А")},
        NameCase{"emoji", QStringLiteral("Анна 😀!"), QStringLiteral("Анна 😀!"), QStringLiteral("Анна ?!"),
                 QStringLiteral("😀"), QStringLiteral("?")},
        NameCase{"cjk", QStringLiteral("王小明 Ёж"), QStringLiteral("王小明 Ёж"), QStringLiteral("??? Ёж"),
                 QStringLiteral("学生"), QStringLiteral("??")}),
    [](const auto &info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- stimulus lists

QString Lines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("Стимул %1").arg(i);
    return lines.join(QLatin1Char('\n'));
}

struct StimulusCase {
    const char *label;
    QString typed;
    int stimuli;           // 0: refused
    const std::string *warning;
    std::vector<std::string> firstNames; // expected names of the first stimuli
    bool runThrough;       // click every step and check the stored session
};
void PrintTo(const StimulusCase &c, std::ostream *os) { *os << c.label; }


class StimulusLists : public BadInput, public ::testing::WithParamInterface<StimulusCase> {};

TEST_P(StimulusLists, AcceptedListsRunToTheEndAndOthersAreRefusedWithTheirMessage)
{
    const StimulusCase &c = GetParam();
    StartWindow();
    ConfirmStimuli(c.typed);
    TestProcedure &procedure = Page()->Procedure();
    if (c.stimuli == 0) {
        ASSERT_EQ(dialogs.warnings.size(), 1) << c.label;
        EXPECT_EQ(dialogs.warnings[0].toStdString(), *c.warning) << c.label;
        // The list the message is about takes the focus.
        EXPECT_EQ(QApplication::focusWidget(), Find<QPlainTextEdit>(*w, "memoStimulItems")) << c.label;
        EXPECT_EQ(procedure.Phase(), TestPhase::StimulusList) << c.label;
        EXPECT_EQ(procedure.CurrentStep(), 2) << c.label;
        return;
    }
    ASSERT_TRUE(dialogs.warnings.isEmpty()) << c.label;
    ASSERT_EQ(procedure.Phase(), TestPhase::Stimulus) << c.label;
    EXPECT_EQ(procedure.TotalSteps(), 2 * c.stimuli + 16) << c.label;
    TCLTSession *session = procedure.CurrentSession();
    ASSERT_NE(session, nullptr) << c.label;
    ASSERT_EQ(session->CtoItems.Count(), static_cast<std::size_t>(c.stimuli)) << c.label;
    for (std::size_t i = 0; i < c.firstNames.size(); ++i)
        EXPECT_EQ(session->CtoItems[i].StimulusName, c.firstNames[i]) << c.label << " " << i;
    if (!c.runThrough) {
        Find<QAction>(*w, "actStartTesting")->trigger(); // stop: nothing stored
        EXPECT_TRUE(SessionFiles().isEmpty());
        return;
    }

    auto *stepName = Find<QLabel>(*w, "labelStepName");
    for (int step = 3; step <= procedure.TotalSteps(); ++step) {
        ASSERT_EQ(procedure.CurrentStep(), step) << c.label;
        // Pass 2 keeps naming its stimulus beyond step 255.
        if (step > c.stimuli + 16) {
            ASSERT_TRUE(stepName->text().startsWith(QStringLiteral("С каким цветом"))) << c.label << " " << step;
        }
        Pick(1);
    }
    EXPECT_EQ(procedure.Phase(), TestPhase::Idle) << c.label;
    const auto storedSession = StoredSession();
    const TCLTSession &stored = *storedSession;
    ASSERT_EQ(stored.CtoItems.Count(), static_cast<std::size_t>(c.stimuli)) << c.label;
    for (std::size_t i = 0; i < c.firstNames.size(); ++i)
        EXPECT_EQ(stored.CtoItems[i].StimulusName, c.firstNames[i]) << c.label << " " << i;
    EXPECT_EQ(stored.DetailedConclusion, w->Sessions()[0].DetailedConclusion) << c.label;
}

const std::string longName(255, 'x');

INSTANTIATE_TEST_SUITE_P(
    Table, StimulusLists,
    ::testing::Values(
        StimulusCase{"empty", QString(), 0, &StimulusListTooShortMessage, {}, false},
        StimulusCase{"one", QStringLiteral("Мать"), 0, &StimulusListTooShortMessage, {}, false},
        StimulusCase{"one_with_break", QStringLiteral("Мать\n"), 0, &StimulusListTooShortMessage, {}, false},
        StimulusCase{"two", QStringLiteral("Мать\nОтец"), 2, nullptr, {"Мать", "Отец"}, true},
        // Blank and whitespace-only lines count and keep their blanks; a tab
        // becomes a blank and an overlong line is cut as the file cuts it.
        StimulusCase{"blank_lines", QStringLiteral("\n  \n\t\n") + QString(300, QLatin1Char('x')), 4, nullptr,
                     {"", "  ", " ", longName}, true},
        StimulusCase{"hundred_twenty", Lines(120), 120, nullptr, {"Стимул 1", "Стимул 2"}, true},
        StimulusCase{"three_hundred", Lines(300), 300, nullptr, {"Стимул 1"}, true},
        StimulusCase{"largest", Lines(1024), 1024, nullptr, {"Стимул 1"}, false},
        StimulusCase{"too_long", Lines(1025), 0, &StimulusListTooLongMessage, {}, false}),
    [](const auto &info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- StimulSet.ini

struct SetFileCase {
    const char *label;
    QByteArray (*bytes)();
    QStringList names;     // sets offered
    QString firstList;     // the list filled from the first set
    bool warned;           // the administrator is told the file was not read
};
void PrintTo(const SetFileCase &c, std::ostream *os) { *os << c.label; }


class StimulusSetFiles : public BadInput, public ::testing::WithParamInterface<SetFileCase> {};

TEST_P(StimulusSetFiles, WindowStartsQuicklyAndOffersOnlyWholeSets)
{
    const SetFileCase &c = GetParam();
    WriteBytes(install.Root() + QStringLiteral("StimulSet.ini"), c.bytes());
    QElapsedTimer started;
    started.start();
    StartWindow();
    EXPECT_LT(started.elapsed(), 3000) << c.label;
    auto *sets = Find<QComboBox>(*w, "cbStimulSet");
    QStringList offered;
    for (int i = 0; i < sets->count(); ++i)
        offered << sets->itemText(i);
    EXPECT_EQ(offered, c.names) << c.label;
    EXPECT_EQ(Find<QPlainTextEdit>(*w, "memoStimulItems")->toPlainText(), c.firstList)
        << c.label;
    ASSERT_EQ(dialogs.warnings.size(), c.warned ? 1 : 0) << c.label;
    if (c.warned) {
        EXPECT_TRUE(dialogs.warnings[0].contains(QStringLiteral("StimulSet.ini"))) << c.label;
    }
    // The test itself still runs on a typed list.
    ConfirmStimuli(QStringLiteral("Мать\nОтец"));
    EXPECT_EQ(Page()->Procedure().Phase(), TestPhase::Stimulus) << c.label;
}

QByteArray Cp1251(std::string_view utf8) { return QByteArray::fromStdString(Utf8ToCp1251(utf8)); }

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Table, StimulusSetFiles,
    ::testing::Values(
        SetFileCase{"huge",
                    [] {
                        const QByteArray section = Cp1251("[Семья]\r\nName=Семья\r\nValues=Мать;Отец\r\n");
                        return section.repeated(20 * 1024 * 1024 / section.size() + 1);
                    },
                    {}, QString(), true},
        SetFileCase{"binary", [] { return RandomBytes(256 * 1024, 7); }, {}, QString(), false},
        SetFileCase{"broken_sections",
                    [] {
                        return Cp1251("[Без скобки\r\nName=Потерян\r\nValues=а;б\r\n"
                                      "[Семья]\r\nName=Семья\r\nValues=;Мать;;Отец;\r\n"
                                      "[семья]\r\nName=Повтор\r\nValues=в;г\r\n"
                                      "[Пусто]\r\n[]\r\nName=Без имени\r\nValues=д\r\n"
                                      "[Ключи]\r\nName\r\nValues=\r\n"
                                      "[Работа]\r\nName = \"Работа\" \r\nValues=Начальник;Коллега\r\n"
                                      "[Ноль]\r\nName=Н\0ль\r\nValues=е;ж"sv);
                    },
                    {QStringLiteral("Семья"), QStringLiteral("Работа"), QStringLiteral("Н")}, QStringLiteral("Мать\nОтец"), false},
        SetFileCase{"many_sets",
                    [] {
                        QByteArray all;
                        for (int i = 0; i < 5000; ++i)
                            all += QStringLiteral("[S%1]\nName=N%1\nValues=a;b\n").arg(i).toLatin1();
                        return all;
                    },
                    [] {
                        QStringList names;
                        for (int i = 0; i < 5000; ++i)
                            names << QStringLiteral("N%1").arg(i);
                        return names;
                    }(),
                    QStringLiteral("a\nb"), false}),
    [](const auto &info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- ColorTest.dat

// A knowledge base with two whole entries of kind 1 (keys 3 and 3), the
// count field given, then `cut` bytes dropped from the end.
QByteArray KnowledgeBase(int32_t count, int cut, bool rightSignature = true)
{
    TSimpleFileStream stream;
    WriteText(stream, rightSignature ? "Color Test Data" : "Colour TestData", BareUncutMode);
    WriteInt32(stream, 1);
    WriteDateTime(stream, 45000.5);
    WriteByte(stream, 0);
    WriteInt32(stream, count);
    for (const char *text : {"первая", "вторая"}) {
        TCLTOutcome entry;
        entry.Kind = 1;
        entry.Key1 = entry.Key2 = 3;
        entry.BriefText = text;
        entry.PsychologicallyText = std::string(100, 'p');
        entry.SaveToStream(&stream);
    }
    WriteByte(stream, 0);
    QByteArray bytes = QByteArray::fromStdString(stream.Bytes());
    bytes.chop(cut);
    return bytes;
}

struct BaseCase {
    const char *label;
    QByteArray bytes;
    std::size_t entries;
    bool told = true; // the administrator is told at start-up
};
void PrintTo(const BaseCase &c, std::ostream *os) { *os << c.label; }


class KnowledgeBaseFiles : public BadInput, public ::testing::WithParamInterface<BaseCase> {};

TEST_P(KnowledgeBaseFiles, WindowStartsWithTheWholeEntriesTellsTheDamageAndTestsRun)
{
    const BaseCase &c = GetParam();
    WriteBytes(install.Root() + QStringLiteral("ColorTest.dat"), c.bytes);
    StartWindow();
    EXPECT_TRUE(w->AdministratorMode()) << c.label;
    ASSERT_EQ(w->KnowledgeBase().Count(), c.entries) << c.label;
    for (std::size_t i = 0; i < c.entries; ++i)
        EXPECT_EQ(w->KnowledgeBase()[i].PsychologicallyText, std::string(100, 'p')) << c.label << " " << i;
    ASSERT_EQ(dialogs.warnings.size(), c.told ? 1 : 0) << c.label;
    if (c.told) {
        EXPECT_TRUE(dialogs.warnings[0].startsWith(QStringLiteral("Файл базы знаний"))) << c.label;
    }
    Register(KindEightOnce);
    Pick(7);
    EXPECT_EQ(dialogs.warnings.size(), c.told ? 1 : 0) << c.label;
    EXPECT_EQ(SessionFiles().size(), 1) << c.label;
    ASSERT_EQ(w->Sessions().Count(), 1u) << c.label;
    const TCLTSession &session = w->Sessions()[0];
    EXPECT_FALSE(session.BriefConclusion.empty() && session.DetailedConclusion.empty()
                 && session.AdditionalFindings.empty())
        << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, KnowledgeBaseFiles,
    ::testing::Values(BaseCase{"whole", KnowledgeBase(2, 0), 2, false},
                      // A damaged count keeps what the file does hold.
                      BaseCase{"count_near_2_31", KnowledgeBase(0x7FFFFFFF, 0), 2},
                      BaseCase{"count_2_31_minus_2", KnowledgeBase(0x7FFFFFFE, 1), 2},
                      BaseCase{"count_negative", KnowledgeBase(-5, 0), 0, false},
                      BaseCase{"count_min", KnowledgeBase(INT32_MIN, 0), 0, false},
                      // The entry cut off by the end is dropped, not kept half-read.
                      BaseCase{"truncated_entry", KnowledgeBase(2, 60), 1},
                      BaseCase{"no_trailer", KnowledgeBase(2, 1), 2},
                      BaseCase{"truncated_header", KnowledgeBase(2, 0).left(22), 0},
                      BaseCase{"foreign_signature", KnowledgeBase(2, 0, false), 0},
                      BaseCase{"binary", RandomBytes(4096, 11), 0}),
    [](const auto &info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- settings

struct SettingsCase {
    const char *label;
    // Raw lines of the settings file, written before the start.
    QByteArray (*content)(const QString &root);
};
void PrintTo(const SettingsCase &c, std::ostream *os) { *os << c.label; }


class DamagedSettings : public BadInput, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(DamagedSettings, EveryValueFallsBackToItsDefaultAndTheWindowStarts)
{
    const SettingsCase &c = GetParam();
    WriteBytes(install.Root() + QStringLiteral("Themes/binary.qss"), RandomBytes(2048, 3));
    QDir(install.Root()).mkpath(QStringLiteral("Themes/folder.qss"));
    WriteBytes(install.SettingsFile(), c.content(install.Root()));
    StartWindow();

    EXPECT_TRUE(w->AdministratorMode()) << c.label;
    EXPECT_EQ(Find<QTabWidget>(*w, "TeSPageControl")->currentIndex(), TformPalettorMain::TestingPageIndex) << c.label;
    EXPECT_FALSE(w->Theme().FromFile()) << c.label;
    EXPECT_EQ(w->Theme().Index(), 0) << c.label;
    EXPECT_EQ(w->Theme().Brightness(), 0) << c.label;
    EXPECT_EQ(w->Theme().Saturation(), 250) << c.label;
    EXPECT_EQ(Find<QComboBox>(*w, "cbShowResultType")->currentIndex(), 1) << c.label;
    EXPECT_EQ(Find<QComboBox>(*w, "cbTheme")->currentIndex(), 0) << c.label;
    EXPECT_EQ(w->Prefs().Colours, DefaultColours) << c.label;
    EXPECT_EQ(w->Prefs().UserField, (Preferences{}.UserField)) << c.label;
    EXPECT_EQ(w->Prefs().UserGroups, DefaultUserGroup) << c.label;
    EXPECT_LE(w->width(), 2000) << c.label;
    EXPECT_LE(w->height(), 2000) << c.label;
    RegistrationPanel *panel = Page()->Registration();
    EXPECT_EQ(panel->SexBox()->currentIndex(), -1) << c.label;
    EXPECT_LE(panel->SurnameEdit()->text().size(), 255) << c.label;

    Register(KindEightOnce);
    Pick(7);
    EXPECT_EQ(SessionFiles().size(), 1) << c.label;
    // The defaults in effect are what the closed window leaves in the store.
    w->close();
    QSettings settings(install.SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(settings.status(), QSettings::NoError) << c.label;
    EXPECT_EQ(settings.value(QStringLiteral("Options/ThemeIndex")).toInt(), 0) << c.label;
    EXPECT_EQ(settings.value(QStringLiteral("Options/SetThemeByIndex")).toInt(), 1) << c.label;
    EXPECT_EQ(settings.value(QStringLiteral("Options/ShowResultType")).toInt(), 1) << c.label;
    EXPECT_EQ(settings.value(QStringLiteral("Options/Color1")).toString(), QStringLiteral("$00595959")) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedSettings,
    ::testing::Values(
        SettingsCase{"strings_for_numbers",
                     [](const QString &) {
                         return QByteArray("[Options]\nThemeIndex=dark\nThemeBrightness=very\nThemeHue=x\n"
                                           "ShowResultType=two\nFilterGroup=first\nActiveDataPage=results\n"
                                           "UserField1=maybe\nUserField3=perhaps\nSetThemeByIndex=no idea\n");
                     }},
        SettingsCase{"huge_numbers",
                     [](const QString &) {
                         return QByteArray("[Options]\nThemeIndex=1000000\nThemeBrightness=99999999999\n"
                                           "ThemeHue=4294967546\nShowResultType=4294967297\n"
                                           "FilterGroup=2147483648\nActiveDataPage=4294967296\n"
                                           "[TformPalettorMain]\nLeft=0\nTop=0\nWidth=2000000000\nHeight=900000\n"
                                           "cbUserSex=99\nTeLabeledEdit1=" + QByteArray(5000, 'a') + "\n");
                     }},
        SettingsCase{"negative_indexes",
                     [](const QString &) {
                         return QByteArray("[Options]\nThemeIndex=-1\nShowResultType=-1\nFilterGroup=-5\n"
                                           "ActiveDataPage=-1\nThemeHue=-250\n"
                                           "[TformPalettorMain]\ncbUserSex=-7\ncbUserGroup=-2\n"
                                           "Width=-800\nHeight=-600\n");
                     }},
        SettingsCase{"oversized_window",
                     [](const QString &) {
                         return QByteArray("[TformPalettorMain]\nLeft=0\nTop=0\nWidth=100000\nHeight=90000\n");
                     }},
        SettingsCase{"typed_variants",
                     [](const QString &) {
                         // 2^32 + 2 as a 64-bit number: cut to 32 bits it would read as 2.
                         return QByteArray("[Options]\nShowResultType=@Variant(\\0\\0\\0\\x4\\0\\0\\0\\x1\\0\\0\\0\\x2)\n"
                                           "ThemeIndex=@Variant(\\0\\0\\0\\x4\\0\\0\\0\\x1\\0\\0\\0\\x1)\n"
                                           "AskAdminPassword=@Variant(\\xff\\xff)\nUserGroups=@ByteArray(\\0\\x1)\n"
                                           "Color2=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n");
                     }},
        SettingsCase{"garbage_colours",
                     [](const QString &) {
                         return QByteArray("[Options]\nColor1=#595959\nColor2=clNone\nBWColor3=$FFFFFFFFFF\n"
                                           "RedColor4=-1\nMainColor1=\nGreenColor2=$\nYellowColor3=12,5\n"
                                           "BlueColor4=99999999999999999999\n");
                     }},
        SettingsCase{"missing_theme_file",
                     [](const QString &root) {
                         return "[Options]\nSetThemeByIndex=0\nThemeFile=" + root.toUtf8() + "Themes/none.qss\n";
                     }},
        SettingsCase{"binary_theme_file",
                     [](const QString &root) {
                         return "[Options]\nSetThemeByIndex=0\nThemeFile=" + root.toUtf8() + "Themes/binary.qss\n";
                     }},
        SettingsCase{"theme_folder",
                     [](const QString &root) {
                         return "[Options]\nSetThemeByIndex=0\nThemeFile=" + root.toUtf8() + "Themes/folder.qss\n";
                     }},
        // A device never ends: read whole, it would fill the memory.
        SettingsCase{"theme_device",
                     [](const QString &) { return QByteArray("[Options]\nSetThemeByIndex=0\nThemeFile=/dev/zero\n"); }},
        SettingsCase{"binary_settings_file", [](const QString &) { return RandomBytes(8192, 5); }}),
    [](const auto &info) { return std::string(info.param.label); });

} // namespace
// clang-format on
