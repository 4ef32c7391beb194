#pragma once

#include <QStyledItemDelegate>

// Draws the items of a list at a fixed height, each indented by its depth (IndentRole).
class ListItemDelegate : public QStyledItemDelegate {
public:
    static constexpr int IndentRole = Qt::UserRole + 1;

    ListItemDelegate(int itemHeight, int indentStep, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int itemHeight_;
    int indentStep_;
};
