#include "platform/Application.h"

#include "platform/Dialogs.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

namespace {
QStringList installed(const QStringList& candidates)
{
    const QStringList families = QFontDatabase::families();
    QStringList found;
    for (const QString& c : candidates)
        if (families.contains(c, Qt::CaseInsensitive))
            found << c;
    return found;
}
} // namespace

void InstallFontSubstitutions()
{
    const QStringList cjkSans{"Microsoft YaHei", "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                              "Source Han Sans SC", "WenQuanYi Zen Hei", "Droid Sans Fallback"};
    const QStringList cjkSerif{"SimSun", "NSimSun", "Noto Serif CJK SC", "AR PL UMing CN", "AR PL SungtiL GB"};
    const QStringList latin{"Arial", "Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans"};

    QFont::insertSubstitutions(QStringLiteral("微软雅黑"), installed(cjkSans));
    QFont::insertSubstitutions(QStringLiteral("宋体"), installed(cjkSerif + cjkSans));
    QFont::insertSubstitutions(QStringLiteral("Arail"), installed(latin));
}

QFont PixelFont(const QString& family, int pixels, bool bold)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void SetupApplication(QApplication& app, const QString& title)
{
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        QApplication::setStyle(classic);
        QApplication::setPalette(classic->standardPalette());
    }
    InstallFontSubstitutions();
    QApplication::setFont(PixelFont(QStringLiteral("宋体"), 12));

    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    SetApplicationTitle(title);
}

bool DisplayAvailable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true; // offscreen, vnc, ...: no desktop needed
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}
