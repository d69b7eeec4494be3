// The alarm editor: its fields and their change chains, the commits into the
// table, the list and the data file, and the file chooser.
#include "alarmtable.h"
#include "clock.h"
#include "datafile.h"
#include "datereader.h"
#include "editmode.h"
#include "frmmain.h"
#include "frmmsgedit.h"
#include "frmmsgedit_spinner.h"
#include "frmsetup.h"
#include "messagegate.h"
#include "module_ovifiledlg.h"
#include "numbervalue.h"
#include "testclock.h"
#include "timeofday.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failure messages.
void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString kNul(QChar(u'\0'));

AlarmItem makeItem(const QString &title, const QDate &date, const QString &time, qint16 kind,
                   qint16 enabled, qint16 action = ShowMessage, const QString &path = {},
                   const QString &message = {})
{
    AlarmItem item;
    item.Title = title;
    item.AlarmDate = oleDateOf(date);
    item.AlarmTime = time;
    item.RepeatKind = kind;
    item.Message = message;
    item.Enabled = enabled;
    item.Action = action;
    item.FilePath = path;
    return item;
}

// Records every text a line edit takes.
struct TextHistory
{
    explicit TextHistory(QLineEdit *edit)
    {
        QObject::connect(edit, &QLineEdit::textChanged, edit,
                         [this](const QString &text) { texts.append(text); });
    }
    QStringList texts;
};

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setDataFilePath(dir.filePath(QStringLiteral("MSGINI.DDT")));
        setMessageResponderForTesting([this](const MessageRequest &request) {
            requests.append(request);
            return MsgAnswer::Ok;
        });
        setOpenDialogResponderForTesting([this](const OpenDialogRequest &request) {
            dialogRequests.append(request);
            return dialogAnswer;
        });
        AlarmItems.clear();
        main = std::make_unique<frmMain>();
    }

    void TearDown() override
    {
        if (editor)
            editor->close();
        if (setup)
            setup->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete setup.data();
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setMessageResponderForTesting({});
        setOpenDialogResponderForTesting({});
        AlarmItems.clear();
    }

    void openList(const QList<AlarmItem> &items)
    {
        AlarmItems.replaceAll(items);
        setup = new frmSetup(*main);
        setup->show();
    }

    // Opens the editor from the list dialog's add button.
    void openForAdding(const QList<AlarmItem> &items = {})
    {
        openList(items);
        setup->cmdAlm_Click(0);
        editor = findEditor();
    }

    // Opens the editor on the item of the given row, from the edit button.
    void openForEditing(const QList<AlarmItem> &items, int row)
    {
        openList(items);
        setup->lstAlm->setCurrentRow(row);
        setup->cmdAlm_Click(2);
        editor = findEditor();
    }

    static frmMsgEdit *findEditor()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *e = qobject_cast<frmMsgEdit *>(w);
            if (e && e->isVisible())
                return e;
        }
        return nullptr;
    }

    QStringList dateBoxes() const
    {
        return {editor->txtDate[0]->text(), editor->txtDate[1]->text(), editor->txtDate[2]->text()};
    }
    QStringList timeBoxes() const
    {
        return {editor->txtTime[0]->text(), editor->txtTime[1]->text(), editor->txtTime[2]->text()};
    }
    QList<int> dateSpinners() const
    {
        return {editor->VScrollDate[0]->value(), editor->VScrollDate[1]->value(),
                editor->VScrollDate[2]->value()};
    }
    QList<int> timeSpinners() const
    {
        return {editor->VScrollTime[0]->value(), editor->VScrollTime[1]->value(),
                editor->VScrollTime[2]->value()};
    }
    void clickUp(QScrollBar *spinner)
    {
        QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(spinner->width() / 2, 2));
    }
    void clickDown(QScrollBar *spinner)
    {
        QTest::mouseClick(spinner, Qt::LeftButton, {},
                          QPoint(spinner->width() / 2, spinner->height() - 3));
    }
    // Replaces the whole text of a box in one edit, as pasting over it does.
    void enter(QLineEdit *box, const QString &text)
    {
        box->setFocus();
        box->selectAll();
        box->insert(text);
    }
    void press(int index) { editor->cmdMsgEditUti[size_t(index)]->click(); }

    QList<AlarmItem> savedItems() const
    {
        QList<AlarmItem> items;
        if (!QFile::exists(DataFilePath()))
            return items;
        EXPECT_TRUE(readItemsFile(DataFilePath(), &items));
        return items;
    }
    QStringList rowTexts() const
    {
        QStringList texts;
        for (int row = 0; row < setup->lstAlm->count(); ++row)
            texts.append(setup->lstAlm->item(row)->text());
        return texts;
    }
    QList<bool> ticks() const
    {
        QList<bool> result;
        for (int row = 0; row < setup->lstAlm->count(); ++row)
            result.append(setup->lstAlm->item(row)->checkState() == Qt::Checked);
        return result;
    }

    TestClock clock{at(2026, 12, 6, 14, 30, 25)};
    QTemporaryDir dir;
    std::unique_ptr<frmMain> main;
    QPointer<frmSetup> setup;
    QPointer<frmMsgEdit> editor;
    QList<MessageRequest> requests;
    QList<OpenDialogRequest> dialogRequests;
    QString dialogAnswer;
};

// Built on use: the date conversion relies on constants of another unit.
AlarmItem januaryFirst()
{
    return makeItem(QStringLiteral("元旦"), QDate(2000, 1, 1), QStringLiteral("00:00:00"), Yearly,
                    kTrue, ShowMessage, {}, QStringLiteral("新年快乐"));
}
AlarmItem endOfJanuary()
{
    return makeItem(QStringLiteral("月底结账"), QDate(2000, 1, 31), QStringLiteral("07:05:09"),
                    Monthly, kFalse, RunFile, QStringLiteral("/usr/bin/true"));
}

// ---------------------------------------------------------------------------
// The toolkit behaviour every chain rests on.

TEST(ChangeSignals, FireOnlyOnRealChangesSynchronouslyAndNested)
{
    QLineEdit outer;
    QLineEdit inner;
    QStringList log;
    QObject::connect(&outer, &QLineEdit::textChanged, [&](const QString &text) {
        log << QStringLiteral("outer:") + text;
        if (text == QLatin1String("0"))
            outer.setText(QStringLiteral("1")); // the handler replaces its own text
        inner.setText(outer.text());
        log << QStringLiteral("outer-after:") + outer.text();
    });
    QObject::connect(&inner, &QLineEdit::textChanged,
                     [&](const QString &text) { log << QStringLiteral("inner:") + text; });

    outer.setText(QStringLiteral("5"));
    EXPECT_EQ(log, (QStringList{"outer:5", "inner:5", "outer-after:5"}));
    log.clear();
    outer.setText(QStringLiteral("5"));
    EXPECT_TRUE(log.isEmpty());

    outer.setText(QStringLiteral("0"));
    EXPECT_EQ(log,
              (QStringList{"outer:0", "outer:1", "inner:1", "outer-after:1", "outer-after:1"}));
    EXPECT_EQ(outer.text(), QStringLiteral("1"));

    // The same while a person types into the box.
    log.clear();
    outer.selectAll();
    QTest::keyClicks(&outer, QStringLiteral("0"));
    EXPECT_EQ(outer.text(), QStringLiteral("1"));
    EXPECT_EQ(inner.text(), QStringLiteral("1"));

    QScrollBar bar(Qt::Vertical);
    bar.setRange(0, 10);
    int changes = 0;
    QObject::connect(&bar, &QAbstractSlider::valueChanged, [&](int value) {
        ++changes;
        if (value == 7)
            bar.setValue(3);
    });
    bar.setValue(0);
    EXPECT_EQ(changes, 0);
    bar.setValue(7);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(bar.value(), 3);
    bar.setValue(99); // clamped to the range, never beyond it
    EXPECT_EQ(bar.value(), 10);

    QCheckBox box;
    int toggles = 0;
    QObject::connect(&box, &QCheckBox::toggled, [&] { ++toggles; });
    box.setChecked(false);
    EXPECT_EQ(toggles, 0);
    box.setChecked(true);
    EXPECT_EQ(toggles, 1);
}

