#pragma once
// The two questions the file commands ask before they lose or replace
// something: whether to save a changed table first, and whether to replace an
// existing file. Real modal boxes with Chinese buttons whatever translations
// are installed; tests answer them by clicking a button.

#include <QString>

class QWidget;

namespace tonarel {

enum class UnsavedChangesAnswer {
    Save,     ///< "保存": save first, then go on
    Discard,  ///< "不保存": go on without saving
    Cancel,   ///< "取消", or the box closed: leave everything as it was
};

/// Asks "音律表有未保存的修改，是否先保存？" with the buttons 保存, 不保存 and
/// 取消 (the default) over `parent`.
UnsavedChangesAnswer AskToSaveChanges(QWidget* parent);

/// Asks "文件“NAME”已存在，要替换它吗？" with the buttons 替换 and 取消 (the
/// default) over `parent`; true for 替换. `fileName` is shown as given.
bool AskToReplaceFile(QWidget* parent, const QString& fileName);

}  // namespace tonarel
