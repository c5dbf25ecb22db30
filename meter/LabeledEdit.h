#pragma once
// An edit field with its caption standing above it; the two are enabled and
// disabled together.

#include <QLabel>
#include <QLineEdit>

namespace tonarel {

class LabeledEdit : public QLineEdit {
    Q_OBJECT

public:
    /// The caption is a sibling of the field (child of `parent`); place both
    /// with Place().
    LabeledEdit(const QString& caption, QWidget* parent);

    /// Puts the field at `field` and its caption directly above it, flush left.
    void Place(const QRect& field);

    QLabel* EditLabel;

protected:
    void changeEvent(QEvent* event) override;
};

}  // namespace tonarel
