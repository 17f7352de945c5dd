#include "report/ReportDocument.h"

#include "interpretation/Conclusion.h"
#include "interpretation/FullTestGrid.h"
#include "interpretation/ShownText.h"
#include "qtkit/DateTimeText.h"
#include "qtkit/QtColour.h"
#include "testing/TestKinds.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

QString text(const std::string &utf8) { return QString::fromStdString(utf8); }

// Stored texts break lines with CR LF, CR or LF; a document block per line.
QString withLf(const std::string &utf8)
{
    QString value = text(utf8);
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    value.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return value;
}

// Marks the first block of the closing lines kept together on one page.
constexpr int KeepToTheEndProperty = QTextFormat::UserProperty + 1;

// Headings inside the conclusions: below the report's own three levels.
constexpr int ConclusionHeadingLevel = 4;

class Writer {
public:
    explicit Writer(QTextDocument &document) : cursor(&document) {}

    void Heading(const QString &caption, int level)
    {
        QTextBlockFormat block;
        block.setTopMargin(level == 1 ? 0 : 12);
        block.setBottomMargin(4);
        block.setHeadingLevel(level);
        QTextCharFormat chars;
        chars.setFontWeight(QFont::Bold);
        chars.setFontPointSize(level == 1 ? 15 : level == 2 ? 12 : 10);
        newBlock(block, chars);
        cursor.insertText(caption);
    }

    // "Caption: value" on one line, the value in bold.
    void Field(const QString &caption, const QString &value)
    {
        newBlock(QTextBlockFormat(), plain());
        cursor.insertText(caption + QStringLiteral(": "));
        QTextCharFormat bold = plain();
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(value, bold);
    }

    // Each line its own paragraph, so long texts break across pages anywhere.
    // The conclusion's own section headings are set in bold and kept with
    // the text under them.
    void Paragraphs(const QString &value)
    {
        for (const QString &line : value.split(QLatin1Char('\n'))) {
            const bool heading = IsConclusionHeading(line.toStdString());
            QTextBlockFormat block;
            QTextCharFormat chars = plain();
            if (heading) {
                block.setHeadingLevel(ConclusionHeadingLevel);
                chars.setFontWeight(QFont::Bold);
            }
            newBlock(block, chars);
            cursor.insertText(line, chars);
        }
    }

    // An empty line that sets what follows apart.
    void Spacer()
    {
        QTextBlockFormat block;
        block.setTopMargin(12);
        newBlock(block, plain());
    }

    // A line of a given length to sign on, after its caption.
    void SignatureLine(const QString &caption)
    {
        QTextBlockFormat block;
        block.setTopMargin(18);
        newBlock(block, plain());
        cursor.insertText(caption + QStringLiteral(": ") + QString(32, QLatin1Char('_')));
    }

    QTextTable *Table(int rows, int columns, const QList<double> &percentWidths)
    {
        newBlock(QTextBlockFormat(), plain());
        QTextTableFormat format;
        format.setBorder(0);
        format.setCellSpacing(2);
        format.setCellPadding(1);
        QList<QTextLength> widths;
        for (double w : percentWidths)
            widths << QTextLength(QTextLength::PercentageLength, w);
        format.setColumnWidthConstraints(widths);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        QTextTable *table = cursor.insertTable(rows, columns, format);
        cursor.movePosition(QTextCursor::End);
        return table;
    }

    static void CellText(QTextTable *table, int row, int column, const QString &value, bool centred = true)
    {
        QTextCursor cell = table->cellAt(row, column).firstCursorPosition();
        QTextBlockFormat block;
        block.setAlignment(centred ? Qt::AlignHCenter : Qt::AlignLeft);
        cell.setBlockFormat(block);
        cell.insertText(value, plain());
    }

