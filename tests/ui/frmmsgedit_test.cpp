// The alarm editor: its fields and their change chains, the commits into the
// table, the list and the data file, and the file chooser.
#include "frmmsgedit_spinner.h"
#include "module_ovifiledlg.h"
#include "numbervalue.h"
#include "timeofday.h"
#include "uitest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

namespace {
const QString kNul(QChar(u'\0'));
const QString kSoundFilter =
    QStringLiteral("声音文件(*.wav; *.mid)") + kNul + QStringLiteral("*.wav;*.mid") + kNul + kNul;

QStringList textsOf(const std::array<QLineEdit *, 3> &boxes)
{
    return {boxes[0]->text(), boxes[1]->text(), boxes[2]->text()};
}
QList<int> valuesOf(const std::array<SpinnerBar *, 3> &spinners)
{
    return {spinners[0]->value(), spinners[1]->value(), spinners[2]->value()};
}
void clickArrow(QScrollBar *spinner, bool up)
{
    QTest::mouseClick(spinner, Qt::LeftButton, {},
                      QPoint(spinner->width() / 2, up ? 2 : spinner->height() - 3));
}
// Replaces the whole text of a box in one edit, as pasting over it does.
void enter(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    box->insert(text);
}

class EditorTest : public ListDialogTest
{
protected:
    EditorTest() : ListDialogTest(at(2026, 12, 6, 14, 30, 25))
    {
        setOpenDialogResponderForTesting([this](const OpenDialogRequest &request) {
            dialogRequests << request;
            return dialogAnswer;
        });
    }
    ~EditorTest() override { setOpenDialogResponderForTesting({}); }

    // From the list dialog: the add button, or the edit button on `row`.
    void openEditor(const QList<AlarmItem> &items, int row = -1)
    {
        openList(items);
        setup->lstAlm->setCurrentRow(row);
        setup->cmdAlm_Click(row < 0 ? 0 : 2);
        editor = findEditor();
        ASSERT_TRUE(editor);
    }
    void press(int index) { editor->cmdMsgEditUti[size_t(index)]->click(); }
    // The table, the list's rows and the data file all hold `expected`.
    void expectStored(const QList<AlarmItem> &expected)
    {
        EXPECT_EQ(AlarmItems.items(), expected);
        EXPECT_EQ(rows(), rowsOf(expected));
        QList<AlarmItem> saved;
        EXPECT_TRUE(readItemsFile(DataFilePath(), &saved));
        EXPECT_EQ(saved, expected);
    }

