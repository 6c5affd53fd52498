#!/usr/bin/env python3
"""Walks the running program's accessible tree through AT-SPI, as a screen reader reads it.

Starts its own X server (Xvfb) and a private D-Bus session (dbus-run-session), which brings up
the accessibility bus and its registry on demand; starts the program with Qt's accessibility
bridge on; then checks the names and roles of the controls, the text of the cells, the Tab order,
that Tab leaves the table, Ctrl+L and Escape, and that the search count is announced.

Every step waits for a state (a focused object, a name, an event) with a deadline, never for a
fixed time. The stack sometimes comes up wrong: an accessibility session in which the program
never reports keyboard focus, or an X server that refuses the program; the whole stack is then
started once more, and the test says so.

Exit codes: 0 passed, 1 failed, 77 skipped (a tool is missing; nothing was checked).

Usage: atspi_walk.py PROGRAM
"""

import os
import random
import shutil
import socket
import subprocess
import sys
import tempfile
import time

SKIP = 77
STACK_CAME_UP_WRONG = 3
SYSTEM_PYTHON = '/usr/bin/python3'
BUS_LAUNCHERS = ['/usr/libexec/at-spi-bus-launcher', '/usr/lib/at-spi2-core/at-spi-bus-launcher']

# The preset the checks look for: bank index 4, preset index 22, in the file the program loads.
SHIMMER = ('Deep Shimmer', 'Tester', 13)
SHIMMER_SPOKEN = 'Deep Shimmer, Tester, Specials, bank 5, preset 23'


def missing_tools():
    missing = [tool for tool in ('Xvfb', 'dbus-run-session') if not shutil.which(tool)]
    if not any(os.path.exists(path) for path in BUS_LAUNCHERS):
        missing.append('at-spi-bus-launcher (at-spi2-core)')
    python = SYSTEM_PYTHON if os.path.exists(SYSTEM_PYTHON) else sys.executable
    probe = subprocess.run([python, '-c', 'import pyatspi'], capture_output=True)
    if probe.returncode != 0:
        missing.append('pyatspi (python3-pyatspi)')
    return missing, python


def write_preset_file(path):
    """A complete 16-bank preset file with one preset the checks know by name."""
    lines = ['<presetbanks>', ' <device name="orvex+"/>']
    for bank in range(16):
        lines.append(' <bank>')
        for preset in range(128):
            name, author, category = (f'P{bank + 1}-{preset + 1}', 'Walker', 1)
            if (bank, preset) == (4, 22):
                name, author, category = SHIMMER
            params = ''.join(f'{(bank * 7 + preset + k) % 128:02X}' for k in range(128))
            lines.append(f'  <preset name="{name}" author="{author}" category="{category}">{params}</preset>')
        lines.append(' </bank>')
    lines.append('</presetbanks>')
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines) + '\n')


def display_in_use(number):
    """A lock file, a socket file, or an abstract socket another X server (perhaps in another
    container sharing the network namespace) answers on."""
    if os.path.exists(f'/tmp/.X{number}-lock') or os.path.exists(f'/tmp/.X11-unix/X{number}'):
        return True
    probe = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        probe.connect(f'\0/tmp/.X11-unix/X{number}')
        return True
    except OSError:
        return False
    finally:
        probe.close()


def answers(path):
    probe = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        probe.connect(path)
        return True
    except OSError:
        return False
    finally:
        probe.close()


def start_xvfb(log_path):
    for number in random.sample(range(200, 2000), 40):
        if display_in_use(number):
            continue
        read_fd, write_fd = os.pipe()
        with open(log_path, 'a') as log:
            # -noreset: a server that resets when its last client leaves refuses the next one
            # for a moment, and the bus's helpers come and go before the program connects.
            xvfb = subprocess.Popen(['Xvfb', f':{number}', '-displayfd', str(write_fd), '-screen', '0',
                                     '1600x1000x24', '-nolisten', 'tcp', '-noreset'],
                                    pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=log)
        os.close(write_fd)
        # Xvfb writes the display number once it accepts clients: the state to wait for. It
        # writes nothing and ends when the display was taken after all.
        with os.fdopen(read_fd) as f:
            written = f.readline().strip()
        # Its socket must answer too: a clash on the abstract socket shows only there.
        if written == str(number) and xvfb.poll() is None and answers(f'/tmp/.X11-unix/X{number}'):
            return xvfb, f':{number}'
        xvfb.kill()
        xvfb.wait()
    raise RuntimeError('no free display for Xvfb')


