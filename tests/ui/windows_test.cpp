// The windows: the exact texts each shows and what a screen reader hears in it; the
// list dialog and the editor against the item table and the data file.
#include "alarmtable.h"
#include "datafilebytes.h"
#include "describeaction.h"
#include "frmabout.h"
#include "frmmenu.h"
#include "frmmissed.h"
#include "frmmsgedit.h"
#include "frmmsgedit_spinner.h"
#include "frmsetup.h"
#include "frmtruncomputer.h"
#include "module_ovifiledlg.h"
#include "numbervalue.h"
#include "scanmark.h"
#include "systemname.h"
#include "testclock.h"
#include "uitest.h"

#include <QAccessible>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {
using Visit = std::function<void(QWidget *)>;

inline AlarmItem makeItem(const QString &title, qint16 enabled, qint16 action = ShowMessage,
                          const QString &path = {}, const QString &message = {},
                          const QDate &date = QDate(2000, 3, 29),
                          const QString &time = QStringLiteral("07:30:00"), qint16 kind = Once)
{
    return {title, oleDateOf(date), time, kind, message, enabled, action, path};
}

// The words a window shows, joined by "|": its title, a menu's entries, then the
// texts of its visible controls and its combo entries in the order they were made.
QString shownTexts(QWidget *window)
{
    QStringList texts = {window->windowTitle()};
    for (QAction *action : window->actions()) // a menu's entries
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const QString text =
            w->property(qobject_cast<QGroupBox *>(w) ? "title" : "text").toString();
        if (w->isVisibleTo(window) && !text.isEmpty())
            texts << text;
        if (auto *combo = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
    }
    return texts.join('|').replace(QRegularExpression("\\d+\\.\\d+\\.\\d+"), "x.y.z");
}

// Every object a screen reader meets (the visible ones) has a name a person
// understands; a decorative box or line, which has none, must not be an object
// at all. The toolkit's own layout fillers carry no name; screen readers pass them by.
void expectSpoken(QAccessibleInterface *node, const QString &path, bool strict = true)
{
    static const QRegularExpression internal(
        "^([A-Za-z]+\\d+(_\\d+)?|(lbl|cmd|txt|img|lst|mnu|opt|combo|frm|qt_)[A-Z_]\\w*)$");
    ASSERT_TRUE(node && node->isValid()) << path.toStdString();
    QObject *object = node->object();
    const QString name = node->text(QAccessible::Name);
    const QString where = path + " > " + QString::number(node->role(), 16) + " " + name;
    if (node->state().invisible ||
        (node->role() == QAccessible::Client && object && object->objectName().startsWith("qt_")))
        return;
    if (node->role() != QAccessible::Separator) { // menu separators have no name anywhere
        EXPECT_FALSE(name.trimmed().isEmpty()) << where.toStdString();
        EXPECT_FALSE(internal.match(name).hasMatch()) << where.toStdString();
    }
    for (int i = 0; strict && i < node->childCount(); ++i)
        expectSpoken(node->child(i), where);
}

// Visits the modal box or file dialog that `run` opens, then leaves it with Esc.
void whileModal(const Visit &visit, const std::function<void()> &run)
{
    QTimer::singleShot(0, [visit] {
        visit(QApplication::activeModalWidget());
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
    });
    run();
}

