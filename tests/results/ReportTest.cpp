#include "interpretation/FullTestRules.h"
#include "qtkit/QtColour.h"
#include "qtkit/StationContext.h"
#include "report/ReportDocument.h"
#include "report/ReportPdf.h"
#include "results/ResultsExport.h"
#include "results/ResultsFixture.h"
#include "results/ResultsModel.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrlQuery>

#include <array>

namespace {

ReportLook RussianLook()
{
    ReportLook look;
    const StationContext context;
    look.DateTimeFormat = context.DateTimeFormat();
    look.DateFormat = context.Locale().dateFormat(QLocale::ShortFormat);
    return look;
}

// The text of a PDF file as a PDF reader finds it; empty with a failure when
// the file cannot be read.
QString PdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString PdfTool(const QString &tool, const QString &path)
{
    QProcess p;
    p.start(tool, {path});
    EXPECT_TRUE(p.waitForFinished(30000)) << tool.toStdString() << " did not finish";
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool HavePdfTools() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

// Backgrounds of the first row of each table, in document order.
QList<QList<QColor>> SwatchRows(QTextDocument &document)
{
    QList<QList<QColor>> rows;
    for (QTextFrame *frame : document.rootFrame()->childFrames()) {
        auto *table = qobject_cast<QTextTable *>(frame);
        if (!table)
            continue;
        QList<QColor> row;
        for (int c = 0; c < table->columns(); ++c) {
            const QBrush brush = table->cellAt(0, c).format().background();
            row << (brush.style() == Qt::NoBrush ? QColor() : brush.color());
        }
        rows << row;
    }
    return rows;
}

TEST(ReportDocument, HoldsEverySectionOfEachKind)
{
    for (int kind = 1; kind <= 4; ++kind) {
        SCOPED_TRACE(kind);
        TCLTSession s = MakeSession("Ёлкина", kind, 2, 30, "Бухгалтерия");
        s.Patronymic = "Петровна";
        const QString text = ReportPlainText(s, RussianLook());
        for (const QString &part :
             {QStringLiteral("Результаты тестирования"), ReportTestName(kind), QStringLiteral("30.06.2025 12:00:00"),
              QStringLiteral("1 ч 2 мин 5 сек"), QStringLiteral("Ёлкина Иван Петровна (Женщина, 30 лет), Бухгалтерия"),
              QStringLiteral("Группа: Бухгалтерия"), QStringLiteral("Первый выбор"),
              QStringLiteral("Краткое заключение"), QStringLiteral("Кратко о Ёлкина"),
              QStringLiteral("Подробное заключение"), QStringLiteral("Подробно о Ёлкина"),
              QStringLiteral("Дополнительные выводы"), QStringLiteral("Выводы о Ёлкина")})
            EXPECT_TRUE(text.contains(part)) << part.toStdString();
        EXPECT_EQ(text.contains(QStringLiteral("Второй выбор")), kind != 1);
        EXPECT_EQ(text.contains(QStringLiteral("Позиции куба")), kind == 3);
        EXPECT_EQ(text.contains(QStringLiteral("Серые цвета")), kind == 3);
        // The sections stand in their order.
        EXPECT_LT(text.indexOf(QStringLiteral("Тестируемый")), text.indexOf(QStringLiteral("Первый выбор")));
        EXPECT_LT(text.indexOf(QStringLiteral("Первый выбор")), text.indexOf(QStringLiteral("Краткое заключение")));
        EXPECT_LT(text.indexOf(QStringLiteral("Подробное заключение")),
                  text.indexOf(QStringLiteral("Дополнительные выводы")));
    }
}

TEST(ReportDocument, NamesTheExaminerTheOrganisationAndTheDateAboveASignatureLine)
{
    const struct {
        const char *examiner;
        const char *organisation;
        OleDate date;
    } cases[] = {
        {"Орлова А. В.", "Центр «Диалог»", ToOleDate({2026, 12, 9})},
        {"", "", ToOleDate({2026, 12, 9})},
        {"  ", "Центр", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.organisation);
        ReportLook look = RussianLook();
        look.Examiner = QString::fromUtf8(c.examiner);
        look.Organisation = QString::fromUtf8(c.organisation);
        look.ReportDate = c.date;
        const QString text = ReportPlainText(MakeSession("Петров", 3), look);
        const QString examiner = QString::fromUtf8(c.examiner).trimmed();
        EXPECT_EQ(text.contains(QStringLiteral("Специалист: ") + examiner), !examiner.isEmpty());
        EXPECT_EQ(text.contains(QStringLiteral("Специалист")), !examiner.isEmpty());
        EXPECT_EQ(text.contains(QStringLiteral("Организация: ") + QString::fromUtf8(c.organisation)),
                  *c.organisation != 0);
        EXPECT_EQ(text.contains(QStringLiteral("Организация")), *c.organisation != 0);
        EXPECT_EQ(text.contains(QStringLiteral("Дата отчета: 09.12.2026")), c.date != 0);
        // The organisation heads the report; the signature line ends it.
        if (*c.organisation) {
            EXPECT_LT(text.indexOf(QStringLiteral("Организация")), text.indexOf(QStringLiteral("Тест:")));
        }
        EXPECT_TRUE(text.trimmed().endsWith(QStringLiteral("Подпись: ") + QString(32, QLatin1Char('_'))));
        EXPECT_GT(text.indexOf(QStringLiteral("Подпись")), text.indexOf(QStringLiteral("Дополнительные выводы")));
    }
}

// The report printed as a PDF, page by page as a PDF reader finds the lines:
// without empty lines and without the page number at the foot ("2 из 3"),
// which numbers lists with the page, its own and the count.
QList<QStringList> PrintedPages(const TCLTSession &session, const ReportLook &look, QStringList *numbers)
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("report.pdf"));
    QString error;
    EXPECT_TRUE(WriteReportPdf(session, look, path, &error)) << error.toStdString();
    QStringList pages = PdfText(path).remove(QChar(0x200B)).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    const QRegularExpression number(QStringLiteral("^\\d+ из \\d+$"));
    QList<QStringList> lines;
    for (const QString &page : pages) {
        QStringList own;
        for (const QString &line : page.split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                own << line.trimmed();
        if (!own.isEmpty() && number.match(own.last()).hasMatch())
            *numbers << own.takeLast();
        lines << own;
    }
    return lines;
}

TEST(ReportPdf, NoHeadingIsTheLastLineOfAPrintedPage)
{
    if (!HavePdfTools())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    // A heading of the detailed conclusion after ever more lines: somewhere
    // it falls at the foot of the first or second page.
    const std::vector<std::string> headings = FullTestSectionHeadings();
    int bodyHeadingsSeen = 0;
    int pagesEndingBeforeAHeading = 0;
    for (int lines = 10; lines <= 120; lines += 2) {
        SCOPED_TRACE(lines);
        TCLTSession s = MakeSession("Петров", 3);
        s.DetailedConclusion.clear();
        for (int i = 0; i < lines; ++i)
            s.DetailedConclusion += "Строка " + std::to_string(i) + "\r\n";
        s.DetailedConclusion += headings[3] + "\r\n\r\nТекст раздела\r\n" + headings[4] + "\r\nЕще текст";
        const auto document = BuildReportDocument(s, RussianLook());
        QStringList headingTexts;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            if (block.blockFormat().headingLevel() == 0)
                continue;
            headingTexts << block.text().remove(QChar(0x200B));
            const std::string text = block.text().toStdString();
            if (text == headings[3] || text == headings[4]) {
                EXPECT_GE(block.begin().fragment().charFormat().fontWeight(), QFont::Bold) << text;
                ++bodyHeadingsSeen;
            }
        }
        QStringList numbers;
        const QList<QStringList> pages = PrintedPages(s, RussianLook(), &numbers);
        ASSERT_GE(pages.size(), 2);
        for (qsizetype page = 0; page + 1 < pages.size(); ++page) {
            ASSERT_FALSE(pages[page].isEmpty()) << page;
            EXPECT_FALSE(headingTexts.contains(pages[page].last())) << pages[page].last().toStdString();
            // The page before ends just above a heading: it was moved there.
            if (headingTexts.contains(pages[page + 1].first()))
                ++pagesEndingBeforeAHeading;
        }
        // Each page's foot carries its number and the count.
        QStringList expected;
        for (qsizetype page = 1; page <= pages.size(); ++page)
            expected << QStringLiteral("%1 из %2").arg(page).arg(pages.size());
        EXPECT_EQ(numbers.join(QStringLiteral(", ")).toStdString(), expected.join(QStringLiteral(", ")).toStdString());
    }
    EXPECT_EQ(bodyHeadingsSeen, 2 * 56);
    EXPECT_GT(pagesEndingBeforeAHeading, 0); // the lengths did bring headings to a page's foot
}

