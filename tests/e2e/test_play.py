"""The real game played through: one long game checked all along its way, then a rough one
with antialiasing, each key, play into every corner of the map and closing the window."""
import itertools, math, os, re, time
from harness import ASSETS, GLEW, SELF_TESTS, START, X, count, near, resting, soon, wait
from PIL import Image, ImageChops, ImageStat

SKY, WHITE = (175, 215, 255), (255, 255, 255)
FIRST_STEP = ('Colliding...\n\tPosition: (128.000000, 128.000000, 255.997284)\n\tLast Position: '
              '(128.000000, 128.000000, 256.000000)\n\tDisplacement: (0.000000, 0.000000, -0.002716)\n'
              '\tColliding in single step\n\tPost-Collision Position: (128.000000, 128.000000, 255.997284)\n'
              '\tPost-Collision Last Position: (128.000000, 128.000000, 256.000000)\nCollision complete.\n\n')


def changed(a, b):  # pixels
    return count(ImageChops.difference(a, b), lambda c: c != (0, 0, 0))


def alike(screen, w, frame, what, seconds=10):  # soon a frame within 50 pixels of `frame`
    fewest = math.inf
    def close():
        nonlocal fewest
        fewest = min(fewest, changed(screen.shot(w), frame))
        return fewest < 50
    if not wait(close, seconds):
        raise AssertionError(f'{what}: {fewest} pixels changed at the fewest (waited {seconds} s)')


