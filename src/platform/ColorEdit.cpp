#include "platform/ColorEdit.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>

const std::array<StandardColour, 40>& StandardColours()
{
    static const std::array<StandardColour, 40> colours{{
        {RgbColour(0x00, 0x00, 0x00), "黑色"},     {RgbColour(0x99, 0x33, 0x00), "褐色"},
        {RgbColour(0x33, 0x33, 0x00), "橄榄绿"},   {RgbColour(0x00, 0x33, 0x00), "深绿"},
        {RgbColour(0x00, 0x33, 0x66), "深青"},     {RgbColour(0x00, 0x00, 0x80), "深蓝"},
        {RgbColour(0x33, 0x33, 0x99), "靛蓝"},     {RgbColour(0x33, 0x33, 0x33), "灰色-80%"},
        {RgbColour(0x80, 0x00, 0x00), "深红"},     {RgbColour(0xFF, 0x66, 0x00), "橙色"},
        {RgbColour(0x80, 0x80, 0x00), "深黄"},     {RgbColour(0x00, 0x80, 0x00), "绿色"},
        {RgbColour(0x00, 0x80, 0x80), "青色"},     {RgbColour(0x00, 0x00, 0xFF), "蓝色"},
        {RgbColour(0x66, 0x66, 0x99), "蓝灰"},     {RgbColour(0x80, 0x80, 0x80), "灰色-50%"},
        {RgbColour(0xFF, 0x00, 0x00), "红色"},     {RgbColour(0xFF, 0x99, 0x00), "浅橙色"},
        {RgbColour(0x99, 0xCC, 0x00), "酸橙色"},   {RgbColour(0x33, 0x99, 0x66), "海绿"},
        {RgbColour(0x33, 0xCC, 0xCC), "水绿色"},   {RgbColour(0x33, 0x66, 0xFF), "浅蓝"},
        {RgbColour(0x80, 0x00, 0x80), "紫罗兰"},   {RgbColour(0x96, 0x96, 0x96), "灰色-40%"},
        {RgbColour(0xFF, 0x00, 0xFF), "粉红"},     {RgbColour(0xFF, 0xCC, 0x00), "金色"},
        {RgbColour(0xFF, 0xFF, 0x00), "黄色"},     {RgbColour(0x00, 0xFF, 0x00), "鲜绿"},
        {RgbColour(0x00, 0xFF, 0xFF), "青绿"},     {RgbColour(0x00, 0xCC, 0xFF), "天蓝"},
        {RgbColour(0x99, 0x33, 0x66), "梅红"},     {RgbColour(0xC0, 0xC0, 0xC0), "灰色-25%"},
        {RgbColour(0xFF, 0x99, 0xCC), "玫瑰红"},   {RgbColour(0xFF, 0xCC, 0x99), "茶色"},
        {RgbColour(0xFF, 0xFF, 0x99), "浅黄"},     {RgbColour(0xCC, 0xFF, 0xCC), "浅绿"},
        {RgbColour(0xCC, 0xFF, 0xFF), "浅青绿"},   {RgbColour(0x99, 0xCC, 0xFF), "淡蓝"},
        {RgbColour(0xCC, 0x99, 0xFF), "淡紫"},     {RgbColour(0xFF, 0xFF, 0xFF), "白色"},
    }};
    return colours;
}

// ---- the field ----

