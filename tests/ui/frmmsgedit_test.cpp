// The alarm editor: its fields and their change chains, the commits into the
// table, the list and the data file, and the file chooser.
#include "datereader.h"
#include "editmode.h"
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
#include <QRadioButton>
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

// Built on use: the date conversion relies on constants of another unit.
AlarmItem januaryFirst()
{
    return makeItem(QStringLiteral("元旦"), kTrue, ShowMessage, {}, QStringLiteral("新年快乐"),
                    QDate(2000, 1, 1), QStringLiteral("00:00:00"), Yearly);
}
AlarmItem endOfJanuary()
{
    return makeItem(QStringLiteral("月底结账"), kFalse, RunFile, QStringLiteral("/usr/bin/true"),
                    {}, QDate(2000, 1, 31), QStringLiteral("07:05:09"), Monthly);
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
    QList<AlarmItem> savedItems() const
    {
        QList<AlarmItem> items;
        if (QFile::exists(DataFilePath()))
            EXPECT_TRUE(readItemsFile(DataFilePath(), &items));
        return items;
    }
    // The table, the list's rows and ticks, and the file agree with `expected`.
    void expectStored(const QList<AlarmItem> &expected)
    {
        EXPECT_EQ(AlarmItems.items(), expected);
        QStringList titles;
        QList<bool> enabled;
        for (const AlarmItem &item : expected) {
            titles << trimBlanks(item.Title);
            enabled << (item.Enabled != 0);
        }
        EXPECT_EQ(rowTexts(), titles);
        EXPECT_EQ(ticks(), enabled);
        EXPECT_EQ(savedItems(), expected);
    }

    QPointer<frmMsgEdit> editor;
    QList<OpenDialogRequest> dialogRequests;
    QString dialogAnswer;
};

// The toolkit behaviour every chain rests on.
TEST(ChangeSignals, FireOnlyOnRealChangesSynchronouslyAndNested)
{
    QLineEdit outer;
    QLineEdit inner;
    QStringList log;
    QObject::connect(&outer, &QLineEdit::textChanged, [&](const QString &text) {
        log << "outer:" + text;
        if (text == "0")
            outer.setText("1"); // the handler replaces its own text
        inner.setText(outer.text());
        log << "outer-after:" + outer.text();
    });
    QObject::connect(&inner, &QLineEdit::textChanged,
                     [&](const QString &t) { log << "inner:" + t; });
    outer.setText("5");
    outer.setText("5"); // the same text: no signal
    EXPECT_EQ(log, (QStringList{"outer:5", "inner:5", "outer-after:5"}));
    log.clear();
    outer.setText("0");
    EXPECT_EQ(log,
              (QStringList{"outer:0", "outer:1", "inner:1", "outer-after:1", "outer-after:1"}));
    outer.selectAll(); // the same while a person types into the box
    QTest::keyClicks(&outer, "0");
    EXPECT_EQ(inner.text(), "1");

    QScrollBar bar(Qt::Vertical);
    bar.setRange(0, 10);
    int changes = 0;
    QObject::connect(&bar, &QAbstractSlider::valueChanged, [&](int value) {
        ++changes;
        if (value == 7)
            bar.setValue(3);
    });
    bar.setValue(0);
    bar.setValue(7);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(bar.value(), 3);
    bar.setValue(99); // clamped to the range, never beyond it
    EXPECT_EQ(bar.value(), 10);
}