// The clock panel, the item table and the data file, for every window.
class WindowTest : public ::testing::Test
{
protected:
    ~WindowTest() override
    {
        if (setup)
            setup->close(); // closes an open editor first
        flushDeletes();
        AlarmItems.clear();
    }
    // Opens the list dialog over `items`, saved first when `save` is set.
    void openList(const QList<AlarmItem> &items, bool save = false)
    {
        if (setup)
            setup->close();
        flushDeletes();
        setDataFilePath(dir.filePath(QStringLiteral("MSGINI.DDT")));
        AlarmItems.replaceAll(items);
        ASSERT_TRUE(!save || SaveAlarmItems());
        setup = new frmSetup(main);
        setup->show();
    }
    // From the list dialog: the add button, or the edit button on `row`.
    void openEditor(const QList<AlarmItem> &items, int row = -1)
    {
        openList(items);
        setup->lstAlm->setCurrentRow(row);
        setup->cmdAlm[row < 0 ? 0 : 2]->click();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *e = qobject_cast<frmMsgEdit *>(w); e && e->isVisible())
                editor = e;
        ASSERT_TRUE(editor);
    }
    // The list's titles, the table and the data file hold `expected`.
    void expectStored(const QList<AlarmItem> &expected, bool inFile = true)
    {
        ASSERT_EQ(setup->lstAlm->count(), expected.size());
        for (int row = 0; row < expected.size(); ++row)
            EXPECT_EQ(setup->lstAlm->item(row)->text(), trimBlanks(expected[row].Title));
        EXPECT_EQ(AlarmItems.items(), expected);
        EXPECT_TRUE(!inFile || readBytes(DataFilePath()) == recordsOf(expected));
    }
    // Which of cmdAlm 0, 2 to 6 are enabled, the ticks, and the table's Enabled flags:
    // "x" for enabled, ticked and -1, "-" for disabled, clear and 0.
    QString states() const
    {
        QString s;
        for (int i : {0, 2, 3, 4, 5, 6})
            s += setup->cmdAlm[size_t(i)]->isEnabled() ? 'x' : '-';
        s += ' ';
        for (int row = 0; row < setup->lstAlm->count(); ++row)
            s += setup->lstAlm->item(row)->checkState() == Qt::Checked ? 'x' : '-';
        s += ' ';
        for (const AlarmItem &item : AlarmItems.items())
            s += item.Enabled == kTrue ? 'x' : item.Enabled == kFalse ? '-' : '?';
        return s;
    }

    TestClock clock{at(2030, 5, 6, 10, 0, 0)};
    QTemporaryDir dir;
    ScriptedUser user;
    frmMain main;
    QPointer<frmSetup> setup;
    QPointer<frmMsgEdit> editor;
    void press(int index) { editor->cmdMsgEditUti[size_t(index)]->click(); }
    QLineEdit *box(int i) const { return i < 3 ? editor->txtDate[i] : editor->txtTime[i - 3]; }
    // Replaces the whole text of a date or time box in one edit, as pasting does.
    void enter(int i, const QString &text)
    {
        box(i)->setFocus();
        box(i)->selectAll();
        box(i)->insert(text);
    }

    const QList<AlarmItem> three = {makeItem("  早起  ", kTrue, Restart),
                                    makeItem("喝水", kFalse, RunFile, "/no/such/file"),
                                    makeItem("开会", kTrue, SoundAndMessage, "C:\\a.mid", "三楼")};
    const AlarmItem newYear =
        makeItem("元旦", kTrue, ShowMessage, {}, "新年快乐", QDate(2000, 1, 1), "00:00:00", Yearly);
};

