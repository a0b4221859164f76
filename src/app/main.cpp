// Kelvo并发计时器: many count-up stopwatches on one board, one box per group.
#include "board/Unit1.h"
#include "platform/Application.h"
#include "settings/TimerIni.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {
const char* const kNeedsDesktop = "kelvo-timer needs a desktop session: start it from a graphical desktop, "
                                  "or under xvfb-run";

QtMessageHandler previousHandler = nullptr;

// Qt ends the program with a long abort trace when it cannot reach the
// display; say in one sentence what is missing instead.
void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        std::fprintf(stderr, "%s (the display could not be opened).\n", kNeedsDesktop);
        std::_Exit(1);
    }
    if (type != QtFatalMsg
        && (message.contains(QLatin1String("could not connect to display"))
            || message.contains(QLatin1String("Could not load the Qt platform plugin"))))
        return; // the sentence above says it
    previousHandler(type, context, message);
}
} // namespace

int main(int argc, char** argv)
{
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "%s (DISPLAY is not set).\n", kNeedsDesktop);
        return 1;
    }
    previousHandler = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(previousHandler);
    app.setQuitOnLastWindowClosed(false); // the board alone decides when the program ends
    SetupApplication(app, QStringLiteral("Kelvo并发计时器"));

    Tfrm_main frm_main(TimerIniFileName());
    QObject::connect(&frm_main, &Tfrm_main::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
    frm_main.ShowCentred();
    return app.exec();
}
