// The alarm list dialog and the editor against the item table and the data file.
#include "describeaction.h"
#include "frmmsgedit_spinner.h"
#include "numbervalue.h"
#include "uitest.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace {
class ListAndEditorTest : public ListDialogTest
{
protected:
    // The ticks, then the table's Enabled flags: "x" ticked and -1, "-" clear and 0.
    QString ticks() const
    {
        QString shown, stored;
        for (int row = 0; row < setup->lstAlm->count(); ++row)
            shown += setup->lstAlm->item(row)->checkState() == Qt::Checked ? 'x' : '-';
        for (const AlarmItem &item : AlarmItems.items())
            stored += item.Enabled == kTrue ? 'x' : item.Enabled == kFalse ? '-' : '?';
        return shown + " " + stored;
    }
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
    const AlarmItem monthEnd = makeItem("月底结账", kFalse, RunFile, "/usr/bin/true", {},
                                        QDate(2000, 1, 31), "07:05:09", Monthly);
};

TEST_F(ListAndEditorTest, TicksReachTheTableAtOnceOnlyOkSavesAndSelectionDrivesThePanel)
{
    // Any nonzero flag is enabled. "x" falls due while the dialog is open, which
    // stops the clock: the second is never caught up.
    QList<AlarmItem> items = three + QList{makeItem("x", 7, ShowMessage, {}, "missed",
                                                    QDate(2030, 5, 6), "10:00:01", Daily),
                                           makeItem("y", -300)};
    openList(items, true);
    const QByteArray saved = readBytes(DataFilePath());
    items[3].Enabled = items[4].Enabled = kTrue;
    expectStored(items, false);
    EXPECT_FALSE(main->Timer1.isEnabled() || main->isEnabled());
    const auto panel = [&] {
        return buttonStates() + QString::number(setup->lstAlm->currentRow()) + " " +
               setup->lblWhatToDo->text() + "|" + setup->lblSeleInfo->text() +
               (setup->lblWhatToDo->palette().color(QPalette::WindowText) == Qt::red ? " red" : "");
    };
    QApplication::setActiveWindow(setup);
    setup->lstAlm->setFocus(Qt::TabFocusReason); // focus alone selects nothing
    EXPECT_EQ(panel(), "x--xxx-1 |");
    for (int i = 0; i < 3; ++i) // the user: down to the third row, then Space
        QTest::keyClick(setup->lstAlm, Qt::Key_Down);
    EXPECT_EQ(panel(), "xxxxxx2 " + DescribeAction(SoundAndMessage, "C:\\a.mid").text + "|三楼");
    QTest::keyClick(setup->lstAlm, Qt::Key_Space);
    setup->lstAlm->item(1)->setCheckState(Qt::Checked);
    setup->lstAlm->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(ticks(), "-x-xx -x-xx");
    setup->lstAlm->setCurrentRow(0); // red; Ctrl+click on the selected row clears it all
    EXPECT_EQ(panel(), "xxxxxx0 " + DescribeAction(Restart, "").text + "| red");
    const QPoint first = setup->lstAlm->visualItemRect(setup->lstAlm->item(0)).center();
    QTest::mouseClick(setup->lstAlm->viewport(), Qt::LeftButton, Qt::ControlModifier, first);
    EXPECT_EQ(panel(), "x--xxx-1 |");
    setup->cmdAlm[5]->click(); // invert
    EXPECT_EQ(ticks(), "x-x-- x-x--");
    setup->cmdAlm[6]->click(); // disable all
    setup->cmdCancel->click(); // kept in memory only
    EXPECT_EQ(readBytes(DataFilePath()), saved);
    EXPECT_TRUE(main->Timer1.isEnabled() && main->isEnabled());
    openList(AlarmItems.items());
    clock.advanceMs(3000);
    EXPECT_EQ(ticks(), "----- -----");
    setup->cmdAlm[4]->click(); // enable all
    setup->cmdOK->click();
    EXPECT_EQ(ticks(), "xxxxx xxxxx");
    EXPECT_EQ(readBytes(DataFilePath()), recordsOf(AlarmItems.items()));
    clock.advanceMs(1000);
    main->Timer1_Timer();
    EXPECT_TRUE(user.asked.empty() && failures.isEmpty());
}

