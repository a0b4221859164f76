#pragma once
// The board: a fixed, borderless 1372 x 729 window with a 6 x 4 grid of
// thin lines; one group box per added group fills the next grid slot.
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/Separator.h"
#include "settings/BoardColours.h"
#include "settings/Unit2.h"

#include <QWidget>

#include <array>
#include <memory>

class QAction;
class QMenu;
class tKelvoCUTlbl;

class Tfrm_main : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 1372;
    static constexpr int ClientHeight = 729;

    // Builds the board and runs its creation handler, which shows the
    // options dialog for iniFileName modally before the board is shown.
    explicit Tfrm_main(const QString& iniFileName, Clock& clock = Clock::steady(), QWidget* parent = nullptr);
    ~Tfrm_main() override;

    // Board state.
    qint32 GroupCount = 0;
    qint32 BoxWidth = 0;
    qint32 BoxHeight = 0;
    BoardColours Colours;
    std::unique_ptr<TForm2> Form2;

    // rzsprtr[i] is grid line number i + 1.
    std::array<Separator*, 12> rzsprtr{};
    TagButton* btn1 = nullptr; // never shown; carries the group control operation
    QMenu* pm1 = nullptr;
    QAction* mniN1 = nullptr; // "新增", Ctrl+N
    QAction* mniN2 = nullptr; // "关闭"

    void FormCreate();
    // Asks the close question; Yes closes the board.
    void FormCloseQuery();
    void mniN1Click();
    // Builds the box of a group in the next slot: number label caption,
    // timer label at 0:00, button "开始". mniN1Click calls it once the
    // entry has passed its checks.
    Panel* AddGroupBox(qint32 group, const QString& caption);
    void mniN2Click();
    void btn1Click(TagButton* sender);

    // Shows the board in the middle of its screen.
    void ShowCentred();

    // The top-left corner of slot k (0-based), in board coordinates.
    QPoint SlotPosition(int k) const;

    // Every group box added so far, hidden ones included, in order.
    QList<Panel*> Boxes() const;
    static tKelvoCUTlbl* TimerLabelOf(const Panel* box);
    static TagButton* ButtonOf(const Panel* box);
    static class QLabel* NumberLabelOf(const Panel* box);

signals:
    // The board has closed after the close question was answered Yes.
    void Closed();

protected:
    void closeEvent(QCloseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void connectControlButton(TagButton* button);

    Clock& m_clock;
    QString m_iniFileName;
    bool m_closeConfirmed = false;
};
