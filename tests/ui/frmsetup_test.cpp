// The alarm list dialog against the item table and the data file.
#include "describeaction.h"
#include "editmode.h"
#include "uitest.h"

#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTest>

namespace {
const QList<bool> kNoneSelected = {true, false, false, true, true, true};
const QList<bool> kEmptyList = {true, false, false, false, false, false};

class FrmSetupTest : public ListDialogTest
{
protected:
    // Stores the items in the table and in the file, then opens the dialog.
    void open(const QList<AlarmItem> &items)
    {
        AlarmItems.replaceAll(items);
        ASSERT_TRUE(items.isEmpty() || SaveAlarmItems());
        savedBytes = readBytes(DataFilePath());
        openList(items);
    }
    void select(int row) { setup->lstAlm->setCurrentRow(row); }
    QColor colourOf(QLabel *label) const { return label->palette().color(QPalette::WindowText); }
    // The list's ticks and the table's Enabled flags agree with `expected`: per
    // row "x" for ticked and -1, "-" for not ticked and 0.
    void expectTicks(const QString &expected)
    {
        QString shown, stored;
        for (const QString &row : rows())
            shown += row[1] == 'x' ? 'x' : '-';
        for (const AlarmItem &item : AlarmItems.items())
            stored += item.Enabled == kTrue ? 'x' : item.Enabled == kFalse ? '-' : '?';
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(stored, expected);
    }