ColorEdit::ColorEdit(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void ColorEdit::SetSelectedColor(Colour c)
{
    if (c == m_selected)
        return;
    m_selected = c;
    update();
    emit SelectedColorChanged(c);
}

QRect ColorEdit::ButtonRect() const
{
    return QRect(width() - 2 - 16, 2, 16, height() - 4);
}

QRect ColorEdit::SwatchRect() const
{
    return QRect(4, 4, ButtonRect().left() - 4 - 3, height() - 8);
}

ColorGrid* ColorEdit::Grid() const
{
    return m_grid;
}

void ColorEdit::DropDown()
{
    if (m_grid)
        return;
    m_grid = new ColorGrid(this);
    m_grid->setAttribute(Qt::WA_DeleteOnClose);
    const auto& all = StandardColours();
    for (int i = 0; i < int(all.size()); ++i)
        if (all[i].value == m_selected)
            m_grid->SetCurrent(i);
    connect(m_grid, &ColorGrid::chosen, this, [this](Colour c) {
        SetSelectedColor(c);
        if (m_grid)
            m_grid->close();
    });
    connect(m_grid, &ColorGrid::closed, this, [this] {
        m_grid = nullptr;
        update();
    });
    m_grid->move(mapToGlobal(QPoint(0, height())));
    m_grid->show();
    m_grid->setFocus();
    update();
}

void ColorEdit::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    // sunken field
    p.fillRect(rect(), pal.color(QPalette::Base));
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    p.drawLine(0, height() - 1, width() - 1, height() - 1);

    const QRect sw = SwatchRect();
    p.fillRect(sw, ToQColor(m_selected));
    p.setPen(pal.color(QPalette::Shadow));
    p.drawRect(sw.adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        p.setPen(QPen(pal.color(QPalette::Text), 1, Qt::DotLine));
        p.drawRect(sw.adjusted(-2, -2, 1, 1));
    }

    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = ButtonRect();
    opt.state |= m_grid ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = ButtonRect().adjusted(3, 4, -3, -4);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
}

void ColorEdit::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        DropDown();
    }
}

void ColorEdit::keyPressEvent(QKeyEvent* e)
{
    const bool altDown = e->key() == Qt::Key_Down && (e->modifiers() & Qt::AltModifier);
    if (altDown || e->key() == Qt::Key_F4 || e->key() == Qt::Key_Space) {
        DropDown();
        return;
    }
    e->ignore(); // Enter and the rest go to the dialog
}

// ---- the drop-down grid ----

ColorGrid::ColorGrid(QWidget* parent) : QWidget(parent, Qt::Popup)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setFixedSize(Columns * Cell + 4, Rows * Cell + 4);
}

void ColorGrid::SetCurrent(int index)
{
    m_current = qBound(0, index, Rows * Columns - 1);
    update();
}

QRect ColorGrid::CellRect(int index) const
{
    return QRect(2 + (index % Columns) * Cell, 2 + (index / Columns) * Cell, Cell, Cell);
}

int ColorGrid::CellAt(const QPoint& pos) const
{
    for (int i = 0; i < Rows * Columns; ++i)
        if (CellRect(i).contains(pos))
            return i;
    return -1;
}

void ColorGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Shadow));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const auto& all = StandardColours();
    for (int i = 0; i < Rows * Columns; ++i) {
        const QRect cell = CellRect(i);
        p.fillRect(cell.adjusted(3, 3, -3, -3), ToQColor(all[i].value));
        p.setPen(pal.color(QPalette::Dark));
        p.drawRect(cell.adjusted(3, 3, -4, -4));
        if (i == m_current) {
            p.setPen(pal.color(QPalette::Shadow));
            p.drawRect(cell.adjusted(0, 0, -1, -1));
        }
    }
}

void ColorGrid::mouseMoveEvent(QMouseEvent* e)
{
    const int i = CellAt(e->position().toPoint());
    if (i >= 0 && i != m_current)
        SetCurrent(i);
}

void ColorGrid::mouseReleaseEvent(QMouseEvent* e)
{
    const int i = CellAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton && i >= 0)
        emit chosen(StandardColours()[i].value);
}

void ColorGrid::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Left: SetCurrent(m_current - 1); break;
    case Qt::Key_Right: SetCurrent(m_current + 1); break;
    case Qt::Key_Up: SetCurrent(m_current - Columns); break;
    case Qt::Key_Down: SetCurrent(m_current + Columns); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: emit chosen(StandardColours()[m_current].value); break;
    case Qt::Key_Escape: close(); break;
    default: QWidget::keyPressEvent(e);
    }
}

void ColorGrid::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    emit closed();
}

bool ColorGrid::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const int i = CellAt(help->pos());
        if (i >= 0)
            QToolTip::showText(help->globalPos(), QString::fromUtf8(StandardColours()[i].name), this, CellRect(i));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}
