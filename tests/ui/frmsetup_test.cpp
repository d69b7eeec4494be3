// The alarm list dialog against the item table and the data file.
#include "alarmtable.h"
#include "datafile.h"
#include "describeaction.h"
#include "editmode.h"
#include "frmmain.h"
#include "frmmsgedit.h"
#include "frmsetup.h"
#include "messagegate.h"
#include "testclock.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

AlarmItem makeItem(const QString &title, qint16 enabled, qint16 action = ShowMessage,
                   const QString &path = {}, const QString &message = {})
{
    AlarmItem item;
    item.Title = title;
    item.AlarmDate = 36614.0; // 2000-03-29, long past: never due in these tests
    item.AlarmTime = QStringLiteral("07:30:00");
    item.RepeatKind = Once;
    item.Message = message.isEmpty() ? QStringLiteral("提醒 ") + title : message;
    item.Enabled = enabled;
    item.Action = action;
    item.FilePath = path;
    return item;
}

QByteArray recordsOf(const QList<AlarmItem> &items)
{
    QByteArray bytes;
    for (const AlarmItem &item : items)
        bytes += encodeRecord(item);
    return bytes;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class FrmSetupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setDataFilePath(dir.filePath(QStringLiteral("MSGINI.DDT")));
        setMessageResponderForTesting([this](const MessageRequest &request) {
            requests.append(request);
            return answer;
        });
        setStoreFailureReporter([this](const QString &reason) { failures.append(reason); });
        AlarmItems.clear();
        main = std::make_unique<frmMain>();
    }

    void TearDown() override
    {
        if (setup)
            setup->close();
        delete setup.data();
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setMessageResponderForTesting({});
        setStoreFailureReporter({});
        AlarmItems.clear();
    }

    // Stores the items in the table and in the file, then opens the dialog.
    void open(const QList<AlarmItem> &items)
    {
        AlarmItems.replaceAll(items);
        if (!items.isEmpty()) {
            ASSERT_TRUE(SaveAlarmItems());
        }
        savedBytes = fileBytes(DataFilePath());
        setup = new frmSetup(*main);
        setup->show();
    }

    QList<qint16> enabledFlags() const
    {
        QList<qint16> flags;
        for (const AlarmItem &item : AlarmItems.items())
            flags.append(item.Enabled);
        return flags;
    }
    QList<bool> ticks() const
    {
        QList<bool> result;
        for (int row = 0; row < setup->lstAlm->count(); ++row)
            result.append(setup->lstAlm->item(row)->checkState() == Qt::Checked);
        return result;
    }
    void select(int row) { setup->lstAlm->setCurrentRow(row); }
    QColor colourOf(QLabel *label) const { return label->palette().color(QPalette::WindowText); }
    // Enabled states of cmdAlm 0, 2, 3, 4, 5, 6.
    QList<bool> buttonStates() const
    {
        QList<bool> states;
        for (int i : {0, 2, 3, 4, 5, 6})
            states.append(setup->cmdAlm[size_t(i)]->isEnabled());
        return states;
    }

    TestClock clock{at(2030, 5, 6, 10, 0, 0)};
    QTemporaryDir dir;
    std::unique_ptr<frmMain> main;
    QPointer<frmSetup> setup;
    QList<MessageRequest> requests;
    MsgAnswer answer = MsgAnswer::Ok;
    QStringList failures;
    QByteArray savedBytes;
};

const QList<AlarmItem> kThree = {
    makeItem(QStringLiteral("  早起  "), kTrue, Restart),
    makeItem(QStringLiteral("喝水"), kFalse, RunFile, QStringLiteral("/no/such/file")),
    makeItem(QStringLiteral("开会"), kTrue, SoundAndMessage, QStringLiteral("C:\\a.mid")),
};

