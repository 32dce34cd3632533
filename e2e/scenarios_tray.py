"""The tray icon and the main window on Wine's virtual desktop: the icon and its tip after
start-up, the show command, the window's picture and warm static background, Hide and the
close command, the tray menu (by the callback message and by a real right-click on the icon;
a left click opens nothing), the About window with its read-only version box and a restarted
taskbar."""

import os
import re
import time

from harness import MAIN_TITLE, check, pixel, read_ppm, scenario
from steps import (LINK_GREEN, MENU_ENTRIES, MENU_ENTRY_TEXTS, NO_LINK_RED, RES, TRAY_AREA,
                   TRAY_WINDOW, count_near, dismiss_setup_boxes, find_near, near, numbers,
                   quiet_settings, reference_menu, show_main, start_instance, tray_icon_spot,
                   xdotool)

TIP = "Varnel Pallisor Client"
WARM = (247, 240, 222)
WM_TRAYICON_NOTIFY = 0x46F
WM_RBUTTONUP = 0x205
WM_SYSCOMMAND = 0x112
SC_CLOSE = 0xF060
WM_CHAR = 0x102
EM_SETREADONLY = 0xCF
ES_READONLY = 0x800


def hex_field(text, label):
    match = re.search(label + r"=0x([0-9a-fA-F]+)", text)
    check(match is not None, f"no {label} in {text!r}")
    return int(match.group(1), 16)


def wait_hidden(s, what):
    deadline = time.monotonic() + 10
    while s.window_visible(MAIN_TITLE):
        check(time.monotonic() < deadline, f"{what} did not hide the window")
        time.sleep(0.2)


def background_picture(s):
    return read_ppm(os.path.join(s.paths.source_dir, "res", "background.bmp"))


