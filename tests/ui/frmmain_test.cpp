// The clock panel with a set clock: the tick's texts, the weekday marker, the
// edge rules, the button animations and the firing of due items.
#include "uitest.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QTest>

namespace {
class ClockPanelTest : public ::testing::Test
{
protected:
    void SetUp() override { AlarmItems.clear(); }
    void TearDown() override { AlarmItems.clear(); }

    QColor markerPixel(frmMain &panel, int weekday)
    {
        const QImage face = panel.grab().toImage();
        return face.pixelColor(int(8 + 9 * weekday + 2), 5);
    }
};

} // namespace

TEST_F(ClockPanelTest, TickShowsTimeCaptionAndWeekday)
{
    TestClock clock(at(2000, 3, 29, 14, 5, 9));
    frmMain panel;
    EXPECT_EQ(panel.lblCurTime[0]->text(), QStringLiteral("14:05:09"));
    EXPECT_EQ(panel.lblCurTime[1]->text(), QStringLiteral("14:05:09"));
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("14:05:09(2000年03月29日，星期三)"));
    EXPECT_EQ(panel.lblCurTime[0]->toolTip(), QStringLiteral("星期三"));
    EXPECT_EQ(panel.size(), QSize(110, 32));
    EXPECT_EQ(panel.y(), 0);

    // Midnight: the new day's date in the caption at once.
    clock.set(at(2000, 3, 30, 0, 0, 0));
    panel.Timer1_Timer();
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("00:00:00(2000年03月30日，星期四)"));
}

TEST_F(ClockPanelTest, WeekdayMarkerIsRedOnSundayOnTheFirstDotBlueOnSaturdayOnTheLast)
{
    TestClock clock(at(2026, 12, 6, 9, 0, 0)); // a Sunday
    frmMain panel;
    EXPECT_EQ(markerPixel(panel, 0), QColor(255, 0, 0));
    EXPECT_EQ(panel.lblCurTime[0]->toolTip(), QStringLiteral("星期日"));
    clock.set(at(2026, 12, 12, 9, 0, 0)); // Saturday
    panel.Timer1_Timer();
    EXPECT_EQ(markerPixel(panel, 6), QColor(0, 0, 255));
    EXPECT_NE(markerPixel(panel, 0), QColor(255, 0, 0));
}

TEST_F(ClockPanelTest, EdgeRulesPullThePanelBackOnTheNextTick)
{
    TestClock clock(at(2026, 12, 7, 9, 0, 0));
    frmMain panel;
    panel.show();
    const QRect screen = panel.screen()->geometry();

    panel.move(screen.left() + 10, 300);
    clock.advanceMs(1000);
    panel.Timer1_Timer();
    EXPECT_EQ(panel.pos(), QPoint(screen.left(), 300)) << "13 pixels or less snap to the edge";

    panel.move(screen.left() + 20, 13);
    clock.advanceMs(1000);
    panel.Timer1_Timer();
    EXPECT_EQ(panel.pos(), QPoint(screen.left() + 20, screen.top()));

    panel.move(screen.right() - 50, screen.bottom() + 100);
    clock.advanceMs(1000);
    panel.Timer1_Timer();
    EXPECT_EQ(panel.x(), screen.left() + screen.width() - 110) << "flush with the right edge";
    EXPECT_EQ(panel.y(), screen.bottom() + 100) << "no rule for the bottom edge";
}

TEST_F(ClockPanelTest, AnimationRunsSevenStepsAndAnInterruptedOneResumesFromItsCounter)
{
    TestClock clock(at(2026, 12, 7, 9, 0, 0));
    frmMain panel;
    const auto shows = [&](const QPixmap &frame) {
        return panel.rightBack().cacheKey() == frame.cacheKey();
    };
    EXPECT_TRUE(shows(panel.imgM[1]));
    const int order[] = {0, 1, 2, 0, 1, 2};
    panel.timeM.start();
    for (int frame : order) {
        panel.timeM_Timer();
        EXPECT_TRUE(shows(panel.imgM[frame]));
    }
    panel.timeM_Timer();
    EXPECT_TRUE(shows(panel.imgM[1]));
    EXPECT_FALSE(panel.timeM.isActive());

    // The exit animation stopped after two steps goes on at its third frame.
    panel.timeQ_Timer();
    panel.timeQ_Timer();
    panel.timeQ_Timer();
    EXPECT_TRUE(shows(panel.imgQ[2]));
    panel.timeQ_Timer();
    EXPECT_TRUE(shows(panel.imgQ[0]));
}

