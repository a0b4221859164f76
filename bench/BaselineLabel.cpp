#include "BaselineLabel.h"

namespace {
QString minutesSeconds(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

BaselineLabel::BaselineLabel(QWidget* parent) : AALabel(parent)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &BaselineLabel::tick);
    SetCaption(minutesSeconds(0));
}

void BaselineLabel::SetColours(const QColor& stand, const QColor& timing)
{
    m_stand = stand;
    m_timing = timing;
    SetFontColor(m_timer.isActive() ? m_timing : m_stand);
}

void BaselineLabel::Start()
{
    m_timer.start();
    SetFontColor(m_timing);
}

void BaselineLabel::Stop()
{
    m_timer.stop();
    SetFontColor(m_stand);
}

void BaselineLabel::tick()
{
    ++m_count;
    SetCaption(minutesSeconds(m_count));
}