def test_one_long_game(screen, game):
    game = game(name='play')
    game.start({'TESSARIA_TIMES': os.path.join(game.dir, 'times.txt')})
    w = soon(screen.window, 'a window')
    game.wait_log('IntroState Init')
    log = START + ['Settings loaded: 800 x 600', GLEW, 'IntroState Init']
    assert game.lines() == log, 'the start-up log'
    picture = Image.open(os.path.join(ASSETS, 'Vortel.png')).convert('RGBA')
    # Drivers without non-power-of-two textures (before OpenGL 2.0) show it too.
    assert all(side & (side - 1) == 0 for side in picture.size), 'the splash has power-of-two sides'
    picture = Image.alpha_composite(Image.new('RGBA', picture.size, 'black'), picture).convert('RGB')
    # Centred, counted from the bottom as OpenGL does (halves truncated).
    left, top = int((800 - picture.width) / 2), 600 - int((600 - picture.height) / 2) - picture.height
    box = (left, top, left + picture.width, top + picture.height)
    early = soon(lambda: (s := screen.shot(w).crop(box)).getbbox() and s, 'the splash shows')
    soon(lambda: count(ImageChops.difference(screen.shot(w).crop(box), picture), lambda c: max(c) > 2) == 0,
         'the splash fades in to the picture', 30)
    frame = screen.shot(w)
    frame.save(os.path.join(game.dir, 'splash.png'))
    assert sum(ImageStat.Stat(early).mean) < sum(ImageStat.Stat(picture).mean) / 2, 'it fades in'
    frame.paste((0, 0, 0), box)
    assert not frame.getbbox(), 'black around the splash'
    # The pointer moving on over the splash, up and then to and fro faster than frames come,
    # neither loses the key nor turns the view.
    screen.point(w, 400, 500)
    screen.sweep(w, 100, lambda: False, 1)  # hundreds of motions before the key
    screen.fake(X.KeyPress, 'x')
    after = screen.sweep(w, 100, lambda: 'IntroState Cleanup' in game.lines(), 5)
    screen.fake(X.KeyRelease, 'x')
    assert 'IntroState Cleanup' in game.lines(), f'the key taken while the pointer moves on: {after} motions'
    game.wait_log('PlayState Init')
    soon(lambda: resting(game), 'the player comes to rest on the ground', 30)
    frame = screen.steady(w)
    frame.save(os.path.join(game.dir, 'landed.png'))
    screen.move(0, 400)  # down past the nadir, where the view stops (pitch -90), then up 90
    swaps = game.file('times.txt').count('\nswap ')  # two frames on, the motion has been taken
    soon(lambda: game.file('times.txt').count('\nswap ') >= swaps + 2, 'two frames more', 20)
    screen.move(0, -360)
    alike(screen, w, frame, 'the pointer on the splash turned nothing: it landed at pitch 0')
    assert game.file('stdout.txt').startswith(SELF_TESTS + FIRST_STEP), 'the first collision step'
    # Where the player lands, and turned about (the window test holds the pictures to the map).
    screen.move(-720, 0)  # yaw 180: looking along -y
    soon(lambda: changed(screen.shot(w), frame) > 800 * 600 / 4, 'the mouse turns the view', 10)
    screen.move(720, 0)
    alike(screen, w, frame, 'turned back the same way')

    # Looking down at pitch -80, at the block under the feet: its outline shows.
    screen.move(0, 320)
    soon(lambda: count(screen.shot(w), lambda c: c == WHITE) > 20, 'an outline', 10)
    time.sleep(0.3)
    before = screen.steady(w)
    before.save(os.path.join(game.dir, 'looking-down.png'))
    built = [c for c in game.lines('calls.txt') if c.startswith('lists ')]
    assert len(built) == 1, 'the world is built once, in one frame'
    screen.tap('r', 0.05)
    soon(lambda: game.lines('calls.txt').count(built[0]) == 2, 'R compiles every list anew', 10)
    game.run_on(10)
    alike(screen, w, before, 'R rebuilds the same picture')
    assert screen.grabbed_elsewhere(), 'the game holds the pointer'
    assert not screen.cursor_shown(), 'the pointer hidden while the game has it'
    standing = game.height()

    def click(before_release=lambda: None):  # held a second of steps; then a dig's fall shows
        screen.fake(X.ButtonPress, 1)
        before_release()
        game.run_on()
        screen.fake(X.ButtonRelease, 1)
        game.run_on(10)

    def away():
        screen.focus_decoy()
        soon(lambda: not screen.grabbed_elsewhere(), 'losing the focus releases the pointer', 5)

    def key():  # R, seen once its whole rebuild is listed: what follows comes in a later pump
        whole = lambda: sum(c.startswith('lists ') and int(c[6:]) > 500 for c in game.lines('calls.txt'))
        before = whole()
        screen.tap('r', 0.02)
        soon(lambda: whole() > before, 'R taken', 20)

    def back(then=lambda: None):
        screen.focus(w)
        soon(screen.grabbed_elsewhere, 'regaining the focus takes the pointer back', 5)
        then()

    def cross():  # the pointer over the window, ending in its middle; the pixels changed
        seen = screen.shot(w)
        screen.sweep(w, 500, lambda: False, 0.2)
        over = screen.point(w, 400, 300)
        assert over, 'the pointer over the game'
        game.run_on()
        return changed(screen.shot(w), seen)

    def at_the_sky():  # where no block is, no outline
        screen.move(0, -680)  # pitch 90
        soon(lambda: count(s := screen.shot(w), lambda c: near(c, SKY, 1)) > 800 * 600 / 4
             and count(s, lambda c: c == WHITE) == 0, 'at the sky, no outline', 10)
    # A click at the sky digs nothing, but is kept until a block is picked: then a sphere of
    # radius 20 round the block under the feet; the player stands on the other three columns
    # (19 deep) and falls exactly 20.
    at_the_sky()
    click()
    assert game.height() == standing, 'a click at the sky digs nothing'
    screen.move(0, 680)
    soon(lambda: resting(game, standing - 1), 'looking down digs: the player falls', 30)
    assert abs(standing - 20 - game.height()) < 1e-4, 'into a crater exactly 20 deep'
    standing = game.height()
    away()
    turned = cross()
    assert turned < 800 * 600 / 20, 'the pointer crossing it turns nothing'
    assert screen.cursor_shown(), 'and shows'
    click()
    assert game.height() == standing, 'a click over it without the focus digs nothing'
    # As a window manager does: the press asking for the focus, then it (later pumps: the unit table).
    click(lambda: screen.focus(w))
    assert game.height() == standing, 'the click that brings the focus back digs nothing'
    # A click at the sky is kept for the next picked block, but not across a loss of focus.
    at_the_sky()
    click()
    away()
    back(key)
    screen.move(0, 680)  # pitch -80 again, at the floor (the outline hides in its one-block hole)
    soon(lambda: count(screen.shot(w), lambda c: near(c, SKY, 1)) < 800 * 600 / 20, 'looking down', 10)
    game.run_on()
    assert game.height() == standing, 'a click kept from before the focus went digs nothing'
    # The focus back otherwise: a click a second later digs, and so does one at once after a
    # key. (Alt held through the focus, whose pump SDL reports it in, races a loaded machine
    # here: the unit table's.) Each click at the sky, kept until the view comes down.
    for variant, then in (('wait', game.run_on), ('key', key)):
        try:
            at_the_sky()
            away()
            back(then)
            click()
            screen.move(0, 680)
            soon(lambda: game.height() < standing, 'a click after the focus came back otherwise digs', 10)
            soon(lambda: resting(game), 'at rest again after the dig', 30)
        except AssertionError as failure:
            raise AssertionError(f'focus back after {variant}: {failure}') from failure
        standing = game.height()
    # Iconified as a window manager marks it (it stays on the screen and keeps the focus):
    # the pointer is let go, nothing turns or digs; restored without the focus, it stays shown.
    screen.iconify(w)
    soon(lambda: not screen.grabbed_elsewhere(), 'iconified, it lets the pointer go', 5)
    turned = cross()
    assert turned < 800 * 600 / 20, 'and looks nowhere'
    click()
    assert game.height() == standing, 'nor digs'
    screen.focus_decoy()
    screen.iconify(w, False)
    game.run_on()
    assert screen.cursor_shown(), 'restored without the focus, the pointer stays shown'
    back()
    assert not screen.cursor_shown(), 'the focus back hides it again'

    screen.tap('Escape')
    status = game.end()
    assert status == 0, 'Escape ends the game with status 0'
    assert game.lines() == log + ['IntroState Cleanup', 'PlayState Init', 'PlayState Cleanup', 'GameEngine Cleanup']
    h = [s[2][2] for s in game.read_steps()]
    assert all(b <= a + 1e-3 for a, b in zip(h, h[1:])), 'the player only ever goes down'


