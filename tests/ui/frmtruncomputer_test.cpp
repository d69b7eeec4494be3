#include "frmtruncomputer.h"
#include "systemname.h"
#include "uitest.h"

#include <QLabel>
#include <QRadioButton>
#include <QTest>

namespace {
class CountdownTest : public ::testing::Test
{
protected:
    // Opens the dialog as the firing logic does: mode first, then Form_Load.
    void open(bool reboot)
    {
        dialog = new frmTrunComputer(clock);
        dialog->optReboot->setChecked(reboot);
        dialog->Form_Load();
    }
    void tick(int times)
    {
        for (int i = 0; i < times && dialog; ++i)
            dialog->Timer1_Timer();
    }

    ScriptedUser user; // the clock panel's close question must never come up
    FakePowerService power;
    frmMain clock;
    QPointer<frmTrunComputer> dialog;
};
} // namespace

TEST_F(CountdownTest, CountsOncePerSecondAndASecondItemChangesOnlyTheMode)
{
    open(true);
    EXPECT_FALSE(clock.Timer1.isEnabled() || clock.isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(dialog->ticks(), qint16(3), 3500); // two real ticks
    EXPECT_EQ(dialog->lblInfo->text(), systemName() + " 将于( 17 )秒后—重新启动。");
    dialog->setReboot(false); // a shut-down item falls due in the same scan
    tick(16);
    EXPECT_EQ(dialog->lblInfo->text(), "将于( 1 )秒后—关闭计算机。");
    tick(1);
    EXPECT_EQ(power.requests, std::vector{PowerAction::PowerOff});
}

TEST_F(CountdownTest, EveryWayOutRequestsOnceOrNeverAndRestartsTheClockOnlyWhenNone)
{
    using Act = std::function<void(frmTrunComputer *)>;
    const Act none = [](frmTrunComputer *) {};
    const auto click = [](QPushButton *frmTrunComputer::*b) -> Act {
        return [b](frmTrunComputer *d) { QTest::mouseClick(d->*b, Qt::LeftButton); };
    };
    const auto key = [](Qt::Key k) -> Act {
        return [k](frmTrunComputer *d) { QTest::keyClick(d, k); };
    };
    // Restart or shut down, ticks first, then what the user does; the request granted; what is
    // asked.
    const std::tuple<bool, int, Act, bool, std::vector<PowerAction>> cases[] = {
        {true, 19, none, true, {PowerAction::Reboot}},
        {false, 19, none, true, {PowerAction::PowerOff}},
        {true, 19, none, false, {PowerAction::Reboot}}, // refused
        {false, 3, click(&frmTrunComputer::cmdOk), true, {PowerAction::PowerOff}},
        {true, 0, key(Qt::Key_Return), true, {PowerAction::Reboot}},
        {true, 18, click(&frmTrunComputer::cmdCancel), true, {}},
        {true, 0, key(Qt::Key_Escape), true, {}},
        {true, 5, [](frmTrunComputer *d) { d->close(); }, true, {}},
    };
    for (const auto &[reboot, ticks, act, accept, requests] : cases) {
        SCOPED_TRACE(testing::Message() << reboot << ticks << accept << requests.size());
        power.requests.clear();
        power.accept = accept;
        open(reboot);
        tick(ticks);
        if (dialog)
            act(dialog);
        EXPECT_EQ(power.requests, requests);
        // A granted request leaves the clock stopped; anything else starts it again.
        const bool running = requests.empty() || !accept;
        EXPECT_EQ(clock.Timer1.isEnabled(), running);
        EXPECT_EQ(clock.Timer1.interval(), running ? 1000 : 0);
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(dialog->isVisible() || dialog->Timer1.isActive());
        EXPECT_TRUE(clock.isEnabled());
        flushDeletes();
        EXPECT_FALSE(dialog);
    }
    EXPECT_TRUE(user.asked.empty());
}