TEST_F(EditorTest, IsBuiltAsLaidOut)
{
    openEditor({});
    EXPECT_EQ(editor->size(), QSize(371, 286));
    EXPECT_EQ(editor->minimumSize(), editor->maximumSize());
    EXPECT_FALSE(editor->isModal());
    const QStringList captions = {"标题：", "日期：", "时间：", "处理：", "信息：",
                                  "状态：", "响应：", "文件：", "年",     "月",
                                  "日",     "时",     "分",     "秒",     "启用"};
    QStringList shown;
    for (QLabel *label : editor->Label1)
        shown << label->text();
    for (QLabel *label : editor->Label2)
        shown << label->text();
    shown << editor->Check1->text();
    EXPECT_EQ(shown, captions);
    EXPECT_EQ(editor->cmdMsgEditUti[0]->text(), QStringLiteral("确定并返回(&S)"));
    EXPECT_EQ(editor->cmdMsgEditUti[1]->text(), QStringLiteral("确定并继续(&R)"));
    EXPECT_EQ(editor->cmdMsgEditUti[2]->text(), QStringLiteral("取消并返回(&C)"));
    const int ranges[6][3] = {{0, 9999, 4}, {1, 12, 2}, {1, 31, 2},
                              {0, 23, 2},   {0, 59, 2}, {0, 59, 2}};
    for (int i = 0; i < 6; ++i) {
        QScrollBar *spinner = i < 3 ? editor->VScrollDate[i] : editor->VScrollTime[i - 3];
        QLineEdit *box = i < 3 ? editor->txtDate[i] : editor->txtTime[i - 3];
        EXPECT_EQ(QList<int>({spinner->minimum(), spinner->maximum(), box->maxLength()}),
                  QList<int>({ranges[i][0], ranges[i][1], ranges[i][2]}));
    }
    ASSERT_EQ(editor->Combo1->count(), 7);
    EXPECT_EQ(editor->Combo1->itemText(6), QStringLiteral("6 - 半点(按半点不理日期时间)"));
    ASSERT_EQ(editor->comboWhatToDo->count(), 5);
    EXPECT_EQ(editor->comboWhatToDo->itemText(4), QStringLiteral("4 - 关闭电脑"));
}

TEST_F(EditorTest, KeyboardTabsInOrderSelectsNumbersAndPressesNoButton)
{
    openEditor({});
    const QList<QWidget *> order = {
        editor->txtDate[0],       editor->txtDate[1],       editor->txtDate[2],
        editor->txtTime[0],       editor->txtTime[1],       editor->txtTime[2],
        editor->Combo1,           editor->txtFedMessage,    editor->Check1,
        editor->txtFed[1],        editor->txtFed[2],        editor->cmdMsgEditUti[0],
        editor->cmdMsgEditUti[1], editor->cmdMsgEditUti[2], editor->comboWhatToDo};
    QWidget *w = editor->txtFed[0];
    for (QWidget *next : order) {
        do
            w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || !w->isVisible() || w->focusProxy() ||
               !w->isEnabled());
        EXPECT_EQ(w->objectName(), next->objectName());
    }
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
    QTest::keyClicks(editor->txtDate[0], QStringLiteral("2031"));
    EXPECT_EQ(editor->txtDate[0]->text(), QStringLiteral("2031"));
}

// Each row starts from 2000/05/15 07:05:09, written into the composed fields.
TEST_F(EditorTest, BoxesKeepToTheirRangesAndTheComposedFieldsFollow)
{
    struct Row
    {
        bool date;
        int box;
        QString before, typed, shown, composed;
    };
    const Row rows[] = {
        {true, 1, {}, "", "1", "2000/01/15"}, // an emptied box
        {true, 1, {}, "13", "12", "2000/12/15"},
        {true, 1, {}, "0", "1", "2000/01/15"},
        {true, 1, {}, "x", "1", "2000/01/15"},
        {true, 1, {}, "05", "05", "2000/05/15"}, // the spinner already held 5
        {true, 2, {}, "32", "31", "2000/05/31"},
        {true, 2, {}, "0", "1", "2000/05/01"}, // the nested chain: 0, then 1
        {true, 0, {}, "1e10", "9999", "9999/05/15"},
        {true, 0, {}, "-5", "0", "0000/05/15"},
        {true, 0, {}, "26", "26", "0026/05/15"}, // the year 26; the commit makes it today
        {false, 0, {}, "24", "23", "23:05:09"},
        {false, 1, {}, "60", "59", "07:59:09"},
        {false, 2, {}, "99", "59", "07:05:59"},
        {false, 1, {}, "-5", "0", "07:00:09"},
        {false, 2, {}, "", "0", "07:05:00"},
        {false, 1, "0", "00", "00", "07:00:09"}, // the spinner already held 0
        {false, 2, "", "a", "a", "07:05:00"},
    };
    openEditor({endOfJanuary()}, 0);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed.toStdString() + " into box " + std::to_string(row.box));
        editor->setFedText(1, QStringLiteral("2000/05/15"));
        editor->setFedText(2, QStringLiteral("07:05:09"));
        QLineEdit *box = (row.date ? editor->txtDate : editor->txtTime)[size_t(row.box)];
        QScrollBar *spinner =
            (row.date ? editor->VScrollDate : editor->VScrollTime)[size_t(row.box)];
        QLineEdit *composed = editor->txtFed[row.date ? 1 : 2];
        if (!row.before.isNull())
            enter(box, row.before);
        const QString composedBefore = composed->text();
        QStringList history;
        QObject scope;
        QObject::connect(composed, &QLineEdit::textChanged, &scope,
                         [&](const QString &text) { history << text; });
        enter(box, row.typed);
        EXPECT_EQ(box->text(), row.shown);
        EXPECT_EQ(spinner->value(), wholeNumberValue(row.shown));
        EXPECT_EQ(composed->text(), row.composed);
        // One change of the composed field at most: no passing values.
        EXPECT_EQ(history,
                  row.composed == composedBefore ? QStringList() : QStringList{row.composed});
    }
}

