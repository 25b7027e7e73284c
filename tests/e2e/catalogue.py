"""What a player might put beside the game, run through the real binary: each row gives
the files changed in its working directory and how the run must end: the exit status,
the whole log, the window it opens and what that shows. Windows are left with Escape
(or a close request). Usage: catalogue.py GROUP, one of settings, sizes or files."""
import os, random, re, struct, sys, time, zlib
sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'support'))
from harness import *

DESKTOP = (1024, 768)  # Xvfb's screen, which a side of 0 stands for
NO_MODE = 'Unable to create a window with the desired OpenGL properties'
QUIET = 'fullscreen = false\n'  # windowed, and nothing printed
SMALL = QUIET + 'screenWidth = 200\nscreenHeight = 150\n'  # a small window fades in sooner
GARBAGE = b'\x7f' + random.Random(20240613).randbytes(4095)  # neither bytecode nor a '#' line
TOSTRING = 'screenWidth = 640\nscreenHeight = 480\n%s(setmetatable({}, {__tostring = %s}))\nscreenWidth = 1\n'
MENU_LOG = ['Settings loaded: 800 x 600', GLEW, 'MenuState Init', 'MenuState Cleanup', 'GameEngine Cleanup']
MENU = open(os.path.join(ASSETS, 'menu.bmp'), 'rb').read()
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


def shows(size=(800, 600), printed=(), gl_error=None, pixels=(), leave='Escape'):
    """The splash in a window, left with status 0; `pixels`: (x, y, colour) from the top
    left, the first waited for while the splash fades in."""
    log = START + list(printed) + [GLEW, 'IntroState Init'] + ([gl_error] if gl_error else [])
    return dict(status=0, log=log + ['IntroState Cleanup', 'GameEngine Cleanup'], size=size,
                pixels=pixels, leave=leave)


def no_window(script):
    return settings(script, dict(status=3, log=START + [NO_MODE]))


def settings(script, expect):  # windowed unless the script says otherwise
    return {'settings.lua': ('' if 'fullscreen' in script else QUIET) + script}, expect


def splash(picture, pixels=None, gl_error=None):  # a picture the game refuses ends it silently
    expect = dict(status=1, log=START + [GLEW]) if pixels is None else shows((200, 150), (), gl_error, pixels)
    return {'settings.lua': SMALL, 'Vortel.png': picture}, expect


def menu(picture, pixels=()):  # the menu, through its probe; its log is its output
    return {'menu.bmp': picture}, dict(status=0, log=MENU_LOG, program=PROBE, size=(800, 600), pixels=pixels)