    // A filled rectangle: a cell of that colour whose height comes from an
    // empty line of a given size.
    static void Swatch(QTextTable *table, int row, int column, const QColor &colour, int heightPoints)
    {
        QTextTableCell cell = table->cellAt(row, column);
        QTextTableCellFormat format = cell.format().toTableCellFormat();
        format.setBackground(colour);
        cell.setFormat(format);
        QTextCharFormat size = plain();
        size.setFontPointSize(heightPoints);
        cell.firstCursorPosition().insertText(QStringLiteral(" "), size);
    }

    static QTextCharFormat plain()
    {
        QTextCharFormat chars;
        chars.setFontWeight(QFont::Normal);
        chars.setFontPointSize(10);
        return chars;
    }

private:
    void newBlock(const QTextBlockFormat &block, const QTextCharFormat &chars)
    {
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(chars);
            cursor.setCharFormat(chars);
            first = false;
        } else {
            cursor.insertBlock(block, chars);
        }
    }

    QTextCursor cursor;
    bool first = true;
};

QColor colourOf(const ReportLook &look, ColourTable table, int entry)
{
    return ToQColor(look.Colours[static_cast<std::size_t>(ColourIndex(table, entry))]);
}

void eightColourChoice(Writer &out, const TCLTSession &s, int choice, const ReportLook &look)
{
    out.Heading(choice == 1 ? QStringLiteral("Первый выбор") : QStringLiteral("Второй выбор"), 3);
    QTextTable *table = out.Table(3, 8, QList<double>(8, 12.5));
    for (int k = 1; k <= 8; ++k) {
        const int tag = s.Choice[choice][k];
        if (tag < 1 || tag > 8)
            continue; // a position never picked shows nothing
        Writer::Swatch(table, 0, k - 1, colourOf(look, ColourTable::EightColour, tag), 22);
        Writer::CellText(table, 1, k - 1, QString::number(tag - 1));
        QString marks;
        const int mark = s.AcMark[choice][k];
        if (mark == 1 || mark == 2)
            marks = mark == 1 ? QStringLiteral("A") : QStringLiteral("C");
        const int weight = std::min(s.AcWeight[choice][k], 8);
        if (weight > 0)
            marks += (marks.isEmpty() ? QString() : QStringLiteral(" ")) + QString(weight, QLatin1Char('!'));
        Writer::CellText(table, 2, k - 1, marks);
    }
}

void fullTestGrid(Writer &out, const TCLTSession &s, const ReportLook &look)
{
    const FullTestGridCaptions captions = FullTestGridCaptionsOf(s);
    const QString tableCaptions[5] = {QStringLiteral("Основные цвета"), QStringLiteral("Синие цвета"),
                                      QStringLiteral("Зеленые цвета"), QStringLiteral("Желтые цвета"),
                                      QStringLiteral("Красные цвета")};
    // Rows: greys and their captions, shade letters, five tables of swatch
    // and pair count, then scores, norms and cube positions.
    const int rows = 2 + 1 + 10 + 3;
    QTextTable *table = out.Table(rows, 5, {28, 18, 18, 18, 18});
    Writer::CellText(table, 0, 0, QStringLiteral("Серые цвета"), false);
    const int greyColumns[3] = {1, 2, 4};
    for (int i = 1; i <= 3; ++i) {
        const std::string &caption = captions.Greys[static_cast<std::size_t>(i - 1)];
        if (caption.empty())
            continue;
        Writer::Swatch(table, 0, greyColumns[i - 1], colourOf(look, ColourTable::Achromatic, s.AchromaticChoice[i]),
                       12);
        Writer::CellText(table, 1, greyColumns[i - 1], text(caption));
    }
    for (int c = 1; c <= 4; ++c)
        Writer::CellText(table, 2, c, text(ShadeLetters[static_cast<std::size_t>(c - 1)]));
    for (int t = 1; t <= 5; ++t) {
        const int row = 3 + 2 * (t - 1);
        Writer::CellText(table, row, 0, tableCaptions[t - 1], false);
        for (int c = 1; c <= 4; ++c) {
            Writer::Swatch(table, row, c, colourOf(look, FourColourTable(t), c), 12);
            Writer::CellText(table, row + 1, c, QString::number(s.PairWins[t][c]));
        }
    }
    const QString numberCaptions[3] = {QStringLiteral("Сумма С+З+Ж+К"), QStringLiteral("Норма"),
                                       QStringLiteral("Позиции куба")};
    const std::array<std::string, 4> *values[3] = {&captions.Scores, &captions.Norms, &captions.Positions};
    for (int r = 0; r < 3; ++r) {
        Writer::CellText(table, 13 + r, 0, numberCaptions[r], false);
        for (int c = 1; c <= 4; ++c)
            Writer::CellText(table, 13 + r, c, text((*values[r])[static_cast<std::size_t>(c - 1)]));
    }
}

} // namespace

