#include "board/Unit1.h"

#include "common/TextUtil.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/IntConv.h"
#include "settings/TimerIni.h"
#include "timer/KelvoCUTlbl.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScreen>

namespace {
struct LineBounds {
    int left, top, width, height;
};

// Grid lines 1 to 12: row separators, edges and column separators.
constexpr std::array<LineBounds, 12> kLines{{
    {-8, 182, 1377, 2},  // 1: between rows 1 and 2
    {-3, 364, 1371, 2},  // 2: between rows 2 and 3
    {-3, 546, 1371, 2},  // 3: between rows 3 and 4
    {228, 1, 2, 727},    // 4: between columns 1 and 2
    {456, 0, 2, 729},    // 5: between columns 2 and 3
    {684, 3, 2, 725},    // 6: between columns 3 and 4
    {912, 1, 2, 728},    // 7: between columns 4 and 5
    {1140, 1, 2, 728},   // 8: between columns 5 and 6
    {0, -14, 2, 743},    // 9: left edge
    {1368, 0, 2, 730},   // 10: right edge
    {-14, 727, 1382, 2}, // 11: bottom edge
    {-9, 0, 1377, 2},    // 12: top edge
}};

const QString kCloseQuestion = QStringLiteral("请先检查计时是否全部停止，确认退出？");
} // namespace

Tfrm_main::Tfrm_main(const QString& iniFileName, Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_clock(clock), m_iniFileName(iniFileName)
{
    setWindowTitle(ApplicationTitle().isEmpty() ? QStringLiteral("Kelvo并发计时器") : ApplicationTitle());
    setFixedSize(ClientWidth, ClientHeight);
    setFont(PixelFont(QStringLiteral("宋体"), 12));
    setAutoFillBackground(true);

    for (int i = 0; i < 12; ++i) {
        rzsprtr[i] = new Separator(this);
        rzsprtr[i]->setGeometry(kLines[i].left, kLines[i].top, kLines[i].width, kLines[i].height);
    }

    btn1 = new TagButton(this);
    btn1->setVisible(false);
    connectControlButton(btn1);

    pm1 = new QMenu(this);
    mniN1 = pm1->addAction(QStringLiteral("新增"));
    mniN1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mniN1->setShortcutContext(Qt::WindowShortcut);
    addAction(mniN1); // Ctrl+N works while the board is active, menu closed
    mniN2 = pm1->addAction(QStringLiteral("关闭"));
    connect(mniN1, &QAction::triggered, this, [this] { Guarded([this] { mniN1Click(); }); });
    connect(mniN2, &QAction::triggered, this, [this] { Guarded([this] { mniN2Click(); }); });

    FormCreate();
}

Tfrm_main::~Tfrm_main() = default;

void Tfrm_main::FormCreate()
{
    GroupCount = 0;
    BoxWidth = 226;
    BoxHeight = 180;

    Form2 = std::make_unique<TForm2>(m_iniFileName, Colours);
    Form2->exec();
    // Closed without confirming: the board takes the colours the dialog
    // showed (stored or default), so nothing ends up black on black.
    if (!Form2->Confirmed())
        Colours = Form2->Loaded();

    const QColor line = ToQColor(Colours.LineColor);
    for (Separator* s : rzsprtr) {
        s->SetColor(line);
        s->SetHighlightColor(line);
    }
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(Colours.BackColor));
    setPalette(pal);
}

void Tfrm_main::ShowCentred()
{
    if (QScreen* s = screen()) {
        const QRect g = s->geometry();
        move(g.left() + (g.width() - ClientWidth) / 2, g.top() + (g.height() - ClientHeight) / 2);
    }
    show();
    raise();
    activateWindow();
}

void Tfrm_main::FormCloseQuery()
{
    QPointer<Tfrm_main> self(this);
    AskYesNo(kCloseQuestion, QStringLiteral("警告"), [self](bool yes) {
        if (yes && self) {
            self->m_closeConfirmed = true;
            self->close();
        }
    });
}

void Tfrm_main::closeEvent(QCloseEvent* e)
{
    if (m_closeConfirmed) {
        e->accept();
        emit Closed();
        return;
    }
    e->ignore();
    FormCloseQuery();
}

void Tfrm_main::contextMenuEvent(QContextMenuEvent* e)
{
    pm1->popup(e->globalPos());
}

void Tfrm_main::mniN2Click()
{
    close();
}

QPoint Tfrm_main::SlotPosition(int k) const
{
    return {(k % 6) * (BoxWidth + 2) + 2, (k / 6) * (BoxHeight + 2) + 2};
}

void Tfrm_main::connectControlButton(TagButton* button)
{
    connect(button, &QPushButton::clicked, this, [this, button] { Guarded([&] { btn1Click(button); }); });
}