    const AlarmItem newYear =
        makeItem("元旦", kTrue, ShowMessage, {}, "新年快乐", QDate(2000, 1, 1), "00:00:00", Yearly);
    const AlarmItem monthEnd = makeItem("月底结账", kFalse, RunFile, "/usr/bin/true", {},
                                        QDate(2000, 1, 31), "07:05:09", Monthly);
    QPointer<frmMsgEdit> editor;
    QList<OpenDialogRequest> dialogRequests;
    QString dialogAnswer;
};

TEST_F(EditorTest, ShowsItsCaptionsAndChoices)
{
    openEditor({});
    QStringList shown;
    for (QLabel *label : editor->Label1)
        shown << label->text();
    for (QLabel *label : editor->Label2)
        shown << label->text();
    for (QPushButton *button : editor->cmdMsgEditUti)
        shown << button->text();
    EXPECT_EQ(shown, (QStringList{"标题：", "日期：", "时间：", "处理：", "信息：", "状态：",
                                  "响应：", "文件：", "年", "月", "日", "时", "分", "秒",
                                  "确定并返回(&S)", "确定并继续(&R)", "取消并返回(&C)"}));
    EXPECT_EQ(editor->Combo1->itemText(6) + editor->comboWhatToDo->itemText(4),
              QStringLiteral("6 - 半点(按半点不理日期时间)4 - 关闭电脑"));
}

TEST_F(EditorTest, KeyboardEnterAndEscPressNoButtonAndTypingRunsTheChainPerKey)
{
    openEditor({});
    QApplication::setActiveWindow(editor);
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    editor->txtFed[0]->setText(QStringLiteral("标题"));
    editor->txtFed[0]->setFocus();
    QTest::keyClick(editor->txtFed[0], Qt::Key_Return);
    QTest::keyClick(editor->txtFed[0], Qt::Key_Escape);
    EXPECT_TRUE(editor && editor->isVisible());
    EXPECT_EQ(AlarmItems.count(), 0);
    QTest::keyClick(editor->txtFed[0], Qt::Key_Tab); // a number box takes focus all selected
    EXPECT_EQ(editor->txtDate[0]->selectedText(), QStringLiteral("2026"));
    QStringList composed;
    QObject scope;
    QObject::connect(editor->txtFed[1], &QLineEdit::textChanged, &scope,
                     [&](const QString &text) { composed << text; });
    QTest::keyClicks(editor->txtDate[0], QStringLiteral("2031"));
    EXPECT_EQ(composed, (QStringList{"0002/12/06", "0020/12/06", "0203/12/06", "2031/12/06"}));
    // The caret stands after a text a rule has replaced, so typing goes on there.
    QTest::keyClick(editor->txtDate[0], Qt::Key_Tab);
    QTest::keyClicks(editor->txtDate[1], QStringLiteral("45"));
    EXPECT_EQ(editor->txtDate[1]->text(), QStringLiteral("12"));
    EXPECT_EQ(editor->txtDate[1]->cursorPosition(), 2);
    // The message takes at most 120 characters.
    const QString full = QString(118, QLatin1Char('a')) + QStringLiteral("bc");
    editor->txtFedMessage->setFocus();
    QTest::keyClicks(editor->txtFedMessage, full + "d");
    editor->txtFedMessage->moveCursor(QTextCursor::Start);
    QTest::keyClicks(editor->txtFedMessage, QStringLiteral("X"));
    EXPECT_EQ(editor->fedText(4), full);
}

// Each row starts from 2000/05/15 07:00:09, written into the composed fields.
TEST_F(EditorTest, BoxesKeepToTheirRangesAndTheComposedFieldsFollow)
{
    struct Row
    {
        bool date;
        int box;
        QString typed, shown, composed;
    };
    const Row rows[] = {
        {true, 1, "", "1", "2000/01/15"}, // an emptied box
        {true, 1, "13", "12", "2000/12/15"},
        {true, 1, "0", "1", "2000/01/15"},
        {true, 1, "x", "1", "2000/01/15"},
        {true, 1, "05", "05", "2000/05/15"}, // the spinner already held 5
        {true, 2, "32", "31", "2000/05/31"},
        {true, 2, "0", "1", "2000/05/01"}, // the nested chain: 0, then 1
        {true, 0, "1e10", "9999", "9999/05/15"},
        {true, 0, "-5", "0", "0000/05/15"},
        {true, 0, "26", "26", "0026/05/15"}, // the year 26; the commit makes it today
        {false, 0, "24", "23", "23:00:09"},
        {false, 0, "-5", "0", "00:00:09"},
        {false, 1, "60", "59", "07:59:09"},
        {false, 2, "99", "59", "07:00:59"},
        {false, 2, "", "0", "07:00:00"},
        {false, 1, "00", "00", "07:00:09"}, // the spinner already held 0
        {false, 1, "a", "a", "07:00:09"},
    };
    openEditor({monthEnd}, 0);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed.toStdString() + " into box " + std::to_string(row.box));
        editor->setFedText(1, QStringLiteral("2000/05/15"));
        editor->setFedText(2, QStringLiteral("07:00:09"));
        QLineEdit *box = (row.date ? editor->txtDate : editor->txtTime)[size_t(row.box)];
        QScrollBar *spinner =
            (row.date ? editor->VScrollDate : editor->VScrollTime)[size_t(row.box)];
        QLineEdit *composed = editor->txtFed[row.date ? 1 : 2];
        const QString composedBefore = composed->text();
        QStringList history;
        QObject scope;
        QObject::connect(composed, &QLineEdit::textChanged, &scope,
                         [&](const QString &text) { history << text; });
        enter(box, row.typed);
        EXPECT_EQ(box->text(), row.shown);
        EXPECT_EQ(spinner->value(), wholeNumberValue(row.shown));
        // One change of the composed field at most: no passing values.
        EXPECT_EQ(history,
                  row.composed == composedBefore ? QStringList() : QStringList{row.composed});
    }
}