@scenario("tray_icon_and_main_window", labels=("e2e", "tray"))
def icon_and_main_window(s):
    quiet_settings(s)
    process = start_instance(s)
    dismiss_setup_boxes(s, quiet_for=1.0)
    check(not s.window_visible(MAIN_TITLE), "the main window is visible after start-up")

    # The not-connected icon sits in the notification area.
    time.sleep(0.5)
    shot = read_ppm(s.screenshot("tray"))
    red = count_near(shot, TRAY_AREA, NO_LINK_RED)
    green = count_near(shot, TRAY_AREA, LINK_GREEN)
    check(red >= 10 and green < 3,
          f"tray area: {red} pixels of the not-connected red, {green} of the connected green")

    # Its tip, as the taskbar shows it when the pointer rests on the icon.
    icon = find_near(shot, TRAY_AREA, NO_LINK_RED)
    xdotool(s, "mousemove", icon[0], icon[1])
    time.sleep(0.3)
    xdotool(s, "mousemove", icon[0] + 1, icon[1])
    tip = s.helper("tooltip", 5000).stdout.strip()
    s.screenshot("tip")
    check(tip == TIP, f"tray tip {tip!r}")
    xdotool(s, "mousemove", 300, 300)

    # The outside show command opens the window; its picture and the warm static
    # background are painted.
    show_main(s)
    time.sleep(0.5)
    shot = read_ppm(s.screenshot("shown"))
    client = numbers(s.helper("rect", MAIN_TITLE).stdout, "client")
    status = numbers(s.helper("item-rect", MAIN_TITLE, RES.IDC_STATIC_STATUS).stdout, "rect")
    centre = ((status[0] + status[2]) // 2, (status[1] + status[3]) // 2)
    check(pixel(shot, *centre) == WARM,
          f"status line background {pixel(shot, *centre)} at {centre}, window {client}")
    # The picture's panel has the same colour by design; what the brush prevents is the
    # system's button face, which a static would otherwise paint.
    connect = numbers(s.helper("item-rect", MAIN_TITLE, RES.IDC_BUTTON_CONNECT).stdout, "rect")
    face = pixel(shot, connect[0] + 4, (connect[1] + connect[3]) // 2)
    check(not near(face, WARM, 8), f"the system's button face {face} is the warm colour")
    picture = background_picture(s)
    for x, y in ((8, 8), (40, 20), (client[2] - client[0] - 8, 30)):
        seen = pixel(shot, client[0] + x, client[1] + y)
        check(near(seen, pixel(picture, x, y), 8),
              f"picture at client ({x},{y}): screen {seen}, bitmap {pixel(picture, x, y)}")

    # Hide, then the system close command, each hide the window; the program goes on.
    s.helper("command", MAIN_TITLE, RES.IDC_BUTTON_HIDE)
    wait_hidden(s, "Hide")
    show_main(s)
    s.helper("post", MAIN_TITLE, WM_SYSCOMMAND, SC_CLOSE, 0)
    wait_hidden(s, "SC_CLOSE")
    check("SC_CLOSE" in process.trace(), f"no SC_CLOSE trace in {process.trace()}")
    check(process.running(), "the program ended")


def open_tray_menu(s):
    check(s.helper("post", TRAY_WINDOW, WM_TRAYICON_NOTIFY, RES.IDR_TRAY_MENU,
                   WM_RBUTTONUP).returncode == 0, "no tray window")
    listing = s.helper("menu", 10000).stdout
    check("rect=" in listing, f"no popup menu: {listing!r}")
    return listing


def check_menu_matches(s, expected, rect, label):
    """The shown popup menu sits at rect and looks exactly like the reference picture."""
    listing = s.helper("menu", 10000).stdout
    check(numbers(listing, "rect") == rect, f"{label} menu at {listing!r}, expected {rect}")
    left, top, right, bottom = rect
    # The menu window shows before it is painted: look again until the picture is complete.
    deadline = time.monotonic() + 3
    while True:
        shot = read_ppm(s.screenshot(label))
        differing = sum(1 for py in range(top, bottom) for px in range(left, right)
                        if pixel(shot, px, py) != pixel(expected, px, py))
        if differing == 0 or time.monotonic() >= deadline:
            break
        time.sleep(0.2)
    check(differing == 0, f"{differing} pixels of the {label} menu differ from the entries "
          f"{MENU_ENTRIES} (see the {label} and reference-menu screenshots)")


def version_text(s):
    return s.helper("item-text", "About", RES.IDC_ABOUT_VERSION).stdout.strip()


def check_version_read_only(s):
    """The About version box shows "1.00" and takes no typing."""
    check(version_text(s) == "1.00", f"About version {version_text(s)!r}")
    style = hex_field(s.helper("item-style", "About", RES.IDC_ABOUT_VERSION).stdout, "style")
    check(style & ES_READONLY, f"the version box is not read-only: style {style:#x}")
    for char in "9x\b":
        check(s.helper("item-send", "About", RES.IDC_ABOUT_VERSION, WM_CHAR, ord(char),
                       1).returncode == 0, "could not type into the version box")
    check(version_text(s) == "1.00", f"typing changed the version to {version_text(s)!r}")
    # The same typing does reach a box that is not read-only: the check above is not blind.
    s.helper("item-send", "About", RES.IDC_ABOUT_VERSION, EM_SETREADONLY, 0, 0)
    s.helper("item-send", "About", RES.IDC_ABOUT_VERSION, WM_CHAR, ord("9"), 1)
    check(version_text(s) != "1.00", "typing does not reach the version box at all")


@scenario("tray_menu_and_about", labels=("e2e", "tray"))
def menu_and_about(s):
    quiet_settings(s)
    process = start_instance(s)
    dismiss_setup_boxes(s, quiet_for=1.0)
    x, y = tray_icon_spot(s, "tray")

    # A left click on the icon opens nothing.
    xdotool(s, "mousemove", x, y, "click", 1)
    check(s.helper("menu", 1500).returncode == 1, "a left click opened a menu")
    check(not s.window_visible(MAIN_TITLE), "a left click showed the main window")

    # Another process cannot read a menu's items under Wine, so the program's menu is
    # compared with a menu of the expected entries drawn at the same place: the cursor.
    expected, rect, items = reference_menu(s, x, y, MENU_ENTRY_TEXTS)
    check(s.helper("post", TRAY_WINDOW, WM_TRAYICON_NOTIFY, RES.IDR_TRAY_MENU,
                   WM_RBUTTONUP).returncode == 0, "no tray window")
    check_menu_matches(s, expected, rect, "menu")
    # Clicking beside the menu closes it and chooses nothing.
    xdotool(s, "mousemove", 300, 300, "click", 1)
    check(s.helper("menu-gone", 5000).returncode == 0, "the menu stayed open")
    check(s.helper("find", "About").returncode == 1, "closing the menu opened About")

    # A real right-click on the icon: the taskbar's own notification opens the same menu.
    xdotool(s, "mousemove", x, y, "click", 3)
    check_menu_matches(s, expected, rect, "right-click-menu")

    # "About Ostrimel", the fourth entry, chosen with the mouse.
    about = items[3]
    xdotool(s, "mousemove", (about[0] + about[2]) // 2, (about[1] + about[3]) // 2, "click", 1)
    check(s.wait_window("About", 10000), "no About window")
    s.screenshot("about")
    check_version_read_only(s)
    check(s.press("About"), "could not close the About window")
    check(s.helper("gone", "About", 5000).returncode == 0, "the About window stayed")

    # A restarted taskbar has lost the icon and announces itself; the program adds the icon
    # again and lives on.
    check(s.helper("tray-delete", TRAY_WINDOW, RES.IDR_TRAY_MENU).returncode == 0,
          "could not take the icon out of the tray")
    time.sleep(0.5)
    shot = read_ppm(s.screenshot("icon-lost"))
    check(count_near(shot, TRAY_AREA, NO_LINK_RED) == 0, "the icon is still in the tray")
    check(s.helper("broadcast-taskbar-created").returncode == 0, "broadcast failed")
    time.sleep(1.0)
    shot = read_ppm(s.screenshot("taskbar-created"))
    check(count_near(shot, TRAY_AREA, NO_LINK_RED) >= 10, "no icon after TaskbarCreated")
    check(process.running(), "the program ended after TaskbarCreated")
    check(s.window_count(TRAY_WINDOW) == 1, "not exactly one tray window")