// ---------------------------------------------------------------------------
// The form.

TEST_F(EditorTest, IsBuiltAsLaidOut)
{
    openForAdding();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("新增闹钟项目"));
    EXPECT_EQ(editor->size(), QSize(371, 286));
    EXPECT_EQ(editor->minimumSize(), editor->maximumSize());
    EXPECT_EQ(editor->parentWidget(), nullptr);
    EXPECT_FALSE(editor->isModal());
    EXPECT_TRUE(editor->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(editor->windowIcon().cacheKey(), setup->windowIcon().cacheKey());

    const QStringList captions = {"标题：", "日期：", "时间：", "处理：",
                                  "信息：", "状态：", "响应：", "文件："};
    for (int i = 0; i < 8; ++i) {
        auto *label = editor->findChild<QLabel *>(QStringLiteral("Label1_%1").arg(i));
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(), captions[i]);
        EXPECT_EQ(label->x(), 26);
    }
    EXPECT_EQ(editor->txtFed[0]->geometry(), QRect(62, 8, 275, 19));
    EXPECT_EQ(editor->txtFed[0]->maxLength(), 40);
    EXPECT_EQ(editor->txtFed[1]->geometry(), QRect(62, 30, 75, 19));
    EXPECT_EQ(editor->txtFedMessage->geometry(), QRect(62, 98, 275, 45));
    EXPECT_EQ(editor->txtFed[7]->geometry(), QRect(62, 204, 243, 19));
    EXPECT_EQ(editor->cmdBrowFile->geometry(), QRect(306, 204, 29, 19));
    EXPECT_EQ(editor->cmdBrowFile->toolTip(), QStringLiteral("浏览"));
    EXPECT_EQ(editor->Combo1->geometry(), QRect(62, 74, 275, 20));
    EXPECT_EQ(editor->Check1->text(), QStringLiteral("启用"));
    EXPECT_EQ(editor->cmdMsgEditUti[0]->text(), QStringLiteral("确定并返回(&S)"));
    EXPECT_EQ(editor->cmdMsgEditUti[1]->text(), QStringLiteral("确定并继续(&R)"));
    EXPECT_EQ(editor->cmdMsgEditUti[2]->text(), QStringLiteral("取消并返回(&C)"));
    EXPECT_EQ(editor->cmdMsgEditUti[1]->geometry(), QRect(128, 244, 101, 27));
    EXPECT_TRUE(editor->txtFed[1]->isReadOnly());
    EXPECT_TRUE(editor->txtFed[2]->isReadOnly());
    for (int i : {3, 5, 6})
        EXPECT_FALSE(editor->txtFed[i]->isVisible());
    EXPECT_FALSE(editor->optEdit->isVisible());
    EXPECT_EQ(editor->findChild<QLineEdit *>(QStringLiteral("txtFed_3")), editor->txtFed[3]);
    EXPECT_EQ(editor->findChild<QPlainTextEdit *>(QStringLiteral("txtFed_4")),
              editor->txtFedMessage);

    const int maxLengths[] = {4, 2, 2};
    const QList<QPair<int, int>> dateRanges = {{0, 9999}, {1, 12}, {1, 31}};
    const QList<QPair<int, int>> timeRanges = {{0, 23}, {0, 59}, {0, 59}};
    const QStringList units = {"年", "月", "日", "时", "分", "秒"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(editor->txtDate[i]->maxLength(), maxLengths[i]);
        EXPECT_EQ(editor->txtTime[i]->maxLength(), 2);
        EXPECT_EQ(editor->VScrollDate[i]->minimum(), dateRanges[i].first);
        EXPECT_EQ(editor->VScrollDate[i]->maximum(), dateRanges[i].second);
        EXPECT_EQ(editor->VScrollTime[i]->minimum(), timeRanges[i].first);
        EXPECT_EQ(editor->VScrollTime[i]->maximum(), timeRanges[i].second);
        EXPECT_EQ(editor->VScrollDate[i]->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(editor->VScrollTime[i]->focusPolicy(), Qt::NoFocus);
        // Field, spinner and unit in one row, left to right.
        EXPECT_LT(editor->txtDate[i]->geometry().right(), editor->VScrollDate[i]->x());
        EXPECT_LT(editor->VScrollDate[i]->geometry().right(), editor->Label2[i]->x());
        EXPECT_LT(editor->txtTime[i]->geometry().right(), editor->VScrollTime[i]->x());
        EXPECT_LT(editor->VScrollTime[i]->geometry().right(), editor->Label2[i + 3]->x());
    }
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(editor->Label2[i]->text(), units[i]);
    EXPECT_EQ(editor->VScrollDate[0]->x(), 180);
    EXPECT_EQ(editor->txtDate[0]->x(), 142);

    ASSERT_EQ(editor->Combo1->count(), 7);
    EXPECT_EQ(editor->Combo1->itemText(0), QStringLiteral("0 - 正常(按日期及时间)"));
    EXPECT_EQ(editor->Combo1->itemText(2), QStringLiteral("2 - 每周(按日期的星期及时间)"));
    EXPECT_EQ(editor->Combo1->itemText(6), QStringLiteral("6 - 半点(按半点不理日期时间)"));
    ASSERT_EQ(editor->comboWhatToDo->count(), 5);
    EXPECT_EQ(editor->comboWhatToDo->itemText(1), QStringLiteral("1 - 声音及文字提示"));
    EXPECT_EQ(editor->comboWhatToDo->itemText(4), QStringLiteral("4 - 关闭电脑"));
    EXPECT_TRUE(editor->Combo1->isEditable());
    EXPECT_TRUE(editor->comboWhatToDo->isEditable());
}

TEST_F(EditorTest, TabVisitsTheFieldsInOrder)
{
    openForAdding();
    const QList<QWidget *> expected = {
        editor->txtDate[0],       editor->txtDate[1],       editor->txtDate[2],
        editor->txtTime[0],       editor->txtTime[1],       editor->txtTime[2],
        editor->Combo1,           editor->txtFedMessage,    editor->Check1,
        editor->txtFed[1],        editor->txtFed[2],        editor->cmdMsgEditUti[0],
        editor->cmdMsgEditUti[1], editor->cmdMsgEditUti[2], editor->comboWhatToDo,
    };
    QWidget *w = editor->txtFed[0];
    for (QWidget *next : expected) {
        do
            w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || !w->isVisible() || (w->focusProxy() != nullptr) ||
               !w->isEnabled());
        EXPECT_EQ(w, next) << next->objectName().toStdString() << " expected, got "
                           << w->objectName().toStdString();
    }
}

