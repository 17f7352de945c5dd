#pragma once

#include <QLayout>
#include <QList>

// Lays its items out left to right and wraps to a new row when the width
// runs out, so a bar of filter controls fits a narrow page.
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget *parent, int spacing = 6);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items within rect (or only measures when apply is false)
    // and returns the height used.
    int arrange(const QRect &rect, bool apply) const;

    QList<QLayoutItem *> items;
};
