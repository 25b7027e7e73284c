def pytest_addoption(parser):
    parser.addoption('--reproduce', action='append', default=[], metavar='DEB',
                     help='a package to build again elsewhere and compare (test_reproducible.py)')