TEST_F(EditorTest, SpinnersStepToNonExistentDatesAndStopAtTheirLimits)
{
    openEditor({monthEnd}, 0);
    clickArrow(editor->VScrollDate[1], true);
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2000/02/31"));
    editor->setFedText(1, QStringLiteral("9999/12/31"));
    editor->setFedText(2, QStringLiteral("23:59:00"));
    for (QScrollBar *up : {editor->VScrollDate[0], editor->VScrollDate[1], editor->VScrollDate[2],
                           editor->VScrollTime[0], editor->VScrollTime[1]})
        clickArrow(up, true);
    clickArrow(editor->VScrollTime[2], false);
    EXPECT_EQ(editor->fedText(1) + " " + editor->fedText(2), QStringLiteral("9999/12/31 23:59:00"));
    // Holding an arrow repeats the step.
    QScrollBar *minute = editor->VScrollTime[1];
    const QPoint down(minute->width() / 2, minute->height() - 3);
    QTest::mousePress(minute, Qt::LeftButton, {}, down);
    QTest::qWait(700);
    QTest::mouseRelease(minute, Qt::LeftButton, {}, down);
    EXPECT_LT(minute->value(), 58);
    EXPECT_EQ(editor->txtTime[1]->text(), QString::number(minute->value()));
}

TEST_F(EditorTest, FieldsReachTheBoxesCheckBoxCombosAndFileField)
{
    openEditor({});
    // The time of opening was written into empty boxes: all three are filled.
    EXPECT_EQ(textsOf(editor->txtTime), (QStringList{"14", "30", "25"}));
    EXPECT_EQ(valuesOf(editor->VScrollTime), (QList<int>{14, 30, 25}));
    enter(editor->txtDate[1], QStringLiteral("2"));
    enter(editor->txtDate[2], QStringLiteral("31"));
    editor->setFedText(1, QStringLiteral("1999/12/05")); // over a date that does not exist
    EXPECT_EQ(valuesOf(editor->VScrollDate), (QList<int>{1999, 12, 5}));
    for (int i : {1, 2, 3, 6}) // empty codes and composed fields change nothing else
        editor->setFedText(i, QString());
    EXPECT_EQ(textsOf(editor->txtDate), (QStringList{"1999", "12", "5"}));
    EXPECT_EQ(editor->Combo1->currentIndex(), 0);
    QString checks;
    for (const QString text : {"-1", "", "1", "0"}) {
        editor->setFedText(5, text);
        checks += editor->Check1->isChecked() ? 'x' : '-';
    }
    EXPECT_EQ(checks, QStringLiteral("x-x-"));
    editor->Check1->click();
    EXPECT_EQ(editor->fedText(5), QStringLiteral("1"));
    // A digit typed into the repeat combo picks that kind.
    editor->Combo1->lineEdit()->selectAll();
    QTest::keyClicks(editor->Combo1->lineEdit(), QStringLiteral("3"));
    EXPECT_EQ(editor->Combo1->currentText(), QStringLiteral("3 - 每月(按日期的月份及时间)"));
    EXPECT_EQ(editor->fedText(3), QStringLiteral("3"));
    // Only the sound and run actions take a file.
    editor->setFedText(7, QStringLiteral("/tmp/tune.mid"));
    for (int action : {1, 2, 0, 3, 4, 2, 3}) {
        editor->comboWhatToDo->setCurrentIndex(action);
        emit editor->comboWhatToDo->activated(action);
        const bool needsFile = action == 1 || action == 2;
        EXPECT_EQ(editor->txtFed[7]->isEnabled(), needsFile) << action;
        EXPECT_EQ(editor->cmdBrowFile->isEnabled(), needsFile) << action;
        EXPECT_EQ(editor->fedText(6), QString::number(action));
    }
    editor->txtFed[0]->setText(QStringLiteral("关机"));
    press(0);
    EXPECT_EQ(AlarmItems.item(1).Action, Restart);
    EXPECT_EQ(AlarmItems.item(1).FilePath, QStringLiteral("/tmp/tune.mid")); // kept, not used
}