noisy = png(64, 48, 2, 8, random.Random(7).randbytes(64 * 48 * 3))  # cut, leaves some pixels
LOAD, RUN = 'Unable to load settings: ', 'Error in settings script: settings.lua:'
OLD_GL = {**os.environ, 'MESA_GL_VERSION_OVERRIDE': '1.3'}  # no glWindowPos2i
CATALOGUE = {
    'settings': {
        'no file': ({'settings.lua': None},
                    shows(printed=[LOAD + 'cannot open settings.lua: No such file or directory'])),
        'a directory': ({'settings.lua': DIR}, shows(printed=[LOAD + 'cannot read settings.lua: Is a directory'])),
        'empty, left by closing': ({'settings.lua': ''}, shows(leave='close')),
        'binary garbage': ({'settings.lua': GARBAGE},
                           shows(printed=[LOAD + "settings.lua:1: unexpected symbol near 'char(127)'"])),
        'damaged bytecode': ({'settings.lua': b'\x1bLua\x51' + GARBAGE},
                             shows(printed=[LOAD + 'settings.lua: precompiled chunks are not loaded'])),
        'syntax error': settings('screenWidth = 640\nprint("never")\nscreenHeight = = 480\n',
                                 shows(printed=[LOAD + "settings.lua:4: unexpected symbol near '='"])),
        'run-time error': settings('screenWidth = 640\nscreenHeight = 480\nprint("assigned")\n'
                                   'error("stop here")\nscreenWidth = 1\n',
                                   shows((640, 480), ['assigned', RUN + '5: stop here'])),
        'a table, a function, a boolean': settings(
            'screenWidth = {}\nscreenHeight = function() return 600 end\nantialiasing = true\n', shows(DESKTOP)),
        'a word, a boolean, a table': settings(
            'screenWidth = "wide"\nscreenHeight = false\nantialiasing = {4}\n', shows(DESKTOP)),
        'numbers as text and with fractions, nil': settings(
            'screenWidth = "1024"\nscreenHeight = 700.7\nantialiasing = nil\n', shows((1024, 700))),
        'numbers where booleans belong': settings('fullscreen = 0\nvsync = 1\nshadows = -1\n', shows()),
        'not a number': settings('screenWidth = 0/0\nscreenHeight = -(0/0)\nantialiasing = 0/0\n', shows(DESKTOP)),
        # The first two once crashed Mesa's first buffer swap: sdl12-compat made 65535 x 65535.
        **{script: no_window(script + '\n') for script in (
            'screenWidth = 2^31 - 1\nscreenHeight = 2^31 - 1', 'screenWidth = 1e300', 'screenHeight = -1e300',
            'screenWidth = 1/0', 'screenHeight = -1/0', 'screenWidth = 2^31', 'screenHeight = -2^31 - 1')},
        'print stops at a zero byte': ({'settings.lua': 'print("before\\0after", "next")\n'},
                                       shows(printed=['before\tnext'])),
        'print of a megabyte': ({'settings.lua': 'print(string.rep("x", 2^20))\n'}, shows(printed=['x' * 2**20])),
        '__tostring raising in print': settings(TOSTRING % ('print', 'function() error("no") end'),
                                                shows((640, 480), [RUN + '4: no'])),
        '__tostring without text': settings(
            TOSTRING % ('addMapLoadedCallbacks', 'function() return {} end'),
            shows((640, 480), [RUN + "4: 'tostring' must return a string to 'addMapLoadedCallbacks'"])),
        'ten thousand callbacks': ({'settings.lua': 'for i = 1, 10000 do addMapLoadedCallbacks(i, "f" .. i, {}) '
                                                    'end\nprint("registered")\n'}, shows(printed=['registered'])),
    },
    'sizes': {
        'width 0': settings('screenWidth = 0\n', shows((1024, 600))),
        'height 0': settings('screenHeight = 0\n', shows((800, 768))),
        # sdl12-compat alone would make this 1 x 1.
        'full screen 0 x 0': settings('fullscreen = true\nscreenWidth = 0\nscreenHeight = 0\n', shows(DESKTOP)),
        'one pixel': settings('screenWidth = 1\nscreenHeight = 1\n', shows((1, 1))),
        'larger than the screen': settings('screenWidth = 4096\nscreenHeight = 3072\n', shows((4096, 3072))),
        'widest': settings('screenWidth = 16384\nscreenHeight = 16\n', shows((16384, 16))),
        'tallest': settings('screenWidth = 16\nscreenHeight = 16384\n', shows((16, 16384))),
        **{script: no_window(script + '\n') for script in (
            'screenWidth = -800', 'screenHeight = -1', 'screenWidth = 16385\nscreenHeight = 16',
            'screenWidth = 16\nscreenHeight = 16385')},
        'antialiasing 4': settings('antialiasing = 4\n', shows()),
        # A sample count sdl12-compat's multisampled buffer cannot take: a plain one.
        'negative antialiasing': settings('antialiasing = -4\n', shows(gl_error='OpenGL error: invalid value')),
        'absurd antialiasing': settings('antialiasing = 2^31 - 1\n', shows(gl_error='OpenGL error: invalid operation')),
        'huge antialiasing': settings('antialiasing = 1e300\n', shows(gl_error='OpenGL error: invalid operation')),
    },
    'files': {
        'no splash': splash(None),
        'empty splash': splash(b''),
        'splash cut in its pixels': splash(noisy[:len(noisy) // 2]),
        'splash cut in its header': splash(noisy[:20]),
        'splash not a picture': splash(b'This is not a picture.\n'),
        'palette splash': splash(png(64, 48, 3, 8, bytes(64), bytes(orange))),
        'grey splash': splash(png(64, 48, 0, 8, b'\xc8' * 64)),
        'grey splash of 16 bits': splash(png(64, 48, 0, 16, b'\xc8' * 128)),
        'splash too wide for SDL': splash(png(16384, 2, 2, 8, bytes(green) * 16384)),
        'splash of 16 bits': splash(png(64, 48, 2, 16, bytes([200, 0, 100, 0, 50, 0]) * 64),
                                    [(100, 75, orange), (2, 2, black)]),
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
        'log a directory': ({'log.txt': DIR}, dict(status=0, log=None, stdout=SELF_TESTS, size=(800, 600))),
        'log in a read-only folder': ({}, dict(status=0, log=None, stdout=SELF_TESTS, size=(800, 600), start=dict(
            user=65534 if os.geteuid() == 0 else None, read_only=True))),
        'no display': ({'settings.lua': QUIET}, dict(status=1, log=START + ['Unable to initialize SDL'], start=dict(
            environment={k: v for k, v in os.environ.items() if k != 'DISPLAY'}))),
        'menu': menu(MENU, [(400, 320, (116, 69, 48)), (241, 201, (74, 134, 31)), (239, 300, black),
                            (561, 300, black)]),
        'menu on OpenGL 1.3': ({'menu.bmp': MENU}, dict(menu(MENU, [(400, 320, (116, 69, 48)), (239, 300, black)])[1],
                                                        start=dict(environment=OLD_GL))),
        'no menu picture': menu(None),
        'menu picture cut in its pixels': menu(MENU[:len(MENU) // 2]),
        'menu picture cut in its header': menu(MENU[:20]),
    },
}


def run(name, files, expect):
    game = Game(re.sub(r'[^\w.-]+', '-', name), files, expect.get('program', GAME))
    game.start(**expect.get('start', {}))
    if 'size' in expect:
        w = screen.window()
        has_log = expect['log'] and game.program == GAME
        if check(w and (game.wait_log('IntroState Init') if has_log else time.sleep(0.5) is None),
                 f'{name}: a window'):
            check(screen.size(w) == expect['size'], f'{name}: window {screen.size(w)}')
            for i, (x, y, colour) in enumerate(expect.get('pixels', [])):
                seen = wait(lambda: near(screen.pixel(w, x, y), colour, 2), 0 if i else 20)
                check(seen, f'{name}: {screen.pixel(w, x, y)} at ({x}, {y}) instead of {colour}')
            if expect.get('pixels'):
                screen.shot(w).save(os.path.join(game.dir, 'window.png'))
            screen.focus(w)  # keys go where the focus is, without a window manager
            screen.close(w) if expect.get('leave') == 'close' else screen.tap('Escape')
    check(game.end() == expect['status'], f'{name}: status {game.process.returncode}')
    log = game.log() if game.program == GAME else game.file('stdout.txt').split('\n')[:-1]
    check(log == expect['log'], f'{name}: log {log!r:.400}')
    check(game.file('stdout.txt') == expect.get('stdout', game.file('stdout.txt')), f'{name}: output')


screen = Screen()
for name, (files, expect) in CATALOGUE[sys.argv[1]].items():
    began = time.monotonic()
    run(name, files, expect)
    print(f'{name}: {time.monotonic() - began:.1f} s', flush=True)
finish()