QString ReportTestName(int kind)
{
    const QString title = text(TestKindChooserTitle(kind));
    return title.isEmpty() ? QStringLiteral("Тест %1").arg(kind) : title;
}

QSizeF ReportPageSize()
{
    // A4 (210 x 297 mm) less 15 mm margins, in the layout's pixels of 1/96 inch.
    constexpr double PixelsPerMillimetre = 96 / 25.4;
    return QSizeF((210 - 30) * PixelsPerMillimetre, (297 - 30) * PixelsPerMillimetre);
}

std::unique_ptr<QTextDocument> BuildReportDocument(const TCLTSession &session, const ReportLook &look)
{
    auto document = std::make_unique<QTextDocument>();
    document->setPageSize(ReportPageSize());
    document->setDocumentMargin(0);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(10);
    document->setDefaultFont(font);
    TCLTSession s = session;
    s.UpdateDisplayName(); // derived values are never taken as stored
    Writer out(*document);

    out.Heading(QStringLiteral("Результаты тестирования"), 1);
    if (!look.Organisation.trimmed().isEmpty())
        out.Field(QStringLiteral("Организация"), look.Organisation.trimmed());
    out.Field(QStringLiteral("Тест"), ReportTestName(s.TestKind));
    out.Field(QStringLiteral("Сеанс тестирования начат"),
              FormatOleDateTime(s.StartedAt, look.DateTimeFormat, look.Locale));
    out.Field(QStringLiteral("Продолжительность тестирования"), DurationQText(s.DurationSeconds));

    out.Heading(QStringLiteral("Тестируемый"), 2);
    out.Field(QStringLiteral("Тестируемый"), text(s.DisplayName));
    out.Field(QStringLiteral("Ф.И.О."), text(s.FullName()));
    if (const QString sexAge = text(s.SexAgeText()); !sexAge.isEmpty())
        out.Field(QStringLiteral("Пол, возраст"), sexAge);
    if (s.BirthDate != 0)
        out.Field(QStringLiteral("Дата рождения"), FormatOleDateTime(s.BirthDate, look.DateFormat, look.Locale));
    if (!s.Group.empty())
        out.Field(QStringLiteral("Группа"), text(s.Group));

    out.Heading(QStringLiteral("Выборы - 8-цветный субтест"), 2);
    eightColourChoice(out, s, 1, look);
    if (s.TestKind != KindEightOnce)
        eightColourChoice(out, s, 2, look);
    if (s.TestKind == KindFull) {
        out.Heading(QStringLiteral("Выборы - Дополнительные субтесты"), 2);
        fullTestGrid(out, s, look);
    }

    const std::pair<QString, const std::string *> sections[] = {
        {QStringLiteral("Краткое заключение"), &s.BriefConclusion},
        {QStringLiteral("Подробное заключение"), &s.DetailedConclusion},
        {QStringLiteral("Дополнительные выводы"), &s.AdditionalFindings}};
    for (const auto &[title, body] : sections) {
        out.Heading(title, 2);
        out.Paragraphs(withLf(ShownText(*body)));
    }

    // What makes the report one to sign and hand over.
    out.Spacer();
    const int signatureBlock = document->blockCount();
    if (look.ReportDate != 0)
        out.Field(QStringLiteral("Дата отчета"), FormatOleDateTime(look.ReportDate, look.DateFormat, look.Locale));
    if (!look.Examiner.trimmed().isEmpty())
        out.Field(QStringLiteral("Специалист"), look.Examiner.trimmed());
    out.SignatureLine(QStringLiteral("Подпись"));
    // The date, the examiner and the line to sign on stay on one page.
    if (QTextBlock first = document->findBlockByNumber(signatureBlock); first.isValid()) {
        QTextBlockFormat format = first.blockFormat();
        format.setProperty(KeepToTheEndProperty, true);
        QTextCursor(first).setBlockFormat(format);
    }
    // Laying out pages needs fonts, which only a Gui application has; the
    // plain text needs neither. The printer lays the pages out again.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        KeepHeadingsWithTheirText(*document);
    return document;
}