def run_once(program, python):
    work = tempfile.mkdtemp(prefix='orvex-atspi-')
    xvfb = None
    xvfb_log = os.path.join(work, 'xvfb.log')
    try:
        xvfb, display = start_xvfb(xvfb_log)
        home = os.path.join(work, 'home')
        os.makedirs(os.path.join(home, 'Documents'))
        runtime = os.path.join(work, 'run')
        os.makedirs(runtime, mode=0o700)
        env = dict(os.environ, DISPLAY=display, HOME=home, XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(home, '.config'), XDG_DATA_HOME=os.path.join(home, '.local/share'))
        env.pop('DBUS_SESSION_BUS_ADDRESS', None)
        env.pop('AT_SPI_BUS_ADDRESS', None)
        walk = subprocess.run(['dbus-run-session', '--', python, os.path.abspath(__file__), '--walk', program, work],
                              env=env, timeout=240)
        if walk.returncode not in (0, SKIP):
            alive = 'running' if xvfb.poll() is None else f'ended with {xvfb.returncode}'
            with open(xvfb_log) as log:
                print(f'Xvfb on {display} ({alive}) said:\n' + log.read()[-2000:])
        return walk.returncode
    except subprocess.TimeoutExpired:
        print('FAIL: the walk did not end within 240 s')
        return 1
    finally:
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)


def main():
    if len(sys.argv) >= 4 and sys.argv[1] == '--walk':
        return Walk(sys.argv[2], sys.argv[3]).run()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    missing, python = missing_tools()
    if missing:
        print('SKIP: missing ' + ', '.join(missing))
        return SKIP
    code = run_once(sys.argv[1], python)
    if code == STACK_CAME_UP_WRONG:
        print('NOTE: the stack (X server, accessibility bus) came up wrong; starting it once more')
        code = run_once(sys.argv[1], python)
        if code == STACK_CAME_UP_WRONG:
            print('FAIL: the stack (X server, accessibility bus) came up wrong twice')
            return 1
    return code


class Failure(Exception):
    pass


class StackWrong(Exception):
    pass


