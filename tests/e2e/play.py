"""One game played through the real binary, checked all along its way: the start-up log
and self-test reports, the splash fading in centred, a key into the game, the first
collision step, the landing, sky and lit terrain, the outline of the picked block, R
keeping the picture, a dig, focus releasing and retaking the pointer (and no looking or
digging without it), Escape. Then a second game, left by closing its window."""
import os, re, sys, time
sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'support'))
from harness import *
from PIL import ImageStat

SKY = (175, 215, 255)
BLOCKS = {'grass': (93, 168, 39), 'dirt': (116, 69, 48), 'stone': (81, 90, 90)}
# A face shows its block's colour times 0.7 of ambient light, plus the cosine toward
# the primary light, from (0.5345, 0.2672, 0.8017), plus half of that toward the
# secondary one, from (-0.4588, -0.2294, -0.8584).
LIGHT = {'top': 0.80178, 'side facing -y': 0.1147, 'side facing +x': 0.53455, 'side facing -x': 0.2294}
LANDED_FACES = [('grass', face) for face in LIGHT] + [('dirt', face) for face in list(LIGHT)[1:]] + [
    ('stone', 'side facing -y')]
FIRST_STEP = ('Colliding...\n\tPosition: (128.000000, 128.000000, 255.997284)\n\tLast Position: '
              '(128.000000, 128.000000, 256.000000)\n\tDisplacement: (0.000000, 0.000000, -0.002716)\n'
              '\tColliding in single step\n\tPost-Collision Position: (128.000000, 128.000000, 255.997284)\n'
              '\tPost-Collision Last Position: (128.000000, 128.000000, 256.000000)\nCollision complete.\n\n')
screen = Screen()
game = Game('play')


def heights():
    """The player's height after each collision step so far."""
    text = game.file('stdout.txt')
    return [float(z) for z in re.findall(r'Post-Collision Position: \(\S+, \S+, (\S+)\)', text)]


def resting():
    h = heights()
    return len(h) > 40 and h[-1] < 255 and len(set(h[-30:])) == 1


def count(image, wanted):
    return sum(n for n, colour in image.getcolors(image.width * image.height) if wanted(colour))


def changed(a, b):  # pixels
    return count(ImageChops.difference(a, b), lambda c: c != (0, 0, 0))


def splash(w):
    picture = Image.open(os.path.join(ASSETS, 'Vortel.png')).convert('RGBA')
    # Drivers without non-power-of-two textures (before OpenGL 2.0) show it too.
    check(all(side & (side - 1) == 0 for side in picture.size), 'the splash has power-of-two sides')
    picture = Image.alpha_composite(Image.new('RGBA', picture.size, 'black'), picture).convert('RGB')
    width, height = screen.size(w)
    # Centred, counted from the bottom as OpenGL does (halves truncated).
    left = int((width - picture.width) / 2)
    top = height - int((height - picture.height) / 2) - picture.height
    box = (left, top, left + picture.width, top + picture.height)
    shown = lambda: screen.shot(w).crop(box)
    early = require(wait(lambda: (s := shown()).getbbox() and s, 20), 'the splash shows')
    check(wait(lambda: differs(shown(), picture) <= 2, 30),
          'the splash fades in to the picture itself')
    frame = screen.shot(w)
    frame.save(os.path.join(game.dir, 'splash.png'))
    check(sum(ImageStat.Stat(early).mean) < sum(ImageStat.Stat(picture).mean) / 2, 'the splash fades in')
    frame.paste((0, 0, 0), box)
    check(differs(frame, Image.new('RGB', frame.size)) == 0, 'black around the splash')


def landing():
    require(wait(resting, 30, 0.1), 'the player comes to rest on the ground')
    check(game.file('stdout.txt').startswith(SELF_TESTS + FIRST_STEP), 'the first collision step')
    frame = screen.shot(w)
    frame.save(os.path.join(game.dir, 'landed.png'))
    is_sky = lambda c: near(c, SKY, 1)
    # Sky above, and the faces seen from where the player lands, lit.
    check(count(frame.crop((0, 0, 800, 20)), is_sky) > 800 * 20 / 10, 'sky at the top')
    check(count(frame, lambda c: not is_sky(c)) > 800 * 600 / 10, 'terrain in the picture')
    for block, face in LANDED_FACES:
        lit = tuple(min(255, round(c * (0.7 + LIGHT[face]))) for c in BLOCKS[block])
        check(count(frame, lambda c: near(c, lit, 1)) >= 10, f'{block} {face} lit: {lit}')


