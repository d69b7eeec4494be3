"""The popup menu: the About box, the read-me page handed to the desktop's
opener, and exit with its question."""
import os

from harness import RealDisplayTest, wait_for

ABOUT = "^关于 桌面闹钟$"


class MenuTest(RealDisplayTest):
    def test_about_readme_and_exit(self):
        # The desktop's opener, standing in: it notes what it was asked to open.
        tools = self.scratch("deskalarm-opener-")
        opened = os.path.join(tools, "opened")
        self.script(os.path.join(tools, "xdg-open"), 'printf "%%s|" "$@" >> "%s"' % opened)
        program = self.start_clock(env={"PATH": tools + os.pathsep + self.env["PATH"]})

        clock = self.open_menu()
        self.screenshot("menu")
        self.xdotool("key", "a")
        about = self.find(ABOUT)[0]
        self.screenshot("about", about)
        self.assertIn("window id # %s" % hex(clock), self.props(about, "WM_TRANSIENT_FOR"))
        self.assertEqual(self.geometry(about)[2:], (382, 237))
        self.click(about, 314, 213)  # OK takes the click although the panel is disabled
        self.gone(ABOUT)

        self.open_menu()
        self.xdotool("key", "r")
        wait_for(lambda: os.path.exists(opened), what="the read-me page opened")
        with open(opened) as f:
            self.assertEqual(f.read(), os.path.join(program.folder, "readme.htm") + "|")
        os.remove(os.path.join(program.folder, "readme.htm"))
        self.open_menu()
        self.xdotool("key", "r")
        self.key(self.find("^文件未找到$")[0], "Return")
        self.gone("^文件未找到$")

        self.open_menu()
        self.xdotool("key", "x")
        self.key(self.find("^有没搞错？$")[0], "Escape")
        self.gone("^有没搞错？$")
        self.assertTrue(program.running())
        self.open_menu()
        self.xdotool("key", "x")
        self.key(self.find("^有没搞错？$")[0], "Return")
        wait_for(lambda: not program.running(), what="the program to end")
