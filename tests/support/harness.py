"""The real game run from its folder, seen from outside: its window (xgame.py), exit status,
log, output and collision trace. Every wait is bounded."""
import math, os, re, shutil, subprocess, types
from Xlib import X  # noqa: F401 (for the tests: one import of the driver's names)
from xgame import Screen, soon, wait  # noqa: F401 (and for the tests)

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
ASSETS = ROOT + '/assets'
START = ['Tessaria started...', 'Running tests...', 'Finished running tests.']


class Then(str):  # a line: the game's words, then a library's, which its next version may change
    def __eq__(self, line):  # the words, then more than blanks
        return isinstance(line, str) and line.startswith(self) and line[len(self):].strip() != ''

    def __repr__(self):
        return f'{str(self)!r} + a reason'


GLEW = Then('Initialized GLEW ')  # its version
REASON = Then()  # SDL's on the line after the game's
SELF_TESTS = open(os.path.join(os.path.dirname(__file__), 'self-tests.txt')).read()
DIR = object()  # in a run's files: a directory of that name
STEP = re.compile(r'Colliding\.\.\.\n\tPosition: \((\S+), (\S+), (\S+)\)\n\tLast Position: .*\n'
                  r'\tDisplacement: \((\S+), (\S+), (\S+)\)\n.*\n\tPost-Collision Position: '
                  r'\((\S+), (\S+), (\S+)\)\n.*\nCollision complete\.\n\n')


def programs(build):  # the game, the menu probe, and the preload that records calls.txt
    return types.SimpleNamespace(game=build + '/tessaria', probe=build + '/tests/tessaria_menu_probe',
                                 calls=build + '/tests/libtessaria_calls.so')


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def count(image, wanted):  # pixels whose colour is wanted
    return sum(n for n, colour in image.getcolors(image.width * image.height) if wanted(colour))


def resting(game, below=math.inf):  # the last 30 of more than 40 steps at one place
    steps = game.read_steps()
    return len(steps) > 40 and len({s[2] for s in steps[-30:]}) == 1 and steps[-1][2][2] < below


class Game:
    """One run of `program` (a path, or a command's words) in a fresh copy of the folder
    `source` (the shipped assets) changed by `files` (name: text or bytes, None to remove,
    DIR for a directory); `calls`: the preload, or None."""

    def __init__(self, folder, files={}, program=None, calls=None, source=ASSETS):
        self.dir, self.program, self.calls_library, self.process = folder, program, calls, None
        self.read, self.tail, self.steps = 0, '', []
        if os.path.lexists(self.dir):  # all of it (a killed run's read-only too), or an error
            os.chmod(self.dir, 0o755)
            shutil.rmtree(self.dir)
        shutil.copytree(source, self.dir)
        for file, content in files.items():
            path = os.path.join(self.dir, file)
            if os.path.exists(path):
                os.remove(path)
            if content is DIR:
                os.mkdir(path)
            elif content is not None:
                open(path, 'wb').write(content.encode() if isinstance(content, str) else content)

    def start(self, environment={}, user=None, read_only=False):  # environment: changes, None unsets
        out = [open(os.path.join(self.dir, name), 'wb') for name in ('stdout.txt', 'stderr.txt')]
        command = list(self.program) if isinstance(self.program, list) else [self.program]
        if user is not None:  # for root, whom a read-only folder does not stop
            command = ['setpriv', f'--reuid={user}', f'--regid={user}', '--clear-groups'] + command
        if read_only:
            os.chmod(self.dir, 0o555)
        environment = {**os.environ, **environment}
        if self.calls_library:
            environment.update(LD_PRELOAD=self.calls_library, TESSARIA_CALLS=os.path.join(self.dir, 'calls.txt'),
                               ASAN_OPTIONS='verify_asan_link_order=0:' + os.environ.get('ASAN_OPTIONS', ''))
        self.process = subprocess.Popen(command, cwd=self.dir, stdout=out[0], stderr=out[1],
                                        env={k: v for k, v in environment.items() if v is not None})
        [f.close() for f in out]

    def file(self, name):  # its text, or None when there is no such file
        path = os.path.join(self.dir, name)
        return open(path, 'rb').read().decode(errors='replace') if os.path.isfile(path) else None

    newline = '\n'  # a Windows game's text files: '\r\n'

    def lines(self, name='log.txt'):  # its lines, or None when there is no such file
        text = self.file(name)
        return None if text is None else text.split(self.newline)[:-1]

    def wait_log(self, line, seconds=30):  # fails the test if the line never comes
        soon(lambda: line in (self.lines() or []), f'log.txt says {line!r}', seconds)

    def read_steps(self):  # the collision steps so far: (position, displacement, after)
        with open(os.path.join(self.dir, 'stdout.txt')) as out:
            out.seek(self.read)
            self.tail += out.read()
            self.read = out.tell()
        end = 0
        for m in STEP.finditer(self.tail):
            v = [float(f) for f in m.groups()]
            self.steps.append((tuple(v[0:3]), tuple(v[3:6]), tuple(v[6:9])))
            end = m.end()
        self.tail = self.tail[end:]  # a step still being written waits for the next read
        return self.steps

    def height(self):  # after the last step's collision
        return self.read_steps()[-1][2][2]

    def position(self):  # before the last step's collision
        return self.read_steps()[-1][0]

    def apex(self):  # how high the player will coast from the last step, under gravity alone
        position, displacement = self.read_steps()[-1][:2]
        return position[2] + max(0, displacement[2] * 60) ** 2 / (2 * 9.8)

    def run_on(self, steps=60, seconds=30):
        """Waits for a second of steps more: proof it handled what came before, so that
        something not happening means something."""
        start = len(self.read_steps())
        soon(lambda: len(self.read_steps()) >= start + steps, f'{steps} steps more', seconds)

    def end(self, seconds=30):  # the exit status; a game still running then is killed (-9)
        try:
            return self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return self.process.wait()
