#include "common/TextUtil.h"

bool IsAllDigits(const QString& text)
{
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QString TrimControls(const QString& text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 32) ++b;
    while (e > b && text[e - 1].unicode() <= 32) --e;
    return text.mid(b, e - b);
}
