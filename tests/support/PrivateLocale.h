#pragma once
// A locale of the C library made for one test process, so that the program
// can be tested under the user settings of other countries without changing
// anything on the machine.

#include <string>

#include "tests/support/TemporaryDirectory.h"

namespace tonarel::test {

class PrivateLocale {
public:
    /// Generates the locale `name` (language, territory and character set, as
    /// "de_DE.UTF-8") with localedef into a fresh private folder, and names it
    /// in the environment: LOCPATH the folder, LC_ALL the locale. Must run
    /// before the application object, which takes the C library's locale
    /// (setlocale(LC_ALL, "")) and Qt's from the environment. The folder is
    /// removed at destruction; the environment keeps the names. Throws
    /// std::runtime_error when the locale cannot be generated (localedef or
    /// its locale sources, Debian package `locales`, missing).
    explicit PrivateLocale(const std::string& name);

private:
    TemporaryDirectory folder_{TemporaryDirectory::Enter::kNo};
};

}  // namespace tonarel::test
