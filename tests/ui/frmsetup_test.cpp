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
        if (!items.isEmpty())
            ASSERT_TRUE(SaveAlarmItems());
        savedBytes = fileBytes(DataFilePath());
        openList(items);
    }
    void select(int row) { setup->lstAlm->setCurrentRow(row); }
    QColor colourOf(QLabel *label) const { return label->palette().color(QPalette::WindowText); }

    const QList<AlarmItem> three = {
        makeItem(QStringLiteral("  早起  "), kTrue, Restart),
        makeItem(QStringLiteral("喝水"), kFalse, RunFile, QStringLiteral("/no/such/file")),
        makeItem(QStringLiteral("开会"), kTrue, SoundAndMessage, QStringLiteral("C:\\a.mid")),
    };
    QByteArray savedBytes;
};

QByteArray recordsOf(const QList<AlarmItem> &items)
{
    QByteArray bytes;
    for (const AlarmItem &item : items)
        bytes += encodeRecord(item);
    return bytes;
}

TEST_F(FrmSetupTest, BuildsTheDialogAsLaidOut)
{
    open(three);
    EXPECT_EQ(setup->windowTitle(), QStringLiteral("系统设置"));
    EXPECT_EQ(setup->Frame1->title(), QStringLiteral("定时闹钟项目"));
    EXPECT_EQ(setup->size(), QSize(495, 294));
    EXPECT_EQ(setup->minimumSize(), setup->maximumSize());
    EXPECT_FALSE(setup->isModal());
    const QPoint centre = main->screen()->availableGeometry().center();
    EXPECT_LE((setup->geometry().center() - centre).manhattanLength(), 3);
    const std::vector<std::tuple<QPushButton *, const char *, QRect>> buttons = {
        {setup->cmdAlm[0], "增加", {406, 16, 65, 21}},
        {setup->cmdAlm[2], "编辑", {406, 36, 65, 21}},
        {setup->cmdAlm[3], "删除", {406, 56, 65, 21}},
        {setup->cmdAlm[4], "全部启用", {406, 82, 65, 21}},
        {setup->cmdAlm[5], "反选启用", {406, 102, 65, 21}},
        {setup->cmdAlm[6], "全部禁用", {406, 122, 65, 21}},
        {setup->cmdOK, "确定(&O)", {304, 254, 81, 27}},
        {setup->cmdCancel, "取消(&C)", {396, 254, 81, 27}},
    };
    for (const auto &[button, caption, rect] : buttons) {
        ASSERT_TRUE(button);
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
        EXPECT_EQ(button->geometry(), rect) << caption;
    }
    EXPECT_EQ(setup->lstAlm->geometry(), QRect(10, 16, 389, 128));
}

TEST_F(FrmSetupTest, FillsOneRowPerItemAndStoresAnyNonzeroEnabledAsTrue)
{
    QList<AlarmItem> items = three;
    items << makeItem(QStringLiteral("   "), 1) << makeItem(QStringLiteral("x"), 7)
          << makeItem(QStringLiteral("y"), -300);
    open(items);
    EXPECT_EQ(rowTexts(), (QStringList{"早起", "喝水", "开会", "", "x", "y"}));
    EXPECT_EQ(ticks(), (QList<bool>{true, false, true, true, true, true}));
    EXPECT_EQ(enabledFlags(), (QList<qint16>{-1, 0, -1, -1, -1, -1}));
    for (int k = 1; k <= items.size(); ++k) { // filling touches nothing else
        AlarmItem expected = items[k - 1];
        expected.Enabled = AlarmItems.item(k).Enabled;
        EXPECT_EQ(AlarmItems.item(k), expected);
    }
    EXPECT_EQ(setup->selectedRow(), -1);
    EXPECT_EQ(fileBytes(DataFilePath()), savedBytes); // nothing saved yet
}

TEST_F(FrmSetupTest, TicksAndTheThreeBulkButtonsReachTheTableButNotTheFile)
{
    open(three); // ticked, not ticked, ticked
    setup->lstAlm->item(1)->setCheckState(Qt::Checked);
    setup->lstAlm->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(enabledFlags(), (QList<qint16>{0, -1, -1}));
    select(2); // the user: the third row, then Space
    setup->lstAlm->setFocus();
    QTest::keyClick(setup->lstAlm, Qt::Key_Space);
    EXPECT_EQ(enabledFlags(), (QList<qint16>{0, -1, 0}));

    const std::vector<std::pair<int, QList<bool>>> steps = {
        {5, {true, false, true}}, {4, {true, true, true}}, {6, {false, false, false}}};
    for (const auto &[button, expected] : steps) {
        setup->cmdAlm[size_t(button)]->click();
        EXPECT_EQ(ticks(), expected) << "cmdAlm_" << button;
        QList<qint16> flags;
        for (bool on : expected)
            flags << (on ? kTrue : kFalse);
        EXPECT_EQ(enabledFlags(), flags) << "cmdAlm_" << button;
    }
    EXPECT_EQ(fileBytes(DataFilePath()), savedBytes);
    EXPECT_TRUE(user.asked.empty());
}

