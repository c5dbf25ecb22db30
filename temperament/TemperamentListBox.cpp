#include "temperament/TemperamentListBox.h"

#include <QStyledItemDelegate>

namespace tonarel {

namespace {

// Qt's rows are 14 pixels at this font; the lists are drawn for 13.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), TemperamentListBox::kItemHeight);
    }
};

}  // namespace

TemperamentListBox::TemperamentListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new FixedHeightDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
}

int TemperamentListBox::SelectedPosition() const
{
    const QModelIndexList selected = selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

QItemSelectionModel::SelectionFlags TemperamentListBox::selectionCommand(const QModelIndex& index,
                                                                         const QEvent* event) const
{
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (!index.isValid() || command.testFlag(QItemSelectionModel::Deselect)) {
        return QItemSelectionModel::NoUpdate;
    }
    return command;
}

}  // namespace tonarel
