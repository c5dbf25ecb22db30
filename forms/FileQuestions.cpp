#include "forms/FileQuestions.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tonarel {

UnsavedChangesAnswer AskToSaveChanges(QWidget* parent)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(),
                    QStringLiteral("音律表有未保存的修改，是否先保存？"), QMessageBox::NoButton, parent);
    const QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    const QPushButton* discard = box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) {
        return UnsavedChangesAnswer::Save;
    }
    return box.clickedButton() == discard ? UnsavedChangesAnswer::Discard : UnsavedChangesAnswer::Cancel;
}

bool AskToReplaceFile(QWidget* parent, const QString& fileName)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(),
                    QStringLiteral("文件“%1”已存在，要替换它吗？").arg(fileName), QMessageBox::NoButton, parent);
    const QPushButton* replace = box.addButton(QStringLiteral("替换"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == replace;
}

}  // namespace tonarel