TEST_F(EditorTest, TypingRunsTheChainAtEachKeystroke)
{
    openEditor({endOfJanuary()}, 0);
    QStringList composed;
    QObject scope;
    QObject::connect(editor->txtFed[1], &QLineEdit::textChanged, &scope,
                     [&](const QString &text) { composed << text; });
    editor->txtDate[0]->setFocus();
    editor->txtDate[0]->selectAll();
    QTest::keyClicks(editor->txtDate[0], QStringLiteral("2031"));
    EXPECT_EQ(composed, (QStringList{"0002/01/31", "0020/01/31", "0203/01/31", "2031/01/31"}));
    // The caret stands after a text a rule has replaced, so typing goes on there.
    QLineEdit *day = editor->txtDate[2];
    day->setFocus();
    day->selectAll();
    QTest::keyClicks(day, QStringLiteral("45"));
    EXPECT_EQ(day->text(), QStringLiteral("31"));
    EXPECT_EQ(day->cursorPosition(), 2);
}

TEST_F(EditorTest, SpinnersStepToNonExistentDatesAndStopAtTheirLimits)
{
    openEditor({endOfJanuary()}, 0);
    clickArrow(editor->VScrollDate[1], true);
    EXPECT_EQ(textsOf(editor->txtDate), (QStringList{"2000", "2", "31"}));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2000/02/31"));
    clickArrow(editor->VScrollDate[1], false);
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2000/01/31"));

    editor->setFedText(1, QStringLiteral("9999/12/31"));
    editor->setFedText(2, QStringLiteral("23:59:00"));
    for (QScrollBar *up : {editor->VScrollDate[0], editor->VScrollDate[1], editor->VScrollDate[2],
                           editor->VScrollTime[0], editor->VScrollTime[1]})
        clickArrow(up, true);
    clickArrow(editor->VScrollTime[2], false);
    EXPECT_EQ(valuesOf(editor->VScrollDate) + valuesOf(editor->VScrollTime),
              (QList<int>{9999, 12, 31, 23, 59, 0}));
    EXPECT_EQ(editor->fedText(2), QStringLiteral("23:59:00"));
    clickArrow(editor->VScrollTime[0], false);
    EXPECT_EQ(editor->txtTime[0]->text(), QStringLiteral("22"));
    // Holding an arrow repeats the step.
    QScrollBar *minute = editor->VScrollTime[1];
    const QPoint down(minute->width() / 2, minute->height() - 3);
    QTest::mousePress(minute, Qt::LeftButton, {}, down);
    QTest::qWait(700);
    QTest::mouseRelease(minute, Qt::LeftButton, {}, down);
    EXPECT_LT(minute->value(), 58);
    EXPECT_EQ(editor->txtTime[1]->text(), QString::number(minute->value()));
}