TEST_F(EditorTest, EnterAndEscapePressNoButton)
{
    openForAdding();
    editor->txtFed[0]->setText(QStringLiteral("标题"));
    editor->txtFed[0]->setFocus();
    QTest::keyClick(editor->txtFed[0], Qt::Key_Return);
    QTest::keyClick(editor->txtFed[0], Qt::Key_Escape);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(editor);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(AlarmItems.count(), 0);
    for (QPushButton *button : editor->cmdMsgEditUti) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
}

TEST_F(EditorTest, AddModeStartsWithTodayAndTheTimeOfOpening)
{
    openForAdding();
    ASSERT_TRUE(editor);
    EXPECT_FALSE(setup->isEnabled());
    EXPECT_FALSE(editor->optEdit->isChecked());
    EXPECT_TRUE(editor->cmdMsgEditUti[1]->isVisible());
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2026/12/06"));
    EXPECT_EQ(editor->fedText(2), QStringLiteral("14:30:25"));
    // The time was written into empty boxes: all three are filled, not only the hour.
    EXPECT_EQ(timeBoxes(), (QStringList{"14", "30", "25"}));
    EXPECT_EQ(timeSpinners(), (QList<int>{14, 30, 25}));
    EXPECT_EQ(dateSpinners(), (QList<int>{2026, 12, 6}));
    EXPECT_EQ(editor->txtDate[0]->text(), QStringLiteral("2026"));
    EXPECT_EQ(editor->Combo1->currentText(), QStringLiteral("0 - 正常(按日期及时间)"));
    EXPECT_EQ(editor->comboWhatToDo->currentText(), QStringLiteral("0 - 正常文字提示"));
    EXPECT_EQ(editor->fedText(3), QStringLiteral("0"));
    EXPECT_EQ(editor->fedText(5), QStringLiteral("0"));
    EXPECT_EQ(editor->fedText(6), QStringLiteral("0"));
    EXPECT_FALSE(editor->Check1->isChecked());
    EXPECT_FALSE(editor->txtFed[7]->isEnabled());
    EXPECT_FALSE(editor->cmdBrowFile->isEnabled());
    EXPECT_TRUE(editor->fedText(0).isEmpty());
    EXPECT_TRUE(editor->fedText(4).isEmpty());
}

TEST_F(EditorTest, EditModeShowsTheSelectedItem)
{
    openForEditing({januaryFirst(), endOfJanuary()}, 1);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("编辑闹钟项目"));
    EXPECT_TRUE(editor->optEdit->isChecked());
    EXPECT_FALSE(editor->cmdMsgEditUti[1]->isVisible());
    EXPECT_EQ(editor->fedText(0), QStringLiteral("月底结账"));
    EXPECT_EQ(dateBoxes(), (QStringList{"2000", "1", "31"}));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2000/01/31"));
    EXPECT_EQ(timeBoxes(), (QStringList{"7", "5", "9"}));
    EXPECT_EQ(editor->fedText(2), QStringLiteral("07:05:09"));
    EXPECT_EQ(editor->Combo1->currentText(), QStringLiteral("3 - 每月(按日期的月份及时间)"));
    EXPECT_EQ(editor->comboWhatToDo->currentText(), QStringLiteral("2 - 运行程序"));
    EXPECT_TRUE(editor->txtFed[7]->isEnabled());
    EXPECT_EQ(editor->fedText(7), QStringLiteral("/usr/bin/true"));
    EXPECT_FALSE(editor->Check1->isChecked());
}

TEST_F(EditorTest, AnItemWithABlankTimeOpensAtMidnight)
{
    AlarmItem blank = endOfJanuary();
    blank.AlarmTime = QStringLiteral("        ");
    openForEditing({blank}, 0);
    EXPECT_EQ(editor->fedText(2), QStringLiteral("00:00:00"));
    EXPECT_EQ(timeBoxes(), (QStringList{"0", "0", "0"}));
    // In memory at once; the file follows with the next save.
    EXPECT_EQ(AlarmItems.item(1).AlarmTime, QStringLiteral("00:00:00"));
}

// ---------------------------------------------------------------------------
// Date and time rules.

TEST_F(EditorTest, MonthSpinnerMakesANonExistentDateThatStaysComposed)
{
    openForEditing({endOfJanuary()}, 0);
    clickUp(editor->VScrollDate[1]);
    EXPECT_EQ(dateSpinners(), (QList<int>{2000, 2, 31}));
    EXPECT_EQ(dateBoxes(), (QStringList{"2000", "2", "31"}));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2000/02/31"));
    clickDown(editor->VScrollDate[1]);
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2000/01/31"));
}

TEST_F(EditorTest, MonthAndDayBoxesKeepToTheirRanges)
{
    openForEditing({endOfJanuary()}, 0); // 2000/01/31
    enter(editor->txtDate[1], QString());
    EXPECT_EQ(editor->txtDate[1]->text(), QStringLiteral("1"));
    enter(editor->txtDate[1], QStringLiteral("13"));
    EXPECT_EQ(editor->txtDate[1]->text(), QStringLiteral("12"));
    EXPECT_EQ(editor->VScrollDate[1]->value(), 12);
    enter(editor->txtDate[1], QStringLiteral("0"));
    EXPECT_EQ(editor->txtDate[1]->text(), QStringLiteral("1"));
    enter(editor->txtDate[1], QStringLiteral("x"));
    EXPECT_EQ(editor->txtDate[1]->text(), QStringLiteral("1"));
    enter(editor->txtDate[2], QStringLiteral("32"));
    EXPECT_EQ(editor->txtDate[2]->text(), QStringLiteral("31"));
    enter(editor->txtDate[2], QString());
    EXPECT_EQ(editor->txtDate[2]->text(), QStringLiteral("1"));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2000/01/01"));
}

TEST_F(EditorTest, TypingZeroOverTheDayRunsTheNestedChain)
{
    AlarmItem item = endOfJanuary();
    item.AlarmDate = oleDateOf(QDate(2000, 5, 15));
    openForEditing({item}, 0);
    TextHistory composed(editor->txtFed[1]);
    enter(editor->txtDate[2], QStringLiteral("0"));
    EXPECT_EQ(dateBoxes(), (QStringList{"2000", "5", "1"}));
    EXPECT_EQ(editor->VScrollDate[2]->value(), 1);
    EXPECT_EQ(composed.texts, (QStringList{"2000/05/01"}));
}

TEST_F(EditorTest, TypingALeadingZeroOverTheSameMonthKeepsIt)
{
    AlarmItem item = endOfJanuary();
    item.AlarmDate = oleDateOf(QDate(2000, 5, 15));
    openForEditing({item}, 0);
    enter(editor->txtDate[1], QStringLiteral("05"));
    EXPECT_EQ(editor->txtDate[1]->text(), QStringLiteral("05"));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2000/05/15"));
}

