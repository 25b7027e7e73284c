"""A private Xvfb for each pytest run, games in folders named after their tests and ended with
them, and the options: which build, packages and architectures' games are tested."""
import os, re, types
import pytest
import xvfb
from harness import ASSETS, ROOT, Game, Screen, programs


def pytest_addoption(parser):
    group = parser.getgroup('tessaria')
    group.addoption('--build', default=os.path.join(ROOT, 'build'), help='the build folder whose game is played')
    group.addoption('--runs', help="where each run's folder goes (default: BUILD/tests/runs/pytest)")
    group.addoption('--deb', action='append', default=[], help='a package to check (once per package)')
    group.addoption('--arch-game', action='append', default=[], metavar='ARCH=PROGRAM',
                    help="an architecture's game to play (once per architecture)")
    group.addoption('--windows-zip', action='append', default=[], help='a Windows zip to play under Wine (once per zip)')


def pytest_generate_tests(metafunc):  # an option given no value leaves an empty set, which fails
    options = metafunc.config.option
    if 'deb' in metafunc.fixturenames:
        metafunc.parametrize('deb', [os.path.abspath(d) for d in options.deb],
                             ids=[os.path.basename(d) for d in options.deb])
    if 'arch_game' in metafunc.fixturenames:
        games = [tuple(pair.split('=', 1)) for pair in options.arch_game]
        metafunc.parametrize('arch_game', games, ids=[arch for arch, _ in games])
    if 'windows_zip' in metafunc.fixturenames:  # named ...-windows-ARCH.zip
        metafunc.parametrize('windows_zip', [os.path.abspath(z) for z in options.windows_zip], ids=lambda z: z[-7:-4])
    if 'package' in metafunc.fixturenames:  # either kind
        metafunc.parametrize('package', [os.path.abspath(p) for p in options.deb + options.windows_zip], ids=os.path.basename)


@pytest.fixture(scope='session')
def build(request):
    option = request.config.option
    folder = os.path.abspath(option.build)
    return types.SimpleNamespace(**vars(programs(folder)),
                                 runs=os.path.abspath(option.runs or folder + '/tests/runs/pytest'))


@pytest.fixture(scope='session')
def screen():
    with xvfb.display() as name:
        os.environ['DISPLAY'] = name
        yield Screen()


@pytest.fixture
def game(request, build):
    """game(files={...}, name=..., program='game' or 'probe' or a path or a command, source=a
    folder for the assets); none outlives the test."""
    made = []

    def make(files={}, name=None, program='game', source=ASSETS):
        case = getattr(request.node, 'callspec', None)  # a table's row: its id
        name = name or (case.id if case else request.node.name)
        folder = os.path.join(build.runs, re.sub(r'[^\w.-]+', '-', name).strip('-'))
        command = getattr(build, program, program) if isinstance(program, str) else program
        made.append(Game(folder, files, command, build.calls if program == 'game' else None, source))
        return made[-1]
    yield make
    for g in made:
        try:
            if g.process and g.process.poll() is None:
                g.process.kill()
                g.process.wait()
        finally:  # a test failed while the folder was read-only: the next run must remove it
            os.chmod(g.dir, 0o755)
