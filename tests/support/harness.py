"""The real game on an X server, seen from outside: its window and pixels, input through
XTEST, its exit status, log and output. Every wait is bounded. Run on a private Xvfb:
`scripts/xvfb.py python3 SCRIPT`."""
import atexit, os, shutil, subprocess, sys, time
from PIL import Image, ImageChops
from Xlib import X, XK, display, error, protocol
from Xlib.ext import xtest

GAME, PROBE, ASSETS = (os.environ.get(k, '') for k in ('GAME', 'PROBE', 'ASSETS'))
START = ['Tessaria started...', 'Running tests...', 'Finished running tests.']
GLEW = 'Initialized GLEW 2.2.0'
SELF_TESTS = ('Test 1:\n\tCollision: 1\n\tProjectionVector: (0.000000, 0.000000, 1.000000)\n'
              '\t Projection Length: 0.250000\n\nTest 2:\n\tCollision: 1\n\tProjectionVector: '
              '(0.707107, 0.707107, 0.000000)\n\t Projection Length: 0.146447\n\n')
DIR = object()  # in a run's files: a directory of that name
failures, games = [], []
atexit.register(lambda: [g.process.kill() for g in games if g.process and g.process.poll() is None])


def check(ok, what):
    if not ok:
        failures.append(what)
        print('FAILED:', what, flush=True)
    return ok


def require(ok, what):  # a check the rest of the script cannot do without
    return check(ok, what) or finish()


def finish():
    print(f'{len(failures)} checks failed' if failures else 'all checks passed')
    sys.exit(1 if failures else 0)


def wait(condition, seconds, poll=0.05):
    deadline = time.monotonic() + seconds
    while not (result := condition()) and time.monotonic() < deadline:
        time.sleep(poll)
    return result


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def differs(a, b):  # the largest difference of any channel of any pixel
    return max(high for _, high in ImageChops.difference(a, b).getextrema())


class Screen:
    def __init__(self):
        self.x = display.Display()
        self.root = self.x.screen().root
        self.decoy = None

    def window(self, title='Tessaria', seconds=20):
        def mapped():
            for w in self.root.query_tree().children:
                try:  # SDL makes and drops windows while it starts
                    if w.get_wm_name() == title and w.get_attributes().map_state == X.IsViewable:
                        return w
                except error.XError:
                    pass
        return wait(mapped, seconds)

    def size(self, w):
        g = w.get_geometry()
        return g.width, g.height

    def shot(self, w, box=None):
        x, y, width, height = box or (0, 0) + self.size(w)
        data = w.get_image(x, y, width, height, X.ZPixmap, 0xffffffff).data
        return Image.frombytes('RGB', (width, height), data, 'raw', 'BGRX')

    def pixel(self, w, x, y):
        return self.shot(w, (x, y, 1, 1)).getpixel((0, 0))

    def fake(self, kind, detail=0, x=0, y=0):  # a key by name, a button, a relative motion
        if isinstance(detail, str):
            detail = self.x.keysym_to_keycode(XK.string_to_keysym(detail))
        xtest.fake_input(self.x, kind, detail, x=x, y=y)
        self.x.sync()

    def tap(self, key, hold=0.15):  # long enough for SDL's keyboard state to see it
        self.fake(X.KeyPress, key)
        time.sleep(hold)
        self.fake(X.KeyRelease, key)

    def move(self, dx, dy):
        self.fake(X.MotionNotify, 1, dx, dy)

    def focus(self, w):
        w.set_input_focus(X.RevertToParent, X.CurrentTime)
        self.x.sync()

    def focus_decoy(self):  # a small window of our own takes the focus
        if self.decoy is None:
            self.decoy = self.root.create_window(900, 700, 50, 50, 0, X.CopyFromParent)
            self.decoy.map()
            self.x.sync()
            time.sleep(0.1)
        self.focus(self.decoy)

    def close(self, w):  # what a window manager sends for a click on the close box
        atom = self.x.intern_atom
        w.send_event(protocol.event.ClientMessage(
            window=w, client_type=atom('WM_PROTOCOLS'),
            data=(32, [atom('WM_DELETE_WINDOW'), X.CurrentTime, 0, 0, 0])))
        self.x.sync()

    def grabbed_elsewhere(self):  # our own grab fails while another client holds one
        result = self.root.grab_pointer(False, 0, X.GrabModeAsync, X.GrabModeAsync,
                                        X.NONE, X.NONE, X.CurrentTime)
        self.x.ungrab_pointer(X.CurrentTime)
        self.x.sync()
        return result == X.AlreadyGrabbed


class Game:
    """One run in a fresh folder named after it, holding the shipped assets changed by
    `files` (name: text or bytes, None to remove, DIR for a directory)."""

    def __init__(self, name, files={}, program=GAME):
        self.dir, self.program, self.process = os.path.abspath(name), program, None
        shutil.rmtree(self.dir, ignore_errors=True)
        shutil.copytree(ASSETS, self.dir)
        for file, content in files.items():
            path = os.path.join(self.dir, file)
            if os.path.exists(path):
                os.remove(path)
            if content is DIR:
                os.mkdir(path)
            elif content is not None:
                open(path, 'wb').write(content.encode() if isinstance(content, str) else content)
        games.append(self)

    def start(self, environment=None, user=None, read_only=False):
        out = [open(os.path.join(self.dir, name), 'wb') for name in ('stdout.txt', 'stderr.txt')]
        command = [self.program]
        if user is not None:  # for root, whom a read-only folder does not stop
            command = ['setpriv', f'--reuid={user}', f'--regid={user}', '--clear-groups'] + command
        if read_only:
            os.chmod(self.dir, 0o555)
        self.process = subprocess.Popen(command, cwd=self.dir, stdout=out[0], stderr=out[1],
                                        env=environment)
        [f.close() for f in out]

    def enter_play(self, screen):
        """Starts the game and leaves the splash with a key; returns its window."""
        self.start()
        w = screen.window()
        require(w and self.wait_log('IntroState Init'), f'{self.dir}: the splash starts')
        screen.tap('x', 0.05)
        require(self.wait_log('PlayState Init'), f'{self.dir}: a key leads into the game')
        return w

    def file(self, name):  # its text, or None when there is no such file
        path = os.path.join(self.dir, name)
        return open(path, 'rb').read().decode(errors='replace') if os.path.isfile(path) else None

    def log(self):
        text = self.file('log.txt')
        return None if text is None else text.split('\n')[:-1]

    def wait_log(self, line, seconds=30):
        return wait(lambda: line in (self.log() or []), seconds)

    def end(self, seconds=30):
        """The exit status; a game still running after the wait is killed (-9)."""
        try:
            return self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return self.process.wait()
        finally:
            os.chmod(self.dir, 0o755)

