#include "shell/TonarelApplication.h"

int main(int argc, char** argv)
{
    TonarelApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Tonarel"));
    return 0;
}
