#!/usr/bin/env python3
"""Keeps the includes of src/, rescom/, tools/ and host/ pointing down the layers.

    tests/layers_check.py [REPOSITORY_ROOT]

Checks, from the quoted includes of every .h/.cpp/.c file:
  (a) no include cycle between modules (a module is a stem's .h and .cpp together);
  (b) each folder of src/ includes only the layers below it (see ALLOWED); a command includes
      another command only when that one is its own helper (see COMMAND_HELPERS);
  (c) no file of src/contract or src/engine includes <windows.h> or another Win32 header;
  (d) tools/ includes only the contract, the engine, rescom and itself; host/ only the contract
      and itself; rescom/ only itself.
Prints one line per violation and exits 1 when there is any."""
import os
import re
import sys

ROOTS = ("src", "rescom", "tools", "host")
SOURCE_ENDINGS = (".h", ".hpp", ".cpp", ".cc", ".c")
# Where a quoted include is looked for after the including file's own folder: the include
# directories the CMake targets publish.
SEARCH_DIRS = ("src", "rescom", "rescom/literal")

# The layers of src/, bottom to top, and what each may include. The engine may use the one
# header of rescom/literal: the script writer escapes text by the compiler's own grammar.
ALLOWED = {
    "contract": {"contract"},
    "engine": {"contract", "engine", "rescom-literal"},
    "base": {"contract", "engine", "base"},
    "controls": {"contract", "engine", "base", "controls"},
    "commands": {"contract", "engine", "base", "controls", "commands"},
    "app": {"contract", "engine", "base", "controls", "commands", "app"},
    "resources": {"contract", "resources"},
}
# A command's own helper modules, the only other commands it may include (by stem).
COMMAND_HELPERS = {
    "compile_driver_win32": {"compiler_run_win32"},
}
WIN32_HEADERS = {
    "windows.h", "windowsx.h", "winbase.h", "winuser.h", "wingdi.h", "winreg.h", "winnls.h",
    "winerror.h", "commctrl.h", "commdlg.h", "shellapi.h", "shlobj.h", "shlwapi.h", "objbase.h",
    "objidl.h", "ole2.h", "oleidl.h", "lzexpand.h", "mmsystem.h", "winsock2.h", "tchar.h",
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def layer_of(path):
    """The layer of a file, or None outside the layered trees."""
    parts = path.split("/")
    if parts[0] == "src" and len(parts) > 2:
        if parts[1] == "win32" and len(parts) > 3:
            return parts[2]
        return parts[1]
    if parts[0] == "rescom":
        return "rescom-literal" if parts[1:2] == ["literal"] else "rescom"
    if parts[0] in ("tools", "host"):
        return parts[0]
    return None


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    files = []
    for top in ROOTS:
        for folder, _, names in os.walk(os.path.join(root, top)):
            files += [os.path.relpath(os.path.join(folder, n), root).replace(os.sep, "/")
                      for n in names if n.endswith(SOURCE_ENDINGS)]
    known = set(files)

    def resolve(source, name):
        for base in (os.path.dirname(source),) + SEARCH_DIRS:
            candidate = os.path.normpath(os.path.join(base, name)).replace(os.sep, "/")
            if candidate in known:
                return candidate
        return None  # a generated or system header

    problems = []
    edges = {}
    for source in sorted(files):
        with open(os.path.join(root, source), encoding="utf-8", errors="replace") as f:
            text = f.read()
        layer = layer_of(source)
        for kind, name in INCLUDE.findall(text):
            if kind == "<":
                if layer in ("contract", "engine") and name.lower() in WIN32_HEADERS:
                    problems.append(f"{source}: the portable {layer} includes <{name}>")
                continue
            target = resolve(source, name)
            if target is None:
                continue
            edges.setdefault(source, set()).add(target)
            problems += layer_problems(source, layer, target)

    problems += cycle_problems(edges)
    for problem in problems:
        print(problem)
    if problems:
        print(f"layers_check: {len(problems)} violation(s)")
        return 1
    return 0


def stem(path):
    return os.path.splitext(os.path.basename(path))[0]


def layer_problems(source, layer, target):
    target_layer = layer_of(target)
    if layer in ALLOWED:
        if target_layer not in ALLOWED[layer]:
            return [f"{source}: the {layer} layer includes {target} ({target_layer})"]
        if layer == "commands" and target_layer == "commands" and stem(target) != stem(source) \
                and stem(target) not in COMMAND_HELPERS.get(stem(source), set()):
            return [f"{source}: a command includes another command, {target}"]
        return []
    allowed = {
        "tools": {"tools", "contract", "engine", "rescom", "rescom-literal"},
        "host": {"host", "contract"},
        "rescom": {"rescom", "rescom-literal"},
        "rescom-literal": {"rescom-literal"},
    }.get(layer)
    if allowed is not None and target_layer not in allowed:
        return [f"{source}: {layer}/ includes {target} ({target_layer})"]
    return []


def cycle_problems(edges):
    """Strongly connected components of more than one module, found without recursion."""
    module = lambda path: os.path.splitext(path)[0]
    graph = {}
    for source, targets in edges.items():
        for target in targets:
            if module(source) != module(target):
                graph.setdefault(module(source), set()).add(module(target))
    index, low, on_stack, stack, cycles = {}, {}, set(), [], []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(graph.get(child, ())))))
                elif child in on_stack:
                    low[node] = min(low[node], index[child])
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    cycles.append(sorted(component))
    return [f"include cycle of {len(c)} modules: " + ", ".join(c) for c in cycles]


if __name__ == "__main__":
    sys.exit(main())
