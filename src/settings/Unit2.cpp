#include "settings/Unit2.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "settings/TimerIni.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
QLabel* makeLabel(QWidget* parent, const char* text, int left, int top, int width)
{
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setGeometry(left, top, width, 12);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

ColorEdit* makeField(QWidget* parent, int left, int top)
{
    auto* f = new ColorEdit(parent);
    f->setGeometry(left, top, 69, 20);
    return f;
}
} // namespace

TForm2::TForm2(const QString& iniFileName, BoardColours& target, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      m_target(target), m_iniFileName(iniFileName)
{
    setWindowTitle(QStringLiteral("选项"));
    setFixedSize(309, 171);
    setFont(PixelFont(QStringLiteral("宋体"), 12));
    setAutoFillBackground(true);

    // Declared order of the controls; their places and sizes.
    lbl2 = makeLabel(this, "序号颜色", 160, 52, 48);
    lbl3 = makeLabel(this, "网格颜色", 16, 52, 48);
    edt_line = makeField(this, 68, 48);
    btn1 = new QPushButton(QStringLiteral("确定"), this);
    btn1->setGeometry(123, 136, 75, 25);
    btn1->setDefault(true);
    lbl1 = makeLabel(this, "小框底色", 160, 16, 48);
    edt_back = makeField(this, 68, 12);
    lbl4 = makeLabel(this, "计时颜色", 16, 88, 48);
    edt_ing = makeField(this, 68, 84);
    edt_no = makeField(this, 212, 48);
    lbl5 = makeLabel(this, "非计时颜色", 148, 88, 60);
    edt_wait = makeField(this, 212, 84);
    lbl6 = makeLabel(this, "背景色", 28, 16, 36);
    edt_pnl = makeField(this, 212, 12);

    setTabOrder(edt_line, btn1);
    setTabOrder(btn1, edt_back);
    setTabOrder(edt_back, edt_ing);
    setTabOrder(edt_ing, edt_no);
    setTabOrder(edt_no, edt_wait);
    setTabOrder(edt_wait, edt_pnl);
    edt_line->setFocus();

    connect(btn1, &QPushButton::clicked, this, [this] { Guarded([this] { btn1Click(); }); });

    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::FormCreate()
{
    TimerIni = std::make_unique<IniFile>(m_iniFileName);
    m_loaded = ReadColours(*TimerIni);
    edt_line->SetSelectedColor(m_loaded.LineColor);
    edt_back->SetSelectedColor(m_loaded.BackColor);
    edt_ing->SetSelectedColor(m_loaded.IngColor);
    edt_no->SetSelectedColor(m_loaded.NoColor);
    edt_wait->SetSelectedColor(m_loaded.WaitColor);
    edt_pnl->SetSelectedColor(m_loaded.PnlColor);
}

BoardColours TForm2::Selected() const
{
    BoardColours c;
    c.BackColor = edt_back->SelectedColor();
    c.LineColor = edt_line->SelectedColor();
    c.PnlColor = edt_pnl->SelectedColor();
    c.NoColor = edt_no->SelectedColor();
    c.IngColor = edt_ing->SelectedColor();
    c.WaitColor = edt_wait->SelectedColor();
    return c;
}

void TForm2::btn1Click()
{
    // The board takes the chosen colours for this run even when the file
    // refuses them; the refusal is shown, and the dialog ends either way.
    const BoardColours chosen = Selected();
    m_confirmed = true;
    m_target = chosen;
    Guarded([&] { WriteColours(*TimerIni, chosen); });
    accept();
}

void TForm2::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        e->accept(); // there is no cancel button: Escape does nothing
        return;
    }
    QDialog::keyPressEvent(e);
}