TEST_F(EditorTest, YearBoxKeepsToItsRange)
{
    openForEditing({endOfJanuary()}, 0);
    enter(editor->txtDate[0], QStringLiteral("1e10"));
    EXPECT_EQ(editor->txtDate[0]->text(), QStringLiteral("9999"));
    EXPECT_EQ(editor->VScrollDate[0]->value(), 9999);
    EXPECT_EQ(editor->fedText(1), QStringLiteral("9999/01/31"));

    enter(editor->txtDate[0], QStringLiteral("-5"));
    EXPECT_EQ(editor->txtDate[0]->text(), QStringLiteral("0"));
    EXPECT_EQ(editor->VScrollDate[0]->value(), 0);
    EXPECT_EQ(editor->fedText(1), QStringLiteral("0000/01/31"));
    clickDown(editor->VScrollDate[0]);
    EXPECT_EQ(editor->VScrollDate[0]->value(), 0);

    // Years are kept as typed: 26 is the year 26, which makes no date until the
    // commit puts today in its place.
    enter(editor->txtDate[0], QStringLiteral("26"));
    EXPECT_EQ(editor->txtDate[0]->text(), QStringLiteral("26"));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("0026/01/31"));
    clickUp(editor->VScrollDate[0]);
    EXPECT_EQ(editor->fedText(1), QStringLiteral("0027/01/31"));
}

TEST_F(EditorTest, AYearCanBeTypedDigitByDigit)
{
    openForEditing({endOfJanuary()}, 0);
    QLineEdit *year = editor->txtDate[0];
    year->setFocus();
    year->selectAll();
    TextHistory composed(editor->txtFed[1]);
    QTest::keyClicks(year, QStringLiteral("2031"));
    EXPECT_EQ(year->text(), QStringLiteral("2031"));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2031/01/31"));
    EXPECT_EQ(composed.texts,
              (QStringList{"0002/01/31", "0020/01/31", "0203/01/31", "2031/01/31"}));
    // The caret stands after a text a rule has replaced, so typing goes on there.
    QLineEdit *day = editor->txtDate[2];
    day->setFocus();
    day->selectAll();
    QTest::keyClicks(day, QStringLiteral("45"));
    EXPECT_EQ(day->text(), QStringLiteral("31"));
    EXPECT_EQ(day->cursorPosition(), 2);
}

TEST_F(EditorTest, TimeBoxesKeepToTheirRanges)
{
    openForEditing({endOfJanuary()}, 0); // 07:05:09
    enter(editor->txtTime[0], QStringLiteral("24"));
    EXPECT_EQ(editor->txtTime[0]->text(), QStringLiteral("23"));
    enter(editor->txtTime[1], QStringLiteral("60"));
    EXPECT_EQ(editor->txtTime[1]->text(), QStringLiteral("59"));
    enter(editor->txtTime[2], QStringLiteral("99"));
    EXPECT_EQ(editor->txtTime[2]->text(), QStringLiteral("59"));
    EXPECT_EQ(editor->fedText(2), QStringLiteral("23:59:59"));
    enter(editor->txtTime[1], QStringLiteral("-5"));
    EXPECT_EQ(editor->txtTime[1]->text(), QStringLiteral("0"));
    EXPECT_EQ(editor->fedText(2), QStringLiteral("23:00:59"));
    // 00 is 0; the spinner already holds 0, so the box keeps what was typed.
    enter(editor->txtTime[1], QStringLiteral("00"));
    EXPECT_EQ(editor->txtTime[1]->text(), QStringLiteral("00"));
    // An emptied box whose spinner held another value becomes "0".
    enter(editor->txtTime[2], QString());
    EXPECT_EQ(editor->txtTime[2]->text(), QStringLiteral("0"));
    // One whose spinner already held 0 stays as typed; the composed time has 00.
    enter(editor->txtTime[2], QStringLiteral("a"));
    EXPECT_EQ(editor->txtTime[2]->text(), QStringLiteral("a"));
    EXPECT_EQ(editor->fedText(2), QStringLiteral("23:00:00"));
}

TEST_F(EditorTest, SpinnersStopAtTheirLimits)
{
    AlarmItem item = endOfJanuary();
    item.AlarmTime = QStringLiteral("23:59:00");
    item.AlarmDate = oleDateOf(QDate(9999, 12, 31));
    openForEditing({item}, 0);
    clickUp(editor->VScrollTime[0]);
    clickUp(editor->VScrollTime[1]);
    clickDown(editor->VScrollTime[2]);
    clickUp(editor->VScrollDate[0]);
    clickUp(editor->VScrollDate[2]);
    EXPECT_EQ(timeSpinners(), (QList<int>{23, 59, 0}));
    EXPECT_EQ(dateSpinners(), (QList<int>{9999, 12, 31}));
    EXPECT_EQ(editor->fedText(2), QStringLiteral("23:59:00"));
    clickDown(editor->VScrollTime[0]);
    EXPECT_EQ(editor->fedText(2), QStringLiteral("22:59:00"));
    EXPECT_EQ(editor->txtTime[0]->text(), QStringLiteral("22"));

    // Holding an arrow repeats the step.
    QScrollBar *minute = editor->VScrollTime[1];
    QTest::mousePress(minute, Qt::LeftButton, {},
                      QPoint(minute->width() / 2, minute->height() - 3));
    QTest::qWait(700);
    QTest::mouseRelease(minute, Qt::LeftButton, {},
                        QPoint(minute->width() / 2, minute->height() - 3));
    EXPECT_LT(minute->value(), 58);
    EXPECT_EQ(editor->txtTime[1]->text(), QString::number(minute->value()));
}

TEST_F(EditorTest, WritingATimeRunsThroughTheBoxesInOrder)
{
    AlarmItem item = endOfJanuary();
    item.AlarmTime = QStringLiteral("09:15:00");
    openForEditing({item}, 0);
    ASSERT_EQ(timeBoxes(), (QStringList{"9", "15", "0"}));
    TextHistory composed(editor->txtFed[2]);
    editor->setFedText(2, QStringLiteral("14:30:25"));
    EXPECT_EQ(timeBoxes(), (QStringList{"14", "30", "25"}));
    EXPECT_EQ(timeSpinners(), (QList<int>{14, 30, 25}));
    EXPECT_EQ(editor->fedText(2), QStringLiteral("14:30:25"));
    EXPECT_TRUE(composed.texts.contains(QStringLiteral("14:15:00")));
    EXPECT_TRUE(composed.texts.contains(QStringLiteral("14:30:00")));
    EXPECT_EQ(composed.texts.last(), QStringLiteral("14:30:25"));
}

TEST_F(EditorTest, WritingAValidDateOverAnInvalidOneSetsAllBoxes)
{
    openForAdding();
    enter(editor->txtDate[0], QStringLiteral("2025"));
    enter(editor->txtDate[1], QStringLiteral("2"));
    enter(editor->txtDate[2], QStringLiteral("31"));
    ASSERT_EQ(editor->fedText(1), QStringLiteral("2025/02/31"));
    editor->setFedText(1, QStringLiteral("2025/03/04"));
    EXPECT_EQ(dateBoxes(), (QStringList{"2025", "3", "4"}));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2025/03/04"));

    enter(editor->txtDate[2], QStringLiteral("31"));
    enter(editor->txtDate[1], QStringLiteral("2"));
    ASSERT_EQ(editor->fedText(1), QStringLiteral("2025/02/31"));
    editor->setFedText(1, QStringLiteral("1999/12/05"));
    EXPECT_EQ(dateBoxes(), (QStringList{"1999", "12", "5"}));
    EXPECT_EQ(dateSpinners(), (QList<int>{1999, 12, 5}));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("1999/12/05"));
}