TEST_F(EditorTest, WrittenFieldsReachTheBoxesCheckBoxAndCombos)
{
    openEditor({});
    // The time of opening was written into empty boxes: all three are filled.
    EXPECT_EQ(textsOf(editor->txtTime), (QStringList{"14", "30", "25"}));
    EXPECT_EQ(valuesOf(editor->VScrollDate), (QList<int>{2026, 12, 6}));
    enter(editor->txtDate[1], QStringLiteral("2"));
    enter(editor->txtDate[2], QStringLiteral("31"));
    editor->setFedText(1, QStringLiteral("1999/12/05")); // over a date that does not exist
    EXPECT_EQ(textsOf(editor->txtDate), (QStringList{"1999", "12", "5"}));
    EXPECT_EQ(valuesOf(editor->VScrollDate), (QList<int>{1999, 12, 5}));
    editor->setFedText(2, QStringLiteral("09:15:00"));
    EXPECT_EQ(textsOf(editor->txtTime), (QStringList{"9", "15", "0"}));
    // Empty codes and composed fields change nothing else.
    for (int i : {1, 2, 3, 6})
        editor->setFedText(i, QString());
    EXPECT_EQ(textsOf(editor->txtDate) + textsOf(editor->txtTime),
              (QStringList{"1999", "12", "5", "9", "15", "0"}));
    EXPECT_EQ(editor->Combo1->currentIndex(), 0);
    // The Enabled field and the check box.
    for (const auto &[text, checked] : std::vector<std::pair<QString, bool>>{
             {"-1", true}, {"", false}, {"1", true}, {"0", false}}) {
        editor->setFedText(5, text);
        EXPECT_EQ(editor->Check1->isChecked(), checked) << text.toStdString();
    }
    editor->Check1->click();
    EXPECT_EQ(editor->fedText(5), QStringLiteral("1"));
    // A digit typed into the repeat combo picks that kind.
    QLineEdit *comboText = editor->Combo1->lineEdit();
    comboText->setFocus();
    comboText->selectAll();
    QTest::keyClicks(comboText, QStringLiteral("3"));
    EXPECT_EQ(editor->Combo1->currentText(), QStringLiteral("3 - 每月(按日期的月份及时间)"));
    EXPECT_EQ(editor->fedText(3), QStringLiteral("3"));
    EXPECT_EQ(editor->Combo1->count(), 7);
}

TEST_F(EditorTest, OnlySoundAndRunActionsTakeAFile)
{
    openEditor({});
    editor->setFedText(7, QStringLiteral("/tmp/tune.mid"));
    for (int action : {1, 2, 0, 3, 4, 2, 3}) {
        editor->comboWhatToDo->setCurrentIndex(action);
        emit editor->comboWhatToDo->activated(action);
        const bool needsFile = action == 1 || action == 2;
        EXPECT_EQ(editor->txtFed[7]->isEnabled(), needsFile) << action;
        EXPECT_EQ(editor->cmdBrowFile->isEnabled(), needsFile) << action;
        EXPECT_EQ(editor->txtFed[7]->palette().color(QPalette::Base),
                  needsFile ? QColor(Qt::white) : editor->palette().color(QPalette::Window));
        EXPECT_EQ(editor->fedText(6), QString::number(action));
    }
    editor->txtFed[0]->setText(QStringLiteral("关机"));
    press(0);
    ASSERT_EQ(AlarmItems.count(), 1);
    EXPECT_EQ(AlarmItems.item(1).Action, Restart);
    EXPECT_EQ(AlarmItems.item(1).FilePath, QStringLiteral("/tmp/tune.mid")); // kept, not used
}

