// Every window: the exact texts it shows, what a screen reader hears in it, and
// the hints that keep a fixed dialog from being minimised or maximised.
#include "frmabout.h"
#include "frmmenu.h"
#include "frmtruncomputer.h"
#include "module_ovifiledlg.h"
#include "systemname.h"
#include "uitest.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {
using Visit = std::function<void(QWidget *)>;

// The words a window shows, joined by "|": its title, then the texts of its
// visible controls and its combo entries in the order they were made; a menu's entries.
QString shownTexts(QWidget *window)
{
    QStringList texts;
    if (auto *menu = qobject_cast<QMenu *>(window)) {
        for (QAction *action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts.join('|');
    }
    texts << window->windowTitle();
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
// understands, and no decorative box or line is an object of its own. The
// toolkit's own layout fillers carry no name; screen readers pass them by.
void expectSpoken(QAccessibleInterface *node, const QString &path, bool strict = true)
{
    static const QRegularExpression internal(
        "^([A-Za-z]+\\d+(_\\d+)?|(lbl|cmd|txt|img|lst|mnu|opt|combo|frm|qt_)[A-Z_]\\w*)$");
    ASSERT_TRUE(node && node->isValid()) << path.toStdString();
    QObject *object = node->object();
    const QString name = node->text(QAccessible::Name);
    const QString where = path + " > " + QString::number(node->role(), 16) + " \"" + name + "\"";
    if (node->state().invisible ||
        (node->role() == QAccessible::Client && object && object->objectName().startsWith("qt_")))
        return;
    if (node->role() != QAccessible::Separator) { // menu separators have no name anywhere
        EXPECT_FALSE(name.trimmed().isEmpty()) << where.toStdString();
        EXPECT_FALSE(internal.match(name).hasMatch()) << where.toStdString();
    }
    auto *label = qobject_cast<QLabel *>(object);
    EXPECT_FALSE((object && object->metaObject() == &QFrame::staticMetaObject) ||
                 (label && label->text().isEmpty() && label->pixmap().isNull() &&
                  label->accessibleName().isEmpty()))
        << where.toStdString();
    for (int i = 0; strict && i < node->childCount(); ++i)
        expectSpoken(node->child(i), where);
}

// Visits the modal box or file dialog that `run` opens, then leaves it with Esc.
void whileModal(const Visit &visit, const std::function<void()> &run)
{
    QTimer::singleShot(0, [visit] {
        QWidget *box = QApplication::activeModalWidget();
        visit(box);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    run();
}

using WindowsTest = ListDialogTest;

TEST_F(WindowsTest, ShowTheirTextsNameEveryControlAndFixedDialogsOfferNoMinimise)
{
    const QList<AlarmItem> items = {makeItem("早起", kTrue), makeItem("   ", kFalse)};
    const QString sound = "声音文件(*.wav; *.mid)" + QString(QChar(0)) + "*.wav;*.mid" + QChar(0);
    const struct
    {
        const char *what;
        std::function<void(const Visit &)> open;
        QString texts; // empty: the toolkit's own
        bool fixedDialog;
    } windows[] = {
        {"panel", [&](const Visit &v) { v(main.get()); },
         "10:00:00(2030年05月06日，星期一)|10:00:00", false},
        {"menu", [&](const Visit &v) { v(main->menu().mnuSys); },
         "设置闹钟选项(&S)|停止播放声音(&O)|-|说明(&R)|关于(&A)|-|退出(&X)", false},
        {"list", [&](const Visit &v) { openList(items), v(setup); },
         "系统设置|定时闹钟项目|增加|编辑|删除|全部启用|反选启用|全部禁用|确定(&O)|取消(&C)", true},
        {"editor",
         [&](const Visit &v) { openEditor(items), editor->Combo1->showPopup(), v(editor); },
         "新增闹钟项目|标题：|日期：|时间：|处理：|信息：|状态：|响应：|文件：|2030/05/06|10:00:00|"
         "2030|年|10|时|5|月|0|分|6|日|0|秒|0 - 正常(按日期及时间)|1 - 每日(按时间)|"
         "2 - 每周(按日期的星期及时间)|3 - 每月(按日期的月份及时间)|4 - 每年(按每年的当日及时间)|"
         "5 - 对点(按整点不理日期时间)|6 - 半点(按半点不理日期时间)|0 - 正常(按日期及时间)|0 - "
         "正常文字提示|"
         "1 - 声音及文字提示|2 - 运行程序|3 - 重新启动电脑|4 - 关闭电脑|0 - 正常文字提示|启用|...|"
         "确定并返回(&S)|"
         "确定并继续(&R)|取消并返回(&C)",
         true},
        {"countdown",
         [&](const Visit &v) {
             QPointer<frmTrunComputer> countdown = new frmTrunComputer(*main);
             countdown->Form_Load();
             v(countdown);
             countdown->cmdCancel_Click();
         },
         "重要信息|" + systemName() + " 将于( 19 )秒后—重新启动。|立刻执行|取消执行", true},
        {"about", [&](const Visit &v) { v(new frmAbout(*main)); },
         "关于 桌面闹钟|桌面闹钟|DeskAlarm|版本: x.y.z|" + frmAbout::descriptionText() +
             "|https://deskalarm.example.org/|系统信息(&S)...|确定",
         true},
        {"message box", // the real box: its own event loop, left with Esc
         [&](const Visit &v) {
             setMessageResponderForTesting({});
             const MessageRequest ask{"删除吗？", "重要提示", MsgIcon::Question,
                                      MsgButtons::OkCancel};
             whileModal(v, [&] { EXPECT_EQ(showMessage(ask), MsgAnswer::Cancel); });
         },
         "重要提示|删除吗？|确定|取消", false},
        {"file chooser",
         [&](const Visit &v) {
             const auto visit = [&](QWidget *w) {
                 v(w); // in the folder given, with the filter in the dialog's own form
                 auto *chooser = qobject_cast<QFileDialog *>(w);
                 EXPECT_EQ(chooser->directory(), QDir(dir.path()));
                 EXPECT_EQ(chooser->nameFilters(), QStringList{"声音文件 (*.wav *.mid)"});
             };
             whileModal(visit, [&] {
                 EXPECT_EQ(ShowOpenDialog(nullptr, "选择文件：", sound, dir.path(), {}), "");
             });
         },
         "", false},
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
            if (!window.fixedDialog)
                return;
            EXPECT_EQ(w->minimumSize(), w->maximumSize());
            const Qt::WindowFlags flags = w->windowHandle()->flags();
            EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
            EXPECT_TRUE(flags & Qt::CustomizeWindowHint); // else the toolkit adds its own
            EXPECT_FALSE(flags & (Qt::WindowMinMaxButtonsHint | Qt::WindowFullscreenButtonHint));
        });
    }
}

TEST(SystemName, ComesFromTheFirstOsReleaseFileThatCanBeRead)
{
    QTemporaryDir dir;
    const QString etc = dir.filePath("etc"), lib = dir.filePath("lib");
    writeBytes(lib, "NAME=\"Lib Linux\"\n");
    const std::pair<const char *, const char *> cases[] = {
        {"NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n", "Debian GNU/Linux"},
        {"ID=x\nNAME=Plain Words\r\n# NAME=comment\n", "Plain Words"},
        {"  NAME='It''s \"x\"'\n", "Its \"x\""},
        {"NAME=\"A \\\"B\\\" \\$C \\\\ \\x\"\n", "A \"B\" $C \\ \\x"},
        {"NAME=\"Two\tlines\nhere\"\n", "Two lines"}, // no line break into a sentence
        {"PRETTY_NAME=\"No Name\"\nNAME=\n", "系统"},
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

// Widget tests need an application object: the offscreen platform unless the
// caller chose another.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(art); // the artwork lives in a static library
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
