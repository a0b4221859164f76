#pragma once
// The program's message boxes and its text-input dialog.
#include <QString>

#include <exception>
#include <functional>

class QMessageBox;
class QWidget;

// The application title: caption of the error box.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

// A Yes/No question with the warning icon and Yes as the default button.
// It has no owner window and is not modal: the rest of the program stays
// usable while it is open, and onAnswer runs when it is answered, with
// true only for Yes. The box deletes itself once answered.
QMessageBox* AskYesNo(const QString& text, const QString& caption, std::function<void(bool yes)> onAnswer);

// The error box: a modal critical box with the application title as
// caption and the message, with "." appended when its last character
// sorts after ".". Returns when the operator has closed it.
void ShowError(const QString& message);
QString ErrorText(const QString& message);

// Runs an event handler; an error it raises ends it where it stands and is
// shown in the error box, after which the program goes on.
void ShowRaised(const std::exception& e);

template <class F>
void Guarded(F&& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        ShowRaised(e);
    }
}

// The modal text-input dialog: caption, prompt, a one-line field of at most
// 255 characters holding the default (selected), OK and Cancel. Returns the
// entered text on OK, and the default on Cancel or when closed.
QString InputBox(const QString& caption, const QString& prompt, const QString& defaultText, QWidget* owner = nullptr);
