#pragma once
// Keeps the window tests out of the user's configuration: the process gets a
// configuration folder of its own (XDG_CONFIG_HOME) before the application
// object starts, so that what the program remembers ("精确测量") is written
// there and never read from the user's files.

#include <QByteArray>
#include <QTemporaryDir>
#include <memory>

namespace tonarel::test {

/// Points XDG_CONFIG_HOME at the folder that TONAREL_TEST_CONFIG_HOME names
/// (a test that starts a child run chooses it), or else at a fresh temporary
/// folder that lasts as long as the process. Call once, first thing in main.
inline void UsePrivateConfiguration()
{
    static std::unique_ptr<QTemporaryDir> folder;
    const QByteArray chosen = qgetenv("TONAREL_TEST_CONFIG_HOME");
    if (!chosen.isEmpty()) {
        qputenv("XDG_CONFIG_HOME", chosen);
        return;
    }
    folder = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", folder->path().toLocal8Bit());
}

}  // namespace tonarel::test
