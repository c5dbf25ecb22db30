#include "shell/ApplicationWindows.h"

#include <QApplication>
#include <QDir>
#include <memory>

#include "meter/Unit3.h"
#include "platform/HelpViewer.h"
#include "platform/UserGuide.h"
#include "scope/Unit2.h"
#include "shell/AboutBox.h"
#include "shell/Pictures.h"
#include "shell/Unit1.h"
#include "temperament/Unit4.h"

namespace tonarel {

namespace {

/// Clears the global before the window goes, so that nothing reaches a
/// window while it is being destroyed.
template <typename Window>
void Destroy(Window*& global)
{
    std::unique_ptr<Window> window(global);
    global = nullptr;
}

}  // namespace

void CreateApplicationWindows()
{
    SetApplicationHelpFile(LocateUserGuide(QDir(QCoreApplication::applicationDirPath())));
    QApplication::setWindowIcon(QIcon(DrawProgramPicture(32)));
    Form1 = new TForm1();
    Form2 = new TForm2();
    Form3 = new TForm3();
    Form4 = new TForm4();
    AboutBox = new TAboutBox(Form1);
}

void ShowApplicationWindows()
{
    for (TonarelForm* window : std::initializer_list<TonarelForm*>{Form1, Form2, Form3, Form4}) {
        window->show();
    }
    // Which window ends up active differs between platforms (none on a bare
    // X server); the program starts with the main window active.
    Form1->ShowInFront();
}

void DestroyApplicationWindows() noexcept
{
    Destroy(Form4);
    Destroy(Form3);
    Destroy(Form2);
    AboutBox = nullptr;  // owned by the main window
    Destroy(Form1);
}

}  // namespace tonarel
