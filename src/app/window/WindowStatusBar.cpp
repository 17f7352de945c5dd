#include "app/window/WindowStatusBar.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include <algorithm>

WindowStatusBar::WindowStatusBar(QStatusBar &bar)
{
    bar.setObjectName(QStringLiteral("StatusBar1"));
    bar.setSizeGripEnabled(true);
    const std::array<int, 3> widths{120, 110, 130};
    for (std::size_t i = 0; i < panels.size(); ++i) {
        panels[i] = new QLabel(&bar);
        panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panels[i]->setTextFormat(Qt::PlainText);
        // At least the classic width; a longer text (a larger font, a long
        // date format) widens its panel rather than being cut.
        panels[i]->setMinimumWidth(widths[i]);
        panels[i]->setFrameShape(QFrame::StyledPanel);
        panels[i]->setFrameShadow(QFrame::Sunken);
        bar.addWidget(panels[i]);
    }
    progress = new QProgressBar(&bar);
    progress->setObjectName(QStringLiteral("ProgressBar1"));
    progress->setFixedWidth(200);
    progress->setMaximumHeight(16);
    progress->setTextVisible(false);
    progress->setRange(0, 1);
    progress->setValue(0);
    bar.addWidget(progress);
    lastPanel = new QLabel(&bar);
    lastPanel->setObjectName(QStringLiteral("StatusPanel4"));
    lastPanel->setTextFormat(Qt::PlainText);
    bar.addWidget(lastPanel, 1);
}

void WindowStatusBar::SetPanelText(int panel, const QString &text)
{
    if (panel >= 0 && panel < static_cast<int>(panels.size()))
        panels[static_cast<std::size_t>(panel)]->setText(text);
}

void WindowStatusBar::SetProgress(int position, int maximum)
{
    progress->setRange(0, std::max(maximum, 1));
    progress->setValue(position);
}

void WindowStatusBar::ShowLoading(std::size_t read, std::size_t total)
{
    progress->setRange(0, static_cast<int>(total));
    progress->setValue(static_cast<int>(read));
    lastPanel->setText(read == 0 ? QStringLiteral("Загрузка результатов...")
                                 : QStringLiteral("Загрузка результатов: %1 из %2").arg(read).arg(total));
}

void WindowStatusBar::EndLoading()
{
    progress->setRange(0, 1);
    progress->setValue(0);
    lastPanel->clear();
}
