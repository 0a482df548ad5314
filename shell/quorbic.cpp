// quorbic: the program body. Starts up, runs the message loop until the user
// ends the program, and commits the store as it closes.

#include "shell/desktopopener.h"
#include "shell/program.h"
#include "shell/quorbicapplication.h"

int main(int argc, char *argv[])
{
    QuorbicApplication app(argc, argv);
    DesktopOpener opener;
    QuorbicProgram program(opener);
    if (!program.start())
        return 1;
    const int code = QuorbicApplication::exec();
    program.shutdown();
    return code;
}
