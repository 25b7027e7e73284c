"""Rough play on the real game: digging wherever the player happens to be, R held down,
focus lost and regained, then flying over the top of the map, off its side and below
its floor. The game must keep running, end on Escape with status 0, and stop growing
in memory once the world is built and dug."""
import os, re, sys, time
sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'support'))
from harness import *

screen = Screen()
game = Game('soak')
w = game.enter_play(screen)
time.sleep(3)
samples = []


def hold(keys, seconds, dig=False):
    for key in keys:
        screen.fake(X.KeyPress, key)
    if dig:
        screen.fake(X.ButtonPress, 1)
    time.sleep(seconds)
    if dig:
        screen.fake(X.ButtonRelease, 1)
    for key in keys:
        screen.fake(X.KeyRelease, key)


def sample():
    with open(f'/proc/{game.process.pid}/status') as status:
        samples.append(int(re.search(r'VmRSS:\s+(\d+)', status.read()).group(1)))
    print('resident kB:', samples[-1], flush=True)


hold(['space'], 3.0)  # high over the top of the map, to come down on it again
for turn in range(3):
    require(game.process.poll() is None, f'the game still runs in turn {turn}')
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
    sample()
screen.move(0, 800)  # straight down, digging through the floor of the map
hold([], 5, dig=True)
screen.move(0, -360)  # and on below it, where nothing slows the player, off its side
hold(['w'], 13)
sample()
require(game.process.poll() is None, 'the game still runs at the end')
screen.tap('Escape')
check(game.end() == 0, 'Escape ends the game with status 0')
check(game.log()[-2:] == ['PlayState Cleanup', 'GameEngine Cleanup'], 'the log ends in order')

xyz = [tuple(map(float, p)) for p in
       re.findall(r'\tPosition: \((\S+), (\S+), (\S+)\)', game.file('stdout.txt'))]
highest, lowest = max(p[2] for p in xyz), min(p[2] for p in xyz)
farthest = max(max(abs(x - 128), abs(y - 128)) for x, y, _ in xyz)
check(highest > 256, f'over the top of the map (up to {highest})')
check(farthest > 128, f'off the side of the map (up to {farthest} from its centre)')
check(lowest < 0, f'below its floor (down to {lowest})')
# Two turns have built and dug; after them resident memory may wobble, not climb.
check(samples[-1] <= samples[1] * 1.1 + 16 * 1024, f'resident memory grew: {samples} kB')
finish()
