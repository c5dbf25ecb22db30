#pragma once
// A test fixture with the program's windows, made as start-up makes them.
//
// Before each test: a fresh temporary working directory (the windows read,
// write and delete "my.wav", "temp.wav" and help files by bare names there),
// message boxes recorded instead of shown, a help viewer stand-in, then
// CreateApplicationWindows() and ShowApplicationWindows(), with the main window
// active. After each test: the windows destroyed, the working directory, the
// message boxes and the help viewer restored.

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "forms/UserMessage.h"
#include "temperament/core/TemperamentFile.h"
#include "tests/support/HelpViewerStandIn.h"

class WindowSetTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Delivers the events that are due (activation, layout, paint, timers).
    static void ProcessEvents();

    /// Makes `window` the active window and waits until it is.
    static void Activate(QWidget* window);

    /// The working directory of the test (absolute path).
    QString WorkingDirectory() const { return directory_.path(); }

    /// The message boxes the windows have asked for, in order.
    std::vector<std::pair<tonarel::UserMessageKind, QString>> messages;

    /// The help viewer the windows ask while the test runs.
    std::unique_ptr<tonarel::HelpViewerStandIn> help;

    /// What the pitch meter handed on with its last samplesAnalysed (null
    /// before the first) and its length in bytes.
    std::shared_ptr<const int16_t[]> analysedSamples;
    uint32_t analysedBytes = 0;

    /// The temperament manager's table as its file holds it: saved through
    /// the manager's Save to a scratch file in the working directory and read
    /// back.
    static tonarel::TemperamentFileContents SavedTable();

private:
    QTemporaryDir directory_;
    QString previousDirectory_;
};

/// Answers the next modal window: once a modal widget is showing,
/// `answer` runs with it (from a timer, inside the modal's own event loop) and
/// must close it. Call before the command that opens the modal window.
void AnswerNextModal(std::function<void(QWidget* modal)> answer);

/// Answers the next modal question box (QMessageBox) by clicking its button
/// captioned `button` ("保存", "不保存", "取消", "替换"); a missing button
/// fails the test. Call before the command that asks.
void AnswerNextQuestion(const QString& button);