TEST_F(EditorTest, AnyInputEndsWithTheBoxesInRangeAndTheComposedFieldsInLine)
{
    const QStringList nasty = {"",      " ", "-",  "+",      ".",   "1e400", "-1e400", "&HFFFF",
                               "&O777", "0", "00", "abc",    "3.5", "2.5",   "1 2",    "\t",
                               "１２",  "😀", "-0", "1e-400", "99",  "9999",  "-5"};
    openEditor({monthEnd}, 0);
    const auto values = [](const std::array<QLineEdit *, 3> &boxes) {
        return QList<int>{wholeNumberValue(boxes[0]->text()), wholeNumberValue(boxes[1]->text()),
                          wholeNumberValue(boxes[2]->text())};
    };
    for (const QString &text : nasty) {
        for (int i = 0; i < 6; ++i) {
            QLineEdit *box = i < 3 ? editor->txtDate[i] : editor->txtTime[i - 3];
            QScrollBar *spinner = i < 3 ? editor->VScrollDate[i] : editor->VScrollTime[i - 3];
            enter(box, text);
            SCOPED_TRACE(box->objectName().toStdString() + " <- " + text.toStdString());
            const int value = wholeNumberValue(box->text());
            EXPECT_TRUE(value >= spinner->minimum() && value <= spinner->maximum()) << value;
            if (box->text() != text || spinner->value() != 0) { // else kept as typed over 0
                EXPECT_EQ(spinner->value(), value);
            }
            const QList<int> d = values(editor->txtDate), t = values(editor->txtTime);
            EXPECT_EQ(editor->fedText(1), QString::asprintf("%04d/%02d/%02d", d[0], d[1], d[2]));
            EXPECT_EQ(editor->fedText(2), QString::asprintf("%02d:%02d:%02d", t[0], t[1], t[2]));
        }
        editor->setFedText(3, text); // codes: anything, without a crash
        editor->setFedText(6, text);
    }
    editor->txtFed[0]->setText(QStringLiteral("杂项"));
    press(0);
    EXPECT_TRUE(dateOfOle(AlarmItems.item(1).AlarmDate).isValid());
    EXPECT_GE(secondsOfExactTime(AlarmItems.item(1).AlarmTime), 0);
}

TEST_F(EditorTest, AddingStoresTodayAndTheTimeOfOpeningAndClosesTheEditor)
{
    openEditor({newYear});
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("新增闹钟项目"));
    EXPECT_FALSE(setup->isEnabled());
    editor->txtFed[0]->setText(QStringLiteral("  喝水  "));
    clock.advanceMs(5 * 60 * 1000); // the time stored is the time of opening
    setup->lblWhatToDo->setText(QStringLiteral("旧的说明"));
    press(0);
    const AlarmItem drink =
        makeItem("喝水", kFalse, ShowMessage, {}, {}, QDate(2026, 12, 6), "14:30:25");
    expectStored({newYear, drink});
    EXPECT_TRUE(setup->lblWhatToDo->text().isEmpty());
    flushDeletes();
    EXPECT_FALSE(editor);
    EXPECT_TRUE(setup->isEnabled());
    EXPECT_EQ(buttonStates(), (QList<bool>{true, false, false, true, true, true}));
    EXPECT_TRUE(user.asked.empty());
}

TEST_F(EditorTest, AddAndContinueResetsTheFieldsButKeepsActionAndPath)
{
    openEditor({});
    editor->txtFed[0]->setText(QStringLiteral("起床"));
    editor->setFedText(4, QStringLiteral("该起床了"));
    editor->Combo1->setCurrentIndex(1);
    editor->Check1->setChecked(true);
    editor->comboWhatToDo->setCurrentIndex(1);
    editor->txtFed[7]->setText(QStringLiteral("/tmp/wake.wav"));
    enter(editor->txtDate[2], QStringLiteral("9"));
    enter(editor->txtTime[0], QStringLiteral("6"));
    clock.set(at(2026, 12, 7, 8, 0, 1));
    press(1);
    const AlarmItem first = makeItem("起床", kTrue, SoundAndMessage, "/tmp/wake.wav", "该起床了",
                                     QDate(2026, 12, 9), "06:30:25", Daily);
    expectStored({first});
    ASSERT_TRUE(editor && editor->isVisible());
    EXPECT_FALSE(setup->isEnabled());
    EXPECT_EQ(editor->fedText(0) + editor->fedText(4), QString());
    EXPECT_EQ(editor->fedText(1) + " " + editor->fedText(2), QStringLiteral("2026/12/07 08:00:01"));
    EXPECT_EQ(editor->Combo1->currentIndex(), 0);
    EXPECT_FALSE(editor->Check1->isChecked());
    // A date that does not exist becomes today; no time is midnight, and leaves it off.
    editor->txtFed[0]->setText(QStringLiteral("第二项"));
    editor->Check1->setChecked(true);
    enter(editor->txtDate[2], QStringLiteral("31"));
    enter(editor->txtDate[1], QStringLiteral("4"));
    editor->setFedText(2, QString());
    press(1);
    press(2); // cancelling afterwards keeps both
    expectStored({first, makeItem("第二项", kFalse, SoundAndMessage, "/tmp/wake.wav", {},
                                  QDate(2026, 12, 7), "00:00:00")});
    EXPECT_TRUE(user.asked.empty());
    EXPECT_TRUE(setup->isEnabled());
}

