#pragma once
// The texts a window shows, as std::string so that test failures print them
// readably.

#include <QListWidget>
#include <QPlainTextEdit>
#include <string>
#include <vector>

namespace tonarel::test {

/// The lines of a list box, top to bottom.
inline std::vector<std::string> ListLines(const QListWidget* list)
{
    std::vector<std::string> lines;
    for (int row = 0; row < list->count(); ++row) {
        lines.push_back(list->item(row)->text().toStdString());
    }
    return lines;
}

/// The lines of a memo, an empty last line included.
inline std::vector<std::string> MemoLines(const QPlainTextEdit* memo)
{
    std::vector<std::string> lines;
    for (const QString& line : memo->toPlainText().split(QLatin1Char('\n'))) {
        lines.push_back(line.toStdString());
    }
    return lines;
}

}  // namespace tonarel::test