TEST_F(FrmSetupTest, BuildsTheDialogAsLaidOut)
{
    open(kThree);
    EXPECT_EQ(setup->windowTitle(), QStringLiteral("系统设置"));
    EXPECT_EQ(setup->size(), QSize(495, 294));
    EXPECT_EQ(setup->minimumSize(), setup->maximumSize());
    EXPECT_FALSE(setup->isModal());
    EXPECT_EQ(setup->parentWidget(), main.get());
    EXPECT_TRUE(setup->isWindow());
    const QPoint centre = main->screen()->availableGeometry().center();
    EXPECT_LE((setup->geometry().center() - centre).manhattanLength(), 3);
    EXPECT_TRUE(setup->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_FALSE(setup->windowIcon().isNull());
    EXPECT_EQ(setup->windowIcon().cacheKey(), main->windowIcon().cacheKey());
    EXPECT_EQ(setup->Frame1->title(), QStringLiteral("定时闹钟项目"));
    EXPECT_EQ(setup->Frame1->geometry(), QRect(6, 2, 483, 241));
    EXPECT_EQ(setup->lstAlm->geometry(), QRect(10, 16, 389, 128));
    EXPECT_EQ(setup->lstAlm->palette().color(QPalette::Base), QColor(192, 192, 255));
    EXPECT_FALSE(setup->lstAlm->isSortingEnabled());
    const QStringList captions = {QStringLiteral("增加"),     QStringLiteral("编辑"),
                                  QStringLiteral("删除"),     QStringLiteral("全部启用"),
                                  QStringLiteral("反选启用"), QStringLiteral("全部禁用")};
    const int tops[] = {16, 36, 56, 82, 102, 122};
    int n = 0;
    EXPECT_EQ(setup->cmdAlm[1], nullptr);
    for (int i : {0, 2, 3, 4, 5, 6}) {
        QPushButton *button = setup->findChild<QPushButton *>(QStringLiteral("cmdAlm_%1").arg(i));
        ASSERT_EQ(button, setup->cmdAlm[size_t(i)]);
        EXPECT_EQ(button->text(), captions[n]);
        EXPECT_EQ(button->geometry(), QRect(406, tops[n], 65, 21));
        ++n;
    }
    EXPECT_EQ(setup->cmdOK->text(), QStringLiteral("确定(&O)"));
    EXPECT_EQ(setup->cmdOK->geometry(), QRect(304, 254, 81, 27));
    EXPECT_EQ(setup->cmdCancel->text(), QStringLiteral("取消(&C)"));
    EXPECT_EQ(setup->cmdCancel->geometry(), QRect(396, 254, 81, 27));
    const QColor shadow = setup->palette().color(QPalette::Shadow);
    for (QLabel *box : {setup->Label4, setup->Label2})
        EXPECT_EQ(box->palette().color(QPalette::Window), QColor(224, 224, 224));
    for (QLabel *box : {setup->Label5, setup->Label1})
        EXPECT_EQ(box->palette().color(QPalette::Window), shadow);
    EXPECT_EQ(setup->Label4->geometry(), QRect(10, 152, 457, 33));
    EXPECT_EQ(setup->Label5->geometry(), QRect(14, 158, 457, 31));
    EXPECT_EQ(colourOf(setup->lblSeleInfo), shadow);
    // Shadows beneath the boxes, the texts above them.
    const QObjectList order = setup->Frame1->children();
    EXPECT_LT(order.indexOf(setup->Label5), order.indexOf(setup->Label4));
    EXPECT_LT(order.indexOf(setup->Label4), order.indexOf(setup->lblWhatToDo));
    EXPECT_LT(order.indexOf(setup->Label1), order.indexOf(setup->Label2));
    EXPECT_LT(order.indexOf(setup->Label2), order.indexOf(setup->lblSeleInfo));
}

TEST_F(FrmSetupTest, FillsOneRowPerItemInTableOrder)
{
    QList<AlarmItem> items = kThree;
    items.append(makeItem(QStringLiteral("   "), kTrue));
    open(items);
    ASSERT_EQ(setup->lstAlm->count(), 4);
    EXPECT_EQ(setup->lstAlm->item(0)->text(), QStringLiteral("早起"));
    EXPECT_EQ(setup->lstAlm->item(1)->text(), QStringLiteral("喝水"));
    EXPECT_EQ(setup->lstAlm->item(2)->text(), QStringLiteral("开会"));
    EXPECT_EQ(setup->lstAlm->item(3)->text(), QString());
    EXPECT_EQ(ticks(), (QList<bool>{true, false, true, true}));
    EXPECT_EQ(setup->selectedRow(), -1);
    EXPECT_EQ(setup->lstAlm->currentRow(), -1);
    EXPECT_EQ(AlarmItems.items(), items); // filling changes nothing here
}

TEST_F(FrmSetupTest, EnabledOneIsShownTickedAndStoredAsTrue)
{
    open({makeItem(QStringLiteral("a"), 0), makeItem(QStringLiteral("b"), 1)});
    EXPECT_EQ(ticks(), (QList<bool>{false, true}));
    EXPECT_EQ(enabledFlags(), (QList<qint16>{0, -1}));
    EXPECT_EQ(fileBytes(DataFilePath()), savedBytes); // nothing saved yet
}

TEST_F(FrmSetupTest, EveryTickChangeReachesTheTableButNotTheFile)
{
    open(kThree);
    setup->lstAlm->item(1)->setCheckState(Qt::Checked);
    setup->lstAlm->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(enabledFlags(), (QList<qint16>{0, -1, -1}));

    // The user: select the third row and press Space.
    select(2);
    setup->lstAlm->setFocus();
    QTest::keyClick(setup->lstAlm, Qt::Key_Space);
    EXPECT_EQ(ticks(), (QList<bool>{false, true, false}));
    EXPECT_EQ(enabledFlags(), (QList<qint16>{0, -1, 0}));
    EXPECT_EQ(fileBytes(DataFilePath()), savedBytes);
}

TEST_F(FrmSetupTest, EnableAllInvertAndDisableAll)
{
    open(kThree); // ticked, not ticked, ticked
    setup->cmdAlm[5]->click();
    EXPECT_EQ(ticks(), (QList<bool>{false, true, false}));
    EXPECT_EQ(enabledFlags(), (QList<qint16>{0, -1, 0}));
    setup->cmdAlm[4]->click();
    EXPECT_EQ(enabledFlags(), (QList<qint16>{-1, -1, -1}));
    setup->cmdAlm[6]->click();
    EXPECT_EQ(ticks(), (QList<bool>{false, false, false}));
    EXPECT_EQ(enabledFlags(), (QList<qint16>{0, 0, 0}));
    EXPECT_EQ(fileBytes(DataFilePath()), savedBytes);
    EXPECT_TRUE(requests.isEmpty());
}

class FrmSetupDeleteTest : public FrmSetupTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(FrmSetupDeleteTest, DeletesTheSelectedItemAndSavesAtOnce)
{
    const int row = GetParam();
    open(kThree);
    select(row);
    setup->cmdAlm[3]->click();

    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].text, QStringLiteral("确定删除所选的闹钟项目吗？\r\n(注意：不能恢复！)"));
    EXPECT_EQ(requests[0].title, QStringLiteral("重要提示"));
    EXPECT_EQ(requests[0].icon, MsgIcon::Question);
    EXPECT_EQ(requests[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(requests[0].defaultButton, MsgAnswer::Ok);

    QList<AlarmItem> expected = kThree;
    expected.removeAt(row);
    EXPECT_EQ(AlarmItems.items(), expected); // every field of the others unchanged
    ASSERT_EQ(setup->lstAlm->count(), 2);
    EXPECT_EQ(setup->lstAlm->item(0)->text(), trimBlanks(expected[0].Title));
    EXPECT_EQ(setup->lstAlm->item(1)->text(), trimBlanks(expected[1].Title));
    EXPECT_EQ(setup->selectedRow(), -1);
    EXPECT_EQ(fileBytes(DataFilePath()), recordsOf(expected));
    EXPECT_EQ(setup->lblWhatToDo->text(), QString());
    EXPECT_EQ(buttonStates(), (QList<bool>{true, false, false, true, true, true}));
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleLast, FrmSetupDeleteTest, ::testing::Values(0, 1, 2));

TEST_F(FrmSetupTest, DeletingTheOnlyItemRemovesTheFile)
{
    open({kThree[0]});
    ASSERT_TRUE(QFile::exists(DataFilePath()));
    select(0);
    setup->cmdAlm[3]->click();
    EXPECT_TRUE(AlarmItems.isEmpty());
    EXPECT_EQ(setup->lstAlm->count(), 0);
    EXPECT_FALSE(QFile::exists(DataFilePath()));
    EXPECT_EQ(buttonStates(), (QList<bool>{true, false, false, false, false, false}));
}

TEST_F(FrmSetupTest, CancellingTheDeleteQuestionChangesNothing)
{
    open(kThree);
    select(1);
    answer = MsgAnswer::Cancel;
    setup->cmdAlm[3]->click();
    EXPECT_EQ(requests.size(), 1);
    EXPECT_EQ(AlarmItems.items(), kThree);
    EXPECT_EQ(setup->lstAlm->count(), 3);
    EXPECT_EQ(setup->selectedRow(), 1);
    EXPECT_EQ(fileBytes(DataFilePath()), savedBytes);
}

TEST_F(FrmSetupTest, ButtonsFollowRowsAndSelection)
{
    open({});
    EXPECT_EQ(buttonStates(), (QList<bool>{true, false, false, false, false, false}));
    EXPECT_EQ(setup->lblWhatToDo->text(), QString());
    EXPECT_EQ(setup->lblSeleInfo->text(), QString());
    setup->close();

    open(kThree);
    EXPECT_EQ(buttonStates(), (QList<bool>{true, false, false, true, true, true}));
    select(0);
    EXPECT_EQ(buttonStates(), (QList<bool>{true, true, true, true, true, true}));
    // Ctrl+click on the selected row clears the selection: no row is selected.
    const QRect rect = setup->lstAlm->visualItemRect(setup->lstAlm->item(0));
    QTest::mouseClick(setup->lstAlm->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      rect.center());
    EXPECT_EQ(setup->selectedRow(), -1);
    EXPECT_EQ(setup->lstAlm->currentRow(), -1);
    EXPECT_EQ(buttonStates(), (QList<bool>{true, false, false, true, true, true}));
}

TEST_F(FrmSetupTest, FocusAloneSelectsNoRow)
{
    open(kThree);
    QApplication::setActiveWindow(setup);
    setup->lstAlm->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(setup->lstAlm->hasFocus());
    EXPECT_EQ(setup->selectedRow(), -1);
    EXPECT_EQ(setup->lstAlm->currentRow(), -1);
    QTest::keyClick(setup->lstAlm, Qt::Key_Down);
    EXPECT_EQ(setup->selectedRow(), setup->lstAlm->currentRow());
}

TEST_F(FrmSetupTest, PanelDescribesTheSelectedItem)
{
    QFile wave(dir.filePath(QStringLiteral("ring.WAV")));
    ASSERT_TRUE(wave.open(QIODevice::WriteOnly));
    wave.close();
    QFile tune(dir.filePath(QStringLiteral("tune.mid")));
    ASSERT_TRUE(tune.open(QIODevice::WriteOnly));
    tune.close();
    const QList<AlarmItem> items = {
        makeItem(QStringLiteral("t0"), kTrue, ShowMessage, {}, QStringLiteral("  起床了  ")),
        makeItem(QStringLiteral("t1"), kTrue, SoundAndMessage, QStringLiteral("   ")),
        makeItem(QStringLiteral("t2"), kTrue, SoundAndMessage, wave.fileName()),
        makeItem(QStringLiteral("t3"), kTrue, SoundAndMessage, tune.fileName()),
        makeItem(QStringLiteral("t4"), kTrue, RunFile, {}),
        makeItem(QStringLiteral("t5"), kTrue, RunFile, dir.filePath(QStringLiteral("none"))),
        makeItem(QStringLiteral("t6"), kTrue, RunFile, tune.fileName()),
        makeItem(QStringLiteral("t7"), kTrue, Restart, QStringLiteral("x")),
        makeItem(QStringLiteral("t8"), kTrue, ShutDown),
        makeItem(QStringLiteral("t9"), kTrue, -1),
        makeItem(QStringLiteral("t10"), kTrue, 7),
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
    // A red label goes back to normal when the selection goes.
    select(8);
    setup->lstAlm->clearSelection();
    EXPECT_EQ(setup->lblWhatToDo->text(), QString());
    EXPECT_EQ(colourOf(setup->lblWhatToDo), normal);
}

TEST_F(FrmSetupTest, LongTextsStayWholeInTheirLabels)
{
    open({makeItem(QStringLiteral("t"), kTrue, Restart, {}, QString(120, QChar(0x5B57)))});
    select(0);
    for (QLabel *label : {setup->lblWhatToDo, setup->lblSeleInfo}) {
        EXPECT_TRUE(label->wordWrap());
        const bool fits = QFontMetrics(label->font())
                              .boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text())
                              .height() <= label->height();
        // Either the whole text fits, or the tool tip carries it.
        EXPECT_TRUE(fits || label->toolTip() == label->text()) << label->objectName().toStdString();
    }
}

TEST_F(FrmSetupTest, StopsTheClockWhileOpenAndRestartsItOnEveryWayOut)
{
    const auto closers = std::vector<std::pair<const char *, std::function<void(frmSetup *)>>>{
        {"ok", [](frmSetup *s) { s->cmdOK->click(); }},
        {"cancel", [](frmSetup *s) { s->cmdCancel->click(); }},
        {"escape in the list", [](frmSetup *s) { QTest::keyClick(s->lstAlm, Qt::Key_Escape); }},
        {"close box", [](frmSetup *s) { s->close(); }},
    };
    for (const auto &[name, closeIt] : closers) {
        SCOPED_TRACE(name);
        open(kThree);
        EXPECT_FALSE(main->Timer1.isEnabled());
        EXPECT_FALSE(main->isEnabled());
        EXPECT_TRUE(setup->isEnabled());
        closeIt(setup);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(setup.isNull()); // deleted on close
        EXPECT_TRUE(main->Timer1.isEnabled());
        EXPECT_TRUE(main->isEnabled());
    }
}

TEST_F(FrmSetupTest, OkSavesTheTicksAndCancelKeepsThemInMemoryOnly)
{
    open(kThree);
    setup->cmdAlm[6]->click();
    setup->cmdCancel->click();
    EXPECT_EQ(enabledFlags(), (QList<qint16>{0, 0, 0}));
    EXPECT_EQ(fileBytes(DataFilePath()), savedBytes);

    setup = new frmSetup(*main);
    setup->show();
    setup->cmdAlm[4]->click();
    setup->cmdOK->click();
    EXPECT_EQ(fileBytes(DataFilePath()), recordsOf(AlarmItems.items()));
    EXPECT_EQ(enabledFlags(), (QList<qint16>{-1, -1, -1}));
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(FrmSetupTest, FailingSavesKeepTheListAndTheTable)
{
    open(kThree);
    // A data file inside a "folder" that is a plain file cannot be written,
    // not even by root.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    setDataFilePath(dir.filePath(QStringLiteral("blocker/MSGINI.DDT")));

    select(1);
    setup->cmdAlm[3]->click();
    EXPECT_EQ(failures.size(), 1);
    const QList<AlarmItem> expected = {kThree[0], kThree[2]};
    EXPECT_EQ(AlarmItems.items(), expected);
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

frmMsgEdit *openEditor()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *editor = qobject_cast<frmMsgEdit *>(w); editor && editor->isVisible())
            return editor;
    return nullptr;
}

TEST_F(FrmSetupTest, AddAndEditSetTheModeAndOpenTheEditor)
{
    open(kThree);
    EditMode = kTrue;
    setup->cmdAlm[0]->click();
    EXPECT_EQ(EditMode, kFalse);
    QPointer<frmMsgEdit> editor = openEditor();
    ASSERT_TRUE(editor);
    EXPECT_FALSE(setup->isEnabled()); // the editor's doing
    editor->close();
    EXPECT_TRUE(setup->isEnabled());

    select(1);
    setup->cmdAlm[2]->click();
    EXPECT_EQ(EditMode, kTrue);
    editor = openEditor();
    ASSERT_TRUE(editor);
    editor->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(FrmSetupTest, RowsAppendedFromOutsideGetTheirTickAndTheButtonsFollow)
{
    open({});
    setup->setEnabled(false); // as while the editor is open
    AlarmItems.append(makeItem(QStringLiteral("新"), kTrue));
    setup->lstAlm->addItem(QStringLiteral("新"));
    EXPECT_EQ(ticks(), QList<bool>{true});
    EXPECT_EQ(enabledFlags(), QList<qint16>{-1});
    setup->lstAlm->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(enabledFlags(), QList<qint16>{0});
    // Enabled again when the editor closes: the buttons and panel catch up.
    setup->setEnabled(true);
    EXPECT_EQ(buttonStates(), (QList<bool>{true, false, false, true, true, true}));
    select(0);
    EXPECT_EQ(setup->lblSeleInfo->text(), QStringLiteral("提醒 新"));
}

TEST_F(FrmSetupTest, ClosingWithTheEditorOpenClosesTheEditorFirst)
{
    open(kThree);
    setup->cmdAlm[0]->click();
    QPointer<frmMsgEdit> editor = openEditor();
    ASSERT_TRUE(editor);
    setup->close(); // e.g. the program quits while both are open
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(editor);
    EXPECT_FALSE(setup);
    EXPECT_EQ(AlarmItems.items(), kThree);
    EXPECT_TRUE(main->Timer1.isEnabled());
    EXPECT_TRUE(main->isEnabled());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(art); // the artwork lives in a static library
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