TEST(ReportDocument, TheDateExaminerAndSignatureLineShareOnePage)
{
    // Ever longer conclusions: somewhere the closing lines meet a page's foot.
    int moved = 0;
    for (int lines = 10; lines <= 120; lines += 1) {
        SCOPED_TRACE(lines);
        TCLTSession s = MakeSession("Петров", 3);
        s.DetailedConclusion.clear();
        for (int i = 0; i < lines; ++i)
            s.DetailedConclusion += "Строка " + std::to_string(i) + "\r\n";
        ReportLook look = RussianLook();
        look.ReportDate = s.StartedAt;
        look.Examiner = QStringLiteral("Смирнова А. В.");
        const auto document = BuildReportDocument(s, look);
        const double height = document->pageSize().height();
        QAbstractTextDocumentLayout *layout = document->documentLayout();
        const auto pageOf = [&](const QString &starts) {
            for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
                if (block.text().startsWith(starts)) {
                    if (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                        ++moved;
                    return static_cast<int>((layout->blockBoundingRect(block).center().y()) / height);
                }
            ADD_FAILURE() << "no line " << starts.toStdString();
            return -1;
        };
        const int date = pageOf(QStringLiteral("Дата отчета"));
        EXPECT_EQ(pageOf(QStringLiteral("Специалист")), date);
        EXPECT_EQ(pageOf(QStringLiteral("Подпись")), date);
    }
    EXPECT_GT(moved, 0); // the lengths did reach a page's foot
}

TEST(ReportDocument, SwatchesTakeTheColoursOfTheChoicesInOrder)
{
    TCLTSession s = MakeSession("Петров", 2);
    ReportLook look = RussianLook();
    look.Colours[static_cast<std::size_t>(ColourIndex(ColourTable::EightColour, 3))] = MakeColour(1, 2, 3);
    const auto document = BuildReportDocument(s, look);
    const QList<QList<QColor>> rows = SwatchRows(*document);
    ASSERT_EQ(rows.size(), 2); // one table per choice
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p)
            EXPECT_EQ(
                rows[c - 1][p - 1],
                ToQColor(look.Colours[static_cast<std::size_t>(ColourIndex(ColourTable::EightColour, s.Choice[c][p]))]))
                << c << " " << p;
    EXPECT_EQ(rows[0][2], QColor(1, 2, 3));
}