class Walk:
    def __init__(self, program, work):
        import gi
        gi.require_version('Atspi', '2.0')
        from gi.repository import GLib
        import pyatspi
        self.pyatspi = pyatspi
        self.context = GLib.MainContext.default()
        self.program = program
        self.work = work
        self.failures = []
        self.names_heard = []
        self.focus_events = 0

    # --- waiting -------------------------------------------------------------------------

    def pump(self):
        while self.context.pending():
            self.context.iteration(False)

    def wait_for(self, what, check, timeout=20.0):
        deadline = time.monotonic() + timeout
        while True:
            self.pump()
            try:
                result = check()
            except StackWrong:
                raise
            except Exception:  # an object that went away while it was read
                result = None
            if result:
                return result
            if time.monotonic() > deadline:
                raise Failure(f'timed out waiting for {what}')
            time.sleep(0.02)  # poll interval only; the deadline is what bounds the wait

    # --- reading the tree ----------------------------------------------------------------

    def role(self, acc):
        # Newer at-spi2-core (Debian 13) names the push button role just "button", and newer Qt
        # gives a button that opens a menu a role of its own; both are buttons to the user.
        name = acc.getRoleName()
        return 'push button' if name in ('button', 'push button menu', 'button menu') else name

    def walk_tree(self, acc, found, depth=0):
        """Every object but the cells and rows inside tables and lists."""
        found.append(acc)
        if depth > 20 or self.role(acc) in ('table', 'list', 'tree table'):
            return found
        for i in range(acc.childCount):
            child = acc.getChildAtIndex(i)
            if child is not None:
                self.walk_tree(child, found, depth + 1)
        return found

    def objects(self):
        found = []
        for i in range(self.app.childCount):
            window = self.app.getChildAtIndex(i)
            if window is not None:
                self.walk_tree(window, found)
        return found

    def find(self, role, name):
        for acc in self.objects():
            if self.role(acc) == role and acc.name == name:
                return acc
        return None

    def focused(self):
        for acc in self.objects():
            if acc.getState().contains(self.pyatspi.STATE_FOCUSED):
                return acc
        return None

    def describe(self, acc):
        return f'{self.role(acc)} "{acc.name}"' if acc is not None else 'nothing'

    def check(self, condition, message):
        if not condition:
            self.failures.append(message)
            print('  FAIL: ' + message)

    # --- the keyboard --------------------------------------------------------------------

    KEYSYMS = {'Tab': 0xff09, 'Escape': 0xff1b, 'Return': 0xff0d, 'space': 0x20, 'l': 0x6c, 'o': 0x6f, 'f': 0x66}
    # Modifier keys by their keycodes in the X server's default keymap.
    MODIFIERS = {'Control': 37, 'Shift': 50}

    def key(self, name, *modifiers):
        reg = self.pyatspi.Registry
        for m in modifiers:
            reg.generateKeyboardEvent(self.MODIFIERS[m], None, self.pyatspi.KEY_PRESS)
        reg.generateKeyboardEvent(self.KEYSYMS[name], None, self.pyatspi.KEY_SYM)
        for m in reversed(modifiers):
            reg.generateKeyboardEvent(self.MODIFIERS[m], None, self.pyatspi.KEY_RELEASE)

    def press_until_focus(self, what, name, *modifiers, expected=None):
        before = self.focused()
        self.key(name, *modifiers)
        now = self.wait_for(f'the focus to move on {what}',
                            lambda: (lambda f: f if f is not None and f != before else None)(self.focused()))
        if expected is not None:
            self.check((self.role(now), now.name) == expected,
                       f'{what}: focus went to {self.describe(now)}, expected {expected[0]} "{expected[1]}"')
        return now

    # --- the run -------------------------------------------------------------------------

    def run(self):
        pyatspi = self.pyatspi
        documents = os.path.join(self.work, 'home', 'Documents')
        self.preset_file = os.path.join(documents, 'walk.pre')
        write_preset_file(self.preset_file)
        # The built-in module simulator, for the export's preview of changes.
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', QT_ACCESSIBILITY='1', QT_QPA_PLATFORM='xcb',
                   QT_QPA_PLATFORMTHEME='', ORVEX_SIMULATOR='1')
        # Listening before the program starts: Qt asks the registry once, as its bridge comes up,
        # which events anyone listens for, and only then subscribes to news of later listeners.
        # A listener registered in between (a wider window on a busy machine) is never told any
        # name change, and the announcements below would wait for events that never come.
        pyatspi.Registry.registerEventListener(self.on_name, 'object:property-change:accessible-name')
        pyatspi.Registry.registerEventListener(self.on_focus, 'object:state-changed:focused')
        self.process = subprocess.Popen([self.program], env=env)
        try:
            self.steps()
        except StackWrong as e:
            print('  ' + str(e))
            return STACK_CAME_UP_WRONG
        except Failure as e:
            self.failures.append(str(e))
            print('  FAIL: ' + str(e))
        finally:
            self.process.terminate()
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.process.kill()
        if self.failures:
            print(f'FAIL: {len(self.failures)} finding(s)')
            return 1
        print('PASS')
        return 0

    def on_name(self, event):
        try:
            self.names_heard.append(event.source.name)
        except Exception:
            pass

    def on_focus(self, event):
        if event.detail1:
            self.focus_events += 1

    def activate_main_window(self):
        """With no window manager, a click on the window's title picture makes it the active one."""
        pyatspi = self.pyatspi
        frame = self.frame  # its title names the file once one is loaded
        if frame.getState().contains(pyatspi.STATE_ACTIVE):
            return
        title = self.find('image', 'Orvex+ Preset Manager')
        x, y, w, h = title.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(x + w // 2, y + h // 2, 'b1c')
        self.wait_for('the main window to become active', lambda: frame.getState().contains(pyatspi.STATE_ACTIVE))

    def steps(self):
        pyatspi = self.pyatspi
        desktop = pyatspi.Registry.getDesktop(0)

        def program_app():
            if self.process.poll() is not None:
                # Seen now and then: Xvfb answered its socket but refused the program.
                raise StackWrong(f'the program ended ({self.process.returncode}) before it was on the bus; '
                                 'the X server came up wrong')
            for i in range(desktop.childCount):
                a = desktop.getChildAtIndex(i)
                if a is not None and a.get_process_id() == self.process.pid:
                    return a
            return None
        self.app = self.wait_for('the program on the accessibility bus', program_app, timeout=60)
        self.frame = self.wait_for('the main window', lambda: self.find('frame', 'Orvex+ Preset Manager'))
        print('The program is on the accessibility bus.')

        # Names and roles, before any banks are there.
        expected = [('push button', n) for n in ('Import', 'Export', 'Load', 'Save', 'Undo', 'Redo',
                                                 'Previous match', 'Next match', 'Take the shown author',
                                                 'Assign the author')]
        expected += [('combo box', 'Language'), ('text', 'Search presets'), ('text', 'Author to assign'),
                     ('list', 'Categories'), ('table', 'Presets'),
                     ('image', 'Orvex+ Preset Manager'), ('image', 'Quillmoth')]
        for role, name in expected:
            self.check(self.find(role, name) is not None, f'no {role} named "{name}"')
        for acc in self.objects():
            state = acc.getState()
            if state.contains(pyatspi.STATE_FOCUSABLE) and state.contains(pyatspi.STATE_SHOWING):
                self.check(acc.name.strip() != '', f'a focusable {self.role(acc)} without a name')
            self.check(not (self.role(acc) == 'push button' and not state.contains(pyatspi.STATE_FOCUSABLE)
                            and acc.name in ('Orvex+ Preset Manager', 'Quillmoth')),
                       f'the picture "{acc.name}" reads as a button')
        table = self.find('table', 'Presets')
        self.check(table.description == 'Load a preset file or import the banks from the module',
                   f'the empty table says "{table.description}", not the hint painted on it')
        first = table.queryTable().getAccessibleAt(0, 0)
        self.check(first.name == 'Empty, bank 1, preset 1', f'an empty cell reads "{first.name}"')
        print('Names and roles checked.')

        # Focus: with no window manager, a click makes the window the active one. The stack
        # sometimes comes up without focus reports; that is the stack, not the program.
        self.activate_main_window()
        import_button = self.find('push button', 'Import')
        import_button.queryComponent().grabFocus()
        try:
            self.wait_for('keyboard focus on Import', lambda: self.focused() == import_button, timeout=20)
        except Failure:
            raise StackWrong('the program reported no keyboard focus after Import took it')

        # Load the file through the keyboard: Ctrl+O, its name, Return.
        self.key('o', 'Control')
        dialog = self.wait_for('the file dialog', lambda: next(
            (w for w in (self.app.getChildAtIndex(i) for i in range(self.app.childCount))
             if w is not None and w.name == 'Open preset file'), None))
        name_field = self.wait_for('the file name field', lambda: next(
            (a for a in self.walk_tree(dialog, []) if self.role(a) == 'text'
             and a.getState().contains(pyatspi.STATE_FOCUSED)), None))
        name_field.queryEditableText().setTextContents(self.preset_file)
        self.wait_for('the name typed', lambda: name_field.queryText().getText(0, -1) == self.preset_file)
        self.key('Return')
        self.wait_for('the table to take the banks',
                      lambda: table.getState().contains(pyatspi.STATE_ENABLED)
                      and table.queryTable().getAccessibleAt(22, 4).name == SHIMMER_SPOKEN, timeout=30)
        cell = table.queryTable().getAccessibleAt(22, 4)
        print(f'Cell (bank 5, preset 23) reads "{cell.name}".')
        other = table.queryTable().getAccessibleAt(127, 15).name
        self.check(other == 'P16-128, Walker, User, bank 16, preset 128', f'the last cell reads "{other}"')

        # The Tab order, from Import round to Import again. The closed dialog may have left no
        # window active.
        self.activate_main_window()
        import_button.queryComponent().grabFocus()
        self.wait_for('keyboard focus on Import', lambda: self.focused() == import_button)
        order = [self.describe(import_button)]
        for _ in range(40):
            now = self.press_until_focus('Tab', 'Tab')
            if now == import_button:
                break
            order.append(self.describe(now))
        else:
            self.check(False, 'Tab never came back round to Import')
        print('Tab order: ' + ' -> '.join(order))
        wanted = ['push button "Import"', 'push button "Export"', 'push button "Load"',
                  'push button "Recent files"', 'push button "Save"',
                  'combo box "Language"', 'check box "Library"', 'push button "Take the shown author"',
                  'text "Author to assign"', 'push button "Assign the author"', 'list "Categories"',
                  'text "Search presets"', 'push button "Compare"', 'push button "Backups"', 'table "Presets"']
        self.check(order == wanted, 'the Tab order differs from ' + ' -> '.join(wanted))
        # Tab left the table; Shift+Tab goes back into it and on to the search row's last button.
        self.press_until_focus('Shift+Tab from Import', 'Tab', 'Shift', expected=('table', 'Presets'))
        self.press_until_focus('Shift+Tab from the table', 'Tab', 'Shift', expected=('push button', 'Backups'))

        # Ctrl+L into the library's search field, Escape back to the table.
        self.press_until_focus('Tab back into the table', 'Tab', expected=('table', 'Presets'))
        self.press_until_focus('Ctrl+L', 'l', 'Control', expected=('text', 'Search the library'))
        self.press_until_focus('Escape in the library', 'Escape', expected=('table', 'Presets'))
        self.press_until_focus('Tab from the table with the library open', 'Tab',
                               expected=('text', 'Search the library'))

        # The library's results read like the table's cells, with their file.
        library_search = self.focused()
        library_search.queryEditableText().setTextContents('shimmer')
        results = self.find('table', 'Library results')

        def first_result():
            table_iface = results.queryTable()
            return table_iface.nRows > 0 and table_iface.getAccessibleAt(0, 0).name
        result = self.wait_for('a library result', first_result, timeout=60)
        self.check(result == SHIMMER_SPOKEN + ', in walk.pre', f'the library result reads "{result}"')

        # The search count and the preset a search steps to are announced from the search bar.
        self.names_heard.clear()
        self.press_until_focus('Ctrl+F', 'f', 'Control', expected=('text', 'Search presets'))
        self.focused().queryEditableText().setTextContents('shimmer')
        self.wait_for('"1 found" announced', lambda: '1 found' in self.names_heard)
        self.key('Return')
        self.wait_for('the found preset announced', lambda: SHIMMER_SPOKEN in self.names_heard)
        print('Announced: ' + ' | '.join(n for n in self.names_heard if n in ('1 found', SHIMMER_SPOKEN)))
        self.check(self.focus_events > 0, 'no focus events were reported, only focus states')
        self.preview_tab_order()

    def press(self, acc):
        action = acc.queryAction()
        for i in range(action.nActions):
            if action.getName(i) in ('Press', 'press', 'click'):
                action.doAction(i)
                return
        action.doAction(0)

    def preview_tab_order(self):
        """The export's list of changes: Tab and Ctrl+Tab leave it for its buttons and the
        question's Write and Cancel, instead of walking its cells."""
        pyatspi = self.pyatspi
        # By key: the dialog runs modally inside the press, so an action call would wait for its end.
        self.activate_main_window()
        export_button = self.find('push button', 'Export')
        export_button.queryComponent().grabFocus()
        self.wait_for('keyboard focus on Export', lambda: self.focused() == export_button)
        self.key('space')
        dialog = self.wait_for('the transfer dialog', lambda: next(
            (w for w in (self.app.getChildAtIndex(i) for i in range(self.app.childCount))
             if w is not None and w != self.frame and any(self.role(a) == 'push button' and a.name == 'Connect'
                                                          for a in self.walk_tree(w, []))), None))

        def in_dialog(role, name):
            return next((a for a in self.walk_tree(dialog, []) if self.role(a) == role and a.name == name), None)
        self.press(self.wait_for('the Connect button', lambda: in_dialog('push button', 'Connect')))
        start = self.wait_for('the module to answer', lambda: (lambda b: b if b is not None and b.getState().contains(
            pyatspi.STATE_ENABLED) else None)(in_dialog('push button', 'Export')), timeout=30)
        self.press(start)
        changes = self.wait_for('the list of changes', lambda: (lambda t: t if t is not None and t.getState().contains(
            pyatspi.STATE_SHOWING) else None)(in_dialog('table', 'Presets that will change')), timeout=60)
        order = []
        for modifiers in ((), ('Control',)):
            # A click in the middle of the list, away from the ticks: with no window manager,
            # that also makes the dialog the active window.
            x, y, w, h = changes.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            pyatspi.Registry.generateMouseEvent(x + w // 2, y + h // 2, 'b1c')
            self.wait_for('keyboard focus on the list of changes', lambda: self.focused() == changes)
            now = self.press_until_focus('Tab from the list of changes', 'Tab', *modifiers)
            order = [self.describe(changes), self.describe(now)]
            if not modifiers:
                for _ in range(3):
                    order.append(self.describe(self.press_until_focus('Tab in the preview', 'Tab')))
            print('Preview Tab order: ' + ' -> '.join(order))
            wanted = ['table "Presets that will change"', 'push button "Tick all"', 'push button "Untick all"',
                      'push button "Write"', 'push button "Cancel"']
            self.check(order == wanted[:len(order)], 'the preview\'s Tab order differs from ' + ' -> '.join(wanted))
        self.press(in_dialog('push button', 'Cancel'))
        self.key('Escape')


if __name__ == '__main__':
    sys.exit(main())