TEST_F(FrmSetupTest, DeletesTheSelectedItemAndSavesAtOnce)
{
    for (int row : {0, 1, 2}) {
        SCOPED_TRACE(row);
        open(three);
        select(row);
        user.asked.clear();
        setup->cmdAlm[3]->click();
        ASSERT_EQ(user.asked.size(), 1u);
        EXPECT_EQ(user.asked[0].text,
                  QStringLiteral("确定删除所选的闹钟项目吗？\r\n(注意：不能恢复！)"));
        EXPECT_EQ(user.asked[0].title, QStringLiteral("重要提示"));
        EXPECT_EQ(user.asked[0].icon, MsgIcon::Question);
        EXPECT_EQ(user.asked[0].buttons, MsgButtons::OkCancel);
        QList<AlarmItem> expected = three;
        expected.removeAt(row);
        EXPECT_EQ(AlarmItems.items(), expected); // every field of the others unchanged
        EXPECT_EQ(rowTexts(), (QStringList{trimBlanks(expected[0].Title), expected[1].Title}));
        EXPECT_EQ(fileBytes(DataFilePath()), recordsOf(expected));
        EXPECT_EQ(setup->selectedRow(), -1);
        EXPECT_EQ(buttonStates(), kNoneSelected);
    }
    // Cancelled, nothing changes.
    open(three);
    select(1);
    user.answer = MsgAnswer::Cancel;
    setup->cmdAlm[3]->click();
    EXPECT_EQ(AlarmItems.items(), three);
    EXPECT_EQ(setup->lstAlm->count(), 3);
    EXPECT_EQ(fileBytes(DataFilePath()), savedBytes);
    // The only item: the file goes too.
    open({three[0]});
    select(0);
    user.answer = MsgAnswer::Ok;
    setup->cmdAlm[3]->click();
    EXPECT_TRUE(AlarmItems.isEmpty());
    EXPECT_EQ(setup->lstAlm->count(), 0);
    EXPECT_FALSE(QFile::exists(DataFilePath()));
    EXPECT_EQ(buttonStates(), kEmptyList);
}

TEST_F(FrmSetupTest, ButtonsFollowRowsAndSelectionAndFocusAloneSelectsNothing)
{
    open({});
    EXPECT_EQ(buttonStates(), kEmptyList);
    open(three);
    EXPECT_EQ(buttonStates(), kNoneSelected);
    QApplication::setActiveWindow(setup);
    setup->lstAlm->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(setup->lstAlm->hasFocus());
    EXPECT_EQ(setup->lstAlm->currentRow(), -1);
    QTest::keyClick(setup->lstAlm, Qt::Key_Down);
    EXPECT_EQ(setup->selectedRow(), 0);
    EXPECT_EQ(buttonStates(), (QList<bool>{true, true, true, true, true, true}));
    // Ctrl+click on the selected row clears the selection.
    const QRect rect = setup->lstAlm->visualItemRect(setup->lstAlm->item(0));
    QTest::mouseClick(setup->lstAlm->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      rect.center());
    EXPECT_EQ(setup->selectedRow(), -1);
    EXPECT_EQ(setup->lstAlm->currentRow(), -1);
    EXPECT_EQ(buttonStates(), kNoneSelected);
}