TEST_F(ListAndEditorTest, DeletesTheSelectedItemAndSavesAtOnceUnlessCancelled)
{
    // How many items, the row selected, the answer; the buttons' states after. The
    // only item deleted leaves no file.
    const std::tuple<int, int, MsgAnswer, QString> cases[] = {{3, 0, MsgAnswer::Ok, "x--xxx"},
                                                              {3, 1, MsgAnswer::Ok, "x--xxx"},
                                                              {3, 2, MsgAnswer::Ok, "x--xxx"},
                                                              {3, 1, MsgAnswer::Cancel, "xxxxxx"},
                                                              {1, 0, MsgAnswer::Ok, "x-----"}};
    for (const auto &[count, row, answer, buttons] : cases) {
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
        EXPECT_EQ(buttonStates(), buttons) << row;
    }
}

// The editor's composed fields change synchronously, once per real change, with
// the nested chains of the boxes' own rules inside.
TEST_F(ListAndEditorTest, EditorTypingRunsTheChainsOncePerChangeAndBoxesKeepToTheirRanges)
{
    openEditor({monthEnd}, 0);
    QStringList history;
    QObject scope;
    for (int i : {1, 2})
        QObject::connect(editor->txtFed[i], &QLineEdit::textChanged, &scope,
                         [&](const QString &text) { history << text; });
    box(0)->selectAll();
    QTest::keyClicks(box(0), "2031");
    EXPECT_EQ(history, (QStringList{"0002/01/31", "0020/01/31", "0203/01/31", "2031/01/31"}));
    box(1)->selectAll();
    QTest::keyClicks(box(1), "45"); // the caret stays after a text a rule has replaced
    EXPECT_EQ(box(1)->text() + QString::number(box(1)->cursorPosition()), "122");
    QScrollBar *month = editor->VScrollDate[1]; // a spinner steps to a date that does not exist
    QTest::mouseClick(month, Qt::LeftButton, {}, QPoint(month->width() / 2, month->height() - 3));
    EXPECT_EQ(history.last(), "2031/11/31");
    // From 2000/05/15 07:00:09: the box, what is typed, what the box shows, and the
    // composed field's one change, if any. The spinners held 5 and 0 already; a 0
    // in the day is made 1 by a nested chain.
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

TEST_F(ListAndEditorTest, EditorStoresTitledItemsOnlyAndNothingIntoAFullTable)
{
    openEditor({newYear});
    for (const QString title : {"", "    "}) {
        editor->txtFed[0]->setText(title);
        press(0);
        press(1);
    }
    ASSERT_EQ(user.asked.size(), 4);
    EXPECT_EQ(user.asked.last(), "缺少标题|至少总该定个标题吧！");
    EXPECT_FALSE(QFile::exists(DataFilePath()));
    editor->txtFed[0]->setText("新的");
    clock.advanceMs(60000); // the time stored is the time of opening
    press(1);
    editor->txtFed[0]->setText("不要");
    press(2);
    AlarmItem damaged = monthEnd; // codes out of range, from a damaged file
    damaged.RepeatKind = 7;
    damaged.Action = 12;
    expectStored(
        {newYear, makeItem("新的", kFalse, ShowMessage, {}, {}, QDate(2030, 5, 6), "10:00:00")});
    openEditor({newYear, damaged}, 1); // an edit stores the item back as it was
    EXPECT_FALSE(editor->cmdMsgEditUti[1]->isVisible());
    press(0);
    expectStored({newYear, damaged});
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
    EXPECT_EQ(readBytes(DataFilePath()), recordsOf({newYear, damaged}));
    ASSERT_TRUE(editor && editor->isVisible()); // with what was typed
    EXPECT_EQ(editor->fedText(0), "多一项");
    openEditor(full, kMaxItems - 1); // an item of a full table can still be edited
    editor->txtFed[0]->setText("最后一项");
    press(0);
    EXPECT_EQ(AlarmItems.item(kMaxItems).Title, "最后一项");
    EXPECT_EQ(setup->lstAlm->item(kMaxItems - 1)->text(), "最后一项");
}
} // namespace
