"""The game built for each architecture, played on a private Xvfb with that architecture's
own Mesa (under qemu-user where the processor is foreign): the splash, a key into the game,
the landing with sky and lit ground, one dig, Escape ending it with status 0. Prints how
long the cold start took. Run as:
  TESSARIA_GAMES="amd64=build/tessaria arm64=build-arm64/tessaria ..." \
  ASSETS=assets python3 -m pytest -s tests/arch/test_game_per_arch.py"""
import os, re, subprocess, sys, time
import pytest
sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'support'))
import harness
from harness import Game, Screen, X, near, wait

EMULATORS = {'arm64': 'qemu-aarch64', 'armhf': 'qemu-arm'}
GAMES = dict(pair.split('=', 1) for pair in os.environ.get('TESSARIA_GAMES', '').split())
SKY = (175, 215, 255)
# Grass seen from above: its colour times 0.7 of ambient light plus 0.80178 of the light.
LIT_GRASS = tuple(round(c * 1.50178) for c in (93, 168, 39))


@pytest.fixture(scope='module')
def screen():
    read, write = os.pipe()
    server = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0', '1024x768x24',
                               '-nolisten', 'tcp', '-noreset'], pass_fds=[write],
                              stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as pipe:
        os.environ['DISPLAY'] = ':' + pipe.readline().strip()
    yield Screen()
    server.terminate()
    server.wait()


def wrapper(arch, tmp_path):
    """The game as one program, started by its emulator where it needs one."""
    game = os.path.abspath(GAMES[arch])
    if arch not in EMULATORS:
        return game
    path = tmp_path / f'tessaria-{arch}'
    path.write_text(f'#!/bin/sh\nexec {EMULATORS[arch]} {game} "$@"\n')
    path.chmod(0o755)
    return str(path)


@pytest.mark.parametrize('arch', sorted(GAMES))
def test_game_of_each_architecture(arch, screen, tmp_path):
    def heights():
        text = game.file('stdout.txt') or ''
        return [float(z) for z in re.findall(r'Post-Collision Position: \(\S+, \S+, (\S+)\)', text)]

    def resting():
        h = heights()
        return len(h) > 40 and h[-1] < 255 and len(set(h[-30:])) == 1

    harness.ASSETS = os.environ['ASSETS']
    game = Game(str(tmp_path / 'run'), program=wrapper(arch, tmp_path))
    started = time.monotonic()
    game.start()
    w = screen.window(seconds=120)
    assert w and game.wait_log('IntroState Init', 120), 'the splash starts'
    assert wait(lambda: screen.shot(w).getbbox(), 60), 'the splash shows'
    splash = time.monotonic() - started
    screen.tap('x', 0.3)
    pressed = time.monotonic()
    assert game.wait_log('PlayState Init', 120), 'a key leads into the game'
    assert wait(heights, 120), 'the first fixed step'
    play = time.monotonic() - pressed
    print(f'\n{arch}: splash after {splash:.1f} s, first step {play:.1f} s after the key')

    assert wait(resting, 180, 0.2), 'the player lands and comes to rest'
    frame = screen.shot(w)
    frame.save(tmp_path / 'landed.png')
    colours = frame.getcolors(800 * 600)
    count = lambda wanted: sum(n for n, c in colours if near(c, wanted, 1))
    assert count(SKY) > 800 * 600 / 20, 'sky'
    assert count(LIT_GRASS) >= 10, f'lit grass {LIT_GRASS}'

    standing = heights()[-1]
    screen.move(0, 320)
    screen.fake(X.ButtonPress, 1)
    dug = wait(lambda: heights()[-1] < standing - 5, 120, 0.2)
    screen.fake(X.ButtonRelease, 1)
    assert dug, 'holding the button digs and the player falls into the crater'
    screen.tap('Escape', 0.3)
    assert game.end(120) == 0, 'Escape ends the game with status 0'