TEST_F(EditorTest, NonExistentDatesStayAsComposed)
{
    openForAdding();
    enter(editor->txtDate[0], QStringLiteral("2001"));
    enter(editor->txtDate[1], QStringLiteral("2"));
    enter(editor->txtDate[2], QStringLiteral("29"));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2001/02/29"));
    EXPECT_EQ(dateBoxes(), (QStringList{"2001", "2", "29"}));
    enter(editor->txtDate[1], QStringLiteral("4"));
    enter(editor->txtDate[2], QStringLiteral("31"));
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2001/04/31"));
}

TEST_F(EditorTest, EmptyCodeAndComposedFieldsChangeNothingElse)
{
    openForEditing({endOfJanuary()}, 0);
    const QStringList dates = dateBoxes();
    const QStringList times = timeBoxes();
    const QString kind = editor->Combo1->currentText();
    const QString action = editor->comboWhatToDo->currentText();
    for (int i : {1, 2, 3, 6})
        editor->setFedText(i, QString());
    EXPECT_EQ(dateBoxes(), dates);
    EXPECT_EQ(timeBoxes(), times);
    EXPECT_EQ(editor->Combo1->currentText(), kind);
    EXPECT_EQ(editor->comboWhatToDo->currentText(), action);
}

TEST_F(EditorTest, EnabledFieldMovesTheCheckBox)
{
    openForAdding();
    editor->setFedText(5, QStringLiteral("-1"));
    EXPECT_TRUE(editor->Check1->isChecked());
    EXPECT_EQ(editor->fedText(5), QStringLiteral("1"));
    editor->setFedText(5, QString());
    EXPECT_FALSE(editor->Check1->isChecked());
    editor->setFedText(5, QStringLiteral("1"));
    EXPECT_TRUE(editor->Check1->isChecked());
    editor->setFedText(5, QStringLiteral("0"));
    EXPECT_FALSE(editor->Check1->isChecked());
    editor->Check1->click();
    EXPECT_EQ(editor->fedText(5), QStringLiteral("1"));
}

TEST_F(EditorTest, TypingADigitIntoTheRepeatComboPicksThatKind)
{
    openForAdding();
    editor->txtFed[0]->setText(QStringLiteral("每月"));
    QLineEdit *comboText = editor->Combo1->lineEdit();
    comboText->setFocus();
    comboText->selectAll();
    QTest::keyClicks(comboText, QStringLiteral("3"));
    EXPECT_EQ(editor->Combo1->currentText(), QStringLiteral("3 - 每月(按日期的月份及时间)"));
    EXPECT_EQ(editor->fedText(3), QStringLiteral("3"));
    EXPECT_EQ(editor->Combo1->count(), 7);
    press(0);
    ASSERT_EQ(AlarmItems.count(), 1);
    EXPECT_EQ(AlarmItems.item(1).RepeatKind, Monthly);
}

TEST_F(EditorTest, OnlySoundAndRunActionsTakeAFile)
{
    openForAdding();
    editor->setFedText(7, QStringLiteral("/tmp/tune.mid"));
    for (int action : {1, 2, 0, 3, 4, 2}) {
        editor->comboWhatToDo->setCurrentIndex(action);
        emit editor->comboWhatToDo->activated(action);
        const bool needsFile = action == 1 || action == 2;
        EXPECT_EQ(editor->txtFed[7]->isEnabled(), needsFile) << action;
        EXPECT_EQ(editor->cmdBrowFile->isEnabled(), needsFile) << action;
        EXPECT_EQ(editor->txtFed[7]->palette().color(QPalette::Base),
                  needsFile ? QColor(Qt::white) : editor->palette().color(QPalette::Window));
        EXPECT_EQ(editor->fedText(6), QString::number(action));
        EXPECT_EQ(editor->fedText(7), QStringLiteral("/tmp/tune.mid"));
    }
    editor->comboWhatToDo->setCurrentIndex(3);
    editor->txtFed[0]->setText(QStringLiteral("关机"));
    press(0);
    ASSERT_EQ(AlarmItems.count(), 1);
    EXPECT_EQ(AlarmItems.item(1).Action, Restart);
    EXPECT_EQ(AlarmItems.item(1).FilePath, QStringLiteral("/tmp/tune.mid"));
}

TEST_F(EditorTest, FocusSelectsTheWholeNumberBox)
{
    openForAdding();
    QApplication::setActiveWindow(editor);
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    editor->txtFed[0]->setFocus();
    QTest::keyClick(editor->txtFed[0], Qt::Key_Tab);
    ASSERT_TRUE(editor->txtDate[0]->hasFocus());
    EXPECT_EQ(editor->txtDate[0]->selectedText(), QStringLiteral("2026"));
    QTest::keyClicks(editor->txtDate[0], QStringLiteral("2031"));
    EXPECT_EQ(editor->txtDate[0]->text(), QStringLiteral("2031"));
    editor->txtTime[1]->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(editor->txtTime[1]->selectedText(), QStringLiteral("30"));
}

TEST_F(EditorTest, OutOfRangeCodesFromADamagedFileSurviveAnUnchangedCommit)
{
    AlarmItem damaged = endOfJanuary();
    damaged.RepeatKind = 7;
    damaged.Action = 12;
    openForEditing({damaged}, 0);
    EXPECT_EQ(editor->fedText(3), QStringLiteral("7"));
    EXPECT_EQ(editor->fedText(6), QStringLiteral("12"));
    EXPECT_TRUE(editor->Combo1->currentText().isEmpty());
    EXPECT_TRUE(editor->comboWhatToDo->currentText().isEmpty());
    press(0);
    EXPECT_EQ(AlarmItems.item(1), damaged);
}