TEST_F(EditorTest, AnyInputEndsWithTheFieldsInLine)
{
    const QStringList nasty = {"",       " ",     "-",    "+",  ".",    "1e400", "-1e400",
                               "&HFFFF", "&O777", "9999", "0",  "00",   "31",    "abc",
                               "3.5",    "2.5",   "1 2",  "\t", "１２", "😀",     "-0",
                               "1e-400", "99",    "60",   "24", "-5"};
    const QStringList composedOnly = {"2024/02/30", "0000/00/00", "9999/12/31", "100/1/1",
                                      "2024-13-01", " 2024/2/3 ", "25:00:00",   "7 PM",
                                      "23:59:59",   "::",         "7:30",       "&H3"};
    openEditor({endOfJanuary()}, 0);
    const auto values = [](const std::array<QLineEdit *, 3> &boxes) {
        return QList<int>{wholeNumberValue(boxes[0]->text()), wholeNumberValue(boxes[1]->text()),
                          wholeNumberValue(boxes[2]->text())};
    };
    for (const QString &text : nasty) {
        for (int i = 0; i < 6; ++i) {
            QLineEdit *box = i < 3 ? editor->txtDate[i] : editor->txtTime[i - 3];
            QScrollBar *spinner = i < 3 ? editor->VScrollDate[i] : editor->VScrollTime[i - 3];
            enter(box, text);
            const std::string what = box->objectName().toStdString() + " <- " + text.toStdString();
            const int value = wholeNumberValue(box->text());
            EXPECT_GE(value, spinner->minimum()) << what;
            EXPECT_LE(value, spinner->maximum()) << what;
            if (box->text() != text || spinner->value() != 0)
                EXPECT_EQ(spinner->value(), value) << what;
            const QList<int> d = values(editor->txtDate), t = values(editor->txtTime);
            EXPECT_EQ(editor->fedText(1), QString::asprintf("%04d/%02d/%02d", d[0], d[1], d[2]))
                << what;
            EXPECT_EQ(editor->fedText(2), QString::asprintf("%02d:%02d:%02d", t[0], t[1], t[2]))
                << what;
        }
    }
    // A composed field keeps what is written into it; a readable one reaches the boxes.
    for (const QString &text : nasty + composedOnly) {
        for (int i : {1, 2, 3, 5, 6})
            editor->setFedText(i, text);
        editor->Combo1->setEditText(text);
        editor->comboWhatToDo->setEditText(text);
        const QDate date = readDate(editor->fedText(1));
        if (date.isValid())
            EXPECT_EQ(values(editor->txtDate), (QList<int>{date.year(), date.month(), date.day()}))
                << text.toStdString();
        const int s = readTimeOfDay(editor->fedText(2));
        if (s >= 0)
            EXPECT_EQ(values(editor->txtTime), (QList<int>{s / 3600, s / 60 % 60, s % 60}))
                << text.toStdString();
    }
    editor->txtFed[0]->setText(QStringLiteral("杂项"));
    press(0);
    ASSERT_EQ(AlarmItems.count(), 1);
    EXPECT_TRUE(dateOfOle(AlarmItems.item(1).AlarmDate).isValid());
    EXPECT_GE(secondsOfExactTime(AlarmItems.item(1).AlarmTime), 0);
    EXPECT_EQ(savedItems(), AlarmItems.items());
}

TEST_F(EditorTest, AddingStoresTheFieldsAtTheTimeOfOpeningAndClosesTheEditor)
{
    openEditor({januaryFirst()});
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("新增闹钟项目"));
    EXPECT_FALSE(setup->isEnabled());
    editor->txtFed[0]->setText(QStringLiteral("  喝水  "));
    clock.advanceMs(5 * 60 * 1000); // the time stored is the time of opening
    setup->lblWhatToDo->setText(QStringLiteral("旧的说明"));
    press(0);
    EXPECT_TRUE(user.asked.empty());
    expectStored({januaryFirst(), makeItem(QStringLiteral("喝水"), kFalse, ShowMessage, {}, {},
                                           QDate(2026, 12, 6), QStringLiteral("14:30:25"))});
    EXPECT_TRUE(setup->lblWhatToDo->text().isEmpty());
    flushDeletes();
    EXPECT_FALSE(editor);
    EXPECT_TRUE(setup->isEnabled());
    EXPECT_EQ(buttonStates(), (QList<bool>{true, false, false, true, true, true}));
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
    const AlarmItem first =
        makeItem(QStringLiteral("起床"), kTrue, SoundAndMessage, QStringLiteral("/tmp/wake.wav"),
                 QStringLiteral("该起床了"), QDate(2026, 12, 9), QStringLiteral("06:30:25"), Daily);
    expectStored({first});
    ASSERT_TRUE(editor && editor->isVisible());
    EXPECT_FALSE(setup->isEnabled());
    EXPECT_TRUE(editor->fedText(0).isEmpty());
    EXPECT_TRUE(editor->fedText(4).isEmpty());
    EXPECT_EQ(editor->Combo1->currentIndex(), 0);
    EXPECT_FALSE(editor->Check1->isChecked());
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2026/12/07"));
    EXPECT_EQ(editor->fedText(2), QStringLiteral("08:00:01"));
    editor->txtFed[0]->setText(QStringLiteral("第二项"));
    press(1);
    press(2); // cancelling afterwards keeps both
    expectStored({first, makeItem(QStringLiteral("第二项"), kFalse, SoundAndMessage,
                                  QStringLiteral("/tmp/wake.wav"), {}, QDate(2026, 12, 7),
                                  QStringLiteral("08:00:01"))});
    EXPECT_TRUE(setup->isEnabled());
}

