#pragma once
// The options dialog: six colour fields loaded from the settings file,
// stored and applied when confirmed with "确定" or Enter.
#include "platform/ColorEdit.h"
#include "platform/IniFile.h"
#include "settings/BoardColours.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // Creates the settings-file object for iniFileName and loads the six
    // colours into the fields. Confirming writes them to the file and
    // copies them into target.
    TForm2(const QString& iniFileName, BoardColours& target, QWidget* parent = nullptr);
    ~TForm2() override;

    // The one object through which the settings file is read and written.
    std::unique_ptr<IniFile> TimerIni;

    QLabel* lbl2 = nullptr;
    QLabel* lbl3 = nullptr;
    ColorEdit* edt_line = nullptr;
    QPushButton* btn1 = nullptr;
    QLabel* lbl1 = nullptr;
    ColorEdit* edt_back = nullptr;
    QLabel* lbl4 = nullptr;
    ColorEdit* edt_ing = nullptr;
    ColorEdit* edt_no = nullptr;
    QLabel* lbl5 = nullptr;
    ColorEdit* edt_wait = nullptr;
    QLabel* lbl6 = nullptr;
    ColorEdit* edt_pnl = nullptr;

    bool Confirmed() const { return m_confirmed; }
    // The colours as loaded from the file (or the defaults).
    const BoardColours& Loaded() const { return m_loaded; }
    // The colours the fields show now.
    BoardColours Selected() const;

    void FormCreate();
    void btn1Click();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    BoardColours& m_target;
    QString m_iniFileName;
    BoardColours m_loaded;
    bool m_confirmed = false;
};
