// The file dialogs keep no settings: a run leaves the user's configuration as it
// found it and takes nothing from it. Qt's file dialogs would otherwise write
// their history, last folder and view state to QtProject.conf when they are
// destroyed, and restore them in the next run.
//
// The run is a child process of this test program with a home and
// configuration folder of its own (settings paths are fixed at the first use
// in a process, so only a fresh process shows what a real start does); the
// configuration holds what Qt would have stored after an earlier run.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <optional>

#include "forms/FileDialogRunner.h"
#include "shell/ApplicationWindows.h"
#include "shell/MainWindow.h"
#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

/// Set in the child's environment to the folder an earlier run ended in.
constexpr const char* kRememberedFolder = "TONAREL_TEST_REMEMBERED_FOLDER";

class UserSettingsTest : public WindowSetTest {
protected:
    /// The child's part: the dialogs start from their design state, then are
    /// used (a name confirmed, a dialog cancelled) and destroyed with the
    /// windows at the end of the test.
    void UseTheDialogsInAFreshHome(const QString& remembered)
    {
        for (QFileDialog* dialog : {Windows().mainWindow->openDialog, Windows().mainWindow->saveDialog}) {
            SCOPED_TRACE(dialog->objectName().toStdString());
            EXPECT_EQ(dialog->viewMode(), QFileDialog::Detail) << "no view state from an earlier run";
            EXPECT_NE(dialog->directory().absolutePath(), remembered) << "no folder from an earlier run";
            EXPECT_FALSE(dialog->history().contains(remembered)) << "no history from an earlier run";
        }
        std::vector<std::optional<QString>> answers = {QStringLiteral("saved"), std::nullopt, QStringLiteral("saved")};
        SetFileDialogHandler([&answers](const QFileDialog&) {
            std::optional<QString> answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        });
        Windows().mainWindow->saveAsItem->trigger();
        Windows().mainWindow->openItem->trigger();
        Windows().mainWindow->openItem->trigger();
        SetFileDialogHandler({});
        EXPECT_TRUE(answers.empty());
        EXPECT_TRUE(QFile::exists("saved.qrv"));
    }

    static QByteArray Contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(UserSettingsTest, TheFileDialogsNeitherWriteNorReadTheUsersConfiguration)
{
    if (qEnvironmentVariableIsSet(kRememberedFolder)) {
        UseTheDialogsInAFreshHome(qEnvironmentVariable(kRememberedFolder));
        return;
    }

    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString config = home.filePath(".config");
    const QString remembered = home.filePath("remembered");
    ASSERT_TRUE(QDir().mkpath(config) && QDir().mkpath(remembered));
    {
        QSettings earlierRun(config + "/QtProject.conf", QSettings::IniFormat);
        earlierRun.beginGroup("FileDialog");
        earlierRun.setValue("lastVisited", QUrl::fromLocalFile(remembered).toString());
        earlierRun.setValue("history", QStringList{QUrl::fromLocalFile(remembered).toString()});
        earlierRun.setValue("viewMode", "List");  // the dialogs' design shows details
        earlierRun.setValue("qtVersion", "6.4.2");
    }
    const QByteArray before = Contents(config + "/QtProject.conf");
    ASSERT_FALSE(before.isEmpty());

    const ::testing::TestInfo* self = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("TONAREL_TEST_CONFIG_HOME", config);  // the child's XDG_CONFIG_HOME
    environment.insert(kRememberedFolder, remembered);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2").arg(self->test_suite_name(), self->name())});
    ASSERT_TRUE(child.waitForFinished(90000)) << "the child run did not end";
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();

    EXPECT_EQ(Contents(config + "/QtProject.conf"), before) << "the configuration was written";
    QStringList configuration;
    for (QDirIterator entry(config, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
         entry.hasNext();) {
        configuration << QDir(config).relativeFilePath(entry.next());
    }
    EXPECT_EQ(configuration, QStringList{"QtProject.conf"}) << "nothing else appears";
}

}  // namespace
