#include "platform/HelpKey.h"

#include <QShortcut>
#include <QWidget>

#include "forms/UserMessage.h"
#include "platform/HelpViewer.h"

namespace tonarel {

void InstallHelpKey(QWidget& window, uint32_t contextNumber)
{
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), &window, nullptr, nullptr, Qt::WindowShortcut);
    QObject::connect(help, &QShortcut::activated, &window,
                     [contextNumber] { RunGuarded([contextNumber] { ApplicationHelpViewer().OpenAtContext(contextNumber); }); });
}

}  // namespace tonarel