TEST_F(EditorTest, EditingWithoutChangesStoresTheSameValues)
{
    AlarmItem damaged = endOfJanuary(); // codes out of range, from a damaged file
    damaged.RepeatKind = 7;
    damaged.Action = 12;
    const QList<AlarmItem> items = {
        januaryFirst(),
        endOfJanuary(),
        makeItem("半点", kTrue, SoundAndMessage, "/tmp/a.wav", "提醒", QDate(1999, 12, 1),
                 "23:59:59", HalfPast),
        makeItem("关机", kFalse, ShutDown, {}, {}, QDate(2030, 2, 28), "12:00:00"),
        makeItem("早", kTrue, Restart, {}, {}, QDate(2024, 2, 29), "00:00:01", Weekly),
        damaged,
    };
    for (int row = 0; row < items.size(); ++row) {
        SCOPED_TRACE(row);
        openEditor(items, row);
        EXPECT_EQ(editor->windowTitle(), QStringLiteral("编辑闹钟项目"));
        EXPECT_FALSE(editor->cmdMsgEditUti[1]->isVisible());
        press(0);
        expectStored(items);
    }
    // A blank time opens as midnight, in the table at once.
    AlarmItem blankTime = januaryFirst();
    blankTime.AlarmTime = QStringLiteral("        ");
    openEditor({blankTime}, 0);
    EXPECT_EQ(textsOf(editor->txtTime), (QStringList{"0", "0", "0"}));
    EXPECT_EQ(AlarmItems.item(1), januaryFirst());
}

TEST_F(EditorTest, EditingStoresTheChangedFieldsIntoTheRow)
{
    openEditor({januaryFirst(), endOfJanuary()}, 1);
    EXPECT_EQ(textsOf(editor->txtDate) + textsOf(editor->txtTime),
              (QStringList{"2000", "1", "31", "7", "5", "9"}));
    EXPECT_EQ(editor->comboWhatToDo->currentText(), QStringLiteral("2 - 运行程序"));
    editor->txtFed[0]->setText(QStringLiteral("月初结账"));
    editor->Check1->setChecked(true);
    enter(editor->txtDate[2], QStringLiteral("1"));
    enter(editor->txtTime[0], QStringLiteral("0"));
    press(0);
    AlarmItem changed = makeItem(QStringLiteral("月初结账"), kTrue, RunFile, "/usr/bin/true", {},
                                 QDate(2000, 1, 1), QStringLiteral("00:05:09"), Monthly);
    expectStored({januaryFirst(), changed});
}

TEST_F(EditorTest, CommitPutsTodayForADateThatDoesNotExistAndMidnightForNoTime)
{
    openEditor({endOfJanuary()}, 0);
    enter(editor->txtDate[1], QStringLiteral("4"));
    ASSERT_EQ(editor->fedText(1), QStringLiteral("2000/04/31"));
    press(0);
    EXPECT_EQ(dateOfOle(AlarmItems.item(1).AlarmDate), QDate(2026, 12, 6));

    openEditor({});
    editor->txtFed[0]->setText(QStringLiteral("午夜"));
    editor->Check1->setChecked(true);
    editor->setFedText(2, QString());
    press(0);
    EXPECT_EQ(AlarmItems.item(1).AlarmTime, QStringLiteral("00:00:00"));
    EXPECT_EQ(AlarmItems.item(1).Enabled, kFalse); // a blank time also leaves it off
    EXPECT_TRUE(user.asked.empty());
}

