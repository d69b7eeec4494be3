#include "frmabout.h"
#include "frmmenu.h"
#include "uitest.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {
class AboutTest : public ::testing::Test
{
protected:
    AboutTest() : about(new frmAbout(clock)) { about->show(); }
    ~AboutTest() override
    {
        frmAbout::setSystemInfoFinderForTesting({});
        delete about;
    }
    bool underlined() const { return about->lblHttpURL->font().underline(); }

    ScriptedUser user;
    FakeLauncher launcher;
    frmMain clock;
    QPointer<frmAbout> about;
};
} // namespace

TEST_F(AboutTest, ShowsItsTextsWholeAndTheLinkAboveTheSeparator)
{
    EXPECT_EQ(frmAbout::versionText(2, 0, 12), QStringLiteral("版本: 2.0.12"));
    const QString text = frmAbout::descriptionText(); // five lines, each ended by CR LF
    EXPECT_TRUE(text.endsWith(QStringLiteral("谢谢！\r\nMailto:deskalarm@example.org\r\n")));
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 5);
    EXPECT_EQ(text.count(QLatin1Char('\n')), 5);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("关于 桌面闹钟"));
    EXPECT_TRUE(
        about->lblVersion->text().contains(QRegularExpression("^版本: \\d+\\.\\d+\\.\\d+$")));
    EXPECT_EQ(about->lblDescription->text(), frmAbout::descriptionText());
    EXPECT_EQ(about->Label1->text() + " " + about->lblTitle->text(),
              QStringLiteral("桌面闹钟 DeskAlarm"));
    EXPECT_FALSE(about->Image1->pixmap().isNull());
    for (QLabel *label : {about->Label1, about->lblTitle, about->lblVersion})
        EXPECT_GE(label->height(), label->sizeHint().height()) << label->objectName().toStdString();
    const QLabel *notice = about->lblDescription;
    // All but the empty line after the last break.
    EXPECT_GE(notice->height(),
              notice->heightForWidth(notice->width()) - notice->fontMetrics().lineSpacing());
    EXPECT_GE(about->lblHttpURL->width(), about->lblHttpURL->sizeHint().width());
    EXPECT_GT(about->lblHttpURL->y(), notice->geometry().bottom());
    EXPECT_LT(about->lblHttpURL->geometry().bottom(), 189); // the separator, 2835 twips
}

TEST_F(AboutTest, ClockOpensNoMenuWhileOpenAndOkEnterAndEscCloseTheBox)
{
    // The panel's filter on its time labels sees presses that a disabled widget
    // drops: a disabled panel must still open no menu.
    clock.show();
    QTest::mousePress(clock.lblCurTime[0], Qt::RightButton);
    EXPECT_FALSE(clock.menu().mnuSys->isVisible());
    clock.menu().mnuSys->hide();
    EXPECT_TRUE(about->cmdOK->isDefault());
    QTest::mouseClick(about->cmdOK, Qt::LeftButton);
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        EXPECT_TRUE(clock.isEnabled());
        flushDeletes();
        EXPECT_FALSE(about);
        about = new frmAbout(clock);
        about->show();
        EXPECT_FALSE(clock.isEnabled());
        QTest::keyClick(about, key);
        EXPECT_FALSE(about->isVisible()) << key;
    }
}

TEST_F(AboutTest, LinkUnderlinedUntilTheMouseReachesTheBareFormAndOpensTheSite)
{
    EXPECT_EQ(about->lblHttpURL->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(about->lblHttpURL->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(about->lblHttpURL->toolTip(), QStringLiteral("访问软件的更新站点"));
    EXPECT_FALSE(underlined());
    QTest::mouseMove(about->lblHttpURL, QPoint(5, 5));
    EXPECT_TRUE(underlined());
    // Onto a button, a label or the image: the underline stays.
    for (QWidget *other : QList<QWidget *>{about->cmdOK, about->lblDescription, about->Image1}) {
        QTest::mouseMove(other, QPoint(3, 3));
        EXPECT_TRUE(underlined()) << other->objectName().toStdString();
    }
    QTest::mouseMove(about, QPoint(3, about->height() - 3));
    EXPECT_FALSE(underlined());

    QTest::mouseClick(about->lblHttpURL, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(launcher.calls, QStringList{"url https://deskalarm.example.org/"});
    EXPECT_TRUE(about->isVisible());
}

TEST_F(AboutTest, SystemInfoStartsTheToolFoundOrReportsNoneAndTheBoxStays)
{
    frmAbout::setSystemInfoFinderForTesting([] { return QStringLiteral("/usr/bin/some-monitor"); });
    QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
    EXPECT_EQ(launcher.calls, QStringList{"program /usr/bin/some-monitor"});
    EXPECT_TRUE(user.asked.empty());

    frmAbout::setSystemInfoFinderForTesting([] { return QString(); });
    about->cmdSysInfo->click();
    EXPECT_EQ(launcher.calls.size(), 1);
    ASSERT_EQ(user.asked.size(), 1u);
    EXPECT_EQ(user.asked[0].text, QStringLiteral("此时系统信息无效"));
    EXPECT_EQ(user.asked[0].title, QStringLiteral("桌面闹钟"));
    EXPECT_EQ(user.asked[0].icon, MsgIcon::None);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(clock.isEnabled());
}

int main(int argc, char **argv)
{
    return runWidgetTests(argc, argv);
}
