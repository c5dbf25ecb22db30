#pragma once
// Every message box the program shows goes through here, so that tests can
// answer them instead of a person (a modal box would stop a test run).

#include <QString>
#include <exception>
#include <functional>

namespace tonarel {

enum class UserMessageKind {
    Error,        ///< the application's error box (critical icon)
    Information,  ///< a plain notice (information icon)
    Warning,      ///< something the user asked for was not done (warning icon)
};

/// Shows `text` in a modal message box of the given kind with an OK button.
void ShowUserMessage(UserMessageKind kind, const QString& text);

/// The application's error box, for an exception that escaped a handler.
void ShowErrorBox(const QString& text);

/// Replaces the message boxes by `handler` (tests record the messages); an
/// empty handler restores the real boxes.
using UserMessageHandler = std::function<void(UserMessageKind, const QString&)>;
void SetUserMessageHandler(UserMessageHandler handler);

/// Runs `handler` and shows any exception that escapes it in the error box
/// (an exception of unknown type with an empty text). Slots whose work can
/// fail run their body through this, so that no exception ever crosses Qt.
template <typename Handler>
void RunGuarded(Handler&& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorBox(QString());
    }
}

}  // namespace tonarel
