"""The alarm list dialog and the editor, reached from the popup menu: an item
typed into the editor lands in the data file, and a screen reader hears every
control by the name a person sees."""
import datetime
import re

from harness import RealDisplayTest, record, wait_for

# The list dialog's controls, in pixels from its client area's corner.
ADD, OK = (444, 28), (344, 267)
CONTAINERS = {"application", "filler", "panel", "scroll pane", "viewport", "unknown"}  # hold others


class ListAndEditorTest(RealDisplayTest):
    def test_item_added_in_the_editor_is_saved_and_every_control_is_named(self):
        kept = record("第一项", datetime.date(2026, 1, 1), "08:00:00", 1, "早")
        program = self.start_clock(kept)
        self.open_menu()
        self.xdotool("key", "s")
        setup = self.find("^系统设置$")[0]
        self.screenshot("list-dialog", setup)
        self.click(setup, *ADD)
        editor = self.find("^新增闹钟项目$")[0]
        self.assertIn(hex(setup), self.props(editor, "WM_TRANSIENT_FOR"))
        # A screen reader hears both windows, and no internal name among them.
        def heard():
            tree = self.accessible()
            return any(row[1] == "新增闹钟项目" for row in tree) and tree
        unnamed = ["%s %r (%r)" % row for row in wait_for(heard, what="the editor read out")
                   if row[0] not in CONTAINERS and re.fullmatch(r"|[A-Za-z]+[0-9_]*", row[1])]

        # Title; Tab through year, month and day to hour, minute and second.
        self.xdotool("windowactivate", "--sync", editor)
        self.xdotool("type", "--delay", "50", "Standup")
        self.key(editor, "Tab", "Tab", "Tab", "Tab", "7", "Tab", "2", "9", "Tab", "4", "0")
        # Repeat kind, message, the enabled box; past date, time and buttons: run a program, browse.
        self.key(editor, "Tab", "Tab", "Tab", "space", *["Tab"] * 6, "2", "Tab", "Tab", "space")
        chooser = self.find("^选择文件：$")[0]  # the toolkit's own, read out in Chinese
        def chooser_read_out():
            names = [row[1] for row in self.accessible()]
            return "选择文件：" in names and names[names.index("选择文件："):]
        said = wait_for(chooser_read_out, what="the file chooser read out")
        self.screenshot("file-chooser", chooser)
        self.assertLessEqual({"查找范围：", "文件名称(N)：", "文件类型：", "打开(O)", "取消"}, set(said))
        self.assertFalse(re.findall(r"Look in|File name|Files of type|Open|Cancel", str(said)))
        self.key(chooser, "Escape")
        self.gone("^选择文件：$")
        self.screenshot("editor-filled", editor)
        self.key(editor, "alt+s")
        self.gone("^新增闹钟项目$")
        # Appended whole, the date left at today, no other field set.
        added = record("Standup", datetime.date.today(), "07:29:40", 0, action=2)
        self.assertEqual(program.data(), kept + added)
        self.click(setup, *OK)
        self.gone("^系统设置$")
        self.assertEqual(program.data(), kept + added)
        self.assertEqual(unnamed, [], "controls a screen reader hears by no name of a person's")
