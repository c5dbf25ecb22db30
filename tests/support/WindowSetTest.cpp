#include "tests/support/WindowSetTest.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "meter/PitchMeterWindow.h"
#include "platform/UserSettings.h"
#include "shell/ApplicationWindows.h"
#include "shell/MainWindow.h"
#include "temperament/TemperamentManagerWindow.h"

using namespace tonarel;

void WindowSetTest::SetUp()
{
    ASSERT_TRUE(directory_.isValid());
    previousDirectory_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(directory_.path()));
    SetUserMessageHandler([this](UserMessageKind kind, const QString& text) { messages.emplace_back(kind, text); });
    help = std::make_unique<HelpViewerStandIn>();
    // Every test starts as a first run: nothing remembered (the folder is the
    // process's own, see PrivateConfiguration.h).
    QFile::remove(UserSettingsFile());

    CreateApplicationWindows();
    ShowApplicationWindows();
    QObject::connect(Windows().pitchMeter, &PitchMeterWindow::samplesAnalysed,
                     [this](const std::shared_ptr<const int16_t[]>& samples, uint32_t byteCount) {
                         analysedSamples = samples;
                         analysedBytes = byteCount;
                     });
    ASSERT_TRUE(QTest::qWaitForWindowActive(Windows().mainWindow));
    ProcessEvents();
}

void WindowSetTest::TearDown()
{
    DestroyApplicationWindows();
    analysedSamples.reset();
    ProcessEvents();
    help.reset();
    SetUserMessageHandler({});
    QDir::setCurrent(previousDirectory_);
}

TemperamentFileContents WindowSetTest::SavedTable()
{
    const char* const name = "table-as-saved.qrv";
    EXPECT_TRUE(Windows().temperamentManager->SaveTemperamentFile(name));
    const std::optional<TemperamentFileContents> contents = ReadTemperamentFile(name);
    EXPECT_TRUE(contents.has_value());
    return contents.value_or(TemperamentFileContents{});
}

void WindowSetTest::ProcessEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void WindowSetTest::Activate(QWidget* window)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

void AnswerNextModal(std::function<void(QWidget* modal)> answer)
{
    auto* poll = new QTimer(QCoreApplication::instance());
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer = std::move(answer)] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        answer(modal);
        // An answer that failed part-way (a failed ASSERT returns early) must not
        // leave the modal window open: the command under test would wait forever.
        QTimer::singleShot(2000, modal, [modal] {
            if (modal != nullptr && modal->isVisible()) {
                ADD_FAILURE() << "the modal window was left open by its answer";
                if (auto* dialog = qobject_cast<QDialog*>(modal.data())) {
                    dialog->reject();
                } else {
                    modal->close();
                }
            }
        });
    });
    poll->start();
}

void AnswerNextQuestion(const QString& button)
{
    AnswerNextModal([button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr) << "not a question: " << modal->metaObject()->className();
        for (QAbstractButton* candidate : box->buttons()) {
            if (candidate->text() == button) {
                candidate->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << button.toStdString();
    });
}
