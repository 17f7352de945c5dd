#include "app/statistics/StatisticsPage.h"

#include "app/statistics/ChartView.h"
#include "app/statistics/StatisticsLines.h"
#include "app/statistics/StatisticsTable.h"
#include "core/ArchiveChangeWatch.h"
#include "qtkit/UserDialogs.h"
#include "results/FlowLayout.h"
#include "statistics/StatisticsText.h"
#include "testing/TestKinds.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

StatisticsPage::StatisticsPage(QWidget *parent) : QWidget(parent), swatches(DefaultSwatchColours())
{
    setObjectName(QStringLiteral("StatisticsPage"));
    progressTimer = new QTimer(this);
    progressTimer->setInterval(50);
    connect(progressTimer, &QTimer::timeout, this, &StatisticsPage::showProgress);
    // A refill or the watcher's pass comes as a burst of changes: one
    // reckoning for all of them.
    changeTimer = new QTimer(this);
    changeTimer->setSingleShot(true);
    changeTimer->setInterval(300);
    connect(changeTimer, &QTimer::timeout, this, [this] {
        if (isVisible())
            Refresh();
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    selectionLabel = new QLabel(this);
    selectionLabel->setObjectName(QStringLiteral("labelStatisticsSelection"));
    // Group names are the user's text.
    selectionLabel->setTextFormat(Qt::PlainText);
    selectionLabel->setWordWrap(true);
    layout->addWidget(buildControls());
    layout->addWidget(selectionLabel);
    outOfDateLabel = new QLabel(this);
    outOfDateLabel->setObjectName(QStringLiteral("labelStatisticsOutOfDate"));
    outOfDateLabel->setWordWrap(true);
    outOfDateLabel->setFrameShape(QFrame::StyledPanel);
    outOfDateLabel->setVisible(false);
    layout->addWidget(outOfDateLabel);
    layout->addWidget(buildFigures(), 1);
    showResult();
}

StatisticsPage::~StatisticsPage()
{
    if (worker) {
        progress->Cancel = true;
        worker->wait();
        delete worker;
    }
}

QWidget *StatisticsPage::buildControls()
{
    auto *bar = new QWidget(this);
    auto *flow = new FlowLayout(bar, 0);
    const auto labelled = [bar, flow](const QString &caption, QWidget *field) {
        auto *row = new QWidget(bar);
        auto *rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        auto *label = new QLabel(caption, row);
        label->setBuddy(field);
        field->setParent(row);
        rowLayout->addWidget(label);
        rowLayout->addWidget(field);
        flow->addWidget(row);
    };
    choiceBox = new QComboBox;
    choiceBox->setObjectName(QStringLiteral("cbStatisticsChoice"));
    choiceBox->addItems({QStringLiteral("1-й"), QStringLiteral("2-й")});
    choiceBox->setCurrentIndex(1);
    choiceBox->setToolTip(QStringLiteral("Первый или второй восьмицветный выбор; у однократного теста есть только "
                                         "первый"));
    labelled(QStringLiteral("&Выбор:"), choiceBox);
    versusBox = new QComboBox;
    versusBox->setObjectName(QStringLiteral("cbStatisticsVersus"));
    versusBox->addItem(QStringLiteral("Без сравнения"));
    versusBox->setMinimumContentsLength(14);
    versusBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    versusBox->setToolTip(QStringLiteral("Вторая группа: сеансы этой группы пользователей, отобранные тем же "
                                         "фильтром, что и список результатов"));
    labelled(QStringLiteral("&Сравнить с группой:"), versusBox);
    connect(choiceBox, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(versusBox, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });

    const auto button = [bar, flow](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, bar);
        b->setObjectName(QString::fromLatin1(name));
        flow->addWidget(b);
        return b;
    };
    refreshButton = button("btnStatisticsRefresh", QStringLiteral("&Обновить"));
    refreshButton->setToolTip(QStringLiteral("Прочитать сеансы списка заново и пересчитать"));
    pdfButton = button("btnStatisticsSavePdf", QStringLiteral("Сохранить в &PDF..."));
    printButton = button("btnStatisticsPrint", QStringLiteral("&Печать..."));
    connect(refreshButton, &QPushButton::clicked, this, [this] { Refresh(true); });
    connect(pdfButton, &QPushButton::clicked, this, &StatisticsPage::SavePdfExecute);
    connect(printButton, &QPushButton::clicked, this, &StatisticsPage::PrintExecute);

    auto *busy = new QWidget(bar);
    auto *busyLayout = new QHBoxLayout(busy);
    busyLayout->setContentsMargins(0, 0, 0, 0);
    progressBar = new QProgressBar(busy);
    progressBar->setObjectName(QStringLiteral("progressStatistics"));
    progressBar->setFormat(QStringLiteral("Чтение сеансов: %v из %m"));
    progressBar->setMinimumWidth(220);
    stopButton = new QPushButton(QStringLiteral("О&становить"), busy);
    stopButton->setObjectName(QStringLiteral("btnStatisticsStop"));
    connect(stopButton, &QPushButton::clicked, this, [this] {
        restart = false;
        if (progress)
            progress->Cancel = true;
    });
    busyLayout->addWidget(progressBar);
    busyLayout->addWidget(stopButton);
    flow->addWidget(busy);
    busy->setVisible(false);
    connect(this, &StatisticsPage::Reckoned, busy, [this, busy] { busy->setVisible(Busy()); });
    return bar;
}

QWidget *StatisticsPage::buildFigures()
{
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("statisticsSplitter"));
    split->setChildrenCollapsible(false);

    auto *left = new QSplitter(Qt::Vertical, split);
    left->setChildrenCollapsible(false);
    table = new QTableWidget(left);
    SetUpStatisticsTable(*table);
    tests = new QPlainTextEdit(left);
    tests->setObjectName(QStringLiteral("memoStatisticsTests"));
    tests->setReadOnly(true);
    left->addWidget(table);
    left->addWidget(tests);
    left->setStretchFactor(0, 3);
    left->setStretchFactor(1, 2);

    auto *right = new QSplitter(Qt::Vertical, split);
    right->setChildrenCollapsible(false);
    heatMap = new ChartView(right);
    heatMap->setObjectName(QStringLiteral("chartStatisticsHeatMap"));
    heatMap->setToolTip(QStringLiteral("Доля группы на каждой позиции, %: строка — цвет, столбец — позиция"));
    positionChart = new ChartView(right);
    positionChart->setObjectName(QStringLiteral("chartStatisticsPositions"));
    positionChart->setToolTip(QStringLiteral("Медиана (точка) и межквартильный размах (полоса) позиции каждого "
                                             "цвета; позиции от 1 слева до 8 справа"));
    right->addWidget(heatMap);
    right->addWidget(positionChart);

    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    // The table's own width hint would leave the charts a strip.
    split->setSizes({560, 400});
    return split;
}

