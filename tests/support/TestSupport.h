#pragma once
// What the widget tests share: the application set up as the program sets
// it up, and ways to answer the program's dialogs and questions the way an
// operator would, from inside their nested event loops.
#include "board/Unit1.h"
#include "platform/Application.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QImage>
#include <QInputDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

#define KELVO_TEST_MAIN(TestObject)                                                                                  \
    int main(int argc, char** argv)                                                                                  \
    {                                                                                                                \
        QApplication app(argc, argv);                                                                                \
        app.setQuitOnLastWindowClosed(false);                                                                        \
        SetupApplication(app, QStringLiteral("Kelvo并发计时器"));                                                    \
        TestObject tc;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                   \
        return QTest::qExec(&tc, argc, argv);                                                                        \
    }

namespace support {

// Calls act on the first modal dialog of type T that opens within
// timeoutMs. The returned flag turns true once act has run.
std::shared_ptr<bool> whenModal(const std::function<bool(QWidget*)>& matches, std::function<void(QWidget*)> act,
                                int timeoutMs = 5000);

template <class T>
std::shared_ptr<bool> whenModal(std::function<void(T*)> act, int timeoutMs = 5000)
{
    return whenModal([](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
                     [act = std::move(act)](QWidget* w) { act(qobject_cast<T*>(w)); }, timeoutMs);
}

// Types text into an input dialog's field and presses OK, or Cancel.
void enterText(QInputDialog* dialog, const QString& text);
void cancelInput(QInputDialog* dialog);

// Answers the next input dialog with text (or Cancel when text is null).
// The captured caption and prompt are stored in the result.
struct InputSeen {
    bool shown = false;
    QString caption, prompt, initialText;
    int maxLength = 0;
    bool boardBlocked = false; // application modal while open
};
std::shared_ptr<InputSeen> answerInput(const QString& text);

// Records and closes the next error box.
struct ErrorSeen {
    bool shown = false;
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};
std::shared_ptr<ErrorSeen> catchError();

// The open (non-modal) question boxes, oldest first.
QList<QMessageBox*> openQuestions();
QMessageBox* openQuestion(const QString& text);
// Clicks Yes or No on a question, then lets it go away.
void answer(QMessageBox* box, bool yes);

// A board for the settings file iniPath, its options dialog confirmed as
// it stands (or closed with the close box).
std::unique_ptr<Tfrm_main> newBoard(const QString& iniPath, Clock& clock, bool confirm = true);

// Makes the board the active window and presses Ctrl+N on it.
void pressCtrlN(Tfrm_main* board);

// Adds a group through Ctrl+N with the entry typed into the input dialog.
void addGroupByKeyboard(Tfrm_main* board, const QString& entry);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& data);

// The colour of one pixel of a widget as it is drawn now.
QColor pixel(QWidget* w, int x, int y);

// Drains posted events, deferred deletes included.
void settle();

} // namespace support