// The texts of one row of a table, cell by cell.
QStringList RowTexts(QTextTable *table, int row)
{
    QStringList texts;
    for (int c = 0; c < table->columns(); ++c) {
        const QTextTableCell cell = table->cellAt(row, c);
        QTextCursor cursor = cell.firstCursorPosition();
        cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        texts << cursor.selectedText();
    }
    return texts;
}

// The tables of the report, in document order.
QList<QTextTable *> Tables(QTextDocument &document)
{
    QList<QTextTable *> tables;
    for (QTextFrame *frame : document.rootFrame()->childFrames())
        if (auto *table = qobject_cast<QTextTable *>(frame))
            tables << table;
    return tables;
}

// Under each swatch its colour number (0 to 7), under that its marks: "A"
// for anxiety, "C" for compensation, then a "!" per weight.
TEST(ReportDocument, UnderEachSwatchStandItsNumberAndItsMarks)
{
    TCLTSession s = MakeSession("Петров", 2);
    const int firstChoice[8] = {3, 1, 4, 2, 6, 8, 5, 7};
    for (int p = 1; p <= 8; ++p)
        s.Choice[1][p] = firstChoice[p - 1];
    const std::array<std::pair<int, int>, 4> marked[2] = {
        {{{1, 2}, {2, 0}, {1, 0}, {2, 3}}}, // choice 1, positions 1, 2, 7, 8: mark, weight
        {{{2, 1}, {1, 3}, {0, 2}, {1, 1}}}};
    const int positions[4] = {1, 2, 7, 8};
    for (int c = 1; c <= 2; ++c)
        for (int i = 0; i < 4; ++i) {
            s.AcMark[c][positions[i]] = marked[c - 1][static_cast<std::size_t>(i)].first;
            s.AcWeight[c][positions[i]] = marked[c - 1][static_cast<std::size_t>(i)].second;
        }
    const QChar bar = QLatin1Char('|');
    const QStringList numbers[2] = {QStringLiteral("2|0|3|1|5|7|4|6").split(bar),
                                    QStringLiteral("7|6|5|4|3|2|1|0").split(bar)};
    const QStringList marks[2] = {QStringLiteral("A !!|C|||||A|C !!!").split(bar),
                                  QStringLiteral("C !|A !!!|||||!!|A !").split(bar)};
    const auto document = BuildReportDocument(s, RussianLook());
    const QList<QTextTable *> tables = Tables(*document);
    ASSERT_GE(tables.size(), 2);
    for (int c = 0; c < 2; ++c) {
        SCOPED_TRACE(c + 1);
        EXPECT_EQ(RowTexts(tables[c], 1), numbers[c]);
        EXPECT_EQ(RowTexts(tables[c], 2), marks[c]);
    }
}