void StatisticsPage::SetSource(StatisticsSource value) { source = std::move(value); }

void StatisticsPage::FollowChanges(const QAbstractItemModel &listRows, ArchiveList &archive)
{
    // Rows added, removed, refilled or reordered; a change of a row's text
    // alone leaves the figures as they are.
    connect(&listRows, &QAbstractItemModel::modelReset, this, &StatisticsPage::SourceChanged);
    connect(&listRows, &QAbstractItemModel::rowsInserted, this, &StatisticsPage::SourceChanged);
    connect(&listRows, &QAbstractItemModel::rowsRemoved, this, &StatisticsPage::SourceChanged);
    connect(&listRows, &QAbstractItemModel::layoutChanged, this, &StatisticsPage::SourceChanged);
    archiveWatch = std::make_unique<ArchiveChangeWatch>(archive, [this] { SourceChanged(); });
}

void StatisticsPage::SourceChanged()
{
    ++changes;
    showOutOfDate();
    // Hidden, it waits to be shown: no reading for a page nobody looks at.
    if (isVisible())
        changeTimer->start();
}

void StatisticsPage::showOutOfDate()
{
    outOfDateLabel->setVisible(OutOfDate());
    if (!OutOfDate())
        return;
    outOfDateLabel->setText(Busy() && pendingChange == changes
                                ? QStringLiteral("Список результатов изменился: показатели пересчитываются, пока "
                                                 "на экране прежние.")
                                : QStringLiteral("Список результатов изменился после расчета: показатели ниже "
                                                 "относятся к прежнему составу списка. Нажмите «Обновить», чтобы "
                                                 "пересчитать."));
}