TEST_F(EditorTest, BlankTitleAndFullTableAreRefusedWithTheEditorKept)
{
    openEditor({januaryFirst()});
    editor->txtFed[0]->setText(QStringLiteral("    "));
    press(0);
    press(1);
    ASSERT_EQ(user.asked.size(), 2u);
    for (const MessageRequest &asked : user.asked) {
        EXPECT_EQ(asked.title, QStringLiteral("缺少标题"));
        EXPECT_EQ(asked.text, QStringLiteral("至少总该定个标题吧！"));
        EXPECT_EQ(asked.icon, MsgIcon::Exclamation);
    }
    EXPECT_EQ(AlarmItems.count(), 1);
    EXPECT_FALSE(QFile::exists(DataFilePath()));

    user.asked.clear();
    QList<AlarmItem> full(kMaxItems, januaryFirst());
    openEditor(full);
    editor->txtFed[0]->setText(QStringLiteral("多一项"));
    press(1);
    press(0);
    ASSERT_EQ(user.asked.size(), 2u);
    EXPECT_EQ(user.asked[0].title, QStringLiteral("一般提示"));
    EXPECT_TRUE(user.asked[0].text.contains(QStringLiteral("32767")));
    EXPECT_EQ(AlarmItems.count(), kMaxItems);
    EXPECT_EQ(setup->lstAlm->count(), kMaxItems);
    EXPECT_FALSE(QFile::exists(DataFilePath()));
    ASSERT_TRUE(editor && editor->isVisible());
    EXPECT_EQ(editor->fedText(0), QStringLiteral("多一项"));
    press(2); // an item of a full table can still be edited
    openEditor(full, kMaxItems - 1);
    editor->txtFed[0]->setText(QStringLiteral("最后一项"));
    press(0);
    EXPECT_EQ(AlarmItems.item(kMaxItems).Title, QStringLiteral("最后一项"));
    EXPECT_EQ(setup->lstAlm->item(kMaxItems - 1)->text(), QStringLiteral("最后一项"));
}

TEST_F(EditorTest, CancelAndClosingStoreNothing)
{
    openEditor({januaryFirst()}, 0);
    editor->txtFed[0]->setText(QStringLiteral("改了"));
    press(2);
    setup->cmdAlm_Click(0);
    editor = findEditor();
    ASSERT_TRUE(editor);
    editor->txtFed[0]->setText(QStringLiteral("新的"));
    editor->close();
    flushDeletes();
    EXPECT_FALSE(editor);
    EXPECT_TRUE(setup->isEnabled());
    EXPECT_EQ(AlarmItems.items(), QList<AlarmItem>{januaryFirst()});
    EXPECT_EQ(setup->lstAlm->count(), 1);
    EXPECT_FALSE(QFile::exists(DataFilePath()));
}