TEST_F(WindowTest, ShowTheirExactTextsAndNameEveryControlAScreenReaderMeets)
{
    const QList<AlarmItem> items = {makeItem("早起", kTrue), makeItem("   ", kFalse)};
    const struct
    {
        const char *what;
        std::function<void(const Visit &)> open;
        QString texts; // empty: the toolkit's own
    } windows[] = {
        {"panel", [&](const Visit &v) { v(&main); }, "10:00:00(2030年05月06日，星期一)|10:00:00"},
        {"menu", [&](const Visit &v) { v(main.menu().mnuSys); },
         "|设置闹钟选项(&S)|停止播放声音(&O)|-|说明(&R)|关于(&A)|-|退出(&X)"},
        {"list", [&](const Visit &v) { openList(items), v(setup); },
         "系统设置|定时闹钟项目|增加|编辑|删除|全部启用|反选启用|全部禁用|确定(&O)|取消(&C)"},
        {"editor",
         [&](const Visit &v) { openEditor(items), editor->Combo1->showPopup(), v(editor); },
         "新增闹钟项目|标题：|日期：|时间：|处理：|信息：|状态：|响应：|文件：|2030/05/06|10:00:00|"
         "2030|年|10|时|5|月|0|分|6|日|0|秒|0 - 正常(按日期及时间)|1 - 每日(按时间)|"
         "2 - 每周(按日期的星期及时间)|3 - 每月(按日期的月份及时间)|4 - 每年(按每年的当日及时间)|"
         "5 - 对点(按整点不理日期时间)|6 - 半点(按半点不理日期时间)|0 - 正常(按日期及时间)|"
         "0 - 正常文字提示|1 - 声音及文字提示|2 - 运行程序|3 - 重新启动电脑|4 - 关闭电脑|"
         "0 - 正常文字提示|启用|...|确定并返回(&S)|确定并继续(&R)|取消并返回(&C)"},
        {"countdown",
         [&](const Visit &v) {
             QPointer<frmTrunComputer> countdown = new frmTrunComputer(main);
             countdown->Form_Load();
             v(countdown);
             countdown->cmdCancel_Click();
         },
         "重要信息|" + systemName() + " 将于( 19 )秒后—重新启动。|立刻执行|取消执行"},
        {"about", [&](const Visit &v) { v(new frmAbout(main)); },
         "关于 桌面闹钟|桌面闹钟|DeskAlarm|版本: x.y.z|" + frmAbout::descriptionText() +
             "|https://deskalarm.example.org/|系统信息(&S)...|确定"},
        {"missed reminders",
         [&](const Visit &v) {
             auto *missed = new frmMissed(main);
             const qint64 when = at(2030, 5, 6, 9, 30, 0).toSecsSinceEpoch();
             missed->addMissed({{{1, "该开会了", RunFile, "/x"}, "开会", when, 3}}, true);
             v(missed);
             const QTreeWidgetItem *row = missed->lstMissed->topLevelItem(0);
             EXPECT_EQ(
                 QStringList(
                     {row->text(0), row->text(1), row->text(2), row->text(3), row->text(4)}),
                 QStringList({"2030-05-06 09:30:00", "3 次", "开会", "该开会了", "打开文件"}));
         },
         "错过的提醒|时钟有一段时间没有检查闹钟，下列项目在那时到期而没有执行：|"
         "只列出最近 31 天里错过的项目，更早的没有列出。|确定"},
        {"message box", // the real box: its own event loop, left with Esc
         [&](const Visit &v) {
             setMessageResponderForTesting({});
             const MessageRequest ask{"删除吗？", "重要提示", MsgIcon::Question,
                                      MsgButtons::OkCancel};
             whileModal(v, [&] { EXPECT_EQ(showMessage(ask), MsgAnswer::Cancel); });
         },
         "重要提示|删除吗？|确定|取消"},
        {"file chooser", // with the filter in its own form
         [&](const Visit &v) {
             const QString filter = QStringLiteral("声音文件(*.wav; *.mid)\0*.wav;*.mid\0");
             whileModal(
                 [&](QWidget *w) {
                     v(w);
                     auto *chooser = qobject_cast<QFileDialog *>(w); // starts at home
                     EXPECT_EQ(chooser->nameFilters(), QStringList{"声音文件 (*.wav *.mid)"});
                     EXPECT_EQ(chooser->directory().absolutePath(), QDir::homePath());
                 },
                 [&] { EXPECT_EQ(ShowOpenDialog(nullptr, "选择文件：", filter, {}, {}), ""); });
         },
         ""},
    };
    for (const auto &window : windows) {
        SCOPED_TRACE(window.what);
        window.open([&](QWidget *w) {
            ASSERT_TRUE(w);
            w->show();
            EXPECT_TRUE(window.texts.isEmpty() || shownTexts(w) == window.texts)
                << shownTexts(w).toStdString();
            // The file chooser is the toolkit's: only its title is ours.
            expectSpoken(QAccessible::queryAccessibleInterface(w), window.what,
                         !window.texts.isEmpty());
        });
    }
}