TEST_F(EditorTest, EditingStoresTheFieldsBackUnchangedOrChanged)
{
    AlarmItem damaged = monthEnd; // codes out of range, from a damaged file
    damaged.RepeatKind = 7;
    damaged.Action = 12;
    QList<AlarmItem> items = {newYear, monthEnd,
                              makeItem("半点", kTrue, SoundAndMessage, "/tmp/a.wav", "提醒",
                                       QDate(1999, 12, 1), "23:59:59", HalfPast),
                              damaged};
    for (int row = 0; row < items.size(); ++row) {
        SCOPED_TRACE(row);
        openEditor(items, row);
        EXPECT_EQ(editor->windowTitle(), QStringLiteral("编辑闹钟项目"));
        EXPECT_FALSE(editor->cmdMsgEditUti[1]->isVisible());
        press(0);
        expectStored(items);
    }
    openEditor(items, 1);
    EXPECT_EQ(textsOf(editor->txtDate) + textsOf(editor->txtTime),
              (QStringList{"2000", "1", "31", "7", "5", "9"}));
    editor->txtFed[0]->setText(QStringLiteral("月初结账"));
    editor->Check1->setChecked(true);
    enter(editor->txtDate[2], QStringLiteral("1"));
    enter(editor->txtTime[0], QStringLiteral("0"));
    press(0);
    items[1] = makeItem("月初结账", kTrue, RunFile, "/usr/bin/true", {}, QDate(2000, 1, 1),
                        "00:05:09", Monthly);
    expectStored(items);
    // A blank time opens as midnight, in the table at once.
    items[0].AlarmTime = QStringLiteral("        ");
    openEditor(items, 0);
    EXPECT_EQ(textsOf(editor->txtTime), (QStringList{"0", "0", "0"}));
    EXPECT_EQ(AlarmItems.item(1), newYear);
}

TEST_F(EditorTest, BlankTitleFullTableCancelAndCloseStoreNothing)
{
    openEditor({newYear});
    editor->txtFed[0]->setText(QStringLiteral("    "));
    press(0);
    press(1);
    ASSERT_EQ(user.asked.size(), 2u);
    EXPECT_EQ(user.asked[1].title, QStringLiteral("缺少标题"));
    EXPECT_EQ(user.asked[1].text, QStringLiteral("至少总该定个标题吧！"));
    EXPECT_EQ(user.asked[1].icon, MsgIcon::Exclamation);
    editor->txtFed[0]->setText(QStringLiteral("新的"));
    press(2);
    openEditor({newYear}, 0);
    editor->txtFed[0]->setText(QStringLiteral("改了"));
    editor->close();
    flushDeletes();
    EXPECT_TRUE(setup->isEnabled());
    EXPECT_EQ(rows(), QStringList{"[x] 元旦"});
    EXPECT_FALSE(QFile::exists(DataFilePath()));

    QList<AlarmItem> full(kMaxItems, newYear);
    openEditor(full);
    editor->txtFed[0]->setText(QStringLiteral("多一项"));
    press(1);
    press(0);
    ASSERT_EQ(user.asked.size(), 4u);
    EXPECT_EQ(user.asked[3].title, QStringLiteral("一般提示"));
    EXPECT_TRUE(user.asked[3].text.contains(QStringLiteral("32767")));
    EXPECT_EQ(AlarmItems.count(), kMaxItems);
    EXPECT_FALSE(QFile::exists(DataFilePath()));
    ASSERT_TRUE(editor && editor->isVisible()); // with what was typed
    EXPECT_EQ(editor->fedText(0), QStringLiteral("多一项"));
    openEditor(full, kMaxItems - 1); // an item of a full table can still be edited
    editor->txtFed[0]->setText(QStringLiteral("最后一项"));
    press(0);
    EXPECT_EQ(AlarmItems.item(kMaxItems).Title, QStringLiteral("最后一项"));
    EXPECT_EQ(setup->lstAlm->item(kMaxItems - 1)->text(), QStringLiteral("最后一项"));
}