TEST_F(EditorTest, TheMessageTakesAtMost120Characters)
{
    openEditor({});
    const QString full = QString(118, QLatin1Char('a')) + QStringLiteral("bc");
    editor->txtFedMessage->setFocus();
    QTest::keyClicks(editor->txtFedMessage, QString(118, QLatin1Char('a')) + "bcd");
    EXPECT_EQ(editor->fedText(4), full);
    editor->txtFedMessage->moveCursor(QTextCursor::Start);
    QTest::keyClicks(editor->txtFedMessage, QStringLiteral("X"));
    EXPECT_EQ(editor->fedText(4), full);
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
    for (const QString &answer : {QString(), QStringLiteral("   ")}) {
        dialogAnswer = answer;
        editor->cmdBrowFile->click();
    }
    EXPECT_EQ(editor->fedText(7), QStringLiteral("/no/such/folder/x.exe"));
    ASSERT_EQ(dialogRequests.size(), 4);
    const QList<FilterPair> all = {{"所有文件(*.*)", "*.*"}};
    const QList<std::tuple<QString, QString, QList<FilterPair>>> expected = {
        {"选择文件：", "", {{"声音文件(*.wav; *.mid)", "*.wav;*.mid"}}},
        {"选择文件：" + dir.path(), dir.path(), all},
        {"选择文件：", "", all},
        {"选择文件：", "", all}};
    for (int i = 0; i < 4; ++i) {
        const auto &[title, folder, pairs] = expected[i];
        EXPECT_EQ(dialogRequests[i].title, title) << i;
        EXPECT_EQ(dialogRequests[i].initialDir, folder) << i;
        EXPECT_EQ(dialogRequests[i].pairs, pairs) << i;
        EXPECT_EQ(dialogRequests[i].selectedPair, 0);
        EXPECT_EQ(dialogRequests[i].owner, editor->cmdBrowFile);
        EXPECT_TRUE(dialogRequests[i].defaultName.isEmpty());
    }
    EXPECT_EQ(dialogRequests[0].filter, kSoundFilter);
}

TEST(DirectoryOfPath, GivesThePartBeforeTheLastSeparator)
{
    const std::pair<QString, QString> rows[] = {{"", ""},
                                                {"/a", ""},
                                                {"  /a  ", ""},
                                                {"abc", ""},
                                                {"C:\\x.wav", ""},
                                                {"a/b/c", "a/b"},
                                                {"/tmp/x.wav", "/tmp"},
                                                {"/x.wav", ""},
                                                {" /home/u/音乐/闹铃.mid ", "/home/u/音乐"}};
    for (const auto &[path, folder] : rows)
        EXPECT_EQ(frmMsgEdit::DirectoryOfPath(path), folder) << path.toStdString();
}

TEST(OpenDialog, NormalisesTheFilterAndCutsTheAnswerAtTheFirstNul)
{
    const QString sound = kSoundFilter.chopped(2);
    for (const QString &filter : {sound, sound + kNul, sound + kNul + kNul})
        EXPECT_EQ(normalisedFilter(filter), kSoundFilter);
    const QString all = "所有文件" + kNul + "*.*" + kNul + kNul;
    EXPECT_EQ(normalisedFilter(QStringLiteral("   ")), all);
    EXPECT_EQ(filterPairs(normalisedFilter("a" + kNul + "*.a" + kNul + "b" + kNul + "*.b")),
              (QList<FilterPair>{{"a", "*.a"}, {"b", "*.b"}}));

    QList<OpenDialogRequest> seen;
    setOpenDialogResponderForTesting([&](const OpenDialogRequest &r) {
        seen << r;
        return "/tmp/a.wav" + kNul + "junk";
    });
    EXPECT_EQ(ShowOpenDialog(nullptr, "t", "no pattern", "/tmp", "x"), "/tmp/a.wav");
    setOpenDialogResponderForTesting({});
    ASSERT_EQ(seen.size(), 1);
    // Without any usable pair the dialog offers all files.
    EXPECT_EQ(seen[0].pairs, (QList<FilterPair>{{"所有文件", "*.*"}}));
    EXPECT_EQ(seen[0].initialDir, QStringLiteral("/tmp"));
    EXPECT_EQ(seen[0].defaultName, QStringLiteral("x"));
}

TEST(OpenDialog, TheRealDialogOpensInTheFolderAndCanBeCancelled)
{
    QTemporaryDir folder;
    QString seenFolder;
    QStringList seenFilters;
    QTimer::singleShot(100, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seenFolder = dialog->directory().absolutePath();
        seenFilters = dialog->nameFilters();
        dialog->reject();
    });
    EXPECT_EQ(
        ShowOpenDialog(nullptr, "选择文件：" + folder.path(), kSoundFilter, folder.path(), {}),
        QString());
    EXPECT_EQ(seenFolder, QDir(folder.path()).absolutePath());
    EXPECT_EQ(seenFilters, (QStringList{"声音文件 (*.wav *.mid)"}));
}
} // namespace

int main(int argc, char **argv)
{
    return runWidgetTests(argc, argv);
}
