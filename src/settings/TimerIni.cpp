#include "settings/TimerIni.h"

#include "common/AppDir.h"
#include "platform/IntConv.h"

QString TimerIniFileName()
{
    return GetAppDir() + QStringLiteral("timer.ini");
}

BoardColours DefaultColours()
{
    BoardColours c;
    c.LineColor = clLime;
    c.BackColor = clBtnFace;
    c.IngColor = clGreen;
    c.NoColor = clBlue;
    c.WaitColor = clBlack;
    c.PnlColor = clBtnFace;
    return c;
}

BoardColours ReadColours(const IniFile& ini)
{
    const BoardColours d = DefaultColours();
    BoardColours c;
    c.LineColor = ini.ReadInteger(SysSection, QStringLiteral("LineColor"), d.LineColor);
    c.BackColor = ini.ReadInteger(SysSection, QStringLiteral("BackColor"), d.BackColor);
    c.IngColor = ini.ReadInteger(SysSection, QStringLiteral("IngColor"), d.IngColor);
    c.NoColor = ini.ReadInteger(SysSection, QStringLiteral("NoColor"), d.NoColor);
    c.WaitColor = ini.ReadInteger(SysSection, QStringLiteral("WaitColor"), d.WaitColor);
    c.PnlColor = ini.ReadInteger(SysSection, QStringLiteral("PnlColor"), d.PnlColor);
    return c;
}

void WriteColours(IniFile& ini, const BoardColours& c)
{
    ini.WriteInteger(SysSection, QStringLiteral("BackColor"), c.BackColor);
    ini.WriteInteger(SysSection, QStringLiteral("LineColor"), c.LineColor);
    ini.WriteInteger(SysSection, QStringLiteral("IngColor"), c.IngColor);
    ini.WriteInteger(SysSection, QStringLiteral("NoColor"), c.NoColor);
    ini.WriteInteger(SysSection, QStringLiteral("WaitColor"), c.WaitColor);
    ini.WriteInteger(SysSection, QStringLiteral("PnlColor"), c.PnlColor);
}

void WriteResult(IniFile& ini, qint32 group, const QString& time)
{
    ini.WriteString(TimerSection, IntToStr(group), time);
}
