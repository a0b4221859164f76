#include "platform/IntConv.h"

#include "platform/Errors.h"

namespace {
int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}
} // namespace

std::optional<qint32> TryStrToInt(const QString& s)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;

    quint64 v = 0;
    if (hex) {
        for (; i < n; ++i) {
            const int d = hexDigit(s[i]);
            if (d < 0)
                return std::nullopt;
            v = v * 16 + quint64(d);
            if (v > 0xFFFFFFFFull)
                return std::nullopt;
        }
        const quint32 pattern = quint32(v);
        return qint32(negative ? 0u - pattern : pattern);
    }
    for (; i < n; ++i) {
        const char16_t u = s[i].unicode();
        if (u < u'0' || u > u'9')
            return std::nullopt;
        v = v * 10 + quint64(u - u'0');
        if (v > 2147483648ull)
            return std::nullopt;
    }
    if (negative)
        return qint32(-qint64(v));
    if (v > 2147483647ull)
        return std::nullopt;
    return qint32(v);
}

qint32 StrToInt(const QString& text)
{
    if (auto v = TryStrToInt(text))
        return *v;
    throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

QString IntToStr(qint32 value)
{
    return QString::number(value);
}
