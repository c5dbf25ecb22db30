#include "shell/TonarelApplication.h"

#include <QFont>
#include <QLibraryInfo>

#include "forms/UserMessage.h"

namespace tonarel {

TonarelApplication::TonarelApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tonarel"));
    // The desktop entry's name, so that desktops match the windows with the
    // menu entry and its icon.
    setDesktopFileName(QStringLiteral(TONAREL_APP_ID));
    setQuitOnLastWindowClosed(false);

    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    setFont(font);

    // Without the translations (a bare installation) Qt's dialogs stay in English.
    if (qtTexts_.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(&qtTexts_);
    }
}

bool TonarelApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

}  // namespace tonarel