def test_keys_antialiasing_rough_play_and_closing(screen, game):
    """Falling free, each key held changes the displacement per step on its own axis. Then
    rough play; the game runs on, stops growing in memory, and closing the window ends it."""
    game = game({'settings.lua': 'fullscreen = false\nantialiasing = 4\n'}, 'play-keys')
    game.start()
    w = soon(screen.window, 'a window')
    game.wait_log('IntroState Init')
    screen.tap('x', 0.05)
    game.wait_log('PlayState Init')
    hold, position, resident = screen.hold, game.position, []

    def pushes():  # per step, the axes pushed along beside gravity, of steps free of the terrain
        steps = game.read_steps()
        return [tuple(f'{"+" if a > 0 else "-"}{axis}' for a, axis in zip(
            (q[1][0] - p[1][0], q[1][1] - p[1][1], q[1][2] - p[1][2] + 9.8 / 3600), 'xyz') if abs(a) > 4e-4)
            for p, q in zip(steps, steps[1:]) if p[0] == p[2] and q[0] == q[2]]
    soon(lambda: pushes()[-2:] == [(), ()], 'the player falls', 10)
    for key, push in (('w', ('+y',)), ('a', ('-x',)), ('s', ('-y',)), ('d', ('+x',)), ('space', ('+z',))):
        hold([key], 10, until=lambda: pushes()[-1:] == [push])
        soon(lambda: pushes()[-1:] == [()], f'{key} let go', 10)
    seen = [p for p, _ in itertools.groupby(pushes())]
    assert seen == [(), ('+y',), (), ('-x',), (), ('-y',), (), ('+x',), (), ('+z',), ()], 'W, A, S, D, space'
    frame = screen.shot(w)
    frame.save(os.path.join(game.dir, 'antialiased.png'))
    colours = len(frame.getcolors(800 * 600))  # without it a face, the sky and the outline: a dozen
    assert colours > 50, f'antialiasing smooths the edges: {colours} colours'

    rss = lambda: int(re.search(r'VmRSS:\s+(\d+)', open(f'/proc/{game.process.pid}/status').read()).group(1))
    # Space until the player will coast just over the top of the map: the way down is long.
    hold(['space'], 20, until=lambda: game.apex() > 258)
    soon(lambda: position()[2] > 256, 'over the top of the map', 20)
    for turn in range(2):
        screen.move(0, 400)  # steeply down, digging while walking: craters to the floor
        hold(['w'], 1.0, dig=True)
        screen.move(360, -400)  # turn, and up and sideways, without drifting far
        hold(['space', 'da'[turn % 2]], 0.5)
        hold(['r'], 0.8)  # key repeat: a full rebuild every 30 ms
        screen.focus_decoy()
        time.sleep(0.3)
        screen.focus(w)
        time.sleep(0.3)
        screen.move(0, 200)
        hold(['s'], 1.0, dig=True)
        resident.append(rss())
    screen.move(0, 800)  # straight down, digging through the floor of the map
    below = hold([], 30, dig=True, until=lambda: position()[2] < 0)
    assert below, 'below its floor'
    screen.move(0, -360)  # and on below it, off its side
    off = hold(['w'], 30, until=lambda: max(abs(position()[0] - 128), abs(position()[1] - 128)) > 128)
    assert off, 'off the side'
    # The turns have built and dug; after them resident memory may wobble, not climb.
    assert rss() <= resident[-1] * 1.1 + 16 * 1024, f'resident memory grew: {resident + [rss()]} kB'
    screen.close(w)
    status = game.end()
    assert status == 0, 'closing the window ends the game with status 0'
    assert game.lines()[-3:] == ['PlayState Init', 'PlayState Cleanup', 'GameEngine Cleanup']
