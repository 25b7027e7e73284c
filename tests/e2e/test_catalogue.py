"""What a player might put beside the game, run through the real binary: each row gives the
files changed and the exit status, whole log and output, window, pixels and video mode asked
for. One test a row, in three groups (-m settings, sizes, files); `-k no-file` runs one."""
import os, random, re, struct, time, zlib
import pytest
from harness import ASSETS, DIR, GLEW, REASON, SELF_TESTS, START, Then, near, soon, wait
from PIL import Image

DESKTOP = (1024, 768)  # Xvfb's screen, which a side of 0 stands for
NO_MODE = 'Unable to create a window with the desired OpenGL properties'
QUIET = 'fullscreen = false\n'  # windowed, and nothing printed
SMALL = QUIET + 'screenWidth = 200\nscreenHeight = 150\n'  # a small window fades in sooner
GARBAGE = b'\x7f' + random.Random(20240613).randbytes(4095)  # neither bytecode nor a '#' line
TOSTRING = 'screenWidth = 640\nscreenHeight = 480\n%s(setmetatable({}, {__tostring = %s}))\nscreenWidth = 1\n'
MENU_LOG = ['Settings loaded: 800 x 600', GLEW, 'MenuState Init', 'MenuState Cleanup', 'GameEngine Cleanup']
MENU = open(os.path.join(ASSETS, 'menu.bmp'), 'rb').read()
MIDDLE = Image.open(os.path.join(ASSETS, 'Vortel.png')).convert('RGB').getpixel((256, 128))  # of 512 x 256
orange, blue, green, white, black = (200, 100, 50), (0, 0, 200), (0, 200, 0), (255, 255, 255), (0, 0, 0)


def png(width, height, colour_type, depth, samples, palette=b''):
    """A PNG of the samples given row after row (or of one row repeated)."""
    row = width * depth // 8 * {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    samples = samples * height if len(samples) == row else samples
    raw = b''.join(b'\0' + samples[at:at + row] for at in range(0, len(samples), row))
    chunk = lambda kind, data: (struct.pack('>I', len(data)) + kind + data
                                + struct.pack('>I', zlib.crc32(kind + data)))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, depth, colour_type, 0, 0, 0))
            + (chunk(b'PLTE', palette) if palette else b'') + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))


def shows(size=(800, 600), printed=(), gl_error=None, pixels=(), leave='Escape', **mode):
    """The splash in a window, left with status 0; `pixels`: (x, y, colour) from the top
    left, the first waited for while the splash fades in; `mode`: asks(**mode)."""
    log = START + list(printed) + [GLEW, 'IntroState Init'] + ([gl_error] if gl_error else [])
    return dict(status=0, log=log + ['IntroState Cleanup', 'GameEngine Cleanup'], size=size,
                pixels=pixels, leave=leave, **({'calls': asks(size, **mode)} if mode else {}))


def asks(size, full=False, samples=0, vsync=0):
    """What the game asks SDL for, in order (SDL_GLattr's numbers): 8 bits of red, green, blue,
    alpha (0-3), 16 of depth (6), double buffering (5), swap control (16), multisample buffers
    and samples (13, 14); the mode, OpenGL (0x2), full screen (0x80000000); then 640 x 480."""
    return ([f'attribute {a} 8' for a in range(4)] + ['attribute 6 16', 'attribute 5 1', f'attribute 16 {vsync}',
             f'attribute 13 {int(samples != 0)}'] + [f'attribute 14 {samples}'] * (samples != 0) +
            [f'mode {size[0]} {size[1]} 32 {0x80000002 if full else 2:#x}'] + ['mode 640 480 0 0'] * full)


def no_window(script, asked):  # the usual line, then what was asked for and why it was refused
    return settings(script + '\n', dict(status=3, log=START + [NO_MODE, f'Asked for {asked}: each side must be 1 to 16384 pixels']))


def settings(script, expect):  # windowed unless the script says otherwise
    return {'settings.lua': ('' if 'fullscreen' in script else QUIET) + script}, expect


def splash(picture, shown, gl_error=None):  # shown: its pixels, or the line why the game refuses it
    expect = (dict(status=1, log=START + [GLEW, shown]) if isinstance(shown, str)
              else shows((200, 150), (), gl_error, shown))
    return {'settings.lua': SMALL, 'Vortel.png': picture}, expect


def menu(picture, shown=(), environment={}):
    """The menu, through its probe; its log is its output. Shown: its pixels, or the line on
    standard error why there is none; nothing else there (no OpenGL error) unless in software."""
    expect = dict(status=0, log=MENU_LOG, program='probe', size=(800, 600), start=dict(environment=environment),
                  **({'stderr': [shown, '']} if isinstance(shown, Then) else {'pixels': shown, 'stderr': ['']}))
    if SOFTWARE.items() <= environment.items():
        del expect['stderr']
    return {'menu.bmp': picture}, expect