void StatisticsPage::SetUserGroups(const QStringList &groups)
{
    const QString chosen = versusBox->currentIndex() > 0 ? versusBox->currentText() : QString();
    {
        const QSignalBlocker blocker(versusBox);
        versusBox->clear();
        versusBox->addItem(QStringLiteral("Без сравнения"));
        versusBox->addItems(groups);
        versusBox->setCurrentIndex(std::max(0, versusBox->findText(chosen)));
    }
    if (isVisible())
        Refresh();
}

void StatisticsPage::SetColours(const ColourSet &colours)
{
    for (int c = 0; c < StatColours; ++c) {
        const ColourValue value = colours[static_cast<std::size_t>(ColourIndex(ColourTable::EightColour, c + 1))];
        swatches[static_cast<std::size_t>(c)] = QColor(RedOf(value), GreenOf(value), BlueOf(value));
    }
    showResult();
}

void StatisticsPage::SetDecimalSeparator(const QString &separator)
{
    decimalSeparator = separator;
    showResult();
}

void StatisticsPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The list may have been filtered or refilled meanwhile.
    Refresh();
    showOutOfDate();
}

StatisticsRequest StatisticsPage::currentRequest(QString &first, QString &versus) const
{
    StatisticsRequest request;
    request.Choice = choiceBox->currentIndex() + 1;
    const std::optional<ResultsFilter> filter = source.Filter ? source.Filter() : std::nullopt;
    first = QStringLiteral("Список результатов: ") + SelectionText(filter, nullptr, decimalSeparator);
    versus.clear();
    if (source.Shown)
        for (const ListedRow &session : source.Shown())
            request.First.push_back(SelectedSession::Of(session));
    if (versusBox->currentIndex() > 0 && source.OfGroup) {
        const std::string group = versusBox->currentText().toStdString();
        versus = SelectionText(filter, &group, decimalSeparator);
        request.Versus.emplace();
        for (const ListedRow &session : source.OfGroup(group))
            request.Versus->push_back(SelectedSession::Of(session));
    }
    return request;
}

void StatisticsPage::Refresh(bool force)
{
    QString first;
    QString versus;
    StatisticsRequest request = currentRequest(first, versus);
    // Sessions read again in place leave the request as it was.
    force = force || (worker ? pendingChange != changes : OutOfDate());
    if (worker) {
        if (request == pendingRequest && !force)
            return;
        // The running reckoning is out of date: stopped, then started anew.
        restart = true;
        progress->Cancel = true;
        return;
    }
    if (!force && shownRequest && request == *shownRequest && first == firstText && versus == versusText)
        return;
    start(std::move(request), first, versus);
}

void StatisticsPage::start(StatisticsRequest request, const QString &first, const QString &versus)
{
    restart = false;
    pendingChange = changes;
    pendingRequest = std::move(request);
    pendingFirstText = first;
    pendingVersusText = versus;
    pendingVersusGroup = versusBox->currentIndex() > 0 ? versusBox->currentText() : QString();
    progress = std::make_shared<StatisticsProgress>();
    pending = std::make_shared<StatisticsResult>();
    worker = QThread::create([request = pendingRequest, progress = progress, pending = pending] {
        *pending = ComputeStatistics(request, *progress);
    });
    worker->setObjectName(QStringLiteral("StatisticsWorker"));
    connect(worker, &QThread::finished, this, &StatisticsPage::workerFinished);
    progressBar->setRange(
        0, static_cast<int>(pendingRequest.First.size() + (pendingRequest.Versus ? pendingRequest.Versus->size() : 0)));
    progressBar->setValue(0);
    progressBar->parentWidget()->setVisible(true);
    refreshButton->setEnabled(false);
    progressTimer->start();
    worker->start(QThread::LowPriority);
    showOutOfDate();
}