TEST_F(EditorTest, BrowsingOffersTheActionsFilesFromTheFolderEntered)
{
    openEditor({});
    editor->comboWhatToDo->setCurrentIndex(1);
    editor->cmdBrowFile->click(); // cancelled: the empty field stays empty
    editor->comboWhatToDo->setCurrentIndex(2);
    editor->txtFed[7]->setText("  " + dir.path() + "/run.sh  ");
    dialogAnswer = dir.path() + "/other.sh";
    editor->cmdBrowFile->click();
    EXPECT_EQ(editor->fedText(7), dir.path() + "/other.sh");
    // Cancelled again: the field stays; a folder that does not exist is not offered.
    editor->txtFed[7]->setText(QStringLiteral("/no/such/folder/x.exe"));
    dialogAnswer = QStringLiteral("   ");
    editor->cmdBrowFile->click();
    EXPECT_EQ(editor->fedText(7), QStringLiteral("/no/such/folder/x.exe"));
    ASSERT_EQ(dialogRequests.size(), 3);
    EXPECT_EQ(dialogRequests[0].filter, kSoundFilter);
    const QList<FilterPair> all = {{"所有文件(*.*)", "*.*"}};
    const QList<std::tuple<QString, QString, QList<FilterPair>>> expected = {
        {"选择文件：", "", {{"声音文件(*.wav; *.mid)", "*.wav;*.mid"}}},
        {"选择文件：" + dir.path(), dir.path(), all},
        {"选择文件：", "", all}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::tie(dialogRequests[i].title, dialogRequests[i].initialDir,
                           dialogRequests[i].pairs),
                  expected[i]);
        EXPECT_EQ(dialogRequests[i].owner, editor->cmdBrowFile);
    }
}

TEST(OpenDialog, DirectoryFilterAndAnswerAreCleanedUp)
{
    const std::pair<QString, QString> paths[] = {
        {"", ""},          {"/a", ""},       {"  /a  ", ""},          {"abc", ""},
        {"C:\\x.wav", ""}, {"a/b/c", "a/b"}, {" /tmp/x.wav ", "/tmp"}};
    for (const auto &[path, folder] : paths)
        EXPECT_EQ(frmMsgEdit::DirectoryOfPath(path), folder) << path.toStdString();
    const QString sound = kSoundFilter.chopped(2);
    for (const QString &filter : {sound, sound + kNul, kSoundFilter})
        EXPECT_EQ(normalisedFilter(filter), kSoundFilter);
    EXPECT_EQ(filterPairs(normalisedFilter("a" + kNul + "*.a" + kNul + "b" + kNul + "*.b")),
              (QList<FilterPair>{{"a", "*.a"}, {"b", "*.b"}}));
    QList<OpenDialogRequest> seen;
    setOpenDialogResponderForTesting([&](const OpenDialogRequest &r) {
        seen << r;
        return "/tmp/a.wav" + kNul + "junk";
    });
    EXPECT_EQ(normalisedFilter("  "), "所有文件" + kNul + "*.*" + kNul + kNul);
    EXPECT_EQ(ShowOpenDialog(nullptr, "t", "no pattern", "/tmp", "x"), "/tmp/a.wav");
    setOpenDialogResponderForTesting({});
    ASSERT_EQ(seen.size(), 1);
    // Without any usable pair the dialog offers all files.
    EXPECT_EQ(seen[0].pairs, (QList<FilterPair>{{"所有文件", "*.*"}}));
    EXPECT_EQ(seen[0].initialDir + seen[0].defaultName, QStringLiteral("/tmpx"));
}

TEST(OpenDialog, TheRealDialogOpensInTheFolderAndCanBeCancelled)
{
    QTemporaryDir folder;
    QString seen;
    QTimer::singleShot(100, [&] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            seen = dialog->directory().absolutePath() + " " + dialog->nameFilters().join('|');
            dialog->reject();
        }
    });
    EXPECT_EQ(ShowOpenDialog(nullptr, "选择文件：", kSoundFilter, folder.path(), {}), QString());
    EXPECT_EQ(seen, QDir(folder.path()).absolutePath() + " 声音文件 (*.wav *.mid)");
}
} // namespace

int main(int argc, char **argv)
{
    return runWidgetTests(argc, argv);
}
