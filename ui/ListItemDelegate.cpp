#include "ListItemDelegate.h"

ListItemDelegate::ListItemDelegate(int itemHeight, int indentStep, QObject* parent)
    : QStyledItemDelegate(parent), itemHeight_(itemHeight), indentStep_(indentStep) {}

void ListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem indented(option);
    indented.rect.setLeft(option.rect.left() + index.data(IndentRole).toInt() * indentStep_);
    QStyledItemDelegate::paint(painter, indented, index);
}

QSize ListItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const QSize natural = QStyledItemDelegate::sizeHint(option, index);
    return {natural.width() + index.data(IndentRole).toInt() * indentStep_, itemHeight_};
}
