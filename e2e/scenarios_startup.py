"""Start-up of the real program: single instance, "-r", the trusted-site check of a portal
address on the command line, the OS trace, a missing settings file and the refusals of a
program folder that users can change or that cannot be entered."""

import os
import shutil

from harness import MAIN_TITLE, check, scenario
from steps import (EXIT_BOX_TEXT, WARNING_CAPTION, dismiss_setup_boxes, end_by_remove,
                   quiet_settings, start_instance)

TRUSTED_SITE_TEXT = ("Please add the URL into trusted sites of browser (internet options > "
                     "Security : Trusted Sites) for running Ostrimel.")
RANGES_KEY = ("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\"
              "ZoneMap\\Ranges\\Range{}")
PORTAL = "https://192.168.1.1/"

OS_LINES = {
    "win2k": "Microsoft Windows 2000 \n",
    "winxp": "Microsoft Windows XP \n",
    "vista": "Microsoft Windows Vista \n",
}


def refused_start(s, process, caption, shot):
    """The one box a refused start shows, pressed; the program then ends without a main
    window. Returns the box's text."""
    text = s.box_text(caption, 30000)
    check(text is not None, f"no '{caption}' box; trace {process.trace()}")
    check(s.window_count(MAIN_TITLE) == 0, "the main window exists beside the box")
    s.screenshot(shot)
    check(s.press(caption), f"could not press the '{caption}' box's button")
    check(process.wait(30) is not None, "the program did not end after the box")
    check(s.window_count(MAIN_TITLE) == 0, "a main window appeared after the box")
    return text


@scenario("startup_second_instance")
def second_instance(s):
    quiet_settings(s)
    first = start_instance(s)
    dismiss_setup_boxes(s)
    second = s.start(label="second")
    check(second.wait(30) is not None, "the second start did not end")
    check("Close!!!" in second.trace(), f"no 'Close!!!' in {second.trace()}")
    check(first.running(), "the first instance ended")
    check(s.window_count(MAIN_TITLE) == 1,
          f"{s.window_count(MAIN_TITLE)} '{MAIN_TITLE}' windows")
    check(s.helper("find", WARNING_CAPTION).returncode == 1, "the second start showed a warning")


@scenario("startup_remove_running")
def remove_running(s):
    quiet_settings(s)
    first = start_instance(s)
    dismiss_setup_boxes(s)
    end_by_remove(s, first)
    check(s.window_count(MAIN_TITLE) == 0, "the main window is still there")


@scenario("exit_request_disconnects")
def exit_request(s):
    quiet_settings(s)
    first = start_instance(s)
    dismiss_setup_boxes(s)
    box = end_by_remove(s, first)
    # Disconnect & Exit asks the user to close the browser before the program ends.
    check(box == EXIT_BOX_TEXT, f"exit box text {box!r}")
    trace = first.trace()
    for line in ("CKestrunDlg::OnMenuitemExit()\n", "CKestrunDlg::OnDestroy()!!!\n",
                 "Close Window!!!\n"):
        check(line in trace, f"no {line!r} in {trace}")


@scenario("startup_untrusted_portal", windows="vista")
def untrusted_portal(s):
    quiet_settings(s)
    process = s.start([PORTAL])
    text = refused_start(s, process, WARNING_CAPTION, "warning")
    check(text == TRUSTED_SITE_TEXT, f"warning text {text!r}; trace {process.trace()}")


@scenario("startup_trusted_portal", windows="vista")
def trusted_portal(s):
    quiet_settings(s)
    s.reg_add(RANGES_KEY.format(1), ":Range", "192.168.1.1")
    process = start_instance(s, [PORTAL])
    check("CheckTrustedSite:Index=0001\n" in process.trace(),
          f"no trusted-site match in {process.trace()}")
    texts = dismiss_setup_boxes(s)
    check(TRUSTED_SITE_TEXT not in texts, "the trusted-site warning appeared")
    check(process.running(), "the program ended")
    check(s.window_count(MAIN_TITLE) == 1, "no main window")


def os_trace(windows):
    def run(s):
        quiet_settings(s)
        process = start_instance(s)
        trace = process.trace()
        expected = OS_LINES.get(windows)
        for version, line in OS_LINES.items():
            if version == windows:
                check(line in trace, f"no {line!r} in {trace}")
            else:
                check(line not in trace, f"{line!r} on {windows}: {trace}")
        if expected is None:
            check(not any(t.startswith("Microsoft Windows") for t in trace),
                  f"an OS line on {windows}: {trace}")
        check(process.running(), "the program ended")

    return run


for _version in ("winxp", "win2k", "vista", "win7"):
    scenario(f"startup_os_trace_{_version}", windows=_version)(
        os_trace(_version))


@scenario("startup_missing_settings")
def missing_settings(s):
    process = start_instance(s)
    dismiss_setup_boxes(s)
    check(process.running(), f"the program ended; trace {process.trace()}")
    check(s.window_count(MAIN_TITLE) == 1, "no main window")
    check(not s.window_visible(MAIN_TITLE), "the main window is visible")


@scenario("startup_refuses_open_folder")
def refuses_open_folder(s):
    quiet_settings(s)
    # Everyone may write: under Wine, other bits of the mode become an entry for Everyone.
    os.chmod(s.program_dir, 0o777)
    before = sorted(os.listdir(s.program_dir))
    process = s.start()
    text = refused_start(s, process, WARNING_CAPTION, "open-folder")
    check("can change the folder " in text and "Kestrun." in text, f"warning text {text!r}")
    trace = process.trace()
    check("Kestrun is open to users: S-1-1-0 may change it" in trace,
          f"no refusal in the trace {trace}")
    check(sorted(os.listdir(s.program_dir)) == before, "the refused start wrote files")


@scenario("startup_refuses_unreadable_path")
def refuses_unreadable_path(s):
    quiet_settings(s)
    # A path of 258 characters, beyond the 256 the program reads its own name into.
    deep = os.path.join("a" * 117, "b" * 117)
    os.makedirs(os.path.join(s.program_dir, deep))
    shutil.copy2(os.path.join(s.program_dir, "Kestrun.exe"),
                 os.path.join(s.program_dir, deep, "Kestrun.exe"))
    check(len("C:\\Kestrun\\" + deep + "\\Kestrun.exe") == 258, "the path is not 258 long")
    before = sorted(os.listdir(s.program_dir))
    process = s.start(exe=os.path.join(deep, "Kestrun.exe"))
    text = refused_start(s, process, "Error:", "unreadable-path")
    check(text == "The program's folder cannot be found or entered.", f"error text {text!r}")
    check(sorted(os.listdir(s.program_dir)) == before, "the refused start wrote files")
    check(os.listdir(os.path.join(s.program_dir, deep)) == ["Kestrun.exe"],
          "the refused start wrote files beside the program")