    const QList<AlarmItem> three = {makeItem("  早起  ", kTrue, Restart),
                                    makeItem("喝水", kFalse, RunFile, "/no/such/file"),
                                    makeItem("开会", kTrue, SoundAndMessage, "C:\\a.mid")};
    QByteArray savedBytes;
};

TEST_F(FrmSetupTest, ShowsItsCaptionsCentredOnTheScreen)
{
    open(three);
    QStringList captions = {setup->windowTitle(), setup->Frame1->title()};
    for (QPushButton *button : setup->findChildren<QPushButton *>())
        captions << button->objectName() + " " + button->text();
    EXPECT_EQ(captions, (QStringList{"系统设置", "定时闹钟项目", "cmdAlm_0 增加", "cmdAlm_2 编辑",
                                     "cmdAlm_3 删除", "cmdAlm_4 全部启用", "cmdAlm_5 反选启用",
                                     "cmdAlm_6 全部禁用", "cmdOK 确定(&O)", "cmdCancel 取消(&C)"}));
    const QPoint centre = main->screen()->availableGeometry().center();
    EXPECT_LE((setup->geometry().center() - centre).manhattanLength(), 3);
}

TEST_F(FrmSetupTest, FillsOneRowPerItemAndStoresAnyNonzeroEnabledAsTrue)
{
    QList<AlarmItem> items = three;
    items << makeItem("   ", 1) << makeItem("x", 7) << makeItem("y", -300);
    open(items);
    EXPECT_EQ(rows(), (QStringList{"[x] 早起", "[ ] 喝水", "[x] 开会", "[x] ", "[x] x", "[x] y"}));
    expectTicks("x-xxxx");
    for (AlarmItem &item : items) // filling touches no other field
        item.Enabled = item.Enabled ? kTrue : kFalse;
    EXPECT_EQ(AlarmItems.items(), items);
    EXPECT_EQ(setup->selectedRow(), -1);
    EXPECT_EQ(readBytes(DataFilePath()), savedBytes); // nothing saved yet
}

TEST_F(FrmSetupTest, TicksAndBulkButtonsReachTheTableAndOnlyOkSavesThem)
{
    open(three);
    setup->lstAlm->item(1)->setCheckState(Qt::Checked);
    setup->lstAlm->item(0)->setCheckState(Qt::Unchecked);
    expectTicks("-xx");
    select(2); // the user: the third row, then Space
    setup->lstAlm->setFocus();
    QTest::keyClick(setup->lstAlm, Qt::Key_Space);
    expectTicks("-x-");
    setup->cmdAlm[5]->click(); // invert
    expectTicks("x-x");
    setup->cmdAlm[6]->click(); // disable all
    expectTicks("---");
    setup->cmdCancel->click(); // kept in memory only
    EXPECT_EQ(readBytes(DataFilePath()), savedBytes);
    openList(AlarmItems.items());
    expectTicks("---");
    setup->cmdAlm[4]->click(); // enable all
    expectTicks("xxx");
    setup->cmdOK->click();
    EXPECT_EQ(readBytes(DataFilePath()), recordsOf(AlarmItems.items()));
    EXPECT_TRUE(user.asked.empty());
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(FrmSetupTest, DeletesTheSelectedItemAndSavesAtOnceUnlessCancelled)
{
    const std::tuple<QList<AlarmItem>, int, MsgAnswer> cases[] = {
        {three, 0, MsgAnswer::Ok},     {three, 1, MsgAnswer::Ok},      {three, 2, MsgAnswer::Ok},
        {three, 1, MsgAnswer::Cancel}, {{three[0]}, 0, MsgAnswer::Ok}, // the only one: no file
    };
    for (const auto &[items, row, answer] : cases) {
        SCOPED_TRACE(testing::Message() << items.size() << " items, row " << row);
        open(items);
        select(row);
        user.asked.clear();
        user.answer = answer;
        setup->cmdAlm[3]->click();
        ASSERT_EQ(user.asked.size(), 1u);
        EXPECT_EQ(user.asked[0].text,
                  QStringLiteral("确定删除所选的闹钟项目吗？\r\n(注意：不能恢复！)"));
        EXPECT_EQ(user.asked[0].buttons, MsgButtons::OkCancel);
        QList<AlarmItem> expected = items;
        if (answer == MsgAnswer::Ok)
            expected.removeAt(row);
        EXPECT_EQ(AlarmItems.items(), expected); // every field of the others unchanged
        EXPECT_EQ(rows(), rowsOf(expected));
        EXPECT_EQ(readBytes(DataFilePath()), recordsOf(expected));
        EXPECT_EQ(QFile::exists(DataFilePath()), !expected.isEmpty());
        EXPECT_EQ(buttonStates(), answer == MsgAnswer::Cancel ? QList<bool>(6, true)
                                  : expected.isEmpty()        ? kEmptyList
                                                              : kNoneSelected);
    }
}

TEST_F(FrmSetupTest, ButtonsFollowTheSelectionAndFocusAloneSelectsNothing)
{
    open(three);
    QApplication::setActiveWindow(setup);
    setup->lstAlm->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(setup->lstAlm->hasFocus());
    EXPECT_EQ(setup->lstAlm->currentRow(), -1);
    EXPECT_EQ(buttonStates(), kNoneSelected);
    QTest::keyClick(setup->lstAlm, Qt::Key_Down);
    EXPECT_EQ(setup->selectedRow(), 0);
    EXPECT_EQ(buttonStates(), (QList<bool>{true, true, true, true, true, true}));
    // Ctrl+click on the selected row clears the selection.
    const QRect rect = setup->lstAlm->visualItemRect(setup->lstAlm->item(0));
    QTest::mouseClick(setup->lstAlm->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      rect.center());
    EXPECT_EQ(setup->lstAlm->currentRow(), -1);
    EXPECT_EQ(buttonStates(), kNoneSelected);
}

TEST_F(FrmSetupTest, PanelDescribesTheSelectedItem)
{
    const QString wave = dir.filePath("ring.WAV"), tune = dir.filePath("tune.mid"),
                  none = dir.filePath("none");
    QFile(wave).open(QIODevice::WriteOnly);
    QFile(tune).open(QIODevice::WriteOnly);
    // Each action with the file cases that change its description.
    const QList<qint16> actions = {ShowMessage, SoundAndMessage, SoundAndMessage, SoundAndMessage,
                                   RunFile,     RunFile,         RunFile,         Restart,
                                   ShutDown,    qint16(-1),      qint16(7)};
    const QStringList paths = {"", "   ", wave, tune, "", none, tune, "x", "", "", ""};
    QList<AlarmItem> items; // with messages of 0 to 110 characters, blanks around
    for (int i = 0; i < actions.size(); ++i)
        items << makeItem("t", kTrue, actions[i], paths[i], " " + QString(i * 11, u'字') + " ");
    open(items);
    const QColor normal = colourOf(setup->lblSeleInfo);
    for (int row = 0; row < items.size(); ++row) {
        SCOPED_TRACE(row);
        select(row);
        const ActionDescription expected =
            DescribeAction(items[row].Action, trimBlanks(items[row].FilePath));
        EXPECT_EQ(setup->lblWhatToDo->text(), expected.text);
        EXPECT_EQ(colourOf(setup->lblWhatToDo), expected.red ? QColor(255, 0, 0) : normal);
        EXPECT_EQ(setup->lblSeleInfo->text(), trimBlanks(items[row].Message));
        // Either the whole text fits its label, or the tool tip carries it.
        for (QLabel *label : {setup->lblWhatToDo, setup->lblSeleInfo}) {
            const QRect needed =
                QFontMetrics(label->font())
                    .boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
            EXPECT_TRUE(needed.height() <= label->height() || label->toolTip() == label->text());
        }
    }
    select(8); // red, and then the selection goes
    setup->lstAlm->clearSelection();
    EXPECT_EQ(setup->lblWhatToDo->text(), QString());
    EXPECT_EQ(colourOf(setup->lblWhatToDo), normal);
}

TEST_F(FrmSetupTest, StopsTheClockWhileOpenAndFiresNothingMissedAfterEveryWayOut)
{
    const std::vector<std::function<void(frmSetup *)>> closers = {
        [](frmSetup *s) { s->cmdOK->click(); },
        [](frmSetup *s) { s->cmdCancel->click(); },
        [](frmSetup *s) { QTest::keyClick(s->lstAlm, Qt::Key_Escape); },
        [](frmSetup *s) { s->close(); },
    };
    for (size_t i = 0; i < closers.size(); ++i) {
        SCOPED_TRACE(i);
        // Due while the dialog is open, a second after it opened.
        const QDateTime opened = clock.now();
        open({makeItem("due", kTrue, ShowMessage, {}, "missed", opened.date(),
                       opened.addSecs(1).time().toString("HH:mm:ss"), Daily)});
        EXPECT_FALSE(main->Timer1.isEnabled());
        EXPECT_FALSE(main->isEnabled());
        clock.advanceMs(3000);
        closers[i](setup);
        flushDeletes();
        EXPECT_TRUE(setup.isNull()); // deleted on close
        EXPECT_TRUE(main->Timer1.isEnabled());
        EXPECT_TRUE(main->isEnabled());
        clock.advanceMs(1000);
        main->Timer1_Timer();
        EXPECT_TRUE(user.asked.empty());
    }
}

TEST_F(FrmSetupTest, FailingSavesKeepTheListAndTheTable)
{
    open(three);
    // A data file inside a "folder" that is a plain file cannot be written,
    // not even by root.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    setDataFilePath(dir.filePath(QStringLiteral("blocker/MSGINI.DDT")));
    select(1);
    setup->cmdAlm[3]->click();
    EXPECT_EQ(failures.size(), 1);
    setup->cmdAlm[6]->click();
    setup->cmdOK->click();
    EXPECT_EQ(failures.size(), 2);
    ASSERT_FALSE(setup.isNull());
    EXPECT_TRUE(setup->isVisible()); // still open: the user may try again or cancel
    EXPECT_EQ(rows(), (QStringList{"[ ] 早起", "[ ] 开会"}));
    EXPECT_EQ(rowsOf(AlarmItems.items()), rows()); // the table lost the same item
    EXPECT_FALSE(main->Timer1.isEnabled());
}

TEST_F(FrmSetupTest, AddAndEditOpenTheEditorAndClosingTheListClosesItFirst)
{
    open(three);
    EditMode = kTrue;
    setup->cmdAlm[0]->click();
    EXPECT_EQ(EditMode, kFalse);
    ASSERT_TRUE(findEditor());
    EXPECT_FALSE(setup->isEnabled()); // the editor's doing
    findEditor()->close();
    select(1);
    setup->cmdAlm[2]->click();
    EXPECT_EQ(EditMode, kTrue);
    QPointer<frmMsgEdit> editor = findEditor();
    setup->close(); // e.g. the program quits while both are open
    flushDeletes();
    EXPECT_FALSE(editor);
    EXPECT_FALSE(setup);
    EXPECT_EQ(AlarmItems.items(), three);
    EXPECT_TRUE(main->Timer1.isEnabled() && main->isEnabled());
}
} // namespace

int main(int argc, char **argv)
{
    return runWidgetTests(argc, argv);
}