TEST_F(EditorTest, AnyInputEndsWithTheFieldsInLine)
{
    const QStringList nasty = {"",       " ",     "-",    "+",  ".",    "1e400", "-1e400",
                               "&HFFFF", "&O777", "9999", "0",  "00",   "31",    "abc",
                               "3.5",    "2.5",   "1 2",  "\t", "１２", "😀",     "-0",
                               "1e-400", "99",    "60",   "24", "-5"};
    const QStringList composed = {"2024/02/30", "0000/00/00", "9999/12/31", "100/1/1",
                                  "2024-13-01", " 2024/2/3 ", "25:00:00",   "7 PM",
                                  "23:59:59",   "::",         "7:30",       "-1",
                                  "99999",      "&H3",        "x"};
    openForEditing({endOfJanuary()}, 0);
    auto checkRows = [this](const std::string &what) {
        int values[3];
        for (int i = 0; i < 3; ++i)
            values[i] = wholeNumberValue(editor->txtDate[i]->text());
        EXPECT_EQ(editor->fedText(1), QStringLiteral("%1/%2/%3")
                                          .arg(values[0], 4, 10, QLatin1Char('0'))
                                          .arg(values[1], 2, 10, QLatin1Char('0'))
                                          .arg(values[2], 2, 10, QLatin1Char('0')))
            << what;
        const QDate date = readDate(editor->fedText(1));
        if (date.isValid())
            EXPECT_EQ(QList<int>({values[0], values[1], values[2]}),
                      QList<int>({date.year(), date.month(), date.day()}))
                << what;
        for (int i = 0; i < 3; ++i)
            values[i] = wholeNumberValue(editor->txtTime[i]->text());
        EXPECT_EQ(editor->fedText(2), QStringLiteral("%1:%2:%3")
                                          .arg(values[0], 2, 10, QLatin1Char('0'))
                                          .arg(values[1], 2, 10, QLatin1Char('0'))
                                          .arg(values[2], 2, 10, QLatin1Char('0')))
            << what;
    };
    for (const QString &text : nasty) {
        for (int i = 0; i < 3; ++i) {
            for (QLineEdit *box : {editor->txtDate[i], editor->txtTime[i]}) {
                enter(box, text);
                SpinnerBar *spinner =
                    box == editor->txtDate[i] ? editor->VScrollDate[i] : editor->VScrollTime[i];
                const std::string what =
                    box->objectName().toStdString() + " <- " + text.toStdString();
                const int value = wholeNumberValue(box->text());
                EXPECT_GE(value, spinner->minimum() == 1 ? 1 : 0) << what;
                EXPECT_LE(value, spinner->maximum()) << what;
                if (box->text() != text || spinner->value() != 0)
                    EXPECT_EQ(spinner->value(), value) << what;
                checkRows(what);
            }
        }
    }
    // A text written into a composed field stays as written; a readable one is
    // spread into the boxes.
    auto checkReadBack = [this](const std::string &what) {
        const QDate date = readDate(editor->fedText(1));
        if (date.isValid())
            EXPECT_EQ(QStringList({editor->txtDate[0]->text(), editor->txtDate[1]->text(),
                                   editor->txtDate[2]->text()}),
                      QStringList({QString::number(date.year()), QString::number(date.month()),
                                   QString::number(date.day())}))
                << what;
        const int seconds = readTimeOfDay(editor->fedText(2));
        if (seconds >= 0)
            EXPECT_EQ(QList<int>({wholeNumberValue(editor->txtTime[0]->text()),
                                  wholeNumberValue(editor->txtTime[1]->text()),
                                  wholeNumberValue(editor->txtTime[2]->text())}),
                      QList<int>({seconds / 3600, seconds / 60 % 60, seconds % 60}))
                << what;
    };
    for (const QString &text : nasty + composed) {
        for (int i : {1, 2, 3, 5, 6}) {
            editor->setFedText(i, text);
            checkReadBack("txtFed_" + std::to_string(i) + " <- " + text.toStdString());
        }
        editor->Combo1->setEditText(text);
        editor->comboWhatToDo->setEditText(text);
        checkReadBack("combos <- " + text.toStdString());
    }
    editor->txtFed[0]->setText(QStringLiteral("杂项"));
    press(0);
    ASSERT_EQ(AlarmItems.count(), 1);
    EXPECT_TRUE(dateOfOle(AlarmItems.item(1).AlarmDate).isValid());
    EXPECT_GE(secondsOfExactTime(AlarmItems.item(1).AlarmTime), 0);
    EXPECT_EQ(savedItems(), AlarmItems.items());
}

// ---------------------------------------------------------------------------
// Commits.

TEST_F(EditorTest, AddingWithOnlyATitle)
{
    openForAdding({januaryFirst()});
    editor->txtFed[0]->setText(QStringLiteral("  喝水  "));
    clock.advanceMs(5 * 60 * 1000); // the time stored is the time of opening
    setup->lblWhatToDo->setText(QStringLiteral("旧的说明"));
    press(0);

    EXPECT_TRUE(requests.isEmpty());
    ASSERT_EQ(AlarmItems.count(), 2);
    const AlarmItem expected = makeItem(QStringLiteral("喝水"), QDate(2026, 12, 6),
                                        QStringLiteral("14:30:25"), Once, kFalse);
    EXPECT_EQ(AlarmItems.item(2), expected);
    EXPECT_EQ(AlarmItems.item(1), januaryFirst());
    EXPECT_EQ(rowTexts(), (QStringList{"元旦", "喝水"}));
    EXPECT_EQ(ticks(), (QList<bool>{true, false}));
    EXPECT_TRUE(setup->lblWhatToDo->text().isEmpty());
    EXPECT_EQ(savedItems(), AlarmItems.items());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(editor);
    EXPECT_TRUE(setup->isEnabled());
}

TEST_F(EditorTest, AddAndContinueResetsTheFieldsButKeepsActionAndPath)
{
    openForAdding();
    editor->txtFed[0]->setText(QStringLiteral("起床"));
    editor->setFedText(4, QStringLiteral("该起床了"));
    editor->Combo1->setCurrentIndex(1);
    editor->Check1->setChecked(true);
    editor->comboWhatToDo->setCurrentIndex(1);
    editor->txtFed[7]->setText(QStringLiteral("/tmp/wake.wav"));
    enter(editor->txtDate[2], QStringLiteral("9"));
    enter(editor->txtTime[0], QStringLiteral("6"));
    clock.set(at(2026, 12, 7, 8, 0, 1));
    setup->lblWhatToDo->setText(QStringLiteral("旧的说明"));
    press(1);
    EXPECT_TRUE(setup->lblWhatToDo->text().isEmpty());
    EXPECT_FALSE(setup->isEnabled());

    ASSERT_EQ(AlarmItems.count(), 1);
    EXPECT_EQ(AlarmItems.item(1),
              makeItem(QStringLiteral("起床"), QDate(2026, 12, 9), QStringLiteral("06:30:25"),
                       Daily, kTrue, SoundAndMessage, QStringLiteral("/tmp/wake.wav"),
                       QStringLiteral("该起床了")));
    EXPECT_EQ(ticks(), (QList<bool>{true}));
    EXPECT_EQ(savedItems(), AlarmItems.items());

    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->fedText(0).isEmpty());
    EXPECT_TRUE(editor->fedText(4).isEmpty());
    EXPECT_EQ(editor->Combo1->currentText(), QStringLiteral("0 - 正常(按日期及时间)"));
    EXPECT_FALSE(editor->Check1->isChecked());
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2026/12/07"));
    EXPECT_EQ(editor->fedText(2), QStringLiteral("08:00:01"));
    EXPECT_EQ(editor->comboWhatToDo->currentText(), QStringLiteral("1 - 声音及文字提示"));
    EXPECT_EQ(editor->fedText(7), QStringLiteral("/tmp/wake.wav"));

    editor->txtFed[0]->setText(QStringLiteral("第二项"));
    press(1);
    ASSERT_EQ(AlarmItems.count(), 2);
    EXPECT_EQ(AlarmItems.item(2),
              makeItem(QStringLiteral("第二项"), QDate(2026, 12, 7), QStringLiteral("08:00:01"),
                       Once, kFalse, SoundAndMessage, QStringLiteral("/tmp/wake.wav")));

    // Cancelling afterwards keeps both.
    press(2);
    EXPECT_EQ(AlarmItems.count(), 2);
    EXPECT_EQ(rowTexts(), (QStringList{"起床", "第二项"}));
    EXPECT_EQ(savedItems(), AlarmItems.items());
    EXPECT_TRUE(setup->isEnabled());
}

