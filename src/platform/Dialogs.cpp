#include "platform/Dialogs.h"

#include "platform/Errors.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {
QString& titleStore()
{
    static QString title;
    return title;
}
} // namespace

void SetApplicationTitle(const QString& title) { titleStore() = title; }
QString ApplicationTitle() { return titleStore(); }

QMessageBox* AskYesNo(const QString& text, const QString& caption, std::function<void(bool yes)> onAnswer)
{
    auto* box = new QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setDefaultButton(QMessageBox::Yes);
    box->button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box->button(QMessageBox::No)->setText(QStringLiteral("否"));
    QObject::connect(box, &QMessageBox::finished, box, [box, onAnswer = std::move(onAnswer)](int) {
        const bool yes = box->clickedButton() == box->button(QMessageBox::Yes);
        if (onAnswer)
            Guarded([&] { onAnswer(yes); });
    });
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

QString ErrorText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void ShowError(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), ErrorText(message), QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

void ShowRaised(const std::exception& e)
{
    if (auto* ours = dynamic_cast<const Exception*>(&e))
        ShowError(ours->message());
    else
        ShowError(QString::fromLocal8Bit(e.what()));
}

QString InputBox(const QString& caption, const QString& prompt, const QString& defaultText, QWidget* owner)
{
    QInputDialog dialog(owner);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(255);
        edit->selectAll();
    }
    if (dialog.exec() == QDialog::Accepted)
        return dialog.textValue();
    return defaultText;
}
