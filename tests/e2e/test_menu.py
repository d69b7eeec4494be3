"""The popup menu and the About box on a real display."""
import time
import unittest

from harness import RealDisplayTest, wait_for

# xdotool's patterns are POSIX extended expressions: no \d.
CLOCK = r"^[0-9][0-9]:[0-9][0-9]:[0-9][0-9]\("
ABOUT = "^关于 桌面闹钟$"
QUESTION = "^有没搞错？$"


class MenuTest(RealDisplayTest):
    def open_menu(self):
        """Right-clicks the time; returns the clock window."""
        window = self.display.find_windows(CLOCK)[0]
        x, y, _, _ = self.display.geometry(window)
        self.display.xdotool("mousemove", x + 30, y + 15, "click", 3)
        time.sleep(0.5)  # the menu grabs the keyboard once it is up
        return window

    def answer(self, box, key):
        """Presses a key in a message box. Sent to the focused box rather than
        with --window: the box closes on the press, and a release sent after
        it to a window that is gone leaves the key held down in the server."""
        self.display.xdotool("windowactivate", "--sync", box)
        self.display.xdotool("key", key)

    def visible(self, pattern):
        return self.display.xdotool("search", "--onlyvisible", "--name", pattern).split()

    def test_about_box_opens_from_the_menu_and_closes_with_ok(self):
        self.start_clock()
        clock = self.open_menu()
        self.display.screenshot("menu")
        self.display.xdotool("key", "a")
        about = self.display.find_windows(ABOUT)[0]
        self.display.screenshot("about", about)
        props = self.display.run(["xprop", "-id", str(about)])
        self.assertIn("WM_TRANSIENT_FOR(WINDOW): window id # %s" % hex(clock), props)
        _, _, width, height = self.display.geometry(about)
        self.assertEqual((width, height), (382, 237))
        self.assertIn("program specified maximum size: 382 by 237", props)
        # OK (3960, 3030 twips) takes the click although the clock is disabled.
        x, y, _, _ = self.display.geometry(about)
        self.display.xdotool("mousemove", x + 264 + 50, y + 202 + 11, "click", 1)
        wait_for(lambda: not self.visible(ABOUT), what="the About box to close")
        # The clock is usable again: its menu opens the box once more.
        self.open_menu()
        self.display.xdotool("key", "a")
        self.display.find_windows(ABOUT)

    def test_exit_asks_once_and_cancel_keeps_the_clock(self):
        program = self.start_clock()
        self.open_menu()
        self.display.xdotool("key", "x")
        box = self.display.find_windows(QUESTION)[0]
        self.answer(box, "Escape")
        wait_for(lambda: not self.visible(QUESTION), what="the question to close")
        time.sleep(1.0)
        self.assertEqual(self.visible(QUESTION), [])
        self.assertTrue(program.running())

        self.open_menu()
        self.display.xdotool("key", "x")
        box = self.display.find_windows(QUESTION)[0]
        self.answer(box, "Return")
        wait_for(lambda: not program.running(), what="the program to end")
        self.assertEqual(self.visible(QUESTION), [])


if __name__ == "__main__":
    unittest.main()
