// Kelvo并发计时器: many count-up stopwatches on one board, one box per group.
#include "board/Unit1.h"
#include "platform/Application.h"
#include "settings/TimerIni.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "kelvo-timer needs a desktop session: start it from a graphical desktop, "
                             "or under xvfb-run (DISPLAY is not set).\n");
        return 1;
    }
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false); // the board alone decides when the program ends
    SetupApplication(app, QStringLiteral("Kelvo并发计时器"));

    Tfrm_main frm_main(TimerIniFileName());
    QObject::connect(&frm_main, &Tfrm_main::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
    frm_main.ShowCentred();
    return app.exec();
}