TEST_F(ClockPanelTest, DueItemsFireInTableOrderAndTheHeartbeatRunsAgain)
{
    TestClock clock(at(2026, 12, 7, 7, 29, 59, 500));
    AlarmItems.append(
        makeItem("T", kTrue, ShowMessage, {}, "第一", QDate(2026, 12, 7), "07:30:00", Daily));
    AlarmItems.append(
        makeItem("T", kTrue, ShowMessage, {}, {}, QDate(2026, 12, 7), "07:30:00", Daily));
    ScriptedUser user;
    frmMain panel;
    EXPECT_TRUE(user.asked.empty());

    clock.set(at(2026, 12, 7, 7, 30, 0, 20));
    bool heartbeatStoppedDuringReminder = false;
    setMessageResponderForTesting([&](const MessageRequest &request) {
        user.asked.push_back(request);
        heartbeatStoppedDuringReminder = !panel.Timer1.isEnabled();
        return MsgAnswer::Ok;
    });
    panel.Timer1_Timer();
    ASSERT_EQ(user.asked.size(), 2u);
    EXPECT_EQ(user.asked[0].title, QStringLiteral("时间提示"));
    EXPECT_EQ(user.asked[0].text, QStringLiteral("第一"));
    EXPECT_EQ(user.asked[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(user.asked[1].text, QStringLiteral("标题：T(无提示信息)。"));
    EXPECT_TRUE(heartbeatStoppedDuringReminder);
    EXPECT_TRUE(panel.Timer1.isActive());

    // The same second again fires nothing.
    panel.Timer1_Timer();
    EXPECT_EQ(user.asked.size(), 2u);
}

TEST_F(ClockPanelTest, CloseAsksAndCancelKeepsThePanelNoLongerOnTopButSessionEndDoesNotAsk)
{
    TestClock clock(at(2026, 12, 7, 9, 0, 0));
    ScriptedUser user;
    frmMain panel;
    panel.show();
    user.answer = MsgAnswer::Cancel;
    EXPECT_FALSE(panel.close());
    ASSERT_EQ(user.asked.size(), 1u);
    EXPECT_EQ(user.asked[0].text, QStringLiteral("真的要关掉我吗？请别！请别！"));
    EXPECT_EQ(user.asked[0].title, QStringLiteral("有没搞错？"));
    EXPECT_EQ(user.asked[0].buttons, MsgButtons::OkCancel);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_FALSE(panel.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    user.answer = MsgAnswer::Ok;
    EXPECT_TRUE(panel.close());
    EXPECT_EQ(user.asked.size(), 2u);

    panel.show();
    panel.closeForSessionEnd();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(user.asked.size(), 2u);
}

TEST_F(ClockPanelTest, PanelTakesInputAgainOnlyWhenTheLastDisablingDialogHasClosed)
{
    TestClock clock(at(2026, 12, 7, 9, 0, 0));
    frmMain panel;
    QWidget about(&panel, Qt::Dialog);
    QWidget countdown(&panel, Qt::Dialog);
    panel.disableWhileOpen(&about);
    panel.disableWhileOpen(&countdown);
    EXPECT_FALSE(panel.isEnabled());
    EXPECT_TRUE(about.isEnabled());
    EXPECT_TRUE(countdown.isEnabled());
    panel.enableAfterClose();
    EXPECT_FALSE(panel.isEnabled()) << "the countdown is still open";
    panel.enableAfterClose();
    EXPECT_TRUE(panel.isEnabled());
}

int main(int argc, char **argv)
{
    return runWidgetTests(argc, argv);
}
