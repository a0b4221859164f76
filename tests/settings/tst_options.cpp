#include "support/TestSupport.h"

#include "platform/ColorEdit.h"
#include "settings/TimerIni.h"
#include "settings/Unit2.h"

#include <QLabel>
#include <QPushButton>

#include <sys/stat.h>

using namespace support;

namespace {
const QByteArray kDefaultsFile = "[SYS]\r\nBackColor=-16777201\r\nLineColor=65280\r\nIngColor=32768\r\n"
                                 "NoColor=16711680\r\nWaitColor=0\r\nPnlColor=-16777201\r\n";

// Shows the dialog modally and lets act operate it from inside its loop.
void runDialog(TForm2& dialog, std::function<void(TForm2*)> act)
{
    auto ran = whenModal<TForm2>(std::move(act));
    dialog.exec();
    QVERIFY(*ran);
}

void pressKey(TForm2* dialog, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
    QTest::keyClick(target, key, mods);
}
} // namespace

class OptionsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString ini() const { return dir.filePath("timer.ini"); }

private slots:
    void init() { QFile::remove(ini()); }

    void layout()
    {
        BoardColours target;
        TForm2 d(ini(), target);
        QCOMPARE(d.windowTitle(), QString("选项"));
        QCOMPARE(d.size(), QSize(309, 171));
        QVERIFY(d.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(d.windowFlags() & Qt::WindowContextHelpButtonHint));
        QVERIFY(!(d.windowFlags() & Qt::WindowMaximizeButtonHint));
        const struct {
            QWidget* w;
            QRect r;
            const char* text;
        } controls[] = {
            {d.lbl6, {28, 16, 36, 12}, "背景色"},     {d.edt_back, {68, 12, 69, 20}, nullptr},
            {d.lbl1, {160, 16, 48, 12}, "小框底色"},  {d.edt_pnl, {212, 12, 69, 20}, nullptr},
            {d.lbl3, {16, 52, 48, 12}, "网格颜色"},   {d.edt_line, {68, 48, 69, 20}, nullptr},
            {d.lbl2, {160, 52, 48, 12}, "序号颜色"},  {d.edt_no, {212, 48, 69, 20}, nullptr},
            {d.lbl4, {16, 88, 48, 12}, "计时颜色"},   {d.edt_ing, {68, 84, 69, 20}, nullptr},
            {d.lbl5, {148, 88, 60, 12}, "非计时颜色"}, {d.edt_wait, {212, 84, 69, 20}, nullptr},
            {d.btn1, {123, 136, 75, 25}, "确定"},
        };
        for (const auto& c : controls) {
            QCOMPARE(c.w->geometry(), c.r);
            if (auto* label = qobject_cast<QLabel*>(c.w))
                QCOMPARE(label->text(), QString::fromUtf8(c.text));
        }
        QCOMPARE(d.btn1->text(), QString("确定"));
        QVERIFY(d.btn1->isDefault());
    }

    void firstRunShowsTheDefaultsAndEnterStoresThem()
    {
        BoardColours target;
        TForm2 d(ini(), target);
        QVERIFY(!QFile::exists(ini())); // creating the dialog writes nothing
        BoardColours shown;
        runDialog(d, [&](TForm2* dlg) {
            shown = dlg->Selected();
            QCOMPARE(dlg->focusWidget(), static_cast<QWidget*>(dlg->edt_line));
            pressKey(dlg, Qt::Key_Return);
        });
        QCOMPARE(shown, DefaultColours());
        QCOMPARE(d.edt_back->SelectedColor(), Colour(0xFF00000Fu));
        QCOMPARE(d.edt_line->SelectedColor(), Colour(0x00FF00));
        QCOMPARE(d.edt_no->SelectedColor(), Colour(0xFF0000));
        QCOMPARE(d.edt_ing->SelectedColor(), Colour(0x008000));
        QCOMPARE(d.edt_wait->SelectedColor(), Colour(0));
        QCOMPARE(readFile(ini()), kDefaultsFile); // six keys, in their order
        QVERIFY(d.Confirmed());
        QCOMPARE(target, DefaultColours());
    }

    void storedColoursAreLoadedAndWrittenBackUnchanged()
    {
        writeFile(ini(), "[sys]\r\nbackcolor=$FF000005\r\nLineColor=0x123456\r\nIngColor=green\r\n"
                         "NoColor=255\r\nWaitColor=2147483648\r\nPnlColor=-16777201\r\n[Timer]\r\n7=12:05\r\n");
        BoardColours target;
        TForm2 d(ini(), target);
        QCOMPARE(d.edt_back->SelectedColor(), Colour(0xFF000005u)); // a system colour the grid lacks
        QCOMPARE(d.edt_line->SelectedColor(), Colour(0x123456));    // an RGB the grid lacks
        QCOMPARE(d.edt_ing->SelectedColor(), clGreen);              // unreadable: default
        QCOMPARE(d.edt_no->SelectedColor(), Colour(255));
        QCOMPARE(d.edt_wait->SelectedColor(), clBlack);
        runDialog(d, [](TForm2* dlg) { dlg->btn1->click(); });
        QCOMPARE(readFile(ini()), QByteArray("[sys]\r\nbackcolor=-16777211\r\nLineColor=1193046\r\nIngColor=32768\r\n"
                                             "NoColor=255\r\nWaitColor=0\r\nPnlColor=-16777201\r\n[Timer]\r\n7=12:05\r\n"));
        QCOMPARE(target.BackColor, Colour(0xFF000005u));
        QCOMPARE(target.LineColor, Colour(0x123456));
    }

    void twoRunsWithTheSameColoursLeaveTheFileUnchanged()
    {
        for (int run = 0; run < 2; ++run) {
            BoardColours target;
            TForm2 d(ini(), target);
            runDialog(d, [](TForm2* dlg) { pressKey(dlg, Qt::Key_Return); });
        }
        struct stat before {};
        ::stat(QFile::encodeName(ini()).constData(), &before);
        BoardColours target;
        TForm2 d(ini(), target);
        runDialog(d, [](TForm2* dlg) { pressKey(dlg, Qt::Key_Enter, Qt::KeypadModifier); });
        struct stat after {};
        ::stat(QFile::encodeName(ini()).constData(), &after);
        QCOMPARE(readFile(ini()), kDefaultsFile);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    }

    void closeBoxStoresAndAppliesNothing()
    {
        BoardColours target;
        TForm2 d(ini(), target);
        runDialog(d, [](TForm2* dlg) {
            // choose bright yellow in the grid first, then close the dialog
            QTest::mouseClick(dlg->edt_back, Qt::LeftButton, {}, dlg->edt_back->ButtonRect().center());
            ColorGrid* grid = dlg->edt_back->Grid();
            QVERIFY(grid);
            QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(26).center());
            dlg->close();
        });
        QCOMPARE(d.edt_back->SelectedColor(), RgbColour(0xFF, 0xFF, 0));
        QVERIFY(!d.Confirmed());
        QVERIFY(!QFile::exists(ini()));
        QCOMPARE(target, BoardColours{});
        QCOMPARE(d.Loaded(), DefaultColours());
    }

    void escapeDoesNothing()
    {
        BoardColours target;
        TForm2 d(ini(), target);
        bool stillOpen = false;
        runDialog(d, [&](TForm2* dlg) {
            pressKey(dlg, Qt::Key_Escape);
            QTest::keyClick(dlg, Qt::Key_Escape);
            stillOpen = dlg->isVisible() && dlg->result() == 0;
            dlg->btn1->click();
        });
        QVERIFY(stillOpen);
        QVERIFY(d.Confirmed());
    }

    void choosingInTheGridThenConfirming()
    {
        BoardColours target;
        TForm2 d(ini(), target);
        runDialog(d, [](TForm2* dlg) {
            // keyboard: Alt+Down opens the grid, arrows move, Enter chooses
            QTest::keyClick(dlg->edt_line, Qt::Key_Down, Qt::AltModifier);
            ColorGrid* grid = dlg->edt_line->Grid();
            QVERIFY(grid);
            QCOMPARE(grid->Current(), 27); // the field's bright green
            QTest::keyClick(grid, Qt::Key_Left);
            QTest::keyClick(grid, Qt::Key_Return);
            QVERIFY(!dlg->edt_line->Grid());
            QVERIFY(dlg->isVisible()); // Enter chose the colour; it did not confirm
            pressKey(dlg, Qt::Key_Return);
        });
        QCOMPARE(target.LineColor, RgbColour(0xFF, 0xFF, 0)); // yellow, left of bright green
        QVERIFY(readFile(ini()).contains("LineColor=65535\r\n"));
    }

    void gridOffersFortyNamedStandardColours()
    {
        const auto& all = StandardColours();
        QCOMPARE(int(all.size()), ColorGrid::Rows * ColorGrid::Columns);
        QCOMPARE(ColorGrid::Rows, 5);
        QCOMPARE(ColorGrid::Columns, 8);
        for (const auto& c : all) {
            QVERIFY2((quint32(c.value) >> 24) == 0, "no system colours in the grid");
            QVERIFY(!QString::fromUtf8(c.name).isEmpty());
        }
    }

    void swatchShowsAnyColourValue()
    {
        ColorEdit field;
        field.resize(69, 20);
        field.SetSelectedColor(clBtnFace);
        const QImage img = field.grab().toImage();
        QCOMPARE(img.pixelColor(field.SwatchRect().center()), ToQColor(clBtnFace));
        field.SetSelectedColor(RgbColour(0x12, 0x34, 0x56));
        QCOMPARE(field.grab().toImage().pixelColor(field.SwatchRect().center()), QColor(0x12, 0x34, 0x56));
    }

    void tabOrder()
    {
        BoardColours target;
        TForm2 d(ini(), target);
        QList<QWidget*> visited;
        runDialog(d, [&](TForm2* dlg) {
            for (int i = 0; i < 8; ++i) {
                visited << dlg->focusWidget();
                pressKey(dlg, Qt::Key_Tab);
            }
            dlg->close();
        });
        const QList<QWidget*> expected{d.edt_line, d.btn1,     d.edt_back, d.edt_ing,
                                       d.edt_no,   d.edt_wait, d.edt_pnl,  d.edt_line};
        QCOMPARE(visited, expected);
    }

    void refusedWriteIsShownAndTheDialogEndsWithTheChosenColours()
    {
        writeFile(ini(), "[SYS]\r\nLineColor=255\r\n");
        ::chmod(QFile::encodeName(ini()).constData(), 0444);
        BoardColours target;
        TForm2 d(ini(), target);
        auto error = catchError();
        runDialog(d, [](TForm2* dlg) { dlg->btn1->click(); });
        ::chmod(QFile::encodeName(ini()).constData(), 0644);
        QVERIFY(error->shown);
        QCOMPARE(error->caption, QString("Kelvo并发计时器"));
        QCOMPARE(error->text, "Unable to write to " + ini() + ".");
        QCOMPARE(error->icon, QMessageBox::Critical);
        QVERIFY(!d.isVisible());
        QCOMPARE(readFile(ini()), QByteArray("[SYS]\r\nLineColor=255\r\n"));
        QCOMPARE(target.LineColor, Colour(255)); // the board still takes them for this run
        QCOMPARE(target.PnlColor, clBtnFace);
    }
};

KELVO_TEST_MAIN(OptionsTest)
#include "tst_options.moc"