TEST_F(EditorTest, EditingWithoutChangesStoresTheSameValues)
{
    const QList<AlarmItem> items = {
        januaryFirst(),
        endOfJanuary(),
        makeItem(QStringLiteral("半点"), QDate(1999, 12, 1), QStringLiteral("23:59:59"), HalfPast,
                 kTrue, SoundAndMessage, QStringLiteral("/tmp/a.wav"), QStringLiteral("提醒")),
        makeItem(QStringLiteral("关机"), QDate(2030, 2, 28), QStringLiteral("12:00:00"), Once,
                 kFalse, ShutDown),
        makeItem(QStringLiteral("早"), QDate(2024, 2, 29), QStringLiteral("00:00:01"), Weekly,
                 kTrue, Restart),
    };
    for (int row = 0; row < items.size(); ++row) {
        openForEditing(items, row);
        ASSERT_TRUE(editor);
        press(0);
        EXPECT_EQ(AlarmItems.items(), items) << "row " << row;
        EXPECT_EQ(savedItems(), items) << "row " << row;
        setup->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(EditorTest, EditingStoresTheChangesIntoTheRow)
{
    openForEditing({januaryFirst(), endOfJanuary()}, 0);
    editor->txtFed[0]->setText(QStringLiteral("春节"));
    editor->Check1->setChecked(false);
    press(0);
    EXPECT_EQ(rowTexts(), (QStringList{"春节", "月底结账"}));
    EXPECT_EQ(ticks(), (QList<bool>{false, false}));
    EXPECT_EQ(AlarmItems.item(1).Title, QStringLiteral("春节"));
    EXPECT_EQ(AlarmItems.item(1).Enabled, kFalse);
    EXPECT_EQ(AlarmItems.item(2), endOfJanuary());
    EXPECT_EQ(savedItems(), AlarmItems.items());
}

TEST_F(EditorTest, AnInvalidComposedDateBecomesTodayAtCommit)
{
    openForEditing({endOfJanuary()}, 0);
    enter(editor->txtDate[1], QStringLiteral("4"));
    ASSERT_EQ(editor->fedText(1), QStringLiteral("2000/04/31"));
    press(0);
    EXPECT_TRUE(requests.isEmpty());
    EXPECT_EQ(dateOfOle(AlarmItems.item(1).AlarmDate), QDate(2026, 12, 6));
}

TEST_F(EditorTest, ABlankTimeIsStoredAsMidnightNotEnabled)
{
    openForAdding();
    editor->txtFed[0]->setText(QStringLiteral("午夜"));
    editor->Check1->setChecked(true);
    editor->setFedText(2, QString());
    press(0);
    ASSERT_EQ(AlarmItems.count(), 1);
    EXPECT_EQ(AlarmItems.item(1).AlarmTime, QStringLiteral("00:00:00"));
    EXPECT_EQ(AlarmItems.item(1).Enabled, kFalse);
    EXPECT_EQ(ticks(), (QList<bool>{false}));
}

TEST_F(EditorTest, ABlankTitleIsRefused)
{
    openForAdding({januaryFirst()});
    editor->txtFed[0]->setText(QStringLiteral("    "));
    press(0);
    press(1);
    ASSERT_EQ(requests.size(), 2);
    for (const MessageRequest &request : requests) {
        EXPECT_EQ(request.title, QStringLiteral("缺少标题"));
        EXPECT_EQ(request.text, QStringLiteral("至少总该定个标题吧！"));
        EXPECT_EQ(request.icon, MsgIcon::Exclamation);
        EXPECT_EQ(request.buttons, MsgButtons::Ok);
    }
    EXPECT_EQ(AlarmItems.items(), (QList<AlarmItem>{januaryFirst()}));
    EXPECT_FALSE(QFile::exists(DataFilePath()));
    EXPECT_TRUE(editor && editor->isVisible());
    EXPECT_EQ(editor->fedText(1), QStringLiteral("2026/12/06"));
}

TEST_F(EditorTest, CancelAndClosingStoreNothing)
{
    openForEditing({januaryFirst()}, 0);
    editor->txtFed[0]->setText(QStringLiteral("改了"));
    press(2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(editor);
    EXPECT_TRUE(setup->isEnabled());
    EXPECT_EQ(AlarmItems.items(), (QList<AlarmItem>{januaryFirst()}));
    EXPECT_FALSE(QFile::exists(DataFilePath()));

    setup->cmdAlm_Click(0);
    editor = findEditor();
    ASSERT_TRUE(editor);
    EXPECT_FALSE(setup->isEnabled());
    editor->txtFed[0]->setText(QStringLiteral("新的"));
    editor->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(editor);
    EXPECT_TRUE(setup->isEnabled());
    EXPECT_EQ(AlarmItems.count(), 1);
    EXPECT_EQ(setup->lstAlm->count(), 1);
}

TEST_F(EditorTest, AFullTableTakesNoMoreItems)
{
    QList<AlarmItem> full(kMaxItems, januaryFirst());
    openForAdding(full);
    ASSERT_EQ(setup->lstAlm->count(), kMaxItems);
    editor->txtFed[0]->setText(QStringLiteral("多一项"));
    press(1);
    press(0);
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].title, QStringLiteral("一般提示"));
    EXPECT_TRUE(requests[0].text.contains(QStringLiteral("32767")));
    EXPECT_EQ(requests[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(AlarmItems.count(), kMaxItems);
    EXPECT_EQ(setup->lstAlm->count(), kMaxItems);
    EXPECT_FALSE(QFile::exists(DataFilePath()));
    // The editor stays open with what was typed.
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->fedText(0), QStringLiteral("多一项"));

    // Editing an item of a full table still works.
    press(2);
    setup->lstAlm->setCurrentRow(kMaxItems - 1);
    setup->cmdAlm_Click(2);
    editor = findEditor();
    ASSERT_TRUE(editor);
    editor->txtFed[0]->setText(QStringLiteral("最后一项"));
    press(0);
    EXPECT_EQ(AlarmItems.item(kMaxItems).Title, QStringLiteral("最后一项"));
    EXPECT_EQ(setup->lstAlm->item(kMaxItems - 1)->text(), QStringLiteral("最后一项"));
}

TEST_F(EditorTest, TheMessageTakesAtMost120Characters)
{
    openForAdding();
    editor->txtFedMessage->setFocus();
    QTest::keyClicks(editor->txtFedMessage, QString(118, QLatin1Char('a')));
    QTest::keyClicks(editor->txtFedMessage, QStringLiteral("bcd"));
    EXPECT_EQ(editor->fedText(4), QString(118, QLatin1Char('a')) + QStringLiteral("bc"));
    QTextCursor start = editor->txtFedMessage->textCursor();
    start.setPosition(0);
    editor->txtFedMessage->setTextCursor(start);
    QTest::keyClicks(editor->txtFedMessage, QStringLiteral("X"));
    EXPECT_EQ(editor->fedText(4), QString(118, QLatin1Char('a')) + QStringLiteral("bc"));
}

// ---------------------------------------------------------------------------
// The file chooser.

TEST_F(EditorTest, BrowsingForASoundStartsWithSoundFiles)
{
    openForAdding();
    editor->comboWhatToDo->setCurrentIndex(1);
    editor->cmdBrowFile->click();
    ASSERT_EQ(dialogRequests.size(), 1);
    const OpenDialogRequest &request = dialogRequests.first();
    EXPECT_EQ(request.title, QStringLiteral("选择文件："));
    EXPECT_TRUE(request.initialDir.isEmpty());
    EXPECT_TRUE(request.defaultName.isEmpty());
    EXPECT_EQ(request.owner, editor->cmdBrowFile);
    EXPECT_EQ(request.filter, QStringLiteral("声音文件(*.wav; *.mid)") + kNul +
                                  QStringLiteral("*.wav;*.mid") + kNul + kNul);
    ASSERT_EQ(request.pairs.size(), 1);
    EXPECT_EQ(request.pairs[0].patterns, QStringLiteral("*.wav;*.mid"));
    EXPECT_EQ(request.selectedPair, 0);
    // Cancelled: the empty field stays empty.
    EXPECT_TRUE(editor->fedText(7).isEmpty());
}

TEST_F(EditorTest, BrowsingStartsInTheFolderOfTheFileEntered)
{
    openForAdding();
    editor->comboWhatToDo->setCurrentIndex(2);
    const QString folder = dir.path();
    editor->txtFed[7]->setText(QStringLiteral("  ") + folder + QStringLiteral("/run.sh  "));
    dialogAnswer = folder + QStringLiteral("/other.sh");
    editor->cmdBrowFile->click();
    ASSERT_EQ(dialogRequests.size(), 1);
    EXPECT_EQ(dialogRequests[0].initialDir, folder);
    EXPECT_EQ(dialogRequests[0].title, QStringLiteral("选择文件：") + folder);
    EXPECT_EQ(dialogRequests[0].pairs,
              (QList<FilterPair>{{QStringLiteral("所有文件(*.*)"), QStringLiteral("*.*")}}));
    EXPECT_EQ(editor->fedText(7), folder + QStringLiteral("/other.sh"));

    // Cancelling keeps the field; a folder that does not exist is not offered.
    dialogAnswer.clear();
    editor->txtFed[7]->setText(QStringLiteral("/no/such/folder/x.exe"));
    editor->cmdBrowFile->click();
    EXPECT_TRUE(dialogRequests[1].initialDir.isEmpty());
    EXPECT_EQ(dialogRequests[1].title, QStringLiteral("选择文件："));
    EXPECT_EQ(editor->fedText(7), QStringLiteral("/no/such/folder/x.exe"));
    dialogAnswer = QStringLiteral("   ");
    editor->cmdBrowFile->click();
    EXPECT_EQ(editor->fedText(7), QStringLiteral("/no/such/folder/x.exe"));
}

TEST(DirectoryOfPath, GivesThePartBeforeTheLastSeparator)
{
    EXPECT_EQ(frmMsgEdit::DirectoryOfPath(QString()), QString());
    EXPECT_EQ(frmMsgEdit::DirectoryOfPath(QStringLiteral("/a")), QString());
    EXPECT_EQ(frmMsgEdit::DirectoryOfPath(QStringLiteral("  /a  ")), QString());
    EXPECT_EQ(frmMsgEdit::DirectoryOfPath(QStringLiteral("abc")), QString());
    EXPECT_EQ(frmMsgEdit::DirectoryOfPath(QStringLiteral("C:\\x.wav")), QString());
    EXPECT_EQ(frmMsgEdit::DirectoryOfPath(QStringLiteral("a/b/c")), QStringLiteral("a/b"));
    EXPECT_EQ(frmMsgEdit::DirectoryOfPath(QStringLiteral("/tmp/x.wav")), QStringLiteral("/tmp"));
    EXPECT_EQ(frmMsgEdit::DirectoryOfPath(QStringLiteral("/x.wav")), QString());
    EXPECT_EQ(frmMsgEdit::DirectoryOfPath(QStringLiteral(" /home/u/音乐/闹铃.mid ")),
              QStringLiteral("/home/u/音乐"));
}

TEST(OpenDialog, NormalisesTheFilter)
{
    const QString sound =
        QStringLiteral("声音文件(*.wav; *.mid)") + kNul + QStringLiteral("*.wav;*.mid");
    EXPECT_EQ(normalisedFilter(sound), sound + kNul + kNul);
    EXPECT_EQ(normalisedFilter(sound + kNul), sound + kNul + kNul);
    EXPECT_EQ(normalisedFilter(sound + kNul + kNul), sound + kNul + kNul);
    const QString all = QStringLiteral("所有文件") + kNul + QStringLiteral("*.*") + kNul + kNul;
    EXPECT_EQ(normalisedFilter(QString()), all);
    EXPECT_EQ(normalisedFilter(QStringLiteral("   ")), all);
    EXPECT_EQ(filterPairs(all), (QList<FilterPair>{{"所有文件", "*.*"}}));
    EXPECT_EQ(
        filterPairs(normalisedFilter(QStringLiteral("a") + kNul + QStringLiteral("*.a") + kNul +
                                     QStringLiteral("b") + kNul + QStringLiteral("*.b"))),
        (QList<FilterPair>{{"a", "*.a"}, {"b", "*.b"}}));
    EXPECT_TRUE(filterPairs(normalisedFilter(QStringLiteral("no pattern"))).isEmpty());
}

TEST(OpenDialog, AnswersAreCutAtTheFirstNul)
{
    QList<OpenDialogRequest> seen;
    QString answer = QStringLiteral("/tmp/a.wav") + kNul + QStringLiteral("junk");
    setOpenDialogResponderForTesting([&](const OpenDialogRequest &r) {
        seen.append(r);
        return answer;
    });
    EXPECT_EQ(ShowOpenDialog(nullptr, QStringLiteral("t"), QStringLiteral("no pattern"),
                             QStringLiteral("/tmp"), QStringLiteral("x")),
              QStringLiteral("/tmp/a.wav"));
    ASSERT_EQ(seen.size(), 1);
    // Without any usable pair the dialog offers all files.
    EXPECT_EQ(seen[0].pairs, (QList<FilterPair>{{"所有文件", "*.*"}}));
    EXPECT_EQ(seen[0].initialDir, QStringLiteral("/tmp"));
    EXPECT_EQ(seen[0].defaultName, QStringLiteral("x"));
    setOpenDialogResponderForTesting({});
}

TEST(OpenDialog, TheRealDialogOpensInTheFolderAndCanBeCancelled)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile sound(folder.filePath(QStringLiteral("ring.WAV")));
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.close();
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
    const QString filter = QStringLiteral("声音文件(*.wav; *.mid)") + kNul +
                           QStringLiteral("*.wav;*.mid") + kNul + kNul;
    EXPECT_EQ(ShowOpenDialog(nullptr, QStringLiteral("选择文件：") + folder.path(), filter,
                             folder.path(), QString()),
              QString());
    EXPECT_EQ(seenFolder, QDir(folder.path()).absolutePath());
    EXPECT_EQ(seenFilters, (QStringList{"声音文件 (*.wav *.mid)"}));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