// Under each swatch of the full test's four-colour tables, its pair wins.
TEST(ReportDocument, UnderEachShadeOfTheFullTestStandItsPairWins)
{
    TCLTSession s = MakeSession("Петров", 3);
    for (int t = 1; t <= 5; ++t)
        for (int c = 1; c <= 4; ++c)
            s.PairWins[t][c] = 10 * t + c;
    const auto document = BuildReportDocument(s, RussianLook());
    const QList<QTextTable *> tables = Tables(*document);
    ASSERT_EQ(tables.size(), 3);
    for (int t = 1; t <= 5; ++t) {
        QStringList wins;
        for (int c = 1; c <= 4; ++c)
            wins << QString::number(10 * t + c);
        EXPECT_EQ(RowTexts(tables[2], 2 + 2 * t).mid(1), wins) << t;
    }
}

TEST(ReportPdf, IsAPdfWithEmbeddedFontsThatHoldsTheCyrillicText)
{
    if (!HavePdfTools())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir temp;
    TCLTSession s = MakeSession("Щербакова", 3, 2);
    // A long detailed conclusion: it must run onto further pages, every line kept.
    std::string longText;
    for (int i = 1; i <= 150; ++i)
        longText += "Строка подробного заключения номер " + std::to_string(i) + "\r\n";
    s.DetailedConclusion = longText + "Последняя строка";
    const QString path = temp.filePath(QStringLiteral("report.pdf"));
    QString error;
    ASSERT_TRUE(WriteReportPdf(s, RussianLook(), path, &error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));

    const QString text = PdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("Щербакова Иван"))) << text.left(400).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Краткое заключение")));
    EXPECT_TRUE(text.contains(QStringLiteral("Позиции куба")));
    EXPECT_TRUE(text.contains(QStringLiteral("номер 1\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("номер 150")));
    EXPECT_TRUE(text.contains(QStringLiteral("Последняя строка")));
    EXPECT_TRUE(text.contains(QStringLiteral("Выводы о Щербакова")));
    EXPECT_GE(text.count(QLatin1Char('\f')), 3); // pages end in form feeds

    const QString fonts = PdfTool(QStringLiteral("pdffonts"), path);
    const QStringList fontLines = fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fontLines.isEmpty()) << fonts.toStdString();
    for (const QString &line : fontLines)
        EXPECT_TRUE(line.contains(QStringLiteral(" yes "))) << "not embedded: " << line.toStdString();
}

class ReportActionsTest : public ResultsPageFixture {
protected:
    ScriptedDialogs dialogs;
    QTemporaryDir temp;
    QList<QUrl> links;

    void OpenReportPage(const TCLTSession &session)
    {
        Save(session);
        OpenPage();
        page->SetTemporaryFolder(temp.path());
        context = StationContext(QLocale(QLocale::Russian, QLocale::Russia),
                                 [] { return LocalDateTime{2025, 7, 4, 9, 5, 3, 0}; });
        page->SetContext(context);
        page->SetUrlOpener([this](const QUrl &url) {
            links << url;
            return true;
        });
    }
};

TEST_F(ReportActionsTest, PrintPreviewAndPdfWorkOnTheSelectedSession)
{
    OpenReportPage(MakeSession("Зайцев", 2));
    for (QAction *action :
         {page->actResultsPreview, page->actResultsPrint, page->actResultsSendEMail, page->actResultsSavePdf})
        EXPECT_TRUE(action->isVisible()) << action->objectName().toStdString();
    EXPECT_EQ(page->actResultsSavePdf->text(), QStringLiteral("Сохранить в PDF..."));

    EXPECT_FALSE(page->ResultsPrintExecute()); // the print dialog cancelled
    const QString printed = temp.filePath(QStringLiteral("printed.pdf"));
    dialogs.printAnswers = {printed};
    page->actResultsPrint->trigger();
    dialogs.previewFile = temp.filePath(QStringLiteral("preview.pdf"));
    page->actResultsPreview->trigger();
    EXPECT_EQ(dialogs.previews, 1);
    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("saved"))};
    page->actResultsSavePdf->trigger();
    for (const QString &name :
         {QStringLiteral("printed.pdf"), QStringLiteral("preview.pdf"), QStringLiteral("saved.pdf")}) {
        QFile file(temp.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_TRUE(file.read(4) == "%PDF") << name.toStdString();
        if (HavePdfTools()) {
            EXPECT_TRUE(PdfText(temp.filePath(name)).contains(QStringLiteral("Зайцев Иван"))) << name.toStdString();
        }
    }
    EXPECT_TRUE(dialogs.warnings.isEmpty());

    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("missing/report.pdf"))};
    EXPECT_FALSE(page->ResultsSavePdfExecute());
    EXPECT_EQ(dialogs.warnings.size(), 1);
}