TEST_F(FrmSetupTest, PanelDescribesTheSelectedItem)
{
    const QString wave = dir.filePath(QStringLiteral("ring.WAV"));
    const QString tune = dir.filePath(QStringLiteral("tune.mid"));
    for (const QString &path : {wave, tune}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QList<AlarmItem> items = {
        makeItem("t0", kTrue, ShowMessage, {}, QStringLiteral("  起床了  ")),
        makeItem("t1", kTrue, SoundAndMessage, QStringLiteral("   ")),
        makeItem("t2", kTrue, SoundAndMessage, wave),
        makeItem("t3", kTrue, SoundAndMessage, tune),
        makeItem("t4", kTrue, RunFile, {}),
        makeItem("t5", kTrue, RunFile, dir.filePath(QStringLiteral("none"))),
        makeItem("t6", kTrue, RunFile, tune),
        makeItem("t7", kTrue, Restart, QStringLiteral("x"), QString(120, QChar(0x5B57))),
        makeItem("t8", kTrue, ShutDown),
        makeItem("t9", kTrue, -1),
        makeItem("t10", kTrue, 7),
    };
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
    // Spot checks of the texts themselves, and red giving way to the normal colour.
    select(1);
    EXPECT_TRUE(setup->lblWhatToDo->text().endsWith(QStringLiteral("(但你未指定声音文件)。")));
    select(7);
    EXPECT_TRUE(setup->lblWhatToDo->text().startsWith(QStringLiteral("提示20秒后重新启动计算机")));
    EXPECT_EQ(colourOf(setup->lblWhatToDo), QColor(255, 0, 0));
    select(0);
    EXPECT_EQ(setup->lblWhatToDo->text(),
              QStringLiteral("正常文字提示：到时弹出提示时间已到对话框。"));
    EXPECT_EQ(setup->lblSeleInfo->text(), QStringLiteral("起床了"));
    EXPECT_EQ(colourOf(setup->lblWhatToDo), normal);
    select(8); // red, and the selection goes
    setup->lstAlm->clearSelection();
    EXPECT_EQ(setup->lblWhatToDo->text(), QString());
    EXPECT_EQ(colourOf(setup->lblWhatToDo), normal);
}

TEST_F(FrmSetupTest, StopsTheClockWhileOpenAndFiresNothingMissedAfterEveryWayOut)
{
    const std::vector<std::pair<const char *, std::function<void(frmSetup *)>>> closers = {
        {"ok", [](frmSetup *s) { s->cmdOK->click(); }},
        {"cancel", [](frmSetup *s) { s->cmdCancel->click(); }},
        {"escape in the list", [](frmSetup *s) { QTest::keyClick(s->lstAlm, Qt::Key_Escape); }},
        {"close box", [](frmSetup *s) { s->close(); }},
    };
    for (const auto &[name, closeIt] : closers) {
        SCOPED_TRACE(name);
        // Due while the dialog is open, a second after it opened.
        const QDateTime opened = clock.now();
        AlarmItem due = makeItem("due", kTrue, ShowMessage, {}, "missed", opened.date(),
                                 opened.addSecs(1).time().toString("HH:mm:ss"), Daily);
        open({due});
        EXPECT_FALSE(main->Timer1.isEnabled());
        EXPECT_FALSE(main->isEnabled());
        EXPECT_TRUE(setup->isEnabled());
        clock.advanceMs(3000);
        closeIt(setup);
        flushDeletes();
        EXPECT_TRUE(setup.isNull()); // deleted on close
        EXPECT_TRUE(main->Timer1.isEnabled());
        EXPECT_TRUE(main->isEnabled());
        clock.advanceMs(1000);
        main->Timer1_Timer();
        EXPECT_TRUE(user.asked.empty());
    }
}

TEST_F(FrmSetupTest, OkSavesTheTicksAndCancelKeepsThemInMemoryOnly)
{
    open(three);
    setup->cmdAlm[6]->click();
    setup->cmdCancel->click();
    EXPECT_EQ(enabledFlags(), (QList<qint16>{0, 0, 0}));
    EXPECT_EQ(fileBytes(DataFilePath()), savedBytes);
    openList(AlarmItems.items());
    setup->cmdAlm[4]->click();
    setup->cmdOK->click();
    EXPECT_EQ(enabledFlags(), (QList<qint16>{-1, -1, -1}));
    EXPECT_EQ(fileBytes(DataFilePath()), recordsOf(AlarmItems.items()));
    EXPECT_TRUE(failures.isEmpty());
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
    EXPECT_EQ(AlarmItems.items(), (QList<AlarmItem>{three[0], three[2]}));
    EXPECT_EQ(setup->lstAlm->count(), 2);
    setup->cmdAlm[6]->click();
    setup->cmdOK->click();
    EXPECT_EQ(failures.size(), 2);
    ASSERT_FALSE(setup.isNull());
    EXPECT_TRUE(setup->isVisible()); // still open: the user may try again or cancel
    EXPECT_EQ(ticks(), (QList<bool>{false, false}));
    EXPECT_EQ(enabledFlags(), (QList<qint16>{0, 0}));
    EXPECT_FALSE(main->Timer1.isEnabled());
}

TEST_F(FrmSetupTest, AddAndEditOpenTheEditorAndClosingTheListClosesItFirst)
{
    open(three);
    EditMode = kTrue;
    setup->cmdAlm[0]->click();
    EXPECT_EQ(EditMode, kFalse);
    QPointer<frmMsgEdit> editor = findEditor();
    ASSERT_TRUE(editor);
    EXPECT_FALSE(setup->isEnabled()); // the editor's doing
    editor->close();
    EXPECT_TRUE(setup->isEnabled());
    EXPECT_EQ(buttonStates(), kNoneSelected);

    select(1);
    setup->cmdAlm[2]->click();
    EXPECT_EQ(EditMode, kTrue);
    editor = findEditor();
    ASSERT_TRUE(editor);
    setup->close(); // e.g. the program quits while both are open
    flushDeletes();
    EXPECT_FALSE(editor);
    EXPECT_FALSE(setup);
    EXPECT_EQ(AlarmItems.items(), three);
    EXPECT_TRUE(main->Timer1.isEnabled());
    EXPECT_TRUE(main->isEnabled());
}
} // namespace

int main(int argc, char **argv)
{
    return runWidgetTests(argc, argv);
}
