#include "PageHooks.h"

#include "MainWindow.h"

#include <QLabel>
#include <QVBoxLayout>

// Until the testing and results pages are part of the build, each page is a
// plain notice; every call below is where the real page is reached.

namespace {
QWidget *noticePage(const QString &text, QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    auto *label = new QLabel(text, page);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return page;
}
} // namespace

PageHooks::PageHooks(TformPalettorMain &window) : window(window) {}

PageHooks::~PageHooks() = default;

QWidget *PageHooks::CreateTestingPage(QWidget *parent)
{
    testingPage = noticePage(QStringLiteral("Тестирование"), parent);
    return testingPage;
}

QWidget *PageHooks::CreateResultsPage(QWidget *parent)
{
    resultsPage = noticePage(QStringLiteral("Результаты тестирования"), parent);
    return resultsPage;
}

void PageHooks::StartOrStopTest() {}

bool PageHooks::TestRunning() const { return false; }

void PageHooks::LayOutTiles() {}

void PageHooks::SetUserGroups(const QStringList &) {}

void PageHooks::UpdateRequiredMarks(const std::array<bool, 6> &) {}

void PageHooks::SetFilterGroups(const QStringList &groups, int selected)
{
    filterGroupCount = static_cast<int>(groups.size()) + 1;
    filterGroup = selected >= 0 && selected < filterGroupCount ? selected : 0;
}

int PageHooks::FilterGroupIndex() const { return filterGroup; }

void PageHooks::RefillResults(bool) {}

void PageHooks::AddResultRow(std::size_t) {}

void PageHooks::FocusResultsList() {}

void PageHooks::ResultsCopy() {}
void PageHooks::ResultsExportToEditor() {}
void PageHooks::ResultsSave() {}
void PageHooks::ResultsPreview() {}
void PageHooks::ResultsPrint() {}
void PageHooks::ResultsSendEMail() {}
void PageHooks::ResultsDelete() {}
void PageHooks::ResultsFilter() {}
void PageHooks::ResultsShowAll() {}

QStringList PageHooks::PlacementControls() const
{
    return {QStringLiteral("TeLabeledEdit1"), QStringLiteral("TeLabeledEdit2"), QStringLiteral("TeLabeledEdit3"),
            QStringLiteral("cbUserGroup"),    QStringLiteral("cbUserSex"),      QStringLiteral("TeDateTimePicker1"),
            QStringLiteral("cbFilterTest"),   QStringLiteral("cbFilterSex"),    QStringLiteral("checkFilterAge"),
            QStringLiteral("seFilterAgeMin"), QStringLiteral("seFilterAgeMax"), QStringLiteral("TeSPageControl1"),
            QStringLiteral("TePanel1"),       QStringLiteral("TeHeaderPanel2"), QStringLiteral("TeHeaderPanel3"),
            QStringLiteral("TeHeaderPanel4"), QStringLiteral("TeHeaderPanel5")};
}
