"""The game's window seen and driven from outside, as a player would, on any X server:
its pixels read back; keys, buttons and motion sent through XTEST. Every wait is bounded."""
import time
from PIL import Image
from Xlib import X, XK, Xatom, display, error, protocol
from Xlib.ext import xtest


def wait(condition, seconds, poll=0.02):
    deadline = time.monotonic() + seconds
    while not (result := condition()) and time.monotonic() < deadline:
        time.sleep(poll)
    return result


def soon(condition, what, seconds=20):
    """What the condition gives once it holds, else a failure saying what it waited for.
    Not an assert: the wait must happen under `python -O` too."""
    result = wait(condition, seconds)
    if not result:
        raise AssertionError(f'{what} (waited {seconds} s)')
    return result


class Screen:
    def __init__(self):
        self.x = display.Display()
        self.root = self.x.screen().root
        self.decoy = None
        self.x.xfixes_query_version()  # before any other request of the extension

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
        return w.get_geometry().width, w.get_geometry().height

    def shot(self, w, box=None):
        x, y, width, height = box or (0, 0) + self.size(w)
        data = w.get_image(x, y, width, height, X.ZPixmap, 0xffffffff).data
        return Image.frombytes('RGB', (width, height), data, 'raw', 'BGRX')

    def steady(self, w, seconds=10):
        """A frame the game shows twice running. At rest the eye still moves by an ulp with each
        frame's interpolation factor (alpha * p + (1 - alpha) * p is not always p): now and
        then a frame shows a long edge a row over."""
        def twice():
            first = self.shot(w)
            time.sleep(0.05)
            return first.tobytes() == self.shot(w).tobytes() and first
        return soon(twice, 'the same frame twice running', seconds)

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

    def hold(self, keys, seconds=0, dig=False, until=None):
        """Holds the keys (and the left button, to dig) for a while, or until something
        shows; what `until` gave last."""
        for key in keys:
            self.fake(X.KeyPress, key)
        if dig:
            self.fake(X.ButtonPress, 1)
        reached = wait(until, seconds) if until else time.sleep(seconds)
        if dig:
            self.fake(X.ButtonRelease, 1)
        for key in keys:
            self.fake(X.KeyRelease, key)
        return reached

    def move(self, dx, dy):  # in one motion: SDL drops motions that look like repeats
        self.fake(X.MotionNotify, 1, dx, dy)

    def point(self, w, x, y):
        """Puts the pointer at (x, y) of the window; whether it is over the window now."""
        at = w.translate_coords(self.root, 0, 0)
        self.fake(X.MotionNotify, 0, x - at.x, y - at.y)
        return self.root.query_pointer().child == w

    def sweep(self, w, y, until, seconds, rate=2000):
        """To and fro along row y, a pixel a motion, `rate` a second, until it holds or time is up: how many."""
        at, start, sent = w.translate_coords(self.root, 0, 0), time.monotonic(), 0
        while not until() and (now := time.monotonic() - start) < seconds:
            for _ in range(min(20, int(now * rate) - sent)):  # after a late wake, no flood
                xtest.fake_input(self.x, X.MotionNotify, 0, x=100 + abs(sent % 1200 - 600) - at.x, y=y - at.y)
                sent += 1
            self.x.sync()
            time.sleep(0.002)
        return sent

    def focus(self, w):
        w.set_input_focus(X.RevertToParent, X.CurrentTime)
        self.x.sync()

    def focus_decoy(self):  # a small window of our own, another program's, takes the focus
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

    def iconify(self, w, iconic=True):  # as a window manager marks it iconified, or restored
        atom = self.x.intern_atom
        w.change_property(atom('_NET_WM_STATE'), Xatom.ATOM, 32, [atom('_NET_WM_STATE_HIDDEN')] * iconic)
        self.x.sync()

    def cursor_shown(self):  # where the pointer is, its cursor has a pixel that is not transparent
        return any(argb >> 24 for argb in self.x.xfixes_get_cursor_image(self.root).cursor_image)

    def grabbed_elsewhere(self):  # our own grab fails while another client holds one
        result = self.root.grab_pointer(False, 0, X.GrabModeAsync, X.GrabModeAsync,
                                        X.NONE, X.NONE, X.CurrentTime)
        self.x.ungrab_pointer(X.CurrentTime)
        self.x.sync()
        return result == X.AlreadyGrabbed