TEST_F(ReportActionsTest, MailCarriesTheReportOrNamesThePdfWhenItIsTooLong)
{
    TCLTSession s = MakeSession("Волков", 1);
    s.BriefConclusion = "Итог & план + \"кавычки\"\nвторая строка";
    s.DetailedConclusion.clear();
    s.AdditionalFindings.clear();
    OpenReportPage(s);
    ASSERT_TRUE(page->ResultsSendEMailExecute());
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0].scheme(), QStringLiteral("mailto"));
    EXPECT_LE(links[0].toEncoded().size(), ResultsExport::MailLinkLimit);
    const QUrlQuery query(links[0]);
    const QString subject = query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded);
    EXPECT_TRUE(subject.contains(QStringLiteral("8-цветный ТЛ [1]")));
    EXPECT_TRUE(subject.contains(QStringLiteral("Волков Иван")));
    const QString body = query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
    EXPECT_EQ(body,
              page->SessionReportText()
                  .replace(QStringLiteral("\n"), QStringLiteral("\r\n"))
                  .replace(QStringLiteral("\r\r\n"), QStringLiteral("\r\n")));
    EXPECT_TRUE(body.contains(QStringLiteral("Итог & план + \"кавычки\"\r\nвторая строка")));
    EXPECT_TRUE(dialogs.infos.isEmpty());

    // Too long for a link: the PDF waits in the temporary folder.
    archive[0].DetailedConclusion = std::string(3000, 'x');
    ASSERT_TRUE(page->ResultsSendEMailExecute());
    ASSERT_EQ(links.size(), 2);
    EXPECT_LE(links[1].toEncoded().size(), ResultsExport::MailLinkLimit);
    const QString pdf = temp.filePath(QStringLiteral("PalettorResults_250704090503.pdf"));
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(QUrlQuery(links[1])
                    .queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded)
                    .contains(QStringLiteral("PalettorResults_250704090503.pdf")));
    ASSERT_EQ(dialogs.infos.size(), 1);
    EXPECT_TRUE(dialogs.infos[0].contains(QDir::toNativeSeparators(pdf)));

    // No mail program: said, with the file to attach.
    page->SetUrlOpener([](const QUrl &) { return false; });
    EXPECT_FALSE(page->ResultsSendEMailExecute());
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QDir::toNativeSeparators(pdf)));
}

// The limit counts the link as sent, where a Cyrillic letter takes six
// characters: a report far shorter than the limit as text may not fit,
// and a link of exactly the limit does.
TEST(MailLink, TheLimitCountsTheEncodedLink)
{
    QTemporaryDir temp;
    const StationContext context(QLocale(QLocale::Russian, QLocale::Russia),
                                 [] { return LocalDateTime{2025, 7, 4, 9, 5, 3, 0}; });
    ResultsExport exporter(nullptr, context);
    exporter.SetTemporaryFolder(temp.path());
    TCLTSession s = MakeSession("Волков", 1);
    s.BriefConclusion = "Итог";
    s.DetailedConclusion = "x";
    s.AdditionalFindings.clear();
    QString pdf;
    const int shortest = static_cast<int>(exporter.MailLink(s, &pdf).toEncoded().size());
    ASSERT_TRUE(pdf.isEmpty());
    ASSERT_LT(shortest, ResultsExport::MailLinkLimit);

    struct Case {
        const char *what;
        std::string detailed;
        bool fits;
    };
    std::string cyrillic;
    for (int i = 0; i < 300; ++i)
        cyrillic += "ж";
    const std::size_t room = static_cast<std::size_t>(ResultsExport::MailLinkLimit - shortest);
    const Case cases[] = {{"Cyrillic, short as text", cyrillic, false},
                          {"exactly the limit", std::string(1 + room, 'x'), true},
                          {"one past the limit", std::string(2 + room, 'x'), false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        s.DetailedConclusion = c.detailed;
        EXPECT_LT(exporter.ReportText(&s).size(), ResultsExport::MailLinkLimit);
        const QUrl link = exporter.MailLink(s, &pdf);
        EXPECT_EQ(pdf.isEmpty(), c.fits) << link.toEncoded().size();
        EXPECT_LE(link.toEncoded().size(), ResultsExport::MailLinkLimit);
        const QString body = QUrlQuery(link).queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
        EXPECT_EQ(body.contains(QString::fromStdString(c.detailed)), c.fits);
    }
}

} // namespace