void Tfrm_main::mniN1Click()
{
    const QString entry = TrimControls(InputBox(QStringLiteral("请输入新的组号："), QString(), QString(), this));
    if (entry.isEmpty() || !IsAllDigits(entry))
        return;
    const qint32 group = StrToInt(entry); // too large: the conversion error, nothing built
    AddGroupBox(group, entry);
}

Panel* Tfrm_main::AddGroupBox(qint32 group, const QString& caption)
{
    auto* box = new Panel(this);
    ++GroupCount;
    box->resize(BoxWidth, BoxHeight);
    box->SetColor(ToQColor(Colours.PnlColor));
    box->Tag = group;
    box->move(SlotPosition(GroupCount - 1));

    auto* timer = new tKelvoCUTlbl(box, m_clock);
    timer->SetAutoSize(false);
    timer->setGeometry(1, 1, BoxWidth - 2, 120); // across the inner width, inside the bevel
    timer->SetGroup(group);
    timer->SetEffectAlignment(AALabel::Alignment::Center);
    timer->SetEffectLayout(AALabel::Layout::Center);
    timer->setFont(PixelFont(QStringLiteral("微软雅黑"), 72));
    timer->SetStandColor(Colours.WaitColor);
    timer->SetTimingColor(Colours.IngColor);

    auto* button = new TagButton(box);
    connectControlButton(button);
    button->Tag = 1;
    button->setText(QStringLiteral("开始"));
    button->setGeometry(168, BoxHeight - 30 - 2, 56, 30);

    auto* number = new QLabel(caption, box);
    number->setFont(PixelFont(QStringLiteral("Arail"), 48, true));
    QPalette pal = number->palette();
    pal.setColor(QPalette::WindowText, ToQColor(Colours.NoColor));
    number->setPalette(pal);
    number->adjustSize();
    number->move(48, BoxHeight - number->height() - 8);

    button->raise(); // a long number runs under the button, not over it
    box->show();
    return box;
}

QList<Panel*> Tfrm_main::Boxes() const
{
    return findChildren<Panel*>(QString(), Qt::FindDirectChildrenOnly);
}

tKelvoCUTlbl* Tfrm_main::TimerLabelOf(const Panel* box)
{
    return box->findChild<tKelvoCUTlbl*>(QString(), Qt::FindDirectChildrenOnly);
}

TagButton* Tfrm_main::ButtonOf(const Panel* box)
{
    return box->findChild<TagButton*>(QString(), Qt::FindDirectChildrenOnly);
}

QLabel* Tfrm_main::NumberLabelOf(const Panel* box)
{
    return box->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
}

void Tfrm_main::btn1Click(TagButton* sender)
{
    QPointer<Panel> box = qobject_cast<Panel*>(sender->parentWidget());
    if (!box)
        return;
    QPointer<TagButton> button = sender;
    const QString n = IntToStr(box->Tag);

    switch (sender->Tag) {
    case 1:
        AskYesNo(QStringLiteral("开始计时:第[ ") + n + QStringLiteral(" ]组"), QStringLiteral("提示"),
                 [this, box, button](bool yes) {
                     if (!yes || !box || !button)
                         return;
                     TimerLabelOf(box)->Start();
                     button->Tag = 2;
                     button->setText(QStringLiteral("停止"));
                 });
        break;
    case 2:
        AskYesNo(QStringLiteral("停止计时:第[ ") + n + QStringLiteral(" ]组"), QStringLiteral("提示"),
                 [this, box, button](bool yes) {
                     if (!yes || !box || !button)
                         return;
                     tKelvoCUTlbl* timer = TimerLabelOf(box);
                     timer->Stop();
                     button->Tag = 3;
                     button->setText(QStringLiteral("重设"));
                     WriteResult(*Form2->TimerIni, timer->Group(), timer->Caption());
                 });
        break;
    case 3: {
        const QString answer =
            InputBox(QStringLiteral("请输入新的组号"), QStringLiteral("输入为0则隐藏且不可恢复"), QString(), this);
        if (!box || !button)
            return;
        if (answer == QStringLiteral("0")) {
            // Hidden for good: the button no longer reacts, the slot stays taken.
            disconnect(button, nullptr, this, nullptr);
            box->hide();
            return;
        }
        const qint32 v = StrToInt(answer); // fails before anything changes
        box->Tag = v;
        for (QObject* child : box->children()) {
            if (auto* number = qobject_cast<QLabel*>(child)) {
                number->setText(answer);
                number->adjustSize();
            } else if (auto* timer = qobject_cast<tKelvoCUTlbl*>(child)) {
                timer->SetGroup(v);
                timer->Reset();
                button->Tag = 1;
                button->setText(QStringLiteral("开始"));
            }
        }
        break;
    }
    default:
        break;
    }
}
