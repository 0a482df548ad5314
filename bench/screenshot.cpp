// quorbic-screenshot: draws one of the program's windows on a small scratch
// store into a PNG, for the README. Run it under a virtual X server, so the
// pictures show the real platform's style and fonts:
//   xvfb-run -a -s "-screen 0 1024x768x24" quorbic-screenshot main docs/main-window.png
// (`cmake --build <dir> --target screenshots` draws all of them into docs/.)

#include "screenshots.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

int saveWhenDrawn(QWidget &widget, const QString &out)
{
    // Half a second lets the window map, lay out and paint under the X server.
    QTimer::singleShot(500, &widget, [&widget, out] {
        const bool saved = widget.grab().save(out);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(out));
        QCoreApplication::exit(saved ? 0 : 1);
    });
    return QApplication::exec();
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    struct Shot
    {
        const char *name;
        int (*shoot)(const QString &);
    };
    const Shot shots[] = {
        {"main", shootMainWindow},     {"posting", shootPostingWindow}, {"categories", shootCategoryManager},
        {"server", shootServerDialog}, {"account", shootAccountDialog}, {"question", shootQuestionEditor},
        {"help", shootHelpWindow},
    };
    if (args.size() == 2) {
        for (const Shot &shot : shots) {
            if (args.first() == QLatin1String(shot.name))
                return shot.shoot(args.at(1));
        }
    }
    std::fprintf(stderr, "Usage: quorbic-screenshot main|posting|categories|server|account|question|help FILE.png\n");
    return 2;
}