noisy = png(64, 48, 2, 8, random.Random(7).randbytes(64 * 48 * 3))  # cut, leaves some pixels
LOAD, RUN = 'Unable to load settings: ', 'Error in settings script: settings.lua:'
NO_SPLASH, NO_MENU = Then('Unable to load Vortel.png: '), Then('Unable to load menu.bmp: ')  # SDL's reason
ONE_BYTE = 'Unable to use Vortel.png: 1 byte per pixel, not 3 (red, green, blue) or 4 (with alpha)'
OLD_GL = {'MESA_GL_VERSION_OVERRIDE': '1.3'}  # no glWindowPos2i
SOFTWARE = {'TESSARIA_MENU_SOFTWARE': '1'}  # the probe's window remade without OpenGL
CATALOGUE = {
    'settings': {
        'no file': ({'settings.lua': None},
                    shows(printed=[LOAD + 'cannot open settings.lua: No such file or directory'], full=True)),
        'a directory': ({'settings.lua': DIR}, shows(printed=[LOAD + 'cannot read settings.lua: Is a directory'])),
        'empty, left by closing': ({'settings.lua': ''}, shows(leave='close')),
        'binary garbage': ({'settings.lua': GARBAGE},
                           shows(printed=[LOAD + "settings.lua:1: unexpected symbol near 'char(127)'"])),
        'syntax error': settings('screenWidth = 640\nprint("never")\nscreenHeight = = 480\n',
                                 shows(printed=[LOAD + "settings.lua:4: unexpected symbol near '='"])),
        'run-time error': settings('screenWidth = 640\nscreenHeight = 480\nprint("assigned")\n'
                                   'error("stop here")\nscreenWidth = 1\n',
                                   shows((640, 480), ['assigned', RUN + '5: stop here'])),
        '__tostring raising in print': settings(TOSTRING % ('print', 'function() error("no") end'),
                                                shows((640, 480), [RUN + '4: no'])),
        'print stops at a zero byte, a megabyte, ten thousand callbacks': ({'settings.lua': (
            'print("before\\0after", "next")\nprint(string.rep("x", 2^20))\n'
            'for i = 1, 10000 do addMapLoadedCallbacks(i, "f" .. i, {}) end\n')},
            shows(printed=['before\tnext', 'x' * 2**20])),
    },
    'sizes': {
        'width 0': settings('screenWidth = 0\n', shows((1024, 600), vsync=0)),
        'height 0': settings('screenHeight = 0\n', shows((800, 768))),
        # sdl12-compat alone would make this 1 x 1.
        'full screen 0 x 0': settings('fullscreen = true\nscreenWidth = 0\nscreenHeight = 0\n', shows(DESKTOP, full=True)),
        'one pixel': settings('screenWidth = 1\nscreenHeight = 1\n', shows((1, 1))),
        'larger than the screen': settings('screenWidth = 4096\nscreenHeight = 3072\n', shows((4096, 3072))),
        # Dragged left to show its middle: the splash is centred in the window, not in a
        # corner of it as large as the screen.
        'widest': settings('screenWidth = 16384\nscreenHeight = 16\n', dict(shows((16384, 16), pixels=[
            (8192, 8, MIDDLE), (7935, 8, black), (8448, 8, black)]), move=(-7680, 0))),
        'tallest': settings('screenWidth = 16\nscreenHeight = 16384\n', shows((16, 16384))),
        **{script: no_window(script, asked) for script, asked in (
            ('screenHeight = -1', '800 x -1 pixels in a window, antialiasing 0'),
            ('screenWidth = 16385', '16385 x 600 pixels in a window, antialiasing 0'),
            ('fullscreen = true\nscreenWidth = 0\nscreenHeight = -800\nantialiasing = 8',
             '1024 x -800 pixels in full screen, antialiasing 8'))},
        'antialiasing 4, vsync': settings('antialiasing = 4\nvsync = true\n', shows(samples=4, vsync=1)),
        # A sample count sdl12-compat's multisampled buffer cannot take: a plain one.
        'negative antialiasing': settings('antialiasing = -4\n', shows(gl_error='OpenGL error: invalid value')),
        'absurd antialiasing': settings('antialiasing = 2^31 - 1\n', shows(
            gl_error='OpenGL error: invalid operation', samples=2147483647)),
    },
    'files': {
        'no splash': splash(None, NO_SPLASH),
        'splash cut in its pixels': splash(noisy[:len(noisy) // 2], NO_SPLASH),
        'palette splash': splash(png(64, 48, 3, 8, bytes(64), bytes(orange)), ONE_BYTE),
        'grey splash': splash(png(64, 48, 0, 8, b'\xc8' * 64), ONE_BYTE),
        'grey splash of 16 bits': splash(png(64, 48, 0, 16, b'\xc8' * 128), ONE_BYTE),
        'splash of 16 bits with alpha': splash(png(64, 48, 6, 16, bytes([200, 0, 100, 0, 50, 0, 255, 255]) * 64),
                                               [(100, 75, orange), (2, 2, black)]),
        'grey splash with alpha': splash(png(64, 48, 4, 8, bytes([90, 255]) * 64), [(100, 75, (90, 90, 90))]),
        # Rows of 9 bytes padded to 12: what OpenGL's unpack alignment expects.
        'splash of odd width': splash(png(3, 5, 2, 8, bytes(orange) * 3), [(100, 75, orange)]),
        'splash larger than the window': splash(png(1000, 800, 2, 8, bytes(blue) * 500 + bytes(green) * 500),
                                                [(0, 0, blue), (99, 149, blue), (100, 0, green), (199, 149, green)]),
        # Its lower left corner at (99, 74), counted from the bottom.
        'splash of one pixel': splash(png(1, 1, 6, 8, bytes(white) + b'\xff'), [
            (99, 75, white), (98, 75, black), (100, 75, black), (99, 74, black), (99, 76, black)]),
        # No texture: the untextured quad fades in white instead.
        'splash taller than any texture': splash(png(2, 40000, 2, 8, bytes(green) * 2), [
            (99, 75, white), (100, 0, white), (98, 75, black), (101, 75, black)], 'OpenGL error: invalid value'),
        'log a directory': ({'log.txt': DIR}, dict(status=0, log=None, size=(800, 600))),
        'log in a read-only folder': ({}, dict(status=0, log=None, size=(800, 600), start=dict(
            user=65534 if os.geteuid() == 0 else None, read_only=True))),
        'no display': ({'settings.lua': QUIET}, dict(status=1, log=START + ['Unable to initialize SDL', REASON], start=dict(environment={'DISPLAY': None}))),
        'no video information': ({'settings.lua': QUIET}, dict(status=2, log=START + ['Unable to acquire SDL Video information', 'TESSARIA_NO_VIDEO_INFO is set'], start=dict(environment={'TESSARIA_NO_VIDEO_INFO': '1'}))),
        **{'menu' + how: menu(MENU, [(400, 320, (116, 69, 48)), (239, 300, black)] + more, environment)
           for how, more, environment in (('', [(241, 201, (74, 134, 31)), (561, 300, black)], {}),
                                          (' on OpenGL 1.3', [], OLD_GL), (' without OpenGL', [], SOFTWARE))},
        'no menu picture': menu(None, NO_MENU),
        'menu picture cut in its header': menu(MENU[:20], NO_MENU),
    },
}


@pytest.mark.parametrize('files, expect', [  # marked with their group: -m settings
    pytest.param(*row, id=re.sub(r'[^\w.]+', '-', name).strip('-'), marks=getattr(pytest.mark, group))
    for group, rows in CATALOGUE.items() for name, row in rows.items()])
def test_row(screen, game, files, expect):
    probe = expect.get('program') == 'probe'
    game = game(files, program=expect.get('program', 'game'))
    log = lambda: game.lines('stdout.txt' if probe else 'log.txt')
    game.start(**expect.get('start', {}))
    if 'size' in expect:
        if expect['log']:  # its window is the one it has when its state starts
            state = 'MenuState Init' if probe else 'IntroState Init'
            soon(lambda: state in (log() or []), state)
        else:  # no log to say so: a moment for the window
            time.sleep(0.5)
        w = soon(screen.window, 'a window')
        assert screen.size(w) == expect['size']
        if 'move' in expect:  # no window manager: the window goes where it is told
            w.configure(x=expect['move'][0], y=expect['move'][1])
        for i, (x, y, colour) in enumerate(expect.get('pixels', [])):
            seen = wait(lambda: near(screen.pixel(w, x, y), colour, 2), 0 if i else 20)
            assert seen, f'{screen.pixel(w, x, y)} at ({x}, {y}) instead of {colour}'
        screen.focus(w)  # keys go where the focus is, without a window manager
        if expect.get('leave') == 'close':
            screen.close(w)
        else:
            screen.tap('Escape')
    status = game.end()
    assert status == expect['status']
    assert log() == expect['log']
    if not probe:  # the self-tests report, and nothing more is printed
        assert game.file('stdout.txt') == SELF_TESTS
    if 'stderr' in expect:
        assert game.file('stderr.txt').split('\n') == expect['stderr']
    if 'calls' in expect:
        assert game.lines('calls.txt') == expect['calls']