TEST_F(WindowTest, TicksReachTheTableAtOnceOnlyOkSavesAndSelectionDrivesThePanel)
{
    // Any nonzero flag is enabled. "x" falls due while the list stops the clock: never caught up.
    openList(three + QList{makeItem("x", 7, ShowMessage, {}, "missed", QDate(2030, 5, 6),
                                    "10:00:01", Daily)},
             true);
    const QByteArray saved = readBytes(DataFilePath());
    EXPECT_EQ(states(), "x--xxx x-xx x-xx");
    EXPECT_FALSE(main.Timer1.isEnabled() || main.isEnabled());
    const auto panel = [&] {
        return states() + " " + QString::number(setup->lstAlm->currentRow()) + " " +
               setup->lblWhatToDo->text() + "|" + setup->lblSeleInfo->text() +
               (setup->lblWhatToDo->palette().color(QPalette::WindowText) == Qt::red ? " red" : "");
    };
    QApplication::setActiveWindow(setup);
    setup->lstAlm->setFocus(Qt::TabFocusReason); // focus alone selects nothing
    EXPECT_EQ(panel(), "x--xxx x-xx x-xx -1 |");
    for (int i = 0; i < 3; ++i) // the user: down to the third row, then Space
        QTest::keyClick(setup->lstAlm, Qt::Key_Down);
    EXPECT_EQ(panel(),
              "xxxxxx x-xx x-xx 2 " + DescribeAction(SoundAndMessage, "C:\\a.mid").text + "|三楼");
    QTest::keyClick(setup->lstAlm, Qt::Key_Space);
    EXPECT_EQ(states(), "xxxxxx x--x x--x");
    setup->lstAlm->setCurrentRow(0); // red; Ctrl+click on the selected row clears it all
    EXPECT_EQ(panel(), "xxxxxx x--x x--x 0 " + DescribeAction(Restart, "").text + "| red");
    const QPoint first = setup->lstAlm->visualItemRect(setup->lstAlm->item(0)).center();
    QTest::mouseClick(setup->lstAlm->viewport(), Qt::LeftButton, Qt::ControlModifier, first);
    EXPECT_EQ(panel(), "x--xxx x--x x--x -1 |");
    setup->cmdAlm[5]->click(); // invert
    EXPECT_EQ(states(), "x--xxx -xx- -xx-");
    setup->cmdAlm[6]->click(); // disable all
    setup->cmdCancel->click(); // kept in memory only
    EXPECT_EQ(readBytes(DataFilePath()), saved);
    EXPECT_TRUE(main.Timer1.isEnabled() && main.isEnabled());
    openList(AlarmItems.items());
    clock.advanceMs(3000);
    EXPECT_EQ(states(), "x--xxx ---- ----");
    setup->cmdAlm[4]->click(); // enable all
    setup->cmdOK->click();
    EXPECT_EQ(states(), "x--xxx xxxx xxxx");
    EXPECT_EQ(readBytes(DataFilePath()), recordsOf(AlarmItems.items()));
    clock.advanceMs(1000);
    main.Timer1_Timer();
    EXPECT_TRUE(user.asked.empty());
}

TEST_F(WindowTest, DeletesTheSelectedItemAndSavesAtOnceUnlessCancelled)
{
    // Items, the row selected, the answer (1: OK), the states after; no item, no file.
    for (const QString line : {"3|0|1|x--xxx -x -x", "3|1|1|x--xxx xx xx", "3|2|1|x--xxx x- x-",
                               "3|1|0|xxxxxx x-x x-x", "1|0|1|x-----  "}) {
        const QStringList cells = line.split('|');
        const int count = cells[0].toInt(), row = cells[1].toInt();
        const MsgAnswer answer = cells[2] == "1" ? MsgAnswer::Ok : MsgAnswer::Cancel;
        QList<AlarmItem> expected = three.mid(0, count);
        openList(expected, true);
        setup->lstAlm->setCurrentRow(row);
        user.answer = answer;
        setup->cmdAlm[3]->click();
        EXPECT_EQ(user.asked.last(), "重要提示|确定删除所选的闹钟项目吗？\r\n(注意：不能恢复！)");
        if (answer == MsgAnswer::Ok)
            expected.removeAt(row);
        expectStored(expected); // every field of the others unchanged
        EXPECT_EQ(QFile::exists(DataFilePath()), !expected.isEmpty());
        EXPECT_EQ(states(), cells[3]) << line.toStdString();
    }
}

