"""The game built for each other architecture (amd64's: tests/e2e), on a private Xvfb with its
own Mesa, under qemu-user where this machine cannot run it: the splash, a key, the landing on lit
ground under sky, one dig, Escape with status 0; prints the cold start's times. Folders: --runs.
  python3 -m pytest -c tests/pytest.ini -s tests/arch/test_game_per_arch.py \
    --arch-game=arm64=build-arm64/tessaria --arch-game=armhf=build-armhf/tessaria ..."""
import os, subprocess, time
import harness
from harness import X, near, soon

QEMU = {'arm64': 'qemu-aarch64', 'armhf': 'qemu-arm', 'i386': 'qemu-i386'}
QEMU_RUN = os.path.join(harness.ROOT, 'cmake', 'qemu-run')
SKY = (175, 215, 255)
# Grass seen from above: its colour times 0.7 of ambient light plus 0.80178 of the light.
LIT_GRASS = tuple(round(c * 1.50178) for c in (93, 168, 39))
# i386 runs natively where the kernel emulates IA-32 (some virtual machines' do not): its loader says.
NATIVE = {'i386': subprocess.run(['sh', '-c', '/lib/ld-linux.so.2 --version'], capture_output=True).returncode == 0}
# Under emulation on a busy machine a frame can take seconds, and a dig's frame minutes.
PATIENCE = 300


def play(screen, game, name, environment={}):
    """The splash, a key, the landing with sky and lit ground, one dig, Escape with status 0:
    the landed frame."""
    started = time.monotonic()
    game.start(environment)
    w = soon(lambda: screen.window(seconds=0), 'a window', PATIENCE)
    game.wait_log('IntroState Init', PATIENCE)
    soon(lambda: screen.shot(w).getbbox(), 'the splash shows', PATIENCE)  # fading in, slowly under emulation
    splash = time.monotonic() - started
    screen.shot(w).save(os.path.join(game.dir, 'splash.png'))
    over = screen.point(w, 400, 300)  # without a window manager, keys go where the pointer is
    assert over, 'the pointer over the game'
    screen.tap('x', 0.3)
    pressed = time.monotonic()
    game.wait_log('PlayState Init', PATIENCE)
    soon(game.read_steps, 'the first step', PATIENCE)
    print(f'\n{name}: splash {splash:.1f} s after the start, first step {time.monotonic() - pressed:.1f} s after the key')

    soon(lambda: harness.resting(game, 255), 'the player lands and comes to rest', PATIENCE)
    frame = screen.shot(w)
    frame.save(os.path.join(game.dir, 'landed.png'))
    sky, grass = (harness.count(frame, lambda c, wanted=wanted: near(c, wanted, 1)) for wanted in (SKY, LIT_GRASS))
    assert sky > 800 * 600 / 20 and grass >= 10, f'sky and lit grass: {sky} and {grass} pixels'

    standing = game.height()
    screen.move(0, 320)
    screen.fake(X.ButtonPress, 1)
    soon(lambda: game.height() < standing - 5, 'holding the button digs: the player falls into the crater', PATIENCE)
    screen.fake(X.ButtonRelease, 1)
    screen.shot(w).save(os.path.join(game.dir, 'dug.png'))
    screen.tap('Escape', 0.3)
    status = game.end(PATIENCE)
    assert status == 0, 'Escape ends the game with status 0'
    return frame


def test_game_of_each_architecture(arch_game, screen, game):
    (arch, program), environment = arch_game, {}
    program = os.path.abspath(program)
    if arch in QEMU and not NATIVE.get(arch):  # qemu-run starts the program named in the environment
        environment = dict(TESSARIA_QEMU=QEMU[arch], TESSARIA_QEMU_PROGRAM=program)
        program = QEMU_RUN
    play(screen, game(name=f'arch-{arch}', program=program), arch, environment)
