// quorbic: the program body. Starts up, runs the message loop until the user
// ends the program, and commits the store as it closes.

#include "shell/desktopopener.h"
#include "shell/program.h"
#include "shell/quorbicapplication.h"
#include "shell/windowstate.h"

int main(int argc, char *argv[])
{
    QuorbicApplication app(argc, argv);
    DesktopOpener opener;
    QuorbicProgram program(opener);
    program.setWindowStateFile(WindowState::defaultFile());
    if (!program.start())
        return 1;
    const int code = QuorbicApplication::exec();
    program.shutdown();
    return code;
}
