#!/usr/bin/env python3
"""Fails when a function in the given folder runs past LIMIT lines (default 150), so each
still reads on a screen or two. Comments and string literals are blanked first; a brace
block counts as a function when what precedes it ends like a parameter list (a lambda
counts as part of the function that holds it).

    check_function_length.py FOLDER [LIMIT]
"""
import pathlib
import re
import sys


def blank(src):
    """src with comments and the insides of string and character literals as spaces."""
    out, i, n = [], 0, len(src)
    while i < n:
        if src.startswith('//', i):
            j = src.find('\n', i)
            j = n if j < 0 else j
        elif src.startswith('/*', i):
            j = src.find('*/', i + 2)
            j = n if j < 0 else j + 2
        elif src[i] in '"\'':
            raw = re.match(r'R"([^(\s]*)\(', src[i - 1:i + 20]) if src[i] == '"' and i > 0 else None
            if raw:
                j = src.find(')' + raw.group(1) + '"', i) + len(raw.group(1)) + 2
            else:
                j = i + 1
                while j < n and src[j] != src[i]:
                    j += 2 if src[j] == '\\' else 1
                j += 1
        else:
            out.append(src[i])
            i += 1
            continue
        out.append(re.sub(r'[^\n]', ' ', src[i:j]))
        i = j
    return ''.join(out)


FUNCTION_HEAD = re.compile(r'\)\s*(const|override|noexcept|final|mutable|->\s*[\w:<>,&*\s]+|:\s*[\w:]+[({].*)*\s*$', re.S)
CONTROL = re.compile(r'^(if|for|while|switch|catch|else\s+if)\b')


def long_functions(path, limit):
    text = blank(path.read_text(errors='replace'))
    found, stack, last = [], [], 0
    for m in re.finditer(r'[{};]', text):
        at = m.start()
        if m.group() == '{':
            head = text[last:at]
            statement = ' '.join(head.split()).split('}')[-1].strip()
            is_function = FUNCTION_HEAD.search(head) is not None and not CONTROL.match(statement)
            names = re.findall(r'([~\w:]+)\s*\(', head)
            stack.append((at, is_function, names[0] if names else '?'))
        elif m.group() == '}' and stack:
            start, is_function, name = stack.pop()
            inside_function = any(entry[1] for entry in stack)
            if is_function and not inside_function:
                first = text.count('\n', 0, start) + 1
                lines = text.count('\n', 0, at) + 2 - first
                if lines > limit:
                    found.append((path, first, name, lines))
        last = at + 1
    return found


def main():
    root = pathlib.Path(sys.argv[1])
    limit = int(sys.argv[2]) if len(sys.argv) > 2 else 150
    found = []
    files = sorted(p for p in root.rglob('*') if p.suffix in ('.cpp', '.h'))
    for path in files:
        found += long_functions(path, limit)
    for path, line, name, lines in found:
        print(f'{path}:{line}: {name} runs {lines} lines (at most {limit})')
    print(f'checked {len(files)} files: {len(found)} functions longer than {limit} lines')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
