#include <exception>

#include "forms/UserMessage.h"
#include "shell/ApplicationWindows.h"
#include "shell/TonarelApplication.h"

using namespace tonarel;

int main(int argc, char** argv)
{
    TonarelApplication application(argc, argv);
    try {
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