// The editor's composed fields change synchronously, once per real change, chains nested.
TEST_F(WindowTest, EditorTypingRunsTheChainsOncePerChangeAndBoxesKeepToTheirRanges)
{
    openEditor({makeItem("月底结账", kFalse, RunFile, {}, {}, QDate(2000, 1, 31))}, 0);
    QStringList history;
    QObject scope;
    for (int i : {1, 2})
        QObject::connect(editor->txtFed[i], &QLineEdit::textChanged, &scope,
                         [&](const QString &text) { history << text; });
    box(0)->selectAll();
    QTest::keyClicks(box(0), "2031");
    EXPECT_EQ(history, (QStringList{"0002/01/31", "0020/01/31", "0203/01/31", "2031/01/31"}));
    box(1)->selectAll();
    QTest::keyClicks(box(1), "45");             // 4, then 45 made 12
    QScrollBar *month = editor->VScrollDate[1]; // a spinner steps to a date that does not exist
    QTest::mouseClick(month, Qt::LeftButton, {}, QPoint(month->width() / 2, month->height() - 3));
    EXPECT_EQ(history.mid(4), (QStringList{"2031/04/31", "2031/12/31", "2031/11/31"}));
    // From 2000/05/15 07:00:09: box, typed, shown, the composed field's one change if any. The
    // spinners held 5 and 0 already; a 0 in the day is made 1 by a nested chain.
    for (const QString row :
         {"1||1|2000/01/15", "1|13|12|2000/12/15", "1|x|1|2000/01/15", "1|05|05|",
          "2|0|1|2000/05/01", "0|1e10|9999|9999/05/15", "0|-5|0|0000/05/15", "3|24|23|23:00:09",
          "5||0|07:00:00", "4|00|00|", "4|a|a|"}) {
        SCOPED_TRACE(row.toStdString());
        const QStringList cells = row.split('|');
        const int i = cells[0].toInt();
        editor->setFedText(1, "2000/05/15");
        editor->setFedText(2, "07:00:09");
        history.clear();
        enter(i, cells[1]);
        EXPECT_EQ(box(i)->text(), cells[2]);
        EXPECT_EQ((i < 3 ? editor->VScrollDate[i] : editor->VScrollTime[i - 3])->value(),
                  wholeNumberValue(cells[2]));
        EXPECT_EQ(history.join(""), cells[3]);
    }
}

// A text comes back from the data file as it was typed, or nothing is stored: the field is
// named, kept as typed and focused. A path picked in the file chooser is checked at once.
TEST_F(WindowTest, EditorStoresTitledItemsAsTypedOnlyAndNothingIntoAFullTable)
{
    const QString said = "无法保存|“%1”",
                  lacks = said + "里有不能保存的字符：%2\r\n请删去或换成别的字符。";
    const QString bytes =
        said + "太长，最多只能有 %2 个字节（一个汉字占两个字节），现在有 %3 个字节。";
    const struct
    {
        QString title, message, picked, refusal;
    } rows[] = {{"⏰ 한국 meeting café", "", "", lacks.arg("标题", "⏰、한、국")},
                {"t", QString(60, u'信') + "!", "", bytes.arg("信息").arg(120).arg(121)},
                {"t", "", "/" + QString(171, u'文'), bytes.arg("文件").arg(255).arg(343)},
                {"t", "", "/home/me/เพลง.wav", lacks.arg("文件", "เ、พ、ล、ง")},
                {QString(20, u'题'), QString(60, u'信'), "/" + QString(127, u'文'), ""}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.refusal.toStdString());
        openEditor({});
        user.asked.clear();
        QApplication::setActiveWindow(editor);
        editor->setFedText(0, row.title);
        editor->setFedText(4, row.message);
        editor->setFedText(6, row.picked.isEmpty() ? "0" : "2");
        setOpenDialogResponderForTesting([&](const OpenDialogRequest &) { return row.picked; });
        editor->cmdBrowFile->click(); // a path is checked when picked, and again when stored
        setOpenDialogResponderForTesting({});
        press(0);
        const int field = row.title != "t" ? 0 : row.message.isEmpty() ? 7 : 4;
        if (!row.refusal.isEmpty()) {
            EXPECT_EQ(user.asked, QStringList(field == 7 ? 2 : 1, row.refusal));
            ASSERT_TRUE(editor && editor->isVisible());
            EXPECT_EQ(editor->fedText(field), field ? row.picked + row.message : row.title);
            EXPECT_EQ(QApplication::focusWidget(),
                      field == 4 ? (QWidget *)editor->txtFedMessage : editor->txtFed[field]);
            EXPECT_FALSE(AlarmItems.count() || QFile::exists(DataFilePath()));
            continue;
        }
        const AlarmItem typed = makeItem(row.title, kFalse, RunFile, row.picked, row.message,
                                         QDate(2030, 5, 6), "10:00:00");
        expectStored({typed});
        ASSERT_TRUE(LoadAlarmItems());
        EXPECT_EQ(AlarmItems.items(), QList{typed});
    }

    openEditor({newYear});
    for (const QString title : {"", "    "}) {
        editor->txtFed[0]->setText(title);
        press(0);
        press(1);
    }
    ASSERT_EQ(user.asked.size(), 4);
    EXPECT_EQ(user.asked.last(), "缺少标题|至少总该定个标题吧！");
    editor->txtFed[0]->setText("新的");
    clock.advanceMs(60000); // the time stored is the time of opening
    press(1);
    const AlarmItem added =
        makeItem("新的", kFalse, ShowMessage, {}, {}, QDate(2030, 5, 6), "10:00:00");
    expectStored({newYear, added});
    openEditor({newYear}, 0);
    editor->txtFed[0]->setText("改了");
    setup->close(); // as when the program quits: the editor goes first, storing nothing
    flushDeletes();
    EXPECT_FALSE(editor || setup);
    EXPECT_EQ(AlarmItems.items(), QList{newYear});

    QList<AlarmItem> full(kMaxItems, newYear);
    openEditor(full);
    editor->txtFed[0]->setText("多一项");
    press(1);
    press(0);
    ASSERT_EQ(user.asked.size(), 6);
    EXPECT_TRUE(user.asked.last().startsWith("一般提示|") && user.asked.last().contains("32767"));
    EXPECT_EQ(AlarmItems.count(), kMaxItems);
    EXPECT_EQ(readBytes(DataFilePath()), recordsOf({newYear, added}));
    ASSERT_TRUE(editor && editor->isVisible()); // with what was typed
    EXPECT_EQ(editor->fedText(0), "多一项");
    openEditor(full, kMaxItems - 1); // an item of a full table can still be edited
    editor->txtFed[0]->setText("最后一项");
    press(0);
    EXPECT_EQ(AlarmItems.item(kMaxItems).Title, "最后一项");
    EXPECT_EQ(setup->lstAlm->item(kMaxItems - 1)->text(), "最后一项");
}