def outline_rebuild_and_dig():
    screen.move(0, 320)  # in one: SDL drops motions that look like repeats of the last
    outlined = lambda: count(screen.shot(w), lambda c: c == (255, 255, 255)) > 20
    check(wait(outlined, 10), 'looking down outlines the picked block in white')
    time.sleep(0.5)
    before = screen.shot(w)
    before.save(os.path.join(game.dir, 'looking-down.png'))
    screen.tap('r', 0.05)
    time.sleep(1)
    # At rest too Mesa now and then draws a few edge pixels of a frame differently.
    check(changed(screen.shot(w), before) < 50, 'R rebuilds the same picture')
    standing = heights()[-1]
    # Held until it digs: on a busy machine a frame may take longer than a click.
    screen.fake(X.ButtonPress, 1)
    dug = wait(lambda: heights()[-1] < standing, 10)
    screen.fake(X.ButtonRelease, 1)
    require(dug, 'holding the button digs')
    check(wait(lambda: heights()[-1] < standing - 5, 10), 'the player falls into the crater')
    after = screen.shot(w)
    after.save(os.path.join(game.dir, 'dug.png'))
    check(changed(after, before) > 800 * 600 / 10, 'a dig changes the picture')


def focus():
    require(wait(resting, 30, 0.1), 'the player comes to rest in the crater')
    check(screen.grabbed_elsewhere(), 'the game holds the pointer')
    before, standing = screen.shot(w), heights()[-1]

    def click(give_focus=lambda: None):
        screen.fake(X.ButtonPress, 1)
        give_focus()
        time.sleep(0.5)
        screen.fake(X.ButtonRelease, 1)
        time.sleep(0.3)
    screen.focus_decoy()
    check(wait(lambda: not screen.grabbed_elsewhere(), 5), 'losing the focus releases the pointer')
    click()
    check(heights()[-1] == standing, 'a click without the focus digs nothing')
    g = w.get_geometry()
    for x, y in ((100, 100), (700, 500), (400, 300)):
        screen.fake(X.MotionNotify, 0, g.x + x, g.y + y)
        time.sleep(0.1)
    time.sleep(0.3)
    check(changed(screen.shot(w), before) < 800 * 600 / 20, 'the pointer crossing it turns nothing')
    click(lambda: screen.focus(w))  # the focus given back by a click, as a window manager does
    check(wait(screen.grabbed_elsewhere, 5), 'regaining the focus takes the pointer back')
    check(heights()[-1] == standing, 'the click that brings the focus back digs nothing')
    screen.fake(X.ButtonPress, 1)
    check(wait(lambda: heights()[-1] < standing, 10), 'the next click digs')
    screen.fake(X.ButtonRelease, 1)


game.start()
w = screen.window()
require(w and game.wait_log('IntroState Init'), 'the splash starts')
check(screen.size(w) == (800, 600), 'the window of the shipped settings')
check(game.file('stdout.txt') == SELF_TESTS, 'the self-test reports')
log = START + ['Settings loaded: 800 x 600', GLEW, 'IntroState Init']
check(game.log() == log, 'the start-up log')
splash(w)
screen.tap('x', 0.05)
require(game.wait_log('PlayState Init'), 'a key leads into the game')
landing()
outline_rebuild_and_dig()
focus()
screen.tap('Escape')
check(game.end() == 0, 'Escape ends the game with status 0')
check(game.log() == log + ['IntroState Cleanup', 'PlayState Init', 'PlayState Cleanup',
                           'GameEngine Cleanup'], 'the whole log')
h = heights()
check(all(b <= a + 1e-3 for a, b in zip(h, h[1:])), 'the player only ever goes down')

game = Game('play-closed')
w = game.enter_play(screen)
time.sleep(0.3)
screen.close(w)
check(game.end() == 0, 'closing the window ends the game with status 0')
check(game.log()[-3:] == ['PlayState Init', 'PlayState Cleanup', 'GameEngine Cleanup'],
      'closing while playing cleans up in order')
finish()
