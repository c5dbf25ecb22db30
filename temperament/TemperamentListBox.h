#pragma once
// A list box as the temperament manager uses it: fixed 13-pixel rows, one
// line at a time, no horizontal scroll bar (long lines are cut off), and once
// the musician has chosen a line one line always stays selected.

#include <QListWidget>

namespace tonarel {

class TemperamentListBox : public QListWidget {
    Q_OBJECT

public:
    /// Height of every row in pixels.
    static constexpr int kItemHeight = 13;

    explicit TemperamentListBox(QWidget* parent);

    /// The selected row, or -1 when none is selected. Not currentRow(): focus
    /// makes row 0 current without selecting it.
    int SelectedPosition() const;

protected:
    /// Deselecting (Ctrl+click on the selected line) and clicks on empty space
    /// leave the selection as it is.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
};

}  // namespace tonarel
