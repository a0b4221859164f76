#include "support/TestSupport.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace support {

std::shared_ptr<bool> whenModal(const std::function<bool(QWidget*)>& matches, std::function<void(QWidget*)> act,
                                int timeoutMs)
{
    auto done = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(2);
    // An answer belongs to the test (and data row) that asked for it.
    const QByteArray owner = QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        if (QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag() != owner) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->isVisible() && matches(w)) {
            timer->stop();
            timer->deleteLater();
            *done = true;
            act(w);
            if (QTest::currentTestFailed()) {
                // A check failed inside a dialog: end every dialog so the test returns.
                for (QWidget* top : QApplication::topLevelWidgets())
                    if (auto* dialog = qobject_cast<QDialog*>(top); dialog && dialog->isVisible())
                        dialog->reject();
            }
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
    return done;
}

static QPushButton* dialogButton(QInputDialog* dialog, QDialogButtonBox::StandardButton which)
{
    auto* box = dialog->findChild<QDialogButtonBox*>();
    return box ? box->button(which) : nullptr;
}

void enterText(QInputDialog* dialog, const QString& text)
{
    auto* edit = dialog->findChild<QLineEdit*>();
    QVERIFY(edit);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(edit, char(c.unicode()));
        else // typed through an input method, as a full-width digit would be
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    dialogButton(dialog, QDialogButtonBox::Ok)->click();
}

void cancelInput(QInputDialog* dialog)
{
    dialogButton(dialog, QDialogButtonBox::Cancel)->click();
}

std::shared_ptr<InputSeen> answerInput(const QString& text)
{
    auto seen = std::make_shared<InputSeen>();
    whenModal<QInputDialog>([seen, text](QInputDialog* d) {
        seen->shown = true;
        seen->caption = d->windowTitle();
        seen->prompt = d->labelText();
        seen->initialText = d->textValue();
        if (auto* edit = d->findChild<QLineEdit*>())
            seen->maxLength = edit->maxLength();
        seen->boardBlocked = d->windowModality() == Qt::ApplicationModal;
        if (text.isNull())
            cancelInput(d);
        else
            enterText(d, text);
    });
    return seen;
}

std::shared_ptr<ErrorSeen> catchError()
{
    auto seen = std::make_shared<ErrorSeen>();
    whenModal<QMessageBox>([seen](QMessageBox* box) {
        seen->shown = true;
        seen->caption = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    return seen;
}

QList<QMessageBox*> openQuestions()
{
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible() && box->windowModality() == Qt::NonModal)
            boxes << box;
    return boxes;
}

QMessageBox* openQuestion(const QString& text)
{
    for (QMessageBox* box : openQuestions())
        if (box->text() == text)
            return box;
    return nullptr;
}

void answer(QMessageBox* box, bool yes)
{
    QVERIFY(box);
    box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    settle();
}

std::unique_ptr<Tfrm_main> newBoard(const QString& iniPath, Clock& clock, bool confirm)
{
    whenModal<TForm2>([confirm](TForm2* dialog) {
        if (confirm)
            dialog->btn1->click();
        else
            dialog->close();
    });
    auto board = std::make_unique<Tfrm_main>(iniPath, clock);
    board->ShowCentred();
    if (!QTest::qWaitForWindowExposed(board.get()))
        qWarning("board not exposed");
    return board;
}

void pressCtrlN(Tfrm_main* board)
{
    board->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(board));
    QTest::keyClick(board, Qt::Key_N, Qt::ControlModifier);
}

void addGroupByKeyboard(Tfrm_main* board, const QString& entry)
{
    auto seen = answerInput(entry);
    pressCtrlN(board);
    QTRY_VERIFY(seen->shown);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QColor pixel(QWidget* w, int x, int y)
{
    return w->grab().toImage().pixelColor(x, y);
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

} // namespace support