// The panel's buttons animate at every visit of the pointer, also when it comes back to the
// spot it left (the window then gets an entry and no move), but never on a disabled panel.
TEST_F(WindowTest, PanelButtonsAnimateAtEveryVisitWhileEnabled)
{
    main.show();
    QWindow *window = main.windowHandle();
    for (QTimer *animation : {&main.timeQ, &main.timeM}) {
        const char *area = animation == &main.timeQ ? "imgExit" : "imgMove_1";
        const QPoint at = main.findChild<QWidget *>(area)->geometry().center();
        for (int visit = 0; visit < 3; ++visit) {
            main.setEnabled(visit < 2); // the list dialog, the About box or a countdown is open
            QEnterEvent enter(at, at, main.mapToGlobal(at));
            QCoreApplication::sendEvent(window, &enter);
            QTest::mouseMove(window, at);
            EXPECT_EQ(animation->isActive(), visit < 2) << area << visit;
            animation->stop();
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(window, &leave);
        }
    }
}

// The clock killed at each point that matters: the next start lists, after the panel is shown,
// what fell due and was not carried out, and never what was. A missing, damaged or future
// mark lists nothing and is written afresh.
TEST(MissedReminders, AfterAKillTheNextStartListsWhatWasNotCarriedOut)
{
    TestClock clock(at(2030, 5, 6, 10, 0, 0));
    QTemporaryDir dir;
    setDataFilePath(dir.filePath("MSGINI.DDT"));
    const auto item = [](const char *title, const char *time) {
        return makeItem(title, kTrue, ShowMessage, {}, {}, QDate(2030, 5, 6), time);
    };
    const QList<AlarmItem> three = {item("一", "10:00:01"), item("二", "10:00:01"),
                                    item("三", "10:00:05")};
    const QList<AlarmItem> four = three + QList{item("四", "10:00:08")};
    std::map<std::string, QByteArray> left; // the mark as a kill at each point leaves it
    QStringList asked;
    setMessageResponderForTesting([&](const MessageRequest &request) {
        if (request.text.contains("二"))
            left["while a box is open"] = readBytes(ScanMarkPath());
        asked << request.text;
        return MsgAnswer::Ok;
    });
    {
        AlarmItems.replaceAll(three);
        frmMain first;
        first.show();
        QCoreApplication::processEvents(); // the mark is written once the panel is shown
        left["before a firing"] = readBytes(ScanMarkPath());
        clock.set(at(2030, 5, 6, 10, 0, 1));
        first.Timer1_Timer();
        left["after it closes"] = readBytes(ScanMarkPath());
        first.Timer1.setEnabled(false); // the list dialog opens
        clock.set(at(2030, 5, 6, 10, 0, 6));
        AlarmItems.replaceAll(four); // and adds 四 for 10:00:08
        ASSERT_TRUE(SaveAlarmItems());
        ASSERT_TRUE(first.missedWindow());
        EXPECT_EQ(first.missedWindow()->missed().size(), 1); // 三, at the save
        left["after a save"] = readBytes(ScanMarkPath());
    }
    EXPECT_EQ(asked, QStringList({"标题：一(无提示信息)。", "标题：二(无提示信息)。"}));
    const QByteArray open = left["while a box is open"]; // 2030-05-06T10:00:01Z 1, or +08:00 ...
    EXPECT_TRUE(open.startsWith("2030-05-06T10:00:01") && open.endsWith(" 1\n")) << open.data();
    left["damaged"] = "2030-05-06 10:00:00 \xff";
    left["future"] = "2030-05-07T10:00:00Z\n";
    const std::pair<const char *, const char *> cases[] = {{"before a firing", "一|二|三"},
                                                           {"while a box is open", "二|三"},
                                                           {"after it closes", "三"},
                                                           {"after a save", "四"},
                                                           {"damaged", ""},
                                                           {"future", ""}};
    for (const auto &[point, listed] : cases) {
        writeBytes(ScanMarkPath(), left[point]);
        AlarmItems.replaceAll(std::string(point) == "after a save" ? four : three);
        clock.set(at(2030, 5, 6, 10, 0, 10));
        frmMain next;
        EXPECT_FALSE(next.missedWindow() && next.missedWindow()->isVisible()) << point;
        next.show();
        QCoreApplication::processEvents();
        QStringList titles;
        for (const MissedFiring &missed :
             next.missedWindow() ? next.missedWindow()->missed() : QList<MissedFiring>())
            titles << missed.title;
        EXPECT_EQ(titles.join('|'), QString(listed)) << point;
        EXPECT_TRUE(!next.missedWindow() || next.missedWindow()->isVisible()) << point;
        EXPECT_EQ(readScanMark().value_or(ScanMark()).second,
                  at(2030, 5, 6, 10, 0, 9).toSecsSinceEpoch())
            << point;
    }
    setMessageResponderForTesting({});
    AlarmItems.clear();
}

