#include "frmmain.h"
#include "frmtruncomputer.h"
#include "menufakes.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
const QString kRestart19 = QString::fromUtf8("Windows 将于( 19 )秒后\u2014重新启动\u3002");
const QString kShutDown19 = QString::fromUtf8("将于( 19 )秒后\u2014关闭计算机\u3002");

class CountdownTest : public ::testing::Test
{
protected:
    // Opens the dialog as the firing logic does: mode first, then Form_Load.
    frmTrunComputer *open(bool reboot)
    {
        dialog = new frmTrunComputer(clock);
        dialog->optReboot->setChecked(reboot);
        dialog->Form_Load();
        return dialog;
    }
    void tick(int times)
    {
        for (int i = 0; i < times && dialog; ++i)
            dialog->Timer1_Timer();
    }
    void expectHeartbeatStopped()
    {
        EXPECT_FALSE(clock.Timer1.isEnabled());
        EXPECT_EQ(clock.Timer1.interval(), 0);
    }
    void expectHeartbeatRunning()
    {
        EXPECT_TRUE(clock.Timer1.isEnabled());
        EXPECT_EQ(clock.Timer1.interval(), 1000);
    }
    // The dialog is closed, the clock panel usable again, the dialog gone.
    void expectClosed()
    {
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_FALSE(dialog->isOpen());
        EXPECT_FALSE(dialog->Timer1.isActive());
        EXPECT_TRUE(clock.isEnabled());
        flushDeletes();
        EXPECT_FALSE(dialog);
    }

    ScriptedUser user; // the clock panel's close question must never come up
    FakePowerService power;
    frmMain clock;
    QPointer<frmTrunComputer> dialog;
};
} // namespace

TEST(CountdownText, BothModesUseTheExactPunctuation)
{
    EXPECT_EQ(frmTrunComputer::countdownText(true, 19), kRestart19);
    EXPECT_EQ(frmTrunComputer::countdownText(false, 19), kShutDown19);
    EXPECT_EQ(frmTrunComputer::countdownText(true, 0),
              QString::fromUtf8("Windows 将于( 0 )秒后\u2014重新启动\u3002"));
}

TEST_F(CountdownTest, OpensShowingNineteenWithTheClockStoppedAndDisabled)
{
    open(true);
    EXPECT_EQ(dialog->lblInfo->text(), kRestart19);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isOpen());
    EXPECT_TRUE(dialog->Timer1.isActive());
    EXPECT_EQ(dialog->Timer1.interval(), 1000);
    expectHeartbeatStopped();
    EXPECT_FALSE(clock.isEnabled());
    // The dialog belongs to the clock panel but must stay usable.
    EXPECT_TRUE(dialog->isEnabled());
    EXPECT_TRUE(dialog->cmdOk->isEnabled());
    EXPECT_TRUE(dialog->cmdCancel->isEnabled());
    EXPECT_TRUE(power.requests.empty());
}

TEST_F(CountdownTest, ShutDownModeShowsItsTextFromTheFirstMoment)
{
    open(false);
    EXPECT_EQ(dialog->lblInfo->text(), kShutDown19);
}

TEST_F(CountdownTest, WindowIsAFixedTopmostDialogThatTakesNoFocus)
{
    open(true);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("重要信息"));
    EXPECT_EQ(dialog->size(), QSize(353, 142));
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(dialog->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(dialog->optReboot->isVisible());
    EXPECT_TRUE(dialog->cmdOk->isDefault());
    EXPECT_EQ(dialog->lblInfo->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(CountdownTest, RequestsRestartAfterNineteenMoreTicksAndLeavesTheClockStopped)
{
    open(true);
    tick(18);
    EXPECT_EQ(dialog->lblInfo->text(),
              QString::fromUtf8("Windows 将于( 1 )秒后\u2014重新启动\u3002"));
    EXPECT_TRUE(power.requests.empty());
    tick(1);
    EXPECT_EQ(dialog->lblInfo->text(),
              QString::fromUtf8("Windows 将于( 0 )秒后\u2014重新启动\u3002"));
    ASSERT_EQ(power.requests.size(), 1u);
    EXPECT_EQ(power.requests[0], PowerAction::Reboot);
    expectHeartbeatStopped();
    expectClosed();
    EXPECT_TRUE(user.asked.empty());
}

TEST_F(CountdownTest, RequestsShutDownInShutDownMode)
{
    open(false);
    tick(19);
    ASSERT_EQ(power.requests.size(), 1u);
    EXPECT_EQ(power.requests[0], PowerAction::PowerOff);
    expectClosed();
}

TEST_F(CountdownTest, RefusedRequestStartsTheClockAgain)
{
    power.accept = false;
    open(true);
    tick(19);
    EXPECT_EQ(power.requests.size(), 1u);
    expectHeartbeatRunning();
    expectClosed();
}

TEST_F(CountdownTest, ExecuteNowRequestsAtOnce)
{
    open(false);
    tick(3);
    QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);
    ASSERT_EQ(power.requests.size(), 1u);
    EXPECT_EQ(power.requests[0], PowerAction::PowerOff);
    expectHeartbeatStopped();
    expectClosed();
}

TEST_F(CountdownTest, CancelAtOneRequestsNothingAndRestartsTheClock)
{
    open(true);
    tick(18);
    QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
    EXPECT_TRUE(power.requests.empty());
    expectHeartbeatRunning();
    expectClosed();
}

TEST_F(CountdownTest, EnterExecutesNow)
{
    open(true);
    QTest::keyClick(dialog, Qt::Key_Return);
    ASSERT_EQ(power.requests.size(), 1u);
    EXPECT_EQ(power.requests[0], PowerAction::Reboot);
    expectClosed();
}

TEST_F(CountdownTest, EscCancels)
{
    open(true);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(power.requests.empty());
    expectHeartbeatRunning();
    expectClosed();
}

TEST_F(CountdownTest, CloseBoxStartsTheClockAgainAndNeverRequests)
{
    open(true);
    tick(5);
    dialog->close();
    EXPECT_TRUE(power.requests.empty());
    expectHeartbeatRunning();
    expectClosed();
}

TEST_F(CountdownTest, SecondItemInTheSameScanOnlyChangesTheMode)
{
    open(true);
    tick(4); // shows 15
    dialog->setReboot(false);
    EXPECT_FALSE(dialog->optReboot->isChecked());
    EXPECT_EQ(dialog->ticks(), 5);
    tick(1);
    EXPECT_EQ(dialog->lblInfo->text(), QString::fromUtf8("将于( 14 )秒后\u2014关闭计算机\u3002"));
    tick(14);
    ASSERT_EQ(power.requests.size(), 1u);
    EXPECT_EQ(power.requests[0], PowerAction::PowerOff);
}

TEST_F(CountdownTest, ModeCanGoBackAndForthThroughTheHiddenOption)
{
    open(false);
    dialog->optReboot->setChecked(true);
    EXPECT_TRUE(dialog->isReboot());
    dialog->optReboot->setChecked(false);
    EXPECT_FALSE(dialog->isReboot());
}

TEST_F(CountdownTest, RealTimerCountsDownOncePerSecond)
{
    open(true);
    // Two real ticks of the dialog's own timer.
    QTRY_COMPARE_WITH_TIMEOUT(dialog->ticks(), qint16(3), 3500);
    EXPECT_EQ(dialog->lblInfo->text(),
              QString::fromUtf8("Windows 将于( 17 )秒后\u2014重新启动\u3002"));
    dialog->cmdCancel_Click();
}

int main(int argc, char **argv)
{
    return runWidgetTests(argc, argv);
}
