"""The program's texts as the user reads them, taken from the one test that spells them
(tests/native/TextsTest.cpp), so that every text is spelled once in the tests."""
import ast
import re
from pathlib import Path

_LITERAL = r'"(?:[^"\\]|\\.)*"'
_ENTRY = re.compile(r'\{"(\w+)",\s*((?:' + _LITERAL + r'\s*)+),')


def _spellings():
    source = (Path(__file__).parents[1] / "native" / "TextsTest.cpp").read_text()
    # C's escapes, as far as the table uses them, read the same in Python's bytes literals.
    return {name: b"".join(ast.literal_eval("b" + part) for part in re.findall(_LITERAL, spelled)).decode("cp1252")
            for name, spelled in _ENTRY.findall(source)}


SPELLINGS = _spellings()


def text(key, /, **values):
    """The text of key with values put in its {placeholders}."""
    return SPELLINGS[key].format(**values)