void KeepHeadingsWithTheirText(QTextDocument &document)
{
    const double pageHeight = document.pageSize().height();
    if (!(pageHeight > 0))
        return;
    // Breaks set for another page size go first: only headings get them.
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.headingLevel() > 0 && format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) {
            format.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
            QTextCursor(block).setBlockFormat(format);
        }
    }
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    // The layout rounds to a 64th of a pixel, so a page may begin a little
    // above its exact multiple of the page height.
    const auto pageOf = [&](double y) { return static_cast<int>((y + 0.5) / pageHeight); };
    // Each move shifts what follows, so the pages are looked at again from
    // the heading moved; every heading moves at most once.
    QTextBlock from = document.begin();
    while (from.isValid()) {
        QTextBlock moved;
        for (QTextBlock block = from; block.isValid() && !moved.isValid(); block = block.next()) {
            QTextBlockFormat format = block.blockFormat();
            if (format.headingLevel() == 0 || format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                continue;
            // The first line of the next block with something in it; empty
            // lines between do not count as text.
            QTextBlock next = block.next();
            while (next.isValid() && next.text().isEmpty())
                next = next.next();
            if (!next.isValid())
                continue;
            const QRectF heading = layout->blockBoundingRect(block);
            const QRectF following = layout->blockBoundingRect(next);
            const QTextLine firstLine = next.layout()->lineCount() > 0 ? next.layout()->lineAt(0) : QTextLine();
            const double firstLineBottom =
                following.top() + (firstLine.isValid() ? firstLine.y() + firstLine.height() : following.height());
            const bool atPageTop = std::abs(heading.top() - pageOf(heading.top()) * pageHeight) < 1;
            if (pageOf(firstLineBottom - 1) > pageOf(heading.top()) && !atPageTop) {
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(block).setBlockFormat(format);
                // The layout redone piece by piece after an edit can place
                // later blocks apart from a layout of the whole; lay it all
                // out again before measuring further.
                const QSizeF size = document.pageSize();
                document.setPageSize(QSizeF());
                document.setPageSize(size);
                moved = block;
            }
        }
        from = moved.isValid() ? moved.next() : QTextBlock();
    }
    // A closing block that would be split over two pages starts the last one.
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (!format.boolProperty(KeepToTheEndProperty))
            continue;
        format.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
        QTextCursor(block).setBlockFormat(format);
        const QSizeF size = document.pageSize();
        document.setPageSize(QSizeF());
        document.setPageSize(size);
        const double top = layout->blockBoundingRect(block).top();
        const double bottom = layout->blockBoundingRect(document.lastBlock()).bottom();
        const bool atPageTop = std::abs(top - pageOf(top) * pageHeight) < 1;
        if (pageOf(bottom - 1) > pageOf(top) && !atPageTop) {
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(format);
            document.setPageSize(QSizeF());
            document.setPageSize(size);
        }
        break;
    }
}

QString ReportPlainText(const TCLTSession &session, const ReportLook &look)
{
    // Without the break opportunities the layout was given (no stored text holds them).
    return BuildReportDocument(session, look)->toPlainText().remove(QChar(0x200B));
}
