"""A Wayland session of GNOME's window manager: mutter runs headless, and the
clock comes up through its XWayland, placed and kept above as under openbox."""

from harness import RealDisplayTest


class MutterTest(RealDisplayTest):
    WM = "mutter"

    def test_panel_on_top_and_about_box_from_the_menu(self):
        self.start_clock()
        clock = self.clock_window()
        self.check_panel(clock)
        self.screenshot("mutter-clock-panel", clock)
        self.open_menu()
        self.xdotool("key", "a")
        about = self.find("^关于 桌面闹钟$")[0]
        self.assertEqual(self.geometry(about)[2:], (382, 237))
        # A fixed dialog: mutter honours its hints and offers neither (openbox ignores them).
        actions = self.props(about, "_NET_WM_ALLOWED_ACTIONS")
        self.assertFalse("MINIMIZE" in actions or "MAXIMIZE" in actions, actions)
        self.screenshot("mutter-about", about)
        self.click(about, 314, 213)
        self.gone("^关于 桌面闹钟$")
