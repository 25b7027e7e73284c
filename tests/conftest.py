"""Fixtures of the window tests: a private Xvfb for each pytest run (support/xvfb.py),
and games in folders named after their tests, which are ended with the test."""
import os, re
import pytest
import xvfb
from harness import GAME, RUNS, Game, Screen


@pytest.fixture(scope='session')
def screen():
    with xvfb.display() as name:
        os.environ['DISPLAY'] = name
        yield Screen()


@pytest.fixture
def game(request):
    """Makes games: game(files={...}, name=..., program=...); none outlives the test."""
    made = []

    def make(files={}, name=None, program=GAME):
        case = getattr(request.node, 'callspec', None)  # a table's row: its id
        name = name or (case.id if case else request.node.name)
        folder = os.path.join(RUNS, re.sub(r'[^\w.-]+', '-', name).strip('-'))
        made.append(Game(folder, files, program))
        return made[-1]
    yield make
    for g in made:
        if g.process and g.process.poll() is None:
            g.process.kill()
            g.process.wait()
