#pragma once

#include <QSplitter>

// The results page's list area over the tabs of the conclusions. The tabs'
// height from the placement is kept as a wish until the splitter has a size
// of its own to give it from.
class ResultsSplitter : public QSplitter {
    Q_OBJECT
public:
    ResultsSplitter(QWidget *listArea, QWidget *tabs, QWidget *parent = nullptr);

    void SetTabHeight(int height);
    // The wish while it waits, else the tabs' height.
    int TabHeight() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyPendingTabHeight();

    QWidget *tabs;
    int pendingTabHeight = -1;
};