TEST(SystemName, ComesFromTheFirstOsReleaseFileThatCanBeRead)
{
    QTemporaryDir dir;
    const QString etc = dir.filePath("etc"), lib = dir.filePath("lib");
    writeBytes(lib, "NAME=\"Lib Linux\"\n");
    const std::pair<const char *, const char *> cases[] = {
        {"NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n", "Debian GNU/Linux"},
        {"ID=x\nNAME=Plain\tWords\r\n# NAME=comment\n", "Plain Words"},
        {"NAME='It''s'\" \\\"x\\\" \\$C \\\\ \\x\"\n", "Its \"x\" $C \\ \\x"},
        {"PRETTY_NAME=\"No Name\"\nNAME=\"\"\n", "系统"},
        {nullptr, "Lib Linux"}}; // no /etc/os-release: the one in /usr/lib
    for (const auto &[content, name] : cases) {
        QFile::remove(etc);
        if (content)
            writeBytes(etc, content);
        EXPECT_EQ(systemNameFrom({etc, lib}), QString::fromUtf8(name)) << (content ? content : "");
    }
    EXPECT_EQ(systemNameFrom({etc + "x", lib + "x"}), "系统");
}
} // namespace

// Widget tests need an application: the offscreen platform unless the caller chose another.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir state; // the clocks of the tests keep their last scanned second here
    setScanMarkPathForTesting(state.filePath("last-scan"));
    Q_INIT_RESOURCE(art); // the artwork lives in a static library
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
