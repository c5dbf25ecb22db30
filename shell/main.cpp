#include <exception>

#include "forms/UserMessage.h"
#include "shell/ApplicationWindows.h"
#include "shell/DisplayPlatform.h"
#include "shell/TakeFolder.h"
#include "shell/TonarelApplication.h"

using namespace tonarel;

int main(int argc, char** argv)
{
    ChooseDisplayPlatform();
    TonarelApplication application(argc, argv);
    try {
        UseOwnTakeFolder();
        CreateApplicationWindows();
        ShowApplicationWindows();
        application.exec();
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorBox(QString());
    }
    DestroyApplicationWindows();
    return 0;
}