void StatisticsPage::showProgress()
{
    if (progress)
        progressBar->setValue(static_cast<int>(progress->Done.load()));
}

void StatisticsPage::workerFinished()
{
    worker->deleteLater();
    worker = nullptr;
    progressTimer->stop();
    refreshButton->setEnabled(true);
    if (!pending->Cancelled) {
        shown = std::move(*pending);
        shownRequest = std::move(pendingRequest);
        firstText = pendingFirstText;
        versusText = pendingVersusText;
        versusGroup = pendingVersusGroup;
        shownChange = pendingChange;
        showResult();
    }
    pending.reset();
    progress.reset();
    pendingRequest = {};
    if (restart)
        Refresh(true);
    showOutOfDate();
    emit Reckoned();
}

void StatisticsPage::showResult()
{
    pdfButton->setEnabled(shown.has_value());
    printButton->setEnabled(shown.has_value());
    if (!shown) {
        selectionLabel->setText(QStringLiteral("Статистика строится по сеансам, которые показывает список "
                                               "результатов."));
        table->setRowCount(0);
        tests->clear();
        heatMap->SetPaint({});
        positionChart->SetPaint({});
        return;
    }
    const StatisticsOutput &output = shown->Output;
    QString selection = firstText + QStringLiteral(" — сеансов: %1").arg(shown->FirstRead);
    if (output.Versus)
        selection +=
            QStringLiteral("; сравнение: ") + versusText + QStringLiteral(" — сеансов: %1").arg(shown->VersusRead);
    selectionLabel->setText(selection);
    FillStatisticsTable(*table, output, versusGroup, swatches, decimalSeparator);
    tests->setPlainText(StatisticsTestsText(*shown, decimalSeparator));
    const QString separator = decimalSeparator;
    const SwatchColours colours = swatches;
    heatMap->SetPaint([this, separator, colours](QPainter &painter, const QRectF &area) {
        if (!shown)
            return;
        const QRectF chart = PaintChartTitle(painter, area, QStringLiteral("Доля на позициях, %"));
        std::vector<HeatMapGroup> maps{{QStringLiteral("Список"), &shown->Output.Group.Table}};
        if (shown->Output.Versus)
            maps.push_back({versusGroup, &shown->Output.Versus->Table});
        PaintHeatMaps(painter, chart, maps, colours, separator);
    });
    positionChart->SetPaint([this, colours](QPainter &painter, const QRectF &area) {
        if (!shown)
            return;
        QRectF chart = PaintChartTitle(painter, area, QStringLiteral("Позиции: медиана и межквартильный размах"));
        std::vector<ChartGroup> groups{{QStringLiteral("список"), &shown->Output.Group}};
        if (shown->Output.Versus)
            groups.push_back({versusGroup, &*shown->Output.Versus});
        chart = PaintChartLegend(painter, chart, groups);
        PaintPositionChart(painter, chart, groups, colours);
    });
}

StatisticsDocumentText StatisticsPage::documentText() const
{
    StatisticsDocumentText text;
    text.Selection = firstText;
    text.VersusSelection = shown && shown->Output.Versus ? versusText : QString();
    text.DecimalSeparator = decimalSeparator;
    return text;
}

bool StatisticsPage::SavePdfExecute()
{
    if (!shown)
        return false;
    const QString path = AskSavePath(this, QStringLiteral("Сохранить в PDF"), QStringLiteral("Документы PDF (*.pdf)"),
                                     QStringLiteral(".pdf"));
    if (path.isEmpty())
        return false;
    QString error;
    if (WriteStatisticsPdf(shown->Output, documentText(), swatches, path, &error))
        return true;
    UserDialogs::Current().ShowWarning(this,
                                       QStringLiteral("Невозможно записать файл ") + QDir::toNativeSeparators(path)
                                           + QStringLiteral("\r\n") + error);
    return false;
}

bool StatisticsPage::PrintExecute()
{
    if (!shown)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Статистика по группе"));
    if (!UserDialogs::Current().AskPrinter(this, printer))
        return false;
    PrintStatistics(printer, shown->Output, documentText(), swatches);
    return true;
}
